// Measures the real program at the finest intervals (GETDATA = NOWREAD =
// 1 ms) against the simulated board: read ticks handled per second with the
// program's CPU use, and the CSV records and responsiveness while saving.
// It prints figures; it asserts only that the scenario ran.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "lively_board.h"

namespace {

// GETDATA = 1 ms; NOWREAD = 1 ms unless PV_MEASURE_NOWREAD sets another.
std::string fastSettings()
{
    const char *nowRead = std::getenv("PV_MEASURE_NOWREAD");
    return std::string("[INTERVAL]\nGETDATA=1\nNOWREAD=") + (nowRead ? nowRead : "1") + "\n";
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

// A posted message's round trip: an EM_SETSEL posted to P9 bit 1's value box
// (never shown nor written; its text is "-") behind everything queued, until
// its effect shows.
double postedRoundTripMs(HWND dialog)
{
    HWND marker = GetDlgItem(dialog, IDC_P9_VAL0 + 1);
    const LPARAM end = HIWORD(send(marker, EM_GETSEL)) == 0 ? 1 : 0;
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t0);
    PostMessageA(marker, EM_SETSEL, 0, end);
    waitUntil([&] { return send(marker, EM_GETSEL) == MAKELRESULT(0, end); }, 60000);
    QueryPerformanceCounter(&t1);
    return 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Record {
    long long ms;
    std::string values;
};

std::vector<Record> csvRecords(const std::string &csv)
{
    std::istringstream lines(csv);
    std::string line;
    std::vector<Record> records;
    while (std::getline(lines, line)) {
        long long ms = 0;
        const size_t comma = line.find(',');
        if (!line.empty() && line[0] != '[' && comma != std::string::npos && std::sscanf(line.c_str(), "%lld,", &ms) == 1)
            records.push_back({ms, line.substr(comma + 1)});
    }
    return records;
}

// Saving at GETDATA = NOWREAD = 1 ms: records per second, the share of
// records that repeat the previous one's values (a sample without a read
// between), the largest gap, posted-message round trips sampled every 100 ms
// through the run, and the user-interface thread's CPU use.
TEST_F(TimingMeasure, CsvRecordsPerSecondWhileSaving)
{
    startFast();
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    const double thread0 = uiThreadCpuSeconds(dialog);
    const ULONGLONG wall0 = GetTickCount64();
    std::vector<double> roundTrips;
    while (GetTickCount64() - wall0 < measureSeconds() * 1000ull) {
        roundTrips.push_back(postedRoundTripMs(dialog));
        Sleep(100);
    }
    const double thread1 = uiThreadCpuSeconds(dialog);
    const double wall = static_cast<double>(GetTickCount64() - wall0) / 1000.0;
    const ULONGLONG clicked = GetTickCount64();
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitUntil([&] { return text(dialog, IDC_SAVE) == "SaveStart"; }, 600000));
    std::printf("SaveStop took effect after %.2f s\n", static_cast<double>(GetTickCount64() - clicked) / 1000.0);
    click(dialog, IDC_STOP);

    const std::vector<Record> records = csvRecords(log().value_or(""));
    ASSERT_GE(records.size(), 2u);
    long long largestGap = 0, largestGapAt = 0;
    size_t over2 = 0, repeated = 0, sameTime = 0;
    for (size_t i = 1; i < records.size(); ++i) {
        const long long gap = records[i].ms - records[i - 1].ms;
        if (gap > largestGap) {
            largestGap = gap;
            largestGapAt = records[i - 1].ms;
        }
        over2 += gap > 2 ? 1 : 0;
        sameTime += gap == 0 ? 1 : 0;
        repeated += records[i].values == records[i - 1].values ? 1 : 0;
    }
    const double pairs = static_cast<double>(records.size() - 1);
    const double span = static_cast<double>(records.back().ms) / 1000.0;
    std::printf("records: %zu over %.1f s = %.1f per second, %.1f per second with a time of their own\n",
                records.size(), span, static_cast<double>(records.size()) / span,
                static_cast<double>(records.size() - sameTime) / span);
    std::printf("repeating the previous record's values: %.2f %%; sharing its time: %.2f %%\n",
                100.0 * static_cast<double>(repeated) / pairs, 100.0 * static_cast<double>(sameTime) / pairs);
    std::printf("largest gap %lld ms, after %.1f s; gaps over 2 ms: %.2f %% of %zu\n", largestGap,
                static_cast<double>(largestGapAt) / 1000.0, 100.0 * static_cast<double>(over2) / pairs,
                records.size() - 1);
    std::sort(roundTrips.begin(), roundTrips.end());
    std::printf("posted-message round trip: median %.1f ms, 99th percentile %.1f ms, largest %.1f ms (%zu samples)\n",
                roundTrips[roundTrips.size() / 2], roundTrips[roundTrips.size() * 99 / 100], roundTrips.back(),
                roundTrips.size());
    if (thread0 >= 0 && thread1 >= 0)
        std::printf("user-interface thread CPU: %.1f %% of one core\n", 100.0 * (thread1 - thread0) / wall);
}

}  // namespace
