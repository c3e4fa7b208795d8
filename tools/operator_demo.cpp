// Plays a short operator session on a running Pendra_Visualizer for the run
// command's screenshot: connects to board 0, plots three channels and
// presses Go.  Exit code 1 when the main dialog never appears.
#include <windows.h>

#include <cstring>
#include <initializer_list>

#include "resources/resource.h"

namespace {

bool waitFor(bool (*condition)(HWND), HWND dialog, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (condition(dialog))
            return true;
        Sleep(50);
    }
    return false;
}

bool connected(HWND dialog)
{
    char text[16] = {};
    GetDlgItemTextA(dialog, IDC_CONNECT, text, sizeof text);
    return std::strcmp(text, "Close") == 0;
}

bool goEnabled(HWND dialog)
{
    return IsWindowEnabled(GetDlgItem(dialog, IDC_GO)) != FALSE;
}

void click(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

}  // namespace

int main()
{
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && dialog == nullptr; ++i) {
        dialog = FindWindowA("#32770", "Pendra_Visualizer");
        if (dialog == nullptr)
            Sleep(50);
    }
    if (dialog == nullptr)
        return 1;
    click(dialog, IDC_CONNECT);
    if (!waitFor(connected, dialog, 5000) || !waitFor(goEnabled, dialog, 5000))
        return 1;
    for (int channel : {0, 1, 4})
        click(dialog, IDC_CH_GRAPH0 + channel);
    click(dialog, IDC_GO);
    return 0;
}
