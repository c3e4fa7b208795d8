// Drives the simulated uusbd.dll from a test under Wine: a fresh control
// folder, the board configuration, commands, and the records of packets
// written and library calls.  Formats: sim/README.md.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "work_folder.h"

struct WrittenPacket {
    int pipe = 0;   // 1 (directions) or 3 (outputs)
    int board = 0;  // index of the board in the configuration
    std::array<uint8_t, 64> bytes{};
};

class SimControl {
public:
    SimControl();  // a fresh control folder with an empty commands.txt

    void writeConfig(const std::string &text);  // the board configuration
    void command(const std::string &line);      // appended to commands.txt
    // Appends a command and waits until the simulator acknowledges it.
    bool commandAndWait(const std::string &line, unsigned timeoutMs = 3000);

    std::vector<WrittenPacket> writtenPackets() const;
    std::vector<std::string> calls() const;  // every line of calls.txt
    int openAttempts() const;                // "open ..." calls, whatever their result

    bool waitForWrittenPackets(size_t count) const;
    bool waitForCall(const std::string &line) const;

    // Sets UUSBD_SIM_CONTROL and UUSBD_SIM_CONFIG in this process, for a
    // simulator loaded into it and for the programs it starts.
    void applyEnvironment() const;

private:
    WorkFolder folder_;
};
