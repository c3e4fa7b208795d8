#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "settings/settings_parse.h"

namespace {

using Strings = std::vector<std::string>;
using Profile = std::map<std::string, std::string>;

// Loads from key texts (absent keys are missing), starting from values that
// differ from every default and replacement, so an unassigned field shows.
std::pair<Settings, Strings> load(const Profile &profile)
{
    std::pair<Settings, Strings> result{Settings{-5, -5, -5, -5, -5, -5, true, true}, {}};
    readSettings(
        [&](const SettingsKey &key) {
            const auto found = profile.find(key.key);
            return found == profile.end() ? std::string(kMissingKeyText) : found->second;
        },
        [&](const char *message) { result.second.push_back(message); }, result.first);
    return result;
}

std::string messageFor(const std::string &key)
{
    const Profile sections = {{"CH", "TRIGGER"},       {"THRESHOLD", "TRIGGER"}, {"ENABLE", "TRIGGER"},
                              {"EDGE", "TRIGGER"},     {"GETDATA", "INTERVAL"},  {"NOWREAD", "INTERVAL"},
                              {"TOP", "Y-AXIS"},       {"ORIGIN", "Y-AXIS"}};
    return "Invalid Value!(" + sections.at(key) + "->" + key + " in init_setting.ini)";
}

TEST(SettingsAtoi, FollowsTheCLibraryRulesAndSaturates)
{
    const std::pair<const char *, int32_t> rows[] = {
        {"  12", 12}, {"-1", -1}, {"+8", 8}, {"12ms", 12}, {"", 0}, {"abc", 0}, {"+-3", 0}, {"0x10", 0},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"2147483648", INT32_MAX},
        {"-99999999999999999999", INT32_MIN},
    };
    for (const auto &[text, number] : rows)
        EXPECT_EQ(settingsAtoi(text), number) << '"' << text << '"';
}

// One key in an otherwise empty file: its field afterwards, and whether its
// message is shown.  Only the exact marker text counts as missing.
TEST(SettingsLoad, EachKeyIsValidatedAndReplaced)
{
    struct Row { const char *key, *text; int32_t field; bool message; };
    const Row rows[] = {
        {"CH", "7", 7, false}, {"CH", "8", 0, true}, {"CH", "-1", 0, true}, {"CH", "", 0, false},  // empty reads as 0
        {"THRESHOLD", "1023", 1023, false}, {"THRESHOLD", "1024", 0, true}, {"THRESHOLD", "-1", 0, true},
        {"ENABLE", "TRUE", 1, false}, {"ENABLE", "FALSE", 0, false}, {"ENABLE", "true", 0, true},
        {"ENABLE", "", 0, true},
        // An unrecognised EDGE means RISE, a missing one FALL.
        {"EDGE", "RISE", 1, false}, {"EDGE", "FALL", 0, false}, {"EDGE", "rise", 1, true}, {"EDGE", "", 1, true},
        {"EDGE", "ini_notFound", 0, false}, {"EDGE", "ini_notFound ", 1, true},
        {"GETDATA", "12ms", 12, false}, {"GETDATA", "-5", -5, false}, {"GETDATA", "0", 60, true},
        {"GETDATA", "", 60, true}, {"GETDATA", "abc", 60, true}, {"GETDATA", "ini_notFound", 60, false},
        {"NOWREAD", "200", 200, false}, {"NOWREAD", "-0", 60, true},
        {"TOP", "0", 0, false}, {"TOP", "1024", 1023, true}, {"TOP", "-1", 1023, true},
        {"ORIGIN", "1023", 1023, false}, {"ORIGIN", "-1", 0, true}, {"ORIGIN", "1024", 0, true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.key) + "=" + r.text);
        const auto [values, messages] = load({{r.key, r.text}});
        const std::map<std::string, int32_t> byKey = {
            {"CH", values.triggerChannel},     {"THRESHOLD", values.triggerThreshold},
            {"ENABLE", values.triggerEnabled}, {"EDGE", values.triggerRising},
            {"GETDATA", values.getDataInterval}, {"NOWREAD", values.nowReadInterval},
            {"TOP", values.axisTop},           {"ORIGIN", values.axisOrigin}};
        EXPECT_EQ(byKey.at(r.key), r.field);
        EXPECT_EQ(messages, r.message ? Strings{messageFor(r.key)} : Strings{});
    }
}

// Whole files: the messages in reading order, then the values as saved.
TEST(SettingsLoadAndSave, WholeFilesGiveTheMessagesInReadingOrderAndTheEightKeysInSaveOrder)
{
    struct Row { const char *what; Profile profile; Strings faulty, saved; };
    const Row rows[] = {
        {"an empty file gives the defaults silently", {}, {},
         {"INTERVAL/GETDATA=60", "INTERVAL/NOWREAD=60", "Y-AXIS/TOP=1023", "Y-AXIS/ORIGIN=0", "TRIGGER/CH=0",
          "TRIGGER/THRESHOLD=0", "TRIGGER/ENABLE=FALSE", "TRIGGER/EDGE=FALL"}},
        {"every key faulty",
         {{"ORIGIN", "-1"}, {"TOP", "2000"}, {"NOWREAD", "0"}, {"GETDATA", "x"}, {"EDGE", "up"}, {"ENABLE", "yes"},
          {"THRESHOLD", "5000"}, {"CH", "12"}},
         {"CH", "THRESHOLD", "ENABLE", "EDGE", "GETDATA", "NOWREAD", "TOP", "ORIGIN"},
         {"INTERVAL/GETDATA=60", "INTERVAL/NOWREAD=60", "Y-AXIS/TOP=1023", "Y-AXIS/ORIGIN=0", "TRIGGER/CH=0",
          "TRIGGER/THRESHOLD=0", "TRIGGER/ENABLE=FALSE", "TRIGGER/EDGE=RISE"}},
        {"every key valid",
         {{"ORIGIN", "100"}, {"TOP", "800"}, {"NOWREAD", "-2147483648"}, {"GETDATA", "-7"}, {"EDGE", "RISE"},
          {"ENABLE", "TRUE"}, {"THRESHOLD", "900"}, {"CH", "7"}},
         {},
         {"INTERVAL/GETDATA=-7", "INTERVAL/NOWREAD=-2147483648", "Y-AXIS/TOP=800", "Y-AXIS/ORIGIN=100",
          "TRIGGER/CH=7", "TRIGGER/THRESHOLD=900", "TRIGGER/ENABLE=TRUE", "TRIGGER/EDGE=RISE"}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        const auto [values, messages] = load(r.profile);
        Strings expected, lines;
        for (const std::string &key : r.faulty)
            expected.push_back(messageFor(key));
        EXPECT_EQ(messages, expected);
        SettingsLine saved[kSettingsSaveCount];
        settingsSaveLines(values, saved);
        for (const SettingsLine &line : saved)
            lines.push_back(std::string(line.section) + "/" + line.key + "=" + line.value);
        EXPECT_EQ(lines, r.saved);
    }
}

}  // namespace
