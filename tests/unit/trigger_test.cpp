#include <gtest/gtest.h>

#include "acquisition/sample_history.h"
#include "acquisition/save_trigger.h"

namespace {

Settings triggerOn(int32_t channel, int32_t threshold, bool rising)
{
    Settings s{};
    s.triggerEnabled = true;
    s.triggerChannel = channel;
    s.triggerThreshold = threshold;
    s.triggerRising = rising;
    return s;
}

// A history during a tick: `previous` stored in the slot before writeIndex
// and `current` at writeIndex, on every channel.
SampleHistory historyWith(int32_t previous, int32_t current, uint32_t writeIndex = 10)
{
    SampleHistory h;
    resetHistory(h);
    h.writeIndex = writeIndex;
    h.sampleCount = writeIndex == 0 ? 100 : writeIndex;
    h.wrapped = writeIndex == 0 ? 1 : 0;
    for (auto &ring : h.values) {
        ring[previousIndex(writeIndex)] = previous;
        ring[writeIndex] = current;
    }
    return h;
}

}  // namespace

TEST(TriggerCrossing, StrictComparisonsAroundTheThreshold)
{
    struct Case {
        bool rising;
        int32_t previous;
        int32_t current;
        bool fires;
        const char *sentence;
    };
    const Case cases[] = {
        {true, 499, 501, true, "RISE 499 to 501 crosses 500"},
        {true, 499, 500, false, "RISE 499 to 500 only reaches the threshold"},
        {true, 500, 501, false, "RISE 500 to 501 starts at the threshold"},
        {true, 501, 499, false, "RISE does not fire on a falling crossing"},
        {true, 600, 700, false, "RISE above the threshold all along"},
        {false, 501, 499, true, "FALL 501 to 499 crosses 500"},
        {false, 500, 499, false, "FALL 500 to 499 starts at the threshold"},
        {false, 501, 500, false, "FALL 501 to 500 only reaches the threshold"},
        {false, 499, 501, false, "FALL does not fire on a rising crossing"},
        {false, 100, 50, false, "FALL below the threshold all along"},
    };
    for (const Case &c : cases) {
        // Slot 0 takes its previous sample from slot 99.
        for (uint32_t writeIndex : {10u, 0u})
            EXPECT_EQ(triggerFires(historyWith(c.previous, c.current, writeIndex), triggerOn(3, 500, c.rising), false),
                      c.fires)
                << c.sentence << " at slot " << writeIndex;
    }
}

TEST(TriggerCrossing, OnlyTheConfiguredChannelCounts)
{
    SampleHistory h = historyWith(100, 100);
    h.values[5][9] = 499;
    h.values[5][10] = 501;
    EXPECT_TRUE(triggerFires(h, triggerOn(5, 500, true), false)) << "CH5 crosses";
    EXPECT_FALSE(triggerFires(h, triggerOn(4, 500, true), false)) << "CH4 stays at 100";
    EXPECT_FALSE(triggerFires(h, triggerOn(6, 500, true), false)) << "CH6 stays at 100";
}

TEST(TriggerSuppressed, NeverFiresWhenAConditionFails)
{
    struct Case {
        uint32_t sampleCount;
        bool saving;
        bool enabled;
        int32_t channel;
        const char *sentence;
    };
    const Case cases[] = {
        {0, false, true, 0, "the first tick after a reset has no previous sample"},
        {10, true, true, 0, "a crossing while a block is saved has no effect"},
        {10, false, false, 0, "a disabled trigger never fires"},
        {10, false, true, -1, "a negative channel is out of range"},
        {10, false, true, 8, "channel 8 is out of range"},
    };
    for (const Case &c : cases) {
        SampleHistory h = historyWith(499, 501);
        h.sampleCount = c.sampleCount;
        Settings s = triggerOn(c.channel, 500, true);
        s.triggerEnabled = c.enabled;
        EXPECT_FALSE(triggerFires(h, s, c.saving)) << c.sentence;
    }
}
