// One run of the 1 ms acquisition job by the real program, for the CPU
// comparison with the floor program (bench/wine/floor_ratio.sh): GETDATA =
// NOWREAD = 1 ms, all eight channels plotted in the Graph window, saving.
// Once the job runs it creates the file named by PV_MEASURE_READY, so that
// the script can sample the program's CPU over the next PV_MEASURE_SECONDS;
// then it ends the block and prints the records per second and the largest
// gap of the CSV log.  Figures are printed, never asserted.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "lively_board.h"

namespace {

using CpuMeasure = Scenario;

TEST_F(CpuMeasure, OneMillisecondJobWithGraphAndSaving)
{
    ASSERT_NO_FATAL_FAILURE(start(kLivelyBoard, "[INTERVAL]\nGETDATA=1\nNOWREAD=1\n"));
    ASSERT_TRUE(connect(0));
    for (int ch = 0; ch < 8; ++ch)
        click(dialog, IDC_CH_GRAPH0 + ch);
    ASSERT_TRUE(waitUntil([&] { return checked(dialog, IDC_CH_GRAPH0 + 7); }));
    ASSERT_TRUE(go());
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    Sleep(1000);  // let the tick rate settle

    const std::string ready = windowsPathFromEnv("PV_MEASURE_READY");
    if (!ready.empty())
        writeFile(ready, "ready\n");
    Sleep(measureSeconds() * 1000 + 500);
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));

    std::istringstream lines(log().value_or(""));
    std::string line;
    std::vector<long long> elapsed;
    while (std::getline(lines, line)) {
        long long ms = 0;
        if (!line.empty() && line[0] != '[' && std::sscanf(line.c_str(), "%lld,", &ms) == 1)
            elapsed.push_back(ms);
    }
    ASSERT_GE(elapsed.size(), 2u);
    long long largestGap = 0;
    for (size_t i = 1; i < elapsed.size(); ++i)
        largestGap = std::max(largestGap, elapsed[i] - elapsed[i - 1]);
    std::printf("program: records=%zu span_ms=%lld largest_gap_ms=%lld\n", elapsed.size(), elapsed.back(),
                largestGap);
    postCommand(dialog, IDM_EXIT);
    exitCode();
}

}  // namespace
