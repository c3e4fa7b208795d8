// The periodic multimedia timers and the raised timer resolution.
#pragma once
#include <windows.h>

void beginTimerResolution();
void endTimerResolution();
void startPeriodicTimer(UINT timerId);  // TIMER_SAMPLE_TICK or TIMER_READ_TICK
void stopSampleTimer();
void stopReadTimer();
// The end of a tick's handling: the timer may post its next tick.
void onTickHandled(UINT timerId);
