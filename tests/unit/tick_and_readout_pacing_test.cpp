#include <gtest/gtest.h>

#include "ports/readout_pacing.h"
#include "timing/tick_gate.h"

namespace {

TEST(TickGate, AtMostOneTickWaitsAndNoTwoShareAMillisecond)
{
    enum Step { kFire, kHandled, kPostFailed };
    const struct { const char *what; Step step; uint32_t nowMs; bool posted; } rows[] = {
        {"the first firing posts", kFire, 100, true},
        {"a firing while that tick waits does not", kFire, 101, false},
        {"the tick is handled at 103", kHandled, 103, false},
        {"a firing in that same millisecond does not post", kFire, 103, false},
        {"the next millisecond's does", kFire, 104, true},
        {"its post failed: the gate opens again", kPostFailed, 104, false},
        {"so the next firing posts", kFire, 105, true},
    };
    TickGate gate;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.step == kFire)
            EXPECT_EQ(mayPostTick(gate, row.nowMs), row.posted);
        else if (row.step == kHandled)
            tickHandled(gate, row.nowMs);
        else
            tickNotPosted(gate);
    }
}

TEST(ReadoutPacing, EveryReadIsShownWithinOneDisplayPeriod)
{
    const struct { const char *what; bool shownOnce, armed; uint32_t lastShownMs, nowMs; bool showNow; uint32_t armInMs; } rows[] = {
        {"the first read is shown at once", false, false, 0, 5, true, 0},
        {"a read a whole period after the last show too", true, false, 100, 116, true, 0},
        {"a sooner read arms a show for the end of the period", true, false, 100, 110, false, 6},
        {"a read while a show is armed leaves it to that show", true, true, 100, 112, false, 0},
        {"the clock wrapping round counts on", true, false, 0xFFFFFFF8u, 4, false, 4},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        ReadoutPacing pacing{row.shownOnce, row.armed, row.lastShownMs};
        const ReadoutStep step = afterRead(pacing, row.nowMs);
        EXPECT_EQ(step.showNow, row.showNow);
        EXPECT_EQ(step.armInMs, row.armInMs);
        EXPECT_EQ(pacing.showArmed, row.armed || row.armInMs != 0);
        markShown(pacing, row.nowMs + step.armInMs);
        EXPECT_TRUE(afterRead(pacing, row.nowMs + step.armInMs + kDisplayPeriodMs).showNow) << "a period on, at once";
    }
}

}  // namespace
