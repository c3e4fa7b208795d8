#include "top_windows.h"

#include "text.h"

HWND nextDialog(DWORD processId, HWND after, const wchar_t *caption)
{
    for (HWND window = after; (window = FindWindowExW(nullptr, window, L"#32770", caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

HWND findDialog(DWORD processId, const std::string &caption)
{
    return nextDialog(processId, nullptr, wideFromUtf8(caption).c_str());
}
