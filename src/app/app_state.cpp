#include "app/app_state.h"

#include "device/device_session.h"
#include "ports/port_state.h"

AppState appState;

void resetAppState()
{
    appState.selectedId = 0;
    appState.connected = 0;
    appState.graphRunning = 0;
    appState.saving = 0;
    for (int32_t &flag : appState.plotted)
        flag = 0;
    deviceSession = DeviceSession{};
    portState = PortState{};
}
