// Measures the real program at the finest intervals (GETDATA = NOWREAD =
// 1 ms) against the simulated board: read ticks handled per second with the
// program's CPU use, and CSV records written per second while saving.  It
// prints figures; it asserts only that the scenario ran.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"

namespace {

// GETDATA = 1 ms; NOWREAD = 1 ms unless PV_MEASURE_NOWREAD sets another.
std::string fastSettings()
{
    const char *nowRead = std::getenv("PV_MEASURE_NOWREAD");
    return std::string("[INTERVAL]\nGETDATA=1\nNOWREAD=") + (nowRead ? nowRead : "1") + "\n";
}

// Every channel moves, so every tick rewrites the eight value boxes.
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

double fileTimeSeconds(const FILETIME &time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
}

// Kernel plus user time of the main dialog's (user-interface) thread.
double uiThreadCpuSeconds(HWND dialog)
{
    const DWORD threadId = GetWindowThreadProcessId(dialog, nullptr);
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId);
    if (!thread)
        return -1;
    FILETIME created, exited, kernel, user;
    double seconds = -1;
    if (GetThreadTimes(thread, &created, &exited, &kernel, &user))
        seconds = fileTimeSeconds(kernel) + fileTimeSeconds(user);
    CloseHandle(thread);
    return seconds;
}

class TimingMeasure : public Scenario {
protected:
    void startFast() { start(kLivelyBoard, fastSettings().c_str()); }

    // DataPackets the simulator has handed out so far.
    long long packetsRead()
    {
        const size_t before = calls().size();
        // Answered by a "stats packets" line rather than the usual acknowledgement.
        std::ofstream(folder.file("commands.txt"), std::ios::binary | std::ios::app) << "stats\n";
        long long count = -1;
        waitUntil([&] {
            const std::vector<std::string> all = calls();
            for (size_t i = before; i < all.size(); ++i)
                if (std::sscanf(all[i].c_str(), "stats packets %lld", &count) == 1)
                    return true;
            return false;
        });
        return count;
    }
};

TEST_F(TimingMeasure, ReadTicksPerSecondAndCpuUse)
{
    startFast();
    ASSERT_TRUE(connect(0));
    Sleep(1000);  // let the tick rate settle
    const unsigned seconds = measureSeconds();
    const long long packets0 = packetsRead();
    const double thread0 = uiThreadCpuSeconds(dialog);
    const ULONGLONG wall0 = GetTickCount64();
    Sleep(seconds * 1000);
    const long long packets1 = packetsRead();
    const double thread1 = uiThreadCpuSeconds(dialog);
    const double wall = static_cast<double>(GetTickCount64() - wall0) / 1000.0;
    ASSERT_GE(packets0, 0);
    ASSERT_GT(packets1, packets0);

    const double ticks = static_cast<double>(packets1 - packets0);
    std::printf("read ticks: %.0f in %.1f s = %.1f per second\n", ticks, wall, ticks / wall);
    if (thread0 >= 0 && thread1 >= 0) {
        std::printf("user-interface thread CPU: %.1f %% of one core, %.1f us per read tick\n",
                    100.0 * (thread1 - thread0) / wall, 1e6 * (thread1 - thread0) / ticks);
    }
    ASSERT_TRUE(toggle(IDC_CONNECT, "Connect"));
}

TEST_F(TimingMeasure, CsvRecordsPerSecondWhileSaving)
{
    startFast();
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    Sleep(measureSeconds() * 1000);
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
    click(dialog, IDC_STOP);

    const std::string csv = log().value_or("");
    std::istringstream lines(csv);
    std::string line;
    std::vector<long long> elapsed;
    while (std::getline(lines, line)) {
        long long ms = 0;
        if (!line.empty() && line[0] != '[' && std::sscanf(line.c_str(), "%lld,", &ms) == 1)
            elapsed.push_back(ms);
    }
    ASSERT_GE(elapsed.size(), 2u);
    long long largestGap = 0;
    size_t over2 = 0;
    for (size_t i = 1; i < elapsed.size(); ++i) {
        const long long gap = elapsed[i] - elapsed[i - 1];
        largestGap = gap > largestGap ? gap : largestGap;
        over2 += gap > 2 ? 1 : 0;
    }
    const double span = static_cast<double>(elapsed.back()) / 1000.0;
    std::printf("records: %zu over %.1f s = %.1f per second\n", elapsed.size(), span,
                static_cast<double>(elapsed.size()) / span);
    std::printf("largest gap %lld ms; gaps over 2 ms: %.2f %% of %zu\n", largestGap,
                100.0 * static_cast<double>(over2) / static_cast<double>(elapsed.size() - 1), elapsed.size() - 1);
}

}  // namespace
