#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "device/device_session.h"
#include "device/packets.h"
#include "sim_driver.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

Lines concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Pieces of one attempt of the open search on board 0.
const Lines kOpened = {"open 0", "status 0 0"};
const Lines kDescribed = {"descriptor 0 9 ok", "descriptor 0 39 ok"};
const Lines kPipes = {"pipe 0 3 ok", "pipe 0 1 ok", "pipe 0 2 ok"};
const Lines kClosedPipes = {"closehandle 0 3 ok", "closehandle 0 1 ok", "closehandle 0 2 ok"};
const Lines kProbe = {"readfile 0 2 64", "reset 0 2"};
const Lines kProbed = concat({kOpened, kDescribed, kPipes, kProbe});

// The same calls on board b.
Lines onBoard(int b, Lines lines)
{
    for (std::string &line : lines)
        line.replace(line.find(' ') + 1, 1, std::to_string(b));
    return lines;
}

class DeviceSessionTest : public ::testing::Test {
protected:
    void useBoards(const std::string &configText)
    {
        deviceSession = DeviceSession{};
        std::memset(&packetBuffers, 0, sizeof packetBuffers);
        library.reset(new SimLibrary(parseSimConfig(configText)));
        driver.reset(new SimDriver(*library));
        driverLibrary = driver.get();
    }
    void TearDown() override { driverLibrary = nullptr; }

    // Connects to board 0 of the configuration; the number of calls so far.
    size_t connect(const std::string &configText)
    {
        useBoards(configText);
        EXPECT_EQ(openBoardById(0), kSuccess);
        return library->calls().size();
    }
    Lines callsFrom(size_t mark) const
    {
        const Lines &all = library->calls();
        return Lines(all.begin() + static_cast<long>(std::min(mark, all.size())), all.end());
    }

    std::unique_ptr<SimLibrary> library;
    std::unique_ptr<SimDriver> driver;
};

TEST_F(DeviceSessionTest, TheThirdBoardMatchesAndTheFirstTwoStayOpenUntilTheSearchEnds)
{
    useBoards("board 5\nboard 6\nboard 7\nchannel 3 raw 0x8000\ninputs p9=0x15 pa=0xA5 pb=0x5A\n");
    ASSERT_EQ(openBoardById(7), kSuccess);
    EXPECT_EQ(library->calls(),
              concat({kProbed, kClosedPipes, onBoard(1, concat({kProbed, kClosedPipes})), onBoard(2, kProbed),
                      {"close 0", "close 1"}}));
    EXPECT_EQ(deviceSession.boardHandle, boardHandleOf(2));
    EXPECT_EQ(deviceSession.readSize, 64);
    EXPECT_EQ(driver->openPipeCount(), 3);
    EXPECT_TRUE(library->board(2).open);

    // The session's pipes are the third board's: pipe 2 reads into the DataPacket buffer from byte 0, 1 and 3 write.
    ASSERT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(boardIdOf(packetBuffers.data), 7);
    EXPECT_EQ(channelValue(channelWordOf(packetBuffers.data, 3)), 1024);
    EXPECT_EQ(std::vector<int>({portInputsOf(packetBuffers.data, 0), portInputsOf(packetBuffers.data, 1),
                                portInputsOf(packetBuffers.data, 2)}),
              std::vector<int>({0x15, 0xA5, 0x5A}));
    EXPECT_EQ(writeInitialData(1, 2, 3), kSuccess);
    EXPECT_EQ(writeControlData(4, 5, 6), kSuccess);
    ASSERT_EQ(library->written().size(), 2u);
    EXPECT_EQ(std::vector<int>({library->written()[0].pipe, library->written()[1].pipe}), std::vector<int>({1, 3}));
}

// One board with ID 0 and what its attempt does.  A board closed at once (the
// attempt ends in "close 0") is offered again, so all 32 attempts look alike;
// a board kept open is closed after the other 31 attempts find none.
TEST_F(DeviceSessionTest, EachAttemptOfTheSearchProbesOrSkipsTheBoard)
{
    // command: a simulator command before the search, or null; readSize 0: no board matches
    struct Row { const char *what, *board, *command; bool readFileFails; uint16_t readSize; Lines attempt; };
    const Row rows[] = {
        {"status 1 is not to be used", "board 0 status=1", nullptr, false, 0, Lines{"open 0", "status 0 1", "close 0"}},
        {"status 2 is not to be used", "board 0 status=2", nullptr, false, 0, Lines{"open 0", "status 0 2", "close 0"}},
        {"status 3 is usable", "board 0 status=3", nullptr, false, 64,
         concat({{"open 0", "status 0 3"}, kDescribed, kPipes, kProbe})},
        {"an endpoint above 64 bytes is read 64 bytes at a time", "board 0 descriptor=big-packet", nullptr, false, 64,
         kProbed},
        {"alternate settings of interface 0 are walked", "board 0 descriptor=alternate", nullptr, false, 64,
         concat({kOpened, {"descriptor 0 9 ok", "descriptor 0 64 ok"}, kPipes, kProbe})},
        {"an absurd wTotalLength is read but ends at the zeros", "board 0 descriptor=huge-total", nullptr, false, 64,
         concat({kOpened, {"descriptor 0 9 ok", "descriptor 0 65535 ok"}, kPipes, kProbe})},
        {"interface 0 without endpoint gives no size", "board 0 descriptor=no-endpoint", nullptr, false, 0,
         concat({kOpened, {"descriptor 0 9 ok", "descriptor 0 34 ok", "close 0"}})},
        {"a zero bLength gives no size", "board 0 descriptor=zero-length", nullptr, false, 0,
         concat({kOpened, {"descriptor 0 9 ok", "descriptor 0 25 ok", "close 0"}})},
        {"a descriptor running past wTotalLength gives no size", "board 0 descriptor=overrun", nullptr, false, 0,
         concat({kOpened, {"descriptor 0 9 ok", "descriptor 0 23 ok", "close 0"}})},
        {"wTotalLength below 9 is read and gives no size", "board 0 descriptor=short-total", nullptr, false, 0,
         concat({kOpened, {"descriptor 0 9 ok", "descriptor 0 5 ok", "close 0"}})},
        {"a zero wMaxPacketSize gives no size", "board 0 maxpacket=0 packet=8", nullptr, false, 0,
         concat({kOpened, kDescribed, {"close 0"}})},
        {"a failing descriptor read gives no size", "board 0 descriptor=read-fail", nullptr, false, 0,
         concat({kOpened, {"descriptor 0 9 fail", "close 0"}})},
        {"pipe 3 failing closes nothing", "board 0 failpipe=3", nullptr, false, 0,
         concat({kOpened, kDescribed, {"pipe 0 3 fail"}})},
        {"pipe 1 failing closes pipe 3", "board 0 failpipe=1", nullptr, false, 0,
         concat({kOpened, kDescribed, {"pipe 0 3 ok", "pipe 0 1 fail", "closehandle 0 3 ok"}})},
        {"pipe 2 failing closes pipe 3 then pipe 1", "board 0 failpipe=2", nullptr, false, 0,
         concat({kOpened, kDescribed, {"pipe 0 3 ok", "pipe 0 1 ok", "pipe 0 2 fail", "closehandle 0 3 ok",
                                         "closehandle 0 1 ok"}})},
        {"a failing probe ReadFile closes the pipes", "board 0", nullptr, true, 0,
         concat({kOpened, kDescribed, kPipes, {"readfile 0 2 fail"}, kClosedPipes})},
        {"a probe of 0 bytes closes the pipes", "board 0", "fail-read 0", false, 0,
         concat({kOpened, kDescribed, kPipes, {"readfile 0 2 0"}, kClosedPipes})},
        {"a probe of 3 bytes carries no boardId", "board 0 packet=3", nullptr, false, 0,
         concat({kOpened, kDescribed, kPipes, {"readfile 0 2 3", "reset 0 2"}, kClosedPipes})},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        useBoards(std::string(r.board) + "\n");
        driver->failNextReadFile = r.readFileFails;
        if (r.command)
            library->applyCommand(r.command);
        const size_t mark = library->calls().size();
        EXPECT_EQ(openBoardById(0), r.readSize ? kSuccess : kErrOpenFailed);
        EXPECT_EQ(deviceSession.readSize, r.readSize);
        const bool closedAtOnce = r.attempt.back() == "close 0";
        Lines expected = r.attempt;
        for (int attempt = 1; attempt < 32 && r.readSize == 0; ++attempt)
            expected = concat({expected, closedAtOnce ? r.attempt : Lines{"open -1"}});
        if (r.readSize == 0 && !closedAtOnce)
            expected.push_back("close 0");
        EXPECT_EQ(callsFrom(mark), expected);
        EXPECT_EQ(driver->openPipeCount(), r.readSize ? 3 : 0);
    }

    useBoards("");
    EXPECT_EQ(openBoardById(0), kErrOpenFailed);
    EXPECT_EQ(library->calls(), Lines(32, "open -1")) << "no board at all";
    driverLibrary = nullptr;
    EXPECT_EQ(openBoardById(0), kErrOpenFailed) << "no library loaded";
}

// An operation on a session with board 0, after a fault set up in the
// simulator: the command before it and, for a read, a failing ReadFile, for
// a close, the pipe whose CloseHandle fails.  The DataPacket buffer and, but
// for a close, the session fields stay as they were, only a successful close
// closes the board, and after a failed write the next one succeeds.  After a close, a read touches nothing and a second
// close closes only what the first did not reach.
TEST_F(DeviceSessionTest, ReadsWritesAndCloseOnAnOpenSession)
{
    enum Op { kRead, kDirections, kOutputs, kClose, kCloseWhole };
    struct Row { const char *what; Op op; const char *command; int fault; ErrorCode result; Lines calls; Bytes sent;
                 Lines secondClose = {}; };
    const Row rows[] = {
        {"a read of 0 bytes with the board present resets and waits", kRead, "fail-read 0", 0, kSuccess,
         {"readfile 0 2 0", "status 0 0", "reset 0 2", "sleep 1000"}, {}},
        {"a failing ReadFile with the board present resets and waits", kRead, nullptr, 1, kSuccess,
         {"readfile 0 2 fail", "status 0 0", "reset 0 2", "sleep 1000"}, {}},
        {"a failed read of a removed board reports it gone", kRead, "remove 0", 0, kErrRemoved,
         {"readfile 0 2 fail", "status 0 1"}, {}},
        {"any non-zero status after a failed read reports it gone", kRead, "status 0 7", 1, kErrRemoved,
         {"readfile 0 2 fail", "status 0 7"}, {}},
        {"directions go to pipe 1 in 64 bytes, then it is reset", kDirections, nullptr, 0, kSuccess,
         {"writefile 0 1 64 ok", "reset 0 1"}, {0x15, 0x08, 0xFF}},
        {"outputs go to pipe 3 after the marker", kOutputs, nullptr, 0, kSuccess,
         {"writefile 0 3 64 ok", "reset 0 3"}, {0x01, 0x15, 0x08, 0xFF}},
        {"a failing direction write gives -150 and no reset", kDirections, "fail-write 0 1", 0, kErrInitialWrite,
         {"writefile 0 1 64 fail"}, {}},
        {"a failing output write gives -160", kOutputs, "fail-write 0 3", 0, kErrControlWrite,
         {"writefile 0 3 64 fail"}, {}},
        {"close closes the read, control and initial pipes, then the board; a second close nothing", kClose,
         nullptr, 0, kSuccess, {"closehandle 0 2 ok", "closehandle 0 3 ok", "closehandle 0 1 ok", "close 0"}, {}, {}},
        {"close stops at a failing read pipe; the second closes the rest", kClose, nullptr, 2, -1,
         {"closehandle 0 2 fail"}, {}, {"closehandle 0 3 ok", "closehandle 0 1 ok", "close 0"}},
        {"close stops at a failing control pipe", kClose, nullptr, 3, -1,
         {"closehandle 0 2 ok", "closehandle 0 3 fail"}, {}, {"closehandle 0 1 ok", "close 0"}},
        {"close stops at a failing initial pipe", kClose, nullptr, 1, -1,
         {"closehandle 0 2 ok", "closehandle 0 3 ok", "closehandle 0 1 fail"}, {}, {"close 0"}},
        {"a whole close goes on past a failing control pipe and releases the board", kCloseWhole, nullptr, 3,
         kSuccess, {"closehandle 0 2 ok", "closehandle 0 3 fail", "closehandle 0 1 ok", "close 0"}, {}, {}},
    };
    const auto run = [](Op op) {
        switch (op) {
        case kRead: return readDataPacket();
        case kDirections: return writeInitialData(0x15, 0x08, 0xFF);
        case kOutputs: return writeControlData(0x15, 0x08, 0xFF);
        case kClose: return closeSession();
        default: return closeWholeSession(), kSuccess;
        }
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        connect("board 0\nchannel 0 raw 0x1234\n");
        ASSERT_EQ(readDataPacket(), kSuccess);
        uint8_t data[kPacketBufferSize];
        std::memcpy(data, packetBuffers.data, sizeof data);
        const DeviceSession session = deviceSession;
        if (r.command) {
            ASSERT_TRUE(library->applyCommand(r.command));
        }
        driver->failNextReadFile = r.op == kRead && r.fault != 0;
        driver->failCloseOfPipe = r.op >= kClose ? r.fault : 0;
        const size_t mark = library->calls().size();
        EXPECT_EQ(run(r.op), r.result);
        EXPECT_EQ(callsFrom(mark), r.calls);
        EXPECT_EQ(0, std::memcmp(data, packetBuffers.data, sizeof data)) << "DataPacket buffer kept";
        EXPECT_TRUE(r.op >= kClose || std::memcmp(&session, &deviceSession, sizeof session) == 0) << "session kept";
        EXPECT_EQ(library->board(0).open, r.op < kClose || r.result != kSuccess);
        ASSERT_EQ(library->written().size(), r.sent.empty() ? 0u : 1u);
        if (!r.sent.empty()) {
            std::array<uint8_t, 64> expected{};
            std::copy(r.sent.begin(), r.sent.end(), expected.begin());
            EXPECT_EQ(library->written()[0].bytes, expected);
        }
        if (r.op == kDirections || r.op == kOutputs) {
            EXPECT_EQ(run(r.op), kSuccess) << "only the next write fails; the session stays usable";
        }
        if (r.op >= kClose) {
            driver->failCloseOfPipe = 0;
            const size_t closed = library->calls().size();
            EXPECT_EQ(readDataPacket(), kErrNotOpen) << "the read pipe is gone";
            EXPECT_EQ(closeSession(), kSuccess);
            EXPECT_EQ(callsFrom(closed), r.secondClose);
            EXPECT_FALSE(library->board(0).open);
        }
    }
}

TEST(ErrorCodeText, EveryCodeHasItsMessageAndUnknownCodesTheJapaneseOne)
{
    const char *unexpected = "\x97\x5c\x8a\xfa\x82\xb5\x82\xc8\x82\xa2\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7";
    const std::pair<ErrorCode, const char *> rows[] = {
        {-100, "Selected Device is Not Open"}, {-105, "Selected Device was Removed"},
        {-110, "Selected Device is already Opened"}, {-150, "<Initial Data Write> Failed"},
        {-160, "<Control Data Write> Failed"}, {-170, "<Data Read> Failed"}, {-180, "Device Open Failed"},
        {-200, "Illegal argument"}, {-1, unexpected}, {-181, unexpected},
    };
    for (const auto &[code, text] : rows)
        EXPECT_STREQ(errorCodeText(code), text) << code;
    EXPECT_EQ(errorCodeText(0), nullptr);
}

}  // namespace
