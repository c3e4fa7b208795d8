// Sampling with the Graph window and logging to the daily CSV file, driven
// from the main dialog against a board whose channels hold still.
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "scenario.h"

namespace {

const char kSteadyBoard[] =
    "board 0\n"
    "channel 0 constant offset=512\n"
    "channel 1 constant offset=100\n"
    "channel 3 raw 0x8000\n"
    "channel 7 constant offset=1023\n";
// The record values of that board: CH0..CH7 as "%d," each.
const char kSteadyValues[] = "512,100,0,1024,0,0,0,1023,";

// Fast ticks so that a block quickly holds several records.
const char kFastSampling[] = "[INTERVAL]\nGETDATA=20\nNOWREAD=20\n";

std::vector<std::string> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

bool endsWithClosedBlock(const std::string &content)
{
    const std::string end = ",\r\n\r\n";
    return content.size() >= end.size() && content.compare(content.size() - end.size(), end.size(), end) == 0;
}

class SamplingScenario : public ScenarioTest {
protected:
    // Starts the program on the steady board, connects and presses Go;
    // `graph` is the Graph window.
    void startSampling()
    {
        StartOptions options;
        options.writeSettings = true;
        options.settingsContent = kFastSampling;
        ASSERT_NO_FATAL_FAILURE(startProgram(kSteadyBoard, options));
        ASSERT_TRUE(connectTo(0));
        ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "512"));
        click(dialog, IDC_GO);
        ASSERT_TRUE(waitUntil([&] { return (graph = findDialog(program.processId(), "Graph")) != nullptr; }))
            << "Go opens the Graph window";
        ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_SAVE); }));
    }

    // Lets the sample tick run for a while.  Records stay in the stream's
    // buffer until the block ends, so there is nothing to poll meanwhile.
    static void letSamplesArrive() { Sleep(600); }

    HWND graph = nullptr;
};

TEST_F(SamplingScenario, SamplingStateFollowsTheEnableRules)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    const struct { int id; const char *name; bool enabled; } rules[] = {
        {IDC_ID_BOX, "ID box", false},  {IDC_CONNECT, "Close", false},       {IDC_GO, "Go", false},
        {IDC_STOP, "Stop", true},       {IDC_SAVE, "SaveStart", true},       {IDC_IO_UPDATE, "I/O Update", true},
        {IDC_SMOOTH0, "smoothing 0", false}, {IDC_SMOOTH1, "smoothing 1", false},
    };
    for (const auto &rule : rules)
        EXPECT_EQ(isEnabled(dialog, rule.id), rule.enabled) << rule.name << " while sampling";

    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_GO); }));
    EXPECT_TRUE(IsWindow(graph)) << "the Graph window stays open after Stop";
    EXPECT_TRUE(isEnabled(dialog, IDC_CONNECT));
    EXPECT_TRUE(isEnabled(dialog, IDC_SMOOTH0));
    EXPECT_FALSE(isEnabled(dialog, IDC_SAVE));

    click(dialog, IDC_GO);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_STOP); }));
    EXPECT_EQ(findDialog(program.processId(), "Graph"), graph) << "a second Go reuses the Graph window";
}

TEST_F(SamplingScenario, GraphWindowIsPlacedByTheWorkArea)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    const long w = work.right - work.left;
    const long h = work.bottom - work.top;
    RECT placed;
    ASSERT_TRUE(GetWindowRect(graph, &placed));
    EXPECT_EQ(placed.left, w / 3);
    EXPECT_EQ(placed.top, h / 3 + 40);
    EXPECT_EQ(placed.right - placed.left, 2 * w / 3);
    EXPECT_EQ(placed.bottom - placed.top, 5 * h / 8);
}

TEST_F(SamplingScenario, SaveStartToSaveStopWritesOneBlockOfRecords)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    const std::string name = todayCsvName();
    const std::string before = program.folder().readFile(name).value_or("");

    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));

    std::string content;
    ASSERT_TRUE(waitUntil([&] {
        content = program.folder().readFile(name).value_or("");
        return content.size() > before.size();
    }));
    const std::vector<std::string> lines = linesOf(content.substr(before.size()));
    ASSERT_GE(lines.size(), 4u) << "header, at least two records, empty line:\n" << content;

    int hour = -1, minute = -1, second = -1, milli = -1;
    EXPECT_EQ(std::sscanf(lines[0].c_str(), "[%2d h %2d m %2d.%d]", &hour, &minute, &second, &milli), 4)
        << lines[0];
    EXPECT_EQ(lines[0].back(), '\r') << "lines end with CR LF";
    long previous = -1;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::string &record = lines[i];
        const size_t comma = record.find(',');
        ASSERT_NE(comma, std::string::npos) << record;
        const long elapsed = std::stol(record.substr(0, comma));
        if (i == 1) {
            EXPECT_EQ(elapsed, 0) << "the first record is at 0";
        } else {
            EXPECT_GT(elapsed, previous) << "elapsed times rise: " << record;
        }
        previous = elapsed;
        EXPECT_EQ(record.substr(comma + 1), std::string(kSteadyValues) + "\r") << "record " << i;
    }
    EXPECT_EQ(lines.back(), "\r") << "the block ends with an empty line";
}

TEST_F(SamplingScenario, StopWhileSavingEndsTheBlock)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    const std::string name = todayCsvName();
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
    EXPECT_FALSE(isChecked(dialog, IDC_SAVE));

    std::string content;
    ASSERT_TRUE(waitUntil([&] {
        content = program.folder().readFile(name).value_or("");
        return endsWithClosedBlock(content);
    })) << "a closed block ends with a record and an empty line:\n" << content;
}

TEST_F(SamplingScenario, BoardRemovedWhileSavingEndsTheBlockWithoutQuestion)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    ASSERT_TRUE(sim.commandAndWait("remove 0"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    EXPECT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(graph); }));
    ASSERT_TRUE(settle());
    EXPECT_EQ(describeOpenMessageBox(program.processId()), "");
    std::string content;
    EXPECT_TRUE(waitUntil([&] {
        content = program.folder().readFile(todayCsvName()).value_or("");
        return endsWithClosedBlock(content);
    })) << content;
}

TEST_F(SamplingScenario, ExitWhileSamplingEndsWithoutQuestion)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    postCommand(dialog, IDM_EXIT);
    EXPECT_EQ(program.waitForExit(), 0);
}

TEST_F(SamplingScenario, ClosingTheGraphWindowWhileConnectedAsksFirst)
{
    ASSERT_NO_FATAL_FAILURE(startSampling());
    struct Answer { int button; bool graphStays; };
    const Answer answers[] = {{IDNO, true}, {IDYES, false}};
    for (const Answer &answer : answers) {
        PostMessageW(graph, WM_CLOSE, 0, 0);
        const MessageBoxSeen box = waitForMessageBox(program.processId());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "QUESTION");
        EXPECT_EQ(box.text, "Will you Close GraphDialog?\n(If you Close GraphDialog then Saving also Stop)");
        EXPECT_EQ(box.owner, graph);
        ASSERT_TRUE(answerMessageBox(box, answer.button));
        ASSERT_TRUE(settle());
        EXPECT_EQ(IsWindow(graph) != FALSE, answer.graphStays) << "answer " << answer.button;
        EXPECT_EQ(isEnabled(dialog, IDC_STOP), answer.graphStays) << "sampling goes on only after No";
    }
    EXPECT_TRUE(isEnabled(dialog, IDC_GO));
    click(dialog, IDC_GO);
    HWND second = nullptr;
    EXPECT_TRUE(waitUntil([&] { return (second = findDialog(program.processId(), "Graph")) != nullptr; }))
        << "Go after closing creates a new Graph window";
}

}  // namespace
