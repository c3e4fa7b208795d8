// Cost of one CSV record as the sample tick writes it while saving at 1 ms:
// the record formatted into the log's buffer and, at every 500th record (one
// write period), the buffer written to the file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "acquisition/sample_history.h"
#include "datalog/data_log.h"

namespace {

// A millisecond clock that advances 1 ms at every reading: one record per
// millisecond, as at GETDATA=1.
uint64_t clockNow;
uint64_t oneMillisecondPerReading() { return ++clockNow; }
LogTime fixedTimeOfDay() { return LogTime{2007, 3, 5, 14, 5, 9, 37}; }
const LogClocks kClocks = {oneMillisecondPerReading, fixedTimeOfDay};

void BM_RecordAt1ms(benchmark::State &state)
{
    char directory[] = "/tmp/pv_log_bench_XXXXXX";
    if (mkdtemp(directory) == nullptr || chdir(directory) != 0) {
        state.SkipWithError("no temporary directory");
        return;
    }
    static SampleHistory history;
    resetHistory(history);
    for (int c = 0; c < kChannelCount; ++c)
        history.values[c][0] = 300 + 97 * c;
    AppState app{};
    app.connected = 1;
    app.graphRunning = 1;
    static DataLog log{};
    beginBlock(app, log, fixedTimeOfDay());
    for (auto _ : state)
        writeLogRecord(log, history, kClocks);
    endBlock(log);
    std::system((std::string("rm -rf ") + directory).c_str());
}
BENCHMARK(BM_RecordAt1ms);

}  // namespace

BENCHMARK_MAIN();
