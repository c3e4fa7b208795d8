#include "program.h"

#include <gtest/gtest.h>

#include "paths.h"
#include "text.h"
#include "top_windows.h"
#include "wait.h"

namespace {

// Starts a command line in a folder (null: this process's); the process, or
// nothing when it cannot start.
PROCESS_INFORMATION startProcess(std::wstring commandLine, const wchar_t *currentFolder)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, currentFolder, &startup,
                       &process))
        CloseHandle(process.hThread);
    return process;
}

}  // namespace

DWORD runToEnd(std::wstring commandLine, const wchar_t *currentFolder, DWORD timeoutMs)
{
    const PROCESS_INFORMATION process = startProcess(std::move(commandLine), currentFolder);
    DWORD code = static_cast<DWORD>(-1);
    if (process.hProcess != nullptr && WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    if (process.hProcess != nullptr)
        CloseHandle(process.hProcess);
    return code;
}

Program::~Program()
{
    kill();
}

bool Program::start(const StartOptions &options)
{
    // The program's folder beside the simulated driver library, or without it.
    const char *variable = options.withoutLibrary ? "PV_BIN" : "PV_WITH_SIM";
    const std::string programFolder = windowsPathFromEnv(variable);
    if (programFolder.empty()) {
        ADD_FAILURE() << variable << " is not set (run the test through CTest)";
        return false;
    }
    const std::wstring &folder = options.folder.empty() ? folder_.path() : options.folder;
    if (options.writeSettings)
        writeFileAt(folder + L"\\init_setting.ini", options.settingsContent);

    const std::string exe = programFolder + "\\Pendra_Visualizer.exe";
    const PROCESS_INFORMATION info = startProcess(wideFromUtf8("\"" + exe + "\""), folder.c_str());
    if (info.hProcess == nullptr) {
        ADD_FAILURE() << "cannot start " << exe << " (error " << GetLastError() << ")";
        return false;
    }
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

HWND Program::findMainDialog() const
{
    return processId_ ? findDialog(processId_, "Pendra_Visualizer") : nullptr;
}

HWND Program::waitForMainDialog()
{
    HWND dialog = nullptr;
    const bool shown = waitUntil([&] {
        dialog = findMainDialog();
        return (dialog != nullptr && IsWindowVisible(dialog)) || !isRunning();
    });
    if (!shown || !isRunning()) {
        DWORD code = 0;
        if (!isRunning())
            GetExitCodeProcess(process_, &code);
        ADD_FAILURE() << "the main dialog did not appear"
                      << (isRunning() ? "" : " (the program ended, exit code " + std::to_string(code) + ")");
        return nullptr;
    }
    return dialog;
}

bool Program::isRunning() const
{
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

long Program::waitForExit()
{
    if (process_ == nullptr || WaitForSingleObject(process_, kDefaultTimeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

void Program::kill()
{
    if (process_ == nullptr)
        return;
    if (isRunning()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, kDefaultTimeoutMs);
    }
    CloseHandle(process_);
    process_ = nullptr;
}
