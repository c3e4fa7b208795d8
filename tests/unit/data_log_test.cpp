#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "datalog/data_log.h"

namespace {

// Clock readings handed out one by one, and the local date and time.
uint64_t clockReadings[8];
int nextReading;
LogTime localNow;

uint64_t fakeMilliseconds() { return clockReadings[nextReading++]; }
LogTime fakeLocalTime() { return localNow; }
const LogClocks kFakeClocks = {fakeMilliseconds, fakeLocalTime};

constexpr LogTime kMarch5 = {2007, 3, 5, 14, 5, 9, 37};
constexpr LogTime kMarch6 = {2007, 3, 6, 0, 0, 1, 5};
const std::string kHeader = "[14 h 05 m 09.37]\r\n";
const std::string kRecord1 = ",10,11,12,13,14,15,16,17,\r\n", kRecord2 = ",20,21,22,23,24,25,26,27,\r\n";

// The file's bytes; "" when there is no file of that name.
std::string fileBytes(const char *name)
{
    struct stat status;
    if (stat(name, &status) != 0 || !S_ISREG(status.st_mode))
        return "";
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each test runs in a fresh directory: log files are named relative to it.
class DataLogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pv_data_log_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        ASSERT_NE(getcwd(previousDirectory, sizeof previousDirectory), nullptr);
        ASSERT_EQ(chdir(directory.c_str()), 0);
        app.connected = 1;
        app.graphRunning = 1;
        resetHistory(history);
        localNow = kMarch5;
    }
    void TearDown() override
    {
        closeLogAtExit(log);
        ASSERT_EQ(chdir(previousDirectory), 0);
        std::system(("rm -rf " + directory).c_str());
    }

    // A block of records at these clock readings, record k holding 10 k + c
    // on channel c; the first error, if any, ends it.
    int block(const std::vector<uint64_t> &clocks)
    {
        nextReading = 0;
        std::copy(clocks.begin(), clocks.end(), clockReadings);
        int error = beginBlock(app, log, localNow);
        for (int32_t k = 1; error == 0 && app.saving && k <= static_cast<int32_t>(clocks.size()); ++k) {
            for (int c = 0; c < kChannelCount; ++c)
                history.values[c][history.writeIndex] = 10 * k + c;
            error = writeLogRecord(log, history, kFakeClocks);
            advanceHistory(history);
        }
        return error;
    }

    std::string directory;
    char previousDirectory[4096];
    AppState app{};
    DataLog log{};
    SampleHistory history;
};

// Blocks appended one after another to the same file.  A block ends with
// SaveStop or, at program end, without the empty line.
TEST_F(DataLogFile, EachBlockIsAppendedWithItsOwnHeaderAndClock)
{
    struct Row { const char *what; std::vector<uint64_t> clocks; std::string bytes; bool exit = false; };
    const Row rows[] = {
        {"a block without ticks leaves only the empty line", {}, "\r\n"},
        {"a block starting at clock 0 is no special case", {0, 25}, "0" + kRecord1 + "25" + kRecord2 + "\r\n"},
        {"after 24.8 days the elapsed time stays positive", {1, 0x80000001u},
         "0" + kRecord1 + "2147483648" + kRecord2 + "\r\n"},
        {"after 50 days the elapsed time goes on past 32 bits", {7, 4320000007u},
         "0" + kRecord1 + "4320000000" + kRecord2 + "\r\n"},
        {"the exit writes the records without the empty line", {1, 2}, "0" + kRecord1 + "1" + kRecord2,
         true},
    };
    std::string expected;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_EQ(block(r.clocks), 0);
        EXPECT_EQ(r.exit ? closeLogAtExit(log) : endBlock(log), 0);
        EXPECT_EQ(log.file, kNoLogFile) << "the caller reopens under the current date";
        expected += (r.clocks.empty() ? "" : kHeader) + r.bytes;
        EXPECT_EQ(fileBytes("2007_3_5.csv"), expected);
    }
}

// SaveStart (or the trigger), while connected and sampling, opens the file
// named after the day the block starts on, unless that file is open already.
TEST_F(DataLogFile, ABlockGoesIntoTheFileOfTheDayItStartsOn)
{
    const std::string march6 = "[00 h 00 m 01.5]\r\n0" + kRecord1 + "\r\n";
    struct Row { const char *what; bool openMarch5, folderInTheWay, connected, sampling; LogTime now; const char *file;
                 std::string bytes; std::string before = ""; };
    const Row rows[] = {
        {"no file open: SaveStart opens today's", false, false, true, true, kMarch5, "2007_3_5.csv",
         kHeader + "0" + kRecord1 + "\r\n"},
        {"yesterday's file open after midnight: today's is opened", true, false, true, true, kMarch6, "2007_3_6.csv",
         march6},
        {"the file cannot be opened: no block starts", false, true, true, true, kMarch5, "2007_3_5.csv", ""},
        {"not sampling: no block and no file", false, false, true, false, kMarch5, "2007_3_5.csv", ""},
        {"not connected: no block and no file", false, false, false, true, kMarch5, "2007_3_5.csv", ""},
        {"a line cut off by a crash is ended before the block", false, false, true, true, kMarch5, "2007_3_5.csv",
         "\r\n" + kHeader + "0" + kRecord1 + "\r\n", "0,1,2\r\n5,1"},
        {"a file ending with a whole line gets nothing more", false, false, true, true, kMarch5, "2007_3_5.csv",
         kHeader + "0" + kRecord1 + "\r\n", "5,1,2\r\n"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_EQ(std::system("rm -rf ./*"), 0);
        app.saving = 0;
        app.connected = r.connected;
        app.graphRunning = r.sampling;
        ASSERT_TRUE(!r.openMarch5 || openLogFile(log, kMarch5) == 0);
        ASSERT_TRUE(!r.folderInTheWay || mkdir(r.file, 0700) == 0);
        ASSERT_TRUE(r.before.empty() || (std::ofstream(r.file, std::ios::binary) << r.before));
        localNow = r.now;
        EXPECT_EQ(block({5}) != 0, r.folderInTheWay);
        EXPECT_EQ(app.saving, r.bytes.empty() ? 0 : 1);
        EXPECT_EQ(endBlock(log), 0);
        EXPECT_EQ(fileBytes(r.file), r.before + r.bytes);
        EXPECT_EQ(fileBytes("2007_3_5.csv"), r.now.day == 5 ? r.before + r.bytes : "") << "nothing in yesterday's file";
    }
    // The day's file already open is kept, even when its name could no longer be opened.
    ASSERT_EQ(std::system("rm -rf ./*"), 0);
    ASSERT_EQ(openLogFile(log, kMarch5), 0);
    ASSERT_EQ(rename("2007_3_5.csv", "kept.csv"), 0);
    ASSERT_EQ(mkdir("2007_3_5.csv", 0700), 0);
    app = AppState{};
    app.connected = app.graphRunning = 1;
    EXPECT_EQ(block({5}), 0);
    EXPECT_EQ(endBlock(log), 0);
    EXPECT_EQ(fileBytes("kept.csv"), kHeader + "0" + kRecord1 + "\r\n");
}

// A file that cannot grow: the first failed write ends the block and cuts
// the file back to its last whole record; when there is room again the next
// block starts on a line of its own.
TEST_F(DataLogFile, AFailedWriteEndsTheBlockAndLeavesOnlyWholeRecords)
{
    const std::string first = kHeader + "0" + kRecord1;
    struct Row { const char *what; bool devFull; rlim_t room; std::vector<uint64_t> clocks; int error; std::string bytes; };
    const Row rows[] = {
        {"a full device fails the first write", true, RLIM_INFINITY, {1000, 1600}, ENOSPC, ""},
        {"room for the first record only: the second is cut off", false, first.size() + 10, {1000, 1600}, EFBIG, first},
        {"no room for the closing line: the block end fails", false, first.size() + 1, {1000}, EFBIG, first},
    };
    std::signal(SIGXFSZ, SIG_IGN);
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_EQ(std::system("rm -rf ./*"), 0);
        log = DataLog{};
        ASSERT_TRUE(!r.devFull || symlink("/dev/full", "2007_3_5.csv") == 0);
        const rlimit limit = {r.room, RLIM_INFINITY};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const int recordError = block(r.clocks);
        const int endError = endBlock(log);
        const rlimit unlimited = {RLIM_INFINITY, RLIM_INFINITY};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &unlimited), 0);
        EXPECT_EQ(recordError + endError, r.error) << "one step fails, the first to find no room";
        EXPECT_EQ(log.file, kNoLogFile) << "the failure closes the file";
        if (r.devFull)
            continue;
        EXPECT_EQ(fileBytes("2007_3_5.csv"), r.bytes);
        ASSERT_EQ(block({3000}), 0) << "with room again, the next block starts";
        ASSERT_EQ(endBlock(log), 0);
        EXPECT_EQ(fileBytes("2007_3_5.csv"), r.bytes + first + "\r\n");
    }
}

}  // namespace
