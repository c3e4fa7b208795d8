#include "timing/timer_state.h"

TimerState timerState;
