// Message boxes of the program under test: finding, reading, answering.
#pragma once
#include <windows.h>

#include <string>

struct MessageBoxSeen {
    HWND window = nullptr;  // null when no box appeared in time
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    std::string message() const { return caption + ": " + text; }
};

// A visible dialog holding the message static (0xFFFF) and only standard
// buttons and the icon.
HWND findMessageBox(DWORD processId);
MessageBoxSeen waitForMessageBox(DWORD processId);
// Presses IDOK, IDYES, IDNO...; false when the button is missing or the box stays.
bool answerMessageBox(const MessageBoxSeen &box, int buttonId = IDOK);
// "caption: text" of the open box, or "" when none.
std::string describeOpenMessageBox(DWORD processId);
