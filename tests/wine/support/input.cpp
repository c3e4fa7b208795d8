#include "input.h"

// windows.h first
#include <dlgs.h>

void pressKeys(const std::vector<WORD> &keys)
{
    std::vector<INPUT> input(keys.size() * 2, INPUT{INPUT_KEYBOARD, {}});
    for (size_t i = 0; i < keys.size(); ++i) {
        input[i].ki.wVk = input[input.size() - 1 - i].ki.wVk = keys[i];
        input[input.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void rightClick(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &middle);
    SetCursorPos(middle.x, middle.y);
    INPUT input[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, input, sizeof(INPUT));
}

void setFileDialogName(HWND fileDialog, const wchar_t *name)
{
    HWND field = GetDlgItem(fileDialog, edt1);  // or an edit inside the combo box cmb13
    if (field == nullptr)
        field = FindWindowExW(FindWindowExW(GetDlgItem(fileDialog, cmb13), nullptr, L"ComboBox", nullptr), nullptr,
                              L"Edit", nullptr);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
}
