// The Graph window in this process: created from the program's own template
// 102, placed, painted and closed.  The close question is answered by a
// watcher thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/circuit.h"
#include "acquisition/sample_history.h"
#include "app/app_state.h"
#include "graph/graph_gdi_win32.h"
#include "graph/graph_picture.h"
#include "graph/graph_window_win32.h"
#include "paths.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace {

// ---- A parent that records the commands it receives -----------------------

struct CommandSeen {
    WPARAM id;
    bool graphAlive;  // the Graph window still existed when it arrived
};

std::vector<CommandSeen> commandsSeen;
HWND graphUnderTest = nullptr;

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        commandsSeen.push_back(CommandSeen{wParam, IsWindow(graphUnderTest) != FALSE});
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createParent()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA cls{};
        cls.lpfnWndProc = parentProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "GraphTestParent";
        RegisterClassA(&cls);
        registered = true;
    }
    return CreateWindowA("GraphTestParent", "parent", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// ---- Answers the close question ---------------------------------------------

struct QuestionSeen {
    std::string caption, text;
    HWND owner = nullptr;
};

// Closes the window with WM_CLOSE while a second thread answers the question
// box, if one opens, and records it.
std::vector<QuestionSeen> closeAnswering(HWND graph, int answer)
{
    std::vector<QuestionSeen> seen;
    std::atomic<bool> done{false};
    std::thread answerer([&] {
        while (!done) {
            HWND box = FindWindowA("#32770", "QUESTION");
            if (box == nullptr) {
                Sleep(5);
                continue;
            }
            QuestionSeen q;
            char text[256] = {};
            GetWindowTextA(box, text, sizeof text);
            q.caption = text;
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            q.text = text;
            q.owner = GetWindow(box, GW_OWNER);
            seen.push_back(q);
            PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
            for (int i = 0; i < 2000 && IsWindow(box); ++i)
                Sleep(1);
        }
    });
    SendMessageA(graph, WM_CLOSE, 0, 0);
    Sleep(20);
    done = true;
    answerer.join();
    return seen;
}

class GraphWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string bin = windowsPathFromEnv("PV_BIN");
        if (bin.empty())
            GTEST_SKIP() << "PV_BIN is not set";
        module_ = LoadLibraryExA((bin + "\\Pendra_Visualizer.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
        settings = Settings{60, 100, 1023, 0, 0, 500, false, true};
        appState = AppState{};
        commandsSeen.clear();
        parent_ = createParent();
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override
    {
        if (graphUnderTest != nullptr && IsWindow(graphUnderTest))
            DestroyWindow(graphUnderTest);
        graphUnderTest = nullptr;
        if (parent_ != nullptr)
            DestroyWindow(parent_);
        if (module_ != nullptr)
            FreeLibrary(module_);
        appState = AppState{};
    }

    HWND createGraph()
    {
        graphUnderTest = CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_GRAPH), parent_, graphWindowProc, 0);
        return graphUnderTest;
    }

    static RECT expectedPlacement()
    {
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const LONG w = work.right - work.left;
        const LONG h = work.bottom - work.top;
        return RECT{w / 3, h / 3 + 40, w / 3 + 2 * w / 3, h / 3 + 40 + 5 * h / 8};
    }

    HMODULE module_ = nullptr;
    HWND parent_ = nullptr;
};

TEST_F(GraphWindowTest, OpensFromItsTemplateAtItsPlaceWithAnEmptyHistory)
{
    sampleHistory.sampleCount = 55;
    sampleHistory.writeIndex = 55;
    sampleHistory.values[3][7] = 9;
    HWND graph = createGraph();
    ASSERT_NE(graph, nullptr);

    char caption[32] = {};
    GetWindowTextA(graph, caption, sizeof caption);
    EXPECT_STREQ(caption, "Graph");
    const LONG style = GetWindowLongA(graph, GWL_STYLE);
    EXPECT_TRUE(IsWindowVisible(graph));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(GetParent(graph), parent_);

    RECT placed{};
    GetWindowRect(graph, &placed);
    const RECT expected = expectedPlacement();
    EXPECT_EQ(placed.left, expected.left);
    EXPECT_EQ(placed.top, expected.top);
    EXPECT_EQ(placed.right, expected.right);
    EXPECT_EQ(placed.bottom, expected.bottom);

    EXPECT_EQ(sampleHistory.sampleCount, 0u);
    EXPECT_EQ(sampleHistory.writeIndex, 0u);
    EXPECT_EQ(sampleHistory.values[3][7], 0);
    EXPECT_EQ(SendMessageA(graph, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
}

TEST_F(GraphWindowTest, ReinitialisingClearsTheHistoryAndReturnsToItsPlace)
{
    HWND graph = createGraph();
    ASSERT_NE(graph, nullptr);
    MoveWindow(graph, 10, 10, 200, 150, TRUE);
    sampleHistory.sampleCount = 250;
    sampleHistory.wrapped = 1;
    for (int round = 0; round < 3; ++round)  // pens are replaced, not piled up
        SendMessageA(graph, WM_INITDIALOG, 0, 0);

    RECT placed{};
    GetWindowRect(graph, &placed);
    EXPECT_EQ(placed.left, expectedPlacement().left);
    EXPECT_EQ(placed.bottom, expectedPlacement().bottom);
    EXPECT_EQ(sampleHistory.sampleCount, 0u);
    EXPECT_EQ(sampleHistory.wrapped, 0);
}

struct CloseCase {
    const char *what;
    int32_t connected;
    int32_t graphRunning;
    int answer;  // to the question, when it is asked
    bool asked;
    bool stopSent;
    bool closed;
};

TEST_F(GraphWindowTest, ClosingAsksOnlyWhileConnectedAndStopsSampling)
{
    const CloseCase cases[] = {
        {"not connected and sampling: no question, Stop, closed", 0, 1, IDYES, false, true, true},
        {"not connected and stopped: no question, no Stop, closed", 0, 0, IDYES, false, false, true},
        {"connected, answered No: the window and sampling stay", 1, 1, IDNO, true, false, false},
        {"connected, answered Yes while sampling: Stop, closed", 1, 1, IDYES, true, true, true},
    };
    for (const CloseCase &c : cases) {
        commandsSeen.clear();
        HWND graph = createGraph();
        ASSERT_NE(graph, nullptr) << c.what;
        appState.connected = c.connected;
        appState.graphRunning = c.graphRunning;
        const std::vector<QuestionSeen> seen = closeAnswering(graph, c.answer);
        ASSERT_EQ(seen.size(), c.asked ? 1u : 0u) << c.what;
        if (c.asked) {
            EXPECT_EQ(seen[0].caption, "QUESTION") << c.what;
            EXPECT_EQ(seen[0].text,
                      "Will you Close GraphDialog?\n(If you Close GraphDialog then Saving also Stop)")
                << c.what;
            EXPECT_EQ(seen[0].owner, graph) << c.what;
        }
        ASSERT_EQ(commandsSeen.size(), c.stopSent ? 1u : 0u) << c.what;
        if (c.stopSent) {
            EXPECT_EQ(commandsSeen[0].id, 1013u) << c.what;
            EXPECT_TRUE(commandsSeen[0].graphAlive) << c.what;  // Stop arrives before the window goes
        }
        EXPECT_EQ(IsWindow(graph) == FALSE, c.closed) << c.what;
        appState = AppState{};
        if (IsWindow(graph))
            DestroyWindow(graph);
    }
}

// ---- The picture replayed with GDI ------------------------------------------

class GraphReplayTest : public testing::Test {
protected:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 400;

    void SetUp() override
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap_, nullptr);
        previous_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc_, TRANSPARENT);
        createGraphGdi(gdi_);
    }
    void TearDown() override
    {
        releaseGraphGdi(gdi_);
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    void paint(SampleHistory &history, Settings &s, AppState &app, CircuitResult (&results)[kCircuitCount])
    {
        GraphView view{kWidth, kHeight, computeYScale(s.axisTop, s.axisOrigin, kHeight), 0};
        const GraphSources sources{history, s, app, results};
        computeGraphPicture(picture_, view, sources, measureTextCp932, dc_);
        drawGraphPicture(dc_, picture_, gdi_);
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    GraphGdi gdi_{};
    GraphPicture picture_;
};

struct PixelCase {
    const char *what;
    int x, y;  // window pixels
    COLORREF colour;
};

TEST_F(GraphReplayTest, PensAndOriginLandWhereThePictureSays)
{
    SampleHistory history{};
    Settings s{60, 100, 1023, 0, 2, 300, true, true};
    AppState app{};
    CircuitResult results[kCircuitCount]{};
    app.plotted[0] = 1;
    app.plotted[5] = 1;
    history.wrapped = 1;
    for (uint32_t k = 0; k < kHistorySlots; ++k) {
        history.values[0][k] = 600;  // a flat red line 195 pixels up
        history.values[5][k] = 900;  // a flat blue line 293 pixels up
    }
    const HGDIOBJ penBefore = GetCurrentObject(dc_, OBJ_PEN);
    const HGDIOBJ fontBefore = GetCurrentObject(dc_, OBJ_FONT);
    paint(history, s, app, results);

    const PixelCase cases[] = {
        {"the grid line of 255.00 is light grey", 55 + 150, 375 - 83, RGB(168, 168, 168)},
        {"the trigger line at 300 is grey", 55 + 250, 375 - 97, RGB(128, 128, 128)},
        {"the CH0 trace is red", 55 + 100, 375 - 195, RGB(255, 0, 0)},
        {"the CH5 trace is blue", 55 + 100, 375 - 293, RGB(0, 0, 255)},
        {"the X axis is black", 55 + 700, 375, RGB(0, 0, 0)},
        {"the Y axis is black", 55, 50, RGB(0, 0, 0)},
        {"the plot beyond the last sample stays white", 55 + 520, 375 - 150, RGB(255, 255, 255)},
    };
    for (const PixelCase &c : cases)
        EXPECT_EQ(GetPixel(dc_, c.x, c.y), c.colour) << c.what;

    // Pen, font, text colour and origin are handed back as they were given,
    // so the objects of the window can be deleted.
    POINT origin{-1, -1};
    GetViewportOrgEx(dc_, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), penBefore);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetTextColor(dc_), RGB(0, 0, 0));
}

TEST_F(GraphReplayTest, TheTriggerArrowIsMeasuredAsOneCharacter)
{
    // The arrow's two bytes form one character in code page 932: the label
    // with the arrow is wider than without it by the width of one glyph.
    const TextExtent without = measureTextCp932(dc_, "TRG [CH0] ", 10);
    const TextExtent with = measureTextCp932(dc_, "TRG [CH0] \x81\xAA", 12);
    const TextExtent arrow = measureTextCp932(dc_, "\x81\xAA", 2);
    EXPECT_GT(arrow.width, 0);
    EXPECT_EQ(with.width, without.width + arrow.width);
    EXPECT_GT(with.height, 0);
}

}  // namespace
