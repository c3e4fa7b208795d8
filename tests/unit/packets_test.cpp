#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "device/packets.h"

TEST(ChannelValue, DropsTheLowFiveBitsWithoutSign)
{
    const std::pair<uint16_t, int32_t> rows[] = {{0xFFFF, 2047}, {0x8000, 1024}, {0x001F, 0},
                                                 {0x0020, 1},    {0x0000, 0},    {0x7FE0, 1023}};
    for (const auto &[word, value] : rows)
        EXPECT_EQ(channelValue(word), value) << std::hex << word;
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
    EXPECT_EQ(std::vector<int>({portInputsOf(packet, 0), portInputsOf(packet, 1), portInputsOf(packet, 2)}),
              std::vector<int>({0x15, 0xA5, 0x5A}));
}

// The bytes the fills write are checked with the session's writes; here the
// masks are read back from them.
TEST(OutgoingPackets, SentMasksReadBackFromTheirPackets)
{
    uint8_t initial[kPacketBufferSize] = {};
    uint8_t control[kPacketBufferSize] = {};
    fillInitialDataPacket(initial, 0x15, 0x08, 0xFF);
    fillControlDataPacket(control, 0x01, 0x08, 0x80);
    EXPECT_EQ(std::vector<int>({sentDirectionOf(initial, 0), sentDirectionOf(initial, 2), sentOutputOf(control, 1),
                                sentOutputOf(control, 2)}),
              std::vector<int>({0x15, 0xFF, 0x08, 0x80}));
}
