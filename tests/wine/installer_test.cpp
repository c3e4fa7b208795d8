// The installer of this test's own architecture (scripts/package.sh) under
// Wine: a silent install into its Program Files folder, the Start-menu shortcut that starts the program in the
// per-user data folder, the Add/Remove Programs entry, and a silent uninstall
// that removes all of it but the operator's data.  Skipped when no installer
// was built, unless PV_PACKAGES_DIR names the folder that must hold it.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "driver.h"

namespace {

namespace fs = std::filesystem;

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pendra_Visualizer";
#ifdef _WIN64
const char kArch[] = "win64", kInstallFolder[] = "C:\\Program Files\\Pendra_Visualizer";
const DWORD kView = RRF_SUBKEY_WOW6464KEY, kOtherView = RRF_SUBKEY_WOW6432KEY;
#else
const char kArch[] = "win32", kInstallFolder[] = "C:\\Program Files (x86)\\Pendra_Visualizer";
const DWORD kView = RRF_SUBKEY_WOW6432KEY, kOtherView = RRF_SUBKEY_WOW6464KEY;
#endif

bool exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool samePath(const std::string &a, const std::string &b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::set<std::string> namesIn(const std::string &folder)
{
    std::set<std::string> names;
    std::error_code ignored;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

std::string shellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Documents moved into the test folder, so that the data folder is made
// there and not in the home folder Wine maps Documents to.
void redirectDocuments(const std::string &path)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                    "Personal", REG_EXPAND_SZ, path.c_str(), static_cast<DWORD>(path.size() + 1));
}

// A value of the Add/Remove Programs entry in the 64-bit or the 32-bit
// registry view; "" when there is none.
std::string uninstallValue(const char *name, DWORD view = kView)
{
    char value[1024] = {};
    DWORD size = sizeof value;
    RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ | view, nullptr, value, &size);
    return value;
}

// The target and the working folder of a shortcut file.
std::pair<std::string, std::string> readShortcut(const std::string &path)
{
    char target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
        SUCCEEDED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    return {target, folder};
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The test command names the packages' folder: there they must be.
        std::string packages = windowsPathFromEnv("PV_PACKAGES_DIR");
        const bool required = !packages.empty();
        if (!required)
            packages = windowsPathFromEnv("PV_SOURCE_DIR") + "\\build\\packages";
        std::set<std::string> found;
        for (const std::string &name : namesIn(packages))
            if (std::regex_match(name, std::regex(std::string("Pendra_Visualizer-.*-") + kArch + "-setup\\.exe")))
                found.insert(name);
        if (found.size() != 1 && required)
            FAIL() << "no single " << kArch << " installer in " << packages;
        if (found.size() != 1)
            GTEST_SKIP() << "no single " << kArch << " installer in " << packages << ": run scripts/package.sh";
        installer = packages + "\\" + *found.begin();

        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        installFolder = kInstallFolder;
        dataFolder = root.file("Documents\\Pendra_Visualizer");
        shortcut = shellFolder(CSIDL_PROGRAMS) + "\\Pendra_Visualizer.lnk";
        cleanUp();  // what an earlier, failed run left
        ASSERT_TRUE(fs::create_directories(root.file("Documents")));
        redirectDocuments(root.file("Documents"));
        ASSERT_TRUE(samePath(shellFolder(CSIDL_PERSONAL), root.file("Documents")));
        for (const char *system : {"C:\\windows\\system32", "C:\\windows\\syswow64"})
            systemBefore[system] = namesIn(system);
    }

    void TearDown() override
    {
        if (installer.empty())
            return;
        if (!HasFailure())  // else kept for a look, like the test folder
            cleanUp();
        redirectDocuments("%USERPROFILE%\\Documents");
        CoUninitialize();
    }

    // The shortcut and the Add/Remove entry; the test folder goes by itself.
    void cleanUp()
    {
        DeleteFileA(shortcut.c_str());
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0);
    }

    WorkFolder root;
    std::string installer, installFolder, dataFolder, shortcut;
    std::map<std::string, std::set<std::string>> systemBefore;
};

TEST_F(InstallerTest, InstallsSilentlyAndUninstallsKeepingTheOperatorsData)
{
    ASSERT_EQ(runToEnd("\"" + installer + "\" /S"), 0u);
    for (const char *name :
         {"Pendra_Visualizer.exe", "PENDRA_VISUALIZER_HELP.html", "README.txt", "LICENSE.txt", "uninstall.exe"})
        EXPECT_TRUE(exists(installFolder + "\\" + name)) << name;
    EXPECT_FALSE(exists(installFolder + "\\uusbd.dll"));
    for (const auto &[system, before] : systemBefore)
        for (const std::string &name : namesIn(system))
            EXPECT_TRUE(before.count(name)) << "added to " << system << ": " << name;

    const auto [target, workingFolder] = readShortcut(shortcut);
    EXPECT_TRUE(samePath(target, installFolder + "\\Pendra_Visualizer.exe")) << target;
    EXPECT_TRUE(samePath(workingFolder, dataFolder)) << workingFolder;
    ASSERT_TRUE(fs::is_directory(dataFolder));

    // Add/Remove Programs: in the registry view of the program's architecture only.
    EXPECT_EQ(uninstallValue("DisplayName"), "Pendra_Visualizer");
    EXPECT_EQ(uninstallValue("DisplayName", kOtherView), "");
    EXPECT_TRUE(samePath(uninstallValue("UninstallString"), "\"" + installFolder + "\\uninstall.exe\""));

    // The operator's settings and a day's log, then a silent uninstall: the
    // uninstaller copies itself away and returns at once, so wait for its work.
    const std::string csv = "CH0,CH1\r\n100,200\r\n";
    writeFile(dataFolder + "\\2024_5_31.csv", csv);
    writeFile(dataFolder + "\\init_setting.ini", "[INTERVAL]\r\nGETDATA=100\r\n");
    ASSERT_EQ(runToEnd("\"" + installFolder + "\\uninstall.exe\" /S"), 0u);
    waitUntil([&] { return !exists(installFolder) && !exists(shortcut) && uninstallValue("DisplayName").empty(); },
              60000);
    EXPECT_FALSE(exists(installFolder));
    EXPECT_FALSE(exists(shortcut));
    EXPECT_EQ(uninstallValue("DisplayName"), "");
    EXPECT_EQ(readFile(dataFolder + "\\2024_5_31.csv"), csv);
    EXPECT_TRUE(exists(dataFolder + "\\init_setting.ini"));
}

}  // namespace
