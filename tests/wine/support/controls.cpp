#include "controls.h"

#include <gtest/gtest.h>

#include "text.h"
#include "wait.h"

namespace {

constexpr UINT kSendTimeoutMs = 5000;

// A message sent to another process's window, bounded in time; 0 when the
// window does not answer.
LRESULT sendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

HWND reachableControl(HWND dialog, int id)
{
    HWND item = control(dialog, id);
    if (item == nullptr) {
        ADD_FAILURE() << "control " << id << " does not exist";
        return nullptr;
    }
    if (!IsWindowVisible(item) || !IsWindowEnabled(item)) {
        ADD_FAILURE() << "control " << id << " cannot be used: "
                      << (IsWindowVisible(item) ? "disabled" : "hidden");
        return nullptr;
    }
    return item;
}

}  // namespace

std::string windowText(HWND window)
{
    const LRESULT length = sendBounded(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = sendBounded(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied));
    return utf8FromWide(text);
}

HWND control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

std::string controlText(HWND dialog, int id)
{
    HWND item = control(dialog, id);
    return item ? windowText(item) : std::string("<no control ") + std::to_string(id) + ">";
}

bool isChecked(HWND dialog, int id)
{
    return sendBounded(control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isEnabled(HWND dialog, int id)
{
    HWND item = control(dialog, id);
    return item != nullptr && IsWindowEnabled(item);
}

bool isVisible(HWND dialog, int id)
{
    HWND item = control(dialog, id);
    return item != nullptr && IsWindowVisible(item);
}

int comboCount(HWND dialog, int id)
{
    return static_cast<int>(sendBounded(control(dialog, id), CB_GETCOUNT, 0, 0));
}

int comboSelection(HWND dialog, int id)
{
    return static_cast<int>(sendBounded(control(dialog, id), CB_GETCURSEL, 0, 0));
}

std::string comboItemText(HWND dialog, int id, int index)
{
    HWND box = control(dialog, id);
    const LRESULT length = sendBounded(box, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = sendBounded(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return utf8FromWide(text);
}

void click(HWND dialog, int id)
{
    if (HWND item = reachableControl(dialog, id))
        PostMessageW(item, BM_CLICK, 0, 0);
}

void replaceText(HWND dialog, int id, int start, int end, const std::string &text)
{
    HWND field = reachableControl(dialog, id);
    if (field == nullptr)
        return;
    const std::wstring wide = wideFromUtf8(text);
    sendBounded(field, EM_SETSEL, static_cast<WPARAM>(start), end);
    sendBounded(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void typeKeys(HWND dialog, int id, const std::string &keys)
{
    HWND field = reachableControl(dialog, id);
    if (field == nullptr)
        return;
    for (wchar_t key : wideFromUtf8(keys))
        PostMessageW(field, WM_CHAR, key, 1);
}

void setSelection(HWND dialog, int id, int start, int end)
{
    sendBounded(control(dialog, id), EM_SETSEL, static_cast<WPARAM>(start), end);
}

std::pair<int, int> editSelection(HWND dialog, int id)
{
    const LRESULT selection = sendBounded(control(dialog, id), EM_GETSEL, 0, 0);
    return {LOWORD(selection), HIWORD(selection)};
}

void chooseComboEntry(HWND dialog, int id, int index)
{
    HWND box = reachableControl(dialog, id);
    if (box == nullptr)
        return;
    sendBounded(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

void postCommand(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool drainPostedMessages(HWND dialog, int editId)
{
    HWND field = control(dialog, editId);
    if (field == nullptr)
        return false;
    const std::pair<int, int> before = editSelection(dialog, editId);
    const int marker = before.second == 0 ? 1 : 0;
    PostMessageW(field, EM_SETSEL, 0, marker);
    return waitUntil([&] { return editSelection(dialog, editId) == std::make_pair(0, marker); });
}
