// The simulated driver library: the boards it offers, what each ordinal does
// with them, the run-time commands and the record of calls and packets.
// Boards are addressed by their index in the configuration; the adapters
// (the DLL and the in-process SimDriver) turn indexes into handles.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board_model.h"

struct WrittenRecord {
    int pipe = 0;
    int board = 0;
    std::array<uint8_t, 64> bytes{};
};

enum class ReadOutcome { Packet, Empty, Broken };

struct SimBoard {
    BoardModel model;
    bool attached = true;
    bool open = false;
    bool broken = false;  // removed while open: its pipes stay dead until closed
    bool pipeOpen[4] = {false, false, false, false};
    bool failNextRead = false;
    bool failNextWrite[4] = {false, false, false, false};
};

// Board handles are small values that are neither 0 nor INVALID_HANDLE_VALUE.
std::uintptr_t boardHandleOf(int board);
int boardIndexOf(std::uintptr_t handle, size_t boardCount);

// One line of written.txt: "<pipe> <board> <128 hex digits>".
std::string writtenLine(const WrittenRecord &record);

class SimLibrary {
public:
    SimLibrary() = default;
    explicit SimLibrary(const std::vector<BoardConfig> &configs);
    // Replaces the boards; refused (false) while one is open.
    bool reconfigure(const std::vector<BoardConfig> &configs);

    // The ordinals, by board index (-1: none or unknown).
    int openBoard();
    bool closeBoard(int board);
    bool openPipe(int board, int pipe);
    int status(int board);
    void resetPipe(int board, int pipe);
    bool readDescriptor(int board, uint8_t *buffer, uint32_t length);

    // Traffic on the pipes.
    ReadOutcome readPacket(int board, uint64_t timeMs, uint8_t *packet, int &length);
    bool writePacket(int board, int pipe, const uint8_t *bytes, uint32_t length);

    // One control command (sim/README.md); acknowledged in the call record.
    bool applyCommand(const std::string &line);

    size_t boardCount() const { return boards_.size(); }
    SimBoard &board(int index) { return boards_[static_cast<size_t>(index)]; }
    bool validBoard(int index) const { return index >= 0 && static_cast<size_t>(index) < boards_.size(); }

    const std::vector<std::string> &calls() const { return calls_; }
    const std::vector<WrittenRecord> &written() const { return written_; }
    void note(const std::string &line);

    // Observers of the two records (the DLL appends them to its files).
    std::function<void(const std::string &)> onCall;
    std::function<void(const WrittenRecord &)> onWritten;

private:
    std::vector<SimBoard> boards_;
    std::vector<std::string> calls_;
    std::vector<WrittenRecord> written_;
};
