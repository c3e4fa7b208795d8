// The top-level dialogs ("#32770") of the program under test.
#pragma once
#include <windows.h>

#include <string>

// The process's next dialog after `after` (null: its first), with this
// caption when one is given; null when there is none.
HWND nextDialog(DWORD processId, HWND after, const wchar_t *caption = nullptr);
// Its first dialog with this caption; null if none.
HWND findDialog(DWORD processId, const std::string &caption);
