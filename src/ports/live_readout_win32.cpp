// The read tick: one DataPacket per tick, shown in the main dialog; a board
// that has gone returns the dialog to the disconnected state.
#include <climits>
#include <cstdio>

#include "app/main_dialog_win32.h"
#include "device/device_session.h"
#include "device/packets.h"
#include "ports/live_values.h"
#include "ports/port_rules.h"
#include "ports/ports_win32.h"
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

void showNumber(HWND box, long value, long &shown)
{
    if (value == shown)
        return;
    char text[16];
    std::snprintf(text, sizeof text, "%ld", value);
    SetWindowTextA(box, text);
    shown = value;
}

// The value boxes are rewritten at most this often: a screen cannot show
// more, and under fast read intervals rewriting eight edit fields on every
// tick would cost more than the read itself.  At 16 ms and slower every
// tick is shown; the live values themselves follow every tick.
constexpr DWORD kDisplayPeriodMs = 16;
bool shownOnce = false;
DWORD lastShownMs = 0;

void onBoardLost(HWND dialog)
{
    closeSession();
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

void onReadTick(HWND dialog)
{
    if (appState.connected != 1)
        return;
    const ErrorCode code = readDataPacket();
    if (code == kSuccess) {
        updateLiveValues(packetBuffers.data, liveValues);
        const DWORD now = timeGetTime();
        if (!shownOnce || now - lastShownMs >= kDisplayPeriodMs) {
            showLiveValues(dialog);
            shownOnce = true;
            lastShownMs = now;
        }
    } else if (code == kErrRemoved) {
        onBoardLost(dialog);
    }
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
