// The Config dialog driven from the Setting menu: fields cleaned as they are
// typed, the checks of OK, and the settings file it writes.
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "scenario.h"

namespace {

class ConfigScenario : public ScenarioTest {
protected:
    // Opens the Config dialog from the menu; null (with a failure) when it does not appear.
    HWND openConfig()
    {
        postCommand(dialog, IDM_SETTING);
        HWND config = nullptr;
        if (!waitUntil([&] { return (config = findDialog(program.processId(), "Config")) != nullptr &&
                                    IsWindowVisible(config); })) {
            ADD_FAILURE() << "the Config dialog did not open";
            return nullptr;
        }
        return config;
    }

    std::string savedSettings() const
    {
        return program.folder().readFile("init_setting.ini").value_or("");
    }
};

struct FieldEdit {
    const char *what;
    int field;
    int selectionStart;  // then up to the end of the text, or -1 for all
    const char *keys;    // typed one by one, "\b" is Backspace
    const char *pasted;  // or pasted at once (nullptr: not pasted)
    const char *shown;
};

// Applied one after another in one opened dialog (stored: 60, 60, 1023, 0, 0).
const FieldEdit kFieldEdits[] = {
    {"a letter typed after 60 in NOWREAD is taken away", IDC_CFG_NOWREAD, 2, "x", nullptr, "60"},
    {"a letter replacing GETDATA gives 0", IDC_CFG_GETDATA, 0, "x", nullptr, "0"},
    {"1500 typed into TOP is limited to 1023", IDC_CFG_TOP, 0, "1500", nullptr, "1023"},
    {"-3 pasted into ORIGIN becomes 0", IDC_CFG_ORIGIN, 0, nullptr, "-3", "0"},
    {"THRESHOLD emptied becomes 0", IDC_CFG_THRESHOLD, 0, nullptr, "", "0"},
    {"40000 pasted into GETDATA is negative in 16 bits: 0", IDC_CFG_GETDATA, 0, nullptr, "40000", "0"},
    {"70000 pasted into NOWREAD is 4464 in 16 bits", IDC_CFG_NOWREAD, 0, nullptr, "70000", "4464"},
    {"007 pasted into TOP loses its zeros", IDC_CFG_TOP, 0, nullptr, "007", "7"},
    {"2000 pasted into THRESHOLD is limited to 1023", IDC_CFG_THRESHOLD, 0, nullptr, "2000", "1023"},
};

struct Field {
    int id;
    const char *text;
};

// What the dialog shows for the stored settings of the test below.
const Field kStoredFields[] = {
    {IDC_CFG_NOWREAD, "60"}, {IDC_CFG_GETDATA, "60"}, {IDC_CFG_TOP, "1023"},   {IDC_CFG_ORIGIN, "0"},
    {IDC_CFG_THRESHOLD, "0"}, {IDC_CFG_EDGE, "RISE"}, {IDC_CFG_CHANNEL, "CH=3"},
};

TEST_F(ConfigScenario, FieldsAreCleanedAsTheyAreEditedAndCancelDiscardsTheEdits)
{
    const std::string stored = "[TRIGGER]\nEDGE=RISE\nCH=3\n";
    StartOptions options;
    options.writeSettings = true;
    options.settingsContent = stored;
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0, options));
    HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    for (const Field &field : kStoredFields)
        EXPECT_EQ(controlText(config, field.id), field.text) << "field " << field.id << " at opening";
    EXPECT_TRUE(isChecked(config, IDC_CFG_EDGE));

    for (const FieldEdit &edit : kFieldEdits) {
        if (edit.pasted != nullptr) {
            replaceText(config, edit.field, edit.selectionStart, -1, edit.pasted);
        } else {
            typeKeys(config, edit.field, edit.selectionStart, -1, edit.keys);
        }
        EXPECT_TRUE(waitUntil([&] { return controlText(config, edit.field) == edit.shown; }))
            << edit.what << ": shows " << controlText(config, edit.field);
    }
    click(config, IDC_CFG_EDGE);
    EXPECT_TRUE(waitUntil([&] { return controlText(config, IDC_CFG_EDGE) == "FALL"; }));
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "");
    click(config, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    EXPECT_EQ(savedSettings(), stored) << "Cancel writes nothing";

    config = openConfig();
    ASSERT_NE(config, nullptr);
    for (const Field &field : kStoredFields)
        EXPECT_EQ(controlText(config, field.id), field.text) << "field " << field.id << " after Cancel";
    click(config, IDCANCEL);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(config); }));
}

struct OkCase {
    const char *situation;
    const char *getData, *top, *origin, *threshold;
    bool triggerEnabled;
    const char *warning;  // nullptr: accepted
};

const OkCase kOkCases[] = {
    {"GETDATA 0 with a wrong Y-axis too: the interval is checked first", "0", "400", "500", "0", false,
     "Interval [0] is Invalid\n"},
    {"TOP below ORIGIN", "60", "400", "500", "0", false, "Y-AXIS Value is Invalid\n"},
    {"enabled trigger above TOP", "60", "800", "100", "900", true,
     "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN"},
    {"enabled trigger below ORIGIN", "60", "800", "100", "99", true,
     "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN"},
    {"enabled trigger equal to TOP, with TOP equal to ORIGIN", "25", "500", "500", "500", true, nullptr},
};

TEST_F(ConfigScenario, OkWarnsAboutTheFirstFailedCheckAndStaysOpen)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    for (const OkCase &row : kOkCases) {
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
            EXPECT_TRUE(waitUntil([&] { return !IsWindow(config); })) << row.situation << ": accepted";
            continue;
        }
        const MessageBoxSeen box = waitForMessageBox(program.processId());
        ASSERT_NE(box.window, nullptr) << row.situation;
        EXPECT_EQ(box.caption, "Warning") << row.situation;
        EXPECT_EQ(box.text, row.warning) << row.situation;
        EXPECT_EQ(box.owner, config) << row.situation;
        ASSERT_TRUE(answerMessageBox(box));
        EXPECT_TRUE(IsWindowVisible(config)) << row.situation << ": the dialog stays open";
        EXPECT_FALSE(program.folder().readFile("init_setting.ini").has_value()) << row.situation;
    }
    std::vector<std::string> saved;
    std::istringstream in(savedSettings());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            saved.push_back(line);
    }
    EXPECT_EQ(saved, (std::vector<std::string>{"[INTERVAL]", "GETDATA=25", "NOWREAD=60", "[Y-AXIS]", "TOP=500",
                                                "ORIGIN=500", "[TRIGGER]", "CH=0", "THRESHOLD=500",
                                                "ENABLE=TRUE", "EDGE=FALL"}));
}

}  // namespace
