// The program under test, started as an operator starts it: from the folder
// holding it beside the simulated driver library, with a fresh data folder
// as its current directory.  Always ended when the test ends, so a failing
// test never leaves it running.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "work_folder.h"

struct StartOptions {
    bool writeSettings = false;
    std::string settingsContent;  // init_setting.ini, written when writeSettings
    std::vector<std::pair<std::string, std::string>> environment;  // added or replaced
};

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Starts the program; false (with a test failure) when it cannot start.
    bool start(const StartOptions &options = {});
    // Waits for the main dialog to be shown (after start-up messages are
    // answered); its handle, or null on timeout.
    HWND waitForMainDialog();
    // The main dialog, shown or not yet; null when it does not exist.
    HWND findMainDialog() const;

    DWORD processId() const { return processId_; }
    const WorkFolder &folder() const { return folder_; }
    bool isRunning() const;
    // Waits for the process to end; its exit code, or -1 on timeout.
    long waitForExit();
    void kill();

private:
    WorkFolder folder_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Folder of the program beside the simulated driver library (Windows path).
std::wstring programFolder();
