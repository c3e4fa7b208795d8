#include "graph/graph_layout.h"

#include <cmath>

namespace {

// GDI coordinates are held in 28 bits on some systems; stay well inside.
constexpr double kPixelLimit = 1.0e7;

}  // namespace

WindowPlacement computeGraphPlacement(int32_t workWidth, int32_t workHeight)
{
    WindowPlacement placement;
    placement.x = workWidth / 3;
    placement.y = workHeight / 3 + 40;
    placement.width = static_cast<int32_t>(2 * static_cast<int64_t>(workWidth) / 3);
    placement.height = static_cast<int32_t>(5 * static_cast<int64_t>(workHeight) / 8);
    return placement;
}

double computeYScale(int32_t axisTop, int32_t axisOrigin, int32_t clientHeight)
{
    if (clientHeight <= 0)
        return 0.0;
    const double span = static_cast<double>(static_cast<int64_t>(axisTop) - axisOrigin);
    return span * 1.2 / clientHeight;
}

int32_t toPixel(double position)
{
    if (std::isnan(position))
        return 0;
    if (position > kPixelLimit)
        return static_cast<int32_t>(kPixelLimit);
    if (position < -kPixelLimit)
        return static_cast<int32_t>(-kPixelLimit);
    return static_cast<int32_t>(position);
}

double yAbove(double above, double yScale)
{
    if (yScale == 0.0 || !std::isfinite(yScale))
        return 0.0;
    return -(above / yScale);
}

int32_t yOfValue(int32_t v, int32_t axisOrigin, double yScale)
{
    const double above = static_cast<double>(static_cast<int64_t>(v) - axisOrigin);
    return toPixel(yAbove(above, yScale));
}

int32_t xOfPosition(int64_t p)
{
    return toPixel(static_cast<double>(p) * pixelsPerSample);
}
