#include "sim_control.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "wait.h"

namespace {

int folderCounter = 0;

std::vector<std::string> readLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (in.eof())  // still being written: read next time
            break;
        lines.push_back(line);
    }
    return lines;
}

// One line of written.txt: "<pipe> <board> <128 hex digits>".
bool parseWrittenLine(const std::string &line, WrittenPacket &packet)
{
    std::istringstream in(line);
    std::string hex;
    if (!(in >> packet.pipe >> packet.board >> hex) || hex.size() != 2 * packet.bytes.size())
        return false;
    for (size_t i = 0; i < packet.bytes.size(); ++i) {
        char *end = nullptr;
        const std::string digits = hex.substr(2 * i, 2);
        packet.bytes[i] = static_cast<uint8_t>(std::strtoul(digits.c_str(), &end, 16));
        if (*end != '\0')
            return false;
    }
    return true;
}

}  // namespace

SimControl::SimControl()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    do {
        folder_ = std::string(temp) + "pv_sim_" + std::to_string(GetCurrentProcessId()) + "_" +
                  std::to_string(folderCounter++);
    } while (!CreateDirectoryA(folder_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    std::ofstream(folder_ + "\\commands.txt", std::ios::binary);
}

SimControl::~SimControl()
{
    for (const char *name : {"commands.txt", "written.txt", "calls.txt", "uusbd_sim.ini"})
        DeleteFileA((folder_ + "\\" + name).c_str());
    RemoveDirectoryA(folder_.c_str());
}

std::string SimControl::configPath() const
{
    return folder_ + "\\uusbd_sim.ini";
}

void SimControl::writeConfig(const std::string &text)
{
    std::ofstream(configPath(), std::ios::binary | std::ios::trunc) << text;
    haveConfig_ = true;
}

void SimControl::command(const std::string &line)
{
    std::ofstream(folder_ + "\\commands.txt", std::ios::binary | std::ios::app) << line << "\n";
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
    std::vector<WrittenPacket> packets;
    for (const std::string &line : readLines(folder_ + "\\written.txt")) {
        WrittenPacket packet;
        if (parseWrittenLine(line, packet))
            packets.push_back(packet);
    }
    return packets;
}

std::vector<std::string> SimControl::calls() const
{
    return readLines(folder_ + "\\calls.txt");
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

std::vector<std::pair<std::string, std::string>> SimControl::environment() const
{
    std::vector<std::pair<std::string, std::string>> variables{{"UUSBD_SIM_CONTROL", folder_}};
    if (haveConfig_)
        variables.emplace_back("UUSBD_SIM_CONFIG", configPath());
    return variables;
}

void SimControl::applyEnvironment() const
{
    SetEnvironmentVariableA("UUSBD_SIM_CONFIG", nullptr);
    for (const auto &variable : environment())
        SetEnvironmentVariableA(variable.first.c_str(), variable.second.c_str());
}
