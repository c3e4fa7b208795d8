// The picture of one Graph window paint as an ordered display list, computed
// without any drawing surface so that it can be checked and measured.  The
// Windows layer replays the list on the paint device context.
#pragma once
#include <cstdint>
#include <vector>

#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "graph/graph_layout.h"
#include "settings/settings.h"

enum class GraphOpKind : uint8_t {
    setOrigin,  // move the logical origin to window pixel (x, y)
    moveTo,     // set the current point
    lineTo,     // line from the current point with `pen`, end pixel excluded
    text,       // code-page-932 text, top-left corner at (x, y)
};

// Pens of the picture: 0..7 are the channel pens.
enum GraphPen : uint8_t { penAxis = kChannelCount, penTrigger, penGrid, graphPenCount };

enum class GraphFont : uint8_t { standard, smallGrid };

struct GraphOp {
    GraphOpKind kind;
    uint8_t pen;        // lineTo
    GraphFont font;     // text
    int32_t x;
    int32_t y;
    uint32_t colour;    // text colour, packed like COLORREF
    uint32_t textStart; // into GraphPicture::text
    uint32_t textLength;
};

struct GraphPicture {
    std::vector<GraphOp> ops;
    std::vector<char> text;  // the bytes of all texts, not terminated

    const char *textOf(const GraphOp &op) const { return text.data() + op.textStart; }
};

// Reserves room for a full paint so that computing a picture allocates
// nothing once the window is up.
void reserveGraphPicture(GraphPicture &picture);

// Width and height of a text in the default font of the surface painted on.
struct TextExtent {
    int32_t width;
    int32_t height;
};
using MeasureText = TextExtent (*)(void *context, const char *text, int32_t length);

// Everything a paint reads from the rest of the program.
struct GraphSources {
    const SampleHistory &history;
    const Settings &settings;
    const AppState &app;
    const CircuitResult (&circuits)[kCircuitCount];
};

// Computes the picture of one paint into `picture` (cleared first).  Updates
// view.scrolledSamples from the history as the paint does.  `measure` may be
// null, in which case every text measures 0 by 0.
void computeGraphPicture(GraphPicture &picture, GraphView &view, const GraphSources &sources,
                         MeasureText measure, void *measureContext);
