// Cost of computing one Graph window paint (the display list), without GDI.
#include <benchmark/benchmark.h>

#include "graph/graph_picture.h"

namespace {

TextExtent fixedMeasure(void *, const char *, int32_t length) { return TextExtent{6 * length, 13}; }

struct PaintInputs {
    SampleHistory history{};
    Settings settings{60, 100, 1023, 0, 3, 500, true, true};
    AppState app{};
    CircuitResult circuits[kCircuitCount]{{512.25f, 2.5f, 10}, {1024.0f, 1024.0f, 10}};
    GraphView view{1280, 620, 0.0, 0};
    GraphPicture picture;

    explicit PaintInputs(int32_t mode)
    {
        view.yScale = computeYScale(settings.axisTop, settings.axisOrigin, view.clientHeight);
        app.mode = mode;
        app.saving = 1;
        history.wrapped = 1;
        history.writeIndex = 37;
        history.sampleCount = 12337;
        for (int ch = 0; ch < kChannelCount; ++ch) {
            app.plotted[ch] = 1;
            for (uint32_t k = 0; k < kHistorySlots; ++k)
                history.values[ch][k] = static_cast<int32_t>((k * 37 + static_cast<uint32_t>(ch) * 101) % 2048);
        }
        reserveGraphPicture(picture);
    }
};

void runPaint(benchmark::State &state, int32_t mode)
{
    PaintInputs in(mode);
    const GraphSources sources{in.history, in.settings, in.app, in.circuits};
    for (auto _ : state) {
        computeGraphPicture(in.picture, in.view, sources, fixedMeasure, nullptr);
        benchmark::DoNotOptimize(in.picture.ops.data());
    }
    state.counters["ops"] = static_cast<double>(in.picture.ops.size());
}

// Eight channels of 100 samples, grid, trigger, labels and the time axis.
void BM_GraphPaintEightTraces(benchmark::State &state) { runPaint(state, kModeNormal); }
// Two circuit outputs with their Vref and Gain texts.
void BM_GraphPaintDiffAmp(benchmark::State &state) { runPaint(state, kModeDiffAmp); }

}  // namespace

BENCHMARK(BM_GraphPaintEightTraces);
BENCHMARK(BM_GraphPaintDiffAmp);
BENCHMARK_MAIN();
