#include "app/enable_rules.h"

namespace {

using E = EnableState;

// One row per dialog state.  Output boxes are marked kEnabled when the state
// allows them at all; the direction mask then decides bit by bit.
struct StateRow {
    DialogState state;
    E idBox, connectButton, goButton, stopButton, saveButton, ioUpdateButton;
    E directionBoxes, outputBoxes, smoothingFields;
    bool settingMenuEnabled;
};

constexpr StateRow kStateRows[] = {
    //                            ID     Connect  Go     Stop   Save   I/O Upd  Dir    Out    Smoothing      Setting
    {DialogState::kDisconnected,  E::kEnabled,  E::kEnabled,  E::kDisabled, E::kDisabled, E::kDisabled, E::kDisabled,
     E::kDisabled, E::kDisabled, E::kUnchanged, true},
    {DialogState::kConnectedIdle, E::kDisabled, E::kEnabled,  E::kEnabled,  E::kDisabled, E::kDisabled, E::kEnabled,
     E::kEnabled,  E::kEnabled,  E::kEnabled,   true},
    {DialogState::kSampling,      E::kDisabled, E::kDisabled, E::kDisabled, E::kEnabled,  E::kEnabled,  E::kEnabled,
     E::kEnabled,  E::kEnabled,  E::kDisabled,  false},
};

const StateRow &rowFor(DialogState state)
{
    for (const StateRow &row : kStateRows)
        if (row.state == state)
            return row;
    return kStateRows[0];
}

}  // namespace

DialogState dialogStateOf(const AppState &app)
{
    if (app.connected != 1)
        return DialogState::kDisconnected;
    return app.graphRunning == 1 ? DialogState::kSampling : DialogState::kConnectedIdle;
}

EnableResult computeEnableRules(const AppState &app, const PortState &ports)
{
    const StateRow &row = rowFor(dialogStateOf(app));
    EnableResult result{};
    result.idBox = row.idBox;
    result.connectButton = row.connectButton;
    result.goButton = row.goButton;
    result.stopButton = row.stopButton;
    result.saveButton = row.saveButton;
    result.ioUpdateButton = row.ioUpdateButton;
    result.directionBoxes = row.directionBoxes;
    result.smoothingFields = row.smoothingFields;
    result.settingMenuEnabled = row.settingMenuEnabled;
    for (int port = 0; port < kPortCount; ++port) {
        const uint8_t mask = ports.ports[port].directionMask;
        for (int bit = 0; bit < kPortBitSlots; ++bit) {
            const bool isOut = ((mask >> bit) & 1u) != 0;
            result.outputBoxes[port][bit] =
                (row.outputBoxes == E::kEnabled && isOut) ? E::kEnabled : E::kDisabled;
        }
    }
    return result;
}
