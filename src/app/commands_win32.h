// The main dialog's commands, dispatched on the control or menu identifier.
#pragma once
#include <windows.h>

#include <cstdint>

// TRUE when the command was handled; FALSE for an unknown identifier, I/O
// Update refused or failed, and a failed Connect or Close.
BOOL dispatchMainCommand(HWND dialog, WPARAM wParam, LPARAM lParam);

void onGoCommand(HWND dialog, WPARAM wParam, LPARAM lParam);
void onStopCommand(HWND dialog);
BOOL onIoUpdateCommand(HWND dialog);
void onSmoothingField(HWND dialog, int fieldId);

void onSettingCommand(HWND dialog);
void onExitCommand(HWND dialog);
void onVersionCommand(HWND dialog);
void onModeCommand(HWND dialog, int32_t mode);
void onHelpCommand();
