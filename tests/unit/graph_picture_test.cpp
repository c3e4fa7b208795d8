#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graph/graph_picture.h"

namespace {

// Texts measure 6 pixels a byte by 13 high.
TextExtent measure(void *, const char *, int32_t length) { return TextExtent{6 * length, 13}; }

struct Seg {
    int index;
    uint8_t pen;
    int32_t x0, y0, x1, y1;
};
// A segment's end points, for comparing in one assertion.
std::vector<int32_t> xy(const Seg &s) { return {s.x0, s.y0, s.x1, s.y1}; }
struct Txt {
    int index;
    std::string bytes;
    int32_t x, y;
    uint32_t colour;
    GraphFont font;
};

// One paint from the default settings, an empty history and an 800 x 400
// client area (yScale 3.069, origin at window pixel 55, 375), read back as
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
        const GraphSources sources{history, settings, app, circuits};
        computeGraphPicture(picture, view, sources, measure, nullptr);
        segs.clear();
        texts.clear();
        int32_t cx = 0, cy = 0;
        for (size_t i = 0; i < picture.ops.size(); ++i) {
            const GraphOp &op = picture.ops[i];
            const int at = static_cast<int>(i);
            if (op.kind == GraphOpKind::setOrigin)
                originIndex = at;
            else if (op.kind == GraphOpKind::lineTo)
                segs.push_back(Seg{at, op.pen, cx, cy, op.x, op.y});
            else if (op.kind == GraphOpKind::text)
                texts.push_back(Txt{at, std::string(picture.textOf(op), op.textLength), op.x, op.y, op.colour, op.font});
            cx = op.x;
            cy = op.y;
        }
        return *this;
    }
    std::vector<Seg> pen(uint8_t id) const
    {
        std::vector<Seg> found;
        for (const Seg &s : segs)
            if (s.pen == id)
                found.push_back(s);
        return found;
    }
    std::vector<Txt> text(const std::string &prefix) const
    {
        std::vector<Txt> found;
        for (const Txt &t : texts)
            if (t.bytes.compare(0, prefix.size(), prefix) == 0)
                found.push_back(t);
        return found;
    }
    std::vector<Seg> ticks() const
    {
        std::vector<Seg> found;
        for (const Seg &s : pen(penAxis))
            if (s.y0 == 0 && s.y1 == -5)
                found.push_back(s);
        return found;
    }
};

TEST(GraphGrid, WorkedPlacementOfLinesLabelsAndAxes)
{
    struct Row {
        const char *label;
        int32_t lineY, labelY, smallLabelY;  // labels at trunc(y - 13/2) and trunc(y - 15)
    };
    const Row rows[] = {
        {"0.00", 0, -6, -15},         {"255.00", -83, -89, -98},    {"511.00", -166, -172, -181},
        {"767.00", -249, -255, -264}, {"1023.00", -333, -339, -348},
    };
    Scene s;
    s.paint();
    const std::vector<Seg> lines = s.pen(penGrid);
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const Row &r = rows[i];
        EXPECT_EQ(xy(lines[i]), xy({0, 0, 0, r.lineY, 495, r.lineY})) << r.label;
        const std::vector<Txt> labels = s.text(r.label);
        ASSERT_EQ(labels.size(), 2u) << r.label;
        EXPECT_EQ(std::vector<int32_t>({labels[0].x, labels[0].y}),
                  std::vector<int32_t>({-6 * static_cast<int32_t>(labels[0].bytes.size()), r.labelY})) << r.label;
        EXPECT_EQ(labels[0].colour, axisColour) << r.label;
        EXPECT_EQ(std::vector<int32_t>({labels[1].x, labels[1].y}), std::vector<int32_t>({445, r.smallLabelY})) << r.label;
        EXPECT_EQ(labels[1].colour, gridColour) << r.label;
        EXPECT_EQ(labels[1].font, GraphFont::smallGrid) << r.label;
    }
    // Origin 25 px above the bottom; Y axis spans the height, X axis the width.
    EXPECT_EQ(s.picture.ops[static_cast<size_t>(s.originIndex)].y, 375);
    const std::vector<Seg> axes = s.pen(penAxis);
    ASSERT_GE(axes.size(), 2u);
    EXPECT_EQ(xy(axes[0]), xy({0, 0, 0, 25, 0, -400}));
    EXPECT_EQ(xy(axes[1]), xy({0, 0, 0, 0, 800, 0}));
}

TEST(GraphTimeAxis, TicksOncePerSecondOfSamples)
{
    struct Row {
        const char *what;
        int32_t interval;
        uint32_t sampleCount;
        size_t ticks;
        int32_t firstX, spacing;
        const char *firstLabel;
    };
    const Row rows[] = {
        {"60 ms before scrolling: 16 samples a tick, 80 px apart, from 1", 60, 50, 49, 80, 80, "1"},
        {"60 ms scrolled by 10: the first tick at 30 is labelled 1", 60, 110, 49, 30, 80, "1"},
        {"1000 ms: one sample a tick while the count is below the width", 1000, 0, 799, 5, 5, "1"},
        {"3 ms scrolled by 333: the first tick lands on the Y axis", 3, 433, 2, 0, 1665, "1"},
        {"1 ms: a tick of 1000 samples never fits in 800 pixels", 1, 0, 0, 0, 0, ""},
        {"above one second: no ticks and no endless loop", 1001, 500, 0, 0, 0, ""},
        {"zero interval: no ticks and no division by zero", 0, 500, 0, 0, 0, ""},
    };
    for (const Row &r : rows) {
        Scene s;
        s.settings.getDataInterval = r.interval;
        s.history.sampleCount = r.sampleCount;
        const std::vector<Seg> ticks = s.paint().ticks();
        ASSERT_EQ(ticks.size(), r.ticks) << r.what;
        if (r.ticks == 0)
            continue;
        EXPECT_EQ(ticks[0].x0, r.firstX) << r.what;
        EXPECT_EQ(ticks[1].x0 - ticks[0].x0, r.spacing) << r.what;
        size_t i = 0;
        while (s.texts[i].index < ticks[0].index)  // the tick's label follows it
            ++i;
        const Txt &label = s.texts[i];
        EXPECT_EQ(label.bytes, r.firstLabel) << r.what;
        EXPECT_EQ(label.x, r.firstX - 3 * static_cast<int32_t>(label.bytes.size())) << r.what;  // centred
        EXPECT_EQ(label.y, 5) << r.what;
    }
}

TEST(GraphTimeAxis, ScrolledSamplesFollowTheSampleCount)
{
    struct Row {
        const char *what;
        uint32_t before, sampleCount, after;
    };
    const Row rows[] = {
        {"a count of 100 or less keeps the earlier value", 7, 100, 7},
        {"the largest count scrolls by all but 100", 0, 4294967295u, 4294967195u},
    };
    for (const Row &r : rows) {
        Scene s;
        s.view.scrolledSamples = r.before;
        s.history.sampleCount = r.sampleCount;
        s.paint();
        EXPECT_EQ(s.view.scrolledSamples, r.after) << r.what;
    }
}

TEST(GraphMarks, SavingAndTrigger)
{
    struct Row {
        const char *what;
        bool enabled, rising;
        int32_t channel, threshold;
        const char *label;  // empty: nothing drawn
        int32_t lineY, labelY;
    };
    const Row rows[] = {
        {"rising on CH3 at 500 ends in the up arrow", true, true, 3, 500, "TRG [CH3] \x81\xAA", -162, -171},
        {"a disabled trigger draws nothing", false, true, 3, 500, "", 0, 0},
    };
    for (const Row &r : rows) {
        Scene s;
        s.settings.triggerEnabled = r.enabled;
        s.settings.triggerRising = r.rising;
        s.settings.triggerChannel = r.channel;
        s.settings.triggerThreshold = r.threshold;
        s.paint();
        const std::vector<Seg> lines = s.pen(penTrigger);
        const std::vector<Txt> labels = s.text("TRG");
        ASSERT_EQ(lines.size(), r.label[0] ? 1u : 0u) << r.what;
        ASSERT_EQ(labels.size(), r.label[0] ? 1u : 0u) << r.what;
        if (!r.label[0])
            continue;
        EXPECT_EQ(xy(lines[0]), xy({0, 0, 0, r.lineY, 500, r.lineY})) << r.what;
        EXPECT_EQ(labels[0].bytes, r.label) << r.what;
        EXPECT_EQ(std::vector<int32_t>({labels[0].x, labels[0].y}), std::vector<int32_t>({500, r.labelY})) << r.what;
        EXPECT_EQ(labels[0].colour, triggerColour) << r.what;
    }

    Scene s;
    EXPECT_TRUE(s.paint().text("Saving").empty());
    s.app.saving = 1;
    const std::vector<Txt> saving = s.paint().text("Saving");
    ASSERT_EQ(saving.size(), 1u);
    EXPECT_EQ(saving[0].bytes, "Saving...");
    EXPECT_EQ(std::vector<int32_t>({saving[0].x, saving[0].y}), std::vector<int32_t>({55, 0}));  // window pixels
    EXPECT_LT(saving[0].index, s.originIndex);
}

int32_t sampleAt(uint32_t slot) { return static_cast<int32_t>(100 + 3 * slot); }
int32_t levelOf(int32_t value) { return static_cast<int32_t>(-value / (1023 * 1.2 / 400)); }

TEST(GraphTrace, OldestSampleFirstFromTheLeftEdge)
{
    struct Row {
        const char *what;
        int32_t wrapped;
        uint32_t writeIndex;
        size_t points;
        uint32_t firstSlot, secondSlot, lastSlot;
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
    for (const Row &r : rows) {
        Scene s;
        s.app.plotted[5] = 1;
        s.history.wrapped = r.wrapped;
        s.history.writeIndex = r.writeIndex;
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            s.history.values[5][k] = sampleAt(k);
        s.paint();
        const std::vector<Seg> trace = s.pen(5);
        ASSERT_EQ(trace.size(), r.points) << r.what;
        if (r.points > 0) {
            EXPECT_EQ(xy(trace[0]), xy({0, 0, 0, 0, 0, levelOf(sampleAt(r.firstSlot))})) << r.what;
            EXPECT_EQ(trace.back().x1, r.lastX) << r.what;
            EXPECT_EQ(trace.back().y1, levelOf(sampleAt(r.lastSlot))) << r.what;
        }
        if (r.points > 1) {
            EXPECT_EQ(trace[1].x1, 5) << r.what;
            EXPECT_EQ(trace[1].y1, levelOf(sampleAt(r.secondSlot))) << r.what;
        }
        const std::vector<Txt> label = s.text("CH5");
        ASSERT_EQ(label.size(), 1u) << r.what;
        EXPECT_EQ(std::vector<int32_t>({label[0].x, label[0].y}),
                  std::vector<int32_t>({500, static_cast<int32_t>(-sampleAt(r.labelSlot) / (1023 * 1.2 / 400) - 9.0)}))
            << r.what;
        EXPECT_EQ(label[0].colour, channelColour[5]) << r.what;
    }
}

TEST(GraphTrace, ModeAndPlottedFlagsChooseTheTraces)
{
    struct Row {
        const char *what;
        int32_t mode;
        unsigned plotted;
        std::vector<std::string> labels;
        std::vector<uint8_t> pens;
    };
    const Row rows[] = {
        {"Normal mode draws every plotted channel in order", kModeNormal, 0x8Au, {"CH1", "CH3", "CH7"}, {1, 3, 7}},
        {"Diff Amp draws only CH0 and CH4, as circuit outputs", kModeDiffAmp, 0xFFu,
         {"Vout:Circuit0", "Vout:Circuit1"}, {0, 4}},
        {"Diff Amp never draws CH1, even when plotted", kModeDiffAmp, 0x03u, {"Vout:Circuit0"}, {0}},
    };
    for (const Row &r : rows) {
        Scene s;
        s.app.mode = r.mode;
        s.history.writeIndex = 10;
        for (int ch = 0; ch < kChannelCount; ++ch)
            s.app.plotted[ch] = (r.plotted >> ch) & 1u;
        s.paint();
        std::vector<std::string> labels;
        for (const Txt &t : s.texts)
            if (t.x == 500)
                labels.push_back(t.bytes);
        EXPECT_EQ(labels, r.labels) << r.what;
        std::vector<uint8_t> pens;
        for (const Seg &seg : s.segs)
            if (seg.pen < kChannelCount && (pens.empty() || pens.back() != seg.pen))
                pens.push_back(seg.pen);
        EXPECT_EQ(pens, r.pens) << r.what;
        const size_t results = s.text("Vref:").size() + s.text("Gain:").size();
        EXPECT_EQ(results, r.mode == kModeDiffAmp ? 2 * r.labels.size() : 0u) << r.what;
    }
}

TEST(GraphDiffAmp, ResultTextsAtTheTopBeforeTheirTrace)
{
    struct Row {
        const char *what;
        int ch;
        float vref, gain;
        const char *vrefText, *gainText;
        int32_t vrefX, gainX;  // window pixels, at window Y 0
    };
    const Row rows[] = {
        {"a zero denominator result shows Inf", 0, 1024.0f, 1024.0f, "Vref:Inf", "Gain:Inf", 120, 220},
        {"a gain of exactly 1023 shows numbers", 4, 5.0f, 1023.0f, "Vref:5.00", "Gain:1023.00", 360, 460},
        {"the gain alone decides", 0, 1024.0f, 2.0f, "Vref:1024.00", "Gain:2.00", 120, 220},
    };
    for (const Row &r : rows) {
        Scene s;
        s.app.mode = kModeDiffAmp;
        s.app.plotted[r.ch] = 1;
        s.history.writeIndex = 5;
        s.circuits[r.ch / 4] = CircuitResult{r.vref, r.gain, 10};
        s.paint();
        const std::vector<Txt> vref = s.text("Vref:");
        const std::vector<Txt> gain = s.text("Gain:");
        ASSERT_EQ(vref.size(), 1u) << r.what;
        ASSERT_EQ(gain.size(), 1u) << r.what;
        EXPECT_EQ(vref[0].bytes, r.vrefText) << r.what;
        EXPECT_EQ(gain[0].bytes, r.gainText) << r.what;
        EXPECT_EQ(std::vector<int32_t>({vref[0].x + 55, vref[0].y + 375, gain[0].x + 55, gain[0].y + 375}),
                  std::vector<int32_t>({r.vrefX, 0, r.gainX, 0})) << r.what;
        EXPECT_EQ(gain[0].colour, channelColour[r.ch]) << r.what;
        EXPECT_LT(gain[0].index, s.pen(static_cast<uint8_t>(r.ch)).front().index) << r.what;
    }
}

TEST(GraphDegenerate, EveryPaintFinishesWithDrawableCoordinates)
{
    struct Row {
        const char *what;
        int32_t top, origin, clientHeight, clientWidth;
        int32_t expectedTopLineY;  // the fifth grid line
    };
    const Row rows[] = {
        {"top equal to origin puts everything on the axis", 500, 500, 400, 800, 0},
        {"no client height puts everything on the axis", 1023, 0, 0, 800, 0},
        {"extreme axis limits", 2147483647, -2147483647, 400, 800, -333},
    };
    for (const Row &r : rows) {
        Scene s;
        s.settings.axisTop = r.top;
        s.settings.axisOrigin = r.origin;
        s.settings.triggerEnabled = true;
        s.view = GraphView{r.clientWidth, r.clientHeight, computeYScale(r.top, r.origin, r.clientHeight), 0};
        s.history.wrapped = 1;
        for (int ch = 0; ch < kChannelCount; ++ch) {
            s.app.plotted[ch] = 1;
            for (uint32_t k = 0; k < kHistorySlots; ++k)
                s.history.values[ch][k] = static_cast<int32_t>(k * 20);
        }
        s.paint();
        ASSERT_EQ(s.pen(penGrid).size(), 5u) << r.what;
        EXPECT_EQ(s.pen(penGrid)[4].y0, r.expectedTopLineY) << r.what;
        EXPECT_EQ(s.text("CH").size(), 8u) << r.what;
        for (const Seg &seg : s.segs) {
            EXPECT_LE(std::abs(seg.y1), 10000000) << r.what;
            if (s.view.yScale == 0.0 && seg.pen != penAxis) {
                EXPECT_EQ(seg.y1, 0) << r.what;
            }
        }
    }
}

}  // namespace
