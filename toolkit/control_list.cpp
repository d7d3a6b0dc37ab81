// ControlList: a list of item pointers in the order they were added, the routing of presses,
// tracking and notifications through it, and the Tab focus order.
#include "toolkit/control_list.h"

#include <new>

#include "foundation/pointer_list.h"
#include "toolkit/pane_item.h"

namespace {

constexpr int32_t kListGrowStep = 4;

}  // namespace

ControlList* ControlList::Make()
{
    auto* list = new (std::nothrow) ControlList;
    if (!list) return nullptr;
    if (list->Init(0, sizeof(PaneItem*), kListGrowStep) != kResultOk) {
        list->Destroy();
        return nullptr;
    }
    return list;
}

PaneItem* ControlList::ItemAt(int32_t index) const
{
    return PointerAt<PaneItem>(this, index);
}

void ControlList::ControlListAdd(PaneItem* item)
{
    if (!item || FindPointer(this, item) >= 0) return;
    if (AppendPointer(this, item) < 0) return;
    if (owner_) item->ItemSetOwner(owner_);
}

void ControlList::ControlListRemove(PaneItem* item)
{
    const int32_t index = FindPointer(this, item);
    if (!item || index < 0) return;
    item->ItemClearOwner();
    IgnoreResult(Remove(index));
    // The item leaves the Tab order too: its caller may delete it now.
    ControlListRemoveFocusable(item);
}

void ControlList::ControlListSetOwner(Pane* pane)
{
    owner_ = pane;
    for (int32_t i = 0; i < ArrayCount(); ++i) ItemAt(i)->ItemSetOwner(pane);
}

void ControlList::ControlListClearOwner()
{
    owner_ = nullptr;
    for (int32_t i = 0; i < ArrayCount(); ++i) ItemAt(i)->ItemClearOwner();
}

void ControlList::ControlListDraw()
{
    for (int32_t i = 0; i < ArrayCount(); ++i) ItemAt(i)->ItemDraw();
}

void ControlList::ControlListActivate(int32_t flag)
{
    for (int32_t i = 0; i < ArrayCount(); ++i) ItemAt(i)->ItemActivate(flag);
}

void ControlList::ControlListPortChanged(int32_t value)
{
    for (int32_t i = 0; i < ArrayCount(); ++i) ItemAt(i)->ItemPortChanged(value);
}

int32_t ControlList::ControlListMouseDown(int32_t x, int32_t y, int32_t modifiers)
{
    for (int32_t i = 0; i < ArrayCount(); ++i)
        if (ItemAt(i)->ItemMouseDown(x, y, modifiers)) return i + 1;
    return 0;
}

int32_t ControlList::ControlListTrack(int32_t x, int32_t y, int32_t modifiers)
{
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        PaneItem* item = ItemAt(i);
        if (!item->Bounds().Contains(x, y)) continue;
        const int32_t result = item->ItemTrack(x, y, modifiers);
        if (result) return result;
    }
    return 0;
}

int32_t ControlList::ControlListCommand(HWND control, int32_t code)
{
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        const int32_t result = ItemAt(i)->ItemCommand(control, code);
        if (result) return result;
    }
    return 0;
}

PaneItem* ControlList::ControlListFindByStyle(uint32_t mask)
{
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        PaneItem* item = ItemAt(i);
        if (item->ItemWindowStyle() & mask) return item;
    }
    return nullptr;
}

void ControlList::ControlListAddFocusable(PaneItem* item)
{
    if (!item) return;
    if (!focusList_) focusList_ = NewPointerList(kListGrowStep);
    if (focusList_ && FindPointer(focusList_, item) < 0) AppendPointer(focusList_, item);
}

void ControlList::ControlListRemoveFocusable(PaneItem* item)
{
    if (!focusList_) return;
    RemovePointer(focusList_, item);
    if (focusList_->ArrayCount() == 0) DestroyArray(focusList_);
}

void ControlList::ControlListFocusNext(PaneItem* item)
{
    if (!focusList_ || focusList_->ArrayCount() == 0) return;
    const int32_t index = item ? FindPointer(focusList_, item) : -1;
    int32_t next = index < 0 ? 0 : index + 1;
    if (next >= focusList_->ArrayCount()) next = 0;
    PointerAt<PaneItem>(focusList_, next)->ItemTakeFocus();
}

void ControlList::ControlListDelete()
{
    ControlListClear();
    Destroy();
}

void ControlList::ControlListClear()
{
    DestroyArray(focusList_);
    for (int32_t i = 0; i < ArrayCount(); ++i) ItemAt(i)->ItemDelete();
    IgnoreResult(ArraySetCount(0));
}
