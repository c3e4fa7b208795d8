#include <gtest/gtest.h>

#include "acquisition/circuit.h"

namespace {

struct Sample {
    int32_t vout;
    int32_t m;
    int32_t d;
};

SampleHistory emptyHistory()
{
    SampleHistory h;
    resetHistory(h);
    return h;
}

void put(SampleHistory &h, int circuit, uint32_t slot, Sample s)
{
    h.values[voutChannel(circuit)][slot] = s.vout;
    h.values[multiplierChannel(circuit)][slot] = s.m;
    h.values[denominatorChannel(circuit)][slot] = s.d;
}

// Every slot k holds Vout = k, M = 1, D = 1, so that both means are the mean
// of the slot numbers in the window.
SampleHistory slotNumberHistory(uint32_t writeIndex, bool wrapped)
{
    SampleHistory h = emptyHistory();
    for (uint32_t k = 0; k < kHistorySlots; ++k)
        put(h, 0, k, {static_cast<int32_t>(k), 1, 1});
    h.writeIndex = writeIndex;
    h.wrapped = wrapped ? 1 : 0;
    return h;
}

CircuitResult compute(const SampleHistory &h, int circuit, uint32_t n)
{
    CircuitResult r{-1.0f, -1.0f, 55};
    updateCircuit(h, r, circuit, n);
    return r;
}

}  // namespace

TEST(CircuitMeans, WorkedExampleGivesGainTwoAndVref1024OnEitherCircuit)
{
    for (int circuit : {0, 1}) {
        SampleHistory h = emptyHistory();
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

TEST(CircuitMeans, IntegerQuotientTruncatesWhileTheRatioDoesNot)
{
    struct Case {
        Sample newest;
        float gain;
        float vref;
        const char *sentence;
    };
    const Case cases[] = {
        {{7, 1, 2}, 3.5f, 3.0f, "7 x 1 / 2 gives ratio 3.5 and quotient 3"},
        {{2047, 2047, 1}, 2047.0f, 4190209.0f, "the largest product stays exact"},
    };
    for (const Case &c : cases) {
        SampleHistory h = emptyHistory();
        h.writeIndex = 40;
        put(h, 0, 40, c.newest);
        put(h, 0, 39, {1000, 1000, 1});  // outside a window of one
        const CircuitResult r = compute(h, 0, 1);
        EXPECT_FLOAT_EQ(r.gain, c.gain) << c.sentence;
        EXPECT_FLOAT_EQ(r.vref, c.vref) << c.sentence;
    }
}

TEST(CircuitWindow, TakesTheMostRecentSamplesInRingOrder)
{
    struct Case {
        uint32_t writeIndex;
        bool wrapped;
        uint32_t n;
        float meanSlot;
        const char *sentence;
    };
    const Case cases[] = {
        {0, true, 100, 49.5f, "wrapped at slot 0 with N 100: all 100 slots"},
        {5, true, 10, 40.5f, "wrapped at slot 5 with N 10: slots 0..5 and 99..96"},
        {5, false, 10, 2.5f, "not wrapped at slot 5 with N 10: the six slots 0..5"},
        {9, true, 10, 4.5f, "W = N - 1 exactly: slots 0..9"},
        {30, true, 1, 30.0f, "N 1: the newest slot"},
        {30, true, 0, 30.0f, "N 0, before the first Go, counts as 1"},
        {0, true, 250, 49.5f, "N above 100 counts as 100"},
    };
    for (const Case &c : cases) {
        const SampleHistory h = slotNumberHistory(c.writeIndex, c.wrapped);
        const CircuitResult r = compute(h, 0, c.n);
        EXPECT_NEAR(r.gain, c.meanSlot, 0.001) << c.sentence;
        EXPECT_NEAR(r.vref, c.meanSlot, 0.001) << c.sentence;  // quotient k x 1 / 1 = k
    }
}

TEST(CircuitZeroDenominator, NewestZeroGivesTheFixedResult)
{
    SampleHistory h = slotNumberHistory(20, true);
    put(h, 0, 20, {500, 500, 0});
    const CircuitResult r = compute(h, 0, 10);
    EXPECT_EQ(r.gain, kInfiniteResult);
    EXPECT_EQ(r.vref, kInfiniteResult);
    EXPECT_EQ(r.gain, 1024.0f);
}

TEST(CircuitZeroDenominator, OlderZeroSlotsAreLeftOutOfBothMeans)
{
    struct Case {
        uint32_t zeroSlots[3];
        int zeroCount;
        float gain;
        float vref;
        const char *sentence;
    };
    // Window slots 0..3 with (Vout, M, D): (10,1,2) (999,999,x) (30,1,10) (20,1,4)
    // where x is 1 unless the slot is made a zero-denominator slot.
    const Case cases[] = {
        {{1}, 1, (5.0f + 3.0f + 5.0f) / 3.0f, (5.0f + 3.0f + 5.0f) / 3.0f, "one zero slot in the middle"},
        {{0, 1, 2}, 3, 5.0f, 5.0f, "all older slots zero leaves the newest alone"},
    };
    for (const Case &c : cases) {
        SampleHistory h = emptyHistory();
        put(h, 0, 0, {10, 1, 2});
        put(h, 0, 1, {999, 999, 1});
        put(h, 0, 2, {30, 1, 10});
        put(h, 0, 3, {20, 1, 4});
        for (int i = 0; i < c.zeroCount; ++i)
            h.values[denominatorChannel(0)][c.zeroSlots[i]] = 0;
        h.writeIndex = 3;
        const CircuitResult r = compute(h, 0, 4);
        EXPECT_FLOAT_EQ(r.gain, c.gain) << c.sentence;
        EXPECT_FLOAT_EQ(r.vref, c.vref) << c.sentence;
    }
}

TEST(CircuitRounding, SumsAreHeldInSinglePrecision)
{
    struct Case {
        Sample every;
        float gain;
        float vref;
        const char *sentence;
    };
    // Over 100 slots a single-precision sum drifts from the exact mean; the
    // drift is part of the shown result.
    const Case cases[] = {
        {{2047, 2047, 1}, 2047.0f, 4190208.25f, "the largest quotients lose low bits above 2^24"},
        {{2047, 1, 3}, 682.332886f, 682.0f, "a ratio of 682.33.. accumulates rounding"},
    };
    for (const Case &c : cases) {
        SampleHistory h = emptyHistory();
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            put(h, 0, k, c.every);
        h.writeIndex = 99;
        h.wrapped = 1;
        const CircuitResult r = compute(h, 0, 100);
        EXPECT_EQ(r.gain, c.gain) << c.sentence;
        EXPECT_EQ(r.vref, c.vref) << c.sentence;
    }
}
