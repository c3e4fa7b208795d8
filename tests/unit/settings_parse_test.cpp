#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "settings/settings_parse.h"

namespace {

auto fields(const Settings &s)
{
    return std::make_tuple(s.getDataInterval, s.nowReadInterval, s.axisTop, s.axisOrigin,
                           s.triggerChannel, s.triggerThreshold, s.triggerEnabled, s.triggerRising);
}

struct LoadResult {
    Settings values;
    std::vector<std::string> messages;
};

// Loads from key texts (absent keys are missing), starting from values that
// differ from every default and replacement, so an unassigned field shows.
LoadResult load(const std::map<std::string, std::string> &profile)
{
    LoadResult result{Settings{-5, -5, -5, -5, -5, -5, true, true}, {}};
    readSettings(
        [&](const SettingsKey &key) {
            auto found = profile.find(key.key);
            return found == profile.end() ? std::string(kMissingKeyText) : found->second;
        },
        [&](const char *message) { result.messages.push_back(message); }, result.values);
    return result;
}

std::string messageFor(const std::string &key)
{
    const std::map<std::string, std::string> sections = {
        {"CH", "TRIGGER"}, {"THRESHOLD", "TRIGGER"}, {"ENABLE", "TRIGGER"}, {"EDGE", "TRIGGER"},
        {"GETDATA", "INTERVAL"}, {"NOWREAD", "INTERVAL"}, {"TOP", "Y-AXIS"}, {"ORIGIN", "Y-AXIS"}};
    return "Invalid Value!(" + sections.at(key) + "->" + key + " in init_setting.ini)";
}

}  // namespace

TEST(SettingsAtoi, FollowsTheCLibraryRulesAndSaturates)
{
    struct Case { const char *text; int32_t number; };
    const Case cases[] = {
        {"  12", 12}, {"-1", -1}, {"+8", 8}, {"12ms", 12}, {"", 0}, {"abc", 0}, {"+-3", 0},
        {"0x10", 0}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MAX}, {"-99999999999999999999", INT32_MIN},
    };
    for (const Case &c : cases)
        EXPECT_EQ(settingsAtoi(c.text), c.number) << '"' << c.text << '"';
}

TEST(SettingsLoad, EachKeyIsValidatedAndReplaced)
{
    // One key in an otherwise empty file: its field afterwards, and whether
    // its message is shown.
    struct Case { const char *key; const char *text; int32_t field; bool message; };
    const Case cases[] = {
        {"CH", "7", 7, false},              {"CH", "9", 0, true},
        {"CH", "-1", 0, true},              {"CH", "", 0, false},  // empty reads as 0
        {"THRESHOLD", "1023", 1023, false}, {"THRESHOLD", "1024", 0, true},
        {"THRESHOLD", "-1", 0, true},
        {"ENABLE", "TRUE", 1, false},       {"ENABLE", "FALSE", 0, false},
        {"ENABLE", "true", 0, true},        {"ENABLE", "", 0, true},
        {"EDGE", "RISE", 1, false},         {"EDGE", "FALL", 0, false},
        {"EDGE", "rise", 1, true},          {"EDGE", "", 1, true},  // unrecognised means RISE
        {"GETDATA", "12ms", 12, false},     {"GETDATA", "-5", -5, false},
        {"GETDATA", "0", 60, true},         {"GETDATA", "", 60, true},
        {"GETDATA", "abc", 60, true},       {"NOWREAD", "200", 200, false},
        {"NOWREAD", "-0", 60, true},
        {"TOP", "0", 0, false},             {"TOP", "1024", 1023, true},
        {"TOP", "-1", 1023, true},          {"ORIGIN", "1023", 1023, false},
        {"ORIGIN", "-1", 0, true},          {"ORIGIN", "1024", 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.text);
        LoadResult r = load({{c.key, c.text}});
        const std::map<std::string, int32_t> byKey = {
            {"CH", r.values.triggerChannel}, {"THRESHOLD", r.values.triggerThreshold},
            {"ENABLE", r.values.triggerEnabled}, {"EDGE", r.values.triggerRising},
            {"GETDATA", r.values.getDataInterval}, {"NOWREAD", r.values.nowReadInterval},
            {"TOP", r.values.axisTop}, {"ORIGIN", r.values.axisOrigin}};
        EXPECT_EQ(byKey.at(c.key), c.field);
        EXPECT_EQ(r.messages, c.message ? std::vector<std::string>{messageFor(c.key)}
                                        : std::vector<std::string>{});
    }
}

TEST(SettingsLoad, MissingKeysAndTheExactMarkerTextGiveTheDefaultsSilently)
{
    LoadResult empty = load({});
    EXPECT_EQ(fields(empty.values), fields(defaultSettings()));
    EXPECT_TRUE(empty.messages.empty());

    LoadResult marker = load({{"EDGE", "ini_notFound"}, {"GETDATA", "ini_notFound"}});
    EXPECT_FALSE(marker.values.triggerRising);  // missing EDGE is FALL
    EXPECT_EQ(marker.values.getDataInterval, 60);
    EXPECT_TRUE(marker.messages.empty());

    LoadResult near = load({{"EDGE", "ini_notFound "}});
    EXPECT_TRUE(near.values.triggerRising);     // unrecognised EDGE is RISE
    EXPECT_EQ(near.messages, std::vector<std::string>{messageFor("EDGE")});
}

TEST(SettingsLoad, SeveralFaultyKeysAreReportedInReadingOrder)
{
    LoadResult r = load({{"ORIGIN", "-1"}, {"TOP", "2000"}, {"NOWREAD", "0"}, {"GETDATA", "x"},
                         {"EDGE", "up"}, {"ENABLE", "yes"}, {"THRESHOLD", "5000"}, {"CH", "12"}});
    const std::vector<std::string> expected = {
        messageFor("CH"),      messageFor("THRESHOLD"), messageFor("ENABLE"), messageFor("EDGE"),
        messageFor("GETDATA"), messageFor("NOWREAD"),   messageFor("TOP"),    messageFor("ORIGIN"),
    };
    EXPECT_EQ(r.messages, expected);
    EXPECT_EQ(fields(r.values), fields(Settings{60, 60, 1023, 0, 0, 0, false, true}));
}

TEST(SettingsSave, WritesTheEightKeysInSaveOrder)
{
    struct Case { Settings values; std::vector<std::string> lines; };
    const Case cases[] = {
        {defaultSettings(),
         {"INTERVAL/GETDATA=60", "INTERVAL/NOWREAD=60", "Y-AXIS/TOP=1023", "Y-AXIS/ORIGIN=0",
          "TRIGGER/CH=0", "TRIGGER/THRESHOLD=0", "TRIGGER/ENABLE=FALSE", "TRIGGER/EDGE=FALL"}},
        {Settings{-5, INT32_MIN, 800, 100, 7, 900, true, true},
         {"INTERVAL/GETDATA=-5", "INTERVAL/NOWREAD=-2147483648", "Y-AXIS/TOP=800",
          "Y-AXIS/ORIGIN=100", "TRIGGER/CH=7", "TRIGGER/THRESHOLD=900", "TRIGGER/ENABLE=TRUE",
          "TRIGGER/EDGE=RISE"}},
    };
    for (const Case &c : cases) {
        SettingsLine saved[kSettingsSaveCount];
        settingsSaveLines(c.values, saved);
        std::vector<std::string> lines;
        for (const SettingsLine &line : saved)
            lines.push_back(std::string(line.section) + "/" + line.key + "=" + line.value);
        EXPECT_EQ(lines, c.lines);
    }
}
