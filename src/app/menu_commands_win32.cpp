// The main dialog's menu: Setting, Mode, Version, Help and Exit.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/commands_win32.h"
#include "app/help_path.h"
#include "app/main_dialog_win32.h"
#include "app/mode_rules.h"
#include "resources/resource.h"
#include "settings/settings_win32.h"

void onSettingCommand(HWND dialog)
{
    DialogBoxParamA(static_cast<HINSTANCE>(appState.instance), MAKEINTRESOURCEA(IDD_CONFIG), dialog,
                    configDialogProc, 0);
}

void onExitCommand(HWND dialog)
{
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

void onVersionCommand(HWND dialog)
{
    DialogBoxParamA(static_cast<HINSTANCE>(appState.instance), MAKEINTRESOURCEA(IDD_VERSION), dialog,
                    versionDialogProc, 0);
}

void onModeCommand(HWND dialog, int32_t mode)
{
    appState.mode = mode;
    const UINT marked = mode == kModeDiffAmp ? IDM_DIFFAMP : IDM_NORMAL;
    CheckMenuRadioItem(GetMenu(dialog), IDM_NORMAL, IDM_DIFFAMP, marked, MF_BYCOMMAND);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const GraphCheckState state = graphCheckForMode(mode, channel);
        SendMessageA(mainControls.graphCheck[channel], BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        EnableWindow(mainControls.graphCheck[channel], state.enabled ? TRUE : FALSE);
    }
    readGraphSelection();
}

// The help file is opened through the shell.  When that fails, the HTML
// manual installed beside the program is opened instead.
void onHelpCommand()
{
    const HINSTANCE result = ShellExecuteA(nullptr, "open", kHelpFileName, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return;
    std::wstring programPath(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &programPath[0], static_cast<DWORD>(programPath.size()));
    if (length == 0 || length >= programPath.size())
        return;
    programPath.resize(length);
    const std::wstring manual = manualPathBeside(programPath);
    if (!manual.empty())
        ShellExecuteW(nullptr, L"open", manual.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
