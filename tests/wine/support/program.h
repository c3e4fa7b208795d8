// The program under test, started beside the simulated driver library with a
// fresh data folder as its current directory; ended when the test ends.
#pragma once
#include <windows.h>

#include <string>

#include "work_folder.h"

struct StartOptions {
    bool writeSettings = false;
    std::string settingsContent;  // init_setting.ini, written when writeSettings
    std::wstring folder;          // the current directory; empty: a fresh work folder
    bool withoutLibrary = false;  // the release folder (PV_BIN): no uusbd.dll beside the program
};

// Options that write this settings file first.
inline StartOptions withSettings(const std::string &content)
{
    return StartOptions{true, content, {}};
}

// Runs a command line and waits for that process (not for its children);
// its exit code, or -1 when it cannot start or does not end in time.
DWORD runToEnd(std::wstring commandLine, const wchar_t *currentFolder = nullptr, DWORD timeoutMs = 120000);

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // With this process's environment; false (with a failure) when it cannot start.
    bool start(const StartOptions &options = {});
    // The main dialog once shown (start-up messages answered); null on timeout.
    HWND waitForMainDialog();
    HWND findMainDialog() const;  // shown or not yet

    DWORD processId() const { return processId_; }
    const WorkFolder &folder() const { return folder_; }
    bool isRunning() const;
    long waitForExit();  // exit code, or -1 on timeout
    void kill();

private:
    WorkFolder folder_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};
