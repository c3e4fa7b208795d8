#include "datalog/data_log_win32.h"

#include <windows.h>

#include <string>

#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "app/main_dialog_win32.h"
#include "app/system_message_win32.h"
#include "datalog/data_log.h"

namespace {

// Milliseconds of the performance counter: 64 bits, so elapsed times never
// wrap (the multimedia clock's 32 bits wrap after 49.7 days).
uint64_t millisecondClock()
{
    static const uint64_t frequency = [] {
        LARGE_INTEGER hz;
        QueryPerformanceFrequency(&hz);
        return static_cast<uint64_t>(hz.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const uint64_t ticks = static_cast<uint64_t>(counter.QuadPart);
    return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}

LogTime localTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LogTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

const LogClocks kSystemClocks = {millisecondClock, localTime};

// Set while a SaveError box is open or held: no block starts meanwhile, so a
// trigger crossing during the box cannot open a second one.
bool reportingSaveError;
// Set during a sample tick: its box waits for the tick's end (heldReport), so
// that the ticks handled while the box is open never meet a half-done tick.
bool holdingReports;
std::wstring heldReport;

void reportSaveError(const std::wstring &text)
{
    reportingSaveError = true;
    if (holdingReports) {
        heldReport = text;
        return;
    }
    MessageBoxW(mainWindowHandle(), text.c_str(), L"SaveError", MB_OK);
    reportingSaveError = false;
}

void reportOpenError()
{
    reportSaveError(L"Savefile Can't Open !");
}

// "Savefile Can't Write !", the file's full path and the system's reason.
void reportWriteError(int error)
{
    const std::wstring name(dataLog.fileName, dataLog.fileName + std::char_traits<char>::length(dataLog.fileName));
    wchar_t path[MAX_PATH] = {};
    if (GetFullPathNameW(name.c_str(), MAX_PATH, path, nullptr) == 0)
        lstrcpynW(path, name.c_str(), MAX_PATH);
    reportSaveError(L"Savefile Can't Write !\n\n" + std::wstring(path) + L"\n" +
                    systemMessage(static_cast<DWORD>(error)) + L"\nSaving has stopped.");
}

void showSaveButton(bool saving)
{
    SendMessageA(mainControls.saveButton, BM_SETCHECK, saving ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextA(mainControls.saveButton, saving ? "SaveStop" : "SaveStart");
}

// The block ended by a failure: saving stops at once, the trigger is armed
// again, sampling goes on.
void endFailedBlock(int error)
{
    appState.saving = 0;
    showSaveButton(false);
    reportWriteError(error);
}

void startSaving()
{
    const int error = reportingSaveError ? 0 : beginBlock(appState, dataLog, localTime());
    showSaveButton(appState.saving != 0);
    if (error != 0)
        reportOpenError();
}

void stopSaving()
{
    if (!appState.saving) {
        showSaveButton(false);
        return;
    }
    const int error = endBlock(dataLog);
    const int reopenError = openLogFile(dataLog, localTime());
    appState.saving = 0;
    showSaveButton(false);
    if (error != 0)
        reportWriteError(error);
    if (reopenError != 0)
        reportOpenError();
}

}  // namespace

void openDailyLog()
{
    if (openLogFile(dataLog, localTime()) != 0)
        reportOpenError();
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
    const int error = writeLogRecord(dataLog, sampleHistory, kSystemClocks);
    if (error != 0)
        endFailedBlock(error);
}

void holdSaveErrors()
{
    holdingReports = true;
}

void showHeldSaveErrors()
{
    holdingReports = false;
    if (heldReport.empty())
        return;
    std::wstring text;
    text.swap(heldReport);
    reportSaveError(text);
}

void closeDataLogAtExit()
{
    const int error = closeLogAtExit(dataLog);
    if (error != 0)
        reportWriteError(error);
}
