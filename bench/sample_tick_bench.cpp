// Cost of one sample tick's work: store, trigger test, one CSV record to a
// real file, both circuits over 100 samples, advance.  And of one circuit
// update alone.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "acquisition/save_trigger.h"
#include "datalog/data_log.h"
#include "device/packets.h"

namespace {

uint64_t steadyMilliseconds()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

LogTime fixedTimeOfDay()
{
    return LogTime{2007, 3, 5, 14, 5, 9, 37};
}

const LogClocks kClocks = {steadyMilliseconds, fixedTimeOfDay};

void fillPacket(uint8_t (&packet)[kPacketBufferSize])
{
    for (int c = 0; c < kChannelCount; ++c) {
        const uint16_t word = static_cast<uint16_t>((300 + 97 * c) << 5);
        packet[kChannelWordsOffset + 2 * c] = static_cast<uint8_t>(word & 0xFF);
        packet[kChannelWordsOffset + 2 * c + 1] = static_cast<uint8_t>(word >> 8);
    }
}

void fullHistory(SampleHistory &history, const uint8_t *packet)
{
    resetHistory(history);
    for (uint32_t k = 0; k < 150; ++k) {
        storeSample(history, packet);
        advanceHistory(history);
    }
}

void BM_SampleTick(benchmark::State &state)
{
    char directory[] = "/tmp/pv_tick_bench_XXXXXX";
    if (mkdtemp(directory) == nullptr || chdir(directory) != 0) {
        state.SkipWithError("no temporary directory");
        return;
    }
    uint8_t packet[kPacketBufferSize] = {};
    fillPacket(packet);
    static SampleHistory history;
    fullHistory(history, packet);
    Settings config{};
    config.triggerEnabled = true;
    config.triggerChannel = 0;
    config.triggerThreshold = 500;
    config.triggerRising = true;
    AppState app{};
    app.connected = 1;
    app.graphRunning = 1;
    static DataLog log{};
    beginBlock(app, log, fixedTimeOfDay());
    CircuitResult results[kCircuitCount] = {{0, 0, 100}, {0, 0, 100}};

    for (auto _ : state) {
        storeSample(history, packet);
        if (triggerFires(history, config, app.saving != 0))
            beginBlock(app, log, fixedTimeOfDay());
        if (app.saving)
            writeLogRecord(log, history, kClocks);
        for (int c = 0; c < kCircuitCount; ++c)
            updateCircuit(history, results[c], c, results[c].smoothingCount);
        advanceHistory(history);
    }
    benchmark::DoNotOptimize(results);

    endBlock(log);
    std::system((std::string("rm -rf ") + directory).c_str());
}
BENCHMARK(BM_SampleTick);

void BM_UpdateCircuitN100(benchmark::State &state)
{
    uint8_t packet[kPacketBufferSize] = {};
    fillPacket(packet);
    static SampleHistory history;
    fullHistory(history, packet);
    CircuitResult result{0, 0, 100};
    for (auto _ : state) {
        updateCircuit(history, result, 0, 100);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_UpdateCircuitN100);

}  // namespace

BENCHMARK_MAIN();
