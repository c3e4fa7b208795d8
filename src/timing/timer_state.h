// TimerState: the raised timer resolution and the two periodic timers.
#pragma once
#include <cstdint>

struct TimerState {
    uint32_t timerResolution;  // ms, wPeriodMin of the timer device
    uint32_t sampleTimerId;    // event identifier of the sample timer
    uint32_t readTimerId;      // event identifier of the read timer
};

extern TimerState timerState;
