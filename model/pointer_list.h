// Helpers for the DynamicArrays of the scene model whose elements are object pointers
// (children, lights, surfaces, polygon records, connections).
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

// Element `index` of a pointer list, or null for a missing list or an index out of range.
template <class T>
T* PointerAt(const DynamicArray* list, int32_t index)
{
    if (!list) return nullptr;
    T** slot = list->At<T*>(index);
    return slot ? *slot : nullptr;
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

