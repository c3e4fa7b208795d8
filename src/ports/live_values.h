// The channel values of the latest DataPacket as the live readout shows them.
#pragma once
#include <cstdint>

#include "app/app_state.h"

extern int16_t liveValues[kChannelCount];

// Converts the eight channel words of a DataPacket (each shifted right by 5).
void updateLiveValues(const uint8_t *dataPacket, int16_t *values);
