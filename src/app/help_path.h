// Where the HTML manual lies: beside the program, never in the current
// directory.
#pragma once
#include <string>

extern const char kHelpFileName[];      // opened through the shell first
extern const wchar_t kHtmlManualName[];  // the manual shipped beside the program

// The manual's full path for the program's own full path; empty when the
// program path names no folder.
std::wstring manualPathBeside(const std::wstring &programPath);
