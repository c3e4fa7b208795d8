#include "message_box.h"

#include "controls.h"
#include "wait.h"
#include "top_windows.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;

BOOL CALLBACK checkMessageBoxChild(HWND child, LPARAM parameter)
{
    const int id = GetDlgCtrlID(child);
    const bool standard = (id >= IDOK && id <= IDCONTINUE) || id == kMessageTextId || id == kMessageIconId;
    if (!standard)
        *reinterpret_cast<bool *>(parameter) = false;
    return TRUE;
}

bool isMessageBox(HWND window)
{
    if (windowClass(window) != "#32770" || !IsWindowVisible(window))
        return false;
    if (GetDlgItem(window, kMessageTextId) == nullptr)
        return false;
    bool onlyStandard = true;
    EnumChildWindows(window, checkMessageBoxChild, reinterpret_cast<LPARAM>(&onlyStandard));
    return onlyStandard;
}

}  // namespace

HWND findMessageBox(DWORD processId)
{
    for (HWND window : topLevelWindows(processId)) {
        if (isMessageBox(window))
            return window;
    }
    return nullptr;
}

MessageBoxSeen waitForMessageBox(DWORD processId)
{
    MessageBoxSeen seen;
    waitUntil([&] { return (seen.window = findMessageBox(processId)) != nullptr; });
    if (seen.window != nullptr) {
        seen.owner = GetWindow(seen.window, GW_OWNER);
        seen.caption = windowText(seen.window);
        seen.text = controlText(seen.window, kMessageTextId);
    }
    return seen;
}

bool answerMessageBox(const MessageBoxSeen &box, int buttonId)
{
    HWND button = box.window ? GetDlgItem(box.window, buttonId) : nullptr;
    if (button == nullptr)
        return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    return waitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

std::string describeOpenMessageBox(DWORD processId)
{
    HWND window = findMessageBox(processId);
    if (window == nullptr)
        return std::string();
    return windowText(window) + ": " + controlText(window, kMessageTextId);
}
