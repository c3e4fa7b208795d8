#include "app/cp932_win32.h"

namespace {

constexpr int kMaxWide = 512;

int toWide(const char *text, int length, wchar_t *wide)
{
    int count = MultiByteToWideChar(932, 0, text, length, wide, kMaxWide - 1);
    if (count <= 0)
        count = 0;
    wide[count] = L'\0';
    return count;
}

}  // namespace

int messageBoxCp932(HWND owner, const char *text, const char *caption, UINT type)
{
    wchar_t wideText[kMaxWide];
    wchar_t wideCaption[kMaxWide];
    toWide(text, -1, wideText);
    toWide(caption, -1, wideCaption);
    return MessageBoxW(owner, wideText, wideCaption, type);
}

BOOL textOutCp932(HDC dc, int x, int y, const char *text, int length)
{
    wchar_t wide[kMaxWide];
    int count = toWide(text, length, wide);
    return TextOutW(dc, x, y, wide, count);
}
