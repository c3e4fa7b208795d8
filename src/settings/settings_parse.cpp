#include "settings/settings_parse.h"

#include <climits>
#include <cstring>

const char kMissingKeyText[] = "ini_notFound";

namespace {

const char kInterval[] = "INTERVAL";
const char kYAxis[] = "Y-AXIS";
const char kTrigger[] = "TRIGGER";

enum KeyIndex { kCh, kThreshold, kEnable, kEdge, kGetData, kNowRead, kTop, kOrigin };

const char *const kInvalidMessages[kSettingsKeyCount] = {
    "Invalid Value!(TRIGGER->CH in init_setting.ini)",
    "Invalid Value!(TRIGGER->THRESHOLD in init_setting.ini)",
    "Invalid Value!(TRIGGER->ENABLE in init_setting.ini)",
    "Invalid Value!(TRIGGER->EDGE in init_setting.ini)",
    "Invalid Value!(INTERVAL->GETDATA in init_setting.ini)",
    "Invalid Value!(INTERVAL->NOWREAD in init_setting.ini)",
    "Invalid Value!(Y-AXIS->TOP in init_setting.ini)",
    "Invalid Value!(Y-AXIS->ORIGIN in init_setting.ini)",
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool inRange(int32_t value, int32_t low, int32_t high)
{
    return value >= low && value <= high;
}

// Sets `field` to the number when `valid` holds for it, else to the
// replacement; returns whether it was valid.
bool takeNumber(const char *text, int32_t &field, int32_t replacement, bool (*valid)(int32_t))
{
    int32_t value = settingsAtoi(text);
    field = valid(value) ? value : replacement;
    return valid(value);
}

bool nonZero(int32_t value) { return value != 0; }
bool channelRange(int32_t value) { return inRange(value, 0, 7); }
bool unitRange(int32_t value) { return inRange(value, 0, 1023); }

// "TRUE"/"FALSE" or "RISE"/"FALL", matched exactly.
bool takeWord(const char *text, const char *yes, const char *no, bool &field, bool replacement)
{
    if (std::strcmp(text, yes) == 0) {
        field = true;
        return true;
    }
    if (std::strcmp(text, no) == 0) {
        field = false;
        return true;
    }
    field = replacement;
    return false;
}

}  // namespace

const SettingsKey kSettingsReadOrder[kSettingsKeyCount] = {
    {kTrigger, "CH"},       {kTrigger, "THRESHOLD"}, {kTrigger, "ENABLE"}, {kTrigger, "EDGE"},
    {kInterval, "GETDATA"}, {kInterval, "NOWREAD"},  {kYAxis, "TOP"},      {kYAxis, "ORIGIN"},
};

Settings defaultSettings()
{
    Settings defaults{};
    defaults.getDataInterval = 60;
    defaults.nowReadInterval = 60;
    defaults.axisTop = 1023;
    defaults.axisOrigin = 0;
    defaults.triggerChannel = 0;
    defaults.triggerThreshold = 0;
    defaults.triggerEnabled = false;
    defaults.triggerRising = false;
    return defaults;
}

int32_t settingsAtoi(const char *text)
{
    if (text == nullptr)
        return 0;
    while (isBlank(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Magnitude up to 2^31, which is INT32_MIN when negative; beyond that the
    // number saturates.
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

const char *applySettingText(int index, const char *text, Settings &values)
{
    const Settings defaults = defaultSettings();
    const bool missing = text == nullptr || std::strcmp(text, kMissingKeyText) == 0;
    bool valid = true;
    switch (index) {
    case kCh:
        if (missing)
            values.triggerChannel = defaults.triggerChannel;
        else
            valid = takeNumber(text, values.triggerChannel, 0, channelRange);
        break;
    case kThreshold:
        if (missing)
            values.triggerThreshold = defaults.triggerThreshold;
        else
            valid = takeNumber(text, values.triggerThreshold, 0, unitRange);
        break;
    case kEnable:
        if (missing)
            values.triggerEnabled = defaults.triggerEnabled;
        else
            valid = takeWord(text, "TRUE", "FALSE", values.triggerEnabled, false);
        break;
    case kEdge:
        // Missing means FALL, but an unrecognised word means RISE.
        if (missing)
            values.triggerRising = defaults.triggerRising;
        else
            valid = takeWord(text, "RISE", "FALL", values.triggerRising, true);
        break;
    case kGetData:
        if (missing)
            values.getDataInterval = defaults.getDataInterval;
        else
            valid = takeNumber(text, values.getDataInterval, 60, nonZero);
        break;
    case kNowRead:
        if (missing)
            values.nowReadInterval = defaults.nowReadInterval;
        else
            valid = takeNumber(text, values.nowReadInterval, 60, nonZero);
        break;
    case kTop:
        if (missing)
            values.axisTop = defaults.axisTop;
        else
            valid = takeNumber(text, values.axisTop, 1023, unitRange);
        break;
    case kOrigin:
        if (missing)
            values.axisOrigin = defaults.axisOrigin;
        else
            valid = takeNumber(text, values.axisOrigin, 0, unitRange);
        break;
    default:
        return nullptr;
    }
    return valid ? nullptr : kInvalidMessages[index];
}

void readSettings(const std::function<std::string(const SettingsKey &)> &lookup,
                  const std::function<void(const char *message)> &report,
                  Settings &values)
{
    for (int i = 0; i < kSettingsKeyCount; ++i) {
        const std::string text = lookup(kSettingsReadOrder[i]);
        const char *message = applySettingText(i, text.c_str(), values);
        if (message != nullptr)
            report(message);
    }
}

void settingsSaveLines(const Settings &values, SettingsLine (&lines)[kSettingsSaveCount])
{
    lines[0] = {kInterval, "GETDATA", std::to_string(values.getDataInterval)};
    lines[1] = {kInterval, "NOWREAD", std::to_string(values.nowReadInterval)};
    lines[2] = {kYAxis, "TOP", std::to_string(values.axisTop)};
    lines[3] = {kYAxis, "ORIGIN", std::to_string(values.axisOrigin)};
    lines[4] = {kTrigger, "CH", std::to_string(values.triggerChannel)};
    lines[5] = {kTrigger, "THRESHOLD", std::to_string(values.triggerThreshold)};
    lines[6] = {kTrigger, "ENABLE", values.triggerEnabled ? "TRUE" : "FALSE"};
    lines[7] = {kTrigger, "EDGE", values.triggerRising ? "RISE" : "FALL"};
}
