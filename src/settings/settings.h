// Settings: the eight values kept in init_setting.ini.
#pragma once
#include <cstdint>

struct Settings {
    int32_t getDataInterval;   // ms, sample tick (GETDATA)
    int32_t nowReadInterval;   // ms, read tick (NOWREAD)
    int32_t axisTop;           // channel units
    int32_t axisOrigin;        // channel units
    int32_t triggerChannel;    // 0..7
    int32_t triggerThreshold;  // channel units
    bool triggerEnabled;
    bool triggerRising;        // true RISE, false FALL
};

extern Settings settings;
