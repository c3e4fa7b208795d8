// The Windows driver-library adapter against the simulated uusbd.dll beside
// this test program, through the device session: what the scenarios of the
// program do not reach (read sizes, a failed read, a board attached again,
// the loader's search).
#include <cstdlib>
#include <cstring>

#include "device/device_session.h"
#include "device/device_win32.h"
#include "device/packets.h"
#include "driver.h"

namespace {

using DriverLibraryAdapter = Scenario;

TEST_F(DriverLibraryAdapter, ReadSizesAFailedReadAndABoardAttachedAgain)
{
    configure("board 0\n");
    ASSERT_TRUE(loadDriverLibrary());
    driverLibrary->boardStatus(0);  // the first call starts the simulator, which then follows commands

    // The read size is the endpoint's packet size, up to 64 bytes.
    for (const auto &[board, readSize] : {std::make_pair("board 0 descriptor=big-packet\n", 64),
                                          std::make_pair("board 0 maxpacket=23\n", 23)}) {
        configure(board);
        ASSERT_TRUE(simCommand("reload"));
        ASSERT_EQ(openBoardById(0), kSuccess) << board;
        EXPECT_EQ(deviceSession.readSize, readSize) << board;
        EXPECT_EQ(readDataPacket(), kSuccess) << board;
        EXPECT_EQ(closeSession(), kSuccess) << board;
    }

    // A failed read with the board present: one of the next two reads (a
    // packet queued before may come first) gets 0 bytes, waits 1000 ms and
    // leaves the buffer as it was.
    configure("board 0\n");
    ASSERT_TRUE(simCommand("reload"));
    ASSERT_EQ(openBoardById(0), kSuccess);
    ASSERT_EQ(readDataPacket(), kSuccess);
    const uint16_t sequence = readU16(packetBuffers.data, 0);
    ASSERT_TRUE(simCommand("fail-read 0"));
    int slowReads = 0;
    for (int read = 0; read < 2; ++read) {
        uint8_t before[kPacketBufferSize];
        std::memcpy(before, packetBuffers.data, sizeof before);
        const DWORD start = GetTickCount();
        EXPECT_EQ(readDataPacket(), kSuccess);
        if (GetTickCount() - start >= 900) {
            ++slowReads;
            EXPECT_EQ(0, std::memcmp(before, packetBuffers.data, sizeof before)) << "the failed read left the buffer";
        }
    }
    EXPECT_EQ(slowReads, 1);
    ASSERT_EQ(readDataPacket(), kSuccess);
    EXPECT_NE(readU16(packetBuffers.data, 0), sequence) << "packets flow again";

    // A removed board is reported gone (after the packets the board had
    // queued before, at most two), and found again once attached.
    ASSERT_TRUE(simCommand("remove 0"));
    ErrorCode read = kSuccess;
    for (int attempt = 0; attempt < 3 && read == kSuccess; ++attempt)
        read = readDataPacket();
    EXPECT_EQ(read, kErrRemoved);
    EXPECT_EQ(closeSession(), kSuccess);
    EXPECT_EQ(openBoardById(0), kErrOpenFailed);
    ASSERT_TRUE(simCommand("attach 0"));
    ASSERT_EQ(openBoardById(0), kSuccess);
    EXPECT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(closeSession(), kSuccess);
}

// ---- The loader never takes uusbd.dll from the current directory. ----

const char kProbeVariable[] = "PV_LOADER_PROBE";
constexpr int kLoaded = 10, kRefused = 20;

// Run as a copy of this program by the test below: its exit code tells.
TEST(DriverLibraryLoader, ProbeChild)
{
    if (GetEnvironmentVariableA(kProbeVariable, nullptr, 0) == 0)
        GTEST_SKIP() << "runs only as the loader probe";
    std::exit(loadDriverLibrary() ? kLoaded : kRefused);
}

TEST(DriverLibraryLoader, IgnoresALibraryInTheCurrentDirectory)
{
    char self[MAX_PATH];
    const std::string ownPath(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    const std::string dll = ownPath.substr(0, ownPath.find_last_of('\\')) + "\\uusbd.dll";
    WorkFolder programFolder, currentFolder;
    const std::string probe = programFolder.file("probe.exe");
    ASSERT_TRUE(CopyFileA(ownPath.c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(dll.c_str(), currentFolder.file("uusbd.dll").c_str(), FALSE));
    const auto runProbe = [&] {
        SetEnvironmentVariableA(kProbeVariable, "1");
        const DWORD code = runToEnd("\"" + probe + "\" --gtest_filter=DriverLibraryLoader.ProbeChild",
                                    currentFolder.path.c_str(), 60000);
        SetEnvironmentVariableA(kProbeVariable, nullptr);
        return code;
    };
    EXPECT_EQ(runProbe(), DWORD(kRefused)) << "a library only in the current directory";
    ASSERT_TRUE(CopyFileA(dll.c_str(), programFolder.file("uusbd.dll").c_str(), FALSE));
    EXPECT_EQ(runProbe(), DWORD(kLoaded)) << "a library beside the program";
}

}  // namespace
