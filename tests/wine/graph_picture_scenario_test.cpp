// The Graph window's picture out of the program: Ctrl+C puts it on the
// clipboard and "Save Picture As..." writes a PNG, both holding exactly the
// pixels the window shows.
#include <wincodec.h>

#include <vector>

#include "capture.h"
#include "controls.h"
#include "input.h"
#include "resources/resource.h"
#include "scenario.h"

namespace {

const char kSteadyBoard[] = "board 0\nchannel 0 constant offset=300\n";
const char kTriggerOnCh0[] = "[INTERVAL]\nGETDATA=20\nNOWREAD=20\n[TRIGGER]\nCH=0\nTHRESHOLD=500\nENABLE=TRUE\n";

Pixels clipboardPicture()
{
    Pixels picture;
    if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(nullptr))
        return picture;
    if (HGLOBAL dib = GetClipboardData(CF_DIB)) {
        picture = pixelsOfDib(static_cast<const BITMAPINFOHEADER *>(GlobalLock(dib)));
        GlobalUnlock(dib);
    }
    CloseClipboard();
    return picture;
}

// The PNG file decoded by the system's imaging component; empty when it cannot be.
Pixels decodePng(const std::wstring &path)
{
    Pixels picture;
    IWICImagingFactory *factory = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICFormatConverter *converter = nullptr;
    UINT width = 0, height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void **>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height))) {
        std::vector<uint32_t> rgb(size_t{width} * height);
        if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(rgb.size() * 4),
                                            reinterpret_cast<BYTE *>(rgb.data())))) {
            for (uint32_t &p : rgb)
                p &= 0xFFFFFFu;
            picture = Pixels{static_cast<int>(width), static_cast<int>(height), rgb};
        }
    }
    for (IUnknown *object : std::vector<IUnknown *>{converter, frame, decoder, factory})
        if (object != nullptr)
            object->Release();
    return picture;
}

testing::AssertionResult samePixels(const Pixels &got, const Pixels &shown)
{
    size_t differing = got.rgb.size() == shown.rgb.size() ? 0 : got.rgb.size();
    for (size_t i = 0; differing == 0 && i < got.rgb.size(); ++i)
        differing += got.rgb[i] != shown.rgb[i];
    if (got == shown)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << got.width << " x " << got.height << " against the window's " << shown.width
                                       << " x " << shown.height << ", pixels differing: " << differing;
}

class GraphPictureScenario : public ScenarioTest {};

TEST_F(GraphPictureScenario, CtrlCAndSavePictureAsGiveExactlyTheWindowsPixels)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kSteadyBoard, withSettings(kTriggerOnCh0)));
    ASSERT_TRUE(connectTo(0));
    click(dialog, IDC_CH_GRAPH0);
    click(dialog, IDC_GO);
    HWND graph = waitForDialog("Graph");
    ASSERT_NE(graph, nullptr);
    Sleep(300);  // a trace of some samples; then the picture holds still
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_GO); }));
    Pixels shown;  // once unchanged over several repaints
    ULONGLONG changed = 0;
    ASSERT_TRUE(waitUntil([&] {
        Pixels next = captureClient(graph);
        if (!(next == shown))
            shown = std::move(next), changed = GetTickCount64();
        return !shown.rgb.empty() && GetTickCount64() - changed > 300;
    }));

    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    SetForegroundWindow(graph);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == graph; }));
    pressKeys({VK_CONTROL, 'C'});
    ASSERT_TRUE(waitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; })) << "Ctrl+C copies";
    EXPECT_TRUE(samePixels(clipboardPicture(), shown));

    // Save Picture As... takes the picture when chosen.  While its dialog is
    // open, sampling runs and a block ends after the operator has browsed
    // into another folder: the CSV file stays in the data folder.
    rightClick(graph);
    ASSERT_TRUE(waitUntil([] { return IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE; }));
    pressKeys({VK_DOWN});
    pressKeys({VK_DOWN});
    pressKeys({VK_RETURN});  // the second item
    HWND save = waitForDialog("Save");
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(CreateDirectoryW(program.folder().filePath("sub").c_str(), nullptr));
    click(dialog, IDC_GO);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_SAVE); }));
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    setFileDialogName(save, L"sub");
    DWORD_PTR answer = 0;  // sent: the dialog has browsed into it before the block ends
    SendMessageTimeoutW(GetDlgItem(save, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, kDefaultTimeoutMs, &answer);
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
    EXPECT_FALSE(program.folder().readFile("sub\\" + todayCsvName()).has_value()) << "the CSV moved with the dialog";
    setFileDialogName(save, L"picture.png");
    click(save, IDOK);
    ASSERT_TRUE(CoInitialize(nullptr) >= 0);
    Pixels saved;
    EXPECT_TRUE(waitUntil([&] { return !(saved = decodePng(program.folder().filePath("sub\\picture.png"))).rgb.empty(); }));
    EXPECT_TRUE(samePixels(saved, shown));
    CoUninitialize();
}

}  // namespace
