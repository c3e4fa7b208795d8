// Reads every field of an arbitrary packet (placeholder until the descriptor
// walk joins it).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/packets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    uint8_t packet[kPacketBufferSize] = {};
    std::memcpy(packet, data, size < kPacketBufferSize ? size : kPacketBufferSize);
    volatile int32_t sink = boardIdOf(packet);
    for (int ch = 0; ch < 8; ++ch)
        sink = sink + channelValue(channelWordOf(packet, ch));
    for (int port = 0; port < 3; ++port)
        sink = sink + portInputsOf(packet, port);
    return 0;
}
