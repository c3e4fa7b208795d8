// init_setting.ini in the current directory, over the profile functions.
#include "settings/settings_win32.h"

#include <cstdio>
#include <string>

#include "app/main_dialog_win32.h"
#include "settings/settings.h"
#include "settings/settings_parse.h"

namespace {

constexpr DWORD kDirectorySize = 260;
constexpr DWORD kValueSize = 256;

// Computed anew for each load and save.  Empty when the current directory
// does not fit the buffer: the file is then neither read nor written, rather
// than looked for in some other folder.
std::string settingsPath()
{
    char directory[kDirectorySize] = {};
    DWORD length = GetCurrentDirectoryA(kDirectorySize, directory);
    if (length == 0 || length >= kDirectorySize)
        return std::string();
    char path[kDirectorySize + 32];
    std::snprintf(path, sizeof path, "%s\\%s", directory, "init_setting.ini");
    return path;
}

}  // namespace

void loadSettings()
{
    const std::string path = settingsPath();
    readSettings(
        [&path](const SettingsKey &key) {
            if (path.empty())
                return std::string(kMissingKeyText);
            char value[kValueSize] = {};
            GetPrivateProfileStringA(key.section, key.key, kMissingKeyText, value, kValueSize,
                                     path.c_str());
            return std::string(value);
        },
        [](const char *message) { MessageBoxA(mainWindowHandle(), message, "INIT_ERROR", MB_OK); },
        settings);
}

void saveSettings()
{
    const std::string path = settingsPath();
    if (path.empty())
        return;
    SettingsLine lines[kSettingsSaveCount];
    settingsSaveLines(settings, lines);
    for (const SettingsLine &line : lines)
        WritePrivateProfileStringA(line.section, line.key, line.value.c_str(), path.c_str());
}
