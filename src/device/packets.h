// The three packet layouts exchanged with the board, read and written byte
// by byte (little-endian), and the buffers that hold them for the whole run.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kPacketBufferSize = 64;
constexpr size_t kDataPacketUsedBytes = 23;  // bytes 0..22 carry every field we read

// DataPacket offsets
constexpr size_t kBoardIdOffset = 2;
constexpr size_t kChannelWordsOffset = 4;
constexpr size_t kPortInputsOffset = 20;      // P9, PA, PB

struct PacketBuffers {
    uint8_t data[kPacketBufferSize];     // latest DataPacket received
    uint8_t initial[kPacketBufferSize];  // last InitialDataPacket sent (directions)
    uint8_t control[kPacketBufferSize];  // last ControlDataPacket sent (outputs)
};

extern PacketBuffers packetBuffers;

uint16_t readU16(const uint8_t *bytes, size_t offset);

// A channel word shifted right by 5 bits: 0..2047.
inline int32_t channelValue(uint16_t word) { return static_cast<int32_t>(word >> 5); }

uint16_t boardIdOf(const uint8_t *packet);
uint16_t channelWordOf(const uint8_t *packet, int channel);
uint8_t portInputsOf(const uint8_t *packet, int port);  // port 0 P9, 1 PA, 2 PB

// Only bytes 0..2 (directions) and 0..3 (marker and outputs) are written;
// the rest of each 64-byte buffer stays as it is (zero).
void fillInitialDataPacket(uint8_t *buffer, uint8_t p9Direction, uint8_t paDirection, uint8_t pbDirection);
void fillControlDataPacket(uint8_t *buffer, uint8_t p9Output, uint8_t paOutput, uint8_t pbOutput);

// The direction and output bytes of a port as last sent.
uint8_t sentDirectionOf(const uint8_t *initialPacket, int port);
uint8_t sentOutputOf(const uint8_t *controlPacket, int port);
