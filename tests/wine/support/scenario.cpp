#include "scenario.h"

#include "resources/resource.h"

const char kNoBoards[] = "# no board attached\n";
const char kOneBoardId0[] = "board 0\n";

namespace {

// P9 bit 1's value box is never shown nor written: the marker for settle().
constexpr int kMarkerField = IDC_P9_VAL0 + 1;

}  // namespace

void ScenarioTest::launchProgram(const std::string &boardConfig, const StartOptions &options)
{
    sim.writeConfig(boardConfig);
    StartOptions withSim = options;
    for (const auto &variable : sim.environment())
        withSim.environment.push_back(variable);
    program.start(withSim);
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
    // A selection posted behind everything else comes back once all was handled.
    const int marker = editSelection(dialog, kMarkerField).second == 0 ? 1 : 0;
    PostMessageW(control(dialog, kMarkerField), EM_SETSEL, 0, marker);
    return waitUntil([&] { return editSelection(dialog, kMarkerField) == std::make_pair(0, marker); });
}

HWND ScenarioTest::waitForGraph()
{
    HWND graph = nullptr;
    waitUntil([&] { return (graph = findDialog(program.processId(), "Graph")) != nullptr; });
    return graph;
}

void ScenarioTest::TearDown()
{
    if (program.isRunning()) {
        EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "a message box is still open";
    }
}
