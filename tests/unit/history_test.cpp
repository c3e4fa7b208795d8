#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

#include "acquisition/sample_history.h"
#include "device/packets.h"

TEST(AdvanceHistory, RingInvariantsAcrossWrapAround)
{
    struct Row { const char *what; uint32_t ticks, writeIndex; int32_t wrapped; };
    const Row rows[] = {
        {"98 ticks have not yet reached the last slot", 98, 98, 0},
        {"99 ticks reach slot 99 and set wrapped", 99, 99, 1},
        {"the 100th tick returns to slot 0 and wrapped stays", 100, 0, 1},
        {"wrapped stays set in the second round", 150, 50, 1},
    };
    for (const Row &r : rows) {
        SampleHistory history;
        resetHistory(history);
        for (uint32_t t = 0; t < r.ticks; ++t)
            advanceHistory(history);
        EXPECT_EQ(std::make_tuple(history.sampleCount, history.writeIndex, history.wrapped),
                  std::make_tuple(r.ticks, r.writeIndex, r.wrapped)) << r.what;
    }
    for (const auto &[slot, previous] : {std::pair{0u, 99u}, {1u, 0u}, {50u, 49u}, {99u, 98u}})
        EXPECT_EQ(previousIndex(slot), previous) << "slot " << slot;
}

TEST(SampleTicks, EachSampleLandsInItsOwnSlotAndTheOldestIsOverwritten)
{
    SampleHistory history;
    resetHistory(history);
    uint8_t packet[kPacketBufferSize] = {};
    for (int tick = 0; tick < 105; ++tick) {
        // Channel c carries the word (tick + c) << 5 plus low bits that the channel value drops.
        for (int c = 0; c < kChannelCount; ++c) {
            const uint16_t word = static_cast<uint16_t>(((tick + c) << 5) | 0x1F);
            packet[kChannelWordsOffset + 2 * c] = static_cast<uint8_t>(word & 0xFF);
            packet[kChannelWordsOffset + 2 * c + 1] = static_cast<uint8_t>(word >> 8);
        }
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
