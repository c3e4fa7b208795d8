// The Config dialog (template 108): edits a draft of the settings and stores
// and saves it when OK passes the checks.
#include <cstdio>
#include <string>

#include "app/system_message_win32.h"
#include "resources/resource.h"
#include "settings/config_checks.h"
#include "settings/field_clamp.h"
#include "settings/settings.h"
#include "settings/settings_win32.h"

namespace {

ConfigDraft draft;

void initConfigDialog(HWND dialog)
{
    SetDlgItemInt(dialog, IDC_CFG_NOWREAD, static_cast<UINT>(settings.nowReadInterval), TRUE);
    SetDlgItemInt(dialog, IDC_CFG_GETDATA, static_cast<UINT>(settings.getDataInterval), TRUE);
    SetDlgItemInt(dialog, IDC_CFG_TOP, static_cast<UINT>(settings.axisTop), TRUE);
    SetDlgItemInt(dialog, IDC_CFG_ORIGIN, static_cast<UINT>(settings.axisOrigin), TRUE);
    SetDlgItemInt(dialog, IDC_CFG_THRESHOLD, static_cast<UINT>(settings.triggerThreshold), TRUE);

    CheckDlgButton(dialog, IDC_CFG_ENABLE, settings.triggerEnabled ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CFG_EDGE, settings.triggerRising ? BST_CHECKED : BST_UNCHECKED);
    if (IsDlgButtonChecked(dialog, IDC_CFG_EDGE) == BST_CHECKED)
        SetDlgItemTextA(dialog, IDC_CFG_EDGE, "RISE");

    for (int channel = 0; channel < 8; ++channel) {
        char entry[16];
        std::snprintf(entry, sizeof entry, "CH=%d", channel);
        SendDlgItemMessageA(dialog, IDC_CFG_CHANNEL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    SendDlgItemMessageA(dialog, IDC_CFG_CHANNEL, CB_SETCURSEL, static_cast<WPARAM>(settings.triggerChannel), 0);

    draft = draftFromSettings(settings);
}

// Cleans a numeric field after the operator changed it: parse, limit, write
// back and put the caret where it was.  The write-back clears the modify
// flag, so the notifications it raises end at the first test.
void cleanNumberField(HWND dialog, int id, int32_t (*clamp)(const char *), int32_t &field)
{
    HWND edit = GetDlgItem(dialog, id);
    if (SendMessageA(edit, EM_GETMODIFY, 0, 0) == 0)
        return;
    std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    GetWindowTextA(edit, &text[0], static_cast<int>(text.size()));
    field = clamp(text.c_str());

    DWORD caret = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
    SetDlgItemInt(dialog, id, static_cast<UINT>(field), FALSE);
    SendMessageA(edit, EM_SETSEL, caret, static_cast<LPARAM>(caret));
}

void onEnableBox(HWND dialog)
{
    draft.triggerEnabled = IsDlgButtonChecked(dialog, IDC_CFG_ENABLE) == BST_CHECKED ? 1 : 0;
}

// Typed text that matches no entry leaves no selection; the channel then
// stays the last one chosen.
void onChannelBox(HWND dialog)
{
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_CFG_CHANNEL, CB_GETCURSEL, 0, 0);
    draft.triggerChannel = channelFromSelection(static_cast<int32_t>(selection), draft.triggerChannel);
}

void onEdgeBox(HWND dialog)
{
    bool rising = IsDlgButtonChecked(dialog, IDC_CFG_EDGE) == BST_CHECKED;
    SetDlgItemTextA(dialog, IDC_CFG_EDGE, rising ? "RISE" : "FALL");
}

// The settings in memory stay as they were; the dialog stays open, so the
// operator can make the file writable and press OK again, or cancel.
void warnSettingsNotSaved(HWND dialog, DWORD error)
{
    const std::wstring text = L"Settings could not be saved !\n\n" + settingsPath() + L"\n" + systemMessage(error);
    MessageBoxW(dialog, text.c_str(), L"Warning", MB_OK);
}

void onConfigOk(HWND dialog)
{
    const char *warning = configCheckMessage(draft);
    if (warning != nullptr) {
        MessageBoxA(dialog, warning, "Warning", MB_OK);
        return;
    }
    Settings edited = settings;
    storeConfigDraft(draft, IsDlgButtonChecked(dialog, IDC_CFG_EDGE) == BST_CHECKED, edited);
    const DWORD error = saveSettings(edited);
    if (error != 0) {
        warnSettingsNotSaved(dialog, error);
        return;
    }
    settings = edited;
    EndDialog(dialog, IDOK);
}

INT_PTR onConfigCommand(HWND dialog, int id)
{
    switch (id) {
    case IDOK: onConfigOk(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_CFG_NOWREAD: cleanNumberField(dialog, id, clampIntervalField, draft.nowReadInterval); return TRUE;
    case IDC_CFG_GETDATA: cleanNumberField(dialog, id, clampIntervalField, draft.getDataInterval); return TRUE;
    case IDC_CFG_THRESHOLD: cleanNumberField(dialog, id, clampLimitField, draft.triggerThreshold); return TRUE;
    case IDC_CFG_ORIGIN: cleanNumberField(dialog, id, clampLimitField, draft.axisOrigin); return TRUE;
    case IDC_CFG_TOP: cleanNumberField(dialog, id, clampLimitField, draft.axisTop); return TRUE;
    case IDC_CFG_ENABLE: onEnableBox(dialog); return TRUE;
    case IDC_CFG_CHANNEL: onChannelBox(dialog); return TRUE;
    case IDC_CFG_EDGE: onEdgeBox(dialog); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initConfigDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return onConfigCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}
