#include "datalog/data_log_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include <ctime>

#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "app/cp932_win32.h"
#include "app/main_dialog_win32.h"
#include "datalog/data_log.h"

namespace {

uint32_t millisecondClock()
{
    return timeGetTime();
}

LogTime localTimeOfDay()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LogTime{now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

const LogClocks kSystemClocks = {millisecondClock, localTimeOfDay};

void startSaving()
{
    if (beginBlock(appState, dataLog))
        SetWindowTextA(mainControls.saveButton, "SaveStop");
}

void stopSaving()
{
    endBlock(dataLog);
    openDailyLog();
    appState.saving = 0;
    SetWindowTextA(mainControls.saveButton, "SaveStart");
}

}  // namespace

void openDailyLog()
{
    const std::time_t now = std::time(nullptr);
    const std::tm *date = std::localtime(&now);
    const bool opened = date != nullptr && openLogFile(dataLog, *date);
    if (!opened)
        messageBoxCp932(mainWindowHandle(), "Savefile Can't Open !", "SaveError", MB_OK);
}

void toggleSaving()
{
    const LRESULT state = SendMessageA(mainControls.saveButton, BM_GETCHECK, 0, 0);
    if (state == BST_CHECKED)
        startSaving();
    else if (state == BST_UNCHECKED)
        stopSaving();
}

void writeRecord()
{
    writeLogRecord(dataLog, sampleHistory, kSystemClocks);
}

void closeDataLogAtExit()
{
    closeLogAtExit(dataLog);
}
