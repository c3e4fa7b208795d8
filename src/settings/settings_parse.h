// Reading and writing the eight values of init_setting.ini, apart from the
// profile functions: the Windows layer hands in the raw texts and shows the
// messages.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "settings/settings.h"

// The text the profile reader returns for a key that is not there.
extern const char kMissingKeyText[];  // "ini_notFound"

struct SettingsKey {
    const char *section;
    const char *key;
};

// The keys in the order they are read.
constexpr int kSettingsKeyCount = 8;
extern const SettingsKey kSettingsReadOrder[kSettingsKeyCount];

// atoi as the C library does it: leading blanks, an optional sign, digits up
// to the first other character; no digits gives 0.  A number beyond the
// 32-bit range gives INT32_MAX or INT32_MIN (the Windows C library's choice),
// never undefined behaviour.  A null text gives 0.
int32_t settingsAtoi(const char *text);

// Applies the raw text of key number `index` of kSettingsReadOrder to its
// field: the default when the text is kMissingKeyText (exactly), the value
// when valid, otherwise the replacement.  Returns the INIT_ERROR message for
// an invalid value, nullptr otherwise.  A null text counts as missing.
const char *applySettingText(int index, const char *text, Settings &values);

// Reads every key in order through `lookup` (which returns what the profile
// reader returns, kMissingKeyText when missing) and calls `report` with each
// message at once, before the next key is read.  Every field is assigned.
void readSettings(const std::function<std::string(const SettingsKey &)> &lookup,
                  const std::function<void(const char *message)> &report,
                  Settings &values);

// One key and its text, as written back.
struct SettingsLine {
    const char *section;
    const char *key;
    std::string value;
};

// The eight keys and texts in the order they are saved: GETDATA, NOWREAD,
// TOP, ORIGIN, CH, THRESHOLD, ENABLE, EDGE.
constexpr int kSettingsSaveCount = 8;
void settingsSaveLines(const Settings &values, SettingsLine (&lines)[kSettingsSaveCount]);

// The values of a missing file.
Settings defaultSettings();
