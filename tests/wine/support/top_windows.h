// The top-level windows of the program under test.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

std::vector<HWND> topLevelWindows(DWORD processId);  // hidden ones included
// The first dialog ("#32770") of the process with this caption; null if none.
HWND findDialog(DWORD processId, const std::string &caption);
std::string windowClass(HWND window);
