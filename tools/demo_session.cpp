// The demonstration session of the run command and of scripts/screenshots.sh:
// starts Pendra_Visualizer in the current folder and plays a short operator
// session on the simulated board, printing each step.
//
//   demo_session.exe PROGRAM [SCREENSHOT_FOLDER]
//
// Both paths may be Windows paths or host paths (/...).
//
// Connect to board 0, some port bits OUT with outputs set, I/O Update, the
// Config dialog opened and cancelled, four channels plotted with Go, Diff Amp
// mode, a few seconds of saving, Stop, Exit.  With a screenshot folder it
// writes main-dialog.bmp, config-dialog.bmp, graph-normal.bmp and
// graph-diffamp.bmp there, each the window's own picture, and graph-menu.bmp,
// the Graph window with its right-click menu open as the screen shows them.
//
// An init_setting.ini is written first unless the folder already has one.
// Exit code 0 when every step was seen to take effect, 1 with a message on
// stderr otherwise (the program is then ended).
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

// The trigger's marker stands above CH0's peak on the demonstration board, so
// it shows in the Graph without starting a block by itself.
const char kDemoSettings[] =
    "[INTERVAL]\r\n"
    "GETDATA=40\r\n"
    "NOWREAD=20\r\n"
    "[Y-AXIS]\r\n"
    "TOP=1023\r\n"
    "ORIGIN=0\r\n"
    "[TRIGGER]\r\n"
    "CH=0\r\n"
    "THRESHOLD=900\r\n"
    "ENABLE=TRUE\r\n"
    "EDGE=RISE\r\n";

constexpr int kSampleIntervalMs = 40;   // GETDATA above
constexpr int kPlotSamples = 100;       // samples across the Graph
constexpr DWORD kWaitMs = 15000;        // for anything the program should do at once
constexpr DWORD kStartWaitMs = 60000;   // a first Wine start can be slow
constexpr DWORD kSavingMs = 3000;

// PA bits 0..3 and P9 bit 4 become outputs; PA bits 0 and 2 and P9 bit 4 drive 1.
struct PortBit {
    const char *name;
    int direction;
    int output;  // 0: stays at 0
};
const PortBit kOutputBits[] = {
    {"PA0", IDC_PA_DIR0 + 0, IDC_PA_OUT0 + 0},
    {"PA1", IDC_PA_DIR0 + 1, 0},
    {"PA2", IDC_PA_DIR0 + 2, IDC_PA_OUT0 + 2},
    {"PA3", IDC_PA_DIR0 + 3, 0},
    {"P9 bit 4", IDC_P9_DIR0 + 4, IDC_P9_OUT1 + 3},  // outputs of bits 1..4: 1044..1047
};
const int kNormalChannels[] = {0, 3, 4, 7};

void step(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    std::fputs("demo: ", stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

bool waitUntil(const std::function<bool()> &condition, DWORD timeoutMs = kWaitMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// A message to the program, bounded in time: a modal box never blocks the demo.
LRESULT sendBounded(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

std::string textOf(HWND window)
{
    char text[256] = {};
    sendBounded(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string classOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

class Session {
public:
    explicit Session(const std::string &shotFolder) : shotFolder_(shotFolder) {}
    ~Session();

    bool start(const std::string &program);
    bool run();
    const std::string &failure() const { return failure_; }

private:
    bool fail(const std::string &message);
    std::string openMessageBox() const;
    HWND findDialog(const char *caption) const;
    HWND item(int id) const { return GetDlgItem(main_, id); }
    std::string itemText(int id) const { return textOf(item(id)); }
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
    bool checked(int id) const { return sendBounded(item(id), BM_GETCHECK) == BST_CHECKED; }
    void click(int id) const { PostMessageA(item(id), BM_CLICK, 0, 0); }
    void command(int id) const { PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    bool waitForText(int id, const char *text);
    bool capture(HWND window, const char *name, bool asOnScreen = false);

    bool connect();
    bool setPorts();
    bool showConfig();
    bool plotNormal();
    bool showPictureMenu();
    bool switchToDiffAmp();
    bool saveForAWhile();
    bool stop();
    bool exitProgram();

    std::string shotFolder_;
    std::string failure_;
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    HWND graph_ = nullptr;
};

Session::~Session()
{
    if (process_.hProcess == nullptr)
        return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool Session::fail(const std::string &message)
{
    failure_ = message;
    const std::string box = openMessageBox();
    if (!box.empty())
        failure_ += " (the program shows \"" + box + "\")";
    return false;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && classOf(window) == "#32770")
        search->found.push_back(window);
    return TRUE;
}

HWND Session::findDialog(const char *caption) const
{
    WindowSearch search{process_.dwProcessId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
        if (textOf(window) == caption)
            return window;
    }
    return nullptr;
}

// "caption: text" of a message box the program shows, or "".
std::string Session::openMessageBox() const
{
    WindowSearch search{process_.dwProcessId, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
        HWND text = GetDlgItem(window, 0xFFFF);
        if (text != nullptr)
            return textOf(window) + ": " + textOf(text);
    }
    return std::string();
}

bool Session::start(const std::string &program)
{
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        process_ = {};
        return fail("cannot start " + program + " (error " + std::to_string(GetLastError()) + ")");
    }
    step("started %s", program.c_str());
    if (!waitUntil([&] { return (main_ = findDialog("Pendra_Visualizer")) != nullptr; }, kStartWaitMs))
        return fail("the main dialog did not appear");
    step("main dialog shown");
    return true;
}

bool Session::waitForText(int id, const char *text)
{
    return waitUntil([&] { return itemText(id) == text; });
}

bool Session::connect()
{
    sendBounded(item(IDC_ID_BOX), CB_SETCURSEL, 0);
    command(IDC_ID_BOX);
    click(IDC_CONNECT);
    if (!waitForText(IDC_CONNECT, "Close"))
        return fail("Connect to ID=0 did not succeed");
    // The first read tick replaces the "-" of the value boxes.
    if (!waitUntil([&] { return itemText(IDC_CH_VALUE0) != "-"; }))
        return fail("no channel values after Connect");
    step("connected to board ID=0: CH0 reads %s", itemText(IDC_CH_VALUE0).c_str());
    return true;
}

bool Session::setPorts()
{
    for (const PortBit &bit : kOutputBits) {
        click(bit.direction);
        if (!waitForText(bit.direction, "OUT"))
            return fail(std::string("port bit ") + bit.name + " did not turn to OUT");
        if (bit.output != 0) {
            if (!waitUntil([&] { return enabled(bit.output); }))
                return fail(std::string("the output box of ") + bit.name + " stayed disabled");
            click(bit.output);
            if (!waitUntil([&] { return checked(bit.output); }))
                return fail(std::string("the output box of ") + bit.name + " did not check");
        }
    }
    step("PA0..PA3 and P9 bit 4 set to OUT, outputs PA0, PA2 and P9 bit 4 ticked");
    click(IDC_IO_UPDATE);
    // PA drives PB through the demonstration board's loopback: PB0 follows PA0.
    if (!waitUntil([&] { return itemText(IDC_PB_VAL0) == "1" && itemText(IDC_PA_VAL0) == "1"; }))
        return fail("I/O Update did not reach the board (PA0 and PB0 do not read 1)");
    step("I/O Update: PA0 reads %s, PB0 (looped back from PA0) reads %s", itemText(IDC_PA_VAL0).c_str(),
         itemText(IDC_PB_VAL0).c_str());
    return true;
}

bool Session::showConfig()
{
    command(IDM_SETTING);
    HWND config = nullptr;
    if (!waitUntil([&] { return (config = findDialog("Config")) != nullptr; }))
        return fail("the Config dialog did not open from the Setting menu");
    step("Config dialog opened: DataLogInterval %s ms, trigger threshold %s",
         textOf(GetDlgItem(config, IDC_CFG_GETDATA)).c_str(), textOf(GetDlgItem(config, IDC_CFG_THRESHOLD)).c_str());
    Sleep(300);
    if (!capture(config, "config-dialog"))
        return false;
    PostMessageA(GetDlgItem(config, IDCANCEL), BM_CLICK, 0, 0);
    if (!waitUntil([&] { return !IsWindow(config); }))
        return fail("the Config dialog did not close with Cancel");
    step("Config dialog cancelled");
    return true;
}

bool Session::plotNormal()
{
    for (int channel : kNormalChannels)
        click(IDC_CH_GRAPH0 + channel);
    if (!waitUntil([&] {
            for (int channel : kNormalChannels) {
                if (!checked(IDC_CH_GRAPH0 + channel))
                    return false;
            }
            return true;
        }))
        return fail("the Graph check boxes did not check");
    click(IDC_GO);
    if (!waitUntil([&] { return (graph_ = findDialog("Graph")) != nullptr; }))
        return fail("Go did not open the Graph window");
    if (!waitUntil([&] { return enabled(IDC_STOP); }))
        return fail("Go did not start sampling (Stop stays disabled)");
    step("Go: Graph window open in Normal mode with CH0, CH3, CH4, CH7");
    // Let the traces run across the whole plot.
    Sleep(kPlotSamples * kSampleIntervalMs + 600);
    step("sampled %d samples", kPlotSamples);
    return capture(graph_, "graph-normal") && capture(main_, "main-dialog");
}

// The right-click menu, opened by a real click and closed with Escape.
bool Session::showPictureMenu()
{
    RECT rect = {};
    GetWindowRect(graph_, &rect);
    const POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    INPUT input[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    // Real input goes to the window on top: another program on the display
    // may take the foreground at any moment, so the click is tried again.
    bool opened = false;
    for (int attempt = 0; attempt < 5 && !opened; ++attempt) {
        SetForegroundWindow(graph_);
        if (!waitUntil([&] { return GetForegroundWindow() == graph_ && WindowFromPoint(middle) == graph_; }))
            continue;
        SetCursorPos(middle.x, middle.y);
        SendInput(2, input, sizeof(INPUT));
        opened = waitUntil([] { return IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE; });
    }
    if (!opened)
        return fail("a right click on the Graph did not open its menu");
    step("right click on the Graph: Copy Picture, Save Picture As...");
    Sleep(300);  // the menu drawn
    const bool captured = capture(graph_, "graph-menu", true);
    INPUT escape[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    escape[0].ki.wVk = escape[1].ki.wVk = VK_ESCAPE;
    escape[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, escape, sizeof(INPUT));
    if (!waitUntil([] { return !IsWindowVisible(FindWindowA("#32768", nullptr)); }))
        return fail("Escape did not close the Graph's menu");
    return captured;
}

bool Session::switchToDiffAmp()
{
    command(IDM_DIFFAMP);
    // The mode ticks CH0 and CH4 and disables the other graph boxes.
    if (!waitUntil([&] { return checked(IDC_CH_GRAPH0) && !enabled(IDC_CH_GRAPH0 + 1); }))
        return fail("Mode > Diff Amp did not take effect");
    step("Mode > Diff Amp: circuits 0 and 1 plotted with their Gain and Vref");
    Sleep(1000);
    return capture(graph_, "graph-diffamp");
}

bool Session::saveForAWhile()
{
    click(IDC_SAVE);
    if (!waitForText(IDC_SAVE, "SaveStop"))
        return fail("SaveStart did not start saving");
    step("SaveStart: saving for %lu s", kSavingMs / 1000);
    Sleep(kSavingMs);
    click(IDC_SAVE);
    if (!waitForText(IDC_SAVE, "SaveStart"))
        return fail("SaveStop did not end saving");
    step("SaveStop");
    return true;
}

bool Session::stop()
{
    click(IDC_STOP);
    if (!waitUntil([&] { return enabled(IDC_GO) && !enabled(IDC_STOP); }))
        return fail("Stop did not end sampling");
    step("Stop: sampling ended, the Graph keeps the last samples");
    return true;
}

bool Session::exitProgram()
{
    command(IDM_EXIT);
    if (WaitForSingleObject(process_.hProcess, kWaitMs) != WAIT_OBJECT_0)
        return fail("Exit did not end the program");
    step("Exit: the program ended");
    return true;
}

bool Session::run()
{
    return connect() && setPorts() && showConfig() && plotNormal() && showPictureMenu() && switchToDiffAmp() &&
           saveForAWhile() && stop() && exitProgram();
}

// The window, frame and caption included, as a 24-bit BMP in the screenshot
// folder: its own picture, or what the screen shows there (with a menu on top).
bool Session::capture(HWND window, const char *name, bool asOnScreen)
{
    if (shotFolder_.empty())
        return true;
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = asOnScreen ? GetDC(nullptr) : GetWindowDC(window);
    const int left = asOnScreen ? rect.left : 0;
    const int top = asOnScreen ? rect.top : 0;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    const std::string path = shotFolder_ + "\\" + name + ".bmp";
    bool written = false;
    if (copied) {
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageBytes;
        if (FILE *out = std::fopen(path.c_str(), "wb")) {
            written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                      std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                      std::fwrite(bits, imageBytes, 1, out) == 1;
            written = std::fclose(out) == 0 && written;
        }
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(asOnScreen ? nullptr : window, screen);
    if (!written)
        return fail("cannot write the screenshot " + path);
    step("screenshot %s (%dx%d)", name, width, height);
    return true;
}

void writeDemoSettings()
{
    if (GetFileAttributesA("init_setting.ini") != INVALID_FILE_ATTRIBUTES) {
        step("using the init_setting.ini already in the data folder");
        return;
    }
    if (FILE *out = std::fopen("init_setting.ini", "wb")) {
        std::fputs(kDemoSettings, out);
        std::fclose(out);
        step("wrote init_setting.ini: sample every 40 ms, trigger marker CH0 rising at 900");
    }
}

// A host path (/...) as Wine's drive Z: names it; any other path as given.
std::string windowsPath(const char *path)
{
    std::string result = path[0] == '/' ? "Z:" : "";
    for (const char *c = path; *c != '\0'; ++c)
        result += *c == '/' ? '\\' : *c;
    return result;
}

std::string todayCsvName()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return std::to_string(now.wYear) + "_" + std::to_string(now.wMonth) + "_" + std::to_string(now.wDay) + ".csv";
}

// Record lines of the file: every non-empty line that is not a block header.
int csvRecords(const std::string &name)
{
    int records = 0;
    if (FILE *in = std::fopen(name.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, in) != nullptr) {
            if (line[0] != '[' && line[0] != '\n' && line[0] != '\r')
                ++records;
        }
        std::fclose(in);
    }
    return records;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: demo_session PROGRAM [SCREENSHOT_FOLDER]\n");
        return 2;
    }
    writeDemoSettings();
    const std::string csv = todayCsvName();
    const int recordsBefore = csvRecords(csv);

    Session session(argc == 3 ? windowsPath(argv[2]) : "");
    if (!session.start(windowsPath(argv[1])) || !session.run()) {
        std::fprintf(stderr, "demo: FAILED: %s\n", session.failure().c_str());
        return 1;
    }
    const int added = csvRecords(csv) - recordsBefore;
    if (added <= 0) {
        std::fprintf(stderr, "demo: FAILED: no records were added to %s\n", csv.c_str());
        return 1;
    }
    step("%s gained a block of %d records", csv.c_str(), added);
    return 0;
}
