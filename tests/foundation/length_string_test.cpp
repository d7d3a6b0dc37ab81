// Conversions between zero-terminated and length-prefixed texts, in place.
#include "foundation/length_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(LengthString, ConvertsBothWaysInPlace)
{
    char text[8] = "abc";
    CToLengthString(text);
    EXPECT_EQ(std::memcmp(text, "\x03" "abc", 4), 0);
    LengthToCString(text);
    EXPECT_STREQ(text, "abc");

    char empty[2] = "";
    CToLengthString(empty);
    EXPECT_EQ(empty[0], 0);
    LengthToCString(empty);
    EXPECT_STREQ(empty, "");

    // A length byte above 127 is still a length.
    char wide[256];
    wide[0] = char(200);
    std::memset(wide + 1, 'w', 200);
    LengthToCString(wide);
    EXPECT_EQ(std::strlen(wide), 200u);
}

TEST(LengthString, LongTextsKeepTheirFirst255Characters)
{
    std::string source(300, 'x');
    for (size_t i = 0; i < source.size(); i++) source[i] = char('A' + i % 26);
    char text[301];
    std::memcpy(text, source.c_str(), 301);
    CToLengthString(text);
    EXPECT_EQ(uint8_t(text[0]), 255);
    EXPECT_EQ(std::string(text + 1, 255), source.substr(0, 255));
    LengthToCString(text);
    EXPECT_EQ(std::string(text), source.substr(0, 255));
}
