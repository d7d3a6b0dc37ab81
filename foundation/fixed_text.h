// Number texts: fixed-point values as decimal texts, lengths in feet and inches, metres,
// radians or degrees, and the tokens of such texts.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"

// Room FixToDecimalText needs: a length byte and at most "-32768.0000".
constexpr int32_t kDecimalTextSize = 16;
// Room FormatLength needs, terminator included.
constexpr int32_t kLengthTextSize = 32;

// Writes a length-prefixed text of the value with four decimals (rounded to nearest), the
// integer part formatted by "%ld": 1.5 gives "1.5000", -0.25 gives "-0.2500".
void FixToDecimalText(Fixed value, unsigned char (&destination)[kDecimalTextSize]);

// Token codes of ParseNumberToken besides the characters it returns as they stand.
constexpr int32_t kTokenOther = 0;   // a character that starts no token; the cursor stays
constexpr int32_t kTokenNumber = 1;
constexpr int32_t kTokenEnd = 2;

// Skips blanks and reads one token of a length text. Returns kTokenEnd at the end of the text;
// for a double-quote mark, an apostrophe, a plus or a minus sign returns that character and
// moves past it; for digits returns kTokenNumber with the number as the ratio
// numerator / denominator: "12" gives 12/1, "3.25" gives 325/100 and "1/2" gives 1/2 (a
// denominator of 0 is passed on as it stands). Digits that do not fit 32 bits are read and
// dropped: the integer saturates, further decimals are ignored.
int32_t ParseNumberToken(const char** cursor, int32_t* numerator, int32_t* denominator);

// Length format modes: the low four bits choose the unit, kLengthNoFractions turns the inch
// fractions off.
constexpr int32_t kLengthFeetInches = 1;
constexpr int32_t kLengthMetres = 2;
constexpr int32_t kLengthRadians = 4;
constexpr int32_t kLengthDegrees = 8;
constexpr int32_t kLengthNoFractions = 0x10;

// Writes a zero-terminated text of the value: a minus sign or a blank, then by the mode's unit
// feet and inches of a value in inches (5'3 1/2", a fraction down to 1/32 or four decimals and
// the inch mark), metres of a value in inches (x 0.0254, four decimals), four decimals and the
// letter r, or degrees of a value in radians (x 57.2958, four decimals and the degree mark);
// any other mode writes four decimals alone.
void FormatLength(char (&destination)[kLengthTextSize], Fixed value, int32_t mode);
