// The draw-order list.
#include "model/contact_list.h"

#include <new>

#include "foundation/pointer_list.h"
#include "model/object_geometry.h"

int32_t ContactListCompare(const void* a, const void* b)
{
    const ObjectGeometry* first = PointerIn<const ObjectGeometry>(a);
    const ObjectGeometry* second = PointerIn<const ObjectGeometry>(b);
    const int64_t difference = int64_t(second->ScreenMinimum[1]) - first->ScreenMinimum[1];
    return int32_t(difference >> 6);
}

int32_t ContactList::Compare(const void* a, const void* b)
{
    return ContactListCompare(a, b);
}

ContactList* NewContactList()
{
    ContactList* list = new (std::nothrow) ContactList;
    if (list && list->Init(0, int32_t(sizeof(void*)), 4) != kResultOk) {
        list->Destroy();
        return nullptr;
    }
    return list;
}
