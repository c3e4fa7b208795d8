// Placeholder until this module is built.
#include "ports/ports_win32.h"

void onDirectionBox(int, int) {}
void onOutputBox(int, int) {}
BOOL ioUpdate() { return FALSE; }
void resetPortPanel() {}
void onReadTick(HWND) {}
void showLiveValues(HWND) {}
