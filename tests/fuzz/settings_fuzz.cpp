// Arbitrary key texts through the settings reader and arbitrary field texts
// through the field clamps.  Lines of the input are the raw texts of the
// eight keys in reading order; a missing line is a missing key.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/field_clamp.h"
#include "settings/settings_parse.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= input.size() && lines.size() < kSettingsKeyCount) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos)
            end = input.size();
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }

    Settings values{};
    int index = 0;
    int messages = 0;
    readSettings(
        [&](const SettingsKey &) {
            const size_t i = static_cast<size_t>(index++);
            return i < lines.size() ? lines[i] : std::string(kMissingKeyText);
        },
        [&](const char *message) {
            require(message != nullptr);
            ++messages;
        },
        values);
    require(index == kSettingsKeyCount && messages <= kSettingsKeyCount);
    require(values.triggerChannel >= 0 && values.triggerChannel <= 7);
    require(values.triggerThreshold >= 0 && values.triggerThreshold <= 1023);
    require(values.axisTop >= 0 && values.axisTop <= 1023);
    require(values.axisOrigin >= 0 && values.axisOrigin <= 1023);
    require(values.getDataInterval != 0 && values.nowReadInterval != 0);

    SettingsLine saved[kSettingsSaveCount];
    settingsSaveLines(values, saved);

    const char *text = input.c_str();  // up to the first NUL
    volatile int32_t sink = settingsAtoi(text);
    const int32_t number = parseFieldNumber(text);
    require(number >= -32768 && number <= 32767);
    const int32_t interval = clampIntervalField(text);
    const int32_t limit = clampLimitField(text);
    const int32_t count = clampSmoothingCount(text);
    require(interval >= 0 && interval <= 32767);
    require(limit >= 0 && limit <= 1023);
    require(count >= 1 && count <= 100);
    sink = sink + interval + limit + count;
    return 0;
}
