// The scenario driver: the program under test started beside the simulated
// boards in a fresh data folder, and the operator's verbs on it.  Actions are
// posted, so a modal box the program opens never blocks the test; every wait
// is bounded, so a program that does not react fails the test, never hangs it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"

// True as soon as the condition holds; false after the timeout (generous for a loaded machine).
bool waitUntil(const std::function<bool()> &condition, unsigned timeoutMs = 15000);
std::string windowsPathFromEnv(const char *variable);  // "Z:\..." as Wine maps a Unix path; "" when unset
// Runs a command line to its end: its exit code, or -1 when it cannot start or does not end in time.
DWORD runToEnd(const std::string &commandLine, const char *folder = nullptr, DWORD timeoutMs = 120000);
void writeFile(const std::filesystem::path &path, const std::string &content);
std::optional<std::string> readFile(const std::filesystem::path &path);
// The lines ended by CR LF; a last line without it is still being written and left out.
std::vector<std::string> linesOf(const std::string &content);

// A fresh temporary folder, removed with its contents unless the test failed.
struct WorkFolder {
    WorkFolder();
    ~WorkFolder();
    std::string file(const std::string &name) const { return path + "\\" + name; }
    std::string path;
};

// Another process's windows and controls.
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);  // 0 when it does not answer
std::string text(HWND window);
inline std::string text(HWND dialog, int id) { return text(GetDlgItem(dialog, id)); }
inline bool checked(HWND dialog, int id) { return send(GetDlgItem(dialog, id), BM_GETCHECK) == BST_CHECKED; }
inline bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
void click(HWND dialog, int id);  // a missing, hidden or disabled control fails the test
// Selects characters start..end (-1: to the end), then types the keys one by
// one ("\b" is Backspace), or pastes them at once.
void edit(HWND dialog, int id, int start, int end, const std::string &keys, bool paste = false);
void choose(HWND dialog, int id, int index);  // a combo box entry, as the operator picks it
inline void postCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// Settings with fast ticks, so that a block quickly holds records, and a trigger on CH0 rising through 500.
inline const char kFastWithTrigger[] =
    "[INTERVAL]\nGETDATA=20\nNOWREAD=20\n[TRIGGER]\nCH=0\nTHRESHOLD=500\nENABLE=TRUE\nEDGE=RISE\n";

class Scenario : public ::testing::Test {
protected:
    Scenario() { writeFile(folder.file("commands.txt"), ""); }
    ~Scenario() override;      // ends the program if it still runs
    void TearDown() override;  // no message box may be left open

    // The boards' configuration (sim/README.md) for a simulator loaded after it.
    void configure(const std::string &boards);
    // Configures, writes init_setting.ini when given and starts the program
    // (beside the simulator, or in the release folder without any library) in
    // the data folder (`folder` unless another is given); waits for its main
    // dialog, shown unless start-up messages hold it back.
    void start(const std::string &boards, const char *settings = nullptr, bool shown = true,
               const std::filesystem::path &in = {}, bool withLibrary = true);
    bool running() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
    long exitCode() const;                       // once the program ended; -1 when it does not
    HWND findDialog(const char *caption) const;  // the program's dialog with this caption, or null
    HWND waitForDialog(const char *caption);     // once visible; null when it did not appear
    std::string openBox() const;                 // "caption: text" of an open message box, or ""
    // Waits for a message box, expects its "caption: text" and its owner, presses the button.
    bool answer(const std::string &message, HWND owner, int button = IDOK);
    bool waitForText(int id, const std::string &expected)
    {
        return waitUntil([&] { return text(dialog, id) == expected; });
    }
    bool connect(int id);  // chooses the ID, Connect; true once it reads "Close" and the handler ended
    // Clicks a button of the main dialog; true once it reads `becomes`.
    bool toggle(int id, const std::string &becomes)
    {
        click(dialog, id);
        return waitForText(id, becomes);
    }
    bool go()  // Go; true once sampling runs and the handler ended
    {
        click(dialog, IDC_GO);
        return waitUntil([&] { return enabled(dialog, IDC_STOP); }) && settle();
    }
    bool settle();  // everything posted to the main dialog so far was handled
    // The enable rules while disconnected, connected (not sampling) or sampling.
    enum Phase { kDisconnected, kConnected, kSampling };
    void expectEnableRules(Phase phase, const char *when);

    std::string logPath() const;  // today's CSV file
    std::optional<std::string> log() const { return readFile(logPath()); }
    // Waits for the log to hold this many blocks, the last one closed (a
    // record, then an empty line); that block's lines, or none.
    std::vector<std::string> closedBlock(long count) const;
    // Records stay in the program's stream buffer until the block ends: there is nothing to poll.
    static void letSamplesArrive() { Sleep(600); }

    bool simCommand(const std::string &line);  // true once the simulator acknowledged it
    std::vector<std::string> calls() const { return linesOf(readFile(folder.file("calls.txt")).value_or("")); }
    long callCount(const std::string &prefix) const;
    // Every packet written to the boards, as "<pipe> <board> <64 bytes in hex>".
    std::vector<std::string> packets() const { return linesOf(readFile(folder.file("written.txt")).value_or("")); }
    static std::string packet(int pipe, int board, const std::string &bytes)
    {
        return std::to_string(pipe) + " " + std::to_string(board) + " " + bytes + std::string(128 - bytes.size(), '0');
    }
    bool waitForPackets(size_t count) const
    {
        return waitUntil([&] { return packets().size() >= count; }, 5000);
    }

    WorkFolder folder;  // the simulator's control folder, and the program's data folder unless told otherwise
    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND dialog = nullptr;  // the main dialog
};
