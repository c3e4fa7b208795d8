// The settings module's Windows layer in this process: init_setting.ini
// through the profile functions, the Config dialog from the program's own
// template, and the periodic multimedia timers.  Message boxes are answered
// by a watcher thread that records what they said.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <algorithm>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "paths.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_parse.h"
#include "settings/settings_win32.h"
#include "timing/timer_state.h"
#include "timing/timers_win32.h"

namespace {

struct BoxSeen {
    std::string caption;
    std::string text;
    HWND owner;
};

// Answers with OK every message box (caption INIT_ERROR, Warning or
// MMT_ERROR) that the watched thread opens, recording each in order.
class BoxWatcher {
public:
    BoxWatcher() : thread_(GetCurrentThreadId()), worker_([this] { run(); }) {}
    ~BoxWatcher()
    {
        stop_ = true;
        worker_.join();
    }
    std::vector<BoxSeen> seen()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    // The caption without sending a message: the watched thread may be busy
    // and not answer until this thread ends.
    static std::string captionOf(HWND window)
    {
        wchar_t caption[64] = {};
        InternalGetWindowText(window, caption, 64);
        std::string narrow;
        for (const wchar_t *c = caption; *c != 0; ++c)
            narrow += static_cast<char>(*c);
        return narrow;
    }

    static BOOL CALLBACK findBox(HWND window, LPARAM found)
    {
        const std::string text = captionOf(window);
        if (text == "INIT_ERROR" || text == "Warning" || text == "MMT_ERROR") {
            *reinterpret_cast<HWND *>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    void run()
    {
        while (!stop_) {
            HWND box = nullptr;
            EnumThreadWindows(thread_, findBox, reinterpret_cast<LPARAM>(&box));
            if (box == nullptr) {
                Sleep(5);
                continue;
            }
            BoxSeen seen;
            char text[256] = {};
            seen.caption = captionOf(box);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            seen.text = text;
            seen.owner = GetWindow(box, GW_OWNER);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(seen);
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 2000 && IsWindow(box); ++i)
                Sleep(1);
        }
    }

    DWORD thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<BoxSeen> seen_;
    std::thread worker_;
};

// A fresh temporary folder as the current directory for one test.
class SettingsFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        char name[MAX_PATH] = {};
        GetTempFileNameA(temp, "pvs", 0, name);  // creates a file: make it a folder
        DeleteFileA(name);
        folder_ = name;
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
        window_ = CreateWindowA("STATIC", "owner", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        appState.mainWindow = window_;
        appState.graphWindow = window_;
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        appState.mainWindow = nullptr;
        appState.graphWindow = nullptr;
        SetCurrentDirectoryA(previous_.c_str());
        DeleteFileA((folder_ + "\\init_setting.ini").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    void writeIni(const std::string &content)
    {
        std::ofstream out(folder_ + "\\init_setting.ini", std::ios::binary);
        out << content;
    }
    bool iniExists() const
    {
        return GetFileAttributesA((folder_ + "\\init_setting.ini").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // The file's lines without line ends and without blank lines.
    std::vector<std::string> iniLines() const
    {
        std::ifstream in(folder_ + "\\init_setting.ini", std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                lines.push_back(line);
        }
        return lines;
    }

    std::string folder_;
    std::string previous_;
    HWND window_ = nullptr;
};

void expectSettings(const Settings &actual, const Settings &expected)
{
    EXPECT_EQ(actual.getDataInterval, expected.getDataInterval);
    EXPECT_EQ(actual.nowReadInterval, expected.nowReadInterval);
    EXPECT_EQ(actual.axisTop, expected.axisTop);
    EXPECT_EQ(actual.axisOrigin, expected.axisOrigin);
    EXPECT_EQ(actual.triggerChannel, expected.triggerChannel);
    EXPECT_EQ(actual.triggerThreshold, expected.triggerThreshold);
    EXPECT_EQ(actual.triggerEnabled, expected.triggerEnabled);
    EXPECT_EQ(actual.triggerRising, expected.triggerRising);
}

const std::vector<std::string> kDefaultFileLines = {
    "[INTERVAL]", "GETDATA=60", "NOWREAD=60", "[Y-AXIS]", "TOP=1023", "ORIGIN=0",
    "[TRIGGER]", "CH=0", "THRESHOLD=0", "ENABLE=FALSE", "EDGE=FALL",
};

}  // namespace

using SettingsFile = SettingsFolderTest;

TEST_F(SettingsFile, SavingTheDefaultsWritesTheElevenLinesInOrder)
{
    settings = defaultSettings();
    saveSettings();
    EXPECT_EQ(iniLines(), kDefaultFileLines);
}

TEST_F(SettingsFile, MissingFileLoadsTheDefaultsSilently)
{
    BoxWatcher watcher;
    settings = Settings{5, 5, 5, 5, 5, 5, true, true};
    loadSettings();
    expectSettings(settings, defaultSettings());
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_FALSE(iniExists());
}

TEST_F(SettingsFile, NamesMatchInAnyCaseButWordsOnlyExactly)
{
    writeIni("[interval]\r\ngetdata=200\r\nNowRead=15\r\n\r\n[y-axis]\r\ntop=800\r\norigin=100\r\n"
             "[Trigger]\r\nch=7\r\nthreshold=900\r\nenable=TRUE\r\nedge=RISE\r\n");
    BoxWatcher watcher;
    loadSettings();
    expectSettings(settings, Settings{200, 15, 800, 100, 7, 900, true, true});
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(SettingsFile, FaultyValuesAreReplacedAndReportedOneBoxEachInReadingOrder)
{
    writeIni("[INTERVAL]\r\nGETDATA=abc\r\nNOWREAD=0\r\n[Y-AXIS]\r\nTOP=1024\r\nORIGIN=-1\r\n"
             "[TRIGGER]\r\nCH=9\r\nTHRESHOLD=1024\r\nENABLE=true\r\nEDGE=rise\r\n");
    std::vector<BoxSeen> seen;
    {
        BoxWatcher watcher;
        loadSettings();
        seen = watcher.seen();
    }
    expectSettings(settings, Settings{60, 60, 1023, 0, 0, 0, false, true});
    const char *const expected[] = {
        "Invalid Value!(TRIGGER->CH in init_setting.ini)",
        "Invalid Value!(TRIGGER->THRESHOLD in init_setting.ini)",
        "Invalid Value!(TRIGGER->ENABLE in init_setting.ini)",
        "Invalid Value!(TRIGGER->EDGE in init_setting.ini)",
        "Invalid Value!(INTERVAL->GETDATA in init_setting.ini)",
        "Invalid Value!(INTERVAL->NOWREAD in init_setting.ini)",
        "Invalid Value!(Y-AXIS->TOP in init_setting.ini)",
        "Invalid Value!(Y-AXIS->ORIGIN in init_setting.ini)",
    };
    ASSERT_EQ(seen.size(), 8u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].caption, "INIT_ERROR");
        EXPECT_EQ(seen[i].text, expected[i]);
        EXPECT_EQ(seen[i].owner, window_);
    }
}

TEST_F(SettingsFile, MarkerTextAndMissingEdgeCountAsMissing)
{
    writeIni("[INTERVAL]\r\nGETDATA=ini_notFound\r\n[TRIGGER]\r\nENABLE=TRUE\r\n");
    BoxWatcher watcher;
    loadSettings();
    EXPECT_EQ(settings.getDataInterval, 60);
    EXPECT_TRUE(settings.triggerEnabled);
    EXPECT_FALSE(settings.triggerRising);
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(SettingsFile, SavedValuesLoadBackAndReplaceOnlyTheirKeys)
{
    writeIni("; kept\r\n[TRIGGER]\r\nCH=3\r\nOTHER=x\r\n");
    settings = Settings{-5, 15, 800, 100, 7, 900, true, true};
    saveSettings();
    const std::vector<std::string> lines = iniLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "OTHER=x"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "CH=7"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "CH=3"), lines.end());

    settings = defaultSettings();
    BoxWatcher watcher;
    loadSettings();
    expectSettings(settings, Settings{-5, 15, 800, 100, 7, 900, true, true});
    EXPECT_TRUE(watcher.seen().empty());
}

// The Config dialog, created modeless from the program's own template so
// that the test drives it from the thread it runs on.
class ConfigDialogTest : public SettingsFolderTest {
protected:
    void SetUp() override
    {
        SettingsFolderTest::SetUp();
        const std::string program = windowsPathFromEnv("PV_BIN") + "\\Pendra_Visualizer.exe";
        module_ = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << program;
    }
    void TearDown() override
    {
        if (dialog_ != nullptr)
            DestroyWindow(dialog_);
        if (module_ != nullptr)
            FreeLibrary(module_);
        SettingsFolderTest::TearDown();
    }

    void open(const Settings &values)
    {
        settings = values;
        dialog_ = CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_CONFIG), window_, configDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        ShowWindow(dialog_, SW_SHOW);
    }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    std::string text(int id) const
    {
        char buffer[128] = {};
        GetDlgItemTextA(dialog_, id, buffer, sizeof buffer);
        return buffer;
    }
    // Keystrokes at the caret; '\b' is Backspace.
    void type(int id, const std::string &keys)
    {
        for (char key : keys)
            SendMessageA(item(id), WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(key)), 0);
    }
    void select(int id, int start, int end) { SendMessageA(item(id), EM_SETSEL, start, end); }
    void paste(int id, const char *pasted)
    {
        select(id, 0, -1);
        SendMessageA(item(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted));
    }
    int caret(int id) const
    {
        DWORD start = 0, end = 0;
        SendMessageA(item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, end) << "selection left in " << id;
        return static_cast<int>(start);
    }
    void command(int id, WORD notification = BN_CLICKED)
    {
        SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(item(id)));
    }
    void toggle(int id)
    {
        CheckDlgButton(dialog_, id, IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        command(id);
    }
    void setNumber(int id, const char *number)
    {
        paste(id, number);
    }
    bool closed() const { return !IsWindowVisible(dialog_); }

    HMODULE module_ = nullptr;
    HWND dialog_ = nullptr;
};

TEST_F(ConfigDialogTest, OpensWithTheStoredSettings)
{
    open(Settings{200, 15, 800, 100, 5, 900, true, true});
    EXPECT_EQ(text(IDC_CFG_NOWREAD), "15");
    EXPECT_EQ(text(IDC_CFG_GETDATA), "200");
    EXPECT_EQ(text(IDC_CFG_TOP), "800");
    EXPECT_EQ(text(IDC_CFG_ORIGIN), "100");
    EXPECT_EQ(text(IDC_CFG_THRESHOLD), "900");
    EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_CFG_ENABLE), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_CFG_EDGE), BST_CHECKED);
    EXPECT_EQ(text(IDC_CFG_EDGE), "RISE");
    ASSERT_EQ(SendMessageA(item(IDC_CFG_CHANNEL), CB_GETCOUNT, 0, 0), 8);
    for (int ch = 0; ch < 8; ++ch) {
        char entry[16] = {};
        SendMessageA(item(IDC_CFG_CHANNEL), CB_GETLBTEXT, ch, reinterpret_cast<LPARAM>(entry));
        EXPECT_EQ(std::string(entry), "CH=" + std::to_string(ch));
    }
    EXPECT_EQ(SendMessageA(item(IDC_CFG_CHANNEL), CB_GETCURSEL, 0, 0), 5);
    char caption[32] = {};
    GetWindowTextA(dialog_, caption, sizeof caption);
    EXPECT_STREQ(caption, "Config");
}

TEST_F(ConfigDialogTest, NegativeIntervalIsShownSignedAndFallEdgeKeepsItsText)
{
    open(Settings{-5, 60, 1023, 0, 0, 0, false, false});
    EXPECT_EQ(text(IDC_CFG_GETDATA), "-5");
    EXPECT_EQ(text(IDC_CFG_EDGE), "FALL");
}

TEST_F(ConfigDialogTest, FieldsAreCleanedAtEveryEditWithTheCaretKept)
{
    open(defaultSettings());
    // A letter after 60 goes again; the caret stays at the end.
    select(IDC_CFG_GETDATA, 2, 2);
    type(IDC_CFG_GETDATA, "a");
    EXPECT_EQ(text(IDC_CFG_GETDATA), "60");
    EXPECT_EQ(caret(IDC_CFG_GETDATA), 2);
    // A letter over the whole text gives 0 at once.
    select(IDC_CFG_NOWREAD, 0, -1);
    type(IDC_CFG_NOWREAD, "x");
    EXPECT_EQ(text(IDC_CFG_NOWREAD), "0");
    // Deleting digits from the end: 6, then 0 with the caret before it.
    select(IDC_CFG_GETDATA, 2, 2);
    type(IDC_CFG_GETDATA, "\b");
    EXPECT_EQ(text(IDC_CFG_GETDATA), "6");
    type(IDC_CFG_GETDATA, "\b");
    EXPECT_EQ(text(IDC_CFG_GETDATA), "0");
    EXPECT_EQ(caret(IDC_CFG_GETDATA), 0);
    type(IDC_CFG_GETDATA, "5");
    EXPECT_EQ(text(IDC_CFG_GETDATA), "50");
    // Typing 1500 into TOP gives 1023; -3 pasted into ORIGIN gives 0; an
    // emptied THRESHOLD gives 0; 70000 in an interval is 4464.
    select(IDC_CFG_TOP, 0, -1);
    type(IDC_CFG_TOP, "1500");
    EXPECT_EQ(text(IDC_CFG_TOP), "1023");
    paste(IDC_CFG_ORIGIN, "-3");
    EXPECT_EQ(text(IDC_CFG_ORIGIN), "0");
    paste(IDC_CFG_THRESHOLD, "");
    EXPECT_EQ(text(IDC_CFG_THRESHOLD), "0");
    paste(IDC_CFG_NOWREAD, "70000");
    EXPECT_EQ(text(IDC_CFG_NOWREAD), "4464");
    paste(IDC_CFG_NOWREAD, "007");
    EXPECT_EQ(text(IDC_CFG_NOWREAD), "7");
}

TEST_F(ConfigDialogTest, EdgeBoxShowsItsEdgeAndCancelKeepsTheSettings)
{
    open(defaultSettings());
    toggle(IDC_CFG_EDGE);
    EXPECT_EQ(text(IDC_CFG_EDGE), "RISE");
    toggle(IDC_CFG_EDGE);
    EXPECT_EQ(text(IDC_CFG_EDGE), "FALL");
    toggle(IDC_CFG_EDGE);
    setNumber(IDC_CFG_GETDATA, "250");
    command(IDCANCEL);
    EXPECT_TRUE(closed());
    expectSettings(settings, defaultSettings());
    EXPECT_FALSE(iniExists());
}

TEST_F(ConfigDialogTest, CloseBoxDiscardsTheEdits)
{
    open(defaultSettings());
    setNumber(IDC_CFG_TOP, "500");
    SendMessageA(dialog_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(closed());
    expectSettings(settings, defaultSettings());
    EXPECT_FALSE(iniExists());
}

TEST_F(ConfigDialogTest, FailedCheckWarnsAndStaysOpenWithNothingStored)
{
    struct Case { const char *what; const char *getData; const char *top; const char *origin;
                  const char *threshold; bool enable; const char *warning; };
    const Case cases[] = {
        {"GETDATA 0 before the other faults", "0", "400", "500", "900", true,
         "Interval [0] is Invalid\n"},
        {"TOP below ORIGIN", "60", "400", "500", "0", false, "Y-AXIS Value is Invalid\n"},
        {"threshold above TOP", "60", "800", "100", "900", true,
         "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        open(defaultSettings());
        setNumber(IDC_CFG_GETDATA, c.getData);
        setNumber(IDC_CFG_TOP, c.top);
        setNumber(IDC_CFG_ORIGIN, c.origin);
        setNumber(IDC_CFG_THRESHOLD, c.threshold);
        if (c.enable)
            toggle(IDC_CFG_ENABLE);
        std::vector<BoxSeen> seen;
        {
            BoxWatcher watcher;
            command(IDOK);
            seen = watcher.seen();
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "Warning");
        EXPECT_EQ(seen[0].text, c.warning);
        EXPECT_EQ(seen[0].owner, dialog_);
        EXPECT_FALSE(closed());
        EXPECT_EQ(text(IDC_CFG_TOP), c.top);
        expectSettings(settings, defaultSettings());
        EXPECT_FALSE(iniExists());
        DestroyWindow(dialog_);
        dialog_ = nullptr;
    }
}

TEST_F(ConfigDialogTest, AcceptedValuesAreStoredAndSaved)
{
    open(defaultSettings());
    setNumber(IDC_CFG_NOWREAD, "200");
    setNumber(IDC_CFG_GETDATA, "20");
    setNumber(IDC_CFG_TOP, "800");
    setNumber(IDC_CFG_ORIGIN, "100");
    setNumber(IDC_CFG_THRESHOLD, "800");  // equal to TOP is valid
    toggle(IDC_CFG_ENABLE);
    toggle(IDC_CFG_EDGE);
    SendMessageA(item(IDC_CFG_CHANNEL), CB_SETCURSEL, 6, 0);
    command(IDC_CFG_CHANNEL, CBN_SELCHANGE);
    BoxWatcher watcher;
    command(IDOK);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_TRUE(closed());
    expectSettings(settings, Settings{20, 200, 800, 100, 6, 800, true, true});
    const std::vector<std::string> expected = {
        "[INTERVAL]", "GETDATA=20", "NOWREAD=200", "[Y-AXIS]", "TOP=800", "ORIGIN=100",
        "[TRIGGER]", "CH=6", "THRESHOLD=800", "ENABLE=TRUE", "EDGE=RISE",
    };
    EXPECT_EQ(iniLines(), expected);
}

TEST_F(ConfigDialogTest, TextMatchingNoChannelKeepsTheLastChosenChannel)
{
    open(Settings{60, 60, 1023, 0, 3, 0, false, false});
    SendMessageA(item(IDC_CFG_CHANNEL), CB_SETCURSEL, 5, 0);
    command(IDC_CFG_CHANNEL, CBN_SELCHANGE);
    SendMessageA(item(IDC_CFG_CHANNEL), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextA(item(IDC_CFG_CHANNEL), "CH=12");
    command(IDC_CFG_CHANNEL, CBN_EDITCHANGE);
    ASSERT_EQ(SendMessageA(item(IDC_CFG_CHANNEL), CB_GETCURSEL, 0, 0), CB_ERR);
    command(IDOK);
    EXPECT_TRUE(closed());
    EXPECT_EQ(settings.triggerChannel, 5);
}

// The periodic timers post their ticks to the window named in AppState.
class PeriodicTimerTest : public SettingsFolderTest {
protected:
    void SetUp() override
    {
        SettingsFolderTest::SetUp();
        other_ = CreateWindowA("STATIC", "other", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        settings = defaultSettings();
        beginTimerResolution();
    }
    void TearDown() override
    {
        endTimerResolution();
        DestroyWindow(other_);
        SettingsFolderTest::TearDown();
    }
    // Takes the queued WM_TIMER messages of `window`, adding their
    // parameters to `ticks`.
    static void take(HWND window, std::vector<WPARAM> &ticks)
    {
        MSG message;
        while (PeekMessageA(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE))
            ticks.push_back(message.wParam);
    }
    // Waits up to 10 s for `count` ticks to `window`.
    static std::vector<WPARAM> waitForTicks(HWND window, size_t count)
    {
        std::vector<WPARAM> ticks;
        for (int i = 0; i < 1000 && ticks.size() < count; ++i) {
            Sleep(10);
            take(window, ticks);
        }
        return ticks;
    }

    HWND other_ = nullptr;
};

TEST_F(PeriodicTimerTest, TicksCarryTheirIdentifierToTheirWindow)
{
    EXPECT_GE(timerState.timerResolution, 1u);
    appState.graphWindow = window_;
    appState.mainWindow = other_;
    settings.getDataInterval = 10;
    settings.nowReadInterval = 15;
    startPeriodicTimer(TIMER_SAMPLE_TICK);
    startPeriodicTimer(TIMER_READ_TICK);
    EXPECT_NE(timerState.sampleTimerId, 0u);
    EXPECT_NE(timerState.readTimerId, 0u);
    std::vector<WPARAM> samples = waitForTicks(window_, 3);
    std::vector<WPARAM> reads = waitForTicks(other_, 3);
    stopSampleTimer();
    stopReadTimer();
    ASSERT_GE(samples.size(), 3u);
    ASSERT_GE(reads.size(), 3u);
    for (WPARAM tick : samples)
        EXPECT_EQ(tick, static_cast<WPARAM>(TIMER_SAMPLE_TICK));
    for (WPARAM tick : reads)
        EXPECT_EQ(tick, static_cast<WPARAM>(TIMER_READ_TICK));
}

TEST_F(PeriodicTimerTest, TargetIsReadWhenTheTimerFiresAndStopEndsTheTicks)
{
    appState.mainWindow = window_;
    settings.nowReadInterval = 10;
    startPeriodicTimer(TIMER_READ_TICK);
    ASSERT_GE(waitForTicks(window_, 1).size(), 1u);
    appState.mainWindow = other_;
    Sleep(50);  // a tick already under way may still reach the first window
    std::vector<WPARAM> drained;
    take(window_, drained);
    ASSERT_GE(waitForTicks(other_, 2).size(), 2u);
    std::vector<WPARAM> late;
    take(window_, late);
    EXPECT_TRUE(late.empty());

    stopReadTimer();
    Sleep(50);
    take(other_, drained);
    Sleep(200);
    std::vector<WPARAM> afterStop;
    take(other_, afterStop);
    EXPECT_TRUE(afterStop.empty());
}

TEST_F(PeriodicTimerTest, RefusedIntervalIsReportedAndKeepsTheStoredIdentifier)
{
    struct Case { UINT timer; int32_t interval; };
    const Case cases[] = {
        {TIMER_SAMPLE_TICK, -5}, {TIMER_READ_TICK, -1}, {TIMER_READ_TICK, 1000000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.timer) + " at " + std::to_string(c.interval));
        settings.getDataInterval = c.interval;
        settings.nowReadInterval = c.interval;
        timerState.sampleTimerId = 1234;
        timerState.readTimerId = 5678;
        std::vector<BoxSeen> seen;
        {
            BoxWatcher watcher;
            startPeriodicTimer(c.timer);
            seen = watcher.seen();
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "MMT_ERROR");
        EXPECT_EQ(seen[0].text, "Setting MultiMediaTimer Failed");
        EXPECT_EQ(seen[0].owner, window_);
        EXPECT_EQ(timerState.sampleTimerId, 1234u);
        EXPECT_EQ(timerState.readTimerId, 5678u);
    }
}

TEST_F(PeriodicTimerTest, OtherIdentifiersStartNothing)
{
    timerState.sampleTimerId = 1;
    timerState.readTimerId = 2;
    BoxWatcher watcher;
    startPeriodicTimer(TIMER_REPAINT);
    EXPECT_EQ(timerState.sampleTimerId, 1u);
    EXPECT_EQ(timerState.readTimerId, 2u);
    EXPECT_TRUE(watcher.seen().empty());
}
