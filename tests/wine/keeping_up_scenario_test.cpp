// Under load and faults: ticks never pile up, the latest read is on show, no
// handle is closed twice, a missing library is named.
#include <cstdio>
#include <sstream>

#include "driver.h"

namespace {

using KeepingUp = Scenario;

// Every read takes 3 ms, three tick periods: the queue must stay short.  A
// backlog makes a posted message wait seconds, growing; a busy machine may
// stall the program for a second or two, which the bound allows.
TEST_F(KeepingUp, SlowReadsAtOneMillisecondKeepTheDialogResponsiveAndTheRecordsFresh)
{
    ASSERT_NO_FATAL_FAILURE(start("board 0 read-delay-us=3000\nchannel 0 noise amplitude=900 offset=1000\n",
                                  "[INTERVAL]\nGETDATA=1\nNOWREAD=1\n"));
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    for (int probe = 0; probe < 20; ++probe) {
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(settle());
        EXPECT_LT(GetTickCount64() - start, 3000u) << "a posted message waited behind queued ticks";
        Sleep(150);  // probes spread over the run
    }
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
    click(dialog, IDC_STOP);
    std::istringstream csv(log().value_or(""));
    long long previous = -1, ms = 0, records = 0, shared = 0;
    for (std::string line; std::getline(csv, line);) {
        if (line.empty() || line[0] == '[' || std::sscanf(line.c_str(), "%lld,", &ms) != 1)
            continue;
        EXPECT_GE(ms, previous) << "elapsed times never fall";
        shared += ms == previous;
        previous = ms;
        ++records;
    }
    EXPECT_GT(records, 100);
    // Replayed ticks run back to back: a backlog gives a third of the records
    // or more the time of the one before.
    EXPECT_LT(shared * 10, records) << shared << " of " << records << " records share the time of the one before";
}

// NOWREAD = 30000: the test posts the read ticks; each read gets the packet
// made one read earlier.  Then a failed Close: the read pipe's CloseHandle
// fails while protected and it stays open, as a value handed to another
// object would; Go then samples nothing, and the second Close must not close
// it again.
TEST_F(KeepingUp, TheLatestReadIsShownEditedBoxesAreCorrectedAndNoHandleIsClosedTwice)
{
    ASSERT_NO_FATAL_FAILURE(start("board 0\nchannel 0 constant offset=256\n", "[INTERVAL]\nNOWREAD=30000\n"));
    ASSERT_TRUE(connect(0));
    PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "256"));
    ASSERT_TRUE(simCommand("channel 0 0 constant offset=512"));
    PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);  // the packet made before the change
    PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);  // 512, within a display period
    EXPECT_TRUE(waitForText(IDC_CH_VALUE0, "512")) << "the second read never shown";
    for (const auto &[box, shows] : {std::make_pair(IDC_CH_VALUE0, "512"), std::make_pair(IDC_PA_VAL0 + 2, "0")}) {
        edit(dialog, box, 0, 0, "9");
        ASSERT_TRUE(waitForText(box, std::string("9") + shows));
        PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);
        EXPECT_TRUE(waitForText(box, shows)) << "the operator's edit stays in box " << box;
    }

    ASSERT_TRUE(simCommand("protect-pipe 0 2"));
    click(dialog, IDC_CONNECT);
    ASSERT_TRUE(answer("Error: Device Close Error", dialog));
    EXPECT_EQ(text(dialog, IDC_CONNECT), "Close") << "still connected";
    click(dialog, IDC_GO);
    ASSERT_TRUE(answer("Error: Selected Device is Not Open", dialog));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(enabled(dialog, IDC_STOP) || findDialog("Graph")) << "sampling the last packet again and again";
    ASSERT_TRUE(simCommand("unprotect-pipe 0 2"));
    ASSERT_TRUE(toggle(IDC_CONNECT, "Connect"));
    EXPECT_TRUE(waitUntil([&] { return callCount("close 0") > 0; }));
    ASSERT_TRUE(simCommand("check-pipe 0 2"));
    EXPECT_TRUE(waitUntil([&] { return callCount("pipe 0 2 handle open") > 0; }))
        << "the read pipe's value was closed twice";
}

// Without uusbd.dll, Connect names it and the folders it was looked for in;
// the box holds the main dialog.
TEST_F(KeepingUp, AMissingLibraryIsNamed)
{
    ASSERT_NO_FATAL_FAILURE(start("", nullptr, true, {}, false));
    click(dialog, IDC_CONNECT);
    ASSERT_TRUE(waitUntil([&] { return !openBox().empty(); }));
    const std::string box = openBox();
    EXPECT_EQ(box.rfind("Error: The driver library uusbd.dll could not be loaded.\n\n"
                        "It was looked for in the program folder\n", 0), 0u) << box;
    EXPECT_NE(box.find("and in the system folder\n"), std::string::npos) << box;
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "Connect could be clicked again";
    ASSERT_TRUE(answer(box, dialog));
    EXPECT_TRUE(waitUntil([&] { return !checked(dialog, IDC_CONNECT) && IsWindowEnabled(dialog); }));
}

}  // namespace
