// SampleHistory: the last 100 samples of the eight channels, and the steps
// of the sample tick that fill it.
#pragma once
#include <cstdint>

#include "app/app_state.h"

constexpr uint32_t kHistorySlots = 100;

struct SampleHistory {
    int32_t values[kChannelCount][kHistorySlots];
    uint32_t writeIndex;   // slot of the next sample (of the current one during a tick)
    uint32_t sampleCount;  // samples stored since the last reset
    int32_t wrapped;       // set once writeIndex has reached 99
};

extern SampleHistory sampleHistory;

// Empties the history: no samples, index 0, every value 0.
void resetHistory(SampleHistory &history);

// The slot before `slot` in ring order (slot 0 follows slot 99).
inline uint32_t previousIndex(uint32_t slot) { return (slot + kHistorySlots - 1) % kHistorySlots; }

// Stores the eight channel values of a DataPacket at writeIndex.
void storeSample(SampleHistory &history, const uint8_t *dataPacket);

// Ends the tick: one more sample, writeIndex moves on, wrapped is set once
// writeIndex reaches the ring's last slot.
void advanceHistory(SampleHistory &history);
