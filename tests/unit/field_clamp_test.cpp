#include <gtest/gtest.h>

#include "settings/field_clamp.h"

TEST(FieldNumber, DigitsAfterBlanksCutToSixteenSignedBits)
{
    struct Case { const char *text; int32_t number; };
    const Case cases[] = {
        {"\t\r\n 9", 9},     // leading blanks are skipped
        {"12 34", 12},       // conversion stops at the first other character
        {"+5", 0},           // a sign is no digit
        {"32768", -32768},
        {"65536", 0},
        {"4294967296", 0},   // 2^32: the digits count modulo 2^16
        {"99999999999999999999999999999999", -1},  // 10^32 - 1; 2^16 divides 10^32
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseFieldNumber(c.text), c.number) << '"' << c.text << '"';
    EXPECT_EQ(parseFieldNumber(nullptr), 0);
}

TEST(FieldClamp, EachFieldKindKeepsItsRange)
{
    struct Case { const char *text; int32_t interval; int32_t limit; int32_t smoothing; };
    const Case cases[] = {
        // text    interval  limit  smoothing
        {"60",     60,       60,    60},
        {"007",    7,        7,     7},      // leading zeros go
        {"",       0,        0,     1},      // emptied field
        {"abc",    0,        0,     1},      // a letter typed over the whole text
        {"-3",     0,        0,     1},      // pasted negative number
        {"250",    250,      250,   100},
        {"1500",   1500,     1023,  100},
        {"40000",  0,        0,     1},      // negative once cut to 16 bits
        {"70000",  4464,     1023,  100},    // 4464 once cut to 16 bits
    };
    for (const Case &c : cases) {
        EXPECT_EQ(clampIntervalField(c.text), c.interval) << '"' << c.text << '"';
        EXPECT_EQ(clampLimitField(c.text), c.limit) << '"' << c.text << '"';
        EXPECT_EQ(clampSmoothingCount(c.text), c.smoothing) << '"' << c.text << '"';
    }
}
