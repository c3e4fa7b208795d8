#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

bool waitUntil(const std::function<bool()> &condition, unsigned timeoutMs)
{
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !condition(); Sleep(15))
        if (GetTickCount64() >= deadline)
            return false;
    return true;
}

std::string windowsPathFromEnv(const char *variable)
{
    std::string path = std::getenv(variable) ? std::getenv(variable) : "";
    std::replace(path.begin(), path.end(), '/', '\\');
    return !path.empty() && path[0] == '\\' ? "Z:" + path : path;
}

namespace {

PROCESS_INFORMATION startProcess(const std::string &commandLine, const std::filesystem::path &folder)
{
    std::wstring line = std::filesystem::path(commandLine).wstring();
    const wchar_t *in = folder.empty() ? nullptr : folder.c_str();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, in, &startup, &process))
        CloseHandle(process.hThread);
    return process;
}

// A visible dialog of the process that holds the message static (0xFFFF) and
// only standard buttons and the icon.
HWND findMessageBox(DWORD processId)
{
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        bool standard = owner == processId && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF);
        for (HWND child = GetWindow(window, GW_CHILD); standard && child; child = GetWindow(child, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(child);
            standard = (id >= IDOK && id <= IDCONTINUE) || id == 0xFFFF || id == 0x0440;
        }
        if (standard)
            return window;
    }
    return nullptr;
}

}  // namespace

DWORD runToEnd(const std::string &commandLine, const char *folder, DWORD timeoutMs)
{
    const PROCESS_INFORMATION process = startProcess(commandLine, folder ? folder : "");
    DWORD code = static_cast<DWORD>(-1);
    if (process.hProcess && WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return code;
}

void writeFile(const std::filesystem::path &path, const std::string &content)
{
    EXPECT_TRUE(std::ofstream(path, std::ios::binary) << content) << "cannot write " << path;
}

std::optional<std::string> readFile(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::optional<std::string>(std::string(std::istreambuf_iterator<char>(file), {})) : std::nullopt;
}

std::vector<std::string> linesOf(const std::string &content)
{
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(content.substr(start, end - start));
    return lines;
}

WorkFolder::WorkFolder()
{
    static unsigned counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + "pv_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) +
           "_" + std::to_string(GetTickCount());
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << "cannot create " << path;
}

WorkFolder::~WorkFolder()
{
    std::error_code ignored;  // a file another process keeps open stays
    if (::testing::Test::HasFailure())
        std::printf("work folder kept: %s\n", path.c_str());
    else
        std::filesystem::remove_all(path, ignored);
}

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result) ? LRESULT(result) : 0;
}

std::string text(HWND window)
{
    char buffer[1024] = {};
    send(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void click(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    EXPECT_TRUE(IsWindowVisible(item) && IsWindowEnabled(item)) << "control " << id << " is hidden or disabled";
    PostMessageA(item, BM_CLICK, 0, 0);
}

void edit(HWND dialog, int id, int start, int end, const std::string &keys, bool paste)
{
    HWND field = GetDlgItem(dialog, id);
    ASSERT_TRUE(IsWindowVisible(field) && IsWindowEnabled(field)) << "field " << id << " is hidden or disabled";
    send(field, EM_SETSEL, static_cast<WPARAM>(start), end);
    if (paste)
        send(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(keys.c_str()));
    for (size_t i = 0; !paste && i < keys.size(); ++i)
        PostMessageA(field, WM_CHAR, static_cast<WPARAM>(keys[i]), 1);
}

void choose(HWND dialog, int id, int index)
{
    send(GetDlgItem(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(index));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

Scenario::~Scenario()
{
    if (running()) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 15000);
    }
    CloseHandle(process);
}

void Scenario::TearDown()
{
    if (running()) {
        EXPECT_EQ(openBox(), "") << "a message box is still open";
    }
}

void Scenario::configure(const std::string &boards)
{
    writeFile(folder.file("uusbd_sim.ini"), boards);
    SetEnvironmentVariableA("UUSBD_SIM_CONTROL", folder.path.c_str());
    SetEnvironmentVariableA("UUSBD_SIM_CONFIG", folder.file("uusbd_sim.ini").c_str());
}

void Scenario::start(const std::string &boards, const char *settings, bool shown, const std::filesystem::path &in,
                     bool withLibrary)
{
    configure(boards);
    const std::filesystem::path data = in.empty() ? std::filesystem::path(folder.path) : in;
    if (settings != nullptr)
        writeFile(data / "init_setting.ini", settings);
    // Without a window manager, as on the tests' virtual display, Wine waits
    // 2 s for one whenever a managed window is hidden (each message box, each
    // dialog closed).  The program reads this at its start; taken back then,
    // it leaves runs on a real display managed.
    const char x11Driver[] = "Software\\Wine\\AppDefaults\\Pendra_Visualizer.exe\\X11 Driver";
    RegSetKeyValueA(HKEY_CURRENT_USER, x11Driver, "Managed", REG_SZ, "N", 2);
    const std::string exe = windowsPathFromEnv(withLibrary ? "PV_WITH_SIM" : "PV_BIN") + "\\Pendra_Visualizer.exe";
    const PROCESS_INFORMATION info = startProcess("\"" + exe + "\"", data);
    process = info.hProcess;
    processId = info.dwProcessId;
    const bool appeared = process && waitUntil([&] {
        return ((dialog = findDialog("Pendra_Visualizer")) != nullptr && (!shown || IsWindowVisible(dialog))) ||
               !running();
    }) && running();
    RegDeleteKeyValueA(HKEY_CURRENT_USER, x11Driver, "Managed");
    ASSERT_TRUE(appeared) << "the main dialog of " << exe << " did not appear (run the test through CTest)"
                          << (process && !running() ? ", the program ended with " + std::to_string(exitCode()) : "");
}

HWND Scenario::findDialog(const char *caption) const
{
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "#32770", caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

HWND Scenario::waitForDialog(const char *caption)
{
    HWND found = nullptr;
    return waitUntil([&] { return (found = findDialog(caption)) && IsWindowVisible(found); }) ? found : nullptr;
}

std::string Scenario::openBox() const
{
    HWND box = findMessageBox(processId);
    return box ? text(box) + ": " + text(box, 0xFFFF) : "";
}

bool Scenario::answer(const std::string &message, HWND owner, int button)
{
    HWND box = nullptr;
    if (!waitUntil([&] { return (box = findMessageBox(processId)) != nullptr; })) {
        ADD_FAILURE() << "no message box: " << message;
        return false;
    }
    EXPECT_EQ(openBox(), message);
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner) << "the owner of " << message;
    click(box, button);
    return waitUntil([&] { return !IsWindowVisible(box); });
}

bool Scenario::connect(int id)
{
    choose(dialog, IDC_ID_BOX, id);
    click(dialog, IDC_CONNECT);
    return waitForText(IDC_CONNECT, "Close") && settle();
}

bool Scenario::settle()
{
    // P9 bit 1's value box is never shown nor written: a selection posted to it
    // behind everything else comes back once all was handled.
    HWND marker = GetDlgItem(dialog, IDC_P9_VAL0 + 1);
    const LPARAM end = HIWORD(send(marker, EM_GETSEL)) == 0 ? 1 : 0;
    PostMessageA(marker, EM_SETSEL, 0, end);
    return waitUntil([&] { return send(marker, EM_GETSEL) == MAKELRESULT(0, end); });
}

long Scenario::exitCode() const
{
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process, 15000) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
    return ended ? static_cast<long>(code) : -1;
}

void Scenario::expectEnableRules(Phase phase, const char *when)
{
    // 'x' for enabled: ID box, Connect/Close, Go, Stop, SaveStart, I/O Update,
    // the directions of PA bit 3 and P9 bit 4, the output of PB bit 3 (an IN
    // bit), the two smoothing counts.
    const int ids[] = {IDC_ID_BOX, IDC_CONNECT, IDC_GO, IDC_STOP, IDC_SAVE, IDC_IO_UPDATE, IDC_PA_DIR0 + 3,
                       IDC_P9_DIR0 + 4, IDC_PB_OUT0 + 3, IDC_SMOOTH0, IDC_SMOOTH1};
    const char *expected[] = {"xx.......xx", ".xx..xxx.xx", "...xxxxx..."};
    std::string actual;
    for (int id : ids)
        actual += enabled(dialog, id) ? 'x' : '.';
    EXPECT_EQ(actual, expected[phase]) << when;
}

std::string Scenario::logPath() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[32];
    std::snprintf(name, sizeof name, "%d_%d_%d.csv", now.wYear, now.wMonth, now.wDay);
    return folder.file(name);
}

std::vector<std::string> Scenario::closedBlock(long count) const
{
    std::vector<std::string> lines;
    const auto isHeader = [](const std::string &line) { return !line.empty() && line[0] == '['; };
    const bool closed = waitUntil([&] {
        lines = linesOf(log().value_or(""));
        return std::count_if(lines.begin(), lines.end(), isHeader) == count && lines.size() > 2 &&
               lines.back().empty() && !lines[lines.size() - 2].empty();
    });
    EXPECT_TRUE(closed) << "block " << count << " is not closed:\n" << log().value_or("");
    return closed ? std::vector<std::string>(std::find_if(lines.rbegin(), lines.rend(), isHeader).base() - 1,
                                             lines.end())
                  : std::vector<std::string>();
}

bool Scenario::simCommand(const std::string &line)
{
    // Each command applied is acknowledged as "command <line>"; earlier
    // acknowledgements of the same text are counted so a repeat is waited for.
    const long before = callCount("command " + line);
    std::ofstream(folder.file("commands.txt"), std::ios::binary | std::ios::app) << line << "\n";
    return waitUntil([&] { return callCount("command " + line) > before; }, 5000);
}

long Scenario::callCount(const std::string &prefix) const
{
    const std::vector<std::string> all = calls();
    return static_cast<long>(
        std::count_if(all.begin(), all.end(), [&](const std::string &call) { return call.rfind(prefix, 0) == 0; }));
}
