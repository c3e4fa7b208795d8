#include "device/device_win32.h"

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/cp932_win32.h"

namespace {

using OpenBoardFunction = HANDLE(WINAPI *)(int, int, int, int, int, int);
using CloseBoardFunction = BOOL(WINAPI *)(HANDLE);
using OpenPipeFunction = HANDLE(WINAPI *)(HANDLE, int, int);
using BoardStatusFunction = int(WINAPI *)(HANDLE);
using ResetPipeFunction = BOOL(WINAPI *)(HANDLE);
using ReadDescriptorFunction = BOOL(WINAPI *)(HANDLE, void *, DWORD);

HANDLE toHandle(DeviceHandle handle) { return reinterpret_cast<HANDLE>(handle); }
DeviceHandle fromHandle(HANDLE handle) { return reinterpret_cast<DeviceHandle>(handle); }

// uusbd.dll, reached by ordinal, and the kernel calls on its pipes.
class UusbdLibrary : public DriverLibrary {
public:
    OpenBoardFunction openBoardFunction = nullptr;        // 1
    CloseBoardFunction closeBoardFunction = nullptr;      // 3
    OpenPipeFunction openPipeFunction = nullptr;          // 4
    BoardStatusFunction boardStatusFunction = nullptr;    // 7
    ResetPipeFunction resetPipeFunction = nullptr;        // 8
    ReadDescriptorFunction readDescriptorFunction = nullptr;  // 11

    DeviceHandle openBoard() override { return fromHandle(openBoardFunction(12, 0, 0, 0x0FF8, 0x20, 0)); }
    void closeBoard(DeviceHandle board) override { closeBoardFunction(toHandle(board)); }
    DeviceHandle openPipe(DeviceHandle board, int pipeNumber) override
    {
        return fromHandle(openPipeFunction(toHandle(board), 0, pipeNumber));
    }
    int boardStatus(DeviceHandle board) override { return boardStatusFunction(toHandle(board)); }
    void resetPipe(DeviceHandle pipe) override { resetPipeFunction(toHandle(pipe)); }
    bool readConfigDescriptor(DeviceHandle board, uint8_t *buffer, uint32_t length) override
    {
        return readDescriptorFunction(toHandle(board), buffer, length) != FALSE;
    }
    bool readPipe(DeviceHandle pipe, uint8_t *buffer, uint32_t length, uint32_t *bytesRead) override
    {
        DWORD count = 0;
        const BOOL ok = ReadFile(toHandle(pipe), buffer, length, &count, nullptr);
        *bytesRead = count;
        return ok != FALSE;
    }
    bool writePipe(DeviceHandle pipe, const uint8_t *buffer, uint32_t length) override
    {
        DWORD count = 0;
        return WriteFile(toHandle(pipe), buffer, length, &count, nullptr) != FALSE;
    }
    bool closePipe(DeviceHandle pipe) override { return CloseHandle(toHandle(pipe)) != FALSE; }
    void sleepMs(uint32_t milliseconds) override { Sleep(milliseconds); }
};

UusbdLibrary uusbdLibrary;

template <typename Function>
bool resolve(HMODULE module, int ordinal, Function &function)
{
    const FARPROC address = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    function = reinterpret_cast<Function>(reinterpret_cast<void *>(address));
    return address != nullptr;
}

// The folder part of a module or system path, with a trailing backslash.
std::wstring folderOf(const std::wstring &path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring programFolder()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::wstring();
        if (length < buffer.size())
            return folderOf(std::wstring(buffer.data(), length));
        if (buffer.size() >= 32768)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring systemFolder()
{
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(buffer, length) + L"\\";
}

// Only a full path is ever handed to the loader, so the current directory
// and PATH are never searched.
HMODULE loadFrom(const std::wstring &folder)
{
    if (folder.empty())
        return nullptr;
    const std::wstring path = folder + L"uusbd.dll";
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A folder as the operator reads it: without the trailing backslash.
std::wstring shownFolder(const std::wstring &folder)
{
    if (folder.empty())
        return L"(unknown)";
    return folder.size() > 3 && folder.back() == L'\\' ? folder.substr(0, folder.size() - 1) : folder;
}

constexpr const wchar_t *kArchitecture = sizeof(void *) == 8 ? L"64-bit" : L"32-bit";

// Why the last load failed, for the operator; empty once loaded.
std::wstring libraryProblem;

}  // namespace

bool loadDriverLibrary()
{
    if (driverLibrary == &uusbdLibrary)
        return true;
    std::wstring folder = programFolder();
    HMODULE module = loadFrom(folder);
    if (module == nullptr) {
        const std::wstring system = systemFolder();
        module = loadFrom(system);
        if (module == nullptr) {
            libraryProblem = L"The driver library uusbd.dll could not be loaded.\n\n"
                             L"It was looked for in the program folder\n" + shownFolder(folder) +
                             L"\nand in the system folder\n" + shownFolder(system) +
                             L"\n\nIt is missing there, or it is not a " + kArchitecture +
                             L" library. Install the board's driver, then press Connect again.";
            return false;
        }
        folder = system;
    }
    UusbdLibrary &l = uusbdLibrary;
    std::wstring missing;
    const auto need = [&](int ordinal, auto &function) {
        if (!resolve(module, ordinal, function))
            missing += (missing.empty() ? L"" : L", ") + std::to_wstring(ordinal);
    };
    need(1, l.openBoardFunction);
    need(3, l.closeBoardFunction);
    need(4, l.openPipeFunction);
    need(7, l.boardStatusFunction);
    need(8, l.resetPipeFunction);
    need(11, l.readDescriptorFunction);
    if (!missing.empty()) {
        FreeLibrary(module);
        libraryProblem = L"The driver library uusbd.dll in the folder\n" + shownFolder(folder) +
                         L"\nlacks the functions with the ordinals " + missing +
                         L".\n\nIt is not the board's driver library, or not a complete one.";
        return false;
    }
    libraryProblem.clear();
    driverLibrary = &uusbdLibrary;
    return true;
}

void showDriverLibraryProblem(HWND owner)
{
    MessageBoxW(owner, libraryProblem.c_str(), L"Error", MB_OK);
}

void showErrorCode(ErrorCode code)
{
    if (code == kSuccess)
        return;
    // Owned by the main dialog, which is disabled while the box is up: no
    // command can start while another waits for the operator.
    messageBoxCp932(static_cast<HWND>(appState.mainWindow), errorCodeText(code), "Error", MB_OK);
}
