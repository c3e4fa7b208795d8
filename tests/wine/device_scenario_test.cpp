// Connect, Close and the loss of the board, seen from the main dialog and
// from what the simulated boards received.
#include <algorithm>
#include <array>
#include <vector>

#include "resources/resource.h"
#include "scenario.h"

namespace {

using DeviceScenario = ScenarioTest;

TEST_F(DeviceScenario, ConnectSendsZeroDirectionsThenOutputsCloseResetsThePanelAndRemovalDisconnectsSilently)
{
    ASSERT_NO_FATAL_FAILURE(
        startProgram("board 4\nboard 9\nboard 2\nchannel 0 constant offset=100\nchannel 7 raw 0xFFFF\n"));
    ASSERT_TRUE(connectTo(2)) << describeOpenMessageBox(program.processId());
    EXPECT_TRUE(isChecked(dialog, IDC_CONNECT));
    ASSERT_TRUE(sim.waitForWrittenPackets(2));
    const std::vector<WrittenPacket> packets = sim.writtenPackets();
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(std::make_pair(packets[0].pipe, packets[0].board), std::make_pair(1, 2)) << "directions first";
    EXPECT_EQ(packets[0].bytes, (std::array<uint8_t, 64>{})) << "all IN";
    EXPECT_EQ(std::make_pair(packets[1].pipe, packets[1].board), std::make_pair(3, 2)) << "outputs second";
    EXPECT_EQ(packets[1].bytes, (std::array<uint8_t, 64>{1})) << "the marker, all levels 0";
    const std::vector<std::string> calls = sim.calls();
    for (const char *closed : {"close 0", "close 1"})
        EXPECT_EQ(std::count(calls.begin(), calls.end(), closed), 1) << "the boards that did not match";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "close 2"), 0) << "the chosen board stays open";
    expectEnableRules(kConnected, "while connected");

    // Close after changing the panel: the panel is reset and nothing is sent.
    click(dialog, IDC_PA_DIR0 + 3);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_PA_OUT0 + 3); }));
    click(dialog, IDC_PA_OUT0 + 3);
    ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_PA_OUT0 + 3); }));
    ASSERT_TRUE(closeSession());
    ASSERT_TRUE(settle());
    EXPECT_FALSE(isChecked(dialog, IDC_CONNECT));
    EXPECT_EQ(controlText(dialog, IDC_PA_DIR0 + 3), "IN");
    EXPECT_FALSE(isChecked(dialog, IDC_PA_DIR0 + 3));
    EXPECT_FALSE(isChecked(dialog, IDC_PA_OUT0 + 3));
    expectEnableRules(kDisconnected, "after Close");
    EXPECT_TRUE(sim.waitForCall("close 2"));
    EXPECT_EQ(sim.writtenPackets().size(), 2u) << "Close sends no packet";

    const int attemptsBefore = sim.openAttempts();
    ASSERT_TRUE(connectTo(2)) << "a second Connect searches afresh";
    EXPECT_TRUE(sim.waitForWrittenPackets(4));
    EXPECT_EQ(sim.openAttempts() - attemptsBefore, 3);

    // The board removed while idle: back to disconnected without a message.
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "100"));
    ASSERT_TRUE(sim.commandAndWait("remove 2"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(isChecked(dialog, IDC_CONNECT));
    expectEnableRules(kDisconnected, "after the removal");
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "no message on removal";
    EXPECT_EQ(controlText(dialog, IDC_CH_VALUE0), "100") << "the last values stay on show";
    EXPECT_EQ(controlText(dialog, IDC_CH_VALUE0 + 7), "2047");
}

// Connect ends in a usable session or in "Device Open Failed" after 32
// attempts, never in a crash or a hang, and leaves no unused board open.
TEST_F(DeviceScenario, ConnectRefusesUnusableBoardsAndServesOddOnes)
{
    const struct {
        const char *boards;   // the simulator's configuration
        int id;               // chosen in the ID box
        const char *outcome;  // "connects", "refused" or "either" (the choice is open)
    } rows[] = {
        {"", 0, "refused"},
        {"board 4\nboard 9\nboard 2\n", 5, "refused"},
        {"board 40\n", 0, "refused"},
        {"board 0 status=1\n", 0, "refused"},
        {"board 0 status=2\n", 0, "refused"},
        {"board 0 descriptor=no-endpoint\n", 0, "refused"},
        {"board 0 descriptor=zero-length\n", 0, "refused"},
        {"board 0 descriptor=overrun\n", 0, "refused"},
        {"board 0 descriptor=short-total\n", 0, "refused"},
        {"board 0 descriptor=read-fail\n", 0, "refused"},
        {"board 0 packet=2\n", 0, "refused"},
        {"board 0 descriptor=huge-total\n", 0, "connects"},
        {"board 0 descriptor=alternate\n", 0, "connects"},
        {"board 0 descriptor=big-packet\n", 0, "either"},
    };
    ASSERT_NO_FATAL_FAILURE(startProgram(kNoBoards));
    bool simulatorStarted = false;  // it reads its configuration at the first library call
    for (const auto &row : rows) {
        SCOPED_TRACE(row.boards);
        sim.writeConfig(std::string(row.boards) + "channel 0 constant offset=321\n");
        ASSERT_TRUE(!simulatorStarted || sim.commandAndWait("reload"));
        simulatorStarted = true;
        const int attemptsBefore = sim.openAttempts();
        const size_t packetsBefore = sim.writtenPackets().size();
        chooseComboEntry(dialog, IDC_ID_BOX, row.id);
        click(dialog, IDC_CONNECT);
        bool connected = false;
        ASSERT_TRUE(waitUntil([&] {
            connected = controlText(dialog, IDC_CONNECT) == "Close";
            return connected || findMessageBox(program.processId()) != nullptr || !program.isRunning();
        })) << "Connect neither succeeded nor failed";
        ASSERT_TRUE(program.isRunning()) << "the program ended";

        if (connected) {
            EXPECT_STRNE(row.outcome, "refused") << "a board not to be used was";
            EXPECT_TRUE(waitForText(IDC_CH_VALUE0, "321")) << "live values";
            ASSERT_TRUE(closeSession());
        } else {
            EXPECT_STRNE(row.outcome, "connects") << "a usable board was refused";
            ASSERT_TRUE(answerBox("Error: Device Open Failed"));
            EXPECT_EQ(sim.openAttempts() - attemptsBefore, 32);
            EXPECT_TRUE(waitForText(IDC_CONNECT, "Connect"));
            ASSERT_TRUE(waitUntil([&] { return !isChecked(dialog, IDC_CONNECT); }));
            EXPECT_EQ(sim.writtenPackets().size(), packetsBefore) << "nothing sent";
            expectEnableRules(kDisconnected, "after the refusal");
        }
        ASSERT_TRUE(settle());
        ASSERT_TRUE(waitUntil([&] {
            long opened = 0, closed = 0;
            for (const std::string &call : sim.calls()) {
                opened += call.rfind("open ", 0) == 0 && call != "open -1";
                closed += call.rfind("close ", 0) == 0;
            }
            return opened == closed;
        })) << "a board was left open";
    }
}

TEST_F(DeviceScenario, FailedWritesDuringIoUpdateAreReportedAndTheSessionStays)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    const struct { const char *command, *message; size_t packetsAfter; } rows[] = {
        {"fail-write 0 1", "Error: <Initial Data Write> Failed", 2},  // outputs not tried after it
        {"fail-write 0 3", "Error: <Control Data Write> Failed", 3},  // directions reached the board
    };
    size_t packetsBefore = 0;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.command);
        ASSERT_TRUE(connectTo(0));
        ASSERT_TRUE(sim.waitForWrittenPackets(packetsBefore + 2));
        ASSERT_TRUE(sim.commandAndWait(row.command));
        click(dialog, IDC_IO_UPDATE);
        ASSERT_TRUE(answerBox(row.message));
        ASSERT_TRUE(settle());
        EXPECT_EQ(controlText(dialog, IDC_CONNECT), "Close") << "still connected";
        EXPECT_EQ(sim.writtenPackets().size(), packetsBefore + row.packetsAfter);
        ASSERT_TRUE(closeSession());
        packetsBefore = sim.writtenPackets().size();
    }
}

}  // namespace
