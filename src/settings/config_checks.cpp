#include "settings/config_checks.h"

ConfigDraft draftFromSettings(const Settings &values)
{
    ConfigDraft draft{};
    draft.nowReadInterval = values.nowReadInterval;
    draft.getDataInterval = values.getDataInterval;
    draft.axisTop = values.axisTop;
    draft.axisOrigin = values.axisOrigin;
    draft.triggerThreshold = values.triggerThreshold;
    draft.triggerChannel = values.triggerChannel;
    draft.triggerEnabled = values.triggerEnabled ? 1 : 0;
    return draft;
}

const char *configCheckMessage(const ConfigDraft &draft)
{
    if (draft.getDataInterval == 0 || draft.nowReadInterval == 0)
        return "Interval [0] is Invalid\n";
    if (draft.axisTop < draft.axisOrigin)
        return "Y-AXIS Value is Invalid\n";
    if (draft.triggerEnabled != 0 &&
        (draft.triggerThreshold > draft.axisTop || draft.triggerThreshold < draft.axisOrigin))
        return "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN";
    return nullptr;
}

void storeConfigDraft(const ConfigDraft &draft, bool rising, Settings &values)
{
    values.axisTop = draft.axisTop;
    values.axisOrigin = draft.axisOrigin;
    values.getDataInterval = draft.getDataInterval;
    values.nowReadInterval = draft.nowReadInterval;
    values.triggerChannel = draft.triggerChannel;
    values.triggerEnabled = draft.triggerEnabled != 0;
    values.triggerRising = rising;
    values.triggerThreshold = draft.triggerThreshold;
}

int32_t channelFromSelection(int32_t selection, int32_t previous)
{
    if (selection < 0 || selection > 7)
        return previous;
    return selection;
}
