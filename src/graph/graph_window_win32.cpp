// Placeholder until this module is built.
#include "graph/graph_window_win32.h"

INT_PTR CALLBACK graphWindowProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
