// Command dispatch of the main dialog and the commands of the command column.
#include "app/commands_win32.h"

#include "acquisition/circuit.h"
#include "app/main_dialog_win32.h"
#include "datalog/data_log_win32.h"
#include "device/device_win32.h"
#include "graph/graph_window_win32.h"
#include "ports/ports_win32.h"
#include "resources/resource.h"
#include "settings/field_clamp.h"
#include "timing/timers_win32.h"

namespace {

bool inRange(int id, int first, int last) { return id >= first && id <= last; }

bool isP9OutputBox(int id) { return id == IDC_P9_OUT0 || inRange(id, IDC_P9_OUT1, IDC_P9_OUT1 + 3); }

BOOL onDirectionCommand(HWND dialog, int id, int portCode)
{
    onDirectionBox(id, portCode);
    applyEnableRules(dialog);
    return TRUE;
}

BOOL onOutputCommand(int id, int portCode)
{
    onOutputBox(id, portCode);
    return TRUE;
}

}  // namespace

BOOL dispatchMainCommand(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    if (inRange(id, IDC_CH_GRAPH0, IDC_CH_GRAPH0 + 7)) {
        readGraphSelection();
        return TRUE;
    }
    if (inRange(id, IDC_P9_DIR0, IDC_P9_DIR0 + 4))
        return onDirectionCommand(dialog, id, kPortCodeP9);
    if (inRange(id, IDC_PA_DIR0, IDC_PA_DIR0 + 7))
        return onDirectionCommand(dialog, id, kPortCodePA);
    if (inRange(id, IDC_PB_DIR0, IDC_PB_DIR0 + 7))
        return onDirectionCommand(dialog, id, kPortCodePB);
    if (isP9OutputBox(id))
        return onOutputCommand(id, kPortCodeP9);
    if (inRange(id, IDC_PA_OUT0, IDC_PA_OUT0 + 7))
        return onOutputCommand(id, kPortCodePA);
    if (inRange(id, IDC_PB_OUT0, IDC_PB_OUT0 + 7))
        return onOutputCommand(id, kPortCodePB);

    switch (id) {
    case IDC_ID_BOX:
        appState.selectedId = static_cast<int32_t>(SendMessageA(mainControls.idBox, CB_GETCURSEL, 0, 0));
        return TRUE;
    case IDC_CONNECT:
        return onConnectButton(dialog);
    case IDC_GO:
        onGoCommand(dialog, wParam, lParam);
        return TRUE;
    case IDC_STOP:
        onStopCommand(dialog);
        return TRUE;
    case IDC_SAVE:
        toggleSaving();
        return TRUE;
    case IDC_IO_UPDATE:
        return onIoUpdateCommand(dialog);
    case IDC_SMOOTH0:
    case IDC_SMOOTH1:
        onSmoothingField(dialog, id);
        return TRUE;
    case IDM_SETTING:
        onSettingCommand(dialog);
        return TRUE;
    case IDM_EXIT:
        onExitCommand(dialog);
        return TRUE;
    case IDM_VERSION:
        onVersionCommand(dialog);
        return TRUE;
    case IDM_NORMAL:
        onModeCommand(dialog, kModeNormal);
        return TRUE;
    case IDM_DIFFAMP:
        onModeCommand(dialog, kModeDiffAmp);
        return TRUE;
    case IDM_HELP:
        onHelpCommand();
        return TRUE;
    default:
        return FALSE;  // value boxes, IDOK, IDCANCEL and anything else
    }
}

// After a Close that failed part-way the read pipe is gone: sampling would
// record the last packet again and again as if it were read, so Go says the
// board is not open and starts nothing until Close has been pressed again.
void onGoCommand(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    if (deviceSession.readPipe == kNoDeviceHandle) {
        showErrorCode(kErrNotOpen);
        return;
    }
    readGraphSelection();
    if (IsWindow(graphWindowHandle())) {
        SendMessageA(graphWindowHandle(), WM_INITDIALOG, wParam, lParam);
    } else {
        appState.graphWindow = CreateDialogParamA(static_cast<HINSTANCE>(appState.instance),
                                                  MAKEINTRESOURCEA(IDD_GRAPH), dialog, graphWindowProc, 0);
    }
    startPeriodicTimer(TIMER_SAMPLE_TICK);
    appState.graphRunning = 1;
    circuits[0].smoothingCount = GetDlgItemInt(dialog, IDC_SMOOTH0, nullptr, FALSE);
    circuits[1].smoothingCount = GetDlgItemInt(dialog, IDC_SMOOTH1, nullptr, FALSE);
    applyEnableRules(dialog);
}

void onStopCommand(HWND dialog)
{
    if (appState.saving != 0) {
        SendMessageA(mainControls.saveButton, BM_SETCHECK, BST_UNCHECKED, 0);
        toggleSaving();
    }
    stopSampleTimer();
    appState.graphRunning = 0;
    applyEnableRules(dialog);
}

BOOL onIoUpdateCommand(HWND dialog)
{
    if (appState.connected != 1) {
        MessageBoxA(dialog, "Illegal operation occurred!", "Error", MB_OK);
        return FALSE;
    }
    return ioUpdate();
}

// Keeps a smoothing-count field at a whole number 1..100 while it is typed.
// Writing the number back clears the field's modified flag, so the
// notifications raised by that write do nothing.
void onSmoothingField(HWND dialog, int fieldId)
{
    HWND field = GetDlgItem(dialog, fieldId);
    if (SendMessageA(field, EM_GETMODIFY, 0, 0) == 0)
        return;
    char text[64] = {};
    GetWindowTextA(field, text, static_cast<int>(sizeof text));
    const int32_t count = clampSmoothingCount(text);
    DWORD caret = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    SetDlgItemInt(dialog, fieldId, static_cast<UINT>(count), FALSE);
    SendMessageA(field, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}
