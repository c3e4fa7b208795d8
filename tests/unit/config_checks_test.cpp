#include <gtest/gtest.h>

#include <string>

#include "settings/config_checks.h"

namespace {

const char kIntervalWarning[] = "Interval [0] is Invalid\n";
const char kAxisWarning[] = "Y-AXIS Value is Invalid\n";
const char kThresholdWarning[] = "Threshold Value is Invalid\nThreshold must be between TOP and ORIGIN";

std::string warningOf(const ConfigDraft &draft)
{
    const char *message = configCheckMessage(draft);
    return message == nullptr ? std::string("(accepted)") : std::string(message);
}

}  // namespace

TEST(ConfigChecks, FirstFailingCheckGivesTheWarning)
{
    struct Case { const char *what; ConfigDraft draft; const char *warning; };
    // Fields: nowRead, getData, top, origin, threshold, channel, enabled.
    const Case cases[] = {
        {"defaults",                           {60, 60, 1023, 0, 0, 0, 0}, "(accepted)"},
        {"GETDATA 0",                          {60, 0, 1023, 0, 0, 0, 0}, kIntervalWarning},
        {"NOWREAD 0",                          {0, 60, 1023, 0, 0, 0, 0}, kIntervalWarning},
        {"GETDATA 0 and every other fault",    {60, 0, 400, 500, 900, 0, 1}, kIntervalWarning},
        {"negative intervals pass",            {-1, -60, 1023, 0, 0, 0, 0}, "(accepted)"},
        {"TOP equals ORIGIN",                  {60, 60, 500, 500, 0, 0, 0}, "(accepted)"},
        {"TOP below ORIGIN",                   {60, 60, 400, 500, 0, 0, 0}, kAxisWarning},
        {"TOP below ORIGIN, threshold out",    {60, 60, 400, 500, 900, 0, 1}, kAxisWarning},
        {"enabled, threshold above TOP",       {60, 60, 800, 100, 900, 0, 1}, kThresholdWarning},
        {"enabled, threshold below ORIGIN",    {60, 60, 800, 100, 99, 0, 1}, kThresholdWarning},
        {"disabled, threshold above TOP",      {60, 60, 800, 100, 900, 0, 0}, "(accepted)"},
        {"enabled, threshold equal to TOP",    {60, 60, 800, 100, 800, 0, 1}, "(accepted)"},
        {"enabled, threshold equal to ORIGIN", {60, 60, 800, 100, 100, 0, 1}, "(accepted)"},
        {"enabled, TOP = ORIGIN = threshold",  {60, 60, 500, 500, 500, 7, 1}, "(accepted)"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(warningOf(c.draft), c.warning) << c.what;
}

TEST(ConfigDraft, CopiesTheSevenFieldsFromSettings)
{
    const Settings values{200, 15, 800, 100, 7, 900, true, true};
    const ConfigDraft draft = draftFromSettings(values);
    EXPECT_EQ(draft.getDataInterval, 200);
    EXPECT_EQ(draft.nowReadInterval, 15);
    EXPECT_EQ(draft.axisTop, 800);
    EXPECT_EQ(draft.axisOrigin, 100);
    EXPECT_EQ(draft.triggerChannel, 7);
    EXPECT_EQ(draft.triggerThreshold, 900);
    EXPECT_EQ(draft.triggerEnabled, 1);
    EXPECT_EQ(draftFromSettings(Settings{60, 60, 1023, 0, 0, 0, false, true}).triggerEnabled, 0);
}

TEST(ConfigDraft, StoreTakesEveryFieldAndTheEdgeFromItsBox)
{
    Settings values{60, 60, 1023, 0, 0, 0, false, false};
    const ConfigDraft draft{15, 200, 800, 100, 900, 5, 1};
    storeConfigDraft(draft, true, values);
    EXPECT_EQ(values.nowReadInterval, 15);
    EXPECT_EQ(values.getDataInterval, 200);
    EXPECT_EQ(values.axisTop, 800);
    EXPECT_EQ(values.axisOrigin, 100);
    EXPECT_EQ(values.triggerThreshold, 900);
    EXPECT_EQ(values.triggerChannel, 5);
    EXPECT_TRUE(values.triggerEnabled);
    EXPECT_TRUE(values.triggerRising);

    storeConfigDraft(ConfigDraft{60, 60, 1023, 0, 0, 0, 0}, false, values);
    EXPECT_FALSE(values.triggerEnabled);
    EXPECT_FALSE(values.triggerRising);
}

TEST(ConfigChannel, SelectionOutsideTheEightEntriesKeepsThePreviousChannel)
{
    struct Case { int32_t selection; int32_t previous; int32_t channel; };
    const Case cases[] = {
        {0, 5, 0},
        {7, 0, 7},
        {3, 3, 3},
        {-1, 5, 5},   // typed text that matches no entry
        {-1, 0, 0},
        {8, 2, 2},
        {-2, 6, 6},
    };
    for (const Case &c : cases)
        EXPECT_EQ(channelFromSelection(c.selection, c.previous), c.channel)
            << "selection " << c.selection << " after " << c.previous;
}
