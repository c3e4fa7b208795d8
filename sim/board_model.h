// One simulated board: its descriptor set, the packets it sends and what it
// does with the packets it receives.
#pragma once
#include <cstdint>
#include <vector>

#include "sim_config.h"

struct BoardModel {
    BoardConfig config;
    uint8_t directions[3] = {0, 0, 0};  // last direction packet (P9, PA, PB)
    uint8_t outputs[3] = {0, 0, 0};     // last output packet
    uint16_t sequence = 0;              // bytes 0-1 of each DataPacket
    uint32_t noiseState = 12345;
};

// The configuration descriptor set as the board reports it (its real length;
// wTotalLength in it may say otherwise for the malformed variants).
std::vector<uint8_t> buildDescriptorSet(const BoardConfig &config);

// The channel value (0..2047) of a signal at a time; noise draws from `state`.
int signalValue(const ChannelSignal &signal, uint64_t timeMs, uint32_t &state);
uint16_t signalWord(const ChannelSignal &signal, uint64_t timeMs, uint32_t &state);

// The input levels the board reports, loopbacks applied.
void boardInputs(const BoardModel &board, uint8_t inputs[3]);

// Fills `packet` (64 bytes) with the next DataPacket; returns its length.
int makeDataPacket(BoardModel &board, uint64_t timeMs, uint8_t *packet);

// A packet written to pipe 1 (directions) or pipe 3 (marker and outputs).
void applyWrittenPacket(BoardModel &board, int pipe, const uint8_t *bytes, uint32_t length);
