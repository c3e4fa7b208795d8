#include "acquisition/save_trigger.h"

bool triggerFires(const SampleHistory &history, const Settings &config, bool saving)
{
    if (history.sampleCount == 0 || saving || !config.triggerEnabled)
        return false;
    if (config.triggerChannel < 0 || config.triggerChannel >= kChannelCount)
        return false;

    const int32_t *ring = history.values[config.triggerChannel];
    const uint32_t slot = history.writeIndex % kHistorySlots;
    const int32_t current = ring[slot];
    const int32_t previous = ring[previousIndex(slot)];
    const int32_t threshold = config.triggerThreshold;

    if (config.triggerRising)
        return previous < threshold && current > threshold;
    return previous > threshold && current < threshold;
}
