// Applies the enable-rule table to the main dialog's controls and menu.
#include "app/enable_rules.h"
#include "app/main_dialog_win32.h"
#include "resources/resource.h"

namespace {

void apply(HWND control, EnableState state)
{
    if (control == nullptr || state == EnableState::kUnchanged)
        return;
    EnableWindow(control, state == EnableState::kEnabled ? TRUE : FALSE);
}

void applySettingMenu(HWND dialog, bool enabled)
{
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    item.fState = enabled ? MFS_ENABLED : MFS_GRAYED;
    SetMenuItemInfoA(GetMenu(dialog), IDM_SETTING, FALSE, &item);
    DrawMenuBar(dialog);
}

}  // namespace

void applyEnableRules(HWND dialog)
{
    const EnableResult rules = computeEnableRules(appState, portState);
    const MainControls &c = mainControls;
    apply(c.idBox, rules.idBox);
    apply(c.connectButton, rules.connectButton);
    apply(c.goButton, rules.goButton);
    apply(c.stopButton, rules.stopButton);
    apply(c.saveButton, rules.saveButton);
    apply(c.ioUpdateButton, rules.ioUpdateButton);
    for (int port = 0; port < kPortCount; ++port)
        for (int bit = 0; bit < kPortBitSlots; ++bit) {
            apply(c.portControls[port][kDirectionBox][bit], rules.directionBoxes);
            apply(c.portControls[port][kOutputBox][bit], rules.outputBoxes[port][bit]);
        }
    apply(c.smoothingEdit[0], rules.smoothingFields);
    apply(c.smoothingEdit[1], rules.smoothingFields);
    applySettingMenu(dialog, rules.settingMenuEnabled);
}
