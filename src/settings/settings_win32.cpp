// Placeholder until this module is built.
#include "settings/settings_win32.h"

void loadSettings() {}
void saveSettings() {}
INT_PTR CALLBACK configDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
