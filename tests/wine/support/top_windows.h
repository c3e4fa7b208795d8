// Finding the top-level windows of the program under test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Every top-level window of process `processId`, hidden ones included.
std::vector<HWND> topLevelWindows(DWORD processId);

// The first top-level dialog (class "#32770") of the process whose caption is
// `caption`, visible or not; null when there is none.
HWND findDialog(DWORD processId, const std::string &caption);

// The window's class name, e.g. "#32770" for a dialog.
std::string windowClass(HWND window);
