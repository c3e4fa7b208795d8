// The settings file over the profile functions, and the Config dialog.
#pragma once
#include <windows.h>

void loadSettings();
void saveSettings();
INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
