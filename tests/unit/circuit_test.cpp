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

TEST(CircuitMeans, WorkedExampleGivesGainTwoAndVref1024)
{
    SampleHistory h = emptyHistory();
    put(h, 0, 0, {600, 512, 300});
    put(h, 0, 1, {610, 512, 305});
    put(h, 0, 2, {620, 512, 310});
    h.writeIndex = 2;
    const CircuitResult r = compute(h, 0, 3);
    EXPECT_FLOAT_EQ(r.gain, 2.0f);
    EXPECT_FLOAT_EQ(r.vref, 1024.0f);
    EXPECT_EQ(r.smoothingCount, 55u) << "the count is the caller's, not written";
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
        {{2047, 2047, 2047}, 1.0f, 2047.0f, "the largest values give ratio 1 and quotient 2047"},
        {{1, 1, 3}, 1.0f / 3.0f, 0.0f, "1 x 1 / 3 truncates to 0"},
        {{0, 900, 5}, 0.0f, 0.0f, "a zero output gives zero for both"},
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
        {0, false, 10, 0.0f, "the first sample alone"},
        {50, true, 10, 45.5f, "slots 41..50"},
        {9, true, 10, 4.5f, "W = N - 1 exactly: slots 0..9"},
        {8, true, 10, 13.5f, "W = N - 2: slots 0..8 and 99"},
        {99, true, 100, 49.5f, "slot 99 with N 100: slots 0..99"},
        {30, true, 1, 30.0f, "N 1: the newest slot"},
        {30, true, 0, 30.0f, "N 0, before the first Go, counts as 1"},
        {0, true, 250, 49.5f, "N above 100 counts as 100"},
        {5, true, 101, 49.5f, "N 101 counts as 100"},
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
        {{0}, 1, (999.0f + 3.0f + 5.0f) / 3.0f, (998001.0f + 3.0f + 5.0f) / 3.0f, "the oldest slot zero"},
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

TEST(CircuitChannels, EachCircuitReadsOnlyItsOwnThreeChannels)
{
    SampleHistory h = emptyHistory();
    h.writeIndex = 0;
    put(h, 0, 0, {600, 512, 300});
    put(h, 1, 0, {900, 10, 100});
    h.values[3][0] = 0;  // CH3 and CH7 are wired but never used
    h.values[7][0] = 0;

    const CircuitResult first = compute(h, 0, 1);
    const CircuitResult second = compute(h, 1, 1);
    EXPECT_FLOAT_EQ(first.gain, 2.0f);
    EXPECT_FLOAT_EQ(first.vref, 1024.0f);
    EXPECT_FLOAT_EQ(second.gain, 9.0f);
    EXPECT_FLOAT_EQ(second.vref, 90.0f);

    h.values[3][0] = 2047;
    h.values[7][0] = 1;
    EXPECT_FLOAT_EQ(compute(h, 0, 1).gain, 2.0f) << "CH3 changed";
    EXPECT_FLOAT_EQ(compute(h, 1, 1).vref, 90.0f) << "CH7 changed";
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
