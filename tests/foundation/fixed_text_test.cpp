// Number texts: decimal texts, length texts and number tokens.
#include "foundation/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string DecimalText(Fixed value)
{
    unsigned char text[kDecimalTextSize];
    FixToDecimalText(value, text);
    return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

std::string LengthText(double value, int32_t mode)
{
    char text[kLengthTextSize];
    FormatLength(text, Fixed(value * 65536.0), mode);
    return text;
}

TEST(DecimalText, FourRoundedDecimals)
{
    EXPECT_EQ(DecimalText(0x18000), "1.5000");
    EXPECT_EQ(DecimalText(-0x4000), "-0.2500");
    EXPECT_EQ(DecimalText(0), "0.0000");
    EXPECT_EQ(DecimalText(1), "0.0000");
    EXPECT_EQ(DecimalText(7), "0.0001");  // 0.000107
    EXPECT_EQ(DecimalText(0x7FFFFFFF), "32768.0000");
    EXPECT_EQ(DecimalText(int32_t(0x80000000)), "-32768.0000");
}

TEST(LengthText, FeetAndInches)
{
    EXPECT_EQ(LengthText(63.5, kLengthFeetInches), " 5'3 1/2\"");
    EXPECT_EQ(LengthText(-13.25, kLengthFeetInches), "-1'1 1/4\"");
    EXPECT_EQ(LengthText(12.0, kLengthFeetInches), " 1'0\"");
    EXPECT_EQ(LengthText(0.03125, kLengthFeetInches), " 0'0 1/32\"");
    EXPECT_EQ(LengthText(2.1, kLengthFeetInches), " 0'2.1000\"");
    EXPECT_EQ(LengthText(63.5, kLengthFeetInches | kLengthNoFractions), " 5'3.5000\"");
    EXPECT_EQ(LengthText(11.99999, kLengthFeetInches | kLengthNoFractions), " 1'0.0000\"");
}

TEST(LengthText, MetresRadiansDegreesAndPlain)
{
    EXPECT_EQ(LengthText(100.0, kLengthMetres), " 2.5400");
    EXPECT_EQ(LengthText(-1.5, kLengthRadians), "-1.5000r");
    EXPECT_EQ(LengthText(0.5, kLengthDegrees), " 28.6479\xB0");
    EXPECT_EQ(LengthText(2.25, 0), " 2.2500");
    EXPECT_EQ(LengthText(-32768.0, kLengthDegrees), "-1877468.7744\xB0");
}

TEST(NumberToken, ReadsALengthTextTokenByToken)
{
    const char* cursor = "  5' 3 1/2\" +7.25 -x";
    int32_t numerator = -1, denominator = -1;
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 5);
    EXPECT_EQ(denominator, 1);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), '\'');
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 3);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 1);
    EXPECT_EQ(denominator, 2);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), '"');
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), '+');
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 725);
    EXPECT_EQ(denominator, 100);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), '-');
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenOther);
    EXPECT_EQ(*cursor, 'x');
    ++cursor;
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenEnd);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenEnd);
}

TEST(NumberToken, HugeNumbersSaturateAndStraySlashesStay)
{
    const char* cursor = "99999999999 1.123456789123 4/ 12/0";
    int32_t numerator, denominator;
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, INT32_MAX);
    EXPECT_EQ(denominator, 1);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 1123456789);
    EXPECT_EQ(denominator, 1000000000);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 4);
    EXPECT_EQ(denominator, 1);
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenOther);
    EXPECT_EQ(*cursor, '/');
    ++cursor;
    EXPECT_EQ(ParseNumberToken(&cursor, &numerator, &denominator), kTokenNumber);
    EXPECT_EQ(numerator, 12);
    EXPECT_EQ(denominator, 0);
    EXPECT_EQ(*cursor, '\0');
}

}  // namespace
