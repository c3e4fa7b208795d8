#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graph_picture_reader.h"

namespace {

using graphtest::Reading;
using graphtest::Scene;
using graphtest::Segment;
using graphtest::Text;

constexpr int kTraced = 5;

int32_t sampleAt(uint32_t slot) { return static_cast<int32_t>(100 + 3 * slot); }

int32_t levelOf(const Scene &scene, int32_t value)
{
    return static_cast<int32_t>(-(value - scene.settings.axisOrigin) / scene.view.yScale);
}

struct TraceCase {
    const char *what;
    int32_t wrapped;
    uint32_t writeIndex;
    size_t points;
    uint32_t firstSlot;
    int32_t firstX;
    uint32_t secondSlot;
    int32_t secondX;
    uint32_t lastSlot;
    int32_t lastX;
    uint32_t labelSlot;
};

TEST(GraphTrace, OldestSampleFirstFromTheLeftEdge)
{
    const TraceCase cases[] = {
        {"right after a reset nothing is drawn and the label is level with slot 99", 0, 0, 0, 0, 0, 0, 0, 0, 0, 99},
        {"one sample is one point at the Y axis", 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
        {"50 samples run from X 0 to 245", 0, 50, 50, 0, 0, 1, 5, 49, 245, 49},
        {"wrapped at slot 0: slots 0..99 run from 0 to 495", 1, 0, 100, 0, 0, 1, 5, 99, 495, 99},
        {"wrapped at slot 99: slot 99 first, then 0..98 from 5 to 495", 1, 99, 100, 99, 0, 0, 5, 98, 495, 98},
        {"wrapped at slot 37: slot 37 first, slot 36 newest at 495", 1, 37, 100, 37, 0, 38, 5, 36, 495, 36},
    };
    for (const TraceCase &c : cases) {
        Scene scene;
        scene.app.plotted[kTraced] = 1;
        scene.history.wrapped = c.wrapped;
        scene.history.writeIndex = c.writeIndex;
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            scene.history.values[kTraced][k] = sampleAt(k);
        const Reading r = scene.paint();

        const std::vector<Segment> trace = r.withPen(kTraced);
        ASSERT_EQ(trace.size(), c.points) << c.what;
        if (c.points > 0) {
            EXPECT_EQ(trace[0].x0, 0) << c.what;  // the first stroke leaves the origin
            EXPECT_EQ(trace[0].y0, 0) << c.what;
            EXPECT_EQ(trace[0].x1, c.firstX) << c.what;
            EXPECT_EQ(trace[0].y1, levelOf(scene, sampleAt(c.firstSlot))) << c.what;
            EXPECT_EQ(trace.back().x1, c.lastX) << c.what;
            EXPECT_EQ(trace.back().y1, levelOf(scene, sampleAt(c.lastSlot))) << c.what;
        }
        if (c.points > 1) {
            EXPECT_EQ(trace[1].x1, c.secondX) << c.what;
            EXPECT_EQ(trace[1].y1, levelOf(scene, sampleAt(c.secondSlot))) << c.what;
        }

        const std::vector<Text> label = r.matching("CH5");
        ASSERT_EQ(label.size(), 1u) << c.what;
        EXPECT_EQ(label[0].x, 500) << c.what;
        const double level = -(sampleAt(c.labelSlot) - scene.settings.axisOrigin) / scene.view.yScale - 9.0;
        EXPECT_EQ(label[0].y, static_cast<int32_t>(level)) << c.what;
        EXPECT_EQ(label[0].colour, channelColour[kTraced]) << c.what;
    }
}

TEST(GraphTrace, AFreshHistoryLabelsEachChannelAtTheAxis)
{
    Scene scene;
    for (int ch = 0; ch < kChannelCount; ++ch)
        scene.app.plotted[ch] = 1;
    const Reading r = scene.paint();
    for (int ch = 0; ch < kChannelCount; ++ch)
        EXPECT_TRUE(r.withPen(static_cast<uint8_t>(ch)).empty()) << ch;
    const std::vector<Text> labels = r.matching("CH");
    ASSERT_EQ(labels.size(), 8u);
    for (const Text &t : labels)
        EXPECT_EQ(t.y, -9) << t.bytes;
}

TEST(GraphTrace, ADamagedWriteIndexStaysInsideTheRing)
{
    Scene scene;
    scene.app.plotted[0] = 1;
    scene.history.writeIndex = 100003;  // folds back to 3
    scene.history.values[0][2] = 300;
    const Reading r = scene.paint();
    ASSERT_EQ(r.withPen(0).size(), 3u);
    EXPECT_EQ(r.matching("CH0")[0].y, static_cast<int32_t>(-300 / scene.view.yScale - 9.0));
}

struct SelectionCase {
    const char *what;
    int32_t mode;
    unsigned plottedMask;
    std::vector<std::string> labels;
    std::vector<uint8_t> pens;
};

TEST(GraphTrace, ModeAndPlottedFlagsChooseTheTraces)
{
    const SelectionCase cases[] = {
        {"Normal mode draws every plotted channel in order", kModeNormal, 0x8Au, {"CH1", "CH3", "CH7"}, {1, 3, 7}},
        {"Normal mode with nothing plotted draws no trace", kModeNormal, 0u, {}, {}},
        {"Diff Amp draws only CH0 and CH4 as circuit outputs", kModeDiffAmp, 0xFFu,
         {"Vout:Circuit0", "Vout:Circuit1"}, {0, 4}},
        {"Diff Amp never draws CH1 even when plotted", kModeDiffAmp, 0x03u, {"Vout:Circuit0"}, {0}},
        {"Diff Amp with CH4 alone draws circuit 1", kModeDiffAmp, 0x10u, {"Vout:Circuit1"}, {4}},
    };
    for (const SelectionCase &c : cases) {
        Scene scene;
        scene.app.mode = c.mode;
        scene.history.writeIndex = 10;
        for (int ch = 0; ch < kChannelCount; ++ch)
            scene.app.plotted[ch] = (c.plottedMask >> ch) & 1u;
        const Reading r = scene.paint();

        std::vector<std::string> labels;
        for (const Text &t : r.texts)
            if (t.x == 500 && t.bytes.rfind("TRG", 0) != 0)
                labels.push_back(t.bytes);
        EXPECT_EQ(labels, c.labels) << c.what;

        std::vector<uint8_t> pens;
        for (const Segment &s : r.segments)
            if (s.pen < kChannelCount && (pens.empty() || pens.back() != s.pen))
                pens.push_back(s.pen);
        EXPECT_EQ(pens, c.pens) << c.what;

        const size_t resultTexts = r.matching("Vref:").size() + r.matching("Gain:").size();
        EXPECT_EQ(resultTexts, c.mode == kModeDiffAmp ? 2 * c.labels.size() : 0u) << c.what;
    }
}

struct ResultCase {
    const char *what;
    float vref;
    float gain;
    const char *vrefText;
    const char *gainText;
};

TEST(GraphDiffAmp, ResultTextsShowInfOnlyAboveTheGainLimit)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const ResultCase cases[] = {
        {"a zero denominator result shows Inf", 1024.0f, 1024.0f, "Vref:Inf", "Gain:Inf"},
        {"a gain of exactly 1023 shows numbers", 5.0f, 1023.0f, "Vref:5.00", "Gain:1023.00"},
        {"the gain alone decides: a large vref still shows", 1024.0f, 2.0f, "Vref:1024.00", "Gain:2.00"},
        {"numbers round to two places", 3.14159f, 0.456f, "Vref:3.14", "Gain:0.46"},
        {"results start at zero", 0.0f, 0.0f, "Vref:0.00", "Gain:0.00"},
    };
    for (const ResultCase &c : cases) {
        Scene scene;
        scene.app.mode = kModeDiffAmp;
        scene.app.plotted[0] = 1;
        scene.circuits[0].vref = c.vref;
        scene.circuits[0].gain = c.gain;
        const Reading r = scene.paint();
        ASSERT_EQ(r.matching("Vref:").size(), 1u) << c.what;
        EXPECT_EQ(r.matching("Vref:")[0].bytes, c.vrefText) << c.what;
        EXPECT_EQ(r.matching("Gain:")[0].bytes, c.gainText) << c.what;
    }

    // A NaN gain is not above the limit: numbers are shown, not Inf.
    Scene scene;
    scene.app.mode = kModeDiffAmp;
    scene.app.plotted[4] = 1;
    scene.circuits[1].vref = nan;
    scene.circuits[1].gain = nan;
    const Reading r = scene.paint();
    ASSERT_EQ(r.matching("Gain:").size(), 1u);
    EXPECT_EQ(r.matching("Gain:")[0].bytes.find("Inf"), std::string::npos);
    EXPECT_NE(r.matching("Gain:")[0].bytes.find("nan"), std::string::npos);
}

TEST(GraphDiffAmp, ResultTextsStandAtTheTopBeforeTheirTrace)
{
    struct Place {
        int ch;
        int32_t vrefX, gainX;
    };
    const Place places[] = {{0, 120, 220}, {4, 360, 460}};
    Scene scene;
    scene.app.mode = kModeDiffAmp;
    scene.app.plotted[0] = 1;
    scene.app.plotted[4] = 1;
    scene.history.writeIndex = 5;
    const Reading r = scene.paint();
    const std::vector<Text> vref = r.matching("Vref:");
    const std::vector<Text> gain = r.matching("Gain:");
    ASSERT_EQ(vref.size(), 2u);
    ASSERT_EQ(gain.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const Place &p = places[i];
        EXPECT_EQ(vref[i].windowX, p.vrefX) << p.ch;
        EXPECT_EQ(vref[i].windowY, 0) << p.ch;
        EXPECT_EQ(gain[i].windowX, p.gainX) << p.ch;
        EXPECT_EQ(gain[i].windowY, 0) << p.ch;
        EXPECT_EQ(vref[i].colour, channelColour[p.ch]) << p.ch;
        EXPECT_EQ(gain[i].colour, channelColour[p.ch]) << p.ch;
        EXPECT_LT(gain[i].index, r.withPen(static_cast<uint8_t>(p.ch)).front().index) << p.ch;
    }
}

}  // namespace
