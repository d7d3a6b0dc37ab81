// The byte lists of the scene model (names, data and texts of objects and polygon elements):
// set from a block of bytes and copied out into a caller's buffer.
#pragma once

#include <cstdint>
#include <cstring>

#include "foundation/dynamic_array.h"

// Makes the list hold the `length` bytes (a missing list is made with the grow step); a length
// below 0 empties it. The list is left as it was when it cannot be sized.
inline void SetByteList(DynamicArray*& list, const void* bytes, int32_t length, int32_t growStep)
{
    if (length < 0) length = 0;
    if (!list) list = NewDynamicArray(0, 1, growStep);
    if (!list || list->ArraySetCount(length) != kResultOk) return;
    if (length > 0) std::memcpy(list->ArrayData(), bytes, size_t(length));
}

// Copies the list's bytes into the buffer and returns their count; -1 for a missing list or one
// longer than the buffer.
inline int32_t CopyByteList(const DynamicArray* list, void* buffer, int32_t capacity)
{
    if (!list || list->ArrayCount() > capacity) return -1;
    const int32_t count = list->ArrayCount();
    if (count > 0) std::memcpy(buffer, list->ArrayData(), size_t(count));
    return count;
}
