// The Config dialog's working copies, the checks of its OK button and the
// store into Settings.
#pragma once
#include <cstdint>

#include "settings/settings.h"

struct ConfigDraft {
    int32_t nowReadInterval;
    int32_t getDataInterval;
    int32_t axisTop;
    int32_t axisOrigin;
    int32_t triggerThreshold;
    int32_t triggerChannel;  // index in the CH box
    int32_t triggerEnabled;  // check state, 0 or 1
};

ConfigDraft draftFromSettings(const Settings &values);

// The warning of the first failing check, nullptr when all pass: intervals
// not 0, TOP not below ORIGIN, and (with the trigger enabled) the threshold
// between ORIGIN and TOP.
const char *configCheckMessage(const ConfigDraft &draft);

// Stores the draft, with the edge from its check box, into `values` in the
// order axisTop, axisOrigin, getDataInterval, nowReadInterval,
// triggerChannel, triggerEnabled, triggerRising, triggerThreshold.
void storeConfigDraft(const ConfigDraft &draft, bool rising, Settings &values);

// The channel after the CH box reports `selection` (CB_GETCURSEL).  The box
// is editable: text that matches no entry leaves no selection (-1).  The
// channel indexes the sample rings, so anything outside 0..7 keeps the
// previous channel.
int32_t channelFromSelection(int32_t selection, int32_t previous);
