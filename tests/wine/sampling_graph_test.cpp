// Sampling, logging and the Graph window: the mode menu, Go and the Graph
// window's place and picture, the enable rules while sampling, a CSV block
// and its format, the trigger, the close question, Stop while saving, and
// Exit while sampling.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "graph/graph_gdi_win32.h"

namespace {

const char kSteadyBoard[] =
    "board 0\nchannel 0 constant offset=300\nchannel 1 constant offset=100\nchannel 3 raw 0x8000\n"
    "channel 7 constant offset=1023\n";

using SamplingAndGraph = Scenario;

TEST_F(SamplingAndGraph, ModesGraphWindowBlocksTriggerCloseQuestionStopAndExit)
{
    ASSERT_NO_FATAL_FAILURE(start(kSteadyBoard, kFastWithTrigger));
    // The mode menu overrides the graph boxes: Diff Amp plots CH0 and CH4
    // only, Normal clears all and frees them.
    click(dialog, IDC_CH_GRAPH0 + 1);
    const struct { int command; const char *checked, *enabled; } modes[] = {
        {IDM_DIFFAMP, "x...x...", "x...x..."}, {IDM_NORMAL, "........", "xxxxxxxx"}};
    for (const auto &mode : modes) {
        postCommand(dialog, mode.command);
        ASSERT_TRUE(settle());
        for (int ch = 0; ch < 8; ++ch) {
            EXPECT_EQ(checked(dialog, IDC_CH_GRAPH0 + ch), mode.checked[ch] == 'x') << mode.command << ", CH" << ch;
            EXPECT_EQ(enabled(dialog, IDC_CH_GRAPH0 + ch), mode.enabled[ch] == 'x') << mode.command << ", CH" << ch;
        }
    }

    // Go opens the Graph window over the lower right of the work area.
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "300"));
    click(dialog, IDC_CH_GRAPH0);
    ASSERT_TRUE(go());
    HWND graph = findDialog("Graph");
    ASSERT_NE(graph, nullptr) << "Go opens the Graph window";
    expectEnableRules(kSampling, "while sampling");
    RECT work, placed;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    ASSERT_TRUE(GetWindowRect(graph, &placed));
    const long w = work.right - work.left, h = work.bottom - work.top;
    EXPECT_EQ(std::vector<long>({placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top}),
              std::vector<long>({w / 3, h / 3 + 40, 2 * w / 3, 5 * h / 8}))
        << "left, top, width, height";

    // One block from SaveStart to SaveStop: its header, elapsed times from 0 up, the channels as read.
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
    std::vector<std::string> block = closedBlock(1);
    ASSERT_GE(block.size(), 4u) << "header, at least two records, empty line";
    int hour = -1, minute = -1, second = -1, milli = -1;
    EXPECT_EQ(std::sscanf(block[0].c_str(), "[%2d h %2d m %2d.%d]", &hour, &minute, &second, &milli), 4) << block[0];
    for (size_t i = 1; i + 1 < block.size(); ++i) {
        const long elapsed = std::atol(block[i].c_str());
        EXPECT_TRUE(i == 1 ? elapsed == 0 : elapsed > std::atol(block[i - 1].c_str())) << "rising: " << block[i];
        EXPECT_EQ(block[i].substr(block[i].find(',') + 1), "300,100,0,1024,0,0,0,1023,") << "record " << i;
    }

    // CH0 at 300 is painted red on white where the layout puts the 10th
    // sample; another program's window may cover it for a while.
    RECT client;
    ASSERT_TRUE(GetClientRect(graph, &client));
    const int row = client.bottom - 25 + static_cast<int>(-(300 / (1023 * 1.2 / client.bottom))), column = 55 + 5 * 10;
    HDC dc = GetDC(graph);
    std::vector<COLORREF> pixels;
    const std::vector<COLORREF> expected = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(255, 255, 255)};
    EXPECT_TRUE(waitUntil([&] {
        pixels = {GetPixel(dc, column, row - 12), GetPixel(dc, column, row), GetPixel(dc, column, row + 12)};
        return pixels == expected;
    })) << std::hex << pixels[0] << " " << pixels[1] << " " << pixels[2] << " above, at, below row " << std::dec << row;
    ReleaseDC(graph, dc);

    // CH0 rising through 500 starts a block at the crossing sample.
    ASSERT_TRUE(simCommand("channel 0 0 constant offset=600"));
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop")) << "the crossing starts saving";
    letSamplesArrive();
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
    block = closedBlock(2);
    ASSERT_GE(block.size(), 3u);
    EXPECT_EQ(block[1], "0,600,100,0,1024,0,0,0,1023,") << "the first record is the crossing sample";

    // Closing the Graph window while connected asks first: No keeps sampling
    // and saving, Yes ends both and closes the block.
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    for (const int button : {IDNO, IDYES}) {
        PostMessageA(graph, WM_CLOSE, 0, 0);
        ASSERT_TRUE(answer("QUESTION: Will you Close GraphDialog?\n(If you Close GraphDialog then Saving also Stop)",
                           graph, button));
        ASSERT_TRUE(settle());
        const bool stays = button == IDNO;
        EXPECT_EQ(IsWindow(graph) != FALSE, stays) << "answer " << button;
        EXPECT_EQ(enabled(dialog, IDC_STOP), stays) << "sampling goes on only after No";
        EXPECT_EQ(text(dialog, IDC_SAVE), stays ? "SaveStop" : "SaveStart") << "saving goes on only after No";
    }
    closedBlock(3);

    // Go opens a new Graph window; Stop while saving ends the block and keeps the window; Go reuses it.
    ASSERT_TRUE(go());
    ASSERT_NE(graph = findDialog("Graph"), nullptr);
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return enabled(dialog, IDC_GO); }));
    expectEnableRules(kConnected, "after Stop");
    EXPECT_EQ(text(dialog, IDC_SAVE), "SaveStart");
    EXPECT_FALSE(checked(dialog, IDC_SAVE));
    closedBlock(4);
    EXPECT_TRUE(IsWindow(graph)) << "the Graph window stays after Stop";
    ASSERT_TRUE(go());
    EXPECT_EQ(findDialog("Graph"), graph) << "a second Go reuses the Graph window";

    postCommand(dialog, IDM_EXIT);
    EXPECT_EQ(exitCode(), 0) << "Exit while sampling ends the program without a question";
}

TEST(GraphLabel, TheTriggerArrowIsMeasuredAsOneCharacter)
{
    // The arrow's two bytes are one character in code page 932.
    HDC dc = CreateCompatibleDC(nullptr);
    const TextExtent without = measureTextCp932(dc, "TRG [CH0] ", 10);
    const TextExtent with = measureTextCp932(dc, "TRG [CH0] \x81\xAA", 12);
    const TextExtent arrow = measureTextCp932(dc, "\x81\xAA", 2);
    DeleteDC(dc);
    EXPECT_GT(arrow.width, 0);
    EXPECT_EQ(with.width, without.width + arrow.width);
}

}  // namespace
