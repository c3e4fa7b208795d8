#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graph/graph_layout.h"
#include "graph/picture_out.h"

TEST(GraphPlacement, TakesTheLowerRightPartOfTheWorkArea)
{
    struct Row { const char *what; int32_t width, height; std::vector<int32_t> xywh; };
    const Row rows[] = {
        {"1920 x 1040", 1920, 1040, {640, 386, 1280, 650}},
        {"each size is truncated once, after multiplying", 1000, 700, {333, 273, 666, 437}},
    };
    for (const Row &r : rows) {
        const WindowPlacement p = computeGraphPlacement(r.width, r.height);
        EXPECT_EQ(std::vector<int32_t>({p.x, p.y, p.width, p.height}), r.xywh) << r.what;
    }
}

TEST(GraphScale, TheAxisSpansFiveSixthsOfTheHeightAndValuesMapToDrawablePixels)
{
    struct Scale { const char *what; int32_t top, origin, height; double scale; };
    const Scale scales[] = {
        {"default axis over 400 pixels", 1023, 0, 400, 3.069},
        {"top below origin gives a negative scale", 0, 1023, 400, -3.069},
        {"a client area without height gives 0", 1023, 0, 0, 0.0},
    };
    for (const Scale &r : scales)
        EXPECT_NEAR(computeYScale(r.top, r.origin, r.height), r.scale, 1e-12) << r.what;

    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Position { const char *what; double position; int32_t pixel; };
    const Position positions[] = {
        {"negative fractions truncate up", -83.09, -83},
        {"positive fractions truncate down", 3.99, 3},
        {"NaN is 0", nan, 0},
        {"+infinity is held at the edge", std::numeric_limits<double>::infinity(), 10000000},
        {"beyond 32 bits is held at the edge", -1.0e12, -10000000},
    };
    for (const Position &r : positions)
        EXPECT_EQ(toPixel(r.position), r.pixel) << r.what;

    struct Value { const char *what; int32_t value, origin; double yScale; int32_t y; };
    const Value values[] = {
        {"255 on the default axis is 83 pixels up", 255, 0, 3.069, -83},
        {"a value below the origin lies below the axis", 0, 300, 1.0, 300},
        {"a zero scale puts every value on the axis", 2047, 0, 0.0, 0},
        {"a NaN scale puts every value on the axis", 2047, 0, nan, 0},
    };
    for (const Value &r : values)
        EXPECT_EQ(yOfValue(r.value, r.origin, r.yScale), r.y) << r.what;
}

// Pixels 0x00RRGGBB leave as the bytes B, G, R; each row is padded with
// zeros to a multiple of 4 bytes; a bottom-up picture stores its last row
// first.  Every buffer is exactly as large as the picture.
TEST(PictureOut, RowsOfBgrBytesPaddedToFourAndTheFileNameOfTheMoment)
{
    const uint32_t pixels[] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    struct Row { const char *what; int32_t width, height; bool bottomUp; std::vector<uint8_t> bytes; };
    const Row rows[] = {
        {"one pixel a row pads 3 bytes to 4", 1, 2, false, {0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0}},
        {"two pixels pad 6 bytes to 8; bottom-up puts the second row first", 2, 2, true,
         {0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0, 0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0}},
        {"four pixels fill 12 bytes without padding", 4, 1, false,
         {0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA}},
    };
    for (const Row &r : rows) {
        const std::vector<uint32_t> in(pixels, pixels + r.width * r.height);
        std::vector<uint8_t> out(bgrRowStride(r.width) * static_cast<size_t>(r.height), 0xEE);
        ASSERT_EQ(out.size(), r.bytes.size()) << r.what;
        packBgrRows(in.data(), r.width, r.height, r.bottomUp, out.data());
        EXPECT_EQ(out, r.bytes) << r.what;
    }
    wchar_t name[kPictureFileNameSize];
    formatPictureFileName(name, 2026, 3, 5, 4, 0, 9);
    EXPECT_EQ(std::wstring(name), L"2026_3_5_040009.png");
}
