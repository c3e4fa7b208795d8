#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graph/graph_picture.h"

namespace {

using Strings = std::vector<std::string>;

// Texts measure 6 pixels a byte by 13 high.
TextExtent measure(void *, const char *, int32_t length) { return TextExtent{6 * length, 13}; }

// Pens and text colours by name: a channel's, black (axes and their labels),
// the trigger's grey and the grid's grey.
const char *const kPens[graphPenCount] = {"CH0", "CH1", "CH2", "CH3", "CH4",     "CH5",
                                          "CH6", "CH7", "black", "trigger", "grid"};
std::string colourName(uint32_t colour)
{
    for (int ch = 0; ch < kChannelCount; ++ch)
        if (colour == channelColour[ch])
            return kPens[ch];
    return colour == axisColour ? "black" : colour == triggerColour ? "trigger" : colour == gridColour ? "grid" : "?";
}

// One paint of an 800 x 400 client area with the default axis, a rising
// trigger on CH3 at 500 and an empty history (yScale 3.069, origin at window pixel 55, 375), read back in
// drawing order as "origin x,y", "<pen> x0,y0 x1,y1" for a line and
// "<colour> <bytes> at x,y" for a text ("small ..." in the small grid font).
struct Scene {
    SampleHistory history{};
    Settings settings{60, 100, 1023, 0, 3, 500, true, true};
    AppState app{};
    CircuitResult circuits[kCircuitCount]{};
    GraphView view{800, 400, 1023 * 1.2 / 400, 0};
    GraphPicture picture;

    Strings paint()
    {
        computeGraphPicture(picture, view, GraphSources{history, settings, app, circuits}, measure, nullptr);
        Strings drawn;
        std::string from;
        for (const GraphOp &op : picture.ops) {
            const std::string at = std::to_string(op.x) + "," + std::to_string(op.y);
            if (op.kind == GraphOpKind::setOrigin)
                drawn.push_back("origin " + at);
            else if (op.kind == GraphOpKind::lineTo)
                drawn.push_back(std::string(kPens[op.pen]) + " " + from + " " + at);
            else if (op.kind == GraphOpKind::text)
                drawn.push_back((op.font == GraphFont::smallGrid ? "small " : "") + colourName(op.colour) + " " +
                                std::string(picture.textOf(op), op.textLength) + " at " + at);
            from = at;
        }
        return drawn;
    }
};

Strings starting(const Strings &drawn, const std::string &prefix)
{
    Strings found;
    std::copy_if(drawn.begin(), drawn.end(), std::back_inserter(found),
                 [&](const std::string &entry) { return entry.rfind(prefix, 0) == 0; });
    return found;
}

// "Saving..." in window pixels first; each grid label right-aligned left of
// the Y axis at trunc(y - 13/2), its line, its small grey copy at (445,
// trunc(y - 15)); the trigger level and its label ending in the arrow of its
// edge; then the Y axis over the height and the X axis over the width.
TEST(GraphGrid, WorkedPlacementOfLinesLabelsMarksAndAxes)
{
    const Strings expected = {
        "black Saving... at 55,0",   "origin 55,375",
        "black 0.00 at -24,-6",      "grid 0,0 495,0",       "small grid 0.00 at 445,-15",
        "black 255.00 at -36,-89",   "grid 0,-83 495,-83",   "small grid 255.00 at 445,-98",
        "black 511.00 at -36,-172",  "grid 0,-166 495,-166", "small grid 511.00 at 445,-181",
        "black 767.00 at -36,-255",  "grid 0,-249 495,-249", "small grid 767.00 at 445,-264",
        "black 1023.00 at -42,-339", "grid 0,-333 495,-333", "small grid 1023.00 at 445,-348",
        "trigger 0,-162 500,-162",   "trigger TRG [CH3] \x81\xAA at 500,-171",
        "black 0,25 0,-400",         "black 0,0 800,0",
    };
    Scene worked;
    worked.app.saving = 1;
    const Strings drawn = worked.paint();
    ASSERT_GE(drawn.size(), expected.size());
    EXPECT_EQ(Strings(drawn.begin(), drawn.begin() + static_cast<long>(expected.size())), expected);
    Scene falling;  // on CH7 at the top of the axis, and off
    falling.settings = {60, 100, 1023, 0, 7, 1023, true, false};
    EXPECT_EQ(starting(falling.paint(), "trigger"),
              Strings({"trigger 0,-333 500,-333", "trigger TRG [CH7] \x81\xAB at 500,-342"}));
    falling.settings.triggerEnabled = false;
    EXPECT_EQ(starting(falling.paint(), "trigger"), Strings{});
    Scene widest;  // the span of the widest axis needs 33 bits
    widest.settings.axisTop = INT32_MAX;
    widest.settings.axisOrigin = -INT32_MAX;
    widest.view.yScale = computeYScale(INT32_MAX, -INT32_MAX, 400);
    EXPECT_EQ(starting(widest.paint(), "grid ").back(), "grid 0,-333 495,-333");
}

// The time labels of a paint (texts at Y 5): second and the X of its tick;
// checks that each is centred under its own tick.
struct TimeLabel { unsigned long long second; int32_t x; };
std::vector<TimeLabel> timeLabels(Scene &s)
{
    s.paint();
    const std::vector<GraphOp> &ops = s.picture.ops;
    std::vector<TimeLabel> labels;
    for (size_t i = 2; i < ops.size(); ++i) {
        if (ops[i].kind != GraphOpKind::text || ops[i].y != 5)
            continue;
        const GraphOp &tick = ops[i - 1];
        EXPECT_TRUE(ops[i - 2].x == tick.x && ops[i - 2].y == 0 && tick.y == -5 && tick.pen == penAxis);
        EXPECT_EQ(ops[i].x, tick.x - 3 * static_cast<int32_t>(ops[i].textLength));
        labels.push_back({std::stoull(std::string(s.picture.textOf(ops[i]), ops[i].textLength)), tick.x});
    }
    return labels;
}

TEST(GraphTimeAxis, LabelsEverySecondUnlessThatCrowdsThemThenEvery2nd5th10th)
{
    // 800 pixels wide: 745 to the right of the Y axis; digits 6 pixels wide.
    struct Row { const char *what; int32_t g; uint32_t scrolled; unsigned long long first, every; int32_t firstX;
                 size_t count; };
    const Row rows[] = {
        {"1000 / 8 ms: 625 pixels a second, one label", 8, 0, 1, 1, 625, 1},
        {"300 ms: 16.7 pixels a second leave 4 blank between 2 digits", 300, 0, 1, 1, 17, 44},
        {"100 ms scrolled by 10: 50 pixels a second from 2 s on", 100, 10, 2, 1, 50, 14},
        {"250 ms with labels up to 112: 20 pixels a second crowd 3 digits, every 2nd", 250, 300, 76, 2, 20, 18},
        {"60 ms: 83.3 pixels a second, label 1 at 83 (not 80)", 60, 0, 1, 1, 83, 8},
        {"60 ms scrolled by 10: label 1 at 1 s", 60, 10, 1, 1, 33, 9},
        {"400 ms: 12.5 pixels a second, every 2nd", 400, 0, 2, 2, 25, 29},
        {"625 ms: 8 pixels a second, 2 digits and the gap just fit every 2nd", 625, 0, 2, 2, 16, 46},
        {"999 ms far along: 4-digit labels every 10th second", 999, 1000, 1000, 10, 5, 15},
        {"801 ms with labels up to 10007: room for 5 digits, every 10th second", 801, 12345, 9890, 10, 10, 12},
        {"1000 ms: every 5th second instead of a label every 5 pixels", 1000, 0, 5, 5, 25, 29},
        {"1500 ms: every 10th second instead of no ticks", 1500, 0, 10, 10, 33, 22},
        {"an interval of 2^31 - 1 ms: every 50 million seconds", 2147483647, 0, 50000000, 50000000, 116, 6},
        {"1 ms: the last whole second, 2 ms before the right edge, is labelled", 1, 99853, 100, 1, 735, 1},
        {"a zero interval draws no time axis", 0, 0, 0, 0, 0, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.settings.getDataInterval = r.g;
        s.view.scrolledSamples = r.scrolled;
        const std::vector<TimeLabel> labels = timeLabels(s);
        ASSERT_EQ(labels.size(), r.count);
        if (r.count == 0)
            continue;
        EXPECT_EQ(labels[0].second, r.first);
        EXPECT_EQ(labels[0].x, r.firstX);
        for (size_t i = 1; i < labels.size(); ++i)
            EXPECT_EQ(labels[i].second - labels[i - 1].second, r.every);
    }
}

// One channel unit a pixel: slot k of CH5 holds 100 + k and stands at Y -(100 + k).
TEST(GraphTrace, OldestSampleFirstFromTheLeftEdge)
{
    struct Row { const char *what; int32_t wrapped; uint32_t writeIndex, count; size_t points; Strings firstTwoAndLast;
                 const char *label; };
    const Row rows[] = {
        {"right after a reset nothing is drawn, the label is level with slot 99", 0, 0, 0, 0, {}, "CH5 CH5 at 500,-208"},
        {"wrapped at slot 0: slots 0..99 from 0 to 495", 1, 0, 100, 100,
         {"CH5 0,0 0,-100", "CH5 0,-100 5,-101", "CH5 490,-198 495,-199"}, "CH5 CH5 at 500,-208"},
        {"wrapped at slot 99: slot 99 at 0, then 0..98 from 5 to 495", 1, 99, 199, 100,
         {"CH5 0,0 0,-199", "CH5 0,-199 5,-100", "CH5 490,-197 495,-198"}, "CH5 CH5 at 500,-207"},
        {"after the 99th sample slot 99 was never written: 0..98 from 5 to 495", 1, 99, 99, 99,
         {"CH5 0,0 5,-100", "CH5 5,-100 10,-101", "CH5 490,-197 495,-198"}, "CH5 CH5 at 500,-207"},
        {"wrapped at slot 37: slot 37 first, slot 36 newest at 495", 1, 37, 137, 100,
         {"CH5 0,0 0,-137", "CH5 0,-137 5,-138", "CH5 490,-135 495,-136"}, "CH5 CH5 at 500,-145"},
        {"a damaged write index folds back into the ring", 0, 100003, 100003, 3,
         {"CH5 0,0 0,-100", "CH5 0,-100 5,-101", "CH5 5,-101 10,-102"}, "CH5 CH5 at 500,-111"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.view.yScale = 1.0;
        s.app.plotted[5] = 1;
        s.history.wrapped = r.wrapped;
        s.history.writeIndex = r.writeIndex;
        s.history.sampleCount = r.count;
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            s.history.values[5][k] = static_cast<int32_t>(100 + k);
        const Strings ch5 = starting(s.paint(), "CH5 ");  // the strokes, then the label
        ASSERT_EQ(ch5.size(), r.points + 1);
        EXPECT_EQ(ch5.back(), r.label);
        if (r.points > 0) {
            EXPECT_EQ(Strings({ch5[0], ch5[1], ch5[r.points - 1]}), r.firstTwoAndLast);
        }
    }
}

TEST(GraphTrace, ModeAndPlottedFlagsChooseTracesAndDiffAmpResults)
{
    // "CHn line" stands for a channel's polyline.  Labels end level with the
    // newest value 0; Diff Amp results stand at window Y 0, before their trace.
    struct Row { const char *what; int32_t mode; unsigned plotted; CircuitResult c0, c1; Strings drawn; };
    const Row rows[] = {
        {"Normal mode draws every plotted channel in order", kModeNormal, 0x8Au, {}, {},
         {"CH1 line", "CH1 CH1 at 500,-9", "CH3 line", "CH3 CH3 at 500,-9", "CH7 line", "CH7 CH7 at 500,-9"}},
        {"Diff Amp draws only CH0 and CH4 as circuit outputs; a zero-denominator result shows Inf, a gain of "
         "exactly 1023 numbers", kModeDiffAmp, 0xFFu, {1024.0f, 1024.0f, 10}, {5.0f, 1023.0f, 10},
         {"CH0 Vref:Inf at 65,-375", "CH0 Gain:Inf at 165,-375", "CH0 line", "CH0 Vout:Circuit0 at 500,-9",
          "CH4 Vref:5.00 at 305,-375", "CH4 Gain:1023.00 at 405,-375", "CH4 line", "CH4 Vout:Circuit1 at 500,-9"}},
        {"Diff Amp never draws CH1, nor CH4 unplotted; the gain alone decides on Inf", kModeDiffAmp, 0x03u,
         {1024.0f, 2.0f, 10}, {1024.0f, 1024.0f, 10},
         {"CH0 Vref:1024.00 at 65,-375", "CH0 Gain:2.00 at 165,-375", "CH0 line", "CH0 Vout:Circuit0 at 500,-9"}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.app.mode = r.mode;
        s.history.writeIndex = 10;
        for (int ch = 0; ch < kChannelCount; ++ch)
            s.app.plotted[ch] = (r.plotted >> ch) & 1u;
        s.circuits[0] = r.c0;
        s.circuits[1] = r.c1;
        Strings traces;
        for (const std::string &entry : starting(s.paint(), "CH")) {
            const std::string shown = entry.find(" at ") == std::string::npos ? entry.substr(0, 3) + " line" : entry;
            if (traces.empty() || traces.back() != shown)
                traces.push_back(shown);
        }
        EXPECT_EQ(traces, r.drawn);
    }
}

}  // namespace
