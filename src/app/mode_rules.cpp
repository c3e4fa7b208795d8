#include "app/mode_rules.h"

GraphCheckState graphCheckForMode(int32_t mode, int channel)
{
    if (mode != kModeDiffAmp)
        return {false, true};
    const bool circuitInput = channel == 0 || channel == 4;
    return {circuitInput, circuitInput};
}
