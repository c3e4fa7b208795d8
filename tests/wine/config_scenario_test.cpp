// The Config dialog driven from the Setting menu: fields cleaned as they are
// typed, the checks of OK, and the settings file it writes.
#include <algorithm>
#include <string>

#include "resources/resource.h"
#include "scenario.h"

namespace {

class ConfigScenario : public ScenarioTest {
protected:
    HWND openConfig()
    {
        postCommand(dialog, IDM_SETTING);
        return waitForDialog("Config");
    }

    std::optional<std::string> savedSettings() const { return program.folder().readFile("init_setting.ini"); }
};

TEST_F(ConfigScenario, FieldsAreCleanedAsTheyAreEditedAndCancelDiscardsTheEdits)
{
    const std::string stored = "[TRIGGER]\nEDGE=RISE\nCH=3\n";
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0, withSettings(stored)));
    HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    const auto expectStoredFields = [&](const char *when) {
        const std::pair<int, const char *> fields[] = {
            {IDC_CFG_NOWREAD, "60"},  {IDC_CFG_GETDATA, "60"}, {IDC_CFG_TOP, "1023"},    {IDC_CFG_ORIGIN, "0"},
            {IDC_CFG_THRESHOLD, "0"}, {IDC_CFG_EDGE, "RISE"},  {IDC_CFG_CHANNEL, "CH=3"},
        };
        for (const auto &[id, text] : fields)
            EXPECT_EQ(controlText(config, id), text) << "field " << id << " " << when;
        EXPECT_TRUE(isChecked(config, IDC_CFG_EDGE)) << when;
    };
    expectStoredFields("at opening");

    // Applied one after another: the selection runs from the start given to the end.
    const struct {
        const char *what;
        int field, selectionStart;
        const char *keys;    // typed one by one, or
        const char *pasted;  // pasted at once
        const char *shown;
    } edits[] = {
        {"a letter typed after 60 in NOWREAD is taken away", IDC_CFG_NOWREAD, 2, "x", nullptr, "60"},
        {"a letter replacing GETDATA gives 0", IDC_CFG_GETDATA, 0, "x", nullptr, "0"},
        {"1500 typed into TOP is limited to 1023", IDC_CFG_TOP, 0, "1500", nullptr, "1023"},
        {"-3 pasted into ORIGIN becomes 0", IDC_CFG_ORIGIN, 0, nullptr, "-3", "0"},
        {"THRESHOLD emptied becomes 0", IDC_CFG_THRESHOLD, 0, nullptr, "", "0"},
        {"40000 pasted into GETDATA is negative in 16 bits: 0", IDC_CFG_GETDATA, 0, nullptr, "40000", "0"},
        {"70000 pasted into NOWREAD is 4464 in 16 bits", IDC_CFG_NOWREAD, 0, nullptr, "70000", "4464"},
        {"2000 pasted into THRESHOLD is limited to 1023", IDC_CFG_THRESHOLD, 0, nullptr, "2000", "1023"},
    };
    for (const auto &edit : edits) {
        if (edit.pasted != nullptr)
            replaceText(config, edit.field, edit.selectionStart, -1, edit.pasted);
        else
            typeKeys(config, edit.field, edit.selectionStart, -1, edit.keys);
        EXPECT_TRUE(waitUntil([&] { return controlText(config, edit.field) == edit.shown; }))
            << edit.what << ": shows " << controlText(config, edit.field);
    }
    click(config, IDC_CFG_EDGE);
    EXPECT_TRUE(waitUntil([&] { return controlText(config, IDC_CFG_EDGE) == "FALL"; }));
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "");
    click(config, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    EXPECT_EQ(savedSettings(), stored) << "Cancel writes nothing";

    ASSERT_NE(config = openConfig(), nullptr);
    expectStoredFields("after Cancel");
    click(config, IDCANCEL);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(config); }));
}

TEST_F(ConfigScenario, OkWarnsAboutTheFirstFailedCheckAndStaysOpen)
{
    const char *thresholdOutside = "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN";
    const struct {
        const char *situation;
        const char *getData, *top, *origin, *threshold;
        bool triggerEnabled;
        const char *warning;  // nullptr: accepted
    } rows[] = {
        {"GETDATA 0 with a wrong Y-axis too: the interval is checked first", "0", "400", "500", "0", false,
         "Interval [0] is Invalid\n"},
        {"TOP below ORIGIN", "60", "400", "500", "0", false, "Y-AXIS Value is Invalid\n"},
        {"enabled trigger above TOP", "60", "800", "100", "900", true, thresholdOutside},
        {"enabled trigger below ORIGIN", "60", "800", "100", "99", true, thresholdOutside},
        {"enabled trigger equal to TOP, with TOP equal to ORIGIN", "25", "500", "500", "500", true, nullptr},
    };
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        replaceText(config, IDC_CFG_GETDATA, 0, -1, row.getData);
        replaceText(config, IDC_CFG_TOP, 0, -1, row.top);
        replaceText(config, IDC_CFG_ORIGIN, 0, -1, row.origin);
        replaceText(config, IDC_CFG_THRESHOLD, 0, -1, row.threshold);
        if (isChecked(config, IDC_CFG_ENABLE) != row.triggerEnabled)
            click(config, IDC_CFG_ENABLE);
        ASSERT_TRUE(waitUntil([&] { return isChecked(config, IDC_CFG_ENABLE) == row.triggerEnabled; }));
        ASSERT_TRUE(waitUntil([&] { return controlText(config, IDC_CFG_THRESHOLD) == row.threshold; }));
        click(config, IDOK);
        if (row.warning == nullptr) {
            EXPECT_TRUE(waitUntil([&] { return !IsWindow(config); })) << "accepted";
            continue;
        }
        ASSERT_TRUE(answerBox(std::string("Warning: ") + row.warning, IDOK, config));
        EXPECT_TRUE(IsWindowVisible(config)) << "the dialog stays open";
        EXPECT_FALSE(savedSettings().has_value());
    }
    // The file as written, without its CRs and blank lines.
    std::string saved = savedSettings().value_or("");
    saved.erase(std::remove(saved.begin(), saved.end(), '\r'), saved.end());
    for (size_t blank; (blank = saved.find("\n\n")) != std::string::npos;)
        saved.erase(blank, 1);
    EXPECT_EQ(saved, "[INTERVAL]\nGETDATA=25\nNOWREAD=60\n[Y-AXIS]\nTOP=500\nORIGIN=500\n"
                     "[TRIGGER]\nCH=0\nTHRESHOLD=500\nENABLE=TRUE\nEDGE=FALL\n");
}

}  // namespace
