// The Graph window (template 102).
#pragma once
#include <windows.h>

INT_PTR CALLBACK graphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
