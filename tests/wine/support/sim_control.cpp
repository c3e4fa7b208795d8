#include "sim_control.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text.h"
#include "wait.h"

SimControl::SimControl()
{
    folder_.writeFile("commands.txt", "");
}

void SimControl::writeConfig(const std::string &text)
{
    folder_.writeFile("uusbd_sim.ini", text);
}

void SimControl::command(const std::string &line)
{
    std::ofstream(std::filesystem::path(folder_.filePath("commands.txt")), std::ios::binary | std::ios::app)
        << line << "\n";
}

bool SimControl::commandAndWait(const std::string &line, unsigned timeoutMs)
{
    // Each applied command is acknowledged as "command <line>"; earlier
    // acknowledgements of the same text are counted so a repeat is waited for.
    const std::string ack = "command " + line;
    const auto acks = [&] {
        const std::vector<std::string> all = calls();
        return std::count(all.begin(), all.end(), ack);
    };
    const auto before = acks();
    command(line);
    return waitUntil([&] { return acks() > before; }, timeoutMs);
}

std::vector<WrittenPacket> SimControl::writtenPackets() const
{
    // One line per packet: "<pipe> <board> <128 hex digits>".
    std::vector<WrittenPacket> packets;
    for (const std::string &line : linesOf(folder_.readFile("written.txt").value_or(""))) {
        WrittenPacket packet;
        std::string hex;
        if (!(std::istringstream(line) >> packet.pipe >> packet.board >> hex) || hex.size() != 2 * packet.bytes.size())
            continue;
        for (size_t i = 0; i < packet.bytes.size(); ++i)
            packet.bytes[i] = static_cast<uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
        packets.push_back(packet);
    }
    return packets;
}

std::vector<std::string> SimControl::calls() const
{
    return linesOf(folder_.readFile("calls.txt").value_or(""));
}

int SimControl::openAttempts() const
{
    const std::vector<std::string> all = calls();
    return static_cast<int>(
        std::count_if(all.begin(), all.end(), [](const std::string &call) { return call.rfind("open ", 0) == 0; }));
}

bool SimControl::waitForWrittenPackets(size_t count) const
{
    return waitUntil([&] { return writtenPackets().size() >= count; }, 5000);
}

bool SimControl::waitForCall(const std::string &line) const
{
    return waitUntil([&] {
        const std::vector<std::string> all = calls();
        return std::find(all.begin(), all.end(), line) != all.end();
    }, 5000);
}

void SimControl::applyEnvironment() const
{
    SetEnvironmentVariableW(L"UUSBD_SIM_CONTROL", folder_.path().c_str());
    SetEnvironmentVariableW(L"UUSBD_SIM_CONFIG", folder_.filePath("uusbd_sim.ini").c_str());
}
