#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/device_session.h"
#include "device/packets.h"
#include "sim_driver.h"

namespace {

using Lines = std::vector<std::string>;

class DeviceSessionTest : public ::testing::Test {
protected:
    void useBoards(const std::string &configText)
    {
        library.reset(new SimLibrary(parseSimConfig(configText)));
        driver.reset(new SimDriver(*library));
        driverLibrary = driver.get();
    }
    void SetUp() override
    {
        deviceSession = DeviceSession{};
        std::memset(&packetBuffers, 0, sizeof packetBuffers);
    }
    void TearDown() override { driverLibrary = nullptr; }

    // The recorded calls after the first `skip` ones.
    Lines callsFrom(size_t skip) const
    {
        const Lines &all = library->calls();
        return Lines(all.begin() + static_cast<long>(std::min(skip, all.size())), all.end());
    }
    // The recorded calls that start with one of the given words.
    Lines callsOf(std::initializer_list<const char *> words) const
    {
        Lines picked;
        for (const std::string &line : library->calls())
            for (const char *word : words)
                if (line.compare(0, std::strlen(word) + 1, std::string(word) + " ") == 0)
                    picked.push_back(line);
        return picked;
    }
    size_t connect(const std::string &configText, int wantedId)
    {
        useBoards(configText);
        EXPECT_EQ(openBoardById(wantedId), kSuccess);
        return library->calls().size();
    }

    std::unique_ptr<SimLibrary> library;
    std::unique_ptr<SimDriver> driver;
};

// What one attempt on a healthy board does before its probe is compared.
Lines probedBoard(int board)
{
    const std::string b = std::to_string(board);
    return {"open " + b, "status " + b + " 0", "descriptor " + b + " 9 ok", "descriptor " + b + " 39 ok",
            "pipe " + b + " 3 ok", "pipe " + b + " 1 ok", "pipe " + b + " 2 ok", "readfile " + b + " 2 64",
            "reset " + b + " 2"};
}

Lines concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST_F(DeviceSessionTest, WithoutBoardsEveryOneOf32AttemptsIsUnmatched)
{
    useBoards("");
    EXPECT_EQ(openBoardById(0), kErrOpenFailed);
    EXPECT_EQ(library->calls(), Lines(32, "open -1"));

    driverLibrary = nullptr;
    EXPECT_EQ(openBoardById(0), kErrOpenFailed) << "no library loaded";
}

TEST_F(DeviceSessionTest, TheThirdBoardMatchesAndTheFirstTwoStayOpenUntilTheSearchEnds)
{
    useBoards("board 5\nboard 6\nboard 7\n");
    ASSERT_EQ(openBoardById(7), kSuccess);

    const Lines closePipes0 = {"closehandle 0 3 ok", "closehandle 0 1 ok", "closehandle 0 2 ok"};
    const Lines closePipes1 = {"closehandle 1 3 ok", "closehandle 1 1 ok", "closehandle 1 2 ok"};
    EXPECT_EQ(library->calls(),
              concat({probedBoard(0), closePipes0, probedBoard(1), closePipes1, probedBoard(2), {"close 0", "close 1"}}));

    EXPECT_EQ(deviceSession.boardHandle, boardHandleOf(2));
    EXPECT_EQ(deviceSession.readSize, 64);
    EXPECT_EQ(driver->openPipeCount(), 3);
    EXPECT_TRUE(library->board(2).open);
    // The session's pipes are the third board's: pipe 2 reads, 1 and 3 write.
    EXPECT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(boardIdOf(packetBuffers.data), 7);
    EXPECT_EQ(writeInitialData(1, 2, 3), kSuccess);
    EXPECT_EQ(writeControlData(4, 5, 6), kSuccess);
    ASSERT_EQ(library->written().size(), 2u);
    EXPECT_EQ(library->written()[0].pipe, 1);
    EXPECT_EQ(library->written()[1].pipe, 3);
}

struct StatusCase {
    const char *sentence;
    int status;
    ErrorCode expected;
};

TEST_F(DeviceSessionTest, BoardsWithStatusOneOrTwoAreClosedAtOnceAndOfferedAgain)
{
    const StatusCase cases[] = {
        {"status 1 is not to be used", 1, kErrOpenFailed},
        {"status 2 is not to be used", 2, kErrOpenFailed},
        {"status 3 is usable in the search", 3, kSuccess},
    };
    for (const StatusCase &c : cases) {
        useBoards("board 0 status=" + std::to_string(c.status) + "\n");
        EXPECT_EQ(openBoardById(0), c.expected) << c.sentence;
        if (c.expected != kSuccess) {
            Lines expected;
            for (int attempt = 0; attempt < 32; ++attempt)
                expected.insert(expected.end(), {"open 0", "status 0 " + std::to_string(c.status), "close 0"});
            EXPECT_EQ(library->calls(), expected) << c.sentence;
        }
    }
}

struct DescriptorCase {
    const char *sentence;
    const char *board;
    ErrorCode expected;
    uint16_t readSize;
    int totalLength;  // asked for by the second descriptor read; 0: the first read fails
};

TEST_F(DeviceSessionTest, ThePacketSizeComesFromTheDescriptorsOrTheBoardIsSkipped)
{
    const DescriptorCase cases[] = {
        {"a normal board is used", "board 0", kSuccess, 64, 39},
        {"an endpoint above 64 bytes is read 64 bytes at a time", "board 0 descriptor=big-packet", kSuccess, 64, 39},
        {"alternate settings of interface 0 are walked", "board 0 descriptor=alternate", kSuccess, 64, 64},
        {"an absurd wTotalLength is read but ends at the zeros", "board 0 descriptor=huge-total", kSuccess, 64, 65535},
        {"interface 0 without endpoint gives no size", "board 0 descriptor=no-endpoint", kErrOpenFailed, 0, 34},
        {"a zero bLength gives no size", "board 0 descriptor=zero-length", kErrOpenFailed, 0, 25},
        {"a descriptor running past wTotalLength gives no size", "board 0 descriptor=overrun", kErrOpenFailed, 0, 23},
        {"wTotalLength below 9 is read and gives no size", "board 0 descriptor=short-total", kErrOpenFailed, 0, 5},
        {"a zero wMaxPacketSize gives no size", "board 0 maxpacket=0 packet=8", kErrOpenFailed, 0, 39},
        {"a failing descriptor read gives no size", "board 0 descriptor=read-fail", kErrOpenFailed, 0, 0},
    };
    for (const DescriptorCase &c : cases) {
        SetUp();
        useBoards(std::string(c.board) + "\n");
        EXPECT_EQ(openBoardById(0), c.expected) << c.sentence;
        EXPECT_EQ(deviceSession.readSize, c.readSize) << c.sentence;
        const Lines oneAttempt = c.totalLength == 0 ? Lines{"descriptor 0 9 fail"}
                                                    : Lines{"descriptor 0 9 ok",
                                                            "descriptor 0 " + std::to_string(c.totalLength) + " ok"};
        Lines reads;
        for (int attempt = 0; attempt < (c.expected == kSuccess ? 1 : 32); ++attempt)
            reads.insert(reads.end(), oneAttempt.begin(), oneAttempt.end());
        EXPECT_EQ(callsOf({"descriptor"}), reads) << c.sentence;
        if (c.expected == kSuccess)
            continue;
        // Closed at once after the descriptor read, no pipe opened, every attempt.
        EXPECT_EQ(callsOf({"close"}).size(), 32u) << c.sentence;
        EXPECT_TRUE(callsOf({"pipe"}).empty()) << c.sentence;
        EXPECT_EQ(library->calls().back(), "close 0") << c.sentence;
    }
}

struct PipeFailureCase {
    const char *sentence;
    int failingPipe;
    Lines afterFailure;
};

TEST_F(DeviceSessionTest, AFailedPipeOpenClosesThePipesAlreadyOpenAndKeepsTheBoardUntilTheEnd)
{
    const PipeFailureCase cases[] = {
        {"pipe 3 failing closes nothing", 3, {}},
        {"pipe 1 failing closes pipe 3", 1, {"closehandle 0 3 ok"}},
        {"pipe 2 failing closes pipe 3 then pipe 1", 2, {"closehandle 0 3 ok", "closehandle 0 1 ok"}},
    };
    for (const PipeFailureCase &c : cases) {
        useBoards("board 0 failpipe=" + std::to_string(c.failingPipe) + "\n");
        EXPECT_EQ(openBoardById(0), kErrOpenFailed) << c.sentence;
        const Lines all = library->calls();
        const auto failure = std::find(all.begin(), all.end(), "pipe 0 " + std::to_string(c.failingPipe) + " fail");
        ASSERT_NE(failure, all.end()) << c.sentence;
        // The board stays open, so the other 31 attempts find none; it is closed last.
        Lines expectedRest = c.afterFailure;
        expectedRest.insert(expectedRest.end(), 31, "open -1");
        expectedRest.push_back("close 0");
        EXPECT_EQ(Lines(failure + 1, all.end()), expectedRest) << c.sentence;
        EXPECT_EQ(driver->openPipeCount(), 0) << c.sentence;
    }
}

struct ProbeCase {
    const char *sentence;
    const char *board;
    bool readFileFails;
    bool emptyRead;
};

TEST_F(DeviceSessionTest, AFailedOrShortProbeIsUnmatched)
{
    const ProbeCase cases[] = {
        {"a failing ReadFile", "board 0", true, false},
        {"a read of 0 bytes", "board 0", false, true},
        {"a probe of 3 bytes carries no boardId", "board 0 packet=3", false, false},
    };
    for (const ProbeCase &c : cases) {
        useBoards(std::string(c.board) + "\n");
        driver->failNextReadFile = c.readFileFails;
        if (c.emptyRead)
            library->applyCommand("fail-read 0");
        EXPECT_EQ(openBoardById(0), kErrOpenFailed) << c.sentence;
        EXPECT_EQ(callsOf({"closehandle"}), (Lines{"closehandle 0 3 ok", "closehandle 0 1 ok", "closehandle 0 2 ok"}))
            << c.sentence;
        EXPECT_EQ(library->calls().back(), "close 0") << c.sentence;
        EXPECT_EQ(driver->openPipeCount(), 0) << c.sentence;
    }
}

TEST_F(DeviceSessionTest, AReadFillsTheDataPacketBufferFromByteZero)
{
    connect("board 4\nchannel 3 raw 0x8000\ninputs p9=0x15 pa=0xA5 pb=0x5A\n", 4);
    ASSERT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(boardIdOf(packetBuffers.data), 4);
    EXPECT_EQ(channelValue(channelWordOf(packetBuffers.data, 3)), 1024);
    EXPECT_EQ(portInputsOf(packetBuffers.data, 0), 0x15);
    EXPECT_EQ(portInputsOf(packetBuffers.data, 1), 0xA5);
    EXPECT_EQ(portInputsOf(packetBuffers.data, 2), 0x5A);
}

struct ReadFailureCase {
    const char *sentence;
    const char *commandBefore;  // null: none
    bool readFileFails;
    ErrorCode expected;
    Lines calls;
};

TEST_F(DeviceSessionTest, AFailedReadResetsAndWaitsWhileTheBoardIsPresentElseReportsItGone)
{
    const ReadFailureCase cases[] = {
        {"0 bytes with the board present", "fail-read 0", false, kSuccess,
         {"readfile 0 2 0", "status 0 0", "reset 0 2", "sleep 1000"}},
        {"a failing ReadFile with the board present", nullptr, true, kSuccess,
         {"readfile 0 2 fail", "status 0 0", "reset 0 2", "sleep 1000"}},
        {"the board removed", "remove 0", false, kErrRemoved, {"readfile 0 2 fail", "status 0 1"}},
        {"any non-zero status after the failure", "status 0 7", true, kErrRemoved,
         {"readfile 0 2 fail", "status 0 7"}},
    };
    for (const ReadFailureCase &c : cases) {
        SetUp();
        connect("board 0\nchannel 0 raw 0x1234\n", 0);
        ASSERT_EQ(readDataPacket(), kSuccess);
        uint8_t before[kPacketBufferSize];
        std::memcpy(before, packetBuffers.data, sizeof before);
        if (c.commandBefore) {
            ASSERT_TRUE(library->applyCommand(c.commandBefore)) << c.sentence;
        }
        driver->failNextReadFile = c.readFileFails;
        const size_t mark = library->calls().size();
        EXPECT_EQ(readDataPacket(), c.expected) << c.sentence;
        EXPECT_EQ(callsFrom(mark), c.calls) << c.sentence;
        EXPECT_EQ(0, std::memcmp(before, packetBuffers.data, sizeof before)) << c.sentence << ": buffer kept";
    }
}

struct WriteCase {
    const char *sentence;
    int pipe;
    bool failing;
    ErrorCode expected;
    std::vector<uint8_t> head;  // the first bytes of the 64 written
};

TEST_F(DeviceSessionTest, WritesSend64BytesAndResetThePipeOnlyAfterSuccess)
{
    const WriteCase cases[] = {
        {"directions go to pipe 1", 1, false, kSuccess, {0x15, 0x08, 0xFF}},
        {"outputs go to pipe 3 after the marker", 3, false, kSuccess, {0x01, 0x15, 0x08, 0xFF}},
        {"a failing direction write gives -150", 1, true, kErrInitialWrite, {}},
        {"a failing output write gives -160", 3, true, kErrControlWrite, {}},
    };
    for (const WriteCase &c : cases) {
        SetUp();
        connect("board 0\n", 0);
        if (c.failing)
            library->applyCommand("fail-write 0 " + std::to_string(c.pipe));
        const size_t mark = library->calls().size();
        const ErrorCode result = c.pipe == 1 ? writeInitialData(0x15, 0x08, 0xFF) : writeControlData(0x15, 0x08, 0xFF);
        EXPECT_EQ(result, c.expected) << c.sentence;
        const std::string p = std::to_string(c.pipe);
        const Lines expectedCalls = c.failing ? Lines{"writefile 0 " + p + " 64 fail"}
                                              : Lines{"writefile 0 " + p + " 64 ok", "reset 0 " + p};
        EXPECT_EQ(callsFrom(mark), expectedCalls) << c.sentence;
        if (!c.failing) {
            ASSERT_EQ(library->written().size(), 1u) << c.sentence;
            std::array<uint8_t, 64> expected{};
            std::copy(c.head.begin(), c.head.end(), expected.begin());
            EXPECT_EQ(library->written()[0].bytes, expected) << c.sentence;
        }
        // Only the next write fails; the session stays usable.
        EXPECT_EQ(c.pipe == 1 ? writeInitialData(0, 0, 0) : writeControlData(0, 0, 0), kSuccess) << c.sentence;
    }
}

struct CloseCase {
    const char *sentence;
    int failingPipe;  // 0: none
    ErrorCode expected;
    Lines calls;
};

TEST_F(DeviceSessionTest, CloseClosesReadControlInitialPipesThenTheBoardAndStopsAtTheFirstFailure)
{
    const CloseCase cases[] = {
        {"all close", 0, kSuccess, {"closehandle 0 2 ok", "closehandle 0 3 ok", "closehandle 0 1 ok", "close 0"}},
        {"the read pipe fails", 2, -1, {"closehandle 0 2 fail"}},
        {"the control pipe fails", 3, -1, {"closehandle 0 2 ok", "closehandle 0 3 fail"}},
        {"the initial pipe fails", 1, -1, {"closehandle 0 2 ok", "closehandle 0 3 ok", "closehandle 0 1 fail"}},
    };
    for (const CloseCase &c : cases) {
        SetUp();
        connect("board 0\n", 0);
        const DeviceSession before = deviceSession;
        driver->failCloseOfPipe = c.failingPipe;
        const size_t mark = library->calls().size();
        EXPECT_EQ(closeSession(), c.expected) << c.sentence;
        EXPECT_EQ(callsFrom(mark), c.calls) << c.sentence;
        EXPECT_EQ(library->board(0).open, c.expected != kSuccess) << c.sentence;
        EXPECT_EQ(0, std::memcmp(&before, &deviceSession, sizeof before)) << c.sentence << ": fields kept";
    }
}

struct TextCase {
    ErrorCode code;
    const char *text;
};

TEST(ErrorCodeText, EveryCodeHasItsMessageAndUnknownCodesTheJapaneseOne)
{
    const char *unexpected = "\x97\x5c\x8a\xfa\x82\xb5\x82\xc8\x82\xa2\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7";
    const TextCase cases[] = {
        {-100, "Selected Device is Not Open"},
        {-105, "Selected Device was Removed"},
        {-110, "Selected Device is already Opened"},
        {-150, "<Initial Data Write> Failed"},
        {-160, "<Control Data Write> Failed"},
        {-170, "<Data Read> Failed"},
        {-180, "Device Open Failed"},
        {-200, "Illegal argument"},
        {-1, unexpected},
        {-181, unexpected},
    };
    for (const TextCase &c : cases) {
        ASSERT_NE(errorCodeText(c.code), nullptr) << c.code;
        EXPECT_STREQ(errorCodeText(c.code), c.text) << c.code;
    }
    EXPECT_EQ(errorCodeText(0), nullptr);
}

}  // namespace
