#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_parse.h"

namespace {

// A profile file as the profile reader sees it: key name to raw text.
using Profile = std::map<std::string, std::string>;

struct LoadResult {
    Settings values;
    std::vector<std::string> messages;
    std::vector<std::string> readKeys;
};

// Loads over a profile, starting from values that differ from every default
// and every replacement, so that an unassigned field shows.
LoadResult load(const Profile &profile)
{
    LoadResult result;
    result.values = Settings{-5, -5, -5, -5, -5, -5, true, true};
    readSettings(
        [&](const SettingsKey &key) {
            result.readKeys.push_back(std::string(key.section) + "/" + key.key);
            auto found = profile.find(key.key);
            return found == profile.end() ? std::string(kMissingKeyText) : found->second;
        },
        [&](const char *message) { result.messages.push_back(message); }, result.values);
    return result;
}

int32_t fieldOf(const Settings &s, const std::string &key)
{
    if (key == "CH") return s.triggerChannel;
    if (key == "THRESHOLD") return s.triggerThreshold;
    if (key == "ENABLE") return s.triggerEnabled;
    if (key == "EDGE") return s.triggerRising;
    if (key == "GETDATA") return s.getDataInterval;
    if (key == "NOWREAD") return s.nowReadInterval;
    if (key == "TOP") return s.axisTop;
    return s.axisOrigin;
}

std::string messageFor(const std::string &section, const std::string &key)
{
    return "Invalid Value!(" + section + "->" + key + " in init_setting.ini)";
}

}  // namespace

TEST(SettingsAtoi, FollowsTheCLibraryRules)
{
    struct Case { const char *text; int32_t number; };
    const Case cases[] = {
        {"60", 60}, {"  12", 12}, {"\t7", 7}, {"-1", -1}, {"+8", 8},
        {"12ms", 12},                   // stops at the first other character
        {"", 0}, {"abc", 0}, {"-", 0}, {"+-3", 0}, {"- 3", 0},
        {"0x10", 0},                    // decimal only
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"2147483648", INT32_MAX},      // beyond the range: saturated
        {"-2147483649", INT32_MIN},
        {"99999999999999999999999", INT32_MAX},
        {"-99999999999999999999999", INT32_MIN},
        {"000000000000000000000042", 42},
    };
    for (const Case &c : cases)
        EXPECT_EQ(settingsAtoi(c.text), c.number) << '"' << c.text << '"';
    EXPECT_EQ(settingsAtoi(nullptr), 0);
}

TEST(SettingsLoad, MissingFileGivesEveryDefaultWithoutMessage)
{
    LoadResult r = load({});
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.values.getDataInterval, 60);
    EXPECT_EQ(r.values.nowReadInterval, 60);
    EXPECT_EQ(r.values.axisTop, 1023);
    EXPECT_EQ(r.values.axisOrigin, 0);
    EXPECT_EQ(r.values.triggerChannel, 0);
    EXPECT_EQ(r.values.triggerThreshold, 0);
    EXPECT_FALSE(r.values.triggerEnabled);
    EXPECT_FALSE(r.values.triggerRising);
}

TEST(SettingsLoad, KeysAreReadInTheirFixedOrder)
{
    LoadResult r = load({});
    const std::vector<std::string> order = {
        "TRIGGER/CH", "TRIGGER/THRESHOLD", "TRIGGER/ENABLE", "TRIGGER/EDGE",
        "INTERVAL/GETDATA", "INTERVAL/NOWREAD", "Y-AXIS/TOP", "Y-AXIS/ORIGIN",
    };
    EXPECT_EQ(r.readKeys, order);
}

TEST(SettingsLoad, EachKeyIsValidatedAndReplaced)
{
    // One key set in an otherwise empty file: the resulting field and whether
    // that key's message is shown.
    struct Case { const char *section; const char *key; const char *text; int32_t field; bool message; };
    const Case cases[] = {
        {"TRIGGER", "CH", "0", 0, false},
        {"TRIGGER", "CH", "7", 7, false},
        {"TRIGGER", "CH", "3abc", 3, false},
        {"TRIGGER", "CH", "8", 0, true},
        {"TRIGGER", "CH", "9", 0, true},
        {"TRIGGER", "CH", "-1", 0, true},
        {"TRIGGER", "CH", "", 0, false},              // empty reads as 0, which is valid
        {"TRIGGER", "THRESHOLD", "1023", 1023, false},
        {"TRIGGER", "THRESHOLD", "1024", 0, true},
        {"TRIGGER", "THRESHOLD", "-1", 0, true},
        {"TRIGGER", "THRESHOLD", "512", 512, false},
        {"TRIGGER", "ENABLE", "TRUE", 1, false},
        {"TRIGGER", "ENABLE", "FALSE", 0, false},
        {"TRIGGER", "ENABLE", "true", 0, true},       // case matters
        {"TRIGGER", "ENABLE", "", 0, true},
        {"TRIGGER", "ENABLE", "TRUE ", 0, true},
        {"TRIGGER", "ENABLE", "1", 0, true},
        {"TRIGGER", "EDGE", "RISE", 1, false},
        {"TRIGGER", "EDGE", "FALL", 0, false},
        {"TRIGGER", "EDGE", "rise", 1, true},         // unrecognised means RISE
        {"TRIGGER", "EDGE", "fall", 1, true},
        {"TRIGGER", "EDGE", "", 1, true},
        {"INTERVAL", "GETDATA", "100", 100, false},
        {"INTERVAL", "GETDATA", "12ms", 12, false},
        {"INTERVAL", "GETDATA", "-5", -5, false},     // negative is kept; the timer reports it
        {"INTERVAL", "GETDATA", "0", 60, true},
        {"INTERVAL", "GETDATA", "", 60, true},
        {"INTERVAL", "GETDATA", "abc", 60, true},
        {"INTERVAL", "GETDATA", "99999999999", INT32_MAX, false},
        {"INTERVAL", "NOWREAD", "200", 200, false},
        {"INTERVAL", "NOWREAD", "0", 60, true},
        {"INTERVAL", "NOWREAD", "-0", 60, true},
        {"Y-AXIS", "TOP", "1023", 1023, false},
        {"Y-AXIS", "TOP", "0", 0, false},
        {"Y-AXIS", "TOP", "1024", 1023, true},
        {"Y-AXIS", "TOP", "-1", 1023, true},
        {"Y-AXIS", "ORIGIN", "0", 0, false},
        {"Y-AXIS", "ORIGIN", "1023", 1023, false},
        {"Y-AXIS", "ORIGIN", "-1", 0, true},
        {"Y-AXIS", "ORIGIN", "1024", 0, true},
    };
    for (const Case &c : cases) {
        LoadResult r = load({{c.key, c.text}});
        SCOPED_TRACE(std::string(c.key) + "=" + c.text);
        EXPECT_EQ(fieldOf(r.values, c.key), c.field);
        std::vector<std::string> expected;
        if (c.message)
            expected.push_back(messageFor(c.section, c.key));
        EXPECT_EQ(r.messages, expected);
    }
}

TEST(SettingsLoad, MissingKeyMarkerCountsAsMissingOnlyWhenExact)
{
    LoadResult marker = load({{"EDGE", "ini_notFound"}, {"GETDATA", "ini_notFound"}, {"TOP", "ini_notFound"}});
    EXPECT_TRUE(marker.messages.empty());
    EXPECT_FALSE(marker.values.triggerRising);  // missing EDGE is FALL
    EXPECT_EQ(marker.values.getDataInterval, 60);
    EXPECT_EQ(marker.values.axisTop, 1023);

    LoadResult near = load({{"EDGE", "ini_notFound "}, {"GETDATA", "ini_notfound"}});
    EXPECT_TRUE(near.values.triggerRising);     // unrecognised EDGE is RISE
    EXPECT_EQ(near.values.getDataInterval, 60);
    EXPECT_EQ(near.messages, (std::vector<std::string>{messageFor("TRIGGER", "EDGE"),
                                                       messageFor("INTERVAL", "GETDATA")}));
}

TEST(SettingsLoad, SeveralFaultyKeysAreReportedInReadingOrder)
{
    LoadResult r = load({{"ORIGIN", "-1"}, {"TOP", "2000"}, {"NOWREAD", "0"}, {"GETDATA", "x"},
                         {"EDGE", "up"}, {"ENABLE", "yes"}, {"THRESHOLD", "5000"}, {"CH", "12"}});
    const std::vector<std::string> expected = {
        messageFor("TRIGGER", "CH"),      messageFor("TRIGGER", "THRESHOLD"),
        messageFor("TRIGGER", "ENABLE"),  messageFor("TRIGGER", "EDGE"),
        messageFor("INTERVAL", "GETDATA"), messageFor("INTERVAL", "NOWREAD"),
        messageFor("Y-AXIS", "TOP"),      messageFor("Y-AXIS", "ORIGIN"),
    };
    EXPECT_EQ(r.messages, expected);
    const Settings &replaced = r.values;
    EXPECT_EQ(replaced.triggerChannel, 0);
    EXPECT_EQ(replaced.triggerThreshold, 0);
    EXPECT_FALSE(replaced.triggerEnabled);
    EXPECT_TRUE(replaced.triggerRising);
    EXPECT_EQ(replaced.getDataInterval, 60);
    EXPECT_EQ(replaced.nowReadInterval, 60);
    EXPECT_EQ(replaced.axisTop, 1023);
    EXPECT_EQ(replaced.axisOrigin, 0);
}

TEST(SettingsLoad, NoRuleJoinsTwoFields)
{
    LoadResult r = load({{"TOP", "100"}, {"ORIGIN", "500"}, {"THRESHOLD", "900"}, {"ENABLE", "TRUE"}});
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.values.axisTop, 100);
    EXPECT_EQ(r.values.axisOrigin, 500);
    EXPECT_EQ(r.values.triggerThreshold, 900);
}

TEST(SettingsLoad, MessageArrivesBeforeTheNextKeyIsRead)
{
    std::vector<std::string> events;
    Settings values{};
    readSettings(
        [&](const SettingsKey &key) {
            events.push_back(key.key);
            return std::string(key.key) == "CH" ? std::string("9") : std::string(kMissingKeyText);
        },
        [&](const char *) { events.push_back("message"); }, values);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], "CH");
    EXPECT_EQ(events[1], "message");
    EXPECT_EQ(events[2], "THRESHOLD");
}

TEST(SettingsApply, NullTextAndUnknownIndexAreHarmless)
{
    Settings values = defaultSettings();
    values.axisTop = 5;
    EXPECT_EQ(applySettingText(6, nullptr, values), nullptr);  // TOP missing
    EXPECT_EQ(values.axisTop, 1023);
    Settings before = values;
    EXPECT_EQ(applySettingText(-1, "1", values), nullptr);
    EXPECT_EQ(applySettingText(kSettingsKeyCount, "1", values), nullptr);
    EXPECT_EQ(values.axisTop, before.axisTop);
    EXPECT_EQ(values.triggerChannel, before.triggerChannel);
}

TEST(SettingsSave, WritesTheEightKeysInSaveOrder)
{
    struct Case { Settings values; const char *texts[kSettingsSaveCount]; };
    const Case cases[] = {
        {defaultSettings(), {"60", "60", "1023", "0", "0", "0", "FALSE", "FALL"}},
        {Settings{200, 15, 800, 100, 7, 900, true, true},
         {"200", "15", "800", "100", "7", "900", "TRUE", "RISE"}},
        {Settings{-5, INT32_MIN, 0, 1023, 0, 1023, false, true},
         {"-5", "-2147483648", "0", "1023", "0", "1023", "FALSE", "RISE"}},
    };
    const char *const sections[kSettingsSaveCount] = {"INTERVAL", "INTERVAL", "Y-AXIS", "Y-AXIS",
                                                      "TRIGGER",  "TRIGGER",  "TRIGGER", "TRIGGER"};
    const char *const keys[kSettingsSaveCount] = {"GETDATA", "NOWREAD", "TOP",    "ORIGIN",
                                                  "CH",      "THRESHOLD", "ENABLE", "EDGE"};
    for (const Case &c : cases) {
        SettingsLine lines[kSettingsSaveCount];
        settingsSaveLines(c.values, lines);
        for (int i = 0; i < kSettingsSaveCount; ++i) {
            EXPECT_STREQ(lines[i].section, sections[i]) << i;
            EXPECT_STREQ(lines[i].key, keys[i]) << i;
            EXPECT_EQ(lines[i].value, c.texts[i]) << keys[i];
        }
    }
}

TEST(SettingsSave, SavedTextsLoadBackToTheSameValues)
{
    const Settings cases[] = {
        defaultSettings(),
        Settings{200, 15, 800, 100, 7, 900, true, true},
        Settings{-5, 1, 0, 1023, 3, 1023, false, true},
    };
    for (const Settings &original : cases) {
        SettingsLine lines[kSettingsSaveCount];
        settingsSaveLines(original, lines);
        Profile profile;
        for (const SettingsLine &line : lines)
            profile[line.key] = line.value;
        LoadResult r = load(profile);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.values.getDataInterval, original.getDataInterval);
        EXPECT_EQ(r.values.nowReadInterval, original.nowReadInterval);
        EXPECT_EQ(r.values.axisTop, original.axisTop);
        EXPECT_EQ(r.values.axisOrigin, original.axisOrigin);
        EXPECT_EQ(r.values.triggerChannel, original.triggerChannel);
        EXPECT_EQ(r.values.triggerThreshold, original.triggerThreshold);
        EXPECT_EQ(r.values.triggerEnabled, original.triggerEnabled);
        EXPECT_EQ(r.values.triggerRising, original.triggerRising);
    }
}
