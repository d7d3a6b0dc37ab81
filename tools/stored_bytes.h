// Stored forms built byte by byte: big-endian words and chunks, for the tests and for the tools
// that make model files by hand.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes Tag(const char (&text)[5])
{
    return {uint8_t(text[0]), uint8_t(text[1]), uint8_t(text[2]), uint8_t(text[3])};
}

inline void Append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

inline Bytes Word32(uint32_t v)
{
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

inline Bytes Word16(uint16_t v)
{
    return {uint8_t(v >> 8), uint8_t(v)};
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    Append(a, b);
    return a;
}

// A chunk: tag, length, data and a pad byte after odd data.
inline Bytes Chunk(const char (&tag)[5], const Bytes& data)
{
    Bytes out = Tag(tag);
    Append(out, Word32(uint32_t(data.size())));
    Append(out, data);
    if (data.size() % 2) out.push_back(0);
    return out;
}

// The characters of a text, without a terminator.
inline Bytes Chars(const char* text)
{
    return Bytes(text, text + std::strlen(text));
}

// Signed values as 16- and 32-bit words.
inline Bytes I16(int32_t value)
{
    return Word16(uint16_t(value));
}

inline Bytes I32(int64_t value)
{
    return Word32(uint32_t(value));
}
