#include <gtest/gtest.h>

#include "settings/field_clamp.h"

// A field's text read as a 16-bit signed number, then held in the range of
// each kind of field.
TEST(FieldClamp, DigitsAfterBlanksCutToSixteenSignedBitsThenEachFieldKeepsItsRange)
{
    struct Row { const char *text; int32_t number, interval, limit, smoothing; };
    const Row rows[] = {
        // text                                 number  interval  limit  smoothing
        {"60",                                  60,     60,       60,    60},
        {"007",                                 7,      7,        7,     7},     // leading zeros go
        {"\t\r\n 9",                            9,      9,        9,     9},     // leading blanks are skipped
        {"12 34",                               12,     12,       12,    12},    // the first other character stops
        {"",                                    0,      0,        0,     1},     // emptied field
        {"abc",                                 0,      0,        0,     1},     // a letter typed over the text
        {"+5",                                  0,      0,        0,     1},     // a sign is no digit
        {"-3",                                  0,      0,        0,     1},     // pasted negative number
        {"250",                                 250,    250,      250,   100},
        {"1500",                                1500,   1500,     1023,  100},
        {"32768",                               -32768, 0,        0,     1},
        {"40000",                               -25536, 0,        0,     1},     // negative once cut to 16 bits
        {"65536",                               0,      0,        0,     1},
        {"70000",                               4464,   4464,     1023,  100},   // 4464 once cut to 16 bits
        {"4294967296",                          0,      0,        0,     1},     // 2^32: digits count modulo 2^16
        {"99999999999999999999999999999999",    -1,     0,        0,     1},     // 10^32 - 1; 2^16 divides 10^32
    };
    for (const Row &r : rows) {
        EXPECT_EQ(parseFieldNumber(r.text), r.number) << '"' << r.text << '"';
        EXPECT_EQ(clampIntervalField(r.text), r.interval) << '"' << r.text << '"';
        EXPECT_EQ(clampLimitField(r.text), r.limit) << '"' << r.text << '"';
        EXPECT_EQ(clampSmoothingCount(r.text), r.smoothing) << '"' << r.text << '"';
    }
    EXPECT_EQ(parseFieldNumber(nullptr), 0);
}
