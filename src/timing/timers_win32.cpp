// Placeholder until this module is built.
#include "timing/timers_win32.h"

void beginTimerResolution() {}
void endTimerResolution() {}
void startPeriodicTimer(UINT) {}
void stopSampleTimer() {}
void stopReadTimer() {}
