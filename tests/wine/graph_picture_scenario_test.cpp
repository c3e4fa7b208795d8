// The Graph window's picture out of the program: Ctrl+C puts it on the
// clipboard and "Save Picture As..." writes a PNG, both holding exactly the
// pixels the window shows.
#include <functional>
#include <vector>

#include "capture.h"
#include "driver.h"
#include "input.h"

namespace {

const char kSteadyBoard[] = "board 0\nchannel 0 constant offset=300\n";
const char kTriggerOnCh0[] = "[INTERVAL]\nGETDATA=20\nNOWREAD=20\n[TRIGGER]\nCH=0\nTHRESHOLD=500\nENABLE=TRUE\n";

using GraphPictureScenario = Scenario;

TEST_F(GraphPictureScenario, CtrlCAndSavePictureAsGiveExactlyTheWindowsPixels)
{
    ASSERT_NO_FATAL_FAILURE(start(kSteadyBoard, kTriggerOnCh0));
    ASSERT_TRUE(connect(0));
    click(dialog, IDC_CH_GRAPH0);
    ASSERT_TRUE(go());
    HWND graph = findDialog("Graph");
    ASSERT_NE(graph, nullptr);
    Sleep(300);  // a trace of some samples; then the picture holds still
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return enabled(dialog, IDC_GO); }));
    // Real input goes to the active window, and the screen shows the window
    // on top: another program on the display may take either at any moment,
    // so the Graph window is brought forward and each step tried again then.
    RECT client{};
    GetClientRect(graph, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(graph, &middle);
    const auto inFront = [&] {
        SetForegroundWindow(graph);
        return waitUntil([&] { return GetForegroundWindow() == graph && WindowFromPoint(middle) == graph; }, 3000);
    };
    const auto tryInFront = [&](const std::function<void()> &step, const std::function<bool()> &done) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (!inFront())
                continue;
            step();
            if (waitUntil(done, 5000))
                return true;
        }
        return false;
    };
    Picture shown;  // once unchanged over several repaints
    ULONGLONG changed = 0;
    ASSERT_TRUE(inFront());
    ASSERT_TRUE(waitUntil([&] {
        Picture next = captureClient(graph);
        if (!(next == shown) || WindowFromPoint(middle) != graph)
            shown = std::move(next), changed = GetTickCount64(), inFront();
        return !shown.rows.empty() && GetTickCount64() - changed > 300;
    }));

    // The clipboard is open to one process at a time: the program may still hold it.
    ASSERT_TRUE(waitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    ASSERT_TRUE(EmptyClipboard() && CloseClipboard());
    ASSERT_TRUE(tryInFront([] { pressKeys({VK_CONTROL, 'C'}); },
                           [] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; })) << "Ctrl+C copies";
    ASSERT_TRUE(waitUntil([] { return OpenClipboard(nullptr) != FALSE; }));
    const HGLOBAL dib = GetClipboardData(CF_DIB);
    EXPECT_TRUE(pictureOfDib(static_cast<const BITMAPINFOHEADER *>(GlobalLock(dib))) == shown) << "as shown";
    GlobalUnlock(dib);
    CloseClipboard();

    // Save Picture As... takes the picture when chosen.  While its dialog is
    // open, sampling runs and a block is saved after the operator has browsed
    // into another folder: the CSV file stays in the data folder.
    HWND save = nullptr;
    ASSERT_TRUE(tryInFront(
        [&] {
            rightClick(graph);
            if (waitUntil([] { return IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE; }, 3000))
                for (WORD key : std::vector<WORD>{VK_DOWN, VK_DOWN, VK_RETURN})  // the second item
                    pressKeys({key});
        },
        [&] { return (save = findDialog("Save")) != nullptr && IsWindowVisible(save); }));
    ASSERT_TRUE(CreateDirectoryA(folder.file("sub").c_str(), nullptr));
    ASSERT_TRUE(go());
    setFileDialogName(save, L"sub");
    DWORD_PTR result = 0;  // sent: the dialog has browsed into it before the block starts
    SendMessageTimeoutW(GetDlgItem(save, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 15000, &result);
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
    const std::filesystem::path sub = folder.file("sub");
    EXPECT_FALSE(readFile(sub / std::filesystem::path(logPath()).filename())) << "the CSV moved with the dialog";
    setFileDialogName(save, L"picture.png");
    click(save, IDOK);
    Picture saved;
    EXPECT_TRUE(waitUntil([&] { return !(saved = decodePng((sub / "picture.png").wstring())).rows.empty(); }));
    EXPECT_TRUE(saved == shown) << "the PNG holds what the window showed";
}

}  // namespace
