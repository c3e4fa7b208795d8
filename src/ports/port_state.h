// PortState: direction and output masks of the three digital ports.
#pragma once
#include <cstdint>

enum PortIndex { kPortP9 = 0, kPortPA = 1, kPortPB = 2, kPortCount = 3 };

struct PortMasks {
    uint8_t directionMask;  // bit n = 1: bit n is an output (OUT)
    uint8_t outputMask;     // bit n = 1: bit n drives 1
};

struct PortState {
    PortMasks ports[kPortCount];  // P9, PA, PB
};

extern PortState portState;
