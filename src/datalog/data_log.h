// DataLog: the daily CSV file, the block clock and the log's own buffer.
// Lines end in CR LF on every platform (the file is binary and the CR is
// written), so a log written by the tests has exactly the bytes the program
// writes.
//
// Records are formatted into the buffer, which reaches the file in one write
// when a record finds the last write older than kLogWritePeriodMs, and at
// every block end, where the file is also flushed to the disk.  The first
// failure ends the block: the file is cut back to the end of the last whole
// record that reached it, then closed, and the system's error code is
// returned for the caller to report.
#pragma once
#include <cstddef>
#include <cstdint>

#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "datalog/log_file.h"

// Local date and time of day.
struct LogTime {
    int year;   // e.g. 2007
    int month;  // 1..12
    int day;    // 1..31
    int hour;
    int minute;
    int second;
    int millisecond;
};

// Where the log reads its clocks from: a millisecond clock that never wraps,
// and the local date and time.
struct LogClocks {
    uint64_t (*milliseconds)();
    LogTime (*localTime)();
};

// A crash, a kill or a power cut loses at most this much of a block.
constexpr uint64_t kLogWritePeriodMs = 500;
// Holds more than a write period of records at the shortest interval, 1 ms.
constexpr size_t kLogBufferSize = 64 * 1024;
constexpr size_t kLogFileNameSize = 48;

struct DataLog {
    LogFileHandle file = kNoLogFile;
    char fileName[kLogFileNameSize];  // of the open file, or of the last one tried
    int fileYear, fileMonth, fileDay; // the date the open file is named after
    uint64_t fileLength;     // the file's bytes: it ends with a whole record (or what it held at opening)
    uint64_t lastWriteMs;    // clock at the last write to the file
    uint64_t blockStartMs;   // clock at the block's first record
    uint64_t lastRecordMs;   // clock at the latest later record; 0 before it
    bool blockHasRecords;    // the header and first record are in
    size_t buffered;         // bytes in buffer, whole lines only
    char buffer[kLogBufferSize];
};

extern DataLog dataLog;

// "2007_3_5.csv" for 5 March 2007 (year, month 1..12, day 1..31).
void formatLogFileName(char (&name)[kLogFileNameSize], int year, int month, int day);

// Opens the file named after the date of `now` for appending, closing any
// file still open.  Returns 0, or the system's error code (no file is open).
int openLogFile(DataLog &log, const LogTime &now);

// Starts a block when connected and sampling: first opens the file named
// after the date of `now` if none is open or the open one is named after
// another day, then sets saving and clears the block clock.  Returns 0 (the
// block started, or none may start: saving tells which) or the error code of
// the failed open, and then no block starts.
int beginBlock(AppState &app, DataLog &log, const LogTime &now);

// Ends a block's file: the empty closing line, everything to the disk, the
// file closed.  Returns 0 or the error code of the first failed step.  The
// caller then opens the file for the current date and clears saving.
int endBlock(DataLog &log);

// Appends the sample at writeIndex: header and elapsed time 0 for the first
// record of a block, elapsed milliseconds for later ones.  Returns 0, or the
// error code of a failed write, which ends the block's file (see above).
// Does nothing while no file is open.
int writeLogRecord(DataLog &log, const SampleHistory &history, const LogClocks &clocks);

// At program end: every record reaches the disk, the file is closed; no
// closing line.  Returns 0 or the error code of the first failed step.
int closeLogAtExit(DataLog &log);
