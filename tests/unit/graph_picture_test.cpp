#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graph_picture_reader.h"

namespace {

using graphtest::kCharWidth;
using graphtest::Reading;
using graphtest::Scene;
using graphtest::Segment;
using graphtest::Text;

// ---- Grid and axes --------------------------------------------------------

struct GridCase {
    const char *label;
    int32_t lineY;        // logical Y of the grey line
    int32_t labelY;       // trunc(y - 13 / 2)
    int32_t smallLabelY;  // trunc(y - 15)
};

TEST(GraphGrid, DefaultAxisOverFourHundredPixels)
{
    const GridCase cases[] = {
        {"0.00", 0, -6, -15},
        {"255.00", -83, -89, -98},
        {"511.00", -166, -172, -181},
        {"767.00", -249, -255, -264},
        {"1023.00", -333, -339, -348},
    };
    Scene scene;
    const Reading r = scene.paint();
    const std::vector<Segment> lines = r.withPen(penGrid);
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const GridCase &c = cases[i];
        EXPECT_EQ(lines[i].x0, 0) << c.label;
        EXPECT_EQ(lines[i].x1, 495) << c.label;
        EXPECT_EQ(lines[i].y0, c.lineY) << c.label;
        EXPECT_EQ(lines[i].y1, c.lineY) << c.label;

        const std::vector<Text> labels = r.matching(c.label);
        ASSERT_EQ(labels.size(), 2u) << c.label;
        const int32_t width = kCharWidth * static_cast<int32_t>(std::string(c.label).size());
        EXPECT_EQ(labels[0].x, -width) << c.label;
        EXPECT_EQ(labels[0].y, c.labelY) << c.label;
        EXPECT_EQ(labels[0].colour, axisColour) << c.label;
        EXPECT_EQ(labels[0].font, GraphFont::standard) << c.label;
        EXPECT_EQ(labels[1].x, 445) << c.label;
        EXPECT_EQ(labels[1].y, c.smallLabelY) << c.label;
        EXPECT_EQ(labels[1].colour, gridColour) << c.label;
        EXPECT_EQ(labels[1].font, GraphFont::smallGrid) << c.label;
    }
}

TEST(GraphGrid, OriginAndAxesSitAtTheLowerLeft)
{
    Scene scene;
    const Reading r = scene.paint();
    EXPECT_EQ(r.originX, 55);
    EXPECT_EQ(r.originY, 375);  // the X axis lies 25 pixels above the bottom edge
    const std::vector<Segment> axes = r.withPen(penAxis);
    ASSERT_GE(axes.size(), 2u);
    // Y axis over the client area's full height, then X axis across it.
    EXPECT_EQ(axes[0].x0, 0);
    EXPECT_EQ(axes[0].y0, 25);
    EXPECT_EQ(axes[0].x1, 0);
    EXPECT_EQ(axes[0].y1, -400);
    EXPECT_EQ(axes[1].x0, 0);
    EXPECT_EQ(axes[1].y0, 0);
    EXPECT_EQ(axes[1].x1, 800);
    EXPECT_EQ(axes[1].y1, 0);
}

TEST(GraphGrid, NewAxisLimitsTakeEffectBeforeTheScaleIsRecomputed)
{
    Scene scene;
    scene.settings.axisTop = 900;
    scene.settings.axisOrigin = 100;  // yScale stays 3.069 until the next initialisation
    const Reading r = scene.paint();
    const char *labels[] = {"100.00", "300.00", "500.00", "700.00", "900.00"};
    const int32_t lineY[] = {0, -65, -130, -195, -260};
    const std::vector<Segment> lines = r.withPen(penGrid);
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.matching(labels[i]).size(), 2u) << labels[i];
        EXPECT_EQ(lines[i].y0, lineY[i]) << labels[i];
    }
}

// ---- Time axis --------------------------------------------------------------

struct TimeAxisCase {
    const char *what;
    int32_t interval;
    uint32_t sampleCount;
    size_t ticks;
    int32_t firstX;           // logical X of the first tick
    const char *firstLabel;
    int32_t spacing;          // pixels between ticks
};

TEST(GraphTimeAxis, TicksOncePerSecondOfSamples)
{
    const TimeAxisCase cases[] = {
        {"60 ms before scrolling: 16 samples a tick, every 80 px, from 1", 60, 50, 49, 80, "1", 80},
        {"60 ms scrolled by 10: first tick at 30 labelled 1", 60, 110, 49, 30, "1", 80},
        {"60 ms scrolled by 100: 6 s gone, first tick at 80 labelled 7", 60, 200, 49, 80, "7", 80},
        {"60 ms scrolled by 20: 1.2 s gone, first tick at 65 labelled 2", 60, 120, 49, 65, "2", 80},
        {"1000 ms: one sample a tick until the sample count reaches the width", 1000, 0, 799, 5, "1", 5},
        {"3 ms scrolled by 333: the tick lands on the left edge", 3, 433, 2, 0, "1", 1665},
        {"1 ms: 1000 samples a tick never fit in 800 pixels", 1, 0, 0, 0, "", 0},
        {"above one second: no ticks and no endless loop", 1001, 500, 0, 0, "", 0},
        {"zero interval: no ticks and no division by zero", 0, 500, 0, 0, "", 0},
        {"negative interval: no ticks", -60, 500, 0, 0, "", 0},
    };
    for (const TimeAxisCase &c : cases) {
        Scene scene;
        scene.settings.getDataInterval = c.interval;
        scene.history.sampleCount = c.sampleCount;
        const Reading r = scene.paint();
        std::vector<Segment> ticks;
        for (const Segment &s : r.withPen(penAxis))
            if (s.y0 == 0 && s.y1 == -5)
                ticks.push_back(s);
        ASSERT_EQ(ticks.size(), c.ticks) << c.what;
        if (c.ticks == 0)
            continue;
        EXPECT_EQ(ticks[0].x0, c.firstX) << c.what;
        EXPECT_EQ(ticks[0].x1, c.firstX) << c.what;
        if (c.ticks > 1) {
            EXPECT_EQ(ticks[1].x0 - ticks[0].x0, c.spacing) << c.what;
        }

        // Every tick is followed by its label, centred under it at Y 5.
        const Text *label = nullptr;
        for (const Text &t : r.texts)
            if (t.index > ticks[0].index) {
                label = &t;
                break;
            }
        ASSERT_NE(label, nullptr) << c.what;
        EXPECT_EQ(label->bytes, c.firstLabel) << c.what;
        EXPECT_EQ(label->x, c.firstX - kCharWidth * static_cast<int32_t>(label->bytes.size()) / 2) << c.what;
        EXPECT_EQ(label->y, 5) << c.what;
    }
}

TEST(GraphTimeAxis, SecondsKeepCountingAfterVeryLongRuns)
{
    // 4 000 000 000 samples of one second: the product with the interval
    // exceeds 32 bits, the labels must not fall back.
    Scene scene;
    scene.settings.getDataInterval = 1000;
    scene.history.sampleCount = 4000000100u;
    const Reading r = scene.paint();
    EXPECT_EQ(scene.view.scrolledSamples, 4000000000u);
    ASSERT_FALSE(r.matching("4000000001").empty());
    EXPECT_EQ(r.matching("4000000001")[0].x, 5 - kCharWidth * 10 / 2);
}

struct ScrollCase {
    const char *what;
    uint32_t before;
    uint32_t sampleCount;
    uint32_t after;
};

TEST(GraphTimeAxis, ScrolledSamplesFollowTheSampleCount)
{
    const ScrollCase cases[] = {
        {"100 samples fill the plot without scrolling", 0, 100, 0},
        {"the 101st sample scrolls by one", 0, 101, 1},
        {"an unchanged count below 100 keeps the earlier value", 7, 40, 7},
        {"the largest count scrolls by all but 100", 0, 4294967295u, 4294967195u},
    };
    for (const ScrollCase &c : cases) {
        Scene scene;
        scene.view.scrolledSamples = c.before;
        scene.history.sampleCount = c.sampleCount;
        scene.paint();
        EXPECT_EQ(scene.view.scrolledSamples, c.after) << c.what;
    }
}

// ---- Saving, trigger and drawing order ------------------------------------

TEST(GraphMarks, SavingShowsAboveThePlotOnlyWhileSaving)
{
    Scene scene;
    EXPECT_TRUE(scene.paint().matching("Saving").empty());

    scene.app.saving = 1;
    const Reading r = scene.paint();
    const std::vector<Text> saving = r.matching("Saving");
    ASSERT_EQ(saving.size(), 1u);
    EXPECT_EQ(saving[0].bytes, "Saving...");
    EXPECT_EQ(saving[0].windowX, 55);
    EXPECT_EQ(saving[0].windowY, 0);
    EXPECT_LT(saving[0].index, r.originIndex);
}

struct TriggerCase {
    const char *what;
    bool enabled;
    bool rising;
    int32_t channel;
    int32_t threshold;
    const char *label;  // empty when no trigger is drawn
    int32_t lineY;
    int32_t labelY;
};

TEST(GraphMarks, TriggerLineAndLabel)
{
    const TriggerCase cases[] = {
        {"rising on CH3 at 500 ends in the up arrow", true, true, 3, 500, "TRG [CH3] \x81\xAA", -162, -171},
        {"falling on CH7 at 500 ends in the down arrow", true, false, 7, 500, "TRG [CH7] \x81\xAB", -162, -171},
        {"a threshold below the origin lies below the axis", true, true, 0, -100, "TRG [CH0] \x81\xAA", 32, 23},
        {"a threshold above the top lies above the grid", true, true, 0, 2047, "TRG [CH0] \x81\xAA", -666, -675},
        {"a disabled trigger draws nothing", false, true, 3, 500, "", 0, 0},
    };
    for (const TriggerCase &c : cases) {
        Scene scene;
        scene.settings.triggerEnabled = c.enabled;
        scene.settings.triggerRising = c.rising;
        scene.settings.triggerChannel = c.channel;
        scene.settings.triggerThreshold = c.threshold;
        const Reading r = scene.paint();
        const std::vector<Segment> lines = r.withPen(penTrigger);
        const std::vector<Text> labels = r.matching("TRG");
        if (c.label[0] == '\0') {
            EXPECT_TRUE(lines.empty()) << c.what;
            EXPECT_TRUE(labels.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(lines.size(), 1u) << c.what;
        EXPECT_EQ(lines[0].x0, 0) << c.what;
        EXPECT_EQ(lines[0].x1, 500) << c.what;
        EXPECT_EQ(lines[0].y0, c.lineY) << c.what;
        EXPECT_EQ(lines[0].y1, c.lineY) << c.what;
        ASSERT_EQ(labels.size(), 1u) << c.what;
        EXPECT_EQ(labels[0].bytes, c.label) << c.what;
        EXPECT_EQ(labels[0].x, 500) << c.what;
        EXPECT_EQ(labels[0].y, c.labelY) << c.what;
        EXPECT_EQ(labels[0].colour, triggerColour) << c.what;
    }
}

TEST(GraphMarks, LaterLayersCoverEarlierOnes)
{
    Scene scene;
    scene.app.saving = 1;
    scene.app.plotted[2] = 1;
    scene.settings.triggerEnabled = true;
    const Reading r = scene.paint();
    const int saving = r.matching("Saving")[0].index;
    const int grid = r.withPen(penGrid).front().index;
    const int trigger = r.withPen(penTrigger).front().index;
    const int trace = r.matching("CH2")[0].index;
    const int axis = r.withPen(penAxis).front().index;
    EXPECT_LT(saving, r.originIndex);
    EXPECT_LT(r.originIndex, grid);
    EXPECT_LT(r.withPen(penGrid).back().index, trigger);
    EXPECT_LT(trigger, trace);
    EXPECT_LT(trace, axis);
}

// ---- Settings that cannot be drawn faithfully -----------------------------

struct DegenerateCase {
    const char *what;
    int32_t top, origin, clientHeight, clientWidth, interval;
    uint32_t sampleCount;
};

TEST(GraphDegenerate, EveryPaintFinishesWithDrawableCoordinates)
{
    const DegenerateCase cases[] = {
        {"top equal to origin", 500, 500, 400, 800, 60, 150},
        {"top below origin", 0, 1023, 400, 800, 60, 150},
        {"no client height", 1023, 0, 0, 800, 60, 150},
        {"negative client size", 1023, 0, -30, -30, 60, 150},
        {"interval above one second", 1023, 0, 400, 800, 5000, 150},
        {"interval zero", 1023, 0, 400, 800, 0, 150},
        {"extreme axis limits", 2147483647, -2147483647, 400, 800, 60, 150},
        {"a one-unit axis over a tall window", 1, 0, 100000, 800, 60, 150},
        {"the largest sample count", 1023, 0, 400, 800, 1000, 4294967295u},
    };
    for (const DegenerateCase &c : cases) {
        Scene scene;
        scene.settings.axisTop = c.top;
        scene.settings.axisOrigin = c.origin;
        scene.settings.getDataInterval = c.interval;
        scene.settings.triggerEnabled = true;
        scene.view.clientHeight = c.clientHeight;
        scene.view.clientWidth = c.clientWidth;
        scene.view.yScale = computeYScale(c.top, c.origin, c.clientHeight);
        scene.history.sampleCount = c.sampleCount;
        scene.history.wrapped = 1;
        for (int ch = 0; ch < kChannelCount; ++ch) {
            scene.app.plotted[ch] = 1;
            for (uint32_t k = 0; k < kHistorySlots; ++k)
                scene.history.values[ch][k] = static_cast<int32_t>(k * 20);
        }
        const Reading r = scene.paint();
        EXPECT_EQ(r.withPen(penGrid).size(), 5u) << c.what;
        EXPECT_EQ(r.matching("CH").size(), 8u) << c.what;
        for (const Segment &s : r.segments) {
            EXPECT_LE(std::abs(static_cast<double>(s.y1)), 1.0e7) << c.what;
            EXPECT_LE(std::abs(static_cast<double>(s.x1)), 1.0e7) << c.what;
        }
    }
}

TEST(GraphDegenerate, EqualLimitsPutEverythingOnTheAxis)
{
    Scene scene;
    scene.settings.axisTop = 500;
    scene.settings.axisOrigin = 500;
    scene.view.yScale = computeYScale(500, 500, 400);
    scene.app.plotted[0] = 1;
    scene.history.writeIndex = 3;
    scene.history.values[0][0] = 2047;
    scene.history.values[0][2] = 7;
    const Reading r = scene.paint();
    for (const Segment &s : r.segments)
        if (s.pen != penAxis) {
            EXPECT_EQ(s.y1, 0) << "pen " << int(s.pen);
        }
    EXPECT_EQ(r.matching("500.00").size(), 10u);  // five grid lines, two labels each
}

TEST(GraphDegenerate, TopBelowOriginCountsDownwardFromTheAxis)
{
    Scene scene;
    scene.settings.axisTop = 0;
    scene.settings.axisOrigin = 1023;
    scene.view.yScale = computeYScale(0, 1023, 400);
    const Reading r = scene.paint();
    const std::vector<Segment> lines = r.withPen(penGrid);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].y0, 0);
    EXPECT_EQ(lines[4].y0, -333);
    EXPECT_LT(r.matching("1023.00")[0].index, r.matching("0.00")[0].index);
}

// ---- Buffers ----------------------------------------------------------------

TEST(GraphBuffers, AWarmPictureIsReusedWithoutReallocation)
{
    Scene scene;
    reserveGraphPicture(scene.picture);
    scene.app.mode = kModeDiffAmp;
    scene.app.saving = 1;
    scene.settings.triggerEnabled = true;
    scene.history.wrapped = 1;
    scene.history.sampleCount = 5000;
    for (int ch = 0; ch < kChannelCount; ++ch)
        scene.app.plotted[ch] = 1;
    const GraphOp *ops = scene.picture.ops.data();
    const char *text = scene.picture.text.data();
    scene.paint();
    scene.app.mode = kModeNormal;
    scene.paint();
    EXPECT_EQ(scene.picture.ops.data(), ops);
    EXPECT_EQ(scene.picture.text.data(), text);
}

TEST(GraphBuffers, AMissingMeasureLeavesTextsUnshifted)
{
    Scene scene;
    const GraphSources sources{scene.history, scene.settings, scene.app, scene.circuits};
    computeGraphPicture(scene.picture, scene.view, sources, nullptr, nullptr);
    const Reading r = graphtest::read(scene.picture);
    ASSERT_EQ(r.matching("255.00").size(), 2u);
    EXPECT_EQ(r.matching("255.00")[0].x, 0);
    EXPECT_EQ(r.matching("255.00")[0].y, -83);
}

}  // namespace
