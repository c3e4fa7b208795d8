// Placeholder until this module is built.
#include "device/device_win32.h"

BOOL onConnectButton(HWND) { return FALSE; }
