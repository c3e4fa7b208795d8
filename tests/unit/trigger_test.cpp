#include <gtest/gtest.h>

#include "acquisition/sample_history.h"
#include "acquisition/save_trigger.h"

// During a tick CH5 steps from `previous` (the slot before writeIndex) to
// `current` (at writeIndex) while every other channel stays at 100; the
// trigger is set at 500 on `channel`.  Each row is tried at slot 10 and at
// slot 0, which takes its previous sample from slot 99.
TEST(TriggerFires, OnAStrictCrossingOfTheConfiguredChannelOnly)
{
    struct Row { const char *what; int32_t previous, current; bool rising; int32_t channel;
                 bool firstTick, saving, enabled, fires; };
    const Row rows[] = {
        {"RISE 499 to 501 crosses 500", 499, 501, true, 5, false, false, true, true},
        {"RISE 499 to 500 only reaches the threshold", 499, 500, true, 5, false, false, true, false},
        {"RISE 500 to 501 starts at the threshold", 500, 501, true, 5, false, false, true, false},
        {"RISE does not fire on a falling crossing", 501, 499, true, 5, false, false, true, false},
        {"RISE above the threshold all along", 600, 700, true, 5, false, false, true, false},
        {"FALL 501 to 499 crosses 500", 501, 499, false, 5, false, false, true, true},
        {"FALL 500 to 499 starts at the threshold", 500, 499, false, 5, false, false, true, false},
        {"FALL 501 to 500 only reaches the threshold", 501, 500, false, 5, false, false, true, false},
        {"FALL does not fire on a rising crossing", 499, 501, false, 5, false, false, true, false},
        {"FALL below the threshold all along", 100, 50, false, 5, false, false, true, false},
        {"CH4 stays at 100", 499, 501, true, 4, false, false, true, false},
        {"CH6 stays at 100", 499, 501, true, 6, false, false, true, false},
        {"the first tick after a reset has no previous sample", 499, 501, true, 5, true, false, true, false},
        {"a crossing while a block is saved has no effect", 499, 501, true, 5, false, true, true, false},
        {"a disabled trigger never fires", 499, 501, true, 5, false, false, false, false},
        {"a negative channel is out of range", 499, 501, true, -1, false, false, true, false},
        {"channel 8 is out of range", 499, 501, true, 8, false, false, true, false},
    };
    for (const Row &r : rows)
        for (uint32_t writeIndex : {10u, 0u}) {
            SampleHistory h;
            resetHistory(h);
            h.writeIndex = writeIndex;
            h.wrapped = writeIndex == 0 ? 1 : 0;
            h.sampleCount = r.firstTick ? 0 : writeIndex == 0 ? 100 : writeIndex;
            for (auto &ring : h.values)
                ring[previousIndex(writeIndex)] = ring[writeIndex] = 100;
            h.values[5][previousIndex(writeIndex)] = r.previous;
            h.values[5][writeIndex] = r.current;
            Settings s{};
            s.triggerEnabled = r.enabled;
            s.triggerChannel = r.channel;
            s.triggerThreshold = 500;
            s.triggerRising = r.rising;
            EXPECT_EQ(triggerFires(h, s, r.saving), r.fires) << r.what << " at slot " << writeIndex;
        }
}
