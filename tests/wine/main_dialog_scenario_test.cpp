// The main dialog as the operator meets it: start-up state, keys and menu
// commands that must or must not end the program.
#include <string>
#include <utility>

#include "resources/resource.h"
#include "scenario.h"

namespace {

using MainDialogScenario = ScenarioTest;

TEST_F(MainDialogScenario, StartsDisconnectedWithIdListPlaceholdersAndTodaysCsvFile)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    for (int id = 0; id <= 32; ++id)
        EXPECT_EQ(comboItemText(dialog, IDC_ID_BOX, id), id < 32 ? "ID=" + std::to_string(id) : "") << "item " << id;
    const std::pair<int, const char *> texts[] = {
        {IDC_CONNECT, "Connect"}, {IDC_ID_BOX, "ID=0"}, {IDC_SAVE, "SaveStart"},     {IDC_GO, "Go"},
        {IDC_STOP, "Stop"},       {IDC_SMOOTH0, "10"},  {IDC_IO_UPDATE, "I/O Update"}, {IDC_SMOOTH1, "10"},
    };
    for (const auto &[id, text] : texts)
        EXPECT_EQ(controlText(dialog, id), text);
    expectEnableRules(kDisconnected, "at start-up");
    EXPECT_FALSE(isChecked(dialog, IDC_CONNECT));
    EXPECT_FALSE(isChecked(dialog, IDC_SAVE));

    // Each shown port bit: no value yet, direction IN, both buttons disabled.
    const auto expectIdleBit = [&](int direction, int output, int value) {
        EXPECT_EQ(controlText(dialog, value), "-") << "value box " << value;
        EXPECT_EQ(controlText(dialog, direction), "IN") << "direction button " << direction;
        EXPECT_FALSE(isEnabled(dialog, direction)) << "direction button " << direction;
        EXPECT_FALSE(isEnabled(dialog, output)) << "output box " << output;
    };
    for (int bit = 0; bit < 8; ++bit) {
        expectIdleBit(IDC_PA_DIR0 + bit, IDC_PA_OUT0 + bit, IDC_PA_VAL0 + bit);
        expectIdleBit(IDC_PB_DIR0 + bit, IDC_PB_OUT0 + bit, IDC_PB_VAL0 + bit);
        EXPECT_EQ(controlText(dialog, IDC_CH_VALUE0 + bit), "-") << "CH" << bit;
        EXPECT_FALSE(isChecked(dialog, IDC_CH_GRAPH0 + bit)) << "graph check box of CH" << bit;
    }
    for (int bit = 0; bit < 5; ++bit) {  // only bits 0, 2 and 4 of P9 are shown
        const int ids[] = {IDC_P9_DIR0 + bit, bit == 0 ? IDC_P9_OUT0 : IDC_P9_OUT1 + bit - 1, IDC_P9_VAL0 + bit};
        for (int id : ids)
            EXPECT_EQ(isVisible(dialog, id), bit % 2 == 0) << "P9 bit " << bit << ", control " << id;
        if (bit % 2 == 0)
            expectIdleBit(ids[0], ids[1], ids[2]);
    }
    EXPECT_TRUE(waitUntil([&] { return program.folder().readFile(todayCsvName()).has_value(); }));
}

TEST_F(MainDialogScenario, ModeMenuSetsTheGraphCheckBoxes)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    // CH1 and CH7 ticked first: a mode choice overrides them.
    click(dialog, IDC_CH_GRAPH0 + 1);
    click(dialog, IDC_CH_GRAPH0 + 7);
    ASSERT_TRUE(waitUntil([&] { return isChecked(dialog, IDC_CH_GRAPH0 + 7); }));

    // Per channel CH0..CH7: 'x' checked / enabled, '.' not.
    const struct { int command; const char *mode, *checked, *enabled; } steps[] = {
        {IDM_DIFFAMP, "Diff Amp", "x...x...", "x...x..."},
        {IDM_NORMAL, "Normal", "........", "xxxxxxxx"},
        {IDM_DIFFAMP, "Diff Amp again", "x...x...", "x...x..."},
    };
    for (const auto &step : steps) {
        postCommand(dialog, step.command);
        ASSERT_TRUE(settle());
        for (int n = 0; n < 8; ++n) {
            EXPECT_EQ(isChecked(dialog, IDC_CH_GRAPH0 + n), step.checked[n] == 'x') << step.mode << ", CH" << n;
            EXPECT_EQ(isEnabled(dialog, IDC_CH_GRAPH0 + n), step.enabled[n] == 'x') << step.mode << ", CH" << n;
        }
    }
}

TEST_F(MainDialogScenario, SmoothingCountFieldsAreCleanedAsTheyAreEdited)
{
    // Applied one after another to the field of circuit 0, starting from "10".
    const struct {
        const char *what;
        int selectionStart, selectionEnd;  // -1 as the end: to the end of the text
        const char *keys;                  // typed one by one ("\b" is Backspace), or
        const char *pasted;                // pasted at once
        const char *shown;
        int caret;  // caret position afterwards, -1: not checked
    } edits[] = {
        {"Backspace at the end of 10 leaves 1", 2, 2, "\b", nullptr, "1", 1},
        {"Backspace on the last digit is answered with 1, caret before it", 1, 1, "\b", nullptr, "1", 0},
        {"typing 5 in front of that 1 gives 51", 0, 0, "5", nullptr, "51", 1},
        {"selecting all and typing 5 gives 5", 0, -1, "5", nullptr, "5", -1},
        {"250 pasted is limited to 100", 0, -1, nullptr, "250", "100", -1},
        {"70000 pasted is 4464 in 16 bits: 100", 0, -1, nullptr, "70000", "100", -1},
        {"text that is no number gives 1", 0, -1, nullptr, "abc", "1", -1},
    };
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    for (const auto &edit : edits) {
        SCOPED_TRACE(edit.what);
        if (edit.pasted != nullptr)
            replaceText(dialog, IDC_SMOOTH0, edit.selectionStart, edit.selectionEnd, edit.pasted);
        else
            typeKeys(dialog, IDC_SMOOTH0, edit.selectionStart, edit.selectionEnd, edit.keys);
        ASSERT_TRUE(settle());
        EXPECT_TRUE(waitForText(IDC_SMOOTH0, edit.shown)) << "shows " << controlText(dialog, IDC_SMOOTH0);
        if (edit.caret >= 0) {
            EXPECT_EQ(editSelection(dialog, IDC_SMOOTH0), std::make_pair(edit.caret, edit.caret));
        }
    }
    EXPECT_EQ(controlText(dialog, IDC_SMOOTH1), "10") << "the other field is untouched";
}

TEST_F(MainDialogScenario, EscapeAndEnterCloseNeitherTheMainDialogNorTheVersionDialog)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kOneBoardId0));
    postCommand(dialog, IDCANCEL);
    postCommand(dialog, IDOK);
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(program.isRunning());
    EXPECT_TRUE(IsWindowVisible(dialog));

    postCommand(dialog, IDM_VERSION);
    HWND version = waitForDialog("Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(GetWindow(version, GW_OWNER), dialog);
    // Only the main dialog takes the shell-font form; the Version dialog names its font plainly.
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & DS_SHELLFONT, DS_SHELLFONT);
    EXPECT_EQ(GetWindowLongW(version, GWL_STYLE) & DS_SHELLFONT, DS_SETFONT);
    postCommand(version, IDCANCEL);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(IsWindow(version)) << "Escape does not close the Version dialog";
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
