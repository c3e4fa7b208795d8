// Removal and faults, as the operator meets them: the board removed while
// idle and while saving; a log file in the way, held by a second copy, under
// a Japanese folder name or on a full disk; a sample tick handled after Stop;
// a settings file that cannot be written.
#include <algorithm>

#include "driver.h"

namespace {

const char kOpenError[] = "SaveError: Savefile Can't Open !";
const char kBoard[] = "board 0\nchannel 0 constant offset=300\n";

// A second copy of the program, started in the first one's folder.
struct SecondCopy : Scenario {
    void TestBody() override {}
    using Scenario::answer, Scenario::dialog, Scenario::start;
};

class Faults : public Scenario {
protected:
    // SaveStart, a record on disk (the log is written twice a second),
    // SaveStop: the block starts on a line of its own and the file ends with it.
    void saveBlock(const std::filesystem::path &csv)
    {
        const size_t before = readFile(csv).value_or("").size();
        ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
        ASSERT_TRUE(waitUntil([&] { return readFile(csv).value_or("").find("\n0,", before) != std::string::npos; }));
        ASSERT_TRUE(toggle(IDC_SAVE, "SaveStart"));
        const std::string content = readFile(csv).value_or("");
        const size_t header = content.find('[', before);
        ASSERT_GE(content.size(), before + 5);
        EXPECT_TRUE(header == 0 || content.compare(header - 2, 3, "\r\n[") == 0) << "the block starts a line";
        EXPECT_EQ(content.substr(content.size() - 5), ",\r\n\r\n");
    }
    // Waits for a message box that starts with this text; answers it.
    void answerStartingWith(const std::string &start, HWND owner)
    {
        std::string box;
        ASSERT_TRUE(waitUntil([&] { return !(box = openBox()).empty(); }));
        EXPECT_EQ(box.rfind(start, 0), 0u) << box;
        ASSERT_TRUE(answer(box, owner));
    }
};

TEST_F(Faults, RemovalALogInTheWayASecondCopyATickAfterStopAndUnwritableSettings)
{
    // A folder holds the name of today's CSV file: reported at start-up.
    ASSERT_TRUE(CreateDirectoryA(logPath().c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(start(kBoard, kFastWithTrigger, false));
    ASSERT_TRUE(answer(kOpenError, dialog));
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

    // Attached again: SaveStart without a file says so and starts no block,
    // nor does a trigger crossing while the box is open; once the file can
    // be opened, SaveStart works.
    ASSERT_TRUE(simCommand("attach 0"));
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitUntil([&] { return openBox() == kOpenError; }));
    ASSERT_TRUE(simCommand("channel 0 0 constant offset=600"));
    letSamplesArrive();
    ASSERT_TRUE(answer(kOpenError, dialog));
    ASSERT_TRUE(settle());
    EXPECT_EQ(text(dialog, IDC_SAVE), "SaveStart");
    EXPECT_FALSE(checked(dialog, IDC_SAVE));
    EXPECT_TRUE(enabled(dialog, IDC_STOP)) << "sampling goes on";
    ASSERT_TRUE(RemoveDirectoryA(logPath().c_str()));
    ASSERT_NO_FATAL_FAILURE(saveBlock(logPath()));

    // A second copy in the same folder cannot write into the first one's file.
    {
        SecondCopy second;
        ASSERT_NO_FATAL_FAILURE(second.start(kBoard, nullptr, false, folder.path));
        ASSERT_TRUE(second.answer(kOpenError, second.dialog));
    }
    ASSERT_NO_FATAL_FAILURE(saveBlock(logPath()));

    // A sample tick handled after Stop, with a value across the threshold, does nothing.
    HWND graph = findDialog("Graph");
    ASSERT_TRUE(simCommand("channel 0 0 constant offset=300"));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "300"));
    letSamplesArrive();
    click(dialog, IDC_STOP);
    ASSERT_TRUE(waitUntil([&] { return enabled(dialog, IDC_GO); }));
    ASSERT_TRUE(simCommand("channel 0 0 constant offset=600"));
    ASSERT_TRUE(waitForText(IDC_CH_VALUE0, "600"));
    const std::optional<std::string> logged = log();
    PostMessageA(graph, WM_TIMER, TIMER_SAMPLE_TICK, 0);
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checked(dialog, IDC_SAVE));
    EXPECT_EQ(log(), logged) << "no block, no stray line";

    // The board removed while saving: the block is closed, the Graph window
    // too, without a question or a message.
    ASSERT_TRUE(go());
    ASSERT_TRUE(toggle(IDC_SAVE, "SaveStop"));
    letSamplesArrive();
    ASSERT_TRUE(simCommand("remove 0"));
    ASSERT_TRUE(waitForText(IDC_CONNECT, "Connect"));
    const std::vector<std::string> block = closedBlock(3);
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

    // Config OK while the settings file cannot be written: the box says
    // where, the dialog stays open and the settings in memory stay as they
    // were.  (A read-only file would do on Windows, but Wine as root writes it.)
    const std::string ini = folder.file("init_setting.ini");
    ASSERT_TRUE(DeleteFileA(ini.c_str()) && CreateDirectoryA(ini.c_str(), nullptr));
    HWND config = nullptr;
    for (const bool writable : {false, true}) {
        postCommand(dialog, IDM_SETTING);
        ASSERT_NE(config = waitForDialog("Config"), nullptr);
        EXPECT_EQ(text(config, IDC_CFG_GETDATA), "20") << "the settings in memory";
        if (writable) {
            ASSERT_TRUE(RemoveDirectoryA(ini.c_str()));
        }
        edit(config, IDC_CFG_GETDATA, 0, -1, writable ? "30" : "40", true);
        click(config, IDOK);
        if (!writable) {
            answerStartingWith("Warning: Settings could not be saved !\n\n" + ini + "\n", config);
            EXPECT_TRUE(IsWindowVisible(config)) << "the dialog stays open";
            click(config, IDCANCEL);
        }
        ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    }
    EXPECT_NE(readFile(ini).value_or("").find("GETDATA=30"), std::string::npos);
}

// Today's log there ends in part of a line, as a power cut leaves it.
TEST_F(Faults, AJapaneseFolderNameKeepsTheSettingsAndTheLog)
{
    const std::filesystem::path data = std::filesystem::path(folder.path) / L"データ" / L"日本語_Ω";
    ASSERT_TRUE(std::filesystem::create_directories(data));
    writeFile(data / std::filesystem::path(logPath()).filename(), "0,1,2");
    ASSERT_NO_FATAL_FAILURE(start(kBoard, "[INTERVAL]\nGETDATA=0\nNOWREAD=20\n", false, data));
    ASSERT_TRUE(answer("INIT_ERROR: Invalid Value!(INTERVAL->GETDATA in init_setting.ini)", dialog)) << "it is read";
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(dialog); }));
    postCommand(dialog, IDM_SETTING);
    HWND config = waitForDialog("Config");
    ASSERT_NE(config, nullptr);
    click(config, IDOK);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(config); }));
    EXPECT_NE(readFile(data / "init_setting.ini").value_or("").find("GETDATA=60"), std::string::npos) << "it is saved";
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    ASSERT_NO_FATAL_FAILURE(saveBlock(data / std::filesystem::path(logPath()).filename()));
}

// On a small filesystem (scripts/small-disk.sh mounts it around this test)
// nearly filled by another file.
TEST_F(Faults, AFullDiskEndsTheBlockAtOnceAndTheFileKeepsWholeRecords)
{
    const std::string disk = windowsPathFromEnv("PV_SMALL_DISK");
    if (disk.empty() || !readFile(disk + "\\.small-disk"))
        GTEST_SKIP() << "no small filesystem: mounting one needs root (see scripts/small-disk.sh)";
    const std::string data = disk + "\\run" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_NO_FATAL_FAILURE(start(kBoard, "[INTERVAL]\nGETDATA=2\nNOWREAD=20\n", true, data));
    ASSERT_TRUE(connect(0));
    ASSERT_TRUE(go());
    ULARGE_INTEGER free = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA(data.c_str(), &free, nullptr, nullptr));
    const std::string filler = data + "\\filler";
    writeFile(filler, std::string(static_cast<size_t>(free.QuadPart) - 24 * 1024, 'x'));
    const std::string csv = data + "\\" + std::filesystem::path(logPath()).filename().string();

    click(dialog, IDC_SAVE);
    ASSERT_TRUE(waitUntil([&] { return !openBox().empty(); }));
    EXPECT_EQ(text(dialog, IDC_SAVE), "SaveStart") << "the block ended before the box";
    answerStartingWith("SaveError: Savefile Can't Write !\n\n" + csv + "\n", dialog);
    ASSERT_TRUE(settle());
    EXPECT_FALSE(checked(dialog, IDC_SAVE));
    EXPECT_TRUE(enabled(dialog, IDC_STOP)) << "sampling goes on";
    const std::string content = readFile(csv).value_or("");
    ASSERT_GE(content.size(), 3u);
    EXPECT_EQ(content.substr(0, 1), "[");
    EXPECT_EQ(content.substr(content.size() - 3), ",\r\n") << "the file ends with a whole record";
    for (const std::string &line : linesOf(content.substr(content.find('\n') + 1)))
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 9) << line;
    ASSERT_TRUE(DeleteFileA(filler.c_str()));
    ASSERT_NO_FATAL_FAILURE(saveBlock(csv)) << "with room again SaveStart works";
}

}  // namespace
