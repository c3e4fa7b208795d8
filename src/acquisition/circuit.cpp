#include "acquisition/circuit.h"

CircuitResult circuits[kCircuitCount];

namespace {

struct Sums {
    float gainSum = 0.0f;
    float vrefSum = 0.0f;
    uint32_t count = 0;
};

// Adds one slot to the sums; a slot with a zero denominator adds nothing.
// The product is formed in 64 bits so that no value stored in the rings can
// overflow it; for channel values (0..2047) the quotient is the same as in
// 32 bits.
void addSlot(Sums &sums, const int32_t *vout, const int32_t *m, const int32_t *d, uint32_t slot)
{
    const int32_t denominator = d[slot];
    if (denominator == 0)
        return;
    const double ratio = static_cast<double>(vout[slot]) / denominator;
    const int64_t quotient = static_cast<int64_t>(vout[slot]) * m[slot] / denominator;
    sums.gainSum = static_cast<float>(static_cast<double>(sums.gainSum) + ratio);
    sums.vrefSum = sums.vrefSum + static_cast<float>(quotient);
    sums.count += 1;
}

}  // namespace

void updateCircuit(const SampleHistory &history, CircuitResult &result, int circuit, uint32_t smoothingCount)
{
    if (circuit < 0 || circuit >= kCircuitCount)
        return;
    const int32_t *vout = history.values[voutChannel(circuit)];
    const int32_t *m = history.values[multiplierChannel(circuit)];
    const int32_t *d = history.values[denominatorChannel(circuit)];
    const uint32_t newest = history.writeIndex % kHistorySlots;

    if (d[newest] == 0) {
        result.vref = kInfiniteResult;
        result.gain = kInfiniteResult;
        return;
    }

    uint32_t n = smoothingCount;
    if (n == 0)
        n = 1;
    if (n > kHistorySlots)
        n = kHistorySlots;

    Sums sums;
    if (newest >= n - 1) {
        for (uint32_t slot = newest - (n - 1); slot <= newest; ++slot)
            addSlot(sums, vout, m, d, slot);
    } else {
        for (uint32_t slot = 0; slot <= newest; ++slot)
            addSlot(sums, vout, m, d, slot);
        if (history.wrapped) {
            // The rest of the window lies at the ring's end: slots 99 down to
            // newest - n + 101.
            const uint32_t oldest = newest + kHistorySlots + 1 - n;
            for (uint32_t slot = kHistorySlots - 1; slot >= oldest; --slot)
                addSlot(sums, vout, m, d, slot);
        }
    }

    // The newest slot always counts, so the count is at least 1.
    result.gain = sums.gainSum / static_cast<float>(sums.count);
    result.vref = sums.vrefSum / static_cast<float>(sums.count);
}
