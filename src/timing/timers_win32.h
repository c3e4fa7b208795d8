// The periodic multimedia timers and the raised timer resolution.
#pragma once
#include <windows.h>

void beginTimerResolution();
void endTimerResolution();
void startPeriodicTimer(UINT timerId);  // TIMER_SAMPLE_TICK or TIMER_READ_TICK
void stopSampleTimer();
void stopReadTimer();
// True while each read tick also takes the sample (equal intervals).
bool sampleFollowsRead();
// A tick is taken from the queue to be handled: the timer may post its next.
void onTickTaken(UINT timerId);
