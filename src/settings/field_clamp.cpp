#include "settings/field_clamp.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int32_t limited(int32_t value, int32_t low, int32_t high)
{
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

}  // namespace

int32_t parseFieldNumber(const char *text)
{
    if (text == nullptr)
        return 0;
    while (isBlank(*text))
        ++text;
    uint16_t value = 0;  // unsigned arithmetic wraps, which is the cut to 16 bits
    for (; *text >= '0' && *text <= '9'; ++text)
        value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(*text - '0'));
    return static_cast<int16_t>(value);
}

int32_t clampIntervalField(const char *text)
{
    int32_t value = parseFieldNumber(text);
    return value < 0 ? 0 : value;
}

int32_t clampLimitField(const char *text)
{
    return limited(parseFieldNumber(text), 0, 1023);
}

int32_t clampSmoothingCount(const char *text)
{
    return limited(parseFieldNumber(text), 1, 100);
}
