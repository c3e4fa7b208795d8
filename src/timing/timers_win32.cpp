// The two periodic multimedia timers.  Their callbacks run on the timer
// service's thread and only post WM_TIMER to the window concerned, read from
// AppState when they fire, through the timer's gate: a tick is posted only
// when the previous one has been handled.  All work happens on the
// user-interface thread.
#include "timing/timers_win32.h"

#include <mmsystem.h>

#include "app/main_dialog_win32.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "timing/tick_gate.h"
#include "timing/timer_state.h"

namespace {

TickGate sampleGate;
TickGate readGate;
int32_t readTimerInterval = -1;  // the running read timer's interval; -1: not running
// The sample timer's interval equals the read timer's: each read tick takes
// its sample right after the read instead of a timer of its own, one message
// fewer per period and every sample taken from the read just made.
bool samplesFollowReads = false;

void postTick(TickGate &gate, HWND window, UINT timerId)
{
    if (mayPostTick(gate) && !PostMessageA(window, WM_TIMER, timerId, 0))
        reopenGate(gate);
}

void CALLBACK sampleTimerCallback(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    postTick(sampleGate, graphWindowHandle(), TIMER_SAMPLE_TICK);
}

void CALLBACK readTimerCallback(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    postTick(readGate, mainWindowHandle(), TIMER_READ_TICK);
}

// A negative interval becomes a huge delay, which the timer service refuses
// like any delay beyond the device's longest period.
MMRESULT setPeriodicEvent(int32_t interval, LPTIMECALLBACK callback)
{
    return timeSetEvent(static_cast<UINT>(interval), timerState.timerResolution, callback, 0,
                        TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
}

}  // namespace

void beginTimerResolution()
{
    TIMECAPS caps{};
    timeGetDevCaps(&caps, sizeof caps);
    timerState.timerResolution = caps.wPeriodMin;
    timeBeginPeriod(timerState.timerResolution);
}

void endTimerResolution()
{
    timeEndPeriod(timerState.timerResolution);
}

void startPeriodicTimer(UINT timerId)
{
    MMRESULT eventId;
    if (timerId == TIMER_SAMPLE_TICK) {
        reopenGate(sampleGate);
        samplesFollowReads = readTimerInterval > 0 && settings.getDataInterval == readTimerInterval;
        if (samplesFollowReads)
            return;
        eventId = setPeriodicEvent(settings.getDataInterval, sampleTimerCallback);
        if (eventId != 0)
            timerState.sampleTimerId = eventId;
    } else if (timerId == TIMER_READ_TICK) {
        reopenGate(readGate);
        eventId = setPeriodicEvent(settings.nowReadInterval, readTimerCallback);
        if (eventId != 0) {
            timerState.readTimerId = eventId;
            readTimerInterval = settings.nowReadInterval;
        }
    } else {
        return;
    }
    if (eventId == 0)
        MessageBoxA(mainWindowHandle(), "Setting MultiMediaTimer Failed", "MMT_ERROR", MB_OK);
}

void stopSampleTimer()
{
    if (samplesFollowReads)
        samplesFollowReads = false;
    else
        timeKillEvent(timerState.sampleTimerId);
}

void stopReadTimer()
{
    timeKillEvent(timerState.readTimerId);
    readTimerInterval = -1;
}

bool sampleFollowsRead()
{
    return samplesFollowReads;
}

void onTickTaken(UINT timerId)
{
    reopenGate(timerId == TIMER_SAMPLE_TICK ? sampleGate : readGate);
}
