#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

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

std::tm dateOf(int year, int month, int day)
{
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    return date;
}

std::string readFile(const char *name)
{
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

        app = AppState{};
        app.connected = 1;
        app.graphRunning = 1;
        log = DataLog{};
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
    void record(const int32_t (&values)[kChannelCount])
    {
        for (int c = 0; c < kChannelCount; ++c)
            history.values[c][history.writeIndex] = values[c];
        writeLogRecord(log, history, kFakeClocks);
        advanceHistory(history);
    }

    std::string directory;
    char previousDirectory[4096];
    AppState app;
    DataLog log;
    SampleHistory history;
};

const char kToday[] = "2007_3_5.csv";

}  // namespace

TEST_F(DataLogFile, ExampleBlockHasExactBytes)
{
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));
    clockReadings[0] = 90000;  // read after "0," of the first record
    clockReadings[1] = 90060;
    clockReadings[2] = 90121;

    ASSERT_TRUE(beginBlock(app, log));
    record({512, 100, 3, 0, 0, 0, 0, 1023});
    record({515, 101, 3, 0, 0, 0, 0, 1023});
    record({518, 99, 3, 0, 0, 0, 0, 1023});
    endBlock(log);

    EXPECT_EQ(readFile(kToday),
              "[14 h 05 m 09.37]\r\n"
              "0,512,100,3,0,0,0,0,1023,\r\n"
              "60,515,101,3,0,0,0,0,1023,\r\n"
              "121,518,99,3,0,0,0,0,1023,\r\n"
              "\r\n");
    EXPECT_EQ(log.logFile, nullptr) << "the caller reopens under the current date";
}

TEST_F(DataLogFile, SecondBlockIsAppendedWithItsOwnHeaderAndClock)
{
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));
    clockReadings[0] = 5000;
    clockReadings[1] = 5100;
    clockReadings[2] = 70000;  // second block, first record
    clockReadings[3] = 70050;

    ASSERT_TRUE(beginBlock(app, log));
    record({1, 1, 1, 1, 1, 1, 1, 1});
    record({2, 2, 2, 2, 2, 2, 2, 2});
    endBlock(log);
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));

    timeOfDay = LogTime{9, 3, 7, 5};  // hours, minutes and seconds padded, milliseconds not
    ASSERT_TRUE(beginBlock(app, log));
    record({3, 3, 3, 3, 3, 3, 3, 3});
    record({4, 4, 4, 4, 4, 4, 4, 4});
    endBlock(log);

    EXPECT_EQ(readFile(kToday),
              "[14 h 05 m 09.37]\r\n0,1,1,1,1,1,1,1,1,\r\n100,2,2,2,2,2,2,2,2,\r\n\r\n"
              "[09 h 03 m 07.5]\r\n0,3,3,3,3,3,3,3,3,\r\n50,4,4,4,4,4,4,4,4,\r\n\r\n");
}

TEST_F(DataLogFile, BlockWithoutTicksLeavesOnlyTheEmptyLine)
{
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));
    ASSERT_TRUE(beginBlock(app, log));
    endBlock(log);
    EXPECT_EQ(readFile(kToday), "\r\n");
    EXPECT_EQ(nextReading, 0) << "no clock was read";
}

TEST_F(DataLogFile, ElapsedTimeIsTheUnsignedDifferencePrintedSigned)
{
    struct Case { uint32_t start; uint32_t later; const char *field; };
    const Case cases[] = {
        {0xFFFFFFF0u, 0x10u, "32,"},      // the clock wrapped within the block
        {1, 0x80000001u, "-2147483648,"},  // after 24.8 days the field turns negative
    };
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));
    std::string expected;
    for (const Case &c : cases) {
        nextReading = 0;
        clockReadings[0] = c.start;
        clockReadings[1] = c.later;
        ASSERT_TRUE(beginBlock(app, log));
        record({0, 0, 0, 0, 0, 0, 0, 0});
        record({9, 9, 9, 9, 9, 9, 9, 9});
        EXPECT_EQ(log.lastRecordMs, c.later);
        endBlock(log);
        ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));
        expected += "[14 h 05 m 09.37]\r\n0,0,0,0,0,0,0,0,0,\r\n" + std::string(c.field) + "9,9,9,9,9,9,9,9,\r\n\r\n";
    }
    EXPECT_EQ(readFile(kToday), expected);
}

TEST_F(DataLogFile, BlockStartsOnlyWhileConnectedAndSampling)
{
    struct Case { int32_t connected; int32_t graphRunning; bool starts; const char *sentence; };
    const Case cases[] = {
        {1, 1, true, "connected and sampling starts a block"},
        {0, 1, false, "not connected: nothing happens"},
        {1, 0, false, "not sampling: nothing happens"},
    };
    for (const Case &c : cases) {
        app.connected = c.connected;
        app.graphRunning = c.graphRunning;
        app.saving = 0;
        log.blockStartMs = 123;
        log.lastRecordMs = 456;
        EXPECT_EQ(beginBlock(app, log), c.starts) << c.sentence;
        EXPECT_EQ(app.saving, c.starts ? 1 : 0) << c.sentence;
        EXPECT_EQ(log.blockStartMs, c.starts ? 0u : 123u) << c.sentence;
        EXPECT_EQ(log.lastRecordMs, c.starts ? 0u : 456u) << c.sentence;
    }
}

TEST_F(DataLogFile, ExitFlushesRecordsWithoutTheEmptyLine)
{
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5)));
    ASSERT_TRUE(beginBlock(app, log));
    clockReadings[0] = 1;
    record({1, 2, 3, 4, 5, 6, 7, 8});
    closeLogAtExit(log);
    EXPECT_EQ(log.logFile, nullptr);
    EXPECT_EQ(readFile(kToday), "[14 h 05 m 09.37]\r\n0,1,2,3,4,5,6,7,8,\r\n");
}

TEST_F(DataLogFile, UnopenableFileDropsRecordsAndIsRetriedAtBlockEnd)
{
    // A directory in the file's place makes the open fail.
    ASSERT_EQ(mkdir(kToday, 0700), 0);
    EXPECT_FALSE(openLogFile(log, dateOf(2007, 3, 5)));
    EXPECT_EQ(log.logFile, nullptr);

    ASSERT_TRUE(beginBlock(app, log));
    clockReadings[0] = 1;
    record({1, 2, 3, 4, 5, 6, 7, 8});
    record({1, 2, 3, 4, 5, 6, 7, 8});
    endBlock(log);

    ASSERT_EQ(rmdir(kToday), 0);
    ASSERT_TRUE(openLogFile(log, dateOf(2007, 3, 5))) << "the reopen at block end succeeds now";
    nextReading = 0;
    clockReadings[0] = 500;
    ASSERT_TRUE(beginBlock(app, log));
    record({8, 7, 6, 5, 4, 3, 2, 1});
    endBlock(log);
    EXPECT_EQ(readFile(kToday), "[14 h 05 m 09.37]\r\n0,8,7,6,5,4,3,2,1,\r\n\r\n")
        << "nothing of the dropped block appears";
}

