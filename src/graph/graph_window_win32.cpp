#include "graph/graph_window_win32.h"

#include "acquisition/acquisition_win32.h"
#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "app/cp932_win32.h"
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

void paintGraph(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr)
        return;
    SetBkMode(dc, TRANSPARENT);
    const GraphSources sources{sampleHistory, settings, appState, circuits};
    computeGraphPicture(picture, graph.view, sources, measureTextCp932, dc);
    drawGraphPicture(dc, picture, graph.gdi);
    EndPaint(window, &paint);
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
        InvalidateRect(window, nullptr, TRUE);
}

}  // namespace

INT_PTR CALLBACK graphWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        initGraphWindow(window);
        return TRUE;
    case WM_PAINT:
        paintGraph(window);
        return TRUE;
    case WM_CLOSE:
        return closeGraphWindow(window);
    case WM_TIMER:
        onGraphTimer(window, wParam);
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_DESTROY:
        releaseGraphGdi(graph.gdi);
        return FALSE;
    default:
        return FALSE;
    }
}
