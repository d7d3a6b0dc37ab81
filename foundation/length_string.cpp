// In-place conversion between zero-terminated and length-prefixed texts.
#include "foundation/length_string.h"

#include <cstdint>
#include <cstring>

namespace {
constexpr size_t kMaxLength = 255;
}

void CToLengthString(char* text)
{
    const size_t full = strnlen(text, kMaxLength + 1);
    const size_t length = full > kMaxLength ? kMaxLength : full;
    std::memmove(text + 1, text, length);
    text[0] = char(uint8_t(length));
}

void LengthToCString(char* text)
{
    const size_t length = uint8_t(text[0]);
    std::memmove(text, text + 1, length);
    text[length] = '\0';
}
