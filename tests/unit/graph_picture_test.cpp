#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "graph/graph_picture.h"

namespace {

using Ints = std::vector<int32_t>;
using Strings = std::vector<std::string>;
using Shown = std::tuple<std::string, int32_t, int32_t, uint32_t, GraphFont>;  // bytes, x, y, colour, font

// Texts measure 6 pixels a byte by 13 high.
TextExtent measure(void *, const char *, int32_t length) { return TextExtent{6 * length, 13}; }

struct Seg { int index; uint8_t pen; int32_t x0, y0, x1, y1; Ints xy() const { return {x0, y0, x1, y1}; } };
struct Txt {
    int index; std::string bytes; int32_t x, y; uint32_t colour; GraphFont font;
    Shown shown() const { return {bytes, x, y, colour, font}; }
};

template <class T, class Keep> std::vector<T> pick(const std::vector<T> &all, Keep keep)
{
    std::vector<T> found;
    std::copy_if(all.begin(), all.end(), std::back_inserter(found), keep);
    return found;
}

// One paint of an 800 x 400 client area with the default settings and an
// empty history (yScale 3.069, origin at window pixel 55, 375), read back as
// segments and texts in logical pixels.
struct Scene {
    SampleHistory history{};
    Settings settings{60, 100, 1023, 0, 0, 500, false, true};
    AppState app{};
    CircuitResult circuits[kCircuitCount]{};
    GraphView view{800, 400, 1023 * 1.2 / 400, 0};
    GraphPicture picture;
    std::vector<Seg> segs;
    std::vector<Txt> texts;
    int originIndex = -1;

    Scene &paint()
    {
        computeGraphPicture(picture, view, GraphSources{history, settings, app, circuits}, measure, nullptr);
        segs.clear();
        texts.clear();
        int32_t cx = 0, cy = 0;
        for (int i = 0; i < static_cast<int>(picture.ops.size()); ++i) {
            const GraphOp &op = picture.ops[static_cast<size_t>(i)];
            if (op.kind == GraphOpKind::setOrigin)
                originIndex = i;
            else if (op.kind == GraphOpKind::lineTo)
                segs.push_back({i, op.pen, cx, cy, op.x, op.y});
            else if (op.kind == GraphOpKind::text)
                texts.push_back({i, std::string(picture.textOf(op), op.textLength), op.x, op.y, op.colour, op.font});
            cx = op.x;
            cy = op.y;
        }
        return *this;
    }
    std::vector<Seg> pen(uint8_t id) const { return pick(segs, [&](const Seg &s) { return s.pen == id; }); }
    std::vector<Txt> text(const std::string &prefix) const
    {
        return pick(texts, [&](const Txt &t) { return t.bytes.rfind(prefix, 0) == 0; });
    }
    // In drawing order: "CHn line" for channel n's polyline, "CHn <bytes> at x,y" for a text in its colour.
    Strings traces() const
    {
        Strings drawn;
        for (const GraphOp &op : picture.ops) {
            const long ch = std::find(channelColour, channelColour + kChannelCount, op.colour) - channelColour;
            std::string entry;
            if (op.kind == GraphOpKind::lineTo && op.pen < kChannelCount)
                entry = "CH" + std::to_string(op.pen) + " line";
            else if (op.kind == GraphOpKind::text && ch < kChannelCount)
                entry = "CH" + std::to_string(ch) + " " + std::string(picture.textOf(op), op.textLength) + " at " +
                        std::to_string(op.x) + "," + std::to_string(op.y);
            if (!entry.empty() && (drawn.empty() || drawn.back() != entry))
                drawn.push_back(entry);
        }
        return drawn;
    }
};

TEST(GraphGrid, WorkedPlacementOfLinesLabelsAndAxes)
{
    // Each line's label stands right-aligned left of the Y axis at trunc(y - 13/2), its small grey copy at
    // (445, trunc(y - 15)).
    struct Row { const char *label; int32_t lineY, labelX, labelY, smallY; };
    const Row rows[] = {{"0.00", 0, -24, -6, -15},         {"255.00", -83, -36, -89, -98},
                        {"511.00", -166, -36, -172, -181}, {"767.00", -249, -36, -255, -264},
                        {"1023.00", -333, -42, -339, -348}};
    Scene s;
    const std::vector<Seg> lines = s.paint().pen(penGrid);
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const Row &r = rows[i];
        SCOPED_TRACE(r.label);
        EXPECT_EQ(lines[i].xy(), Ints({0, r.lineY, 495, r.lineY}));
        const std::vector<Txt> labels = s.text(r.label);
        ASSERT_EQ(labels.size(), 2u);
        EXPECT_EQ(labels[0].shown(), Shown(r.label, r.labelX, r.labelY, axisColour, GraphFont::standard));
        EXPECT_EQ(labels[1].shown(), Shown(r.label, 445, r.smallY, gridColour, GraphFont::smallGrid));
    }
    // Origin 25 px above the bottom; Y axis spans the height, X axis the width.
    EXPECT_EQ(s.picture.ops[static_cast<size_t>(s.originIndex)].y, 375);
    const std::vector<Seg> axes = s.pen(penAxis);
    ASSERT_GE(axes.size(), 2u);
    EXPECT_EQ(axes[0].xy(), Ints({0, 25, 0, -400}));
    EXPECT_EQ(axes[1].xy(), Ints({0, 0, 800, 0}));
}

TEST(GraphTimeAxis, TicksOncePerSecondOfSamplesFromTheScrolledPosition)
{
    struct Row {
        const char *what;
        int32_t interval;
        uint32_t scrolled, count, scrolledAfter;
        size_t ticks;
        int32_t firstX, spacing;  // the first tick is labelled 1
    };
    const Row rows[] = {
        {"60 ms before scrolling: 16 samples a tick, 80 px apart", 60, 0, 50, 0, 49, 80, 80},
        {"60 ms scrolled by 10: the first tick at 30", 60, 0, 110, 10, 49, 30, 80},
        {"1000 ms: one sample a tick while the count is below the width", 1000, 0, 0, 0, 799, 5, 5},
        {"3 ms scrolled by 333: the first tick lands on the Y axis", 3, 0, 433, 333, 2, 0, 1665},
        {"1 ms: a tick of 1000 samples never fits in 800 pixels", 1, 0, 0, 0, 0, 0, 0},
        {"above one second: no ticks, no endless loop; a count of 100 keeps the scroll", 1001, 7, 100, 7, 0, 0, 0},
        {"zero interval: no ticks, no division by zero; the largest count scrolls by all but 100", 0, 0,
         4294967295u, 4294967195u, 0, 0, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.settings.getDataInterval = r.interval;
        s.view.scrolledSamples = r.scrolled;
        s.history.sampleCount = r.count;
        s.paint();
        EXPECT_EQ(s.view.scrolledSamples, r.scrolledAfter);
        const std::vector<Seg> ticks = pick(s.pen(penAxis), [](const Seg &t) { return t.y0 == 0 && t.y1 == -5; });
        ASSERT_EQ(ticks.size(), r.ticks);
        if (r.ticks == 0)
            continue;
        EXPECT_EQ(Ints({ticks[0].x0, ticks[1].x0 - ticks[0].x0}), Ints({r.firstX, r.spacing}));
        // The tick's label follows it, centred below it.
        const auto label = std::find_if(s.texts.begin(), s.texts.end(), [&](const Txt &t) { return t.index > ticks[0].index; });
        ASSERT_NE(label, s.texts.end());
        EXPECT_EQ(label->shown(), Shown("1", r.firstX - 3, 5, axisColour, GraphFont::standard));
    }
}

TEST(GraphMarks, TriggerLevelAndSaving)
{
    struct Row { const char *what; Settings trigger; int32_t saving; const char *label; int32_t lineY, labelY; };
    const Row rows[] = {
        {"rising on CH3 at 500 ends in the up arrow; saving", {60, 100, 1023, 0, 3, 500, true, true}, 1,
         "TRG [CH3] \x81\xAA", -162, -171},
        {"falling on CH7 at 1023 ends in the down arrow", {60, 100, 1023, 0, 7, 1023, true, false}, 0,
         "TRG [CH7] \x81\xAB", -333, -342},
        {"a disabled trigger draws no line and no label", {60, 100, 1023, 0, 3, 500, false, true}, 0, "", 0, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.settings = r.trigger;
        s.app.saving = r.saving;
        s.paint();
        const std::vector<Seg> lines = s.pen(penTrigger);
        const std::vector<Txt> labels = s.text("TRG");
        ASSERT_EQ(lines.size(), r.label[0] ? 1u : 0u);
        ASSERT_EQ(labels.size(), lines.size());
        if (r.label[0]) {
            EXPECT_EQ(lines[0].xy(), Ints({0, r.lineY, 500, r.lineY}));
            EXPECT_EQ(labels[0].shown(), Shown(r.label, 500, r.labelY, triggerColour, GraphFont::standard));
        }
        const std::vector<Txt> saving = s.text("Saving");
        ASSERT_EQ(saving.size(), static_cast<size_t>(r.saving));
        if (r.saving) {  // in window pixels: drawn before the origin moves
            EXPECT_EQ(saving[0].shown(), Shown("Saving...", 55, 0, axisColour, GraphFont::standard));
            EXPECT_LT(saving[0].index, s.originIndex);
        }
    }
}

TEST(GraphTrace, OldestSampleFirstFromTheLeftEdge)
{
    struct Row {
        const char *what;
        int32_t wrapped;
        uint32_t writeIndex;
        size_t points;
        uint32_t first, second, last;  // slots drawn first, second and last
        int32_t lastX;
        uint32_t labelSlot;
    };
    const Row rows[] = {
        {"right after a reset nothing is drawn, the label is level with slot 99", 0, 0, 0, 0, 0, 0, 0, 99},
        {"wrapped at slot 0: slots 0..99 from 0 to 495", 1, 0, 100, 0, 1, 99, 495, 99},
        {"wrapped at slot 99: slot 99 at 0, then 0..98 from 5 to 495", 1, 99, 100, 99, 0, 98, 495, 98},
        {"wrapped at slot 37: slot 37 first, slot 36 newest at 495", 1, 37, 100, 37, 38, 36, 495, 36},
        {"a damaged write index folds back into the ring", 0, 100003, 3, 0, 1, 2, 10, 2},
    };
    // One channel unit a pixel: slot k holds 100 + k and stands at Y -(100 + k).
    const auto y = [](uint32_t slot) { return -100 - static_cast<int32_t>(slot); };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.view.yScale = 1.0;
        s.app.plotted[5] = 1;
        s.history.wrapped = r.wrapped;
        s.history.writeIndex = r.writeIndex;
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            s.history.values[5][k] = static_cast<int32_t>(100 + k);
        const std::vector<Seg> trace = s.paint().pen(5);
        ASSERT_EQ(trace.size(), r.points);
        if (r.points > 0) {  // the first stroke runs up the Y axis
            EXPECT_EQ(trace[0].xy(), Ints({0, 0, 0, y(r.first)}));
            EXPECT_EQ(Ints({trace[1].x1, trace[1].y1}), Ints({5, y(r.second)}));
            EXPECT_EQ(Ints({trace.back().x1, trace.back().y1}), Ints({r.lastX, y(r.last)}));
        }
        const std::vector<Txt> label = s.text("CH5");
        ASSERT_EQ(label.size(), 1u);
        EXPECT_EQ(label[0].shown(), Shown("CH5", 500, y(r.labelSlot) - 9, channelColour[5], GraphFont::standard));
    }
}

TEST(GraphTrace, ModeAndPlottedFlagsChooseTracesAndDiffAmpResults)
{
    // Labels end level with the newest value 0; Diff Amp results stand at window Y 0, before their trace.
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
        EXPECT_EQ(s.paint().traces(), r.drawn);
    }
}

TEST(GraphDegenerate, EveryPaintFinishesWithDrawableCoordinates)
{
    struct Row { const char *what; int32_t top, origin, clientHeight, topLineY; };
    const Row rows[] = {
        {"top equal to origin puts everything on the axis", 500, 500, 400, 0},
        {"no client height puts everything on the axis", 1023, 0, 0, 0},
        {"extreme axis limits", 2147483647, -2147483647, 400, -333},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        Scene s;
        s.settings.axisTop = r.top;
        s.settings.axisOrigin = r.origin;
        s.settings.triggerEnabled = true;
        s.view = GraphView{800, r.clientHeight, computeYScale(r.top, r.origin, r.clientHeight), 0};
        s.history.wrapped = 1;
        for (int ch = 0; ch < kChannelCount; ++ch) {
            s.app.plotted[ch] = 1;
            for (uint32_t k = 0; k < kHistorySlots; ++k)
                s.history.values[ch][k] = static_cast<int32_t>(k * 20);
        }
        s.paint();
        ASSERT_EQ(s.pen(penGrid).size(), 5u);
        EXPECT_EQ(s.pen(penGrid)[4].y0, r.topLineY);
        EXPECT_EQ(s.text("CH").size(), 8u);
        for (const Seg &seg : s.segs)
            EXPECT_LE(std::abs(seg.y1), s.view.yScale == 0.0 && seg.pen != penAxis ? 0 : 10000000);
    }
}

}  // namespace
