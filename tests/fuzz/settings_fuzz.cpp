// Arbitrary texts through the settings reader (one line per key, in reading
// order; absent lines are missing keys) and through the field clamps.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/field_clamp.h"
#include "settings/settings_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    Settings values{};
    readSettings(
        [&](const SettingsKey &) {
            if (start > input.size())
                return std::string(kMissingKeyText);
            size_t end = input.find('\n', start);
            if (end == std::string::npos)
                end = input.size();
            std::string line = input.substr(start, end - start);
            start = end + 1;
            return line;
        },
        [](const char *message) { if (message == nullptr) std::abort(); }, values);
    if (values.triggerChannel < 0 || values.triggerChannel > 7 || values.triggerThreshold < 0 ||
        values.triggerThreshold > 1023 || values.axisTop < 0 || values.axisTop > 1023 ||
        values.axisOrigin < 0 || values.axisOrigin > 1023 || values.getDataInterval == 0 ||
        values.nowReadInterval == 0)
        std::abort();
    SettingsLine saved[kSettingsSaveCount];
    settingsSaveLines(values, saved);

    const char *text = input.c_str();  // up to the first NUL
    const int32_t interval = clampIntervalField(text);
    const int32_t limit = clampLimitField(text);
    const int32_t count = clampSmoothingCount(text);
    if (interval < 0 || limit < 0 || limit > 1023 || count < 1 || count > 100)
        std::abort();
    volatile int32_t sink = settingsAtoi(text) + parseFieldNumber(text);
    (void)sink;
    return 0;
}
