// Measures the Graph window's whole paint under Wine: the real window
// repainted through its procedure, and the picture replayed into a memory
// bitmap.  Times are printed, never asserted; what is asserted is that the
// repeated paints still drew the picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "driver.h"
#include "graph/graph_gdi_win32.h"
#include "graph/graph_picture.h"
#include "graph/graph_window_win32.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace {

constexpr int kPaints = 200;

void fillHistory(SampleHistory &history)
{
    history = SampleHistory{};
    history.wrapped = 1;
    history.writeIndex = 37;
    history.sampleCount = 12337;
    for (int ch = 0; ch < kChannelCount; ++ch)
        for (uint32_t k = 0; k < kHistorySlots; ++k)
            history.values[ch][k] = static_cast<int32_t>((k * 37 + static_cast<uint32_t>(ch) * 101) % 1024);
}

double microsecondsPer(std::chrono::steady_clock::duration total, int count)
{
    return std::chrono::duration<double, std::micro>(total).count() / count;
}

TEST(GraphPaintBench, RepaintingTheWindowKeepsDrawingTheAxes)
{
    const std::string bin = windowsPathFromEnv("PV_BIN");
    if (bin.empty())
        GTEST_SKIP() << "PV_BIN is not set";
    HMODULE module = LoadLibraryExA((bin + "\\Pendra_Visualizer.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HWND owner = CreateWindowA("STATIC", "owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    settings = Settings{60, 100, 1023, 0, 3, 500, true, true};
    appState = AppState{};
    appState.saving = 1;
    for (int ch = 0; ch < kChannelCount; ++ch)
        appState.plotted[ch] = 1;
    HWND graph = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_GRAPH), owner, graphWindowProc, 0);
    ASSERT_NE(graph, nullptr);
    fillHistory(sampleHistory);  // after the initialisation, which empties it
    RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPaints; ++i)
        RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const double perPaint = microsecondsPer(std::chrono::steady_clock::now() - start, kPaints);

    RECT client{};
    GetClientRect(graph, &client);
    std::printf("graph window paint (erase + paint, %ld x %ld): %.1f us\n", client.right, client.bottom, perPaint);
    RecordProperty("window_paint_us", std::to_string(perPaint));

    HDC dc = GetDC(graph);
    const COLORREF yAxis = GetPixel(dc, 55, client.bottom / 2);
    const COLORREF xAxis = GetPixel(dc, client.right - 10, client.bottom - 25);
    ReleaseDC(graph, dc);
    DestroyWindow(graph);
    DestroyWindow(owner);
    FreeLibrary(module);
    appState = AppState{};
    if (yAxis == CLR_INVALID)
        GTEST_SKIP() << "this display does not read window pixels back";
    EXPECT_EQ(yAxis, RGB(0, 0, 0));
    EXPECT_EQ(xAxis, RGB(0, 0, 0));
}

TEST(GraphPaintBench, ReplayIntoAMemoryBitmapDrawsEveryTrace)
{
    constexpr int kWidth = 1280;
    constexpr int kHeight = 620;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    SetBkMode(dc, TRANSPARENT);

    GraphGdi gdi{};
    createGraphGdi(gdi);
    GraphPicture picture;
    reserveGraphPicture(picture);
    static SampleHistory history;
    fillHistory(history);
    Settings s{60, 100, 1023, 0, 3, 500, true, true};
    AppState app{};
    app.saving = 1;
    for (int ch = 0; ch < kChannelCount; ++ch)
        app.plotted[ch] = 1;
    CircuitResult results[kCircuitCount]{{512.25f, 2.5f, 10}, {1024.0f, 1024.0f, 10}};
    GraphView view{kWidth, kHeight, computeYScale(s.axisTop, s.axisOrigin, kHeight), 0};
    const GraphSources sources{history, s, app, results};
    const RECT all{0, 0, kWidth, kHeight};
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPaints; ++i) {
        FillRect(dc, &all, white);
        computeGraphPicture(picture, view, sources, measureTextCp932, dc);
        drawGraphPicture(dc, picture, gdi);
    }
    const double perPaint = microsecondsPer(std::chrono::steady_clock::now() - start, kPaints);
    std::printf("graph picture computed and replayed into a %d x %d bitmap: %.1f us\n", kWidth, kHeight, perPaint);
    RecordProperty("replay_paint_us", std::to_string(perPaint));

    // Each channel's newest sample (slot 36) ends its trace at X 495.
    const double yScale = view.yScale;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const int y = (kHeight - 25) + static_cast<int>(-history.values[ch][36] / yScale);
        bool found = false;
        for (int dy = -1; dy <= 1 && !found; ++dy)
            for (int dx = -5; dx <= 0 && !found; ++dx)
                found = GetPixel(dc, 55 + 495 + dx, y + dy) == static_cast<COLORREF>(channelColour[ch]);
        EXPECT_TRUE(found) << "CH" << ch;
    }

    releaseGraphGdi(gdi);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
