// Geometry of the Graph window: its fixed layout constants, its colours, the
// numeric part of the window's state and the conversions from channel values
// and plot positions to logical pixels.
#pragma once
#include <cstdint>

#include "app/app_state.h"

constexpr int32_t plotLeftMargin = 55;    // window X of the plot origin
constexpr int32_t plotBottomMargin = 25;  // client bottom edge to the X axis
constexpr int32_t plotSamples = 100;      // samples across the plot
constexpr double pixelsPerSample = 5.0;
constexpr int32_t plotRightEnd = 500;     // pixelsPerSample * plotSamples
constexpr int32_t gridLineEnd = 495;      // right end of a grid line
constexpr int32_t gridSmallLabelX = 445;  // grey copy of a grid label
constexpr int32_t graphRepaintTimerId = 400;
constexpr uint32_t graphRepaintPeriodMs = 60;

// Colours are packed like a Windows COLORREF: red in the low byte.
constexpr uint32_t rgbColour(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

constexpr uint32_t channelColour[kChannelCount] = {
    rgbColour(255, 0, 0),   rgbColour(255, 153, 0), rgbColour(220, 220, 0), rgbColour(0, 255, 0),
    rgbColour(0, 255, 153), rgbColour(0, 0, 255),   rgbColour(153, 0, 255), rgbColour(255, 0, 255),
};
constexpr uint32_t axisColour = rgbColour(0, 0, 0);
constexpr uint32_t triggerColour = rgbColour(128, 128, 128);
constexpr uint32_t gridColour = rgbColour(168, 168, 168);

// The numeric state of the Graph window, set at initialisation.
struct GraphView {
    int32_t clientWidth;
    int32_t clientHeight;
    double yScale;             // channel units per pixel; 0 when unusable
    uint32_t scrolledSamples;  // sample number of the leftmost plotted sample
};

struct WindowPlacement {
    int32_t x, y, width, height;
};

// Where the window goes inside a work area of the given size.
WindowPlacement computeGraphPlacement(int32_t workWidth, int32_t workHeight);

// Channel units per pixel so that axisTop stands clientHeight / 1.2 above
// the X axis.  0 when the client area has no height; negative when axisTop
// lies below axisOrigin (the picture is then upside down).
double computeYScale(int32_t axisTop, int32_t axisOrigin, int32_t clientHeight);

// A double position truncated toward zero to a pixel.  NaN gives 0 and
// positions beyond the range GDI can draw are held at its edge.
int32_t toPixel(double position);

// Logical Y (before truncation) of something `above` channel units above
// the axis origin.  A zero or non-finite scale puts everything on the axis.
double yAbove(double above, double yScale);

// Logical Y pixel of channel value v.
int32_t yOfValue(int32_t v, int32_t axisOrigin, double yScale);

// Logical X pixel of plot position p.
int32_t xOfPosition(int64_t p);
