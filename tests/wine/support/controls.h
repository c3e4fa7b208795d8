// Reading and driving the controls of another process's dialog by control
// identifier, as an operator would.  Actions are posted, so a modal message
// box opened by the program never blocks the test; the test then waits for
// the visible effect.
#pragma once
#include <windows.h>

#include <string>

// Text of any window (WM_GETTEXT), as UTF-8.
std::string windowText(HWND window);

HWND control(HWND dialog, int id);
std::string controlText(HWND dialog, int id);
bool isChecked(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);
bool isVisible(HWND dialog, int id);

int comboCount(HWND dialog, int id);
int comboSelection(HWND dialog, int id);
std::string comboItemText(HWND dialog, int id, int index);

// A click on a button or check box (BM_CLICK, posted): a check box toggles
// and the dialog receives WM_COMMAND as from the mouse.  A control the
// operator cannot reach (missing, hidden or disabled) fails the test and is
// not clicked.
void click(HWND dialog, int id);

// Selects characters `start` to `end` of an edit field and replaces them
// with `text` as a paste would (undoable, so the field is marked modified
// and the dialog hears EN_CHANGE).
void replaceText(HWND dialog, int id, int start, int end, const std::string &text);
// Keystrokes into an edit field at its caret: WM_CHAR per character (posted),
// "\b" being Backspace.
void typeKeys(HWND dialog, int id, const std::string &keys);
// Places the caret or selection of an edit field (EM_SETSEL); -1 as `end`
// runs to the end of the text.
void setSelection(HWND dialog, int id, int start, int end);
// Selection of an edit field: start and end positions.
std::pair<int, int> editSelection(HWND dialog, int id);

// Chooses entry `index` of a combo box as the operator's choice from its
// list: the selection, then CBN_SELCHANGE to the dialog.
void chooseComboEntry(HWND dialog, int id, int index);

// A menu command or a dialog command (WM_COMMAND with the identifier, posted).
void postCommand(HWND dialog, int id);

// Waits until every message posted to the dialog's thread before this call
// has been handled (a marker posted behind them comes back), so the absence
// of an effect can be asserted.  `editId` names an edit field of the dialog
// that nothing else changes.  False on timeout.
bool drainPostedMessages(HWND dialog, int editId);

