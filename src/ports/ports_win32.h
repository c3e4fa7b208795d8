// The digital I/O panel's Windows side: port boxes, I/O Update, read tick.
#pragma once
#include <windows.h>

// Port codes used by the command dispatch.
constexpr int kPortCodeP9 = 1;
constexpr int kPortCodePA = 2;
constexpr int kPortCodePB = 4;

void onDirectionBox(int controlId, int portCode);
void onOutputBox(int controlId, int portCode);
BOOL ioUpdate();          // FALSE when not connected or a write failed
void resetPortPanel();
void onReadTick(HWND dialog);
void showLiveValues(HWND dialog);
// Shows at once a read whose show is still to come (Close: the last read).
void showPendingLiveValues();
