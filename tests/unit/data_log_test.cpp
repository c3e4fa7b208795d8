#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "acquisition/save_trigger.h"
#include "datalog/data_log.h"

namespace {

// Clock readings handed out one by one, and the local time of day.
uint32_t clockReadings[8];
int nextReading;
LogTime timeOfDay;

uint32_t fakeMilliseconds() { return clockReadings[nextReading++]; }
LogTime fakeLocalTime() { return timeOfDay; }
const LogClocks kFakeClocks = {fakeMilliseconds, fakeLocalTime};

const char kToday[] = "2007_3_5.csv";
std::tm today()
{
    std::tm date{};
    date.tm_year = 107;
    date.tm_mon = 2;
    date.tm_mday = 5;
    return date;
}

std::string readToday()
{
    std::ifstream in(kToday, std::ios::binary);
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
        nextReading = 0;
        timeOfDay = LogTime{14, 5, 9, 37};
    }
    void TearDown() override
    {
        closeLogAtExit(log);
        ASSERT_EQ(chdir(previousDirectory), 0);
        std::system(("rm -rf " + directory).c_str());
    }

    // One sample at writeIndex, the way the tick stores it, then written.
    void record(const std::vector<int32_t> &values)
    {
        for (int c = 0; c < kChannelCount; ++c)
            history.values[c][history.writeIndex] = values[static_cast<size_t>(c)];
        writeLogRecord(log, history, kFakeClocks);
        advanceHistory(history);
    }

    std::string directory;
    char previousDirectory[4096];
    AppState app{};
    DataLog log{};
    SampleHistory history;
};

TEST_F(DataLogFile, ExampleBlockHasExactBytes)
{
    ASSERT_TRUE(openLogFile(log, today()));
    clockReadings[0] = 90000;  // read after "0," of the first record
    clockReadings[1] = 90060;
    clockReadings[2] = 90121;
    ASSERT_TRUE(beginBlock(app, log));
    record({512, 100, 3, 0, 0, 0, 0, 1023});
    record({515, 101, 3, 0, 0, 0, 0, 1023});
    record({518, 99, 3, 0, 0, 0, 0, 1023});
    endBlock(log);
    EXPECT_EQ(readToday(), "[14 h 05 m 09.37]\r\n"
                           "0,512,100,3,0,0,0,0,1023,\r\n"
                           "60,515,101,3,0,0,0,0,1023,\r\n"
                           "121,518,99,3,0,0,0,0,1023,\r\n"
                           "\r\n");
}

// Blocks appended one after another to the same file; record k of a block
// holds k + 1 on every channel and reads the clock once.  A block ends with
// SaveStop or, at program end, without the empty line.
TEST_F(DataLogFile, EachBlockIsAppendedWithItsOwnHeaderAndClock)
{
    struct Row { const char *what; LogTime time; std::vector<uint32_t> clocks; std::string bytes; bool exit = false; };
    const Row rows[] = {
        {"a block without ticks leaves only the empty line and reads no clock", {14, 5, 9, 37}, {}, "\r\n"},
        {"hours, minutes and seconds padded, milliseconds not", {9, 3, 7, 5}, {5000, 5100, 5160},
         "[09 h 03 m 07.5]\r\n0,1,1,1,1,1,1,1,1,\r\n100,2,2,2,2,2,2,2,2,\r\n160,3,3,3,3,3,3,3,3,\r\n\r\n"},
        {"the clock wrapped within the block", {14, 5, 9, 37}, {0xFFFFFFF0u, 0x10u},
         "[14 h 05 m 09.37]\r\n0,1,1,1,1,1,1,1,1,\r\n32,2,2,2,2,2,2,2,2,\r\n\r\n"},
        {"after 24.8 days the field turns negative", {14, 5, 9, 37}, {1, 0x80000001u},
         "[14 h 05 m 09.37]\r\n0,1,1,1,1,1,1,1,1,\r\n-2147483648,2,2,2,2,2,2,2,2,\r\n\r\n"},
        {"a block starting at clock 0 is no special case", {14, 5, 9, 37}, {0, 25},
         "[14 h 05 m 09.37]\r\n0,1,1,1,1,1,1,1,1,\r\n25,2,2,2,2,2,2,2,2,\r\n\r\n"},
        {"the exit flushes the records without the empty line", {14, 5, 9, 37}, {1},
         "[14 h 05 m 09.37]\r\n0,1,1,1,1,1,1,1,1,\r\n", true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_TRUE(openLogFile(log, today()));
        const std::string before = readToday();
        timeOfDay = r.time;
        nextReading = 0;
        std::copy(r.clocks.begin(), r.clocks.end(), clockReadings);
        ASSERT_TRUE(beginBlock(app, log));
        for (int32_t k = 1; k <= static_cast<int32_t>(r.clocks.size()); ++k)
            record(std::vector<int32_t>(kChannelCount, k));
        EXPECT_EQ(log.lastRecordMs, r.clocks.size() > 1 ? r.clocks.back() : 0u);
        r.exit ? closeLogAtExit(log) : endBlock(log);
        EXPECT_EQ(log.logFile, nullptr) << "the caller reopens under the current date";
        EXPECT_EQ(readToday(), before + r.bytes);
        EXPECT_EQ(nextReading, static_cast<int>(r.clocks.size()));
    }
}

TEST_F(DataLogFile, BlockStartsOnlyWhileConnectedAndSampling)
{
    struct Row { const char *what; int32_t connected, graphRunning; bool starts; };
    const Row rows[] = {
        {"connected and sampling starts a block", 1, 1, true},
        {"not connected: nothing happens", 0, 1, false},
        {"not sampling: nothing happens", 1, 0, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        app.connected = r.connected;
        app.graphRunning = r.graphRunning;
        app.saving = 0;
        log.blockStartMs = 123;
        log.lastRecordMs = 456;
        EXPECT_EQ(beginBlock(app, log), r.starts);
        EXPECT_EQ(std::vector<uint32_t>({static_cast<uint32_t>(app.saving), log.blockStartMs, log.lastRecordMs}),
                  r.starts ? std::vector<uint32_t>({1, 0, 0}) : std::vector<uint32_t>({0, 123, 456}));
    }
}

TEST_F(DataLogFile, UnopenableFileDropsRecordsAndIsRetriedAtBlockEnd)
{
    ASSERT_EQ(mkdir(kToday, 0700), 0);  // a directory in the file's place makes the open fail
    EXPECT_FALSE(openLogFile(log, today()));
    EXPECT_EQ(log.logFile, nullptr);
    ASSERT_TRUE(beginBlock(app, log));
    clockReadings[0] = 1;
    record({1, 2, 3, 4, 5, 6, 7, 8});
    record({1, 2, 3, 4, 5, 6, 7, 8});
    endBlock(log);

    ASSERT_EQ(rmdir(kToday), 0);
    ASSERT_TRUE(openLogFile(log, today())) << "the reopen at block end succeeds now";
    nextReading = 0;
    clockReadings[0] = 500;
    ASSERT_TRUE(beginBlock(app, log));
    record({8, 7, 6, 5, 4, 3, 2, 1});
    endBlock(log);
    EXPECT_EQ(readToday(), "[14 h 05 m 09.37]\r\n0,8,7,6,5,4,3,2,1,\r\n\r\n") << "nothing of the dropped block appears";
}

}  // namespace
