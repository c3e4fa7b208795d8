// Program entry: registers the window class and runs the main dialog.
#include <windows.h>

#include "acquisition/acquisition_win32.h"
#include "app/app_state.h"
#include "app/cp932_win32.h"
#include "app/main_dialog_win32.h"
#include "device/device_win32.h"
#include "ports/ports_win32.h"
#include "resources/resource.h"

namespace {

// "メインウィンドウのクラスの登録に失敗" in code page 932.
const char kRegisterFailText[] =
    "\x83\x81\x83\x43\x83\x93\x83\x45\x83\x42\x83\x93\x83\x68\x83\x45\x82\xcc"
    "\x83\x4e\x83\x89\x83\x58\x82\xcc\x93\x6f\x98\x5e\x82\xc9\x8e\xb8\x94\x73";

// Hands a tick straight to its handler, as the window procedure would.
bool routeTick(const MSG &message)
{
    if (message.message != WM_TIMER || message.hwnd == nullptr)
        return false;
    if (message.wParam == TIMER_READ_TICK && message.hwnd == mainWindowHandle()) {
        onReadTick(message.hwnd);
        return true;
    }
    if (message.wParam == TIMER_SAMPLE_TICK && message.hwnd == graphWindowHandle()) {
        onSampleTick();
        return true;
    }
    return false;
}

// The main dialog runs modeless under this loop rather than under the modal
// dialog loop: the two ticks, up to a thousand a second each, go straight to
// their handlers instead of through the dialog manager.  Every other message
// takes the path the modal loop gives it, so the keyboard behaves as in any
// dialog.  The loop ends at the quit message posted when the program closes.
int runMainDialog(HINSTANCE instance)
{
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, mainDialogProc, 0);
    if (dialog == nullptr)
        return 0;
    ShowWindow(dialog, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (routeTick(message) || IsDialogMessageA(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyWindow(dialog);
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = reinterpret_cast<WNDPROC>(reinterpret_cast<void *>(mainDialogProc));
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    windowClass.hCursor = static_cast<HCURSOR>(
        LoadImageA(nullptr, MAKEINTRESOURCEA(32512), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = "Pendra_Visualizer_custom";
    if (RegisterClassA(&windowClass) == 0) {
        messageBoxCp932(nullptr, kRegisterFailText, "Registe Fail", MB_OK);
        return 0;
    }

    appState.icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    appState.instance = instance;
    loadDriverLibrary();  // when it fails, Connect tries again and says why
    runMainDialog(instance);
    return 0;
}
