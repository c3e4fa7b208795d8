// The digital I/O panel and the live readout against a simulated board:
// what the operator sees and what the board receives.
#include <vector>

#include "resources/resource.h"
#include "scenario.h"

namespace {

// Steady channels and inputs: shown value = word >> 5.
const char kSteadyBoard[] =
    "board 0\n"
    "channel 0 constant offset=100\n"
    "channel 1 raw 0x001F\n"
    "channel 2 raw 0xFFFF\n"
    "channel 3 raw 0x8000\n"
    "channel 7 constant offset=1023\n"
    "inputs p9=0x15 pa=0xA5 pb=0x0F\n";

class PortsScenario : public ScenarioTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startProgram(kSteadyBoard));
        ASSERT_TRUE(connectTo(0));
        ASSERT_TRUE(sim.waitForWrittenPackets(2));
    }
};

TEST_F(PortsScenario, LiveReadoutShowsChannelValuesAndInputBitsAndFollowsTheBoard)
{
    const struct { int id; const char *what, *text; } channels[] = {
        {IDC_CH_VALUE0 + 0, "CH0 constant 100", "100"},
        {IDC_CH_VALUE0 + 1, "CH1 word 0x001F (below one unit)", "0"},
        {IDC_CH_VALUE0 + 2, "CH2 word 0xFFFF", "2047"},
        {IDC_CH_VALUE0 + 3, "CH3 word 0x8000", "1024"},
        {IDC_CH_VALUE0 + 4, "CH4 unconfigured", "0"},
        {IDC_CH_VALUE0 + 7, "CH7 constant 1023", "1023"},
    };
    for (const auto &row : channels)
        EXPECT_TRUE(waitForText(row.id, row.text)) << row.what << ": shows " << controlText(dialog, row.id);
    // Input bits from bit 0 up: PA 0xA5, PB 0x0F, P9 0x15 (bits 1 and 3 hidden, never written).
    const struct { int firstId; const char *bits; } ports[] = {
        {IDC_PA_VAL0, "10100101"}, {IDC_PB_VAL0, "11110000"}, {IDC_P9_VAL0, "1-1-1"}};
    for (const auto &port : ports)
        for (int bit = 0; port.bits[bit] != '\0'; ++bit)
            EXPECT_TRUE(waitForText(port.firstId + bit, std::string(1, port.bits[bit])))
                << "value box " << port.firstId + bit << " shows " << controlText(dialog, port.firstId + bit);

    ASSERT_TRUE(sim.commandAndWait("channel 0 0 constant offset=777"));
    ASSERT_TRUE(sim.commandAndWait("inputs 0 pa=0x5A"));
    EXPECT_TRUE(waitForText(IDC_CH_VALUE0, "777"));
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 0, "0"));
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 1, "1"));
}

TEST_F(PortsScenario, IoUpdateSendsThePanelsDirectionsThenOutputs)
{
    click(dialog, IDC_PA_DIR0 + 3);
    ASSERT_TRUE(waitForText(IDC_PA_DIR0 + 3, "OUT"));
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_PA_OUT0 + 3); })) << "OUT enables the output box";
    click(dialog, IDC_PA_OUT0 + 3);
    ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_PA_OUT0 + 3); }));
    click(dialog, IDC_PB_DIR0 + 7);  // PB bit 7 OUT, driving 0
    ASSERT_TRUE(waitForText(IDC_PB_DIR0 + 7, "OUT"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(sim.writtenPackets().size(), 2u) << "changing the panel sends nothing";

    click(dialog, IDC_IO_UPDATE);
    ASSERT_TRUE(sim.waitForWrittenPackets(4));
    std::vector<WrittenPacket> packets = sim.writtenPackets();
    ASSERT_EQ(packets.size(), 4u);
    const struct { size_t packet; int pipe; size_t offset; int value; const char *meaning; } bytes[] = {
        {2, 1, 0, 0x00, "P9 directions"},
        {2, 1, 1, 0x08, "PA directions: bit 3 OUT"},
        {2, 1, 2, 0x80, "PB directions: bit 7 OUT"},
        {3, 3, 0, 0x01, "output packet marker"},
        {3, 3, 1, 0x00, "P9 outputs"},
        {3, 3, 2, 0x08, "PA outputs: bit 3 drives 1"},
        {3, 3, 3, 0x00, "PB outputs: bit 7 drives 0"},
    };
    for (const auto &row : bytes) {
        EXPECT_EQ(packets[row.packet].pipe, row.pipe) << row.meaning;
        EXPECT_EQ(packets[row.packet].bytes[row.offset], row.value) << row.meaning;
    }
    // A bit sent as OUT shows the level sent, not the board's input (0 for both).
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 3, "1"));
    EXPECT_TRUE(waitForText(IDC_PB_VAL0 + 7, "0"));

    // Back to IN clears the output box; the sent level shows until the next update.
    click(dialog, IDC_PA_DIR0 + 3);
    ASSERT_TRUE(waitForText(IDC_PA_DIR0 + 3, "IN"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(isChecked(dialog, IDC_PA_OUT0 + 3));
    EXPECT_FALSE(isEnabled(dialog, IDC_PA_OUT0 + 3));
    EXPECT_EQ(controlText(dialog, IDC_PA_VAL0 + 3), "1") << "not yet sent: the board still drives 1";
    click(dialog, IDC_IO_UPDATE);
    ASSERT_TRUE(sim.waitForWrittenPackets(6));
    packets = sim.writtenPackets();
    EXPECT_EQ(packets[4].bytes[1], 0x00) << "PA directions: all IN";
    EXPECT_EQ(packets[5].bytes[2], 0x00) << "PA outputs";
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 3, "0")) << "after sending, the input shows again";
}

TEST_F(PortsScenario, OutputOnAnInputBitIsRefused)
{
    ASSERT_FALSE(isEnabled(dialog, IDC_PA_OUT0 + 2)) << "the box of an IN bit is disabled";
    // A check that reaches the handler anyway is taken back with a message.
    HWND box = GetDlgItem(dialog, IDC_PA_OUT0 + 2);
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PA_OUT0 + 2, BN_CLICKED), reinterpret_cast<LPARAM>(box));
    ASSERT_TRUE(answerBox("Error: Illegal operation occurred!", IDOK, dialog));
    EXPECT_TRUE(waitUntil([&] { return !isChecked(dialog, IDC_PA_OUT0 + 2); })) << "unchecked again";

    click(dialog, IDC_IO_UPDATE);
    ASSERT_TRUE(sim.waitForWrittenPackets(4));
    EXPECT_EQ(sim.writtenPackets()[3].bytes[2], 0x00) << "the refused output is not sent";
}

}  // namespace
