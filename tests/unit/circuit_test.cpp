#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "acquisition/circuit.h"

namespace {

struct Sample { int32_t vout, m, d; };

void put(SampleHistory &h, int circuit, uint32_t slot, Sample s)
{
    h.values[voutChannel(circuit)][slot] = s.vout;
    h.values[multiplierChannel(circuit)][slot] = s.m;
    h.values[denominatorChannel(circuit)][slot] = s.d;
}

CircuitResult compute(const SampleHistory &h, int circuit, uint32_t n)
{
    CircuitResult r{-1.0f, -1.0f, 55};
    updateCircuit(h, r, circuit, n);
    return r;
}

TEST(CircuitMeans, WorkedExampleGivesGainTwoAndVref1024OnEitherCircuit)
{
    for (int circuit : {0, 1}) {
        SampleHistory h{};
        put(h, circuit, 0, {600, 512, 300});
        put(h, circuit, 1, {610, 512, 305});
        put(h, circuit, 2, {620, 512, 310});
        put(h, 1 - circuit, 1, {900, 10, 100});  // the other circuit's channels do not count
        h.values[3][2] = h.values[7][2] = 2047;  // nor do CH3 and CH7
        h.writeIndex = 2;
        const CircuitResult r = compute(h, circuit, 3);
        EXPECT_FLOAT_EQ(r.gain, 2.0f) << circuit;
        EXPECT_FLOAT_EQ(r.vref, 1024.0f) << circuit;
        EXPECT_EQ(r.smoothingCount, 55u) << "the count is the caller's, not written";
    }
}

// Every slot k holds Vout = k, M = 1, D = 1, so that both means are the mean
// of the slot numbers in the window.
TEST(CircuitWindow, TakesTheMostRecentSamplesInRingOrder)
{
    struct Row { const char *what; uint32_t writeIndex; bool wrapped; uint32_t n; float meanSlot; };
    const Row rows[] = {
        {"wrapped at slot 0 with N 100: all 100 slots", 0, true, 100, 49.5f},
        {"wrapped at slot 5 with N 10: slots 0..5 and 99..96", 5, true, 10, 40.5f},
        {"not wrapped at slot 5 with N 10: the six slots 0..5", 5, false, 10, 2.5f},
        {"W = N - 1 exactly: slots 0..9", 9, true, 10, 4.5f},
        {"N 1: the newest slot", 30, true, 1, 30.0f},
        {"N 0, before the first Go, counts as 1", 30, true, 0, 30.0f},
        {"N above 100 counts as 100", 0, true, 250, 49.5f},
    };
    for (const Row &r : rows) {
        SampleHistory h{};
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            put(h, 0, k, {static_cast<int32_t>(k), 1, 1});
        h.writeIndex = r.writeIndex;
        h.wrapped = r.wrapped ? 1 : 0;
        const CircuitResult got = compute(h, 0, r.n);
        EXPECT_NEAR(got.gain, r.meanSlot, 0.001) << r.what;
        EXPECT_NEAR(got.vref, r.meanSlot, 0.001) << r.what;  // quotient k x 1 / 1 = k
    }
}

// Slots not named hold `every`; a zero denominator leaves a slot out.
TEST(CircuitValues, RatioAndTruncatedQuotientAveragedInSinglePrecision)
{
    using Slots = std::vector<std::pair<uint32_t, Sample>>;
    const Slots window = {{0, {10, 1, 2}}, {1, {999, 999, 1}}, {2, {30, 1, 10}}, {3, {20, 1, 4}}};
    const auto with = [&](uint32_t slot, Sample s) {  // the window with one slot changed
        Slots changed = window;
        changed[slot].second = s;
        return changed;
    };
    struct Row { const char *what; Sample every; Slots slots; uint32_t writeIndex, n; float gain, vref; };
    const Row rows[] = {
        {"7 x 1 / 2 gives ratio 3.5 and quotient 3", {1000, 1000, 1}, {{40, {7, 1, 2}}}, 40, 1, 3.5f, 3.0f},
        {"the largest product stays exact", {1000, 1000, 1}, {{40, {2047, 2047, 1}}}, 40, 1, 2047.0f, 4190209.0f},
        {"a zero denominator in the middle is left out of both means", {}, with(1, {999, 999, 0}), 3, 4,
         13.0f / 3.0f, 13.0f / 3.0f},
        {"all older slots zero leaves the newest alone", {999, 999, 0}, {{3, {20, 1, 4}}}, 3, 4, 5.0f, 5.0f},
        {"a zero newest denominator gives the fixed result", {}, with(3, {500, 500, 0}), 3, 4, 1024.0f,
         1024.0f},
        // Over 100 slots a single-precision sum drifts from the exact mean; the drift is part of the shown result.
        {"the largest quotients lose low bits above 2^24", {2047, 2047, 1}, {}, 99, 100, 2047.0f, 4190208.25f},
        {"a ratio of 682.33.. accumulates rounding", {2047, 1, 3}, {}, 99, 100, 682.332886f, 682.0f},
    };
    for (const Row &r : rows) {
        SampleHistory h{};
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            put(h, 0, k, r.every);
        for (const auto &[slot, sample] : r.slots)
            put(h, 0, slot, sample);
        h.writeIndex = r.writeIndex;
        h.wrapped = 1;
        const CircuitResult got = compute(h, 0, r.n);
        EXPECT_EQ(got.gain, r.gain) << r.what;
        EXPECT_EQ(got.vref, r.vref) << r.what;
    }
}

}  // namespace
