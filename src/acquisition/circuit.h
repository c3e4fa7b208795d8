// CircuitResult: smoothed Gain and Vref of one measurement circuit.
#pragma once
#include <cstdint>

#include "acquisition/sample_history.h"

struct CircuitResult {
    float vref;
    float gain;
    uint32_t smoothingCount;  // 1..100, taken at Go
};

constexpr int kCircuitCount = 2;
extern CircuitResult circuits[kCircuitCount];

// Shown as "Inf" when the newest denominator sample is 0.
constexpr float kInfiniteResult = 1024.0f;

// Channel roles of circuit c: Vout, M (multiplier) and D (denominator) are
// the first three channels of its block of four.
inline int voutChannel(int circuit) { return 4 * circuit; }
inline int multiplierChannel(int circuit) { return 4 * circuit + 1; }
inline int denominatorChannel(int circuit) { return 4 * circuit + 2; }

// Recomputes vref and gain of `circuit` (0 or 1) as means over the
// `smoothingCount` most recent samples, the one at writeIndex included.
// A count of 0 is taken as 1 and one above 100 as 100.  An older sample whose
// denominator is 0 is left out of both means.
void updateCircuit(const SampleHistory &history, CircuitResult &result, int circuit, uint32_t smoothingCount);
