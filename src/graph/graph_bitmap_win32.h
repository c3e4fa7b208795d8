// The memory bitmap the Graph window's picture is rendered into: painted to
// the window in one blit, and the source of the copied and saved picture.
#pragma once
#include <windows.h>

#include <cstdint>

struct GraphBitmap {
    HDC dc;              // memory context with the bitmap selected
    HBITMAP bitmap;      // 32-bit top-down DIB section
    HGDIOBJ original;    // the context's own bitmap
    const uint32_t *pixels;
    int32_t width;
    int32_t height;
    bool rendered;       // holds a complete picture
};

// Keeps a bitmap of exactly width x height; made anew only when the size
// changes.  False (and no bitmap) for an empty size or when GDI has no room.
bool fitGraphBitmap(GraphBitmap &bitmap, int32_t width, int32_t height);
void releaseGraphBitmap(GraphBitmap &bitmap);
