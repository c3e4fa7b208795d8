// The simulated uusbd.dll: the boards of SimLibrary behind the six ordinals,
// their pipes as message-mode named pipes, and the control folder.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim_library.h"

namespace {

constexpr DWORD kServicePeriodMs = 1;
constexpr DWORD kCommandPollMs = 5;
constexpr DWORD kPipeBufferSize = 4096;

// One pipe handed to the program: it holds the client end, we the server end.
struct PipeLink {
    int board = -1;
    int pipe = 0;
    HANDLE server = INVALID_HANDLE_VALUE;
    HANDLE client = INVALID_HANDLE_VALUE;     // the program's handle
    bool dead = false;                        // broken on purpose: removal or a failed write
    // Pipe 2 only: its feeder thread, woken by a pipe reset or by closing.
    HANDLE feeder = nullptr;
    HANDLE wake = nullptr;
    bool stopping = false;
    bool holdUntilReset = false;              // a 0-byte read was queued
};

HMODULE simModule = nullptr;
CRITICAL_SECTION lock;
bool started = false;
SimLibrary *library = nullptr;
std::vector<std::unique_ptr<PipeLink>> links;
std::string controlFolder;
LONGLONG commandOffset = 0;
unsigned pipeCounter = 0;
unsigned long long packetsQueued = 0;  // DataPackets handed to the program, for the stats command
std::map<std::pair<int, int>, HANDLE> protectedClients;  // (board, pipe): the program's handle

class Locked {
public:
    Locked() { EnterCriticalSection(&lock); }
    ~Locked() { LeaveCriticalSection(&lock); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;
};

std::string environmentVariable(const char *name)
{
    char buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return (length == 0 || length >= sizeof buffer) ? std::string() : std::string(buffer, length);
}

bool readWholeFile(const std::string &path, std::string &text)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    text.clear();
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0 && text.size() < (1u << 20))
        text.append(buffer, count);
    CloseHandle(file);
    return true;
}

void appendLine(const char *name, const std::string &line)
{
    if (controlFolder.empty())
        return;
    const std::string path = controlFolder + "\\" + name;
    const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// UUSBD_SIM_CONFIG; else uusbd_sim.ini beside this DLL; else the default.
// A named file that cannot be read configures no boards.
std::vector<BoardConfig> loadConfig()
{
    std::string text;
    const std::string named = environmentVariable("UUSBD_SIM_CONFIG");
    if (!named.empty())
        return readWholeFile(named, text) ? parseSimConfig(text) : std::vector<BoardConfig>();
    char modulePath[MAX_PATH];
    const DWORD length = GetModuleFileNameA(simModule, modulePath, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::string beside(modulePath, length);
        beside = beside.substr(0, beside.find_last_of("\\/") + 1) + "uusbd_sim.ini";
        if (readWholeFile(beside, text))
            return parseSimConfig(text);
    }
    return defaultSimConfig();
}

LONGLONG fileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<LONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

// Asks a link's feeder to end (under the lock): a write it is blocked in
// fails once the pipe is disconnected.
void stopLink(PipeLink &link)
{
    link.stopping = true;
    if (link.server != INVALID_HANDLE_VALUE)
        DisconnectNamedPipe(link.server);
    if (link.wake != nullptr)
        SetEvent(link.wake);
}

// Waits for the feeder (without the lock, which it may need to finish) and
// closes our handles.
void closeLinkHandles(PipeLink &link)
{
    if (link.feeder != nullptr) {
        WaitForSingleObject(link.feeder, INFINITE);
        CloseHandle(link.feeder);
    }
    if (link.wake != nullptr)
        CloseHandle(link.wake);
    if (link.server != INVALID_HANDLE_VALUE) {
        DisconnectNamedPipe(link.server);
        CloseHandle(link.server);
    }
    link.feeder = link.wake = nullptr;
    link.server = INVALID_HANDLE_VALUE;
}

// The program's end of the pipe fails from now on.
void breakLink(PipeLink &link)
{
    if (!link.dead && link.server != INVALID_HANDLE_VALUE)
        DisconnectNamedPipe(link.server);
    link.dead = true;
}

PipeLink *linkOfClient(HANDLE client)
{
    for (auto &link : links)
        if (link->client == client && client != INVALID_HANDLE_VALUE)
            return link.get();
    return nullptr;
}

// The feeder of pipe 2.  The pipe has no buffer, so each write blocks until
// the program has read it; the next packet is made right after that read
// and waits in its own write, so a read never waits for the simulator.  A
// 0-byte packet (a failed read) holds the feeder until the pipe is reset.
DWORD WINAPI feedReadPipe(LPVOID parameter)
{
    PipeLink &link = *static_cast<PipeLink *>(parameter);
    for (;;) {
        uint8_t packet[64];
        int length = 0;
        bool hold = false;
        DWORD delayMs = 0;
        {
            Locked locked;
            if (link.stopping || link.dead)
                return 0;
            hold = link.holdUntilReset;
            delayMs = (library->board(link.board).model.config.readDelayUs + 999) / 1000;
            if (!hold) {
                const ReadOutcome outcome = library->readPacket(link.board, GetTickCount64(), packet, length);
                if (outcome == ReadOutcome::Broken) {
                    breakLink(link);
                    return 0;
                }
                if (outcome == ReadOutcome::Empty) {
                    length = 0;
                    link.holdUntilReset = true;
                } else {
                    ++packetsQueued;
                }
            }
        }
        if (hold) {
            WaitForSingleObject(link.wake, INFINITE);
            continue;
        }
        DWORD written = 0;
        if (!WriteFile(link.server, packet, static_cast<DWORD>(length), &written, nullptr))
            return 0;  // disconnected: the board was removed or closed
        if (delayMs > 0)
            WaitForSingleObject(link.wake, delayMs);  // read-delay-us; a reset or closing cuts it short
    }
}

// Records and applies every message the program wrote to pipe 1 or 3.
void drainWritePipe(PipeLink &link)
{
    if (link.dead)
        return;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(link.server, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            return;
        uint8_t message[kPipeBufferSize];
        DWORD count = 0;
        if (!ReadFile(link.server, message, sizeof message, &count, nullptr) && GetLastError() != ERROR_MORE_DATA)
            return;
        library->writePacket(link.board, link.pipe, message, count);
    }
}

// protect-pipe / unprotect-pipe <board> <pipe>: while protected, the
// program's CloseHandle on its handle of that pipe fails; unprotected again,
// the handle is still open, as a value the system has handed to another
// object would be, so a program that closes the value a second time closes
// it.  check-pipe <board> <pipe> tells whether it is still open.
bool protectClientHandle(const std::vector<std::string> &words, bool protect)
{
    long long board = -1, pipe = 0;
    if (words.size() != 3 || !parseNumber(words[1], board) || !parseNumber(words[2], pipe))
        return false;
    for (auto &link : links)
        if (link->board == board && link->pipe == pipe && link->client != INVALID_HANDLE_VALUE) {
            protectedClients[{static_cast<int>(board), static_cast<int>(pipe)}] = link->client;
            return SetHandleInformation(link->client, HANDLE_FLAG_PROTECT_FROM_CLOSE,
                                        protect ? HANDLE_FLAG_PROTECT_FROM_CLOSE : 0) != FALSE;
        }
    return false;
}

bool checkClientHandle(const std::vector<std::string> &words)
{
    long long board = -1, pipe = 0;
    if (words.size() != 3 || !parseNumber(words[1], board) || !parseNumber(words[2], pipe))
        return false;
    const auto found = protectedClients.find({static_cast<int>(board), static_cast<int>(pipe)});
    if (found == protectedClients.end())
        return false;
    DWORD flags = 0;
    const bool open = GetHandleInformation(found->second, &flags) && GetFileType(found->second) == FILE_TYPE_PIPE;
    library->note("pipe " + words[1] + " " + words[2] + " handle " + (open ? "open" : "closed"));
    return true;
}

void applyCommandLine(const std::string &line)
{
    const std::vector<std::string> words = splitWords(line);
    const std::string verb = words.empty() ? std::string() : words[0];
    if (verb == "protect-pipe" || verb == "unprotect-pipe" || verb == "check-pipe") {
        const bool ok = verb == "check-pipe" ? checkClientHandle(words)
                                             : protectClientHandle(words, verb == "protect-pipe");
        library->note((ok ? "command " : "bad-command ") + line);
        return;
    }
    if (splitWords(line) == std::vector<std::string>{"reload"}) {
        library->reconfigure(loadConfig());
        library->note("command reload");
        return;
    }
    if (splitWords(line) == std::vector<std::string>{"stats"}) {
        library->note("stats packets " + std::to_string(packetsQueued));
        return;
    }
    if (!library->applyCommand(line))
        return;
    // Removal and failed writes break the program's pipes at once.
    for (auto &link : links) {
        SimBoard &board = library->board(link->board);
        if (board.broken)
            breakLink(*link);
        if (link->pipe != 2 && board.failNextWrite[link->pipe]) {
            board.failNextWrite[link->pipe] = false;
            breakLink(*link);
        }
    }
}

void pollCommands()
{
    if (controlFolder.empty())
        return;
    const std::string path = controlFolder + "\\commands.txt";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER position;
    position.QuadPart = commandOffset;
    std::string text;
    if (SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) {
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0)
            text.append(buffer, count);
    }
    CloseHandle(file);
    // Only complete lines; a line still being written is taken next time.
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!splitWords(line).empty())
            applyCommandLine(line);
    }
    commandOffset += static_cast<LONGLONG>(start);
}

DWORD WINAPI serviceThread(LPVOID)
{
    DWORD lastPoll = GetTickCount();
    for (;;) {
        {
            Locked locked;
            if (GetTickCount() - lastPoll >= kCommandPollMs) {
                pollCommands();
                lastPoll = GetTickCount();
            }
            for (auto &link : links)
                if (link->pipe != 2)
                    drainWritePipe(*link);
        }
        Sleep(kServicePeriodMs);
    }
}

// The control folder, and where its command file ends now: commands count
// from here on.
void findControlFolder()
{
    controlFolder = environmentVariable("UUSBD_SIM_CONTROL");
    while (!controlFolder.empty() && (controlFolder.back() == '\\' || controlFolder.back() == '/'))
        controlFolder.pop_back();
    if (!controlFolder.empty())
        commandOffset = fileSize(controlFolder + "\\commands.txt");
}

// Everything else starts with the first call into the library, outside
// DllMain.
void ensureStarted()
{
    if (started)
        return;
    started = true;
    if (controlFolder.empty())
        findControlFolder();  // named after the library was loaded
    library = new SimLibrary(loadConfig());
    library->onCall = [](const std::string &line) { appendLine("calls.txt", line); };
    library->onWritten = [](const WrittenRecord &record) { appendLine("written.txt", writtenLine(record)); };
    const HANDLE thread = CreateThread(nullptr, 0, serviceThread, nullptr, 0, nullptr);
    if (thread != nullptr)
        CloseHandle(thread);
}

int boardOf(HANDLE board)
{
    return boardIndexOf(reinterpret_cast<std::uintptr_t>(board), library->boardCount());
}

HANDLE createLink(int board, int pipe)
{
    const std::string name = "\\\\.\\pipe\\uusbd_sim_" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(++pipeCounter);
    const bool reading = (pipe == 2);
    auto link = std::make_unique<PipeLink>();
    link->board = board;
    link->pipe = pipe;
    const DWORD bufferSize = reading ? 0 : kPipeBufferSize;  // pipe 2: a write waits for its read
    link->server = CreateNamedPipeA(name.c_str(), reading ? PIPE_ACCESS_OUTBOUND : PIPE_ACCESS_INBOUND,
                                    PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, bufferSize,
                                    bufferSize, 0, nullptr);
    if (link->server == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    link->client = CreateFileA(name.c_str(), reading ? GENERIC_READ | FILE_WRITE_ATTRIBUTES : GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (link->client == INVALID_HANDLE_VALUE) {
        closeLinkHandles(*link);
        return INVALID_HANDLE_VALUE;
    }
    ConnectNamedPipe(link->server, nullptr);  // already connected: ERROR_PIPE_CONNECTED
    if (reading) {
        DWORD mode = PIPE_READMODE_MESSAGE;
        SetNamedPipeHandleState(link->client, &mode, nullptr, nullptr);
        link->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        link->feeder = CreateThread(nullptr, 0, feedReadPipe, link.get(), 0, nullptr);
    }
    const HANDLE client = link->client;
    links.push_back(std::move(link));
    return client;
}

}  // namespace

// The exports carry plain names (the .def file numbers them), also for the
// 32-bit stdcall functions, whose names would otherwise end in @<bytes>.
#if defined(__i386__)
#define SIM_EXPORT_NAME(name) __asm__("_" #name)
#else
#define SIM_EXPORT_NAME(name) __asm__(#name)
#endif

extern "C" {

HANDLE WINAPI simOpenBoard(int, int, int, int, int, int) SIM_EXPORT_NAME(simOpenBoard);
BOOL WINAPI simCloseBoard(HANDLE board) SIM_EXPORT_NAME(simCloseBoard);
HANDLE WINAPI simOpenPipe(HANDLE board, int, int pipeNumber) SIM_EXPORT_NAME(simOpenPipe);
int WINAPI simBoardStatus(HANDLE board) SIM_EXPORT_NAME(simBoardStatus);
BOOL WINAPI simResetPipe(HANDLE pipe) SIM_EXPORT_NAME(simResetPipe);
BOOL WINAPI simReadDescriptor(HANDLE board, void *buffer, DWORD length) SIM_EXPORT_NAME(simReadDescriptor);

HANDLE WINAPI simOpenBoard(int, int, int, int, int, int)
{
    Locked locked;
    ensureStarted();
    const int board = library->openBoard();
    return board < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(boardHandleOf(board));
}

BOOL WINAPI simCloseBoard(HANDLE board)
{
    std::vector<std::unique_ptr<PipeLink>> closing;
    int index = -1;
    {
        Locked locked;
        ensureStarted();
        index = boardOf(board);
        for (auto it = links.begin(); it != links.end();) {
            if ((*it)->board == index && index >= 0) {
                stopLink(**it);
                closing.push_back(std::move(*it));
                it = links.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto &link : closing)
        closeLinkHandles(*link);
    Locked locked;
    return library->closeBoard(index) ? TRUE : FALSE;
}

HANDLE WINAPI simOpenPipe(HANDLE board, int, int pipeNumber)
{
    Locked locked;
    ensureStarted();
    const int index = boardOf(board);
    if (!library->openPipe(index, pipeNumber))
        return INVALID_HANDLE_VALUE;
    return createLink(index, pipeNumber);
}

int WINAPI simBoardStatus(HANDLE board)
{
    Locked locked;
    ensureStarted();
    return library->status(boardOf(board));
}

BOOL WINAPI simResetPipe(HANDLE pipe)
{
    Locked locked;
    ensureStarted();
    PipeLink *link = linkOfClient(pipe);
    if (link == nullptr) {
        library->resetPipe(-1, -1);
        return FALSE;
    }
    // A write just made is taken in now, so packets on pipes 1 and 3 are
    // recorded in the order the program wrote them.
    if (link->pipe != 2)
        drainWritePipe(*link);
    link->holdUntilReset = false;
    if (link->wake != nullptr)
        SetEvent(link->wake);
    library->resetPipe(link->board, link->pipe);
    return TRUE;
}

BOOL WINAPI simReadDescriptor(HANDLE board, void *buffer, DWORD length)
{
    Locked locked;
    ensureStarted();
    return library->readDescriptor(boardOf(board), static_cast<uint8_t *>(buffer), length) ? TRUE : FALSE;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        simModule = instance;
        InitializeCriticalSection(&lock);
        // Commands count from the moment the library is loaded: a test may
        // send them before the program's first call into the library.
        findControlFolder();
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
