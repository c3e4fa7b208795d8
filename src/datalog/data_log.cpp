#include "datalog/data_log.h"

DataLog dataLog;

void formatLogFileName(char (&name)[kLogFileNameSize], int year, int month, int day)
{
    std::snprintf(name, sizeof name, "%d_%d_%d.csv", year, month, day);
}

bool openLogFile(DataLog &log, const std::tm &localDate)
{
    if (log.logFile != nullptr) {
        std::fclose(log.logFile);
        log.logFile = nullptr;
    }
    char name[kLogFileNameSize];
    formatLogFileName(name, localDate.tm_year + 1900, localDate.tm_mon + 1, localDate.tm_mday);
    log.logFile = std::fopen(name, "ab");
    return log.logFile != nullptr;
}

bool beginBlock(AppState &app, DataLog &log)
{
    if (!app.connected || !app.graphRunning)
        return false;
    app.saving = 1;
    log.lastRecordMs = 0;
    log.blockStartMs = 0;
    log.blockHasRecords = false;
    return true;
}

void endBlock(DataLog &log)
{
    if (log.logFile != nullptr) {
        std::fputs("\r\n", log.logFile);
        std::fclose(log.logFile);
        log.logFile = nullptr;
    }
}

void writeLogRecord(DataLog &log, const SampleHistory &history, const LogClocks &clocks)
{
    std::FILE *file = log.logFile;
    if (file == nullptr)
        return;

    // A flag of its own marks the first record: the clock may read 0 at it,
    // and a zero start must not make the next record a first one again.
    if (!log.blockHasRecords) {
        const LogTime now = clocks.localTime();
        std::fprintf(file, "[%02d h %02d m %02d.%d]\r\n0,", now.hour, now.minute, now.second, now.millisecond);
        log.blockStartMs = clocks.milliseconds();
        log.blockHasRecords = true;
    } else {
        const uint32_t t = clocks.milliseconds();
        log.lastRecordMs = t;
        std::fprintf(file, "%d,", static_cast<int32_t>(t - log.blockStartMs));
    }

    const uint32_t slot = history.writeIndex % kHistorySlots;
    std::fprintf(file, "%d,%d,%d,%d,%d,%d,%d,%d,\r\n",
                 history.values[0][slot], history.values[1][slot], history.values[2][slot], history.values[3][slot],
                 history.values[4][slot], history.values[5][slot], history.values[6][slot], history.values[7][slot]);
}

void closeLogAtExit(DataLog &log)
{
    if (log.logFile == nullptr)
        return;
    std::fflush(log.logFile);
    std::fclose(log.logFile);
    log.logFile = nullptr;
}
