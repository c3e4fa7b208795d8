// The main dialog's procedure: start-up, command routing, read ticks, exit.
#include "app/main_dialog_win32.h"

#include "app/commands_win32.h"
#include "datalog/data_log_win32.h"
#include "device/device_session.h"
#include "ports/ports_win32.h"
#include "settings/settings_win32.h"
#include "timing/timer_state.h"
#include "timing/timers_win32.h"

namespace {

BOOL onInitDialog(HWND dialog)
{
    resetAppState();
    loadSettings();
    initMainControls(dialog);
    beginTimerResolution();
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appState.icon));
    openDailyLog();
    applyEnableRules(dialog);
    return TRUE;
}

// Ends the program.  The timer resolution is restored and the Graph window
// destroyed without its question; then whatever is still running is ended
// here rather than left to the end of the process, so that the board is
// released cleanly and the last CSV records reach the disk.  Ticks already
// queued are still dispatched before the quit message; the cleared flags
// make them do nothing.
BOOL onClose()
{
    endTimerResolution();
    DestroyWindow(graphWindowHandle());
    if (appState.graphRunning == 1) {
        stopSampleTimer();
        appState.graphRunning = 0;
    }
    if (appState.connected == 1) {
        stopReadTimer();
        closeWholeSession();  // past a pipe that fails to close: the board is released
        appState.connected = 0;  // read ticks still queued then do nothing
    }
    closeDataLogAtExit();
    PostQuitMessage(0);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK mainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    appState.mainWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return onInitDialog(window);
    case WM_COMMAND:
        return dispatchMainCommand(window, wParam, lParam);
    case WM_TIMER:
        onReadTick(window);
        return TRUE;
    case WM_CLOSE:
        return onClose();
    default:
        return FALSE;
    }
}
