// The typed pointer list: a DynamicArray whose elements are object pointers (a model's children
// and surfaces, a window's panes, a frame's windows, the open documents), read and written
// through these helpers by the type the caller knows, never by casting element slots by hand.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"

// A new empty list of pointers with the given grow step; null when memory is short.
inline DynamicArray* NewPointerList(int32_t growStep = 4)
{
    return NewDynamicArray(0, int32_t(sizeof(void*)), growStep);
}

inline int32_t ListCount(const DynamicArray* list)
{
    return list ? list->ArrayCount() : 0;
}

// The pointer held in an element slot, as a Compare operation or a raw walk over the block
// receives it.
template <class T>
T* PointerIn(const void* slot)
{
    return *static_cast<T* const*>(slot);
}

// Element `index` of a pointer list, or null for a missing list or an index out of range.
template <class T>
T* PointerAt(const DynamicArray* list, int32_t index)
{
    if (!list) return nullptr;
    const void* slot = list->ArrayElementAt(index);
    return slot ? PointerIn<T>(slot) : nullptr;
}

inline int32_t AppendPointer(DynamicArray* list, const void* pointer)
{
    return list->Append(&pointer);
}

inline ResultCode InsertPointer(DynamicArray* list, int32_t index, const void* pointer)
{
    return list->Insert(index, &pointer);
}

inline ResultCode SetPointer(DynamicArray* list, int32_t index, const void* pointer)
{
    return list->Set(index, &pointer);
}

// Index of the first element holding the pointer, or kResultNotFound (also for a missing list).
inline int32_t FindPointer(const DynamicArray* list, const void* pointer)
{
    return list ? list->ArrayFind(&pointer) : kResultNotFound;
}

// Index of the last element holding the pointer, or kResultNotFound: for lists whose latest
// entries are the likeliest to be looked for.
inline int32_t FindLastPointer(const DynamicArray* list, const void* pointer)
{
    for (int32_t i = ListCount(list) - 1; i >= 0; --i)
        if (PointerAt<const void>(list, i) == pointer) return i;
    return kResultNotFound;
}

// Removes the first element holding the pointer; a missing list or pointer is left as it is.
inline void RemovePointer(DynamicArray* list, const void* pointer)
{
    const int32_t index = FindPointer(list, pointer);
    if (index >= 0) IgnoreResult(list->Remove(index));
}
