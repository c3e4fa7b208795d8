// The save trigger: a crossing of the threshold by the trigger channel
// between the previous sample and the current one.
#pragma once

#include "acquisition/sample_history.h"
#include "settings/settings.h"

// Whether the sample just stored at writeIndex fires the trigger.  Never
// fires on the first sample after a reset, while a block is being saved, when
// the trigger is disabled, or for a channel outside CH0..CH7.
bool triggerFires(const SampleHistory &history, const Settings &config, bool saving);
