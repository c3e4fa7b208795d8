#include "ports/live_values.h"

#include "device/packets.h"

int16_t liveValues[kChannelCount];

void updateLiveValues(const uint8_t *dataPacket, int16_t *values)
{
    for (int channel = 0; channel < kChannelCount; ++channel)
        values[channel] = static_cast<int16_t>(channelValue(channelWordOf(dataPacket, channel)));
}
