#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/device_session.h"
#include "device/packets.h"
#include "sim_driver.h"

namespace {

using Lines = std::vector<std::string>;

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
const Lines kProbed = concat({kOpened, kDescribed, kPipes, {"readfile 0 2 64", "reset 0 2"}});

// The simulated boards of a configuration, in place of the driver library;
// the calls made since `mark`.
struct Boards {
    explicit Boards(const std::string &config)
        : library(parseSimConfig(config)), driver(library)
    {
        deviceSession = DeviceSession{};
        driverLibrary = &driver;
    }
    ~Boards() { driverLibrary = nullptr; }
    Lines callsFrom(size_t mark) const
    {
        return Lines(library.calls().begin() + static_cast<long>(mark), library.calls().end());
    }
    SimLibrary library;
    SimDriver driver;
};

// One board and what one attempt of the search for ID 0 does with it.  A
// board closed at once is offered again, so all 32 attempts look alike; a
// board kept open is closed after the other 31 attempts find none.
TEST(OpenSearch, EachAttemptProbesOrSkipsTheBoard)
{
    // command: a simulator command before the search, or null; readSize 0: no board matches
    struct Row { const char *what, *board, *command; bool readFileFails; uint16_t readSize; Lines attempt; };
    const Row rows[] = {
        {"status 1 is not to be used", "board 0 status=1", nullptr, false, 0, {"open 0", "status 0 1", "close 0"}},
        {"status 3 is usable", "board 0 status=3", nullptr, false, 64,
         concat({{"open 0", "status 0 3"}, kDescribed, kPipes, {"readfile 0 2 64", "reset 0 2"}})},
        {"an endpoint above 64 bytes is read 64 bytes at a time", "board 0 descriptor=big-packet", nullptr, false, 64,
         kProbed},
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
        {"another boardId closes the pipes and keeps the board till the search ends", "board 5", nullptr, false, 0,
         concat({kProbed, kClosedPipes})},
        {"a probe of 3 bytes carries no boardId", "board 0 packet=3", nullptr, false, 0,
         concat({kOpened, kDescribed, kPipes, {"readfile 0 2 3", "reset 0 2"}, kClosedPipes})},
        {"a probe of 4 bytes carries it", "board 0 packet=4", nullptr, false, 64,
         concat({kOpened, kDescribed, kPipes, {"readfile 0 2 4", "reset 0 2"}})},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Boards b(std::string(r.board) + "\n");
        b.driver.failNextReadFile = r.readFileFails;
        if (r.command)
            b.library.applyCommand(r.command);
        const size_t mark = b.library.calls().size();
        EXPECT_EQ(openBoardById(0), r.readSize ? kSuccess : kErrOpenFailed);
        EXPECT_EQ(deviceSession.readSize, r.readSize);
        const bool closedAtOnce = r.attempt.back() == "close 0";
        Lines expected = r.attempt;
        for (int attempt = 1; attempt < 32 && r.readSize == 0; ++attempt)
            expected = concat({expected, closedAtOnce ? r.attempt : Lines{"open -1"}});
        if (r.readSize == 0 && !closedAtOnce)
            expected.push_back("close 0");
        EXPECT_EQ(b.callsFrom(mark), expected);
        EXPECT_EQ(b.driver.openPipeCount(), r.readSize ? 3 : 0);
    }
    Boards none("");
    EXPECT_EQ(openBoardById(0), kErrOpenFailed);
    EXPECT_EQ(none.library.calls(), Lines(32, "open -1")) << "no board at all";
    driverLibrary = nullptr;
    EXPECT_EQ(openBoardById(0), kErrOpenFailed) << "no library loaded";
}

// An operation on a session with board 0, after a fault: a simulator command
// and, for a read, a failing ReadFile, for a close, the pipe whose
// CloseHandle fails.  The DataPacket buffer and, but for a close, the session
// stay as they were, and so do the packets sent before a failed write; the
// next write succeeds; after a close a read finds nothing open and a second
// close closes what is left.
TEST(OpenSession, ReadsWritesAndClose)
{
    enum Op { kRead, kDirections, kOutputs, kClose, kCloseWhole };
    struct Row { const char *what; Op op; const char *command; int fault; ErrorCode result; Lines calls;
                 std::vector<uint8_t> sent; Lines secondClose = {}; };
    const Row rows[] = {
        {"a read of 0 bytes with the board present resets and waits", kRead, "fail-read 0", 0, kSuccess,
         {"readfile 0 2 0", "status 0 0", "reset 0 2", "sleep 1000"}, {}},
        {"a failing ReadFile with the board present resets and waits", kRead, nullptr, 1, kSuccess,
         {"readfile 0 2 fail", "status 0 0", "reset 0 2", "sleep 1000"}, {}},
        {"a failed read with a non-zero status reports the board gone", kRead, "status 0 7", 1, kErrRemoved,
         {"readfile 0 2 fail", "status 0 7"}, {}},
        {"directions go to pipe 1 in 64 bytes, then it is reset", kDirections, nullptr, 0, kSuccess,
         {"writefile 0 1 64 ok", "reset 0 1"}, {0x15, 0x08, 0xFF}},
        {"outputs go to pipe 3 after the marker", kOutputs, nullptr, 0, kSuccess,
         {"writefile 0 3 64 ok", "reset 0 3"}, {0x01, 0x15, 0x08, 0xFF}},
        {"a failing direction write gives -150 and no reset", kDirections, "fail-write 0 1", 0, kErrInitialWrite,
         {"writefile 0 1 64 fail"}, {}},
        {"a failing output write gives -160", kOutputs, "fail-write 0 3", 0, kErrControlWrite,
         {"writefile 0 3 64 fail"}, {}},
        {"close closes the read, control and initial pipes, then the board", kClose, nullptr, 0, kSuccess,
         {"closehandle 0 2 ok", "closehandle 0 3 ok", "closehandle 0 1 ok", "close 0"}, {}},
        {"close stops at a failing read pipe; the second closes the rest", kClose, nullptr, 2, -1,
         {"closehandle 0 2 fail"}, {}, {"closehandle 0 3 ok", "closehandle 0 1 ok", "close 0"}},
        {"close stops at a failing control pipe", kClose, nullptr, 3, -1,
         {"closehandle 0 2 ok", "closehandle 0 3 fail"}, {}, {"closehandle 0 1 ok", "close 0"}},
        {"a whole close goes on past a failing control pipe and releases the board", kCloseWhole, nullptr, 3,
         kSuccess, {"closehandle 0 2 ok", "closehandle 0 3 fail", "closehandle 0 1 ok", "close 0"}, {}},
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
        Boards b("board 0\nchannel 0 raw 0x1234\n");
        ASSERT_EQ(openBoardById(0), kSuccess);
        ASSERT_EQ(readDataPacket(), kSuccess);
        uint8_t data[kPacketBufferSize], unsent[kPacketBufferSize] = {};
        std::memcpy(data, packetBuffers.data, sizeof data);
        std::memset(packetBuffers.initial, 0, kPacketBufferSize);
        std::memset(packetBuffers.control, 0, kPacketBufferSize);
        const DeviceSession session = deviceSession;
        ASSERT_TRUE(!r.command || b.library.applyCommand(r.command));
        b.driver.failNextReadFile = r.op == kRead && r.fault != 0;
        b.driver.failCloseOfPipe = r.op >= kClose ? r.fault : 0;
        const size_t mark = b.library.calls().size();
        EXPECT_EQ(run(r.op), r.result);
        EXPECT_EQ(b.callsFrom(mark), r.calls);
        EXPECT_EQ(0, std::memcmp(data, packetBuffers.data, sizeof data)) << "DataPacket buffer kept";
        EXPECT_TRUE(r.result == kSuccess || (std::memcmp(unsent, packetBuffers.initial, sizeof unsent) == 0 &&
                                             std::memcmp(unsent, packetBuffers.control, sizeof unsent) == 0))
            << "a failed write leaves the last packet sent in its buffer";
        EXPECT_TRUE(r.op >= kClose || std::memcmp(&session, &deviceSession, sizeof session) == 0) << "session kept";
        EXPECT_EQ(b.library.board(0).open, r.op < kClose || r.result != kSuccess);
        std::array<uint8_t, 64> sent{};
        std::copy(r.sent.begin(), r.sent.end(), sent.begin());
        ASSERT_EQ(b.library.written().size(), r.sent.empty() ? 0u : 1u);
        EXPECT_TRUE(r.sent.empty() || b.library.written()[0].bytes == sent);
        EXPECT_TRUE((r.op != kDirections && r.op != kOutputs) || run(r.op) == kSuccess) << "only the next write fails";
        if (r.op < kClose)
            continue;
        b.driver.failCloseOfPipe = 0;
        const size_t closed = b.library.calls().size();
        EXPECT_EQ(readDataPacket(), kErrNotOpen) << "the read pipe is gone";
        EXPECT_EQ(closeSession(), kSuccess);
        EXPECT_EQ(b.callsFrom(closed), r.secondClose);
        EXPECT_FALSE(b.library.board(0).open);
    }
}

TEST(ErrorCodeText, EveryCodeHasItsMessageAndUnknownCodesTheJapaneseOne)
{
    const char *unexpected = "\x97\x5c\x8a\xfa\x82\xb5\x82\xc8\x82\xa2\x83\x47\x83\x89\x81\x5b\x82\xc5\x82\xb7";
    const std::pair<ErrorCode, const char *> rows[] = {
        {-100, "Selected Device is Not Open"}, {-105, "Selected Device was Removed"},
        {-110, "Selected Device is already Opened"}, {-150, "<Initial Data Write> Failed"},
        {-160, "<Control Data Write> Failed"}, {-170, "<Data Read> Failed"}, {-180, "Device Open Failed"},
        {-200, "Illegal argument"}, {-1, unexpected}, {-181, unexpected}, {0, nullptr},
    };
    for (const auto &[code, text] : rows)
        EXPECT_EQ(text ? std::string(text) : "", errorCodeText(code) ? errorCodeText(code) : "") << code;
}

}  // namespace
