#include <gtest/gtest.h>

#include "ports/readout_pacing.h"
#include "timing/tick_gate.h"

namespace {

TEST(TickGate, AtMostOneTickWaits)
{
    enum Step { kFire, kReopen };
    const struct { const char *what; Step step; bool posted; } rows[] = {
        {"the first firing posts", kFire, true},
        {"a firing while that tick waits does not", kFire, false},
        {"the tick is taken to be handled", kReopen, false},
        {"a firing while it is handled posts the next", kFire, true},
        {"and no more while that one waits", kFire, false},
        {"its post failed: the gate opens again", kReopen, false},
        {"so the next firing posts", kFire, true},
    };
    TickGate gate;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.step == kFire)
            EXPECT_EQ(mayPostTick(gate), row.posted);
        else
            reopenGate(gate);
    }
}

TEST(ReadoutPacing, EveryReadIsShownWithinOneDisplayPeriod)
{
    const struct { const char *what; bool shownOnce, armed; uint32_t lastShownMs, nowMs; bool showNow; uint32_t armInMs; } rows[] = {
        {"the first read is shown at once", false, false, 0, 5, true, 0},
        {"a read a whole period after the last show too", true, false, 100, 150, true, 0},
        {"a sooner read arms a show for the end of the period", true, false, 100, 110, false, 40},
        {"a read while a show is armed leaves it to that show", true, true, 100, 140, false, 0},
        {"the clock wrapping round counts on", true, false, 0xFFFFFFF8u, 4, false, 38},
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
