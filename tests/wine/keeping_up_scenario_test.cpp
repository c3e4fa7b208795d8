// Under load and faults: ticks never pile up, the latest read is on show, no
// handle is closed twice, error boxes hold the dialog, a missing library is named.
#include <cstdio>
#include <cstring>
#include <sstream>

#include "resources/resource.h"
#include "scenario.h"

namespace {

using KeepingUpScenario = ScenarioTest;

// Every read takes 3 ms, three tick periods: the queue must stay short.  A
// backlog makes a posted message wait seconds, growing; a busy machine may
// stall the program for a second or two, which the bound allows.
TEST_F(KeepingUpScenario, SlowReadsAtOneMillisecondKeepTheDialogResponsiveAndEveryRecordItsOwnTime)
{
    ASSERT_NO_FATAL_FAILURE(startProgram("board 0 read-delay-us=3000\nchannel 0 noise amplitude=900 offset=1000\n",
                                         withSettings("[INTERVAL]\nGETDATA=1\nNOWREAD=1\n")));
    ASSERT_TRUE(connectTo(0));
    click(dialog, IDC_GO);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_SAVE); }));
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    for (int probe = 0; probe < 20; ++probe) {
        const ULONGLONG start = GetTickCount64();
        ASSERT_TRUE(settle());
        EXPECT_LT(GetTickCount64() - start, 3000u) << "a posted message waited behind queued ticks";
        Sleep(150);
    }
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
    click(dialog, IDC_STOP);
    std::istringstream csv(program.folder().readFile(todayCsvName()).value_or(""));
    long long previous = -1, ms = 0, records = 0;
    for (std::string line; std::getline(csv, line);) {
        if (line.empty() || line[0] == '[' || std::sscanf(line.c_str(), "%lld,", &ms) != 1)
            continue;
        EXPECT_GT(ms, previous) << "two records share a time";
        previous = ms;
        ++records;
    }
    EXPECT_GT(records, 100);
}

// NOWREAD = 30000: ticks posted here; each read gets the packet made one read earlier.
TEST_F(KeepingUpScenario, TheLatestReadIsShownAndEditedBoxesAreCorrected)
{
    ASSERT_NO_FATAL_FAILURE(startProgram("board 0\nchannel 0 constant offset=256\n",
                                         withSettings("[INTERVAL]\nNOWREAD=30000\n")));
    ASSERT_TRUE(connectTo(0));
    PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "256"));
    ASSERT_TRUE(sim.commandAndWait("channel 0 0 constant offset=512"));
    PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);  // the packet made before the change
    PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);  // 512, within a display period
    EXPECT_TRUE(waitForText(IDC_CH_VALUE0, "512")) << "the second read never shown";

    const struct { int box; const char *shows; } rows[] = {{IDC_CH_VALUE0, "512"}, {IDC_PA_VAL0 + 2, "0"}};
    for (const auto &row : rows) {
        typeKeys(dialog, row.box, 0, 0, "9");
        ASSERT_TRUE(waitForText(row.box, std::string("9") + row.shows));
        PostMessageA(dialog, WM_TIMER, TIMER_READ_TICK, 0);
        EXPECT_TRUE(waitForText(row.box, row.shows)) << "the operator's edit stays in box " << row.box;
    }
}

// The read pipe's CloseHandle fails while protected; then it stays open, as a
// value handed to another object would: the second Close must not close it.
TEST_F(KeepingUpScenario, AFailedCloseThenCloseClosesNoHandleTwice)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0, withSettings("[INTERVAL]\nNOWREAD=30000\n")));
    ASSERT_TRUE(connectTo(0));
    ASSERT_TRUE(sim.commandAndWait("protect-pipe 0 2"));
    click(dialog, IDC_CONNECT);
    ASSERT_TRUE(answerBox("Error: Device Close Error", IDOK, dialog));
    EXPECT_EQ(controlText(dialog, IDC_CONNECT), "Close") << "still connected";
    ASSERT_TRUE(sim.commandAndWait("unprotect-pipe 0 2"));
    ASSERT_TRUE(closeSession());
    EXPECT_TRUE(sim.waitForCall("close 0"));
    ASSERT_TRUE(sim.commandAndWait("check-pipe 0 2"));
    EXPECT_TRUE(sim.waitForCall("pipe 0 2 handle open")) << "the read pipe's value was closed twice";
}

// An error box is owned by the main dialog, which it disables: Connect cannot
// be clicked under it.  Without uusbd.dll, Connect names it and the folders.
TEST_F(KeepingUpScenario, AnErrorBoxHoldsTheMainDialogAndAMissingLibraryIsNamed)
{
    const struct { bool withoutLibrary; const char *text; } rows[] = {
        {false, "Error: Device Open Failed"},
        {true, "Error: The driver library uusbd.dll could not be loaded.\n\nIt was looked for in the program folder\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_NO_FATAL_FAILURE(startProgram(kNoBoards, StartOptions{false, "", {}, row.withoutLibrary}));
        const int attemptsBefore = sim.openAttempts();
        click(dialog, IDC_CONNECT);
        const MessageBoxSeen box = waitForMessageBox(program.processId());
        EXPECT_EQ(box.message().substr(0, std::strlen(row.text)), row.text);
        EXPECT_NE(box.text.find(row.withoutLibrary ? "and in the system folder\n" : ""), std::string::npos);
        EXPECT_EQ(box.owner, dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog)) << "Connect could be clicked again";
        EXPECT_EQ(sim.openAttempts() - attemptsBefore, row.withoutLibrary ? 0 : 32);
        ASSERT_TRUE(answerMessageBox(box));
        EXPECT_TRUE(waitUntil([&] { return !isChecked(dialog, IDC_CONNECT) && IsWindowEnabled(dialog); }));
        program.kill();
    }
}

}  // namespace
