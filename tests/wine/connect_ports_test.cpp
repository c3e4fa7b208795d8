// Connect and ports: the search and what the board receives at Connect, the
// live readout, I/O Update and its packets, a refused output on an IN bit,
// failed writes, Close, and an ID no board carries.
#include "driver.h"

namespace {

using ConnectAndPorts = Scenario;

// The board with ID 2 comes third; its channels and inputs hold still (shown value = word >> 5).
const char kBoards[] =
    "board 4\nboard 9\nboard 2\n"
    "channel 0 constant offset=100\nchannel 2 raw 0xFFFF\nchannel 3 raw 0x8000\nchannel 7 constant offset=1023\n"
    "inputs p9=0x15 pa=0xA5 pb=0x0F\n";

TEST_F(ConnectAndPorts, ConnectReadoutIoUpdateRefusalsAndFailedWrites)
{
    ASSERT_NO_FATAL_FAILURE(start(kBoards));
    const auto expectPacket = [&](size_t index, int pipe, const char *bytes, const char *what) {
        ASSERT_TRUE(waitForPackets(index + 1)) << what;
        EXPECT_EQ(packets()[index], packet(pipe, 2, bytes)) << what;
    };

    // The two boards searched before ID 2 are closed; it receives its directions, then its outputs.
    ASSERT_TRUE(connect(2)) << openBox();
    EXPECT_TRUE(checked(dialog, IDC_CONNECT));
    expectPacket(0, 1, "", "directions at Connect: all IN");
    expectPacket(1, 3, "01", "outputs at Connect: the marker, all levels 0");
    EXPECT_EQ(std::vector<long>({callCount("close 0"), callCount("close 1"), callCount("close 2")}),
              std::vector<long>({1, 1, 0}));
    expectEnableRules(kConnected, "while connected");

    // The live readout: channel values, and input bits from bit 0 up (P9 bits 1 and 3 never shown).
    const std::pair<int, const char *> channels[] = {{0, "100"}, {1, "0"}, {2, "2047"}, {3, "1024"}, {7, "1023"}};
    for (const auto &[channel, shown] : channels)
        EXPECT_TRUE(waitForText(IDC_CH_VALUE0 + channel, shown)) << "CH" << channel;
    const std::pair<int, const char *> inputBits[] = {
        {IDC_PA_VAL0, "10100101"}, {IDC_PB_VAL0, "11110000"}, {IDC_P9_VAL0, "1-1-1"}};
    for (const auto &[firstId, bits] : inputBits)
        for (int bit = 0; bits[bit] != '\0'; ++bit)
            EXPECT_TRUE(waitForText(firstId + bit, std::string(1, bits[bit]))) << "value box " << firstId + bit;

    // An output on an IN bit that reaches the handler anyway is taken back with a message.
    HWND inBitOutput = GetDlgItem(dialog, IDC_PA_OUT0 + 2);
    send(inBitOutput, BM_SETCHECK, BST_CHECKED);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PA_OUT0 + 2, BN_CLICKED), reinterpret_cast<LPARAM>(inBitOutput));
    ASSERT_TRUE(answer("Error: Illegal operation occurred!", dialog));
    EXPECT_TRUE(waitUntil([&] { return !checked(dialog, IDC_PA_OUT0 + 2); })) << "unchecked again";

    // PA bit 3 OUT driving 1, PB bit 7 OUT driving 0: nothing is sent before I/O Update.
    click(dialog, IDC_PA_DIR0 + 3);
    ASSERT_TRUE(waitUntil([&] { return enabled(dialog, IDC_PA_OUT0 + 3); })) << "OUT enables the output box";
    EXPECT_EQ(text(dialog, IDC_PA_DIR0 + 3), "OUT");
    click(dialog, IDC_PA_OUT0 + 3);
    click(dialog, IDC_PB_DIR0 + 7);
    ASSERT_TRUE(settle());
    EXPECT_EQ(packets().size(), 2u) << "changing the panel sends nothing";
    click(dialog, IDC_IO_UPDATE);
    expectPacket(2, 1, "000880", "directions of P9, PA, PB");
    expectPacket(3, 3, "01000800", "outputs after the marker; the refused PA bit 2 is not sent");
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 3, "1")) << "a bit sent as OUT shows the level sent";
    EXPECT_TRUE(waitForText(IDC_PB_VAL0 + 7, "0"));

    // Back to IN clears the output box; the sent level shows until the next update, then the input.
    click(dialog, IDC_PA_DIR0 + 3);
    ASSERT_TRUE(waitForText(IDC_PA_DIR0 + 3, "IN"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checked(dialog, IDC_PA_OUT0 + 3));
    EXPECT_FALSE(enabled(dialog, IDC_PA_OUT0 + 3));
    EXPECT_EQ(text(dialog, IDC_PA_VAL0 + 3), "1");
    click(dialog, IDC_IO_UPDATE);
    expectPacket(4, 1, "000080", "PA all IN again");
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 3, "0"));

    // The readout follows the board.
    ASSERT_TRUE(simCommand("channel 2 0 constant offset=777"));
    ASSERT_TRUE(simCommand("inputs 2 pa=0x5A"));
    EXPECT_TRUE(waitForText(IDC_CH_VALUE0, "777"));
    EXPECT_TRUE(waitForText(IDC_PA_VAL0 + 1, "1"));

    // A failed direction write is reported; the outputs are not tried and the
    // session stays.  PA bit 1, turned OUT but never sent, still shows the input.
    ASSERT_TRUE(simCommand("fail-write 2 1"));
    click(dialog, IDC_PA_DIR0 + 1);
    click(dialog, IDC_IO_UPDATE);
    ASSERT_TRUE(answer("Error: <Initial Data Write> Failed", dialog));
    ASSERT_TRUE(settle());
    EXPECT_EQ(text(dialog, IDC_CONNECT), "Close");
    EXPECT_EQ(packets().size(), 6u);
    ASSERT_TRUE(simCommand("channel 2 0 constant offset=778"));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "778"));
    EXPECT_EQ(text(dialog, IDC_PA_VAL0 + 1), "1");

    // Close resets the panel (PB bit 7 is still OUT) and sends nothing.
    ASSERT_TRUE(toggle(IDC_CONNECT, "Connect"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checked(dialog, IDC_CONNECT));
    EXPECT_EQ(text(dialog, IDC_PB_DIR0 + 7), "IN");
    EXPECT_FALSE(checked(dialog, IDC_PB_DIR0 + 7));
    EXPECT_EQ(callCount("close 2"), 1);
    EXPECT_EQ(packets().size(), 6u) << "Close sends no packet";
    expectEnableRules(kDisconnected, "after Close");

    // A second Connect searches afresh; a failed output write leaves the directions sent.
    const long opens = callCount("open ");
    ASSERT_TRUE(connect(2));
    EXPECT_EQ(callCount("open ") - opens, 3);
    ASSERT_TRUE(waitForPackets(8));
    ASSERT_TRUE(simCommand("fail-write 2 3"));
    click(dialog, IDC_IO_UPDATE);
    ASSERT_TRUE(answer("Error: <Control Data Write> Failed", dialog));
    ASSERT_TRUE(settle());
    EXPECT_EQ(text(dialog, IDC_CONNECT), "Close");
    EXPECT_EQ(packets().size(), 9u);
    ASSERT_TRUE(toggle(IDC_CONNECT, "Connect"));

    // No board carries ID 5: 32 attempts, nothing sent, nothing left open.
    const long attempts = callCount("open ");
    choose(dialog, IDC_ID_BOX, 5);
    click(dialog, IDC_CONNECT);
    ASSERT_TRUE(waitUntil([&] { return !openBox().empty(); }));
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the box holds the main dialog: Connect cannot be clicked again";
    ASSERT_TRUE(answer("Error: Device Open Failed", dialog));
    ASSERT_TRUE(settle());
    EXPECT_EQ(callCount("open ") - attempts, 32);
    EXPECT_EQ(callCount("open ") - callCount("open -1"), callCount("close ")) << "a board was left open";
    EXPECT_EQ(text(dialog, IDC_CONNECT), "Connect");
    EXPECT_FALSE(checked(dialog, IDC_CONNECT));
    EXPECT_EQ(packets().size(), 9u);
    expectEnableRules(kDisconnected, "after the refusal");
}

}  // namespace
