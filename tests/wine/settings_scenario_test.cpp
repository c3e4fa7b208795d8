// Start-up with a settings file in the data folder: every faulty value is
// reported in its own box, in reading order, before the main dialog shows.
#include <vector>

#include "scenario.h"

namespace {

struct StartupCase {
    const char *situation;
    const char *settingsFile;
    std::vector<const char *> messages;  // in the order they must appear
};

const StartupCase kStartupCases[] = {
    {"trigger keys out of range or misspelt",
     "[TRIGGER]\nCH=9\nTHRESHOLD=1024\nENABLE=true\nEDGE=rise\n",
     {"Invalid Value!(TRIGGER->CH in init_setting.ini)",
      "Invalid Value!(TRIGGER->THRESHOLD in init_setting.ini)",
      "Invalid Value!(TRIGGER->ENABLE in init_setting.ini)",
      "Invalid Value!(TRIGGER->EDGE in init_setting.ini)"}},
    {"intervals of zero or text, axis limits out of range",
     "[INTERVAL]\nGETDATA=0\nNOWREAD=abc\n[Y-AXIS]\nTOP=1024\nORIGIN=-1\n",
     {"Invalid Value!(INTERVAL->GETDATA in init_setting.ini)",
      "Invalid Value!(INTERVAL->NOWREAD in init_setting.ini)",
      "Invalid Value!(Y-AXIS->TOP in init_setting.ini)",
      "Invalid Value!(Y-AXIS->ORIGIN in init_setting.ini)"}},
    {"a file order different from the reading order",
     "[Y-AXIS]\nORIGIN=2000\n[TRIGGER]\nEDGE=up\nCH=-1\n",
     {"Invalid Value!(TRIGGER->CH in init_setting.ini)",
      "Invalid Value!(TRIGGER->EDGE in init_setting.ini)",
      "Invalid Value!(Y-AXIS->ORIGIN in init_setting.ini)"}},
    {"values at their limits, a number with a unit, crossed axis limits and a missing EDGE",
     "[INTERVAL]\nGETDATA=12ms\nNOWREAD=-5\n[Y-AXIS]\nTOP=100\nORIGIN=500\n[TRIGGER]\nCH=7\nTHRESHOLD=1023\n"
     "ENABLE=TRUE\n",
     {}},
    {"an empty file", "", {}},
};

class SettingsStartupScenario : public ScenarioTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(SettingsStartupScenario, ReportsEachFaultyValueInReadingOrder)
{
    SCOPED_TRACE(GetParam().situation);
    ASSERT_NO_FATAL_FAILURE(launchProgram(kOneBoardId0, withSettings(GetParam().settingsFile)));
    HWND mainDialog = nullptr;  // the owner of the boxes
    ASSERT_TRUE(waitUntil([&] { return (mainDialog = program.findMainDialog()) != nullptr; }));
    for (const char *expected : GetParam().messages)
        ASSERT_TRUE(answerBox(std::string("INIT_ERROR: ") + expected, IDOK, mainDialog));
    ASSERT_NE(dialog = program.waitForMainDialog(), nullptr);
    ASSERT_TRUE(settle());
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "no further message";
}

INSTANTIATE_TEST_SUITE_P(SettingsFiles, SettingsStartupScenario, ::testing::ValuesIn(kStartupCases),
                         [](const ::testing::TestParamInfo<StartupCase> &param) {
                             return "Case" + std::to_string(param.index);
                         });

}  // namespace
