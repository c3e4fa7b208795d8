#include "scenario.h"

#include "resources/resource.h"

const char kNoBoards[] = "# no board attached\n";
const char kOneBoardId0[] = "board 0\n";

void ScenarioTest::launchProgram(const std::string &boardConfig, const StartOptions &options)
{
    sim.writeConfig(boardConfig);
    sim.applyEnvironment();
    program.start(options);
}

void ScenarioTest::startProgram(const std::string &boardConfig, const StartOptions &options)
{
    launchProgram(boardConfig, options);
    dialog = program.waitForMainDialog();
    ASSERT_NE(dialog, nullptr);
}

bool ScenarioTest::connectTo(int id)
{
    chooseComboEntry(dialog, IDC_ID_BOX, id);
    click(dialog, IDC_CONNECT);
    return waitForText(IDC_CONNECT, "Close");
}

bool ScenarioTest::closeSession()
{
    click(dialog, IDC_CONNECT);
    return waitForText(IDC_CONNECT, "Connect");
}

bool ScenarioTest::waitForText(int id, const std::string &expected)
{
    return waitUntil([&] { return controlText(dialog, id) == expected; });
}

bool ScenarioTest::settle()
{
    // P9 bit 1's value box is never shown nor written: a selection posted to it
    // behind everything else comes back once all was handled.
    HWND marker = GetDlgItem(dialog, IDC_P9_VAL0 + 1);
    const int end = editSelection(dialog, IDC_P9_VAL0 + 1).second == 0 ? 1 : 0;
    PostMessageW(marker, EM_SETSEL, 0, end);
    return waitUntil([&] { return editSelection(dialog, IDC_P9_VAL0 + 1) == std::make_pair(0, end); });
}

HWND ScenarioTest::waitForDialog(const char *caption)
{
    HWND found = nullptr;
    const bool shown = waitUntil([&] {
        found = findDialog(program.processId(), caption);
        return found != nullptr && IsWindowVisible(found);
    });
    return shown ? found : nullptr;
}

void ScenarioTest::TearDown()
{
    if (program.isRunning()) {
        EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "a message box is still open";
    }
}
