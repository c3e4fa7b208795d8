// Reads a computed Graph picture back as segments and texts in window pixels,
// with a fixed text measure, for the graph tests.
#pragma once
#include <cstring>
#include <string>
#include <vector>

#include "graph/graph_picture.h"

namespace graphtest {

constexpr int32_t kCharWidth = 6;
constexpr int32_t kTextHeight = 13;

inline TextExtent fixedMeasure(void *, const char *, int32_t length)
{
    return TextExtent{kCharWidth * length, kTextHeight};
}

struct Segment {
    int index;  // position in the display list of the lineTo
    uint8_t pen;
    int32_t x0, y0, x1, y1;  // logical
};

struct Text {
    int index;
    std::string bytes;
    int32_t x, y;              // logical
    int32_t windowX, windowY;  // window pixels
    uint32_t colour;
    GraphFont font;
};

struct Reading {
    std::vector<Segment> segments;
    std::vector<Text> texts;
    int originIndex = -1;
    int32_t originX = 0, originY = 0;

    std::vector<Segment> withPen(uint8_t pen) const
    {
        std::vector<Segment> found;
        for (const Segment &s : segments)
            if (s.pen == pen)
                found.push_back(s);
        return found;
    }

    std::vector<Text> matching(const std::string &prefix) const
    {
        std::vector<Text> found;
        for (const Text &t : texts)
            if (t.bytes.compare(0, prefix.size(), prefix) == 0)
                found.push_back(t);
        return found;
    }
};

inline Reading read(const GraphPicture &picture)
{
    Reading r;
    int32_t cx = 0, cy = 0;
    for (size_t i = 0; i < picture.ops.size(); ++i) {
        const GraphOp &op = picture.ops[i];
        const int index = static_cast<int>(i);
        switch (op.kind) {
        case GraphOpKind::setOrigin:
            r.originIndex = index;
            r.originX = op.x;
            r.originY = op.y;
            break;
        case GraphOpKind::moveTo:
            cx = op.x;
            cy = op.y;
            break;
        case GraphOpKind::lineTo:
            r.segments.push_back(Segment{index, op.pen, cx, cy, op.x, op.y});
            cx = op.x;
            cy = op.y;
            break;
        case GraphOpKind::text:
            r.texts.push_back(Text{index, std::string(picture.textOf(op), op.textLength), op.x, op.y,
                                   op.x + r.originX, op.y + r.originY, op.colour, op.font});
            break;
        }
    }
    return r;
}

}  // namespace graphtest

namespace graphtest {

// One paint's inputs, starting from the default settings, an empty history
// and a 800 x 400 client area.
struct Scene {
    SampleHistory history{};
    Settings settings{60, 100, 1023, 0, 0, 500, false, true};
    AppState app{};
    CircuitResult circuits[kCircuitCount]{};
    GraphView view{800, 400, 0.0, 0};
    GraphPicture picture;

    Scene() { view.yScale = computeYScale(settings.axisTop, settings.axisOrigin, view.clientHeight); }

    Reading paint()
    {
        const GraphSources sources{history, settings, app, circuits};
        computeGraphPicture(picture, view, sources, fixedMeasure, nullptr);
        return read(picture);
    }
};

}  // namespace graphtest
