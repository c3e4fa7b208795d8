#include "sim_config.h"

#include <algorithm>
#include <sstream>

namespace {

struct NamedWave { const char *name; Wave wave; };
const NamedWave kWaves[] = {
    {"constant", Wave::Constant}, {"sine", Wave::Sine}, {"square", Wave::Square},
    {"ramp", Wave::Ramp}, {"noise", Wave::Noise},
};

struct NamedVariant { const char *name; DescriptorVariant variant; };
const NamedVariant kVariants[] = {
    {"normal", DescriptorVariant::Normal}, {"no-endpoint", DescriptorVariant::NoEndpoint},
    {"zero-length", DescriptorVariant::ZeroLength}, {"overrun", DescriptorVariant::Overrun},
    {"short-total", DescriptorVariant::ShortTotal}, {"huge-total", DescriptorVariant::HugeTotal},
    {"alternate", DescriptorVariant::Alternate}, {"big-packet", DescriptorVariant::BigPacket},
    {"read-fail", DescriptorVariant::ReadFail},
};

int portNumber(const std::string &name)
{
    if (name == "p9")
        return kP9;
    if (name == "pa")
        return kPA;
    if (name == "pb")
        return kPB;
    return -1;
}

// "key=value" with a number in [low, high].
bool parseOption(const std::string &word, std::string &key, long long &value, long long low, long long high)
{
    const size_t equals = word.find('=');
    if (equals == std::string::npos)
        return false;
    key = word.substr(0, equals);
    return parseNumber(word.substr(equals + 1), value) && value >= low && value <= high;
}

bool parseBoardLine(const std::vector<std::string> &words, BoardConfig &board)
{
    long long id = 0;
    if (words.size() < 2 || !parseNumber(words[1], id) || id < 0 || id > 0xFFFF)
        return false;
    board.id = static_cast<uint16_t>(id);
    bool maxPacketGiven = false;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string &word = words[i];
        if (word.compare(0, 11, "descriptor=") == 0) {
            const std::string name = word.substr(11);
            const auto found = std::find_if(std::begin(kVariants), std::end(kVariants),
                                            [&](const NamedVariant &v) { return name == v.name; });
            if (found == std::end(kVariants))
                return false;
            board.descriptor = found->variant;
            continue;
        }
        std::string key;
        long long value = 0;
        if (!parseOption(word, key, value, -0x7FFFFFFFLL, 0x7FFFFFFFLL))
            return false;
        if (key == "status") {
            board.status = static_cast<int>(value);
        } else if (key == "maxpacket" && value >= 0 && value <= 0xFFFF) {
            board.maxPacket = static_cast<uint16_t>(value);
            maxPacketGiven = true;
        } else if (key == "packet" && value >= 1 && value <= 64) {
            board.packetLength = static_cast<int>(value);
        } else if (key == "failpipe" && value >= 0 && value <= 3) {
            board.failPipe = static_cast<int>(value);
        } else if (key == "read-delay-us" && value >= 0 && value <= kMaxReadDelayUs) {
            board.readDelayUs = static_cast<uint32_t>(value);
        } else {
            return false;
        }
    }
    if (board.descriptor == DescriptorVariant::BigPacket && !maxPacketGiven)
        board.maxPacket = 512;
    return true;
}

}  // namespace

std::vector<std::string> splitWords(const std::string &line)
{
    std::vector<std::string> words;
    std::istringstream in(line.substr(0, line.find('#')));
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

bool parseNumber(const std::string &text, long long &value)
{
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    int base = 10;
    if (text.size() > i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size() || text.size() - i > 12)
        return false;
    long long result = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * base + digit;
    }
    value = negative ? -result : result;
    return true;
}

bool applyChannelStatement(BoardConfig &board, const std::vector<std::string> &words, size_t first)
{
    long long channel = 0;
    if (words.size() < first + 2 || !parseNumber(words[first], channel) || channel < 0 || channel > 7)
        return false;
    ChannelSignal signal;
    const std::string &waveName = words[first + 1];
    if (waveName == "raw") {
        long long word = 0;
        if (words.size() != first + 3 || !parseNumber(words[first + 2], word) || word < 0 || word > 0xFFFF)
            return false;
        signal.wave = Wave::Raw;
        signal.rawWord = static_cast<uint16_t>(word);
    } else {
        const auto found = std::find_if(std::begin(kWaves), std::end(kWaves),
                                        [&](const NamedWave &w) { return waveName == w.name; });
        if (found == std::end(kWaves))
            return false;
        signal.wave = found->wave;
        for (size_t i = first + 2; i < words.size(); ++i) {
            std::string key;
            long long value = 0;
            if (!parseOption(words[i], key, value, -1000000, 1000000000))
                return false;
            if (key == "amplitude")
                signal.amplitude = static_cast<double>(value);
            else if (key == "offset")
                signal.offset = static_cast<double>(value);
            else if (key == "period" && value >= 1)
                signal.periodMs = static_cast<uint32_t>(value);
            else
                return false;
        }
    }
    board.channels[channel] = signal;
    return true;
}

bool applyInputsStatement(BoardConfig &board, const std::vector<std::string> &words, size_t first)
{
    uint8_t inputs[3] = {board.inputs[0], board.inputs[1], board.inputs[2]};
    for (size_t i = first; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        long long value = 0;
        if (equals == std::string::npos || !parseNumber(words[i].substr(equals + 1), value) || value < 0 || value > 0xFF)
            return false;
        const int port = portNumber(words[i].substr(0, equals));
        if (port < 0)
            return false;
        inputs[port] = static_cast<uint8_t>(value);
    }
    std::copy(inputs, inputs + 3, board.inputs);
    return true;
}

bool applyLoopStatement(BoardConfig &board, const std::vector<std::string> &words, size_t first)
{
    if (words.size() == first + 1 && words[first] == "off") {
        board.loops.clear();
        return true;
    }
    if (words.size() != first + 2)
        return false;
    const int from = portNumber(words[first]);
    const int to = portNumber(words[first + 1]);
    if (from < 0 || to < 0 || board.loops.size() >= 16)
        return false;
    board.loops.push_back(Loopback{from, to});
    return true;
}

int effectivePacketLength(const BoardConfig &board)
{
    if (board.packetLength > 0)
        return std::min(board.packetLength, 64);
    return std::max(1, std::min<int>(board.maxPacket, 64));
}

std::vector<BoardConfig> parseSimConfig(const std::string &text)
{
    std::vector<BoardConfig> boards;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> words = splitWords(line);
        if (words.empty())
            continue;
        if (words[0] == "board") {
            BoardConfig board;
            if (parseBoardLine(words, board) && boards.size() < 64)
                boards.push_back(board);
            continue;
        }
        if (boards.empty())
            continue;
        BoardConfig &board = boards.back();
        if (words[0] == "channel")
            applyChannelStatement(board, words, 1);
        else if (words[0] == "inputs")
            applyInputsStatement(board, words, 1);
        else if (words[0] == "loop")
            applyLoopStatement(board, words, 1);
    }
    return boards;
}

std::vector<BoardConfig> defaultSimConfig()
{
    return parseSimConfig(
        "board 0\n"
        "channel 0 sine amplitude=800 offset=1024 period=4000\n"
        "channel 1 square amplitude=600 offset=1024 period=2000\n"
        "channel 2 ramp amplitude=1000 offset=1024 period=5000\n"
        "channel 3 noise amplitude=100 offset=500\n"
        "channel 4 sine amplitude=300 offset=1500 period=1500\n"
        "channel 5 constant offset=1234\n"
        "channel 6 ramp amplitude=500 offset=600 period=3000\n"
        "channel 7 square amplitude=900 offset=1000 period=6000\n"
        "inputs p9=0x15 pa=0x00 pb=0x0F\n"
        "loop pa pb\n");
}
