#include <gtest/gtest.h>

#include <cstring>

#include "device/packets.h"

TEST(ChannelValue, DropsTheLowFiveBitsWithoutSign)
{
    struct Case { uint16_t word; int32_t value; };
    const Case cases[] = {
        {0xFFFF, 2047}, {0x8000, 1024}, {0x001F, 0}, {0x0020, 1}, {0x0000, 0}, {0x7FE0, 1023},
    };
    for (const Case &c : cases)
        EXPECT_EQ(channelValue(c.word), c.value) << std::hex << c.word;
}

TEST(DataPacket, FieldsAreLittleEndianAtTheirOffsets)
{
    uint8_t packet[kPacketBufferSize] = {};
    packet[0] = 0xEE;  // never interpreted
    packet[2] = 0x05;
    packet[3] = 0x01;  // boardId 0x0105
    for (int ch = 0; ch < 8; ++ch) {
        packet[4 + 2 * ch] = static_cast<uint8_t>(0x10 + ch);
        packet[5 + 2 * ch] = static_cast<uint8_t>(0x80 + ch);
    }
    packet[20] = 0x15;
    packet[21] = 0xA5;
    packet[22] = 0x5A;

    EXPECT_EQ(boardIdOf(packet), 0x0105);
    for (int ch = 0; ch < 8; ++ch)
        EXPECT_EQ(channelWordOf(packet, ch), (0x80 + ch) << 8 | (0x10 + ch)) << "CH" << ch;
    EXPECT_EQ(portInputsOf(packet, 0), 0x15);
    EXPECT_EQ(portInputsOf(packet, 1), 0xA5);
    EXPECT_EQ(portInputsOf(packet, 2), 0x5A);
}

TEST(OutgoingPackets, OnlyTheirOwnBytesAreWritten)
{
    uint8_t initial[kPacketBufferSize] = {};
    uint8_t control[kPacketBufferSize] = {};
    fillInitialDataPacket(initial, 0x15, 0x08, 0xFF);
    fillControlDataPacket(control, 0x01, 0x08, 0x80);

    uint8_t expectInitial[kPacketBufferSize] = {0x15, 0x08, 0xFF};
    uint8_t expectControl[kPacketBufferSize] = {0x01, 0x01, 0x08, 0x80};
    EXPECT_EQ(0, std::memcmp(initial, expectInitial, kPacketBufferSize));
    EXPECT_EQ(0, std::memcmp(control, expectControl, kPacketBufferSize));

    EXPECT_EQ(sentDirectionOf(initial, 1), 0x08);
    EXPECT_EQ(sentOutputOf(control, 2), 0x80);
}

