// The device link's Windows side: the driver-library loader, the error
// message box and the Connect/Close command.
#pragma once
#include <windows.h>

#include "device/device_session.h"

// Loads uusbd.dll from the program's own folder or the system folder (never
// the current directory) and installs it as driverLibrary.  False when it
// cannot be loaded; driverLibrary then stays null.  Once loaded, it stays.
bool loadDriverLibrary();
// Tells the operator why the last load failed: not found (and the two
// folders looked in) or found without the ordinals the program calls.
void showDriverLibraryProblem(HWND owner);

void showErrorCode(ErrorCode code);

// Command 1002.  TRUE after a successful Connect or Close.
BOOL onConnectButton(HWND dialog);
