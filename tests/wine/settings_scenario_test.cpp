// Start-up with a settings file in the data folder: every faulty value is
// reported in its own box, in reading order, before the main dialog shows.
#include <vector>

#include "scenario.h"

namespace {

struct StartupCase {
    const char *situation;
    const char *settingsFile;
    std::vector<const char *> faultyKeys;  // in the order their messages must appear
};

const StartupCase kStartupCases[] = {
    {"every key faulty, written in another order than the keys are read",
     "[Y-AXIS]\nORIGIN=-1\nTOP=1024\n[INTERVAL]\nNOWREAD=abc\nGETDATA=0\n"
     "[TRIGGER]\nEDGE=rise\nENABLE=true\nTHRESHOLD=1024\nCH=9\n",
     {"TRIGGER->CH", "TRIGGER->THRESHOLD", "TRIGGER->ENABLE", "TRIGGER->EDGE", "INTERVAL->GETDATA",
      "INTERVAL->NOWREAD", "Y-AXIS->TOP", "Y-AXIS->ORIGIN"}},
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
    for (const char *key : GetParam().faultyKeys)
        ASSERT_TRUE(answerBox(std::string("INIT_ERROR: Invalid Value!(") + key + " in init_setting.ini)", IDOK,
                              mainDialog));
    ASSERT_NE(dialog = program.waitForMainDialog(), nullptr);
    ASSERT_TRUE(settle());
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "no further message";
}

INSTANTIATE_TEST_SUITE_P(SettingsFiles, SettingsStartupScenario, ::testing::ValuesIn(kStartupCases),
                         [](const ::testing::TestParamInfo<StartupCase> &param) {
                             return "Case" + std::to_string(param.index);
                         });

}  // namespace
