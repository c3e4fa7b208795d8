// The installer of this test's own architecture (scripts/package.sh) under
// Wine: a silent install into its Program Files folder, the Start-menu
// shortcut that starts the program in the per-user data folder, the
// Add/Remove Programs entry, and a silent uninstall that removes all of it
// but the operator's data.  Skipped when no installer
// was built, unless PV_PACKAGES_DIR names the folder that must hold it.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "paths.h"
#include "program.h"
#include "text.h"
#include "wait.h"
#include "work_folder.h"

namespace {

namespace fs = std::filesystem;

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pendra_Visualizer";
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const wchar_t kDefaultDocuments[] = L"%USERPROFILE%\\Documents";
#ifdef _WIN64
const wchar_t kArch[] = L"win64", kInstallFolder[] = L"C:\\Program Files\\Pendra_Visualizer";
const DWORD kView = RRF_SUBKEY_WOW6464KEY, kOtherView = RRF_SUBKEY_WOW6432KEY;
#else
const wchar_t kArch[] = L"win32", kInstallFolder[] = L"C:\\Program Files (x86)\\Pendra_Visualizer";
const DWORD kView = RRF_SUBKEY_WOW6432KEY, kOtherView = RRF_SUBKEY_WOW6464KEY;
#endif

bool exists(const std::wstring &path)
{
    std::error_code ignored;
    return fs::exists(path, ignored);
}

std::set<std::wstring> namesIn(const std::wstring &folder)
{
    std::set<std::wstring> names;
    std::error_code ignored;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().wstring());
    return names;
}

std::wstring shellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// A value of the Add/Remove Programs entry in the 64-bit or the 32-bit
// registry view; "" when there is none.
std::wstring uninstallValue(const wchar_t *name, DWORD view = kView)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ | view, nullptr, value, &size);
    return value;
}

// The target and the working folder of a shortcut file.
std::pair<std::wstring, std::wstring> readShortcut(const std::wstring &path)
{
    wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {};
    IShellLinkW *link = nullptr;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    return {target, folder};
}

bool samePath(const std::wstring &a, const std::wstring &b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Documents moved into the test folder, so that the data folder is made
// there and not in the home folder Wine maps Documents to.
void redirectDocuments(const std::wstring &path)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"Personal", REG_EXPAND_SZ, path.c_str(),
                    static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
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
        std::set<std::wstring> found;
        for (const std::wstring &name : namesIn(wideFromUtf8(packages)))
            if (std::regex_match(name, std::wregex(L"Pendra_Visualizer-.*-" + std::wstring(kArch) + L"-setup\\.exe")))
                found.insert(name);
        if (found.size() != 1 && required)
            FAIL() << "no single " << utf8FromWide(kArch) << " installer in " << packages;
        if (found.size() != 1)
            GTEST_SKIP() << "no single " << utf8FromWide(kArch) << " installer in " << packages << ": run scripts/package.sh";
        installer = wideFromUtf8(packages) + L"\\" + *found.begin();

        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        installFolder = kInstallFolder;
        dataFolder = root.filePath("Documents\\Pendra_Visualizer");
        shortcut = shellFolder(CSIDL_PROGRAMS) + L"\\Pendra_Visualizer.lnk";
        cleanUp();  // what an earlier, failed run left
        ASSERT_TRUE(fs::create_directories(root.filePath("Documents")));
        redirectDocuments(root.filePath("Documents"));
        ASSERT_TRUE(samePath(shellFolder(CSIDL_PERSONAL), root.filePath("Documents")));
        for (const wchar_t *system : {L"C:\\windows\\system32", L"C:\\windows\\syswow64"})
            systemBefore[system] = namesIn(system);
    }

    void TearDown() override
    {
        if (installer.empty())
            return;
        if (!HasFailure())  // else kept for a look, like the test folder
            cleanUp();
        redirectDocuments(kDefaultDocuments);
        CoUninitialize();
    }

    // The shortcut and the Add/Remove entry; the test folder goes by itself.
    void cleanUp()
    {
        DeleteFileW(shortcut.c_str());
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0);
    }

    WorkFolder root;
    std::wstring installer, installFolder, dataFolder, shortcut;
    std::map<std::wstring, std::set<std::wstring>> systemBefore;
};

TEST_F(InstallerTest, InstallsSilentlyAndUninstallsKeepingTheOperatorsData)
{
    ASSERT_EQ(runToEnd(L"\"" + installer + L"\" /S"), 0u);
    for (const wchar_t *name :
         {L"Pendra_Visualizer.exe", L"PENDRA_VISUALIZER_HELP.html", L"README.txt", L"LICENSE.txt", L"uninstall.exe"})
        EXPECT_TRUE(exists(installFolder + L"\\" + name)) << utf8FromWide(name);
    EXPECT_FALSE(exists(installFolder + L"\\uusbd.dll"));
    for (const auto &[system, before] : systemBefore)
        for (const std::wstring &name : namesIn(system))
            EXPECT_TRUE(before.count(name)) << "added to " << utf8FromWide(system) << ": " << utf8FromWide(name);

    const auto [target, workingFolder] = readShortcut(shortcut);
    EXPECT_TRUE(samePath(target, installFolder + L"\\Pendra_Visualizer.exe")) << utf8FromWide(target);
    EXPECT_TRUE(samePath(workingFolder, dataFolder)) << utf8FromWide(workingFolder);
    ASSERT_TRUE(fs::is_directory(dataFolder));

    // Add/Remove Programs: in the registry view of the program's architecture only.
    EXPECT_EQ(uninstallValue(L"DisplayName"), L"Pendra_Visualizer");
    EXPECT_EQ(uninstallValue(L"DisplayName", kOtherView), L"");
    EXPECT_TRUE(samePath(uninstallValue(L"UninstallString"), L"\"" + installFolder + L"\\uninstall.exe\""));

    // The operator's settings and a day's log, then a silent uninstall: the
    // uninstaller copies itself away and returns at once, so wait for its work.
    const std::string csv = "CH0,CH1\r\n100,200\r\n";
    writeFileAt(dataFolder + L"\\2024_5_31.csv", csv);
    writeFileAt(dataFolder + L"\\init_setting.ini", "[INTERVAL]\r\nGETDATA=100\r\n");
    ASSERT_EQ(runToEnd(L"\"" + installFolder + L"\\uninstall.exe\" /S"), 0u);
    waitUntil([&] { return !exists(installFolder) && !exists(shortcut) && uninstallValue(L"DisplayName").empty(); },
              60000);
    EXPECT_FALSE(exists(installFolder));
    EXPECT_FALSE(exists(shortcut));
    EXPECT_EQ(uninstallValue(L"DisplayName"), L"");
    EXPECT_EQ(readFileAt(dataFolder + L"\\2024_5_31.csv"), csv);
    EXPECT_TRUE(exists(dataFolder + L"\\init_setting.ini"));
}

}  // namespace
