// Start-up and settings: a settings file with every value faulty, the main
// dialog as the operator first meets it, its keyboard and smoothing fields,
// the Version dialog, and the Config dialog down to the file its OK writes.
#include <algorithm>

#include "driver.h"

namespace {

using StartupAndSettings = Scenario;

TEST_F(StartupAndSettings, FaultySettingsTheMainDialogItsKeysAndFieldsTheVersionAndConfigDialogs)
{
    // Every key faulty, written in another order than the keys are read: one
    // message each, in reading order, before the main dialog shows.
    ASSERT_NO_FATAL_FAILURE(start("board 0\n",
                                  "[Y-AXIS]\nORIGIN=-1\nTOP=1024\n[INTERVAL]\nNOWREAD=abc\nGETDATA=0\n"
                                  "[TRIGGER]\nEDGE=rise\nENABLE=true\nTHRESHOLD=1024\nCH=9\n",
                                  false));
    for (const char *key : {"TRIGGER->CH", "TRIGGER->THRESHOLD", "TRIGGER->ENABLE", "TRIGGER->EDGE",
                            "INTERVAL->GETDATA", "INTERVAL->NOWREAD", "Y-AXIS->TOP", "Y-AXIS->ORIGIN"})
        ASSERT_TRUE(answer(std::string("INIT_ERROR: Invalid Value!(") + key + " in init_setting.ini)", dialog));
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog); }));
    ASSERT_TRUE(settle());
    EXPECT_TRUE(log()) << "today's CSV file is opened at start-up";

    // ID=0 of 32, no values yet, every bit IN, P9 bits 1 and 3 hidden.
    EXPECT_EQ(send(GetDlgItem(dialog, IDC_ID_BOX), CB_GETCOUNT), 32);
    const std::pair<int, const char *> texts[] = {
        {IDC_ID_BOX, "ID=0"},    {IDC_CONNECT, "Connect"},       {IDC_GO, "Go"},         {IDC_STOP, "Stop"},
        {IDC_SAVE, "SaveStart"}, {IDC_IO_UPDATE, "I/O Update"}, {IDC_SMOOTH0, "10"}, {IDC_SMOOTH1, "10"}};
    for (const auto &[id, shown] : texts)
        EXPECT_EQ(text(dialog, id), shown);
    for (int bit = 0; bit < 8; ++bit) {
        for (int id : {IDC_CH_VALUE0 + bit, IDC_PA_VAL0 + bit, IDC_PB_VAL0 + bit})
            EXPECT_EQ(text(dialog, id), "-") << "value box " << id;
        for (int id : {IDC_PA_DIR0 + bit, IDC_PB_DIR0 + bit})
            EXPECT_EQ(text(dialog, id), "IN") << "direction " << id;
    }
    for (int id = IDC_P9_VAL0; id <= IDC_P9_VAL0 + 4; ++id)
        EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, id)) ? text(dialog, id) : "hidden",
                  (id - IDC_P9_VAL0) % 2 ? "hidden" : "-") << "P9 value box " << id;
    expectEnableRules(kDisconnected, "at start-up");

    // The keyboard under the program's own message loop: Tab moves the focus
    // to the next control; Escape and Enter, as keys or commands, neither
    // close nor press.  Another program on the display may take the
    // activation at any moment: the Tab is then tried again.
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    const auto focus = [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };
    bool tabbed = false;
    for (int attempt = 0; attempt < 5 && !tabbed; ++attempt) {
        SetForegroundWindow(dialog);
        HWND from = nullptr;  // the control holding the focus (the ID box for its edit field)
        if (!waitUntil([&] { return IsChild(dialog, from = focus()); }, 3000))
            continue;
        while (GetParent(from) != dialog)
            from = GetParent(from);
        PostMessageA(focus(), WM_KEYDOWN, VK_TAB, 0);
        tabbed = waitUntil([&] { return focus() == GetNextDlgTabItem(dialog, from, FALSE); }, 3000);
    }
    EXPECT_TRUE(tabbed) << "Tab moves the focus on";
    PostMessageA(GetDlgItem(dialog, IDC_CONNECT), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(GetDlgItem(dialog, IDC_CONNECT), WM_KEYDOWN, VK_RETURN, 0);
    postCommand(dialog, IDCANCEL);
    postCommand(dialog, IDOK);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(checked(dialog, IDC_CONNECT)) << "Enter on Connect does not press it";

    // The Version dialog belongs to the main dialog and closes by OK only.
    postCommand(dialog, IDM_VERSION);
    HWND version = waitForDialog("Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(GetWindow(version, GW_OWNER), dialog);
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & DS_SHELLFONT, DS_SHELLFONT) << "the main dialog's font";
    EXPECT_EQ(GetWindowLongA(version, GWL_STYLE) & DS_SHELLFONT, DS_SETFONT) << "the Version dialog's font";
    postCommand(version, IDCANCEL);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(IsWindow(version)) << "Escape does not close the Version dialog";
    click(version, IDOK);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(version); }));

    // The smoothing counts are cleaned as they are typed, the caret kept (at).
    struct Edit { const char *what; int field, start, end; const char *keys; bool paste; const char *shown; int at; };
    const Edit smoothing[] = {
        {"Backspace at the end of 10 leaves 1", IDC_SMOOTH0, 2, 2, "\b", false, "1", 1},
        {"Backspace on the last digit is answered with 1, caret before it", IDC_SMOOTH0, 1, 1, "\b", false, "1", 0},
        {"250 pasted is limited to 100", IDC_SMOOTH1, 0, -1, "250", true, "100", 3},
    };
    for (const auto &row : smoothing) {
        edit(dialog, row.field, row.start, row.end, row.keys, row.paste);
        ASSERT_TRUE(settle());
        EXPECT_EQ(text(dialog, row.field), row.shown) << row.what;
        EXPECT_EQ(send(GetDlgItem(dialog, row.field), EM_GETSEL), MAKELRESULT(row.at, row.at)) << row.what;
    }

    // The Config dialog shows the settings as loaded (EDGE "rise" reads as
    // RISE).  The file is read at start-up only, so what a dialog writes shows.
    const std::string settingsFile = folder.file("init_setting.ini");
    ASSERT_TRUE(DeleteFileA(settingsFile.c_str()));
    HWND config = nullptr;
    const auto openConfig = [&] {
        postCommand(dialog, IDM_SETTING);
        ASSERT_NE(config = waitForDialog("Config"), nullptr);
        const std::pair<int, const char *> fields[] = {
            {IDC_CFG_NOWREAD, "60"}, {IDC_CFG_GETDATA, "60"},   {IDC_CFG_TOP, "1023"},   {IDC_CFG_ORIGIN, "0"},
            {IDC_CFG_THRESHOLD, "0"}, {IDC_CFG_CHANNEL, "CH=0"}, {IDC_CFG_EDGE, "RISE"}};
        for (const auto &[id, shown] : fields)
            EXPECT_EQ(text(config, id), shown) << "Config field " << id;
    };
    ASSERT_NO_FATAL_FAILURE(openConfig());
    // Each field is wired to its own clean-up: an interval is cut to 16 bits, a limit held at 0..1023.
    const struct { int field; const char *keys; bool paste; const char *shown; } cleanUps[] = {
        {IDC_CFG_NOWREAD, "70000", true, "4464"}, {IDC_CFG_GETDATA, "x", false, "0"},
        {IDC_CFG_TOP, "1500", false, "1023"},     {IDC_CFG_ORIGIN, "-3", true, "0"},
        {IDC_CFG_THRESHOLD, "2000", true, "1023"}};
    for (const auto &row : cleanUps) {
        edit(config, row.field, 0, -1, row.keys, row.paste);
        EXPECT_TRUE(waitUntil([&] { return text(config, row.field) == row.shown; }))
            << "field " << row.field << " shows " << text(config, row.field);
    }
    click(config, IDC_CFG_EDGE);
    EXPECT_TRUE(waitUntil([&] { return text(config, IDC_CFG_EDGE) == "FALL"; }));
    click(config, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    EXPECT_FALSE(readFile(settingsFile)) << "Cancel writes nothing";
    ASSERT_NO_FATAL_FAILURE(openConfig());

    // OK warns about the first failed check, owned by the dialog, which stays open.
    const struct { const char *getData, *top, *origin, *threshold; bool enable; const char *warning; } checks[] = {
        {"0", "400", "500", "0", false, "Interval [0] is Invalid\n"},
        {"25", "400", "500", "0", false, "Y-AXIS Value is Invalid\n"},
        {"25", "800", "100", "900", true, "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN"},
        {"25", "800", "100", "500", true, nullptr},  // accepted below
    };
    for (const auto &row : checks) {
        const std::pair<int, const char *> fields[] = {
            {IDC_CFG_GETDATA, row.getData}, {IDC_CFG_TOP, row.top}, {IDC_CFG_ORIGIN, row.origin},
            {IDC_CFG_THRESHOLD, row.threshold}};
        for (const auto &[id, value] : fields)
            edit(config, id, 0, -1, value, true);
        if (checked(config, IDC_CFG_ENABLE) != row.enable)
            click(config, IDC_CFG_ENABLE);
        ASSERT_TRUE(waitUntil([&] { return checked(config, IDC_CFG_ENABLE) == row.enable; }));
        if (row.warning == nullptr)
            break;
        click(config, IDOK);
        ASSERT_TRUE(answer(std::string("Warning: ") + row.warning, config));
        EXPECT_TRUE(IsWindowVisible(config));
        EXPECT_FALSE(readFile(settingsFile));
    }
    choose(config, IDC_CFG_CHANNEL, 5);
    click(config, IDC_CFG_EDGE);
    click(config, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); })) << "accepted";
    std::vector<std::string> saved = linesOf(readFile(settingsFile).value_or(""));
    saved.erase(std::remove(saved.begin(), saved.end(), ""), saved.end());
    EXPECT_EQ(saved, std::vector<std::string>({"[INTERVAL]", "GETDATA=25", "NOWREAD=60", "[Y-AXIS]", "TOP=800",
                                               "ORIGIN=100", "[TRIGGER]", "CH=5", "THRESHOLD=500", "ENABLE=TRUE",
                                               "EDGE=FALL"}));

    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(exitCode(), 0) << "the close box ends the program";
}

}  // namespace
