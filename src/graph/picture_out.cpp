#include "graph/picture_out.h"

#include <cwchar>

void formatPictureFileName(wchar_t (&name)[kPictureFileNameSize], int year, int month, int day, int hour,
                           int minute, int second)
{
    std::swprintf(name, kPictureFileNameSize, L"%d_%d_%d_%02d%02d%02d.png", year, month, day, hour, minute,
                  second);
}

size_t bgrRowStride(int32_t width)
{
    return (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
}

void packBgrRows(const uint32_t *pixels, int32_t width, int32_t height, bool bottomUp, uint8_t *out)
{
    const size_t stride = bgrRowStride(width);
    for (int32_t row = 0; row < height; ++row) {
        const uint32_t *from = pixels + static_cast<size_t>(row) * static_cast<size_t>(width);
        uint8_t *to = out + stride * static_cast<size_t>(bottomUp ? height - 1 - row : row);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = from[x];
            *to++ = static_cast<uint8_t>(p);
            *to++ = static_cast<uint8_t>(p >> 8);
            *to++ = static_cast<uint8_t>(p >> 16);
        }
        for (size_t pad = static_cast<size_t>(width) * 3; pad < stride; ++pad)
            *to++ = 0;
    }
}
