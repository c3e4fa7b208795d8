#include "sim_library.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uintptr_t kBoardHandleBase = 0x5100;
constexpr std::uintptr_t kBoardHandleStep = 4;

std::string boardText(int board)
{
    return std::to_string(board);
}

}  // namespace

std::uintptr_t boardHandleOf(int board)
{
    return kBoardHandleBase + kBoardHandleStep * static_cast<std::uintptr_t>(board);
}

int boardIndexOf(std::uintptr_t handle, size_t boardCount)
{
    if (handle < kBoardHandleBase || (handle - kBoardHandleBase) % kBoardHandleStep != 0)
        return -1;
    const std::uintptr_t index = (handle - kBoardHandleBase) / kBoardHandleStep;
    return index < boardCount ? static_cast<int>(index) : -1;
}

std::string writtenLine(const WrittenRecord &record)
{
    static const char digits[] = "0123456789abcdef";
    std::string line = std::to_string(record.pipe) + " " + std::to_string(record.board) + " ";
    for (uint8_t byte : record.bytes) {
        line += digits[byte >> 4];
        line += digits[byte & 0xF];
    }
    return line;
}

SimLibrary::SimLibrary(const std::vector<BoardConfig> &configs)
{
    reconfigure(configs);
}

bool SimLibrary::reconfigure(const std::vector<BoardConfig> &configs)
{
    if (std::any_of(boards_.begin(), boards_.end(), [](const SimBoard &b) { return b.open; }))
        return false;
    boards_.clear();
    for (const BoardConfig &config : configs) {
        SimBoard board;
        board.model.config = config;
        board.model.noiseState = 12345u + static_cast<uint32_t>(boards_.size());
        boards_.push_back(board);
    }
    return true;
}

void SimLibrary::note(const std::string &line)
{
    calls_.push_back(line);
    if (onCall)
        onCall(line);
}

int SimLibrary::openBoard()
{
    int offered = -1;
    for (size_t i = 0; i < boards_.size(); ++i) {
        SimBoard &board = boards_[i];
        if (board.attached && !board.open) {
            board.open = true;
            board.broken = false;
            std::fill(std::begin(board.pipeOpen), std::end(board.pipeOpen), false);
            offered = static_cast<int>(i);
            break;
        }
    }
    note("open " + boardText(offered));
    return offered;
}

bool SimLibrary::closeBoard(int board)
{
    if (!validBoard(board)) {
        note("close -1");
        return false;
    }
    note("close " + boardText(board));
    SimBoard &b = boards_[board];
    const bool wasOpen = b.open;
    b.open = false;
    b.broken = false;
    std::fill(std::begin(b.pipeOpen), std::end(b.pipeOpen), false);
    return wasOpen;
}

bool SimLibrary::openPipe(int board, int pipe)
{
    bool ok = false;
    if (validBoard(board) && pipe >= 1 && pipe <= 3) {
        SimBoard &b = boards_[board];
        ok = b.open && b.attached && !b.broken && b.model.config.failPipe != pipe;
        if (ok)
            b.pipeOpen[pipe] = true;
    }
    note("pipe " + boardText(validBoard(board) ? board : -1) + " " + std::to_string(pipe) + (ok ? " ok" : " fail"));
    return ok;
}

int SimLibrary::status(int board)
{
    int result = 1;
    if (validBoard(board)) {
        const SimBoard &b = boards_[board];
        result = (!b.attached || b.broken) ? 1 : b.model.config.status;
    }
    note("status " + boardText(validBoard(board) ? board : -1) + " " + std::to_string(result));
    return result;
}

void SimLibrary::resetPipe(int board, int pipe)
{
    if (!validBoard(board) || pipe < 1 || pipe > 3) {
        note("reset -1 -1");
        return;
    }
    note("reset " + boardText(board) + " " + std::to_string(pipe));
}

bool SimLibrary::readDescriptor(int board, uint8_t *buffer, uint32_t length)
{
    bool ok = false;
    if (validBoard(board) && buffer != nullptr) {
        const SimBoard &b = boards_[board];
        ok = b.open && b.attached && b.model.config.descriptor != DescriptorVariant::ReadFail;
        if (ok) {
            const std::vector<uint8_t> set = buildDescriptorSet(b.model.config);
            const size_t copied = std::min<size_t>(length, set.size());
            std::memcpy(buffer, set.data(), copied);
            std::memset(buffer + copied, 0, length - copied);
        }
    }
    note("descriptor " + boardText(validBoard(board) ? board : -1) + " " + std::to_string(length) + (ok ? " ok" : " fail"));
    return ok;
}

ReadOutcome SimLibrary::readPacket(int board, uint64_t timeMs, uint8_t *packet, int &length)
{
    length = 0;
    if (!validBoard(board))
        return ReadOutcome::Broken;
    SimBoard &b = boards_[board];
    if (!b.open || !b.attached || b.broken || !b.pipeOpen[2])
        return ReadOutcome::Broken;
    if (b.failNextRead) {
        b.failNextRead = false;
        return ReadOutcome::Empty;
    }
    length = makeDataPacket(b.model, timeMs, packet);
    return ReadOutcome::Packet;
}

bool SimLibrary::writePacket(int board, int pipe, const uint8_t *bytes, uint32_t length)
{
    if (!validBoard(board) || (pipe != 1 && pipe != 3))
        return false;
    SimBoard &b = boards_[board];
    if (!b.open || !b.attached || b.broken || !b.pipeOpen[pipe])
        return false;
    if (b.failNextWrite[pipe]) {
        b.failNextWrite[pipe] = false;
        return false;
    }
    WrittenRecord record;
    record.pipe = pipe;
    record.board = board;
    std::memcpy(record.bytes.data(), bytes, std::min<size_t>(length, record.bytes.size()));
    written_.push_back(record);
    if (onWritten)
        onWritten(record);
    applyWrittenPacket(b.model, pipe, bytes, length);
    return true;
}

bool SimLibrary::applyCommand(const std::string &line)
{
    const std::vector<std::string> words = splitWords(line);
    long long index = -1;
    bool ok = words.size() >= 2 && parseNumber(words[1], index) && validBoard(static_cast<int>(index)) &&
              index < static_cast<long long>(boards_.size());
    if (ok) {
        SimBoard &b = boards_[static_cast<size_t>(index)];
        const std::string &verb = words[0];
        long long value = 0;
        if (verb == "channel")
            ok = applyChannelStatement(b.model.config, words, 2);
        else if (verb == "inputs")
            ok = applyInputsStatement(b.model.config, words, 2);
        else if (verb == "loop")
            ok = applyLoopStatement(b.model.config, words, 2);
        else if (verb == "remove" && words.size() == 2) {
            b.attached = false;
            b.broken = b.open;
        } else if (verb == "attach" && words.size() == 2)
            b.attached = true;
        else if (verb == "fail-read" && words.size() == 2)
            b.failNextRead = true;
        else if (verb == "fail-write" && words.size() == 3 && parseNumber(words[2], value) && (value == 1 || value == 3))
            b.failNextWrite[value] = true;
        else if (verb == "read-delay-us" && words.size() == 3 && parseNumber(words[2], value) && value >= 0 &&
                 value <= kMaxReadDelayUs)
            b.model.config.readDelayUs = static_cast<uint32_t>(value);
        else if (verb == "status" && words.size() == 3 && parseNumber(words[2], value) && value >= -0x7FFFFFFF &&
                 value <= 0x7FFFFFFF)
            b.model.config.status = static_cast<int>(value);
        else
            ok = false;
    }
    std::string text = line;
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    note((ok ? "command " : "bad-command ") + text);
    return ok;
}
