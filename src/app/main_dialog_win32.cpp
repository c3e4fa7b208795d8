// Placeholder until this module is built.
#include "app/main_dialog_win32.h"

MainControls mainControls;

void initMainControls(HWND) {}
void applyEnableRules(HWND) {}

INT_PTR CALLBACK mainDialogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    appState.mainWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}
