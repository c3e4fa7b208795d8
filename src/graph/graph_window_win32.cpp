#include "graph/graph_window_win32.h"

#include "acquisition/acquisition_win32.h"
#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "app/cp932_win32.h"
#include "graph/graph_bitmap_win32.h"
#include "graph/graph_export_win32.h"
#include "graph/graph_gdi_win32.h"
#include "graph/graph_picture.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace {

// The Graph window's own state; there is at most one Graph window.
struct GraphWindowState {
    HWND parentWindow;
    GraphView view;
    GraphGdi gdi;
    GraphBitmap bitmap;  // the last picture painted
};

GraphWindowState graph;
GraphPicture picture;

void initGraphWindow(HWND window)
{
    resetHistory(sampleHistory);
    graph.view.scrolledSamples = 0;
    graph.parentWindow = GetParent(window);
    SetTimer(window, graphRepaintTimerId, graphRepaintPeriodMs, nullptr);

    RECT work{0, 0, 0, 0};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const WindowPlacement place = computeGraphPlacement(work.right - work.left, work.bottom - work.top);
    MoveWindow(window, place.x, place.y, place.width, place.height, TRUE);

    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    graph.view.clientHeight = client.bottom - client.top;
    graph.view.clientWidth = client.right - client.left;
    graph.view.yScale = computeYScale(settings.axisTop, settings.axisOrigin, graph.view.clientHeight);

    createGraphGdi(graph.gdi);
    reserveGraphPicture(picture);
}

// Computes the current picture and draws it on `dc`, filled white first.
void renderGraph(HDC dc, int32_t width, int32_t height)
{
    const RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const GraphSources sources{sampleHistory, settings, appState, circuits};
    computeGraphPicture(picture, graph.view, sources, measureTextCp932, dc);
    drawGraphPicture(dc, picture, graph.gdi);
}

// The picture is rendered into the memory bitmap and shown in one blit, so
// the window never shows a half-drawn or erased picture.  Without a bitmap
// (no room in GDI) it is drawn on the window directly.
void paintGraph(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    GraphBitmap &bitmap = graph.bitmap;
    if (fitGraphBitmap(bitmap, client.right, client.bottom)) {
        renderGraph(bitmap.dc, bitmap.width, bitmap.height);
        bitmap.rendered = true;
        BitBlt(dc, 0, 0, bitmap.width, bitmap.height, bitmap.dc, 0, 0, SRCCOPY);
    } else {
        SetBkMode(dc, TRANSPARENT);
        renderGraph(dc, client.right, client.bottom);
    }
    EndPaint(window, &paint);
}

// Copy and save take the picture as last painted (painted now if it never
// was), so that they hold exactly what the window shows.
void onGraphCommand(HWND window, WORD id)
{
    if (id != IDM_COPY_PICTURE && id != IDM_SAVE_PICTURE)
        return;
    if (!graph.bitmap.rendered)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (id == IDM_COPY_PICTURE)
        copyGraphPicture(window, graph.bitmap);
    else
        saveGraphPictureAs(window, graph.bitmap);
}

// The right-click menu; the command comes back as WM_COMMAND.
void showGraphMenu(HWND window, LPARAM where)
{
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (where == static_cast<LPARAM>(-1)) {  // from the keyboard: at the window's top left
        at = POINT{0, 0};
        ClientToScreen(window, &at);
    }
    HMENU menu = LoadMenuA(static_cast<HINSTANCE>(appState.instance), MAKEINTRESOURCEA(IDR_GRAPH_MENU));
    if (menu == nullptr)
        return;
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, window,
                   nullptr);
    DestroyMenu(menu);
}

void onGraphKey(HWND window, WPARAM key)
{
    if (key == 'C' && GetKeyState(VK_CONTROL) < 0)
        onGraphCommand(window, IDM_COPY_PICTURE);
}

BOOL closeGraphWindow(HWND window)
{
    if (appState.connected != 0) {
        const int answer = messageBoxCp932(window,
                                           "Will you Close GraphDialog?\n"
                                           "(If you Close GraphDialog then Saving also Stop)",
                                           "QUESTION", MB_YESNO | MB_ICONQUESTION);
        if (answer == IDNO)
            return FALSE;
    }
    KillTimer(window, graphRepaintTimerId);
    if (appState.graphRunning == 1)
        SendMessageA(graph.parentWindow, WM_COMMAND, IDC_STOP, 0);
    DestroyWindow(window);
    return TRUE;
}

void onGraphTimer(HWND window, UINT_PTR id)
{
    if (id == TIMER_SAMPLE_TICK)
        onSampleTick();
    else if (id == static_cast<UINT_PTR>(graphRepaintTimerId))
        InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

INT_PTR CALLBACK graphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initGraphWindow(window);
        return TRUE;
    case WM_ERASEBKGND:  // the paint covers every pixel
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_PAINT:
        paintGraph(window);
        return TRUE;
    case WM_CLOSE:
        return closeGraphWindow(window);
    case WM_TIMER:
        onGraphTimer(window, wParam);
        return TRUE;
    case WM_CONTEXTMENU:
        showGraphMenu(window, lParam);
        return TRUE;
    case WM_KEYDOWN:
        onGraphKey(window, wParam);
        return TRUE;
    case WM_COMMAND:
        onGraphCommand(window, LOWORD(wParam));
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_DESTROY:
        releaseGraphBitmap(graph.bitmap);
        releaseGraphGdi(graph.gdi);
        return FALSE;
    default:
        return FALSE;
    }
}
