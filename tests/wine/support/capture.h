// Pixels of a window's client area as shown, and of device-independent
// bitmaps, in one form for comparing: 0x00RRGGBB, top row first.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;
    bool operator==(const Pixels &other) const
    {
        return width == other.width && height == other.height && rgb == other.rgb;
    }
};

Pixels captureClient(HWND window);
// A packed DIB (header, pixels) of 24 or 32 bits; empty for other kinds.
Pixels pixelsOfDib(const BITMAPINFOHEADER *dib);
