#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "settings/config_checks.h"

TEST(ConfigChecks, FirstFailingCheckGivesItsWarning)
{
    const std::string interval = "Interval [0] is Invalid\n";
    const std::string axis = "Y-AXIS Value is Invalid\n";
    const std::string threshold = "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN";
    struct Case { const char *what; ConfigDraft draft; std::string warning; };
    // Draft fields: nowRead, getData, top, origin, threshold, channel, enabled.
    const Case cases[] = {
        {"defaults",                        {60, 60, 1023, 0, 0, 0, 0}, ""},
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
    const Settings original{200, 15, 800, 100, 7, 900, true, false};
    ConfigDraft draft = draftFromSettings(original);
    EXPECT_EQ(draft.triggerEnabled, 1);
    draft.triggerThreshold = 850;

    Settings stored{};
    storeConfigDraft(draft, true, stored);
    const Settings &v = stored;
    EXPECT_EQ(std::make_tuple(v.getDataInterval, v.nowReadInterval, v.axisTop, v.axisOrigin, v.triggerChannel,
                              v.triggerThreshold, v.triggerEnabled, v.triggerRising),
              std::make_tuple(200, 15, 800, 100, 7, 850, true, true));
}

TEST(ConfigChannel, NoSelectionKeepsThePreviousChannel)
{
    // Selection, previous channel, channel: -1 is typed text that matches no entry.
    const int32_t rows[][3] = {{0, 5, 0}, {7, 0, 7}, {-1, 5, 5}, {8, 2, 2}};
    for (const auto &[selection, previous, channel] : rows)
        EXPECT_EQ(channelFromSelection(selection, previous), channel) << selection << " after " << previous;
}
