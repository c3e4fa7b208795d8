// Connect, Close and the loss of the board, seen from the main dialog and
// from what the simulated boards received.
#include <algorithm>
#include <array>
#include <vector>

#include "resources/resource.h"
#include "scenario.h"

namespace {

// Three boards; the one carrying ID 2 is the third offered.
const char kThreeBoards[] = "board 4\nboard 9\nboard 2\n";
constexpr int kThirdBoard = 2;

// A board whose channels and inputs hold still, so shown values are known.
const char kSteadyBoard[] =
    "board 0\n"
    "channel 0 constant offset=100\n"
    "channel 3 raw 0x8000\n"
    "channel 7 constant offset=2047\n"
    "inputs p9=0x15 pa=0xA5 pb=0x0F\n";

struct EnableRule {
    int id;
    const char *name;
    bool enabledWhileDisconnected;
    bool enabledWhileConnected;
};

const EnableRule kEnableRules[] = {
    {IDC_ID_BOX, "ID box", true, false},
    {IDC_CONNECT, "Connect/Close", true, true},
    {IDC_GO, "Go", false, true},
    {IDC_STOP, "Stop", false, false},
    {IDC_SAVE, "SaveStart", false, false},
    {IDC_IO_UPDATE, "I/O Update", false, true},
    {IDC_PA_DIR0 + 3, "PA bit 3 direction", false, true},
    {IDC_PB_DIR0, "PB bit 0 direction", false, true},
    {IDC_P9_DIR0 + 4, "P9 bit 4 direction", false, true},
    {IDC_PA_OUT0 + 3, "PA bit 3 output (bit is IN)", false, false},
    {IDC_SMOOTH0, "smoothing count 0", true, true},
};

using DeviceScenario = ScenarioTest;

void expectEnableRules(HWND dialog, bool connected)
{
    for (const EnableRule &rule : kEnableRules) {
        const bool expected = connected ? rule.enabledWhileConnected : rule.enabledWhileDisconnected;
        EXPECT_EQ(isEnabled(dialog, rule.id), expected)
            << rule.name << (connected ? " while connected" : " while disconnected");
    }
}

TEST_F(DeviceScenario, ConnectWithoutBoardsReportsOpenFailureAfter32Attempts)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kNoBoards));
    click(dialog, IDC_CONNECT);

    const MessageBoxSeen box = waitForMessageBox(program.processId());
    ASSERT_NE(box.window, nullptr) << "no message after Connect";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Device Open Failed");
    EXPECT_EQ(sim.openAttempts(), 32);
    ASSERT_TRUE(answerMessageBox(box));

    EXPECT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    EXPECT_TRUE(waitUntil([&] { return !isChecked(dialog, IDC_CONNECT); })) << "button unchecked again";
    expectEnableRules(dialog, false);
    EXPECT_TRUE(sim.writtenPackets().empty());
}

TEST_F(DeviceScenario, ConnectOpensTheChosenBoardAndSendsAllInputsAndZeroOutputs)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kThreeBoards));
    ASSERT_TRUE(connectTo(2)) << describeOpenMessageBox(program.processId());
    EXPECT_TRUE(isChecked(dialog, IDC_CONNECT));
    ASSERT_TRUE(sim.waitForWrittenPackets(2));

    std::array<uint8_t, 64> zeros{};
    std::array<uint8_t, 64> outputs{};
    outputs[0] = 1;
    const std::vector<WrittenPacket> packets = sim.writtenPackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[0].pipe, 1) << "directions first";
    EXPECT_EQ(packets[0].board, kThirdBoard);
    EXPECT_EQ(packets[0].bytes, zeros);
    EXPECT_EQ(packets[1].pipe, 3) << "outputs second";
    EXPECT_EQ(packets[1].board, kThirdBoard);
    EXPECT_EQ(packets[1].bytes, outputs);

    // The two boards that did not match are closed again; the chosen one stays.
    const std::vector<std::string> calls = sim.calls();
    const auto called = [&](const std::string &line) {
        return std::find(calls.begin(), calls.end(), line) != calls.end();
    };
    EXPECT_TRUE(called("close 0"));
    EXPECT_TRUE(called("close 1"));
    EXPECT_FALSE(called("close 2"));

    expectEnableRules(dialog, true);
}

TEST_F(DeviceScenario, ConnectToAnIdNoBoardCarriesFailsAndClosesEveryBoard)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kThreeBoards));
    chooseComboEntry(dialog, IDC_ID_BOX, 5);
    click(dialog, IDC_CONNECT);

    const MessageBoxSeen box = waitForMessageBox(program.processId());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "Device Open Failed");
    ASSERT_TRUE(answerMessageBox(box));
    EXPECT_TRUE(waitUntil([&] { return !isChecked(dialog, IDC_CONNECT); }));

    const std::vector<std::string> calls = sim.calls();
    for (const char *line : {"close 0", "close 1", "close 2"})
        EXPECT_NE(std::find(calls.begin(), calls.end(), line), calls.end()) << line;
    EXPECT_TRUE(sim.writtenPackets().empty());
}

TEST_F(DeviceScenario, CloseClearsThePortPanelAndSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    ASSERT_TRUE(connectTo(0));
    ASSERT_TRUE(sim.waitForWrittenPackets(2));

    click(dialog, IDC_PA_DIR0 + 3);
    ASSERT_TRUE(waitForText(IDC_PA_DIR0 + 3, "OUT"));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_PA_OUT0 + 3); }));
    click(dialog, IDC_PA_OUT0 + 3);
    ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_PA_OUT0 + 3); }));

    ASSERT_TRUE(closeSession());
    ASSERT_TRUE(settle());
    EXPECT_FALSE(isChecked(dialog, IDC_CONNECT));
    EXPECT_EQ(controlText(dialog, IDC_PA_DIR0 + 3), "IN");
    EXPECT_FALSE(isChecked(dialog, IDC_PA_DIR0 + 3));
    EXPECT_FALSE(isChecked(dialog, IDC_PA_OUT0 + 3));
    expectEnableRules(dialog, false);
    EXPECT_EQ(sim.writtenPackets().size(), 2u) << "Close sends no packet";
    EXPECT_TRUE(sim.waitForCall("close 0"));
}

TEST_F(DeviceScenario, CloseThenConnectSearchesAfresh)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    ASSERT_TRUE(connectTo(0));
    ASSERT_TRUE(closeSession());
    ASSERT_TRUE(connectTo(0)) << describeOpenMessageBox(program.processId());
    EXPECT_TRUE(sim.waitForWrittenPackets(4)) << "the second Connect sends its two packets again";
    EXPECT_EQ(sim.openAttempts(), 2);
}

TEST_F(DeviceScenario, BoardRemovedWhileIdleReturnsToDisconnectedSilently)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kSteadyBoard));
    ASSERT_TRUE(connectTo(0));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "100")) << "live values before the removal";

    ASSERT_TRUE(sim.commandAndWait("remove 0"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(isChecked(dialog, IDC_CONNECT));
    expectEnableRules(dialog, false);
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "no message on removal";
    // The last values stay on show.
    EXPECT_EQ(controlText(dialog, IDC_CH_VALUE0), "100");
    EXPECT_EQ(controlText(dialog, IDC_CH_VALUE0 + 7), "2047");
}

TEST_F(DeviceScenario, BoardRemovedWhileSamplingClosesTheGraphWindowWithoutItsQuestion)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kSteadyBoard));
    ASSERT_TRUE(connectTo(0));
    click(dialog, IDC_GO);
    HWND graph = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (graph = findDialog(program.processId(), "Graph")) != nullptr; }))
        << "Go opens the Graph window";
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_STOP); }));

    ASSERT_TRUE(sim.commandAndWait("remove 0"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(graph); })) << "the Graph window is closed";
    ASSERT_TRUE(settle());
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "no question, no message";
    EXPECT_FALSE(isEnabled(dialog, IDC_STOP));
    EXPECT_FALSE(isEnabled(dialog, IDC_GO));
    EXPECT_TRUE(isEnabled(dialog, IDC_CONNECT));
    EXPECT_FALSE(isEnabled(dialog, IDC_SMOOTH0)) << "the smoothing fields keep their sampling state";
}

struct OddBoard {
    const char *board;  // one board line of the simulator
    const char *outcome;  // "connects", "refused" or "either" (the choice is open)
};

// Boards whose descriptors, status or packets are unusual or broken: each
// Connect ends in a usable session or in "Device Open Failed", never in a
// crash or a hang.
const OddBoard kOddBoards[] = {
    {"board 0 status=1", "refused"},
    {"board 0 status=2", "refused"},
    {"board 0 descriptor=no-endpoint", "refused"},
    {"board 0 descriptor=zero-length", "refused"},
    {"board 0 descriptor=overrun", "refused"},
    {"board 0 descriptor=short-total", "refused"},
    {"board 0 descriptor=read-fail", "refused"},
    {"board 0 packet=2", "refused"},
    {"board 0 descriptor=huge-total", "connects"},
    {"board 0 descriptor=alternate", "connects"},
    {"board 0 descriptor=big-packet", "either"},
    {"board 40", "refused"},
};

TEST_F(DeviceScenario, OddBoardsAreRefusedOrServedButNeverCrashTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kNoBoards));
    bool simulatorStarted = false;  // it reads its configuration at the first library call
    for (const OddBoard &row : kOddBoards) {
        sim.writeConfig(std::string(row.board) + "\n" + "channel 0 constant offset=321\n");
        if (simulatorStarted) {
            ASSERT_TRUE(sim.commandAndWait("reload")) << row.board;
        }
        simulatorStarted = true;
        click(dialog, IDC_CONNECT);

        bool connected = false;
        MessageBoxSeen box;
        ASSERT_TRUE(waitUntil([&] {
            connected = controlText(dialog, IDC_CONNECT) == "Close";
            box.window = findMessageBox(program.processId());
            return connected || box.window != nullptr || !program.isRunning();
        })) << row.board << ": Connect neither succeeded nor failed";
        ASSERT_TRUE(program.isRunning()) << row.board << " ended the program";

        if (connected) {
            EXPECT_STRNE(row.outcome, "refused") << row.board << " must not be used";
            EXPECT_TRUE(waitForText(IDC_CH_VALUE0, "321")) << row.board << ": live values";
            ASSERT_TRUE(closeSession()) << row.board;
        } else {
            EXPECT_STRNE(row.outcome, "connects") << row.board << " was refused";
            box = waitForMessageBox(program.processId());
            EXPECT_EQ(box.text, "Device Open Failed") << row.board;
            ASSERT_TRUE(answerMessageBox(box)) << row.board;
            ASSERT_TRUE(waitUntil([&] { return !isChecked(dialog, IDC_CONNECT); })) << row.board;
        }
        ASSERT_TRUE(settle());
        // Every board of the search is closed again before the next one.
        ASSERT_TRUE(waitUntil([&] {
            const std::vector<std::string> calls = sim.calls();
            long opened = 0, closed = 0;
            for (const std::string &call : calls) {
                opened += call.rfind("open 0", 0) == 0;
                closed += call.rfind("close 0", 0) == 0;
            }
            return opened == closed;
        })) << row.board << " left open";
    }
}

TEST_F(DeviceScenario, FailedWritesDuringIoUpdateAreReportedAndTheSessionStays)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    struct FailedWrite { const char *command; const char *message; size_t packetsAfter; };
    const FailedWrite rows[] = {
        {"fail-write 0 1", "<Initial Data Write> Failed", 2},  // outputs not tried after it
        {"fail-write 0 3", "<Control Data Write> Failed", 3},  // directions reached the board
    };
    size_t packetsBefore = 0;
    for (const FailedWrite &row : rows) {
        ASSERT_TRUE(connectTo(0)) << row.command;
        ASSERT_TRUE(sim.waitForWrittenPackets(packetsBefore + 2));
        ASSERT_TRUE(sim.commandAndWait(row.command));
        click(dialog, IDC_IO_UPDATE);

        const MessageBoxSeen box = waitForMessageBox(program.processId());
        ASSERT_NE(box.window, nullptr) << row.command;
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, row.message);
        ASSERT_TRUE(answerMessageBox(box));
        ASSERT_TRUE(settle());
        EXPECT_EQ(controlText(dialog, IDC_CONNECT), "Close") << row.command << ": still connected";
        EXPECT_EQ(sim.writtenPackets().size(), packetsBefore + row.packetsAfter) << row.command;

        ASSERT_TRUE(closeSession());
        packetsBefore = sim.writtenPackets().size();
    }
}

}  // namespace
