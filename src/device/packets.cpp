#include "device/packets.h"

PacketBuffers packetBuffers;

uint16_t readU16(const uint8_t *bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint16_t boardIdOf(const uint8_t *packet)
{
    return readU16(packet, kBoardIdOffset);
}

uint16_t channelWordOf(const uint8_t *packet, int channel)
{
    return readU16(packet, kChannelWordsOffset + 2 * static_cast<size_t>(channel));
}

uint8_t portInputsOf(const uint8_t *packet, int port)
{
    return packet[kPortInputsOffset + static_cast<size_t>(port)];
}

void fillInitialDataPacket(uint8_t *buffer, uint8_t p9Direction, uint8_t paDirection, uint8_t pbDirection)
{
    buffer[0] = p9Direction;
    buffer[1] = paDirection;
    buffer[2] = pbDirection;
}

void fillControlDataPacket(uint8_t *buffer, uint8_t p9Output, uint8_t paOutput, uint8_t pbOutput)
{
    buffer[0] = 1;
    buffer[1] = p9Output;
    buffer[2] = paOutput;
    buffer[3] = pbOutput;
}

uint8_t sentDirectionOf(const uint8_t *initialPacket, int port)
{
    return initialPacket[port];
}

uint8_t sentOutputOf(const uint8_t *controlPacket, int port)
{
    return controlPacket[1 + port];
}
