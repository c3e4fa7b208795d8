// The Version dialog (template 111).
#include "app/main_dialog_win32.h"
#include "resources/resource.h"

INT_PTR CALLBACK versionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_VERSION_ICON, STM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(appState.icon));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK)
            return FALSE;
        EndDialog(dialog, 1);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}
