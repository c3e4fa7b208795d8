// Message boxes of the program under test: finding them, reading them and
// answering them.
#pragma once
#include <windows.h>

#include <string>

struct MessageBoxSeen {
    HWND window = nullptr;  // null when no box appeared in time
    HWND owner = nullptr;
    std::string caption;
    std::string text;
};

// The message boxes of a process are its dialogs that hold the message
// static (identifier 0xFFFF) and nothing but standard buttons and the icon.
HWND findMessageBox(DWORD processId);

// Waits for a message box of the process; `window` stays null on timeout.
MessageBoxSeen waitForMessageBox(DWORD processId);

// Presses a button of the box (IDOK, IDYES, IDNO, ...) and waits for the box
// to go; false when the button is missing or the box stays.
bool answerMessageBox(const MessageBoxSeen &box, int buttonId = IDOK);

// "caption: text" of the box the process shows now, or "" when none; for
// asserting that no unexpected box is open.
std::string describeOpenMessageBox(DWORD processId);
