// The main dialog: its procedure, its control handles and the enable rules.
#pragma once
#include <windows.h>

#include "app/app_state.h"
#include "ports/port_state.h"

struct MainControls {
    HWND idBox;
    HWND goButton;
    HWND stopButton;
    HWND saveButton;
    HWND channelValue[kChannelCount];
    HWND connectButton;
    HWND graphCheck[kChannelCount];
    HWND portControls[kPortCount][3][8];  // port (P9, PA, PB), kind (direction, output, value), bit
    HWND ioUpdateButton;
    HWND smoothingEdit[2];
};

enum PortControlKind { kDirectionBox = 0, kOutputBox = 1, kValueBox = 2 };

extern MainControls mainControls;

INT_PTR CALLBACK mainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void buildMainControls(HWND dialog);
void initMainControls(HWND dialog);
void applyEnableRules(HWND dialog);
void readGraphSelection();
INT_PTR CALLBACK versionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

inline HWND mainWindowHandle() { return static_cast<HWND>(appState.mainWindow); }
inline HWND graphWindowHandle() { return static_cast<HWND>(appState.graphWindow); }
