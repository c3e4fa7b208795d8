// The port panel: direction and output boxes, I/O Update and its reset.
#include "ports/ports_win32.h"

#include "app/main_dialog_win32.h"
#include "device/device_session.h"
#include "device/device_win32.h"
#include "ports/port_rules.h"

namespace {

const char kIllegalOperation[] = "Illegal operation occurred!";

bool isChecked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void uncheck(HWND box) { SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0); }

// The slot of a control of the given kind, checked against the port code.
PortControlPlace placeOf(int controlId, int portCode, int kind)
{
    PortControlPlace place = locatePortControl(controlId);
    if (!place.found || place.kind != kind || place.port != portIndexOfCode(portCode))
        place.found = false;
    return place;
}

HWND controlAt(const PortControlPlace &place, int kind)
{
    return mainControls.portControls[place.port][kind][place.bit];
}

}  // namespace

void onDirectionBox(int controlId, int portCode)
{
    const PortControlPlace place = placeOf(controlId, portCode, kKindDirection);
    if (!place.found)
        return;
    HWND box = controlAt(place, kDirectionBox);
    const bool isOut = isChecked(box);
    if (!applyDirectionChange(portState, place.port, place.bit, isOut))
        return;
    SetWindowTextA(box, isOut ? "OUT" : "IN");
    if (!isOut)
        uncheck(controlAt(place, kOutputBox));
}

void onOutputBox(int controlId, int portCode)
{
    const PortControlPlace place = placeOf(controlId, portCode, kKindOutput);
    if (!place.found)
        return;
    HWND box = controlAt(place, kOutputBox);
    const bool on = isChecked(box);
    if (applyOutputChange(portState, place.port, place.bit, on) || !on)
        return;
    uncheck(box);
    MessageBoxA(mainWindowHandle(), kIllegalOperation, "Error", MB_OK);
}

BOOL ioUpdate()
{
    if (appState.connected != 1) {
        MessageBoxA(mainWindowHandle(), kIllegalOperation, "Error", MB_OK);
        return FALSE;
    }
    const PortMasks *m = portState.ports;
    ErrorCode code = writeInitialData(m[kPortP9].directionMask, m[kPortPA].directionMask, m[kPortPB].directionMask);
    if (code == kSuccess)
        code = writeControlData(m[kPortP9].outputMask, m[kPortPA].outputMask, m[kPortPB].outputMask);
    if (code != kSuccess) {
        showErrorCode(code);
        return FALSE;
    }
    return TRUE;
}

// Back to all inputs with no outputs.  Only boxes that are checked are
// touched; an output box that was on is also disabled.
void resetPortPanel()
{
    portState = PortState{};
    for (int bit = 0; bit < kBitSlots; ++bit)
        for (int port = 0; port < kPortCount; ++port) {
            HWND direction = mainControls.portControls[port][kDirectionBox][bit];
            if (direction != nullptr && isChecked(direction)) {
                uncheck(direction);
                SetWindowTextA(direction, "IN");
            }
            HWND output = mainControls.portControls[port][kOutputBox][bit];
            if (output != nullptr && isChecked(output)) {
                uncheck(output);
                EnableWindow(output, FALSE);
            }
        }
}
