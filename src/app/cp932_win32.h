// Code-page-932 texts shown correctly on any Windows: converted to UTF-16
// with code page 932 where they are shown.
#pragma once
#include <windows.h>

int messageBoxCp932(HWND owner, const char *text, const char *caption, UINT type);
BOOL textOutCp932(HDC dc, int x, int y, const char *text, int length);
