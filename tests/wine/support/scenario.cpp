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

bool ScenarioTest::answerBox(const std::string &message, int button, HWND owner)
{
    const MessageBoxSeen box = waitForMessageBox(program.processId());
    EXPECT_EQ(box.message(), message);
    if (owner != nullptr) {
        EXPECT_EQ(box.owner, owner) << "the owner of " << message;
    }
    return answerMessageBox(box, button);
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

void ScenarioTest::expectEnableRules(Phase phase, const std::string &when)
{
    // Per phase (disconnected, connected, sampling): 'x' enabled, '.' not.
    const struct { int id; const char *name, *enabled; } rules[] = {
        {IDC_ID_BOX, "ID box", "x.."},
        {IDC_CONNECT, "Connect/Close", "xx."},
        {IDC_GO, "Go", ".x."},
        {IDC_STOP, "Stop", "..x"},
        {IDC_SAVE, "SaveStart", "..x"},
        {IDC_IO_UPDATE, "I/O Update", ".xx"},
        {IDC_PA_DIR0 + 3, "PA bit 3 direction", ".xx"},
        {IDC_PB_DIR0, "PB bit 0 direction", ".xx"},
        {IDC_P9_DIR0 + 4, "P9 bit 4 direction", ".xx"},
        {IDC_PA_OUT0 + 3, "PA bit 3 output (bit is IN)", "..."},
        {IDC_SMOOTH0, "smoothing count 0", "xx."},
        {IDC_SMOOTH1, "smoothing count 1", "xx."},
    };
    for (const auto &rule : rules)
        EXPECT_EQ(isEnabled(dialog, rule.id), rule.enabled[phase] == 'x') << rule.name << " " << when;
}

void ScenarioTest::TearDown()
{
    if (program.isRunning()) {
        EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "a message box is still open";
    }
}
