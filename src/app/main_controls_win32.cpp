// The main dialog's control handles and their contents at start-up.
#include <cstdio>

#include "app/main_dialog_win32.h"
#include "ports/port_rules.h"
#include "resources/resource.h"

MainControls mainControls;

void buildMainControls(HWND dialog)
{
    MainControls &c = mainControls;
    c.idBox = GetDlgItem(dialog, IDC_ID_BOX);
    c.goButton = GetDlgItem(dialog, IDC_GO);
    c.stopButton = GetDlgItem(dialog, IDC_STOP);
    c.saveButton = GetDlgItem(dialog, IDC_SAVE);
    for (int channel = 0; channel < kChannelCount; ++channel)
        c.channelValue[channel] = GetDlgItem(dialog, IDC_CH_VALUE0 + channel);
    c.connectButton = GetDlgItem(dialog, IDC_CONNECT);
    for (int channel = 0; channel < kChannelCount; ++channel)
        c.graphCheck[channel] = GetDlgItem(dialog, IDC_CH_GRAPH0 + channel);
    for (int port = 0; port < kPortCount; ++port)
        for (int kind = 0; kind < kKindCount; ++kind)
            for (int bit = 0; bit < kBitSlots; ++bit) {
                const int id = portControlId(port, kind, bit);
                c.portControls[port][kind][bit] = id != 0 ? GetDlgItem(dialog, id) : nullptr;
            }
    c.ioUpdateButton = GetDlgItem(dialog, IDC_IO_UPDATE);
    c.smoothingEdit[0] = GetDlgItem(dialog, IDC_SMOOTH0);
    c.smoothingEdit[1] = GetDlgItem(dialog, IDC_SMOOTH1);
}

void initMainControls(HWND dialog)
{
    buildMainControls(dialog);
    for (int id = 0; id < 32; ++id) {
        char text[16];
        std::snprintf(text, sizeof text, "ID=%d", id);
        SendMessageA(mainControls.idBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(mainControls.idBox, CB_SETCURSEL, static_cast<WPARAM>(appState.selectedId), 0);
    for (HWND box : mainControls.channelValue)
        SetWindowTextA(box, "-");
    for (int port = 0; port < kPortCount; ++port)
        for (HWND box : mainControls.portControls[port][kValueBox])
            if (box != nullptr)
                SetWindowTextA(box, "-");
    CheckMenuRadioItem(GetMenu(dialog), IDM_NORMAL, IDM_DIFFAMP, IDM_NORMAL, MF_BYCOMMAND);
    SetWindowTextA(mainControls.smoothingEdit[0], "10");
    SetWindowTextA(mainControls.smoothingEdit[1], "10");
}

void readGraphSelection()
{
    for (int channel = 0; channel < kChannelCount; ++channel)
        appState.plotted[channel] =
            SendMessageA(mainControls.graphCheck[channel], BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
