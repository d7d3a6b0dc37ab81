// Small integer geometry of the scene model: vectors of three signed 16-bit values (normals of
// length 256, box corners, centres), boxes of two such corners, and the rounding of Fixed
// coordinates to whole units.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"

struct ShortVector3 {
    int16_t x;
    int16_t y;
    int16_t z;
};

inline bool operator==(const ShortVector3& a, const ShortVector3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const ShortVector3& a, const ShortVector3& b) { return !(a == b); }

// Minimum x, y, z then maximum x, y, z.
struct ShortBox {
    ShortVector3 minimum;
    ShortVector3 maximum;
};

inline bool operator==(const ShortBox& a, const ShortBox& b)
{
    return a.minimum == b.minimum && a.maximum == b.maximum;
}

// The start value of every box that is widened point by point: it contains nothing.
constexpr ShortBox kEmptyShortBox = {{32767, 32767, 32767}, {-32768, -32768, -32768}};

// A value clamped into the signed 16-bit range.
constexpr int16_t ClampToShort(int64_t value)
{
    return int16_t(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
}

// A Fixed value rounded to a whole number: its integer part, plus 1 when the fraction is one
// half or more.
constexpr int32_t RoundFixed(Fixed value)
{
    return int32_t((int64_t(value) + 0x8000) >> 16);
}

// The integer part of a Fixed value (rounded toward minus infinity).
constexpr int32_t FixedFloor(Fixed value)
{
    return int32_t(value >> 16);
}

// The integer part, plus 1 when the fraction is not zero.
constexpr int32_t FixedCeiling(Fixed value)
{
    return int32_t((int64_t(value) + 0xFFFF) >> 16);
}

// Widens a box by one point in Fixed coordinates: the minimum takes the integer parts, the
// maximum the integer parts rounded up.
inline void ExtendShortBox(ShortBox& box, Fixed x, Fixed y, Fixed z)
{
    auto lower = [](int16_t& m, Fixed v) { m = m < FixedFloor(v) ? m : ClampToShort(FixedFloor(v)); };
    auto raise = [](int16_t& m, Fixed v) { m = m > FixedCeiling(v) ? m : ClampToShort(FixedCeiling(v)); };
    lower(box.minimum.x, x);
    lower(box.minimum.y, y);
    lower(box.minimum.z, z);
    raise(box.maximum.x, x);
    raise(box.maximum.y, y);
    raise(box.maximum.z, z);
}

// Widens box by the corners of another box.
inline void UniteShortBox(ShortBox& box, const ShortBox& other)
{
    auto lo = [](int16_t& m, int16_t v) { if (v < m) m = v; };
    auto hi = [](int16_t& m, int16_t v) { if (v > m) m = v; };
    lo(box.minimum.x, other.minimum.x);
    lo(box.minimum.y, other.minimum.y);
    lo(box.minimum.z, other.minimum.z);
    hi(box.maximum.x, other.maximum.x);
    hi(box.maximum.y, other.maximum.y);
    hi(box.maximum.z, other.maximum.z);
}
