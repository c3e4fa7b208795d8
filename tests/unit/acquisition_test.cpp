#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "acquisition/circuit.h"
#include "acquisition/save_trigger.h"
#include "device/packets.h"

// Tick t brings channel c the word (t + c) << 5 with the five low bits set,
// which the channel value drops.
TEST(SampleHistory, EachTickFillsTheNextSlotAndWrapsOnceTheLastSlotIsReached)
{
    struct Row { const char *what; uint32_t ticks, writeIndex; int32_t wrapped; };
    const Row rows[] = {
        {"98 ticks have not yet reached the last slot", 98, 98, 0},
        {"99 ticks reach slot 99 and set wrapped", 99, 99, 1},
        {"the 100th tick returns to slot 0 and wrapped stays", 100, 0, 1},
        {"105 ticks overwrite slots 0..4", 105, 5, 1},
    };
    SampleHistory h;
    resetHistory(h);
    uint8_t packet[kPacketBufferSize] = {};
    uint32_t tick = 0;
    for (const Row &r : rows) {
        for (; tick < r.ticks; ++tick) {
            for (int c = 0; c < kChannelCount; ++c) {
                packet[kChannelWordsOffset + 2 * c] = static_cast<uint8_t>(((tick + c) << 5) | 0x1F);
                packet[kChannelWordsOffset + 2 * c + 1] = static_cast<uint8_t>((tick + c) >> 3);
            }
            storeSample(h, packet);
            advanceHistory(h);
        }
        EXPECT_EQ(std::make_tuple(h.sampleCount, h.writeIndex, h.wrapped),
                  std::make_tuple(r.ticks, r.writeIndex, r.wrapped)) << r.what;
    }
    EXPECT_EQ(std::make_tuple(h.values[0][4], h.values[0][5], h.values[7][99]), std::make_tuple(104, 5, 106))
        << "slots 0..4 hold ticks 100..104, the others their own tick";
    resetHistory(h);
    const SampleHistory cleared{};
    EXPECT_EQ(0, std::memcmp(&h, &cleared, sizeof cleared)) << "a reset clears counters, flag and values";
}

// Every ring holds 1 (so do the other circuit's channels, CH3 and CH7), then
// each slot of the circuit holds `every` and the named slots their samples.
// With Vout = slot number, M = D = 1 both means are the mean of the slot
// numbers in the window.
TEST(Circuit, GainAndVrefAreSinglePrecisionMeansOverTheNewestSlots)
{
    struct Sample { int32_t vout, m, d; };
    using Slots = std::vector<std::pair<uint32_t, Sample>>;
    const Sample ramp{-1, 1, 1};  // -1 as Vout: slot k holds k
    struct Row { const char *what; Sample every; Slots slots; uint32_t writeIndex; int32_t wrapped; uint32_t n;
                 float gain, vref; };
    const Row rows[] = {
        {"the worked example gives gain 2 and Vref 1024", {}, {{0, {600, 512, 300}}, {1, {610, 512, 305}},
         {2, {620, 512, 310}}}, 2, 0, 3, 2.0f, 1024.0f},
        {"7 x 1 / 2 gives ratio 3.5 and the quotient truncated to 3", {7, 1, 2}, {}, 40, 1, 1, 3.5f, 3.0f},
        {"an older zero denominator leaves its slot out of both means", {}, {{0, {10, 1, 2}}, {1, {999, 999, 0}},
         {2, {30, 1, 10}}, {3, {20, 1, 4}}}, 3, 1, 4, 13.0f / 3.0f, 13.0f / 3.0f},
        {"a zero newest denominator gives 1024", {500, 500, 1}, {{3, {500, 500, 0}}}, 3, 1, 4, 1024.0f, 1024.0f},
        {"the largest quotients lose low bits above 2^24", {2047, 2047, 1}, {}, 99, 1, 100, 2047.0f, 4190208.25f},
        {"a ratio of 682.33.. accumulates rounding", {2047, 1, 3}, {}, 99, 1, 100, 682.332886f, 682.0f},
        {"wrapped at slot 5 with N 10: slots 0..5 and 99..96", ramp, {}, 5, 1, 10, 40.5f, 40.5f},
        {"not wrapped at slot 5 with N 10: the six slots 0..5", ramp, {}, 5, 0, 10, 2.5f, 2.5f},
        {"at slot 10 with N 10: slots 1..10", ramp, {}, 10, 1, 10, 5.5f, 5.5f},
        {"N 0, before the first Go, counts as 1: the newest slot", ramp, {}, 30, 1, 0, 30.0f, 30.0f},
        {"N above 100 counts as 100", ramp, {}, 0, 1, 250, 49.5f, 49.5f},
    };
    SampleHistory h{};
    const auto put = [&h](int circuit, uint32_t slot, Sample s) {
        h.values[voutChannel(circuit)][slot] = s.vout == -1 ? static_cast<int32_t>(slot) : s.vout;
        h.values[multiplierChannel(circuit)][slot] = s.m;
        h.values[denominatorChannel(circuit)][slot] = s.d;
    };
    for (const Row &r : rows)
        for (int circuit : {0, 1}) {
            for (auto &ring : h.values)
                std::fill(std::begin(ring), std::end(ring), 1);
            for (uint32_t k = 0; k < kHistorySlots; ++k)
                put(circuit, k, r.every);
            for (const auto &[slot, sample] : r.slots)
                put(circuit, slot, sample);
            h.writeIndex = r.writeIndex;
            h.wrapped = r.wrapped;
            CircuitResult got{-1.0f, -1.0f, 55};
            updateCircuit(h, got, circuit, r.n);
            EXPECT_EQ(std::make_tuple(got.gain, got.vref, got.smoothingCount), std::make_tuple(r.gain, r.vref, 55u))
                << r.what << " on circuit " << circuit;
        }
    for (int circuit : {-1, 2}) {
        CircuitResult got{-1.0f, -1.0f, 55};
        updateCircuit(h, got, circuit, 10);
        EXPECT_EQ(std::make_pair(got.gain, got.vref), std::make_pair(-1.0f, -1.0f)) << "no circuit " << circuit;
    }
}

// During a tick CH0 and CH5 step from `previous` (the slot before writeIndex)
// to `current` (at writeIndex) while every other channel stays at 0; the
// trigger is set at 500 on `channel`.  Each row is tried at slot 10 and at slot 0,
// which takes its previous sample from slot 99.
TEST(Trigger, FiresOnAStrictCrossingOfTheConfiguredChannelOnly)
{
    struct Row { const char *what; int32_t previous, current; bool rising; int32_t channel;
                 bool firstTick, saving, enabled, fires; };
    const Row rows[] = {
        {"RISE 499 to 501 crosses 500", 499, 501, true, 5, false, false, true, true},
        {"RISE 499 to 500 only reaches the threshold", 499, 500, true, 5, false, false, true, false},
        {"RISE 500 to 501 starts at the threshold", 500, 501, true, 5, false, false, true, false},
        {"FALL 501 to 499 crosses 500", 501, 499, false, 5, false, false, true, true},
        {"FALL 500 to 499 starts at the threshold", 500, 499, false, 5, false, false, true, false},
        {"FALL 501 to 500 only reaches the threshold", 501, 500, false, 5, false, false, true, false},
        {"a trigger on CH0 fires too", 499, 501, true, 0, false, false, true, true},
        {"CH4 stays at 0", 499, 501, true, 4, false, false, true, false},
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
            h.sampleCount = r.firstTick ? 0 : writeIndex == 0 ? 100 : writeIndex;
            for (int ch : {0, 5}) {
                h.values[ch][previousIndex(writeIndex)] = r.previous;
                h.values[ch][writeIndex] = r.current;
            }
            const Settings s{60, 60, 1023, 0, r.channel, 500, r.enabled, r.rising};
            EXPECT_EQ(triggerFires(h, s, r.saving), r.fires) << r.what << " at slot " << writeIndex;
        }
}
