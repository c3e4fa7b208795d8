// The main dialog as the operator meets it: start-up state, keys and menu
// commands that must or must not end the program.
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "scenario.h"

namespace {

// The visible port controls (P9 bits 1 and 3 are never shown) and every value box.
struct PortControls {
    std::vector<int> directions, outputs, values;
};

PortControls portControls()
{
    PortControls c{{IDC_P9_DIR0, IDC_P9_DIR0 + 2, IDC_P9_DIR0 + 4}, {IDC_P9_OUT0, IDC_P9_OUT1 + 1, IDC_P9_OUT1 + 3}, {}};
    for (int bit = 0; bit < 8; ++bit) {
        c.directions.insert(c.directions.end(), {IDC_PA_DIR0 + bit, IDC_PB_DIR0 + bit});
        c.outputs.insert(c.outputs.end(), {IDC_PA_OUT0 + bit, IDC_PB_OUT0 + bit});
        c.values.insert(c.values.end(), {IDC_CH_VALUE0 + bit, IDC_PA_VAL0 + bit, IDC_PB_VAL0 + bit});
    }
    for (int bit = 0; bit < 5; ++bit)
        c.values.push_back(IDC_P9_VAL0 + bit);
    return c;
}

using MainDialogScenario = ScenarioTest;

TEST_F(MainDialogScenario, StartsDisconnectedWithIdListPlaceholdersAndTodaysCsvFile)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    for (int id = 0; id <= 32; ++id)
        EXPECT_EQ(comboItemText(dialog, IDC_ID_BOX, id), id < 32 ? "ID=" + std::to_string(id) : "");

    const PortControls ports = portControls();
    for (int id : ports.values)
        EXPECT_EQ(controlText(dialog, id), "-") << "value box " << id;
    for (int id : ports.directions) {
        EXPECT_EQ(controlText(dialog, id), "IN") << "direction button " << id;
        EXPECT_FALSE(isEnabled(dialog, id)) << "direction button " << id;
    }
    for (int id : ports.outputs)
        EXPECT_FALSE(isEnabled(dialog, id)) << "output box " << id;
    for (int n = 0; n < 8; ++n)
        EXPECT_FALSE(isChecked(dialog, IDC_CH_GRAPH0 + n)) << "graph check box of CH" << n;
    for (int bit = 0; bit < 5; ++bit) {  // only bits 0, 2 and 4 of P9 are shown
        const int outputId = bit == 0 ? IDC_P9_OUT0 : IDC_P9_OUT1 + bit - 1;
        for (int id : {IDC_P9_DIR0 + bit, outputId, IDC_P9_VAL0 + bit})
            EXPECT_EQ(isVisible(dialog, id), bit % 2 == 0) << "P9 bit " << bit << ", control " << id;
    }

    struct Control { int id; const char *text; bool enabled; };
    const Control controls[] = {
        {IDC_CONNECT, "Connect", true}, {IDC_ID_BOX, "ID=0", true},    {IDC_SAVE, "SaveStart", false},
        {IDC_GO, "Go", false},          {IDC_STOP, "Stop", false},     {IDC_IO_UPDATE, "I/O Update", false},
        {IDC_SMOOTH0, "10", true},      {IDC_SMOOTH1, "10", true},
    };
    for (const Control &c : controls) {
        EXPECT_EQ(controlText(dialog, c.id), c.text);
        EXPECT_EQ(isEnabled(dialog, c.id), c.enabled) << c.text;
    }
    EXPECT_FALSE(isChecked(dialog, IDC_CONNECT));
    EXPECT_FALSE(isChecked(dialog, IDC_SAVE));
    EXPECT_TRUE(waitUntil([&] { return program.folder().readFile(todayCsvName()).has_value(); }));
}

TEST_F(MainDialogScenario, ModeMenuSetsTheGraphCheckBoxes)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    // CH1 and CH7 ticked first: a mode choice overrides them.
    click(dialog, IDC_CH_GRAPH0 + 1);
    click(dialog, IDC_CH_GRAPH0 + 7);
    ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_CH_GRAPH0 + 7); }));

    struct Step { int command; const char *mode; const char *checked; const char *enabled; };
    // Per channel CH0..CH7: 'x' checked / enabled, '.' not.
    const Step steps[] = {
        {IDM_DIFFAMP, "Diff Amp", "x...x...", "x...x..."},
        {IDM_NORMAL, "Normal", "........", "xxxxxxxx"},
        {IDM_DIFFAMP, "Diff Amp again", "x...x...", "x...x..."},
    };
    for (const Step &step : steps) {
        postCommand(dialog, step.command);
        ASSERT_TRUE(settle());
        for (int n = 0; n < 8; ++n) {
            EXPECT_EQ(isChecked(dialog, IDC_CH_GRAPH0 + n), step.checked[n] == 'x') << step.mode << ", CH" << n;
            EXPECT_EQ(isEnabled(dialog, IDC_CH_GRAPH0 + n), step.enabled[n] == 'x') << step.mode << ", CH" << n;
        }
    }
}

struct SmoothingEdit {
    const char *what;
    int selectionStart, selectionEnd;  // -1 as the end: to the end of the text
    const char *keys;                  // typed one by one ("\b" is Backspace), or
    const char *pasted;                // pasted at once
    const char *shown;
    int caret;  // caret position afterwards, -1: not checked
};

// Applied one after another to the field of circuit 0, starting from "10".
const SmoothingEdit kSmoothingEdits[] = {
    {"Backspace at the end of 10 leaves 1", 2, 2, "\b", nullptr, "1", 1},
    {"Backspace on the last digit is answered with 1, caret before it", 1, 1, "\b", nullptr, "1", 0},
    {"typing 5 in front of that 1 gives 51", 0, 0, "5", nullptr, "51", 1},
    {"selecting all and typing 5 gives 5", 0, -1, "5", nullptr, "5", -1},
    {"250 pasted is limited to 100", 0, -1, nullptr, "250", "100", -1},
    {"007 pasted loses its zeros", 0, -1, nullptr, "007", "7", -1},
    {"40000 pasted is negative in 16 bits: 1", 0, -1, nullptr, "40000", "1", -1},
    {"70000 pasted is 4464 in 16 bits: 100", 0, -1, nullptr, "70000", "100", -1},
    {"text that is no number gives 1", 0, -1, nullptr, "abc", "1", -1},
};

TEST_F(MainDialogScenario, SmoothingCountFieldsAreCleanedAsTheyAreEdited)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    for (const SmoothingEdit &edit : kSmoothingEdits) {
        if (edit.pasted != nullptr) {
            replaceText(dialog, IDC_SMOOTH0, edit.selectionStart, edit.selectionEnd, edit.pasted);
        } else {
            typeKeys(dialog, IDC_SMOOTH0, edit.selectionStart, edit.selectionEnd, edit.keys);
        }
        ASSERT_TRUE(settle());
        EXPECT_TRUE(waitForText(IDC_SMOOTH0, edit.shown)) << edit.what << ": shows " << controlText(dialog, IDC_SMOOTH0);
        if (edit.caret >= 0) {
            EXPECT_EQ(editSelection(dialog, IDC_SMOOTH0), std::make_pair(edit.caret, edit.caret)) << edit.what;
        }
    }
    EXPECT_EQ(controlText(dialog, IDC_SMOOTH1), "10") << "the other field is untouched";
}

TEST_F(MainDialogScenario, EscapeAndEnterDoNotCloseTheMainDialog)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    postCommand(dialog, IDCANCEL);
    postCommand(dialog, IDOK);
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(program.isRunning());
    EXPECT_TRUE(IsWindowVisible(dialog));
}

TEST_F(MainDialogScenario, VersionDialogIgnoresEscapeAndClosesWithOk)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    postCommand(dialog, IDM_VERSION);
    HWND version = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (version = findDialog(program.processId(), "Version")) != nullptr &&
                                       IsWindowVisible(version); }));
    EXPECT_EQ(GetWindow(version, GW_OWNER), dialog);
    // Only the main dialog takes the shell-font form; the Version dialog names its font plainly.
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & DS_SHELLFONT, DS_SHELLFONT);
    EXPECT_EQ(GetWindowLongW(version, GWL_STYLE) & DS_SHELLFONT, DS_SETFONT);
    postCommand(version, IDCANCEL);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(IsWindow(version)) << "Escape does not close it";
    click(version, IDOK);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(version); }));
    EXPECT_TRUE(program.isRunning());
}

// Exit in the menu and the close box both end the program with code 0.
class EndingScenario : public ScenarioTest, public ::testing::WithParamInterface<UINT> {};

TEST_P(EndingScenario, EndsTheProgramWithCodeZero)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    if (GetParam() == WM_CLOSE)
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    else
        postCommand(dialog, static_cast<int>(GetParam()));
    EXPECT_EQ(program.waitForExit(), 0);
}

INSTANTIATE_TEST_SUITE_P(ExitAndCloseBox, EndingScenario, ::testing::Values(UINT(IDM_EXIT), UINT(WM_CLOSE)));

}  // namespace
