// Which main-dialog controls are usable in which state.  The table of states
// lives here, free of the platform; applyEnableRules only applies the result.
#pragma once
#include <cstdint>

#include "app/app_state.h"
#include "ports/port_state.h"

enum class EnableState : uint8_t { kDisabled, kEnabled, kUnchanged };

constexpr int kPortBitSlots = 8;

struct EnableResult {
    EnableState idBox;
    EnableState connectButton;
    EnableState goButton;
    EnableState stopButton;
    EnableState saveButton;
    EnableState ioUpdateButton;
    EnableState directionBoxes;                        // every direction box of P9, PA, PB
    EnableState outputBoxes[kPortCount][kPortBitSlots];  // by port, then bit
    EnableState smoothingFields;                       // 1119 and 1120
    bool settingMenuEnabled;                           // menu item "Setting(&C)"
};

enum class DialogState : uint8_t { kDisconnected, kConnectedIdle, kSampling };

DialogState dialogStateOf(const AppState &app);

// The enabled state of every control group for the current flags and
// direction masks.
EnableResult computeEnableRules(const AppState &app, const PortState &ports);
