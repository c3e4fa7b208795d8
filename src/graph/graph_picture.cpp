#include "graph/graph_picture.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kReservedOps = 4096;
constexpr size_t kReservedText = 16384;
constexpr int kFormatBuffer = 64;
constexpr double kLabelRise = 9.0;          // trace and trigger labels sit this far up
constexpr double kSmallGridLabelRise = 15.0;
constexpr int32_t kTickLength = 5;
constexpr int32_t kTimeLabelY = 5;
constexpr int32_t kTimeLabelGap = 4;        // blank pixels at least between time labels
constexpr uint64_t kMaxLabelDecade = 1000000000000000ull;
constexpr int32_t kResultTextStep = 60;     // per channel number
constexpr int32_t kVrefTextX = 10;
constexpr int32_t kGainTextX = 110;
constexpr double kInfiniteGain = 1023.0;

struct Builder {
    GraphPicture &picture;
    MeasureText measure;
    void *context;

    void op(GraphOpKind kind, int32_t x, int32_t y, uint8_t pen)
    {
        GraphOp o{};
        o.kind = kind;
        o.pen = pen;
        o.x = x;
        o.y = y;
        picture.ops.push_back(o);
    }

    void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t pen)
    {
        op(GraphOpKind::moveTo, x0, y0, pen);
        op(GraphOpKind::lineTo, x1, y1, pen);
    }

    void text(int32_t x, int32_t y, const char *bytes, int32_t length, uint32_t colour,
              GraphFont font = GraphFont::standard)
    {
        if (length <= 0)
            return;
        GraphOp o{};
        o.kind = GraphOpKind::text;
        o.font = font;
        o.x = x;
        o.y = y;
        o.colour = colour;
        o.textStart = static_cast<uint32_t>(picture.text.size());
        o.textLength = static_cast<uint32_t>(length);
        picture.text.insert(picture.text.end(), bytes, bytes + length);
        picture.ops.push_back(o);
    }

    TextExtent extent(const char *bytes, int32_t length) const
    {
        if (measure == nullptr)
            return TextExtent{0, 0};
        return measure(context, bytes, length);
    }
};

// snprintf into a fixed buffer; the length actually held in the buffer.
int32_t heldLength(int written)
{
    if (written < 0)
        return 0;
    return written < kFormatBuffer ? written : kFormatBuffer - 1;
}

void drawSaving(Builder &b, const AppState &app)
{
    if (app.saving == 0)
        return;
    static const char kSaving[] = "Saving...";
    b.text(plotLeftMargin, 0, kSaving, static_cast<int32_t>(sizeof kSaving - 1), axisColour);
}

void updateScrolledSamples(GraphView &view, const SampleHistory &history)
{
    if (history.sampleCount > static_cast<uint32_t>(plotSamples))
        view.scrolledSamples = history.sampleCount - static_cast<uint32_t>(plotSamples);
}

void drawGridLine(Builder &b, int64_t offset, float label, double yScale)
{
    char buffer[kFormatBuffer];
    const int32_t length = heldLength(std::snprintf(buffer, sizeof buffer, "%4.2f", static_cast<double>(label)));
    const TextExtent size = b.extent(buffer, length);
    const double y = yAbove(static_cast<double>(offset), yScale);
    b.text(-size.width, toPixel(y - size.height / 2), buffer, length, axisColour);
    b.line(0, toPixel(y), gridLineEnd, toPixel(y), penGrid);
    b.text(gridSmallLabelX, toPixel(y - kSmallGridLabelRise), buffer, length, gridColour, GraphFont::smallGrid);
}

void drawGrid(Builder &b, const Settings &settings, double yScale)
{
    const int64_t span = static_cast<int64_t>(settings.axisTop) - settings.axisOrigin;
    for (int64_t i = 0; i <= 4; ++i) {
        const int64_t offset = i * span / 4;
        const float label = static_cast<float>(settings.axisOrigin + offset);
        drawGridLine(b, offset, label, yScale);
    }
}

void drawTrigger(Builder &b, const Settings &settings, double yScale)
{
    if (!settings.triggerEnabled)
        return;
    const double above = static_cast<double>(static_cast<int64_t>(settings.triggerThreshold) - settings.axisOrigin);
    const int32_t yt = toPixel(yAbove(above, yScale));
    b.line(0, yt, plotRightEnd, yt, penTrigger);

    char buffer[kFormatBuffer];
    int32_t length = heldLength(std::snprintf(buffer, sizeof buffer, "TRG [CH%d] ", settings.triggerChannel));
    if (length + 2 < kFormatBuffer) {
        buffer[length++] = static_cast<char>(0x81);
        buffer[length++] = static_cast<char>(settings.triggerRising ? 0xAA : 0xAB);
    }
    b.text(plotRightEnd, toPixel(yAbove(above, yScale) - kLabelRise), buffer, length, triggerColour);
}

void drawCircuitResults(Builder &b, int ch, const CircuitResult &result, const GraphView &view)
{
    char vref[kFormatBuffer];
    char gain[kFormatBuffer];
    int32_t vrefLength;
    int32_t gainLength;
    if (result.gain > kInfiniteGain) {
        vrefLength = heldLength(std::snprintf(vref, sizeof vref, "Vref:Inf"));
        gainLength = heldLength(std::snprintf(gain, sizeof gain, "Gain:Inf"));
    } else {
        vrefLength = heldLength(std::snprintf(vref, sizeof vref, "Vref:%4.2f", static_cast<double>(result.vref)));
        gainLength = heldLength(std::snprintf(gain, sizeof gain, "Gain:%4.2f", static_cast<double>(result.gain)));
    }
    const int32_t x = kResultTextStep * ch + plotLeftMargin;
    const int32_t y = plotBottomMargin - view.clientHeight;
    b.text(x + kVrefTextX, y, vref, vrefLength, channelColour[ch]);
    b.text(x + kGainTextX, y, gain, gainLength, channelColour[ch]);
}

void drawPolyline(Builder &b, int ch, const SampleHistory &history, uint32_t w, int32_t origin, double yScale)
{
    const uint8_t pen = static_cast<uint8_t>(ch);
    const int32_t *values = history.values[ch];
    b.op(GraphOpKind::moveTo, 0, 0, pen);
    if (history.wrapped != 0) {
        // The ring is marked wrapped one sample before its last slot is
        // written; a slot not yet written is left out, not drawn as 0.
        const uint32_t written = history.sampleCount < kHistorySlots ? history.sampleCount : kHistorySlots;
        for (uint32_t j = w; j < written; ++j)
            b.op(GraphOpKind::lineTo, xOfPosition(j - w), yOfValue(values[j], origin, yScale), pen);
        for (uint32_t k = 0; k < w && k < written; ++k)
            b.op(GraphOpKind::lineTo, xOfPosition(k + kHistorySlots - w), yOfValue(values[k], origin, yScale), pen);
    } else {
        for (uint32_t k = 0; k < w; ++k)
            b.op(GraphOpKind::lineTo, xOfPosition(k), yOfValue(values[k], origin, yScale), pen);
    }
}

void drawTrace(Builder &b, int ch, const GraphSources &sources, const GraphView &view)
{
    const bool diffAmp = sources.app.mode == kModeDiffAmp;
    const int circuit = ch / 4;
    char label[kFormatBuffer];
    const int32_t length = heldLength(diffAmp ? std::snprintf(label, sizeof label, "Vout:Circuit%d", circuit)
                                              : std::snprintf(label, sizeof label, "CH%d", ch));
    if (diffAmp)
        drawCircuitResults(b, ch, sources.circuits[circuit], view);

    // A write index outside the ring can only come from a damaged record;
    // fold it back so that no read leaves the ring.
    const uint32_t w = sources.history.writeIndex % kHistorySlots;
    const int32_t origin = sources.settings.axisOrigin;
    drawPolyline(b, ch, sources.history, w, origin, view.yScale);

    const int32_t last = sources.history.values[ch][w == 0 ? kHistorySlots - 1 : w - 1];
    const double above = static_cast<double>(static_cast<int64_t>(last) - origin);
    b.text(plotRightEnd, toPixel(yAbove(above, view.yScale) - kLabelRise), label, length, channelColour[ch]);
}

void drawTraces(Builder &b, const GraphSources &sources, const GraphView &view)
{
    const bool diffAmp = sources.app.mode == kModeDiffAmp;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (sources.app.plotted[ch] == 0)
            continue;
        if (diffAmp && ch % 4 != 0)
            continue;
        drawTrace(b, ch, sources, view);
    }
}

void drawAxes(Builder &b, const GraphView &view)
{
    b.line(0, plotBottomMargin, 0, -view.clientHeight, penAxis);
    b.line(0, 0, 0 + view.clientWidth, 0, penAxis);
}

// Seconds between labels: the first of 1, 2, 5, 10, 20, 50, ... whose labels
// stand at least `room` pixels apart; 0 when none does (an absurd interval).
uint64_t labelEverySeconds(uint64_t g, int32_t room)
{
    static const uint64_t kSteps[] = {1, 2, 5};
    const double perSecond = 1000.0 * pixelsPerSample / static_cast<double>(g);
    for (uint64_t decade = 1; decade <= kMaxLabelDecade; decade *= 10)
        for (uint64_t step : kSteps)
            if (perSecond * static_cast<double>(step * decade) >= room)
                return step * decade;
    return 0;
}

// A tick and a label at each whole second (or every k seconds, so that the
// labels keep apart), each at the pixel of its true time: (second * 1000 -
// the time of the left edge) / G samples from the Y axis, rounded once.  Only
// labels that end inside the window are drawn.  The arithmetic is 64-bit so
// that long runs do not wrap; an interval that is not positive leaves the
// axis without ticks.
void drawTimeAxis(Builder &b, const Settings &settings, const GraphView &view)
{
    if (settings.getDataInterval <= 0)
        return;
    const int32_t right = view.clientWidth - plotLeftMargin;  // window's right edge
    if (right <= 0)
        return;
    const uint64_t g = static_cast<uint64_t>(settings.getDataInterval);
    const uint64_t leftMs = g * view.scrolledSamples;
    const uint64_t rightMs = leftMs + static_cast<uint64_t>(right) * g / static_cast<uint64_t>(pixelsPerSample);

    char label[kFormatBuffer];
    const int32_t widest = b.extent(label, heldLength(std::snprintf(label, sizeof label, "%llu",
                                                                    static_cast<unsigned long long>(rightMs / 1000))))
                               .width;
    const uint64_t k = labelEverySeconds(g, widest + kTimeLabelGap);
    if (k == 0)
        return;
    for (uint64_t second = (leftMs / 1000 / k + 1) * k; second <= rightMs / 1000; second += k) {
        const double samples = static_cast<double>(second * 1000 - leftMs) / static_cast<double>(g);
        const int32_t x = toPixel(std::floor(samples * pixelsPerSample + 0.5));
        const int32_t length = heldLength(std::snprintf(label, sizeof label, "%llu",
                                                        static_cast<unsigned long long>(second)));
        const TextExtent size = b.extent(label, length);
        if (x - size.width / 2 + size.width > right)
            break;
        b.line(x, 0, x, -kTickLength, penAxis);
        b.text(x - size.width / 2, kTimeLabelY, label, length, axisColour);
    }
}

}  // namespace

void reserveGraphPicture(GraphPicture &picture)
{
    picture.ops.reserve(kReservedOps);
    picture.text.reserve(kReservedText);
}

void computeGraphPicture(GraphPicture &picture, GraphView &view, const GraphSources &sources,
                         MeasureText measure, void *measureContext)
{
    picture.ops.clear();
    picture.text.clear();
    Builder b{picture, measure, measureContext};

    drawSaving(b, sources.app);
    updateScrolledSamples(view, sources.history);
    b.op(GraphOpKind::setOrigin, plotLeftMargin, view.clientHeight - plotBottomMargin, penAxis);
    drawGrid(b, sources.settings, view.yScale);
    drawTrigger(b, sources.settings, view.yScale);
    drawTraces(b, sources, view);
    drawAxes(b, view);
    drawTimeAxis(b, sources.settings, view);
}
