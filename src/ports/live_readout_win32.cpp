// The read tick: one DataPacket per tick, shown in the main dialog (paced by
// the readout's display period, never left unshown); a board that has gone
// returns the dialog to the disconnected state.
#include <climits>
#include <cstdio>

#include "app/main_dialog_win32.h"
#include "device/device_session.h"
#include "device/packets.h"
#include "acquisition/acquisition_win32.h"
#include "ports/live_values.h"
#include "ports/port_rules.h"
#include "ports/ports_win32.h"
#include "ports/readout_pacing.h"
#include "resources/resource.h"
#include "timing/timers_win32.h"

#include <mmsystem.h>

namespace {

// What each value box shows now, so that a tick rewrites only the boxes
// whose number changed (a rewrite costs far more than the comparison).
// LONG_MIN: still showing the start-up "-".
struct ShownValues {
    long channels[kChannelCount];
    long portBits[kPortCount][8];
};

ShownValues shownValues = [] {
    ShownValues shown;
    for (long &value : shown.channels)
        value = LONG_MIN;
    for (auto &port : shown.portBits)
        for (long &value : port)
            value = LONG_MIN;
    return shown;
}();

// A box is rewritten when its number changed, or when the operator typed
// into it (its modify flag): it then shows the number again.
void showNumber(HWND box, long value, long &shown)
{
    if (value == shown && SendMessageA(box, EM_GETMODIFY, 0, 0) == 0)
        return;
    char text[16];
    std::snprintf(text, sizeof text, "%ld", value);
    SetWindowTextA(box, text);
    SendMessageA(box, EM_SETMODIFY, FALSE, 0);
    shown = value;
}

ReadoutPacing pacing;
UINT_PTR armedShowTimer = 0;  // a thread timer: never a WM_TIMER of the main dialog

void showNow()
{
    showLiveValues(mainWindowHandle());
    markShown(pacing, timeGetTime());
}

void CALLBACK onArmedShow(HWND, UINT, UINT_PTR, DWORD)
{
    showPendingLiveValues();
}

void showAfterRead()
{
    const ReadoutStep step = afterRead(pacing, timeGetTime());
    if (step.armInMs != 0)
        armedShowTimer = SetTimer(nullptr, 0, step.armInMs, onArmedShow);
    if (step.showNow || (step.armInMs != 0 && armedShowTimer == 0))
        showNow();
}

void onBoardLost(HWND dialog)
{
    showPendingLiveValues();
    closeWholeSession();
    stopReadTimer();
    appState.connected = 0;
    if (appState.graphRunning == 1) {
        SendMessageA(graphWindowHandle(), WM_CLOSE, 0, 0);
        appState.graphRunning = 0;
    }
    applyEnableRules(dialog);
    SendMessageA(mainControls.connectButton, BM_SETCHECK, BST_UNCHECKED, 0);
    SetWindowTextA(mainControls.connectButton, "Connect");
}

}  // namespace

// A tick posted before the read timer was stopped finds `connected` 0 and
// reads nothing.  Every tick, read or not, lets the timer post the next.
void onReadTick(HWND dialog)
{
    onTickTaken(TIMER_READ_TICK);
    if (appState.connected == 1) {
        const ErrorCode code = readDataPacket();
        if (code == kSuccess) {
            updateLiveValues(packetBuffers.data, liveValues);
            showAfterRead();
        } else if (code == kErrRemoved) {
            onBoardLost(dialog);
        }
    }
    if (appState.connected == 1 && sampleFollowsRead())
        onSampleTick();
}

void showPendingLiveValues()
{
    if (!pacing.showArmed)
        return;
    KillTimer(nullptr, armedShowTimer);
    armedShowTimer = 0;
    showNow();
}

void showLiveValues(HWND)
{
    for (int channel = 0; channel < kChannelCount; ++channel)
        showNumber(mainControls.channelValue[channel], liveValues[channel], shownValues.channels[channel]);
    for (int port = 0; port < kPortCount; ++port)
        for (int bit = 0; bit < portBitCount(port); ++bit) {
            if (!isOperatorPortBit(port, bit))
                continue;  // P9 bits 1 and 3 are never shown
            const uint8_t level = displayedPortBit(packetBuffers.initial, packetBuffers.control,
                                                   packetBuffers.data, port, bit);
            showNumber(mainControls.portControls[port][kValueBox][bit], level, shownValues.portBits[port][bit]);
        }
}
