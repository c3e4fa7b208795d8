// Real input to the program under test, as the operator gives it: through
// the system's input queue, to whatever window is active or under the cursor.
#pragma once
#include <windows.h>

#include <vector>

// Keys held down in order, then released in reverse: {VK_CONTROL, 'C'}.
void pressKeys(const std::vector<WORD> &keys);
// A right click at the middle of the window's client area.
void rightClick(HWND window);
// Types a name into the file name field of a standard open or save dialog.
void setFileDialogName(HWND fileDialog, const wchar_t *name);
