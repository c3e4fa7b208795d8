#include "controls.h"

#include <gtest/gtest.h>

#include "text.h"

namespace {

// A message to another process's window, bounded in time; 0 when it does not answer.
LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result) ? LRESULT(result) : 0;
}

HWND reachableControl(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    if (item != nullptr && IsWindowVisible(item) && IsWindowEnabled(item))
        return item;
    ADD_FAILURE() << "control " << id << " is missing, hidden or disabled";
    return nullptr;
}

// A text fetched with a length message and a copy message.
std::string fetchText(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index)
{
    const LRESULT length = sendBounded(window, lengthMessage, index, 0);
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const WPARAM parameter = textMessage == WM_GETTEXT ? text.size() : index;
    const LRESULT copied = sendBounded(window, textMessage, parameter, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return utf8FromWide(text);
}

}  // namespace

std::string windowText(HWND window)
{
    return fetchText(window, WM_GETTEXTLENGTH, WM_GETTEXT, 0);
}

std::string controlText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : "<no control " + std::to_string(id) + ">";
}

bool isChecked(HWND dialog, int id)
{
    return sendBounded(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isEnabled(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && IsWindowEnabled(item);
}

bool isVisible(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && IsWindowVisible(item);
}

std::string comboItemText(HWND dialog, int id, int index)
{
    return fetchText(GetDlgItem(dialog, id), CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(index));
}

void click(HWND dialog, int id)
{
    if (HWND item = reachableControl(dialog, id))
        PostMessageW(item, BM_CLICK, 0, 0);
}

void replaceText(HWND dialog, int id, int start, int end, const std::string &text)
{
    if (HWND field = reachableControl(dialog, id)) {
        const std::wstring wide = wideFromUtf8(text);
        sendBounded(field, EM_SETSEL, static_cast<WPARAM>(start), end);
        sendBounded(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

void typeKeys(HWND dialog, int id, int start, int end, const std::string &keys)
{
    if (HWND field = reachableControl(dialog, id)) {
        sendBounded(field, EM_SETSEL, static_cast<WPARAM>(start), end);
        for (wchar_t key : wideFromUtf8(keys))
            PostMessageW(field, WM_CHAR, key, 1);
    }
}

std::pair<int, int> editSelection(HWND dialog, int id)
{
    const LRESULT selection = sendBounded(GetDlgItem(dialog, id), EM_GETSEL, 0, 0);
    return {LOWORD(selection), HIWORD(selection)};
}

void chooseComboEntry(HWND dialog, int id, int index)
{
    if (HWND box = reachableControl(dialog, id)) {
        sendBounded(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    }
}

void postCommand(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}
