// Pictures in one form for comparing: 24-bit rows, top row first, each
// padded to a multiple of 4 bytes.
#pragma once
#include <windows.h>

#include <string>

struct Picture {
    long width = 0, height = 0;
    std::string rows;
    bool operator==(const Picture &o) const { return width == o.width && height == o.height && rows == o.rows; }
};

Picture captureClient(HWND window);                        // as the window shows it
Picture pictureOfDib(const BITMAPINFOHEADER *dib);         // a 24-bit bottom-up DIB
Picture decodePng(const std::wstring &path);               // empty when it is none
