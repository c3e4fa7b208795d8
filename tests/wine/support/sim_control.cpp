#include "sim_control.h"

#include <cstdio>
#include <fstream>
#include <sstream>

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
        // A line still being written has no newline yet; it is read next time.
        if (in.eof())
            break;
        lines.push_back(line);
    }
    return lines;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

template <typename Predicate>
bool waitUntil(DWORD timeoutMs, Predicate done)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(5);
    }
}

}  // namespace

bool parseWrittenLine(const std::string &line, WrittenPacket &packet)
{
    std::istringstream in(line);
    std::string hex;
    if (!(in >> packet.pipe >> packet.board >> hex) || hex.size() != 2 * packet.bytes.size())
        return false;
    for (size_t i = 0; i < packet.bytes.size(); ++i) {
        const int high = hexDigit(hex[2 * i]);
        const int low = hexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        packet.bytes[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return true;
}

SimControl::SimControl()
{
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string base = (length > 0 && length < MAX_PATH) ? std::string(temp) : std::string(".\\");
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    for (;;) {
        folder_ = base + "pv_sim_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(folderCounter++);
        if (CreateDirectoryA(folder_.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
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
    std::ofstream out(configPath(), std::ios::binary | std::ios::trunc);
    out << text;
    haveConfig_ = true;
}

void SimControl::command(const std::string &line)
{
    std::ofstream out(folder_ + "\\commands.txt", std::ios::binary | std::ios::app);
    out << line << "\n";
}

bool SimControl::commandAndWait(const std::string &line, DWORD timeoutMs)
{
    // The simulator acknowledges each command it applied with "command <line>";
    // count earlier acknowledgements of the same text so a repeat is waited for.
    const std::string ack = "command " + line;
    size_t before = 0;
    for (const std::string &call : calls())
        before += (call == ack);
    command(line);
    return waitUntil(timeoutMs, [&] {
        size_t now = 0;
        for (const std::string &call : calls())
            now += (call == ack);
        return now > before;
    });
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
    int count = 0;
    for (const std::string &line : calls())
        count += (line.compare(0, 5, "open ") == 0);
    return count;
}

bool SimControl::waitForWrittenPackets(size_t count, DWORD timeoutMs) const
{
    return waitUntil(timeoutMs, [&] { return writtenPackets().size() >= count; });
}

bool SimControl::waitForOpenAttempts(int count, DWORD timeoutMs) const
{
    return waitUntil(timeoutMs, [&] { return openAttempts() >= count; });
}

bool SimControl::waitForCall(const std::string &line, DWORD timeoutMs) const
{
    return waitUntil(timeoutMs, [&] {
        for (const std::string &call : calls())
            if (call == line)
                return true;
        return false;
    });
}

std::vector<std::pair<std::string, std::string>> SimControl::environment() const
{
    std::vector<std::pair<std::string, std::string>> variables;
    variables.emplace_back("UUSBD_SIM_CONTROL", folder_);
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
