// Cleaning of numeric edit fields: the text is read the way GetDlgItemInt
// reads an unsigned number, cut to 16 bits and read as signed, then limited
// to the field's range.
#pragma once
#include <cstdint>

// Leading blanks are skipped and the decimal digits are converted up to the
// first other character; text that does not start with a digit (a sign, a
// letter, nothing at all) gives 0.  The digits count modulo 2^16 (as a
// 32-bit unsigned number cut to 16 bits), and the 16 bits are read as signed,
// so the result lies in -32768..32767.  A null text reads as empty.
int32_t parseFieldNumber(const char *text);

// Interval fields (Config dialog): negative becomes 0, so 0..32767.
int32_t clampIntervalField(const char *text);

// Y-axis and threshold fields (Config dialog): limited to 0..1023.
int32_t clampLimitField(const char *text);

// Smoothing-count fields of the main dialog: limited to 1..100.
int32_t clampSmoothingCount(const char *text);
