// SampleHistory: the last 100 samples of the eight channels.
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
