// Drives the simulated uusbd.dll from a test under Wine: a fresh control
// folder, the board configuration, run-time commands and the simulator's
// records of packets written and library calls.  Formats: sim/README.md.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct WrittenPacket {
    int pipe = 0;   // 1 (directions) or 3 (outputs)
    int board = 0;  // index of the board in the configuration
    std::array<uint8_t, 64> bytes{};
};

class SimControl {
public:
    // Creates a fresh, empty control folder under the temporary folder.
    SimControl();
    // Deletes the folder's files again.
    ~SimControl();
    SimControl(const SimControl &) = delete;
    SimControl &operator=(const SimControl &) = delete;

    const std::string &folder() const { return folder_; }  // Windows path
    std::string configPath() const;                        // folder\uusbd_sim.ini

    // Writes the board configuration; from then on environment() names it.
    void writeConfig(const std::string &text);

    // Appends one command line to commands.txt (the simulator polls it).
    void command(const std::string &line);
    // Appends the command and waits until the simulator reports it applied.
    bool commandAndWait(const std::string &line, DWORD timeoutMs = 3000);

    std::vector<WrittenPacket> writtenPackets() const;
    // Every line of calls.txt.
    std::vector<std::string> calls() const;
    // Number of ordinal-1 calls (board open attempts), whatever their result.
    int openAttempts() const;

    bool waitForWrittenPackets(size_t count, DWORD timeoutMs = 5000) const;
    bool waitForOpenAttempts(int count, DWORD timeoutMs = 5000) const;
    // Waits for a line of calls.txt equal to `line`.
    bool waitForCall(const std::string &line, DWORD timeoutMs = 5000) const;

    // UUSBD_SIM_CONTROL (always) and UUSBD_SIM_CONFIG (after writeConfig).
    std::vector<std::pair<std::string, std::string>> environment() const;
    // Sets them in this process, so that programs started from now on (and
    // a simulator loaded into this process) see them.
    void applyEnvironment() const;

private:
    std::string folder_;
    bool haveConfig_ = false;
};

// Parses one line of written.txt; false for a malformed line.
bool parseWrittenLine(const std::string &line, WrittenPacket &packet);
