// CircuitResult: smoothed Gain and Vref of one measurement circuit.
#pragma once
#include <cstdint>

struct CircuitResult {
    float vref;
    float gain;
    uint32_t smoothingCount;  // 1..100, taken at Go
};

constexpr int kCircuitCount = 2;
extern CircuitResult circuits[kCircuitCount];
