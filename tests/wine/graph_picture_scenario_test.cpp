// The Graph window's picture out of the program: Ctrl+C puts it on the
// clipboard and "Save Picture As..." writes a PNG, both holding exactly the
// pixels the window shows.
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
    Picture shown;  // once unchanged over several repaints
    ULONGLONG changed = 0;
    ASSERT_TRUE(waitUntil([&] {
        Picture next = captureClient(graph);
        if (!(next == shown))
            shown = std::move(next), changed = GetTickCount64();
        return !shown.rows.empty() && GetTickCount64() - changed > 300;
    }));

    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    SetForegroundWindow(graph);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == graph; }));
    pressKeys({VK_CONTROL, 'C'});
    ASSERT_TRUE(waitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; })) << "Ctrl+C copies";
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HGLOBAL dib = GetClipboardData(CF_DIB);
    EXPECT_TRUE(pictureOfDib(static_cast<const BITMAPINFOHEADER *>(GlobalLock(dib))) == shown) << "as shown";
    GlobalUnlock(dib);
    CloseClipboard();

    // Save Picture As... takes the picture when chosen.  While its dialog is
    // open, sampling runs and a block is saved after the operator has browsed
    // into another folder: the CSV file stays in the data folder.
    rightClick(graph);
    ASSERT_TRUE(waitUntil([] { return IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE; }));
    for (WORD key : std::vector<WORD>{VK_DOWN, VK_DOWN, VK_RETURN})  // the second item
        pressKeys({key});
    HWND save = waitForDialog("Save");
    ASSERT_NE(save, nullptr);
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
