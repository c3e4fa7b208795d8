// The Graph window's picture as it leaves the program: the default file name
// of a saved picture and the pixel rows handed to the clipboard and the PNG
// encoder.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kPictureFileNameSize = 64;

// "2026_12_7_143005.png": the date like the CSV's, then the time of day.
void formatPictureFileName(wchar_t (&name)[kPictureFileNameSize], int year, int month, int day, int hour,
                           int minute, int second);

// Bytes in one row of 24-bit pixels, padded to a multiple of 4.
size_t bgrRowStride(int32_t width);

// Copies 32-bit pixels (blue, green, red, unused; top row first) into rows of
// 3-byte pixels `bgrRowStride(width)` apart, bottom row first when
// `bottomUp`.  `out` holds bgrRowStride(width) * height bytes.
void packBgrRows(const uint32_t *pixels, int32_t width, int32_t height, bool bottomUp, uint8_t *out);
