#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/enable_rules.h"
#include "app/help_path.h"
#include "app/mode_rules.h"
#include "device/device_session.h"
#include "settings/config_checks.h"
#include "settings/field_clamp.h"

TEST(AppStateReset, ClearsFlagsSessionAndMasksButKeepsTheMode)
{
    appState = AppState{17, 1, 1, 1, {1, 1, 1, 1, 1, 1, 1, 1}, kModeDiffAmp, nullptr, nullptr, nullptr, nullptr};
    deviceSession = {11, 22, 33, 44, 64};
    portState = PortState{{{0xFF, 0xFF}, {0xFF, 0xFF}, {0xFF, 0xFF}}};
    resetAppState();
    const AppState &a = appState;
    EXPECT_EQ(std::make_tuple(a.selectedId, a.connected, a.graphRunning, a.saving, a.plotted[0], a.plotted[7], a.mode),
              std::make_tuple(0, 0, 0, 0, 0, 0, kModeDiffAmp));
    EXPECT_EQ(std::make_tuple(deviceSession.boardHandle, deviceSession.initialPipe, deviceSession.readSize,
                              portState.ports[0].directionMask, portState.ports[2].outputMask),
              std::make_tuple(0u, 0u, 0, 0, 0));
}

TEST(ModeMenu, NormalEnablesEveryGraphCheckBoxDiffAmpChecksOnlyCH0AndCH4)
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const bool output = ch == 0 || ch == 4;
        const GraphCheckState normal = graphCheckForMode(kModeNormal, ch);
        const GraphCheckState diffAmp = graphCheckForMode(kModeDiffAmp, ch);
        EXPECT_EQ(std::make_tuple(normal.checked, normal.enabled, diffAmp.checked, diffAmp.enabled),
                  std::make_tuple(false, true, output, output)) << "CH" << ch;
    }
}

TEST(HelpManual, LiesBesideTheProgramNeverInTheCurrentDirectory)
{
    const std::pair<const wchar_t *, const wchar_t *> rows[] = {
        {L"C:\\Tools\\Pendra\\Pendra_Visualizer.exe", L"C:\\Tools\\Pendra\\PENDRA_VISUALIZER_HELP.html"},
        {L"C:/mixed\\slashes/p.exe", L"C:/mixed\\slashes/PENDRA_VISUALIZER_HELP.html"},
        {L"Pendra_Visualizer.exe", L""},  // no folder: nothing is opened
    };
    for (const auto &[program, manual] : rows)
        EXPECT_EQ(manualPathBeside(program), std::wstring(manual));
}

// The command column, the smoothing fields and the Setting item, state by
// state; the output boxes are enabled exactly on the OUT bits, and only while
// connected.
TEST(EnableRules, ControlsFollowTheDialogStateAndOutputBoxesTheDirectionMasks)
{
    using E = EnableState;
    const E on = E::kEnabled, off = E::kDisabled, keep = E::kUnchanged;
    // Controls: ID, Connect, Go, Stop, Save, I/O Update, Directions, Smoothing; then the direction masks.
    struct Row { const char *state; int32_t connected, graphRunning; std::vector<E> controls; bool setting;
                 uint8_t p9, pa, pb; };
    const Row rows[] = {
        {"disconnected, with OUT bits left from a lost board", 0, 0, {on, on, off, off, off, off, off, keep}, true,
         0x15, 0xFF, 0xFF},
        {"connected, idle: P9 bits 0 and 4, PA bit 5, PB bits 0 and 7 OUT", 1, 0, {off, on, on, off, off, on, on, on},
         true, 0x11, 0x20, 0x81},
        {"sampling: P9 bit 2, PB alternate bits OUT", 1, 1, {off, off, off, on, on, on, on, off}, false, 0x04, 0x00,
         0x55},
        {"lost while sampling: connected is cleared first, so the disconnected rules apply", 0, 1,
         {on, on, off, off, off, off, off, keep}, true, 0x04, 0x00, 0x55},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.state);
        AppState app{};
        app.connected = r.connected;
        app.graphRunning = r.graphRunning;
        const PortState ports{{{r.p9, 0}, {r.pa, 0}, {r.pb, 0}}};
        const EnableResult e = computeEnableRules(app, ports);
        EXPECT_EQ(std::vector<E>({e.idBox, e.connectButton, e.goButton, e.stopButton, e.saveButton,
                                  e.ioUpdateButton, e.directionBoxes, e.smoothingFields}),
                  r.controls);
        EXPECT_EQ(e.settingMenuEnabled, r.setting);
        for (int port = 0; port < kPortCount; ++port)
            for (int bit = 0; bit < kPortBitSlots; ++bit) {
                const bool out = (ports.ports[port].directionMask >> bit) & 1;
                EXPECT_EQ(e.outputBoxes[port][bit], r.connected && out ? on : off) << "port " << port << " bit " << bit;
            }
    }
}

TEST(ConfigChecks, FirstFailingCheckGivesItsWarning)
{
    const std::string interval = "Interval [0] is Invalid\n";
    const std::string axis = "Y-AXIS Value is Invalid\n";
    const std::string threshold = "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN";
    struct Case { const char *what; ConfigDraft draft; std::string warning; };
    // Draft fields: nowRead, getData, top, origin, threshold, channel, enabled.
    const Case cases[] = {
        {"GETDATA 0",                       {60, 0, 1023, 0, 0, 0, 0}, interval},
        {"NOWREAD 0",                       {0, 60, 1023, 0, 0, 0, 0}, interval},
        {"GETDATA 0 and every other fault", {60, 0, 400, 500, 900, 0, 1}, interval},
        {"negative intervals pass",         {-1, -60, 1023, 0, 0, 0, 0}, ""},
        {"TOP equal to ORIGIN",             {60, 60, 500, 500, 0, 0, 0}, ""},
        {"TOP below ORIGIN",                {60, 60, 400, 500, 900, 0, 1}, axis},
        {"enabled, threshold above TOP",    {60, 60, 800, 100, 900, 0, 1}, threshold},
        {"enabled, threshold below ORIGIN", {60, 60, 800, 100, 99, 0, 1}, threshold},
        {"disabled, threshold above TOP",   {60, 60, 800, 100, 900, 0, 0}, ""},
        {"enabled, threshold equal to TOP", {60, 60, 800, 100, 800, 0, 1}, ""},
        {"enabled, threshold equal to ORIGIN", {60, 60, 800, 100, 100, 0, 1}, ""},
    };
    for (const Case &c : cases) {
        const char *warning = configCheckMessage(c.draft);
        EXPECT_EQ(warning == nullptr ? "" : std::string(warning), c.warning) << c.what;
    }
}

TEST(ConfigDraft, TakesTheSettingsAndStoresThemBackWithTheEdgeFromItsBox)
{
    for (bool enabled : {false, true}) {
        ConfigDraft draft = draftFromSettings(Settings{200, 15, 800, 100, 7, 900, enabled, false});
        EXPECT_EQ(draft.triggerEnabled, enabled ? 1 : 0);
        draft.triggerThreshold = 850;
        Settings v{};
        storeConfigDraft(draft, true, v);
        EXPECT_EQ(std::make_tuple(v.getDataInterval, v.nowReadInterval, v.axisTop, v.axisOrigin, v.triggerChannel,
                                  v.triggerThreshold, v.triggerEnabled, v.triggerRising),
                  std::make_tuple(200, 15, 800, 100, 7, 850, enabled, true));
    }
    // The CH box's selection, the previous channel and the channel kept: -1 is
    // typed text that matches no entry.
    const int32_t rows[][3] = {{0, 5, 0}, {7, 0, 7}, {-1, 5, 5}, {8, 2, 2}};
    for (const auto &[selection, previous, channel] : rows)
        EXPECT_EQ(channelFromSelection(selection, previous), channel) << selection << " after " << previous;
}

// A field's text read as a 16-bit signed number, then held in the range of
// each kind of field.
TEST(FieldClamp, DigitsAfterBlanksCutToSixteenSignedBitsThenEachFieldKeepsItsRange)
{
    struct Row { const char *text; int32_t number, interval, limit, smoothing; };
    const Row rows[] = {
        // text                                 number  interval  limit  smoothing
        {" \t\n\v\f\r9",                        9,      9,        9,     9},     // leading blanks are skipped
        {"12 34",                               12,     12,       12,    12},    // the first other character stops
        {"",                                    0,      0,        0,     1},     // emptied field
        {"+5",                                  0,      0,        0,     1},     // a sign is no digit
        {"-3",                                  0,      0,        0,     1},     // pasted negative number
        {"250",                                 250,    250,      250,   100},
        {"1500",                                1500,   1500,     1023,  100},
        {"32768",                               -32768, 0,        0,     1},     // negative once cut to 16 bits
        {"70000",                               4464,   4464,     1023,  100},   // 4464 once cut to 16 bits
        {"99999999999999999999999999999999",    -1,     0,        0,     1},     // 10^32 - 1; 2^16 divides 10^32
    };
    for (const Row &r : rows) {
        EXPECT_EQ(std::make_tuple(parseFieldNumber(r.text), clampIntervalField(r.text), clampLimitField(r.text),
                                  clampSmoothingCount(r.text)),
                  std::make_tuple(r.number, r.interval, r.limit, r.smoothing)) << '"' << r.text << '"';
    }
    EXPECT_EQ(parseFieldNumber(nullptr), 0);
}
