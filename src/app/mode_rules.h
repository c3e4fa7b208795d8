// What the Mode menu does to the graph check boxes.
#pragma once
#include "app/app_state.h"

struct GraphCheckState {
    bool checked;
    bool enabled;
};

// Normal: every channel clear and enabled.  Diff Amp: CH0 and CH4 checked
// and enabled, the other six clear and disabled.
GraphCheckState graphCheckForMode(int32_t mode, int channel);
