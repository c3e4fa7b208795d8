// Placeholder until this module is built.
#include "device/device_win32.h"

bool loadDriverLibrary() { return false; }
void showErrorCode(ErrorCode) {}
