// Menu command ids: while a menu is built, each of its items has the id 5012 + 64 x the menu's
// number + the item's position (1 to 63), and WM_COMMAND splits an id back into the number and
// the position. Ids are 16-bit words, so a number or position whose id would not fit (or would
// run into the next number's ids) has no id: such a menu is refused, never numbered by wrapping.
#pragma once

#include <cstdint>

constexpr int32_t kFirstMenuCommand = 5012;
constexpr int32_t kMenuPositionBits = 6;
// Positions run 1..63 per menu number; 0 is the last position of the number before.
constexpr int32_t kMaxMenuPosition = (1 << kMenuPositionBits) - 1;
// The largest id a WM_COMMAND word carries.
constexpr int32_t kMaxMenuCommand = 0xFFFF;

// The id of the position of the menu number, or 0 when the pair has none.
constexpr int32_t MenuCommandId(int32_t number, int32_t position)
{
    if (number < 1 || position < 1 || position > kMaxMenuPosition) return 0;
    const int64_t id = kFirstMenuCommand + (int64_t(number) << kMenuPositionBits) + position;
    return id <= kMaxMenuCommand ? int32_t(id) : 0;
}

// Whether every position from 1 to `lastPosition` of the number has an id (true for none).
constexpr bool MenuPositionsFit(int32_t number, int32_t lastPosition)
{
    return lastPosition == 0 || MenuCommandId(number, lastPosition) != 0;
}

// The menu number and the position of a WM_COMMAND id (not a menu command when either is 0 or
// the number is negative).
constexpr int32_t MenuNumberOfCommand(int32_t id)
{
    return (id - kFirstMenuCommand) >> kMenuPositionBits;
}
constexpr int32_t MenuPositionOfCommand(int32_t id)
{
    return (id - kFirstMenuCommand) & kMaxMenuPosition;
}
