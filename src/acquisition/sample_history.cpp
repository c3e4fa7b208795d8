#include "acquisition/sample_history.h"

#include <cstring>

#include "device/packets.h"

SampleHistory sampleHistory;

void resetHistory(SampleHistory &history)
{
    std::memset(history.values, 0, sizeof history.values);
    history.writeIndex = 0;
    history.sampleCount = 0;
    history.wrapped = 0;
}

void storeSample(SampleHistory &history, const uint8_t *dataPacket)
{
    const uint32_t slot = history.writeIndex % kHistorySlots;
    for (int channel = 0; channel < kChannelCount; ++channel)
        history.values[channel][slot] = channelValue(channelWordOf(dataPacket, channel));
}

void advanceHistory(SampleHistory &history)
{
    history.sampleCount += 1;
    history.writeIndex = history.sampleCount % kHistorySlots;
    if (history.writeIndex >= kHistorySlots - 1)
        history.wrapped = 1;
}
