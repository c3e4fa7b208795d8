// The Windows driver-library adapter against the simulated uusbd.dll beside
// this test program, through the device session: what the scenarios of the
// program do not reach (read sizes, a failed read, a board attached again,
// the loader's search).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "device/device_session.h"
#include "device/device_win32.h"
#include "device/packets.h"
#include "program.h"
#include "sim_control.h"

namespace {

class DriverLibraryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim = new SimControl;
        sim->writeConfig("board 0\n");
        sim->applyEnvironment();
        ASSERT_TRUE(loadDriverLibrary());
        // The first call starts the simulator, which from then on follows commands.
        driverLibrary->boardStatus(0);
    }
    static void TearDownTestSuite()
    {
        delete sim;
        sim = nullptr;
    }

    // Every test closes what it opened, so the boards can be replaced.
    void useBoards(const std::string &config)
    {
        sim->writeConfig(config);
        ASSERT_TRUE(sim->commandAndWait("reload"));
        calls0 = sim->calls().size();
    }
    // How often the line was called since useBoards.
    std::ptrdiff_t countOf(const std::string &line) const
    {
        const std::vector<std::string> all = sim->calls();
        return std::count(all.begin() + static_cast<std::ptrdiff_t>(calls0), all.end(), line);
    }

    static SimControl *sim;
    size_t calls0 = 0;
};

SimControl *DriverLibraryTest::sim = nullptr;

TEST_F(DriverLibraryTest, TheReadSizeIsTheEndpointsPacketSizeUpTo64Bytes)
{
    const std::pair<const char *, uint16_t> rows[] = {{"board 0 descriptor=big-packet\n", 64},
                                                      {"board 0 maxpacket=23\n", 23}};
    for (const auto &[board, readSize] : rows) {
        SCOPED_TRACE(board);
        useBoards(board);
        ASSERT_EQ(openBoardById(0), kSuccess);
        EXPECT_EQ(deviceSession.readSize, readSize);
        EXPECT_EQ(readDataPacket(), kSuccess);
        EXPECT_EQ(closeSession(), kSuccess);
    }
}

TEST_F(DriverLibraryTest, AFailedReadWithTheBoardPresentResetsWaitsAndGoesOn)
{
    useBoards("board 0\n");
    ASSERT_EQ(openBoardById(0), kSuccess);
    ASSERT_EQ(readDataPacket(), kSuccess);
    const uint16_t sequence = readU16(packetBuffers.data, 0);
    ASSERT_TRUE(sim->commandAndWait("fail-read 0"));
    // A packet queued before the command may come first; one of the next two
    // reads gets 0 bytes, waits 1000 ms and leaves the buffer as it was.
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
    EXPECT_EQ(countOf("status 0 0"), 2) << "one in the search, one after the failed read";
    EXPECT_EQ(countOf("reset 0 2"), 2) << "one after the probe, one after the failed read";
    ASSERT_EQ(readDataPacket(), kSuccess);
    EXPECT_NE(readU16(packetBuffers.data, 0), sequence) << "packets flow again";
    EXPECT_EQ(closeSession(), kSuccess);
}

TEST_F(DriverLibraryTest, ARemovedBoardIsReportedGoneAndFoundAgainWhenAttached)
{
    useBoards("board 4\n");
    ASSERT_EQ(openBoardById(4), kSuccess);
    ASSERT_TRUE(sim->commandAndWait("remove 0"));
    EXPECT_EQ(readDataPacket(), kErrRemoved);
    EXPECT_EQ(closeSession(), kSuccess);
    EXPECT_EQ(openBoardById(4), kErrOpenFailed);
    ASSERT_TRUE(sim->commandAndWait("attach 0"));
    ASSERT_EQ(openBoardById(4), kSuccess);
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
    wchar_t self[MAX_PATH];
    const std::wstring ownPath(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    const std::wstring dll = ownPath.substr(0, ownPath.find_last_of(L'\\')) + L"\\uusbd.dll";
    WorkFolder programFolder, currentFolder;
    const std::wstring probe = programFolder.filePath("probe.exe");
    ASSERT_TRUE(CopyFileW(ownPath.c_str(), probe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(dll.c_str(), currentFolder.filePath("uusbd.dll").c_str(), FALSE));
    const auto runProbe = [&] {
        SetEnvironmentVariableA(kProbeVariable, "1");
        const DWORD code = runToEnd(L"\"" + probe + L"\" --gtest_filter=DriverLibraryLoader.ProbeChild",
                                    currentFolder.path().c_str(), 60000);
        SetEnvironmentVariableA(kProbeVariable, nullptr);
        return code;
    };
    EXPECT_EQ(runProbe(), DWORD(kRefused)) << "a library only in the current directory";
    ASSERT_TRUE(CopyFileW(dll.c_str(), programFolder.filePath("uusbd.dll").c_str(), FALSE));
    EXPECT_EQ(runProbe(), DWORD(kLoaded)) << "a library beside the program";
}

}  // namespace
