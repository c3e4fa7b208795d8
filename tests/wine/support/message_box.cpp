#include "message_box.h"

#include "controls.h"
#include "top_windows.h"
#include "wait.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kMessageIconId = 0x0440;

BOOL CALLBACK checkMessageBoxChild(HWND child, LPARAM onlyStandard)
{
    const int id = GetDlgCtrlID(child);
    if (!((id >= IDOK && id <= IDCONTINUE) || id == kMessageTextId || id == kMessageIconId))
        *reinterpret_cast<bool *>(onlyStandard) = false;
    return TRUE;
}

bool isMessageBox(HWND window)
{
    bool onlyStandard = IsWindowVisible(window) && GetDlgItem(window, kMessageTextId) != nullptr;
    if (onlyStandard)
        EnumChildWindows(window, checkMessageBoxChild, reinterpret_cast<LPARAM>(&onlyStandard));
    return onlyStandard;
}

}  // namespace

HWND findMessageBox(DWORD processId)
{
    for (HWND window = nullptr; (window = nextDialog(processId, window)) != nullptr;)
        if (isMessageBox(window))
            return window;
    return nullptr;
}

MessageBoxSeen waitForMessageBox(DWORD processId)
{
    MessageBoxSeen seen;
    if (waitUntil([&] { return (seen.window = findMessageBox(processId)) != nullptr; })) {
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
    return window ? MessageBoxSeen{window, nullptr, windowText(window), controlText(window, kMessageTextId)}.message()
                  : std::string();
}
