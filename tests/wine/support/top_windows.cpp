#include "top_windows.h"

#include "controls.h"
#include "text.h"

namespace {

struct Search {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter)
{
    Search *search = reinterpret_cast<Search *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> topLevelWindows(DWORD processId)
{
    Search search{processId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowClass(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return utf8FromWide(name);
}

HWND findDialog(DWORD processId, const std::string &caption)
{
    for (HWND window : topLevelWindows(processId)) {
        if (windowClass(window) == "#32770" && windowText(window) == caption)
            return window;
    }
    return nullptr;
}
