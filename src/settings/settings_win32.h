// The settings file over the profile functions, and the Config dialog.
#pragma once
#include <windows.h>

#include <string>

#include "settings/settings.h"

std::wstring settingsPath();  // init_setting.ini in the current directory; empty if unknown
void loadSettings();
// Writes the eight keys; 0, or the system's error code of the first failed write.
DWORD saveSettings(const Settings &values);
INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
