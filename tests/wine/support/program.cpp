#include "program.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "paths.h"
#include "text.h"
#include "wait.h"
#include "top_windows.h"

namespace {

const char kMainCaption[] = "Pendra_Visualizer";

std::wstring upper(std::wstring text)
{
    for (wchar_t &c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

// This process's environment with `changes` added or replaced, as the
// double-null-terminated block CreateProcessW takes.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>> &changes)
{
    std::wstring block;
    wchar_t *current = GetEnvironmentStringsW();
    for (const wchar_t *entry = current; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        const std::wstring name = upper(text.substr(0, text.find(L'=', 1)));
        bool replaced = false;
        for (const auto &change : changes)
            replaced = replaced || name == upper(wideFromUtf8(change.first));
        if (!replaced)
            block += text + L'\0';
    }
    FreeEnvironmentStringsW(current);
    for (const auto &change : changes)
        block += wideFromUtf8(change.first) + L'=' + wideFromUtf8(change.second) + L'\0';
    block += L'\0';
    return block;
}

// The program's folder beside the simulated driver library.
std::wstring programFolder()
{
    return wideFromUtf8(windowsPathFromEnv("PV_WITH_SIM"));
}

}  // namespace

Program::~Program()
{
    kill();
}

bool Program::start(const StartOptions &options)
{
    if (programFolder().empty()) {
        ADD_FAILURE() << "PV_WITH_SIM is not set (run the test through CTest)";
        return false;
    }
    if (options.writeSettings)
        folder_.writeFile("init_setting.ini", options.settingsContent);

    const std::wstring exe = programFolder() + L"\\Pendra_Visualizer.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    std::wstring environment = environmentBlock(options.environment);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        &environment[0], folder_.path().c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << utf8FromWide(exe) << " (error " << GetLastError() << ")";
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    return true;
}

HWND Program::findMainDialog() const
{
    return processId_ ? findDialog(processId_, kMainCaption) : nullptr;
}

HWND Program::waitForMainDialog()
{
    HWND dialog = nullptr;
    const bool shown = waitUntil([&] {
        dialog = findMainDialog();
        return (dialog != nullptr && IsWindowVisible(dialog)) || !isRunning();
    });
    if (!shown || !isRunning()) {
        ADD_FAILURE() << "the main dialog did not appear" << (isRunning() ? "" : " (the program ended)");
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
