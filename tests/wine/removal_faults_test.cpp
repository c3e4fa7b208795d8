// Removal and faults: a log file that cannot be opened, and the board
// removed while idle and while saving.
#include "driver.h"

namespace {

using RemovalAndFaults = Scenario;

const char kSaveError[] = "SaveError: Savefile Can't Open !";

TEST_F(RemovalAndFaults, AnUnopenableLogThenRemovalWhileIdleAndWhileSaving)
{
    // A folder holds the name of today's CSV file: reported at start-up.
    ASSERT_TRUE(CreateDirectoryA(logPath().c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(start("board 0\nchannel 0 constant offset=300\n", kFastWithTrigger, false));
    ASSERT_TRUE(answer(kSaveError, dialog));
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog); }));

    // The board removed while idle: disconnected without a message; the last values stay on show.
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "300"));
    ASSERT_TRUE(simCommand("remove 0"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checked(dialog, IDC_CONNECT));
    EXPECT_EQ(openBox(), "") << "no message on removal";
    EXPECT_EQ(text(dialog, IDC_CH_VALUE0), "300");
    expectEnableRules(kDisconnected, "after the removal");

    // Attached again: a block is reported at its end; a crossing of the
    // trigger while that message is open starts no block; sampling goes on.
    ASSERT_TRUE(simCommand("attach 0"));
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitUntil([&] { return openBox() == kSaveError; }));
    ASSERT_TRUE(simCommand("channel 0 0 constant offset=600"));
    letSamplesArrive();
    ASSERT_TRUE(answer(kSaveError, dialog));
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checked(dialog, IDC_SAVE)) << "no block was started";
    EXPECT_TRUE(enabled(dialog, IDC_STOP)) << "sampling goes on";

    // Once the file can be opened, the end of the next block opens it without a word.
    ASSERT_TRUE(RemoveDirectoryA(logPath().c_str()));
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
    ASSERT_TRUE(settle());
    EXPECT_EQ(openBox(), "");
    EXPECT_EQ(log(), "");

    // The board removed while saving: the block is closed, the Graph window
    // too, without a question or a message.
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    ASSERT_TRUE(simCommand("remove 0"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    const std::vector<std::string> block = closedBlock(1);
    ASSERT_GE(block.size(), 3u);
    EXPECT_EQ(block[1], "0,600,0,0,0,0,0,0,0,");
    EXPECT_TRUE(waitUntil([&] { return findDialog("Graph") == nullptr; }));
    ASSERT_TRUE(settle());
    EXPECT_EQ(openBox(), "");
    EXPECT_EQ(text(dialog, IDC_SAVE), "SaveStart");
    EXPECT_FALSE(checked(dialog, IDC_SAVE));
    EXPECT_EQ(std::vector<bool>({enabled(dialog, IDC_CONNECT), enabled(dialog, IDC_GO), enabled(dialog, IDC_STOP),
                                 enabled(dialog, IDC_SMOOTH0)}),
              std::vector<bool>({true, false, false, false}))
        << "Connect, Go, Stop, and the smoothing fields, which keep their sampling state";
}

}  // namespace
