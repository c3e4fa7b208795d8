#include <gtest/gtest.h>

#include <cstring>

#include "acquisition/sample_history.h"
#include "device/packets.h"

namespace {

// A DataPacket whose channel c carries the word (base + c) << 5 plus low
// bits that the channel value must drop.
void fillPacket(uint8_t (&packet)[kPacketBufferSize], int base)
{
    for (int c = 0; c < kChannelCount; ++c) {
        const uint16_t word = static_cast<uint16_t>(((base + c) << 5) | 0x1F);
        packet[kChannelWordsOffset + 2 * c] = static_cast<uint8_t>(word & 0xFF);
        packet[kChannelWordsOffset + 2 * c + 1] = static_cast<uint8_t>(word >> 8);
    }
}

SampleHistory freshHistory()
{
    SampleHistory history;
    resetHistory(history);
    return history;
}

}  // namespace

TEST(AdvanceHistory, RingInvariantsAcrossWrapAround)
{
    struct Case {
        uint32_t ticks;
        uint32_t writeIndex;
        int32_t wrapped;
        const char *why;
    };
    const Case cases[] = {
        {98, 98, 0, "98 ticks have not yet reached the last slot"},
        {99, 99, 1, "99 ticks reach slot 99 and set wrapped"},
        {100, 0, 1, "the 100th tick returns to slot 0 and wrapped stays"},
        {150, 50, 1, "wrapped stays set in the second round"},
    };
    for (const Case &c : cases) {
        SampleHistory history = freshHistory();
        for (uint32_t t = 0; t < c.ticks; ++t)
            advanceHistory(history);
        EXPECT_EQ(history.sampleCount, c.ticks) << c.why;
        EXPECT_EQ(history.writeIndex, c.writeIndex) << c.why;
        EXPECT_EQ(history.writeIndex, history.sampleCount % kHistorySlots) << c.why;
        EXPECT_EQ(history.wrapped, c.wrapped) << c.why;
    }
}

TEST(PreviousIndex, StepsBackAndWrapsFromSlotZeroToNinetyNine)
{
    struct Case { uint32_t slot; uint32_t previous; };
    const Case cases[] = {{0, 99}, {1, 0}, {50, 49}, {99, 98}};
    for (const Case &c : cases)
        EXPECT_EQ(previousIndex(c.slot), c.previous) << "slot " << c.slot;
}

TEST(SampleTicks, EachSampleLandsInItsOwnSlotAndTheOldestIsOverwritten)
{
    SampleHistory history = freshHistory();
    uint8_t packet[kPacketBufferSize] = {};
    for (int tick = 0; tick < 105; ++tick) {
        fillPacket(packet, tick);
        storeSample(history, packet);
        advanceHistory(history);
    }
    // Slots 0..4 hold ticks 100..104, slots 5..99 ticks 5..99.
    for (uint32_t slot = 0; slot < kHistorySlots; ++slot) {
        const int expectedTick = slot < 5 ? 100 + static_cast<int>(slot) : static_cast<int>(slot);
        EXPECT_EQ(history.values[0][slot], expectedTick) << "slot " << slot;
        EXPECT_EQ(history.values[7][slot], expectedTick + 7) << "slot " << slot;
    }
    EXPECT_EQ(history.writeIndex, 5u);

    resetHistory(history);
    const SampleHistory cleared{};
    EXPECT_EQ(0, std::memcmp(&history, &cleared, sizeof cleared)) << "a reset clears counters, flag and values";
}
