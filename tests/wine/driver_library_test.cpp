// The Windows driver-library adapter against the simulated uusbd.dll beside
// this test program, through the device session.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "device/device_session.h"
#include "device/device_win32.h"
#include "device/packets.h"
#include "sim_control.h"

namespace {

const char kProbeVariable[] = "PV_LOADER_PROBE";

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
        written0 = sim->writtenPackets().size();
    }
    std::vector<std::string> newCalls() const
    {
        const std::vector<std::string> all = sim->calls();
        return std::vector<std::string>(all.begin() + static_cast<long>(calls0), all.end());
    }
    std::vector<WrittenPacket> newPackets() const
    {
        const std::vector<WrittenPacket> all = sim->writtenPackets();
        return std::vector<WrittenPacket>(all.begin() + static_cast<long>(written0), all.end());
    }
    size_t countOf(const std::string &line) const
    {
        size_t n = 0;
        for (const std::string &call : newCalls())
            n += (call == line);
        return n;
    }

    static SimControl *sim;
    size_t calls0 = 0;
    size_t written0 = 0;
};

SimControl *DriverLibraryTest::sim = nullptr;

TEST_F(DriverLibraryTest, FindsReadsWritesAndClosesABoard)
{
    useBoards("board 3\nchannel 0 raw 0x1234\nchannel 7 constant offset=1024\ninputs p9=0x15 pa=0x5A pb=0x01\n");
    ASSERT_EQ(openBoardById(3), kSuccess);
    EXPECT_EQ(deviceSession.readSize, 64);

    ASSERT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(boardIdOf(packetBuffers.data), 3);
    EXPECT_EQ(channelWordOf(packetBuffers.data, 0), 0x1234);
    EXPECT_EQ(channelValue(channelWordOf(packetBuffers.data, 7)), 1024);
    EXPECT_EQ(portInputsOf(packetBuffers.data, 0), 0x15);
    EXPECT_EQ(portInputsOf(packetBuffers.data, 1), 0x5A);

    ASSERT_EQ(writeInitialData(0x01, 0x08, 0x00), kSuccess);
    ASSERT_EQ(writeControlData(0x01, 0x08, 0x00), kSuccess);
    const std::vector<WrittenPacket> packets = newPackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].pipe, 1);
    EXPECT_EQ(packets[1].pipe, 3);
    std::array<uint8_t, 64> directions{}, outputs{};
    directions[0] = 0x01;
    directions[1] = 0x08;
    outputs[0] = 0x01;
    outputs[1] = 0x01;
    outputs[2] = 0x08;
    EXPECT_EQ(packets[0].bytes, directions);
    EXPECT_EQ(packets[1].bytes, outputs);

    EXPECT_EQ(closeSession(), kSuccess);
    EXPECT_EQ(newCalls().back(), "close 0");
}

TEST_F(DriverLibraryTest, TheThirdBoardMatchesAndTheOthersAreClosedAfterTheSearch)
{
    useBoards("board 5\nboard 6\nboard 7\n");
    ASSERT_EQ(openBoardById(7), kSuccess);
    std::vector<std::string> opensAndCloses;
    for (const std::string &call : newCalls())
        if (call.compare(0, 5, "open ") == 0 || call.compare(0, 6, "close ") == 0)
            opensAndCloses.push_back(call);
    EXPECT_EQ(opensAndCloses, (std::vector<std::string>{"open 0", "open 1", "open 2", "close 0", "close 1"}));
    ASSERT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(boardIdOf(packetBuffers.data), 7);
    EXPECT_EQ(closeSession(), kSuccess);
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
    EXPECT_EQ(countOf("status 0 0"), 2u) << "one in the search, one after the failed read";
    EXPECT_EQ(countOf("reset 0 2"), 2u) << "one after the probe, one after the failed read";

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

TEST_F(DriverLibraryTest, AFailedWriteIsReportedAndTheOtherPipeStillWorks)
{
    useBoards("board 0\n");
    ASSERT_EQ(openBoardById(0), kSuccess);
    ASSERT_TRUE(sim->commandAndWait("fail-write 0 3"));
    EXPECT_EQ(writeControlData(0, 0, 0), kErrControlWrite);
    EXPECT_EQ(writeInitialData(0, 0, 0), kSuccess);
    EXPECT_EQ(readDataPacket(), kSuccess);
    EXPECT_EQ(closeSession(), kSuccess);
    // A new session has working pipes again.
    ASSERT_EQ(openBoardById(0), kSuccess);
    EXPECT_EQ(writeControlData(0, 0, 0), kSuccess);
    EXPECT_EQ(closeSession(), kSuccess);
}

struct VariantCase {
    const char *sentence;
    const char *board;
    ErrorCode expected;
    uint16_t readSize;
    size_t closes;  // of board 0 by a refused search: each of the 32 attempts closes it
};

TEST_F(DriverLibraryTest, DescriptorAndStatusVariantsThroughTheLibrary)
{
    const VariantCase cases[] = {
        {"a big endpoint is read 64 bytes at a time", "board 0 descriptor=big-packet", kSuccess, 64, 0},
        {"a 23-byte board is read 23 bytes at a time", "board 0 maxpacket=23", kSuccess, 23, 0},
        {"without boards the 32 attempts fail", "", kErrOpenFailed, 0, 0},
        {"a board with status 2 is closed at once", "board 0 status=2", kErrOpenFailed, 0, 32},
        {"interface 0 without endpoint is skipped", "board 0 descriptor=no-endpoint", kErrOpenFailed, 0, 32},
        {"a failing descriptor read is skipped", "board 0 descriptor=read-fail", kErrOpenFailed, 0, 32},
    };
    for (const VariantCase &c : cases) {
        useBoards(std::string(c.board) + "\n");
        deviceSession = DeviceSession{};
        const int attempts = sim->openAttempts();
        EXPECT_EQ(openBoardById(0), c.expected) << c.sentence;
        EXPECT_EQ(deviceSession.readSize, c.readSize) << c.sentence;
        if (c.expected == kSuccess) {
            EXPECT_EQ(readDataPacket(), kSuccess) << c.sentence;
            EXPECT_EQ(closeSession(), kSuccess) << c.sentence;
            continue;
        }
        EXPECT_EQ(sim->openAttempts() - attempts, 32) << c.sentence;
        EXPECT_EQ(countOf("close 0"), c.closes) << c.sentence;
        EXPECT_EQ(countOf("pipe 0 3 ok"), 0u) << c.sentence << ": no pipe opened";
    }
}

// ---- The loader never takes uusbd.dll from the current directory. ----

std::string ownPath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string folderOf(const std::string &path)
{
    return path.substr(0, path.find_last_of('\\'));
}

std::string freshFolder(const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Runs a copy of this program from `programFolder` with `currentFolder` as
// its current directory; returns its exit code.
DWORD runProbe(const std::string &programFolder, const std::string &currentFolder, const char *expectation)
{
    const std::string program = programFolder + "\\probe.exe";
    CopyFileA(ownPath().c_str(), program.c_str(), FALSE);
    std::string commandLine = "\"" + program + "\" --gtest_filter=DriverLibraryLoader.ProbeChild";
    SetEnvironmentVariableA(kProbeVariable, expectation);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        currentFolder.c_str(), &startup, &process);
    SetEnvironmentVariableA(kProbeVariable, nullptr);
    if (!started)
        return 1000;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1001;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileA(program.c_str());
    return exitCode;
}

TEST(DriverLibraryLoader, ProbeChild)
{
    char expectation[16] = {};
    if (GetEnvironmentVariableA(kProbeVariable, expectation, sizeof expectation) == 0)
        GTEST_SKIP() << "runs only as the loader probe";
    EXPECT_EQ(loadDriverLibrary(), std::string(expectation) == "loads");
}

TEST(DriverLibraryLoader, IgnoresALibraryInTheCurrentDirectory)
{
    const std::string dll = folderOf(ownPath()) + "\\uusbd.dll";
    const std::string programFolder = freshFolder("pv_probe_program_");
    const std::string currentFolder = freshFolder("pv_probe_current_");
    const std::string planted = currentFolder + "\\uusbd.dll";
    ASSERT_TRUE(CopyFileA(dll.c_str(), planted.c_str(), FALSE));

    EXPECT_EQ(runProbe(programFolder, currentFolder, "refuses"), 0u) << "a library only in the current directory";

    const std::string beside = programFolder + "\\uusbd.dll";
    ASSERT_TRUE(CopyFileA(dll.c_str(), beside.c_str(), FALSE));
    EXPECT_EQ(runProbe(programFolder, currentFolder, "loads"), 0u) << "a library beside the program";

    DeleteFileA(beside.c_str());
    DeleteFileA(planted.c_str());
    RemoveDirectoryA(programFolder.c_str());
    RemoveDirectoryA(currentFolder.c_str());
}

}  // namespace
