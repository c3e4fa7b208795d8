#include "datalog/data_log.h"

#include <cinttypes>
#include <cstdio>

DataLog dataLog;

namespace {

// Room a header and a record need at most: the header with four numbers of
// up to 11 characters, a 20-digit elapsed time and eight 11-character values,
// each with its comma, and the line ends.
constexpr size_t kLongestLines = (4 * 11 + 13) + 21 + 8 * 12 + 2;

void closeFile(DataLog &log)
{
    logFileClose(log.file);
    log.file = kNoLogFile;
    log.buffered = 0;
}

// The end of a failed block: whatever of the buffer reached the file is cut
// off, so the file ends with the last whole record written before.
int failBlock(DataLog &log, int error)
{
    logFileTruncate(log.file, log.fileLength);
    closeFile(log);
    return error;
}

int writeBuffered(DataLog &log, uint64_t now)
{
    const int error = logFileWrite(log.file, log.buffer, log.buffered);
    if (error != 0)
        return failBlock(log, error);
    log.fileLength += log.buffered;
    log.buffered = 0;
    log.lastWriteMs = now;
    return 0;
}

// Writes what is buffered, flushes the file to the disk and closes it.
int closeAfterWriting(DataLog &log)
{
    int error = writeBuffered(log, log.lastWriteMs);
    if (error != 0)
        return error;
    if ((error = logFileFlush(log.file)) != 0)
        return failBlock(log, error);
    error = logFileClose(log.file);
    log.file = kNoLogFile;
    return error;
}

bool isOpenForDate(const DataLog &log, const LogTime &now)
{
    return log.file != kNoLogFile && log.fileYear == now.year && log.fileMonth == now.month &&
           log.fileDay == now.day;
}

}  // namespace

void formatLogFileName(char (&name)[kLogFileNameSize], int year, int month, int day)
{
    std::snprintf(name, sizeof name, "%d_%d_%d.csv", year, month, day);
}

int openLogFile(DataLog &log, const LogTime &now)
{
    if (log.file != kNoLogFile)
        closeFile(log);
    formatLogFileName(log.fileName, now.year, now.month, now.day);
    bool endsMidLine = false;
    const int error = logFileOpen(log.fileName, log.file, log.fileLength, endsMidLine);
    if (error != 0) {
        log.file = kNoLogFile;
        return error;
    }
    log.fileYear = now.year;
    log.fileMonth = now.month;
    log.fileDay = now.day;
    // A line cut off by a crash is ended, so that the next header starts a line of its own.
    log.buffered = 0;
    if (endsMidLine) {
        log.buffer[log.buffered++] = '\r';
        log.buffer[log.buffered++] = '\n';
    }
    return 0;
}

int beginBlock(AppState &app, DataLog &log, const LogTime &now)
{
    if (!app.connected || !app.graphRunning)
        return 0;
    if (!isOpenForDate(log, now)) {
        const int error = openLogFile(log, now);
        if (error != 0)
            return error;
    }
    app.saving = 1;
    log.lastRecordMs = 0;
    log.blockStartMs = 0;
    log.blockHasRecords = false;
    return 0;
}

int endBlock(DataLog &log)
{
    if (log.file == kNoLogFile)
        return 0;
    log.buffer[log.buffered++] = '\r';
    log.buffer[log.buffered++] = '\n';
    return closeAfterWriting(log);
}

int writeLogRecord(DataLog &log, const SampleHistory &history, const LogClocks &clocks)
{
    if (log.file == kNoLogFile)
        return 0;
    if (kLogBufferSize - log.buffered < kLongestLines) {
        const int error = writeBuffered(log, log.lastWriteMs);
        if (error != 0)
            return error;
    }

    const uint32_t slot = history.writeIndex % kHistorySlots;
    int32_t v[kChannelCount];
    for (int c = 0; c < kChannelCount; ++c)
        v[c] = history.values[c][slot];
    char *line = log.buffer + log.buffered;
    const size_t room = kLogBufferSize - log.buffered;
    uint64_t now;
    int length;
    // A flag of its own marks the first record: the clock may read 0 at it.
    if (!log.blockHasRecords) {
        const LogTime time = clocks.localTime();
        now = clocks.milliseconds();
        log.blockStartMs = now;
        log.blockHasRecords = true;
        length = std::snprintf(line, room, "[%02d h %02d m %02d.%d]\r\n0,%d,%d,%d,%d,%d,%d,%d,%d,\r\n", time.hour,
                               time.minute, time.second, time.millisecond, v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                               v[7]);
    } else {
        now = clocks.milliseconds();
        log.lastRecordMs = now;
        length = std::snprintf(line, room, "%" PRIu64 ",%d,%d,%d,%d,%d,%d,%d,%d,\r\n", now - log.blockStartMs, v[0],
                               v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    }
    log.buffered += static_cast<size_t>(length);

    if (now - log.lastWriteMs >= kLogWritePeriodMs)
        return writeBuffered(log, now);
    return 0;
}

int closeLogAtExit(DataLog &log)
{
    if (log.file == kNoLogFile)
        return 0;
    return closeAfterWriting(log);
}
