#include "ports/readout_pacing.h"

ReadoutStep afterRead(ReadoutPacing &pacing, uint32_t nowMs)
{
    if (pacing.showArmed)
        return {false, 0};  // the armed show will take this read's values
    const uint32_t sinceShown = nowMs - pacing.lastShownMs;
    if (!pacing.shownOnce || sinceShown >= kDisplayPeriodMs)
        return {true, 0};
    pacing.showArmed = true;
    return {false, kDisplayPeriodMs - sinceShown};
}

void markShown(ReadoutPacing &pacing, uint32_t nowMs)
{
    pacing.shownOnce = true;
    pacing.showArmed = false;
    pacing.lastShownMs = nowMs;
}
