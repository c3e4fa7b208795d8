// What the measuring runs share: a board whose every channel moves (so every
// read changes the value boxes and the traces) and the length of a run.
// bench/wine/floor_ratio.sh gives the floor program the same board.
#pragma once
#include <cstdlib>

inline const char kLivelyBoard[] =
    "board 0\n"
    "channel 0 sine amplitude=400 offset=1000 period=700\n"
    "channel 1 ramp amplitude=500 offset=600 period=900\n"
    "channel 2 square amplitude=300 offset=700 period=500\n"
    "channel 3 noise amplitude=50 offset=200\n"
    "channel 4 sine amplitude=800 offset=1000 period=1300\n"
    "channel 5 ramp amplitude=100 offset=300 period=400\n"
    "channel 6 sine amplitude=200 offset=400 period=300\n"
    "channel 7 noise amplitude=1000 offset=1023\n"
    "inputs p9=0x15 pb=0x0f\n";

// PV_MEASURE_SECONDS, 30 by default.
inline unsigned measureSeconds()
{
    const char *value = std::getenv("PV_MEASURE_SECONDS");
    const int seconds = value ? std::atoi(value) : 30;
    return seconds > 0 ? static_cast<unsigned>(seconds) : 30;
}
