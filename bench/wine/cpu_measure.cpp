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

#include "paths.h"
#include "resources/resource.h"
#include "scenario.h"

namespace {

const char kLivelyBoard[] =
    "board 0\n"
    "channel 0 sine amplitude=400 offset=1000 period=700\n"
    "channel 1 ramp amplitude=500 offset=600 period=900\n"
    "channel 2 square amplitude=300 offset=700 period=500\n"
    "channel 3 noise amplitude=50 offset=200\n"
    "channel 4 sine amplitude=800 offset=1000 period=1300\n"
    "channel 5 ramp amplitude=100 offset=300 period=400\n"
    "channel 6 sine amplitude=200 offset=400 period=300\n"
    "channel 7 noise amplitude=1000 offset=1023\n"
    "inputs p9=0x15 pb=0x0f\n";

unsigned measureSeconds()
{
    const char *value = std::getenv("PV_MEASURE_SECONDS");
    const int seconds = value ? std::atoi(value) : 30;
    return seconds > 0 ? static_cast<unsigned>(seconds) : 30;
}

using CpuMeasure = ScenarioTest;

TEST_F(CpuMeasure, OneMillisecondJobWithGraphAndSaving)
{
    startProgram(kLivelyBoard, withSettings("[INTERVAL]\nGETDATA=1\nNOWREAD=1\n"));
    ASSERT_TRUE(connectTo(0));
    for (int ch = 0; ch < 8; ++ch)
        click(dialog, IDC_CH_GRAPH0 + ch);
    ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_CH_GRAPH0 + 7); }));
    click(dialog, IDC_GO);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_SAVE); }));
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    Sleep(1000);  // let the tick rate settle

    const std::string ready = windowsPathFromEnv("PV_MEASURE_READY");
    if (!ready.empty())
        writeFileAt(std::wstring(ready.begin(), ready.end()), "ready\n");
    Sleep(measureSeconds() * 1000 + 500);
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));

    std::istringstream lines(program.folder().readFile(todayCsvName()).value_or(""));
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
    program.waitForExit();
}

}  // namespace
