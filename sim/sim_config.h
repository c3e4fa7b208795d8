// The simulator's board configuration and its text form (sim/README.md).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class Wave { Constant, Sine, Square, Ramp, Noise, Raw };

struct ChannelSignal {
    Wave wave = Wave::Constant;
    double amplitude = 0;
    double offset = 0;
    uint32_t periodMs = 1000;
    uint16_t rawWord = 0;
};

enum class DescriptorVariant {
    Normal, NoEndpoint, ZeroLength, Overrun, ShortTotal, HugeTotal, Alternate, BigPacket, ReadFail,
};

enum SimPort { kP9 = 0, kPA = 1, kPB = 2 };

struct Loopback {
    int from = kPA;
    int to = kPB;
};

struct BoardConfig {
    uint16_t id = 0;
    int status = 0;
    uint16_t maxPacket = 64;
    int packetLength = 0;  // 0: min(maxPacket, 64)
    int failPipe = 0;      // 1..3: opening that pipe always fails
    uint32_t readDelayUs = 0;  // the next DataPacket is made this long after a read
    DescriptorVariant descriptor = DescriptorVariant::Normal;
    ChannelSignal channels[8];
    uint8_t inputs[3] = {0, 0, 0};
    std::vector<Loopback> loops;
};

constexpr long long kMaxReadDelayUs = 10000000;  // 10 s

// Parses the whole configuration text; unparsable lines are skipped.
std::vector<BoardConfig> parseSimConfig(const std::string &text);
// The configuration used when there is no file: one lively board with ID 0.
std::vector<BoardConfig> defaultSimConfig();

// Splits a line at blanks, dropping a '#' comment.
std::vector<std::string> splitWords(const std::string &line);
// Decimal or 0x hexadecimal, optionally negative; false for anything else.
bool parseNumber(const std::string &text, long long &value);
// "channel", "inputs" and "loop" statements on one board, words[first] being
// the first word after the keyword.  False when malformed (board unchanged).
bool applyChannelStatement(BoardConfig &board, const std::vector<std::string> &words, size_t first);
bool applyInputsStatement(BoardConfig &board, const std::vector<std::string> &words, size_t first);
bool applyLoopStatement(BoardConfig &board, const std::vector<std::string> &words, size_t first);
// The packet length a board sends: 1..64.
int effectivePacketLength(const BoardConfig &board);
