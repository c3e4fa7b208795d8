// The Connect/Close button (1002).  Its check state, toggled by the click,
// says what the operator asked for.
#include "app/main_dialog_win32.h"
#include "device/device_win32.h"
#include "ports/ports_win32.h"
#include "resources/resource.h"
#include "timing/timers_win32.h"

namespace {

void setConnectCheck(int state)
{
    SendMessageA(mainControls.connectButton, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

BOOL connectBoard(HWND dialog)
{
    // A library placed after start-up is taken now: no restart is needed.
    if (!loadDriverLibrary()) {
        showDriverLibraryProblem(dialog);
        setConnectCheck(BST_UNCHECKED);
        return FALSE;
    }
    ErrorCode code = openBoardById(appState.selectedId);
    if (code != kSuccess) {
        showErrorCode(code);
        setConnectCheck(BST_UNCHECKED);
        return FALSE;
    }
    code = writeInitialData(0, 0, 0);
    if (code == kSuccess)
        code = writeControlData(0, 0, 0);
    if (code != kSuccess) {
        closeWholeSession();
        showErrorCode(code);
        setConnectCheck(BST_UNCHECKED);
        return FALSE;
    }
    SetDlgItemTextA(dialog, IDC_CONNECT, "Close");
    appState.connected = 1;
    startPeriodicTimer(TIMER_READ_TICK);
    applyEnableRules(dialog);
    return TRUE;
}

// A failed Close leaves the state Connected, but with the read timer
// stopped: the read pipe may be closed already.  The handles closeSession
// did not reach stay open, and the next Close closes them and the board.
BOOL closeBoard(HWND dialog)
{
    showPendingLiveValues();  // the last read stays on show
    if (closeSession() != kSuccess) {
        stopReadTimer();
        setConnectCheck(BST_CHECKED);
        MessageBoxA(mainWindowHandle(), "Device Close Error", "Error", MB_OK);
        return FALSE;
    }
    SetDlgItemTextA(dialog, IDC_CONNECT, "Connect");
    stopReadTimer();
    resetPortPanel();
    appState.connected = 0;
    applyEnableRules(dialog);
    return TRUE;
}

}  // namespace

BOOL onConnectButton(HWND dialog)
{
    switch (SendMessageA(mainControls.connectButton, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        return connectBoard(dialog);
    case BST_UNCHECKED:
        return closeBoard(dialog);
    default:
        return TRUE;
    }
}
