// ContactList: the draw-order list of the records registered under a record; its element
// comparison sorts the records far to near by their minimum screen depth.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"

class ContactList : public DynamicArray {
public:
    // a and b point at two entries, each an ObjectGeometry pointer.
    int32_t Compare(const void* a, const void* b) override;
};

// (b's minimum screen depth - a's) shifted right by 6: farther records sort first.
int32_t ContactListCompare(const void* a, const void* b);

// A new initialised empty list; null when memory is short.
ContactList* NewContactList();
