// Resource identifiers shared by the .rc files and the code.
#pragma once

// Templates, menu and icon
#define IDD_MAIN            101
#define IDD_GRAPH           102
#define IDI_PROGRAM         105
#define IDD_CONFIG          108
#define IDD_VERSION         111
#define IDR_MAINMENU        "MYMENU"

// Main dialog: command column
#define IDC_ID_BOX          1001
#define IDC_CONNECT         1002
#define IDC_GO              1012
#define IDC_STOP            1013
#define IDC_SAVE            1015
#define IDC_IO_UPDATE       1100

// Main dialog: analog column (channel n = base + n)
#define IDC_CH_VALUE0       1004
#define IDC_CH_GRAPH0       1019

// Main dialog: port P9 (bits 0..4)
#define IDC_P9_DIR0         1027    // 1027..1031
#define IDC_P9_OUT0         1035    // bit 0; bits 1..4 are 1044..1047
#define IDC_P9_OUT1         1044
#define IDC_P9_VAL0         1036    // 1036..1040
// Port PA (bits 0..7)
#define IDC_PA_DIR0         1051    // 1051..1058
#define IDC_PA_VAL0         1059    // 1059..1066
#define IDC_PA_OUT0         1067    // 1067..1074
// Port PB (bits 0..7)
#define IDC_PB_DIR0         1075    // 1075..1082
#define IDC_PB_VAL0         1083    // 1083..1090
#define IDC_PB_OUT0         1091    // 1091..1098

// Main dialog: smoothing counts
#define IDC_SMOOTH0         1119
#define IDC_SMOOTH1         1120

// Main menu
#define IDM_SETTING         40005
#define IDM_EXIT            40006
#define IDM_VERSION         40009
#define IDM_NORMAL          40016
#define IDM_DIFFAMP         40022
#define IDM_HELP            40024

// Config dialog
#define IDC_CFG_NOWREAD     1103
#define IDC_CFG_GETDATA     1104
#define IDC_CFG_THRESHOLD   1105
#define IDC_CFG_ORIGIN      1109
#define IDC_CFG_ENABLE      1110
#define IDC_CFG_TOP         1111
#define IDC_CFG_CHANNEL     1113
#define IDC_CFG_EDGE        1114

// Version dialog
#define IDC_VERSION_ICON    1107

// Timer message identifiers
#define TIMER_SAMPLE_TICK   1100
#define TIMER_READ_TICK     1200
#define TIMER_REPAINT       400

// Graph window: right-click menu
#define IDR_GRAPH_MENU      113
#define IDM_COPY_PICTURE    40031
#define IDM_SAVE_PICTURE    40032
