#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "graph/graph_layout.h"

namespace {

struct PlacementCase {
    int32_t workWidth, workHeight;
    WindowPlacement expected;
};

TEST(GraphPlacement, TakesTheLowerRightPartOfTheWorkArea)
{
    const PlacementCase cases[] = {
        // a 1920 x 1040 work area places the window at (640, 386), 1280 x 650
        {1920, 1040, {640, 386, 1280, 650}},
        // quotients truncate: 1000 x 700 gives (333, 273), 666 x 437
        {1000, 700, {333, 273, 666, 437}},
        // an empty work area still gives a defined placement
        {0, 0, {0, 40, 0, 0}},
    };
    for (const PlacementCase &c : cases) {
        const WindowPlacement p = computeGraphPlacement(c.workWidth, c.workHeight);
        EXPECT_EQ(std::vector<int32_t>({p.x, p.y, p.width, p.height}),
                  std::vector<int32_t>({c.expected.x, c.expected.y, c.expected.width, c.expected.height}))
            << c.workWidth << "x" << c.workHeight;
    }
}

struct ScaleCase {
    const char *what;
    int32_t top, origin, height;
    double expected;
};

TEST(GraphYScale, SpansTheAxisOverFiveSixthsOfTheHeight)
{
    const ScaleCase cases[] = {
        {"default axis over 400 pixels gives 3.069", 1023, 0, 400, 3.069},
        {"axis from 100 to 700 over 600 pixels gives 1.2", 700, 100, 600, 1.2},
        {"top below origin gives a negative scale", 0, 1023, 400, -3.069},
        {"top equal to origin gives 0", 512, 512, 400, 0.0},
        {"a client area without height gives 0", 1023, 0, 0, 0.0},
    };
    for (const ScaleCase &c : cases)
        EXPECT_NEAR(computeYScale(c.top, c.origin, c.height), c.expected, 1e-12) << c.what;
}

TEST(GraphPixels, TruncateTowardZeroAndStayDrawable)
{
    struct PixelCase {
        const char *what;
        double position;
        int32_t expected;
    };
    const PixelCase cases[] = {
        {"negative fractions truncate up", -83.09, -83},
        {"positive fractions truncate down", 3.99, 3},
        {"NaN is 0", std::numeric_limits<double>::quiet_NaN(), 0},
        {"+infinity is held at the edge", std::numeric_limits<double>::infinity(), 10000000},
        {"beyond 32 bits is held at the edge", -1.0e12, -10000000},
    };
    for (const PixelCase &c : cases)
        EXPECT_EQ(toPixel(c.position), c.expected) << c.what;
}

struct ValueCase {
    const char *what;
    int32_t value, origin;
    double yScale;
    int32_t expected;
};

TEST(GraphPixels, ChannelValuesMapAboveTheAxis)
{
    const ValueCase cases[] = {
        {"255 on the default axis is 83 pixels up", 255, 0, 3.069, -83},
        {"the origin value lies on the axis", 300, 300, 3.069, 0},
        {"a value below the origin lies below the axis", 0, 300, 1.0, 300},
        {"a negative scale turns the picture upside down", 1023, 0, -3.069, 333},
        {"a NaN scale puts every value on the axis", 2047, 0, std::nan(""), 0},
        {"a tiny scale is held at the drawable edge", 2047, 0, 1e-9, -10000000},
    };
    for (const ValueCase &c : cases)
        EXPECT_EQ(yOfValue(c.value, c.origin, c.yScale), c.expected) << c.what;
}

}  // namespace
