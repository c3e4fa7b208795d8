// DataLog: the daily CSV file and the clock of the current block.  Lines end
// in CR LF on every platform (the file is binary and the CR is written), so a
// log written by the tests has exactly the bytes the program writes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "acquisition/sample_history.h"
#include "app/app_state.h"

struct DataLog {
    std::FILE *logFile;     // nullptr while no file could be opened
    uint32_t blockStartMs;  // clock at the block's first record
    uint32_t lastRecordMs;  // clock at the latest later record; 0 before it
    bool blockHasRecords;   // the header and first record are written
};

extern DataLog dataLog;

// Local time of day for a block header.
struct LogTime {
    int hour;
    int minute;
    int second;
    int millisecond;
};

// Where a record reads its clocks from: the millisecond clock and the local
// time of day.
struct LogClocks {
    uint32_t (*milliseconds)();
    LogTime (*localTime)();
};

constexpr size_t kLogFileNameSize = 48;

// "2007_3_5.csv" for 5 March 2007 (year, month 1..12, day 1..31).
void formatLogFileName(char (&name)[kLogFileNameSize], int year, int month, int day);

// Opens the file named after `localDate` (a std::tm from localtime) for
// appending, closing any file still open.  Returns whether a file is open.
bool openLogFile(DataLog &log, const std::tm &localDate);

// Starts a block when connected and sampling: saving is set and the block
// clock cleared.  Returns whether a block was started.
bool beginBlock(AppState &app, DataLog &log);

// Ends a block's file: the empty closing line, then the file is closed.  The
// caller reopens the file for the current date and only then clears saving,
// so that no tick during a failed reopen's message starts a new block.
void endBlock(DataLog &log);

// Appends the sample at writeIndex: header and elapsed time 0 for the first
// record of a block, elapsed milliseconds for later ones.  Dropped while no
// file is open.
void writeLogRecord(DataLog &log, const SampleHistory &history, const LogClocks &clocks);

// At program end: every record written reaches the file; no closing line.
void closeLogAtExit(DataLog &log);
