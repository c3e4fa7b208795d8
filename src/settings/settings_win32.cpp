// init_setting.ini in the current directory, over the wide profile functions:
// the folder may have any name; keys and values are ASCII.
#include "settings/settings_win32.h"

#include <string>

#include "app/main_dialog_win32.h"
#include "settings/settings.h"
#include "settings/settings_parse.h"

namespace {

constexpr DWORD kValueSize = 256;

std::wstring wideFromAscii(const std::string &text)
{
    return std::wstring(text.begin(), text.end());
}

}  // namespace

std::wstring settingsPath()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring directory(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetCurrentDirectoryW(size, &directory[0]);
    if (length == 0 || length >= size)
        return std::wstring();
    directory.resize(length);
    if (directory.back() != L'\\')
        directory += L'\\';
    return directory + L"init_setting.ini";
}

void loadSettings()
{
    const std::wstring path = settingsPath();
    const std::wstring missing = wideFromAscii(kMissingKeyText);
    readSettings(
        [&](const SettingsKey &key) {
            if (path.empty())
                return std::string(kMissingKeyText);
            wchar_t value[kValueSize] = {};
            GetPrivateProfileStringW(wideFromAscii(key.section).c_str(), wideFromAscii(key.key).c_str(),
                                     missing.c_str(), value, kValueSize, path.c_str());
            // Anything outside ASCII is invalid in every key: '?' keeps it so.
            std::string text;
            for (const wchar_t *c = value; *c != 0; ++c)
                text += *c < 0x80 ? static_cast<char>(*c) : '?';
            return text;
        },
        [](const char *message) { MessageBoxA(mainWindowHandle(), message, "INIT_ERROR", MB_OK); },
        settings);
}

DWORD saveSettings(const Settings &values)
{
    const std::wstring path = settingsPath();
    if (path.empty())
        return GetLastError();
    SettingsLine lines[kSettingsSaveCount];
    settingsSaveLines(values, lines);
    for (const SettingsLine &line : lines) {
        if (!WritePrivateProfileStringW(wideFromAscii(line.section).c_str(), wideFromAscii(line.key).c_str(),
                                        wideFromAscii(line.value).c_str(), path.c_str()))
            return GetLastError() != 0 ? GetLastError() : ERROR_WRITE_FAULT;
    }
    return 0;
}
