#include "board_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;

void put16(std::vector<uint8_t> &bytes, size_t offset, uint16_t value)
{
    bytes[offset] = static_cast<uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void addConfiguration(std::vector<uint8_t> &bytes, uint8_t interfaces)
{
    const uint8_t descriptor[9] = {9, 2, 0, 0, interfaces, 1, 0, 0x80, 50};
    bytes.insert(bytes.end(), descriptor, descriptor + 9);
}

void addInterface(std::vector<uint8_t> &bytes, uint8_t number, uint8_t alternate, uint8_t endpoints)
{
    const uint8_t descriptor[9] = {9, 4, number, alternate, endpoints, 0xFF, 0, 0, 0};
    bytes.insert(bytes.end(), descriptor, descriptor + 9);
}

void addEndpoint(std::vector<uint8_t> &bytes, uint8_t address, uint16_t maxPacket)
{
    const uint8_t descriptor[7] = {7, 5, address, 2, static_cast<uint8_t>(maxPacket & 0xFF),
                                   static_cast<uint8_t>(maxPacket >> 8), 0};
    bytes.insert(bytes.end(), descriptor, descriptor + 7);
}

void addNormalInterface(std::vector<uint8_t> &bytes, uint16_t maxPacket)
{
    addInterface(bytes, 0, 0, 3);
    addEndpoint(bytes, 0x82, maxPacket);
    addEndpoint(bytes, 0x01, 64);
    addEndpoint(bytes, 0x03, 64);
}

uint32_t nextRandom(uint32_t &state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

}  // namespace

std::vector<uint8_t> buildDescriptorSet(const BoardConfig &config)
{
    std::vector<uint8_t> bytes;
    uint16_t totalLength = 0;  // 0: the real length
    switch (config.descriptor) {
    case DescriptorVariant::Normal:
    case DescriptorVariant::BigPacket:
    case DescriptorVariant::ReadFail:
        addConfiguration(bytes, 1);
        addNormalInterface(bytes, config.maxPacket);
        break;
    case DescriptorVariant::NoEndpoint:
        addConfiguration(bytes, 2);
        addInterface(bytes, 0, 0, 0);
        addInterface(bytes, 1, 0, 1);
        addEndpoint(bytes, 0x82, config.maxPacket);
        break;
    case DescriptorVariant::ZeroLength:
        addConfiguration(bytes, 1);
        bytes.insert(bytes.end(), {0, 4, 0, 0, 3, 0xFF, 0, 0, 0});
        addEndpoint(bytes, 0x82, config.maxPacket);
        break;
    case DescriptorVariant::Overrun:
        addConfiguration(bytes, 1);
        addInterface(bytes, 0, 0, 1);
        addEndpoint(bytes, 0x82, config.maxPacket);
        totalLength = static_cast<uint16_t>(bytes.size() - 2);  // cuts the endpoint short
        break;
    case DescriptorVariant::ShortTotal:
        addConfiguration(bytes, 1);
        addNormalInterface(bytes, config.maxPacket);
        totalLength = 5;
        break;
    case DescriptorVariant::HugeTotal:
        addConfiguration(bytes, 1);
        addNormalInterface(bytes, config.maxPacket);
        totalLength = 0xFFFF;
        break;
    case DescriptorVariant::Alternate:
        addConfiguration(bytes, 2);
        addInterface(bytes, 1, 0, 1);
        addEndpoint(bytes, 0x84, 16);
        addInterface(bytes, 0, 0, 0);
        addInterface(bytes, 0, 1, 3);
        addEndpoint(bytes, 0x82, config.maxPacket);
        addEndpoint(bytes, 0x01, 64);
        addEndpoint(bytes, 0x03, 64);
        break;
    }
    put16(bytes, 2, totalLength != 0 ? totalLength : static_cast<uint16_t>(bytes.size()));
    return bytes;
}

int signalValue(const ChannelSignal &signal, uint64_t timeMs, uint32_t &state)
{
    const uint32_t period = std::max<uint32_t>(signal.periodMs, 1);
    const double phase = static_cast<double>(timeMs % period) / period;
    double value = signal.offset;
    switch (signal.wave) {
    case Wave::Constant:
    case Wave::Raw:
        break;
    case Wave::Sine:
        value += signal.amplitude * std::sin(2 * kPi * phase);
        break;
    case Wave::Square:
        value += phase < 0.5 ? signal.amplitude : -signal.amplitude;
        break;
    case Wave::Ramp:
        value += signal.amplitude * (2 * phase - 1);
        break;
    case Wave::Noise:
        value += signal.amplitude * (2.0 * (nextRandom(state) % 10001) / 10000.0 - 1);
        break;
    }
    return static_cast<int>(std::lround(std::clamp(value, 0.0, 2047.0)));
}

uint16_t signalWord(const ChannelSignal &signal, uint64_t timeMs, uint32_t &state)
{
    if (signal.wave == Wave::Raw)
        return signal.rawWord;
    return static_cast<uint16_t>(signalValue(signal, timeMs, state) << 5);
}

void boardInputs(const BoardModel &board, uint8_t inputs[3])
{
    std::copy(board.config.inputs, board.config.inputs + 3, inputs);
    for (const Loopback &loop : board.config.loops) {
        const uint8_t driven = board.directions[loop.from];
        inputs[loop.to] = static_cast<uint8_t>((inputs[loop.to] & ~driven) | (board.outputs[loop.from] & driven));
    }
}

int makeDataPacket(BoardModel &board, uint64_t timeMs, uint8_t *packet)
{
    std::memset(packet, 0, 64);
    ++board.sequence;
    packet[0] = static_cast<uint8_t>(board.sequence & 0xFF);
    packet[1] = static_cast<uint8_t>(board.sequence >> 8);
    packet[2] = static_cast<uint8_t>(board.config.id & 0xFF);
    packet[3] = static_cast<uint8_t>(board.config.id >> 8);
    for (int ch = 0; ch < 8; ++ch) {
        const uint16_t word = signalWord(board.config.channels[ch], timeMs, board.noiseState);
        packet[4 + 2 * ch] = static_cast<uint8_t>(word & 0xFF);
        packet[5 + 2 * ch] = static_cast<uint8_t>(word >> 8);
    }
    boardInputs(board, packet + 20);
    return effectivePacketLength(board.config);
}

void applyWrittenPacket(BoardModel &board, int pipe, const uint8_t *bytes, uint32_t length)
{
    if (pipe == 1 && length >= 3)
        std::copy(bytes, bytes + 3, board.directions);
    else if (pipe == 3 && length >= 4)
        std::copy(bytes + 1, bytes + 4, board.outputs);
}
