// Faults of the lab around the CSV log and the settings file, as the operator
// meets them: a file in the way, a second copy, a Japanese folder name, a
// settings file that cannot be written, a full disk.
#include <algorithm>
#include <string>

#include "paths.h"
#include "resources/resource.h"
#include "scenario.h"
#include "text.h"

namespace {

const char kOpenError[] = "SaveError: Savefile Can't Open !";
const char kBoard[] = "board 0\nchannel 0 constant offset=300\n";
const char kFastSampling[] = "[INTERVAL]\nGETDATA=2\nNOWREAD=20\n";

class LogFaultsScenario : public ScenarioTest {
protected:
    void connectAndGo()
    {
        ASSERT_TRUE(connectTo(0));
        click(dialog, IDC_GO);
        ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_SAVE); }));
    }
    // The SaveStart button as the operator sees it after everything posted was handled.
    void expectSaveButton(const char *text)
    {
        ASSERT_TRUE(settle());
        EXPECT_EQ(controlText(dialog, IDC_SAVE), text);
        EXPECT_EQ(isChecked(dialog, IDC_SAVE), text == std::string("SaveStop"));
    }
    // A block of records, ended by SaveStop: the file then ends with it.
    void saveBlock(const std::wstring &csv)
    {
        const size_t before = readFileAt(csv).value_or("").size();
        click(dialog, IDC_SAVE);
        ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStop"));
        ASSERT_TRUE(waitUntil([&] { return readFileAt(csv).value_or("").find("\n0,300,", before) != std::string::npos; }));
        click(dialog, IDC_SAVE);
        ASSERT_TRUE(waitForText(IDC_SAVE, "SaveStart"));
        const std::string content = readFileAt(csv).value_or("");
        EXPECT_EQ(content.substr(before, 1), "[") << "the block starts on a line of its own";
        EXPECT_EQ(content.substr(content.size() - 5), ",\r\n\r\n");
    }
    HWND openConfig()
    {
        postCommand(dialog, IDM_SETTING);
        return waitForDialog("Config");
    }
};

TEST_F(LogFaultsScenario, SaveStartWithoutAFileSaysSoAndStartsNoBlockUntilTheFileOpens)
{
    const std::wstring csv = program.folder().filePath(todayCsvName());
    ASSERT_TRUE(CreateDirectoryW(csv.c_str(), nullptr));  // a folder in the file's place
    ASSERT_NO_FATAL_FAILURE(launchProgram(kBoard, withSettings(kFastSampling)));
    ASSERT_TRUE(answerBox(kOpenError));
    ASSERT_NE(dialog = program.waitForMainDialog(), nullptr);
    ASSERT_NO_FATAL_FAILURE(connectAndGo());
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(answerBox(kOpenError));
    expectSaveButton("SaveStart");
    ASSERT_TRUE(RemoveDirectoryW(csv.c_str()));
    ASSERT_NO_FATAL_FAILURE(saveBlock(csv));
}

TEST_F(LogFaultsScenario, ASecondCopyInTheSameFolderCannotWriteIntoTheFirstCopysFile)
{
    ASSERT_NO_FATAL_FAILURE(startProgram(kBoard, withSettings(kFastSampling)));
    Program second;
    ASSERT_TRUE(second.start(StartOptions{false, "", program.folder().path()}));
    const MessageBoxSeen box = waitForMessageBox(second.processId());
    EXPECT_EQ(box.message(), kOpenError);
    EXPECT_TRUE(answerMessageBox(box));
    ASSERT_NO_FATAL_FAILURE(connectAndGo());
    ASSERT_NO_FATAL_FAILURE(saveBlock(program.folder().filePath(todayCsvName())));
}

TEST_F(LogFaultsScenario, AJapaneseFolderNameKeepsTheSettingsAndTheLog)
{
    const std::wstring folder = program.folder().path() + L"\\データ";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\日本語_Ω").c_str(), nullptr));
    const std::wstring data = folder + L"\\日本語_Ω";
    ASSERT_NO_FATAL_FAILURE(launchProgram(kBoard, StartOptions{true, "[INTERVAL]\nGETDATA=0\nNOWREAD=20\n", data}));
    ASSERT_TRUE(answerBox("INIT_ERROR: Invalid Value!(INTERVAL->GETDATA in init_setting.ini)")) << "the file is read";
    ASSERT_NE(dialog = program.waitForMainDialog(), nullptr);
    HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    click(config, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    EXPECT_NE(readFileAt(data + L"\\init_setting.ini").value_or("").find("GETDATA=60"), std::string::npos)
        << "Config OK saved the file";
    ASSERT_NO_FATAL_FAILURE(connectAndGo());
    ASSERT_NO_FATAL_FAILURE(saveBlock(data + L"\\" + wideFromUtf8(todayCsvName())));
}

// A sample tick posted before Stop and handled after it: with the trigger
// armed, the new value would cross the threshold.
TEST_F(LogFaultsScenario, ASampleTickAfterStopDoesNothing)
{
    ASSERT_NO_FATAL_FAILURE(
        startProgram("board 0\nchannel 0 constant offset=400\n",
                     withSettings("[TRIGGER]\nCH=0\nTHRESHOLD=500\nENABLE=TRUE\nEDGE=RISE\n")));
    ASSERT_NO_FATAL_FAILURE(connectAndGo());
    HWND graph = waitForDialog("Graph");
    ASSERT_NE(graph, nullptr);
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return isEnabled(dialog, IDC_GO); }));
    ASSERT_TRUE(sim.commandAndWait("channel 0 0 constant offset=600"));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "600"));
    PostMessageW(graph, WM_TIMER, TIMER_SAMPLE_TICK, 0);
    expectSaveButton("SaveStart");
    EXPECT_EQ(program.folder().readFile(todayCsvName()), "") << "no block, no stray line";
}

// Config OK while the settings file cannot be written: the box says where,
// the dialog stays open and the settings in memory stay as they were.  (A
// read-only file would do on Windows, but Wine running as root writes it.)
TEST_F(LogFaultsScenario, ASettingsFileThatCannotBeWrittenIsReportedAndNothingChanges)
{
    const std::wstring ini = program.folder().filePath("init_setting.ini");
    ASSERT_TRUE(CreateDirectoryW(ini.c_str(), nullptr));  // a folder in the file's place
    ASSERT_NO_FATAL_FAILURE(startProgram(kBoard));
    HWND config = openConfig();
    ASSERT_NE(config, nullptr);
    replaceText(config, IDC_CFG_GETDATA, 0, -1, "30");
    click(config, IDOK);
    const MessageBoxSeen box = waitForMessageBox(program.processId());
    EXPECT_EQ(box.message().rfind("Warning: Settings could not be saved !\n\n" + utf8FromWide(ini) + "\n", 0), 0u)
        << box.message();
    EXPECT_TRUE(answerMessageBox(box));
    EXPECT_TRUE(IsWindow(config)) << "the dialog stays open";
    click(config, IDCANCEL);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    ASSERT_NE(config = openConfig(), nullptr);
    EXPECT_EQ(controlText(config, IDC_CFG_GETDATA), "60") << "the settings in memory did not change";

    ASSERT_TRUE(RemoveDirectoryW(ini.c_str()));
    replaceText(config, IDC_CFG_GETDATA, 0, -1, "30");
    click(config, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    EXPECT_NE(readFileAt(ini).value_or("").find("GETDATA=30"), std::string::npos);
}

// On a small filesystem (scripts/small-disk.sh mounts it around this test)
// nearly filled by another file.
TEST_F(LogFaultsScenario, AFullDiskEndsTheBlockAtOnceAndTheFileKeepsWholeRecords)
{
    const std::wstring disk = wideFromUtf8(windowsPathFromEnv("PV_SMALL_DISK"));
    if (disk.empty() || !readFileAt(disk + L"\\.small-disk"))
        GTEST_SKIP() << "no small filesystem: mounting one needs root (see scripts/small-disk.sh)";
    const std::wstring folder = disk + L"\\run" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(startProgram(kBoard, StartOptions{true, kFastSampling, folder}));
    ASSERT_NO_FATAL_FAILURE(connectAndGo());
    ULARGE_INTEGER free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExW(folder.c_str(), &free, nullptr, nullptr));
    const std::wstring filler = folder + L"\\filler";
    writeFileAt(filler, std::string(static_cast<size_t>(free.QuadPart) - 24 * 1024, 'x'));
    const std::wstring csv = folder + L"\\" + wideFromUtf8(todayCsvName());

    click(dialog, IDC_SAVE);
    const MessageBoxSeen box = waitForMessageBox(program.processId());
    EXPECT_EQ(box.message().rfind("SaveError: Savefile Can't Write !\n\n" + utf8FromWide(csv) + "\n", 0), 0u)
        << box.message();
    EXPECT_EQ(controlText(dialog, IDC_SAVE), "SaveStart") << "the block ended before the box";
    EXPECT_TRUE(answerMessageBox(box));
    expectSaveButton("SaveStart");
    EXPECT_TRUE(isEnabled(dialog, IDC_STOP)) << "sampling goes on";
    const std::string content = readFileAt(csv).value_or("");
    EXPECT_EQ(content.substr(0, 1), "[");
    EXPECT_EQ(content.substr(content.size() - 3), ",\r\n") << "the file ends with a whole record";
    for (const std::string &line : linesOf(content.substr(content.find('\n') + 1)))
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 9) << line;

    ASSERT_TRUE(DeleteFileW(filler.c_str()));
    ASSERT_NO_FATAL_FAILURE(saveBlock(csv)) << "with room again SaveStart works";
}

}  // namespace
