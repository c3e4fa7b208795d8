// Sampling with the Graph window and logging to the daily CSV file, driven
// from the main dialog against boards whose channels hold still.
#include <string>
#include <vector>

#include "graph/graph_gdi_win32.h"
#include "resources/resource.h"
#include "scenario.h"
#include "text.h"

namespace {

const char kSteadyBoard[] =
    "board 0\n"
    "channel 0 constant offset=300\n"
    "channel 1 constant offset=100\n"
    "channel 3 raw 0x8000\n"
    "channel 7 constant offset=1023\n";
// The record values of that board: CH0..CH7 as "%d," each.
const char kSteadyValues[] = "300,100,0,1024,0,0,0,1023,";

// Fast ticks so that a block quickly holds several records; and with a
// trigger on CH0 rising through 500.
const char kFastSampling[] = "[INTERVAL]\nGETDATA=20\nNOWREAD=20\n";
const std::string kTriggerAt500 =
    std::string(kFastSampling) + "[TRIGGER]\nCH=0\nTHRESHOLD=500\nENABLE=TRUE\nEDGE=RISE\n";

class SamplingScenario : public ScenarioTest {
protected:
    // Starts the program, connects, plots CH0 and presses Go.
    void startSampling(const char *board = kSteadyBoard, const std::string &settings = kFastSampling)
    {
        ASSERT_NO_FATAL_FAILURE(startProgram(board, withSettings(settings)));
        ASSERT_TRUE(connectTo(0));
        ASSERT_TRUE(waitUntil([&] { return controlText(dialog, IDC_CH_VALUE0) != "-"; }));
        click(dialog, IDC_CH_GRAPH0);
        ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_CH_GRAPH0); }));
        click(dialog, IDC_GO);
        ASSERT_NE(graph = waitForDialog("Graph"), nullptr) << "Go opens the Graph window";
        ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_SAVE); }));
    }

    // SaveStart, samples arriving, then SaveStop when asked.
    void saveBlock(bool stop = true)
    {
        click(dialog, IDC_SAVE);
        ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
        letSamplesArrive();
        if (stop) {
            click(dialog, IDC_SAVE);
            ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
        }
    }

    // Records stay in the stream's buffer until the block ends: nothing to poll.
    static void letSamplesArrive() { Sleep(600); }

    // Waits for today's CSV file to end with a closed block; its lines, each
    // of them ended by CR LF.
    std::vector<std::string> closedLog() const
    {
        std::string content;
        const std::string end = ",\r\n\r\n";
        EXPECT_TRUE(waitUntil([&] {
            content = program.folder().readFile(todayCsvName()).value_or("");
            return content.size() >= end.size() && content.compare(content.size() - end.size(), end.size(), end) == 0;
        })) << "a closed block ends with a record and an empty line:\n" << content;
        return linesOf(content);
    }

    HWND graph = nullptr;
};

TEST_F(SamplingScenario, SamplingStateFollowsTheEnableRulesStopEndsSavingAndGoReusesTheGraphWindow)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    expectEnableRules(kSampling, "while sampling");
    ASSERT_NO_FATAL_FAILURE(saveBlock(false));
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_GO); }));
    expectEnableRules(kConnected, "after Stop");
    EXPECT_EQ(controlText(dialog, IDC_SAVE), "SaveStart");
    EXPECT_FALSE(isChecked(dialog, IDC_SAVE));
    closedLog();
    EXPECT_TRUE(IsWindow(graph)) << "the Graph window stays open after Stop";

    click(dialog, IDC_GO);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_STOP); }));
    EXPECT_EQ(findDialog(program.processId(), "Graph"), graph) << "a second Go reuses the Graph window";
}

TEST_F(SamplingScenario, GraphWindowIsPlacedByTheWorkAreaAndPaintsThePlottedChannelOnWhite)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    RECT work, placed, client;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const long w = work.right - work.left, h = work.bottom - work.top;
    ASSERT_TRUE(GetWindowRect(graph, &placed));
    EXPECT_EQ(std::vector<long>({placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top}),
              std::vector<long>({w / 3, h / 3 + 40, 2 * w / 3, 5 * h / 8}))
        << "left, top, width, height";

    letSamplesArrive();
    ASSERT_TRUE(GetClientRect(graph, &client));
    const int width = client.right, height = client.bottom;
    // The X axis is 25 pixels above the bottom; TOP (1023) stands height / 1.2 above it.
    const int traceRow = height - 25 + static_cast<int>(-(300 / (1023 * 1.2 / height)));
    const int column = 55 + 5 * 10;  // the 10th sample
    HDC screen = GetDC(graph), copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(copy, bitmap);
    ASSERT_TRUE(BitBlt(copy, 0, 0, width, height, screen, 0, 0, SRCCOPY));
    const struct { int row; COLORREF colour; const char *what; } pixels[] = {
        {traceRow, RGB(255, 0, 0), "CH0 at 300 is red"},
        {traceRow - 12, RGB(255, 255, 255), "above the trace is white"},
        {traceRow + 12, RGB(255, 255, 255), "below the trace is white"},
    };
    for (const auto &pixel : pixels)
        EXPECT_EQ(GetPixel(copy, column, pixel.row), pixel.colour) << pixel.what << " (row " << pixel.row << ")";
    SelectObject(copy, previous);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(graph, screen);
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

TEST_F(SamplingScenario, SaveStartToSaveStopWritesOneBlockOfRecords)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    ASSERT_NO_FATAL_FAILURE(saveBlock());
    const std::vector<std::string> lines = closedLog();
    ASSERT_GE(lines.size(), 4u) << "header, at least two records, empty line";
    int hour = -1, minute = -1, second = -1, milli = -1;
    EXPECT_EQ(std::sscanf(lines[0].c_str(), "[%2d h %2d m %2d.%d]", &hour, &minute, &second, &milli), 4)
        << lines[0];
    long previous = -1;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const size_t comma = lines[i].find(',');
        ASSERT_NE(comma, std::string::npos) << lines[i];
        const long elapsed = std::stol(lines[i].substr(0, comma));
        EXPECT_TRUE(i == 1 ? elapsed == 0 : elapsed > previous) << "elapsed times start at 0 and rise: " << lines[i];
        previous = elapsed;
        EXPECT_EQ(lines[i].substr(comma + 1), kSteadyValues) << "record " << i;
    }
    EXPECT_EQ(lines.back(), "") << "the block ends with an empty line";
}

TEST_F(SamplingScenario, RemovalWhileSavingEndsTheBlockAndClosesTheGraphWindowWithoutQuestion)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    ASSERT_NO_FATAL_FAILURE(saveBlock(false));
    ASSERT_TRUE(sim.commandAndWait("remove 0"));
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
    EXPECT_FALSE(isChecked(dialog, IDC_SAVE));
    closedLog();
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(graph); })) << "the Graph window is closed";
    ASSERT_TRUE(settle());
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "") << "no question, no message";
    EXPECT_FALSE(isEnabled(dialog, IDC_STOP));
    EXPECT_FALSE(isEnabled(dialog, IDC_GO));
    EXPECT_TRUE(isEnabled(dialog, IDC_CONNECT));
    EXPECT_FALSE(isEnabled(dialog, IDC_SMOOTH0)) << "the smoothing fields keep their sampling state";
}

TEST_F(SamplingScenario, ATriggerCrossingStartsABlockAtTheCrossingSample)
{
    ASSERT_NO_FATAL_FAILURE(startSampling("board 0\nchannel 0 constant offset=400\n", kTriggerAt500));
    letSamplesArrive();
    EXPECT_EQ(controlText(dialog, IDC_SAVE), "SaveStart") << "400 stays below the threshold";
    ASSERT_TRUE(sim.commandAndWait("channel 0 0 constant offset=600"));
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop")) << "the rising crossing starts saving";
    letSamplesArrive();
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));

    const std::vector<std::string> lines = closedLog();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].front(), '[') << "the block header comes first";
    EXPECT_EQ(lines[1], "0,600,0,0,0,0,0,0,0,") << "the first record is the crossing sample";
    for (size_t i = 2; i + 1 < lines.size(); ++i)
        EXPECT_NE(lines[i].find(",600,"), std::string::npos) << "record " << i << ": " << lines[i];
}

TEST_F(SamplingScenario, ClosingTheGraphWindowWhileConnectedAsksFirstAndExitWhileSamplingDoesNot)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    ASSERT_NO_FATAL_FAILURE(saveBlock(false));
    struct Answer { int button; bool graphStays; };
    for (const Answer &answer : {Answer{IDNO, true}, Answer{IDYES, false}}) {
        PostMessageW(graph, WM_CLOSE, 0, 0);
        ASSERT_TRUE(answerBox("QUESTION: Will you Close GraphDialog?\n(If you Close GraphDialog then Saving also Stop)",
                              answer.button, graph));
        ASSERT_TRUE(settle());
        EXPECT_EQ(IsWindow(graph) != FALSE, answer.graphStays) << "answer " << answer.button;
        EXPECT_EQ(isEnabled(dialog, IDC_STOP), answer.graphStays) << "sampling goes on only after No";
        EXPECT_EQ(controlText(dialog, IDC_SAVE), answer.graphStays ? "SaveStop" : "SaveStart")
            << "saving goes on only after No";
    }
    click(dialog, IDC_GO);
    EXPECT_NE(waitForDialog("Graph"), nullptr) << "Go after closing creates a new Graph window";
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_STOP); }));
    postCommand(dialog, IDM_EXIT);
    EXPECT_EQ(program.waitForExit(), 0) << "Exit while sampling ends the program without question";
}

}  // namespace
