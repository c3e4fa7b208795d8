// Reading and driving another process's dialog controls by identifier, as an
// operator would.  Actions are posted, so a modal box the program opens never
// blocks the test; the test then waits for the visible effect.
#pragma once
#include <windows.h>

#include <string>

std::string windowText(HWND window);  // WM_GETTEXT, as UTF-8
std::string controlText(HWND dialog, int id);
bool isChecked(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);
bool isVisible(HWND dialog, int id);
std::string comboItemText(HWND dialog, int id, int index);  // "" past the last item

// BM_CLICK, posted.  A missing, hidden or disabled control fails the test.
void click(HWND dialog, int id);
// Replaces characters start..end (-1: to the end) as a paste would.
void replaceText(HWND dialog, int id, int start, int end, const std::string &text);
// Selects characters start..end (-1: to the end), then posts WM_CHAR per
// character as typed keys; "\b" is Backspace.
void typeKeys(HWND dialog, int id, int start, int end, const std::string &keys);
std::pair<int, int> editSelection(HWND dialog, int id);
// The operator's choice from a combo box list: selection, then CBN_SELCHANGE.
void chooseComboEntry(HWND dialog, int id, int index);
// WM_COMMAND with the identifier (a menu or dialog command), posted.
void postCommand(HWND dialog, int id);
