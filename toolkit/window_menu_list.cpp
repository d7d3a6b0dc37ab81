// The menus that a frame, a window or a pane adds to the menu bar.
#include "toolkit/window_menu_list.h"

#include <new>

#include "foundation/pointer_list.h"
#include "toolkit/menu.h"

namespace {

// Takes the menu out of the list that holds it, if any.
void LeaveOwningList(Menu* menu)
{
    if (menu && menu->OwningList()) menu->OwningList()->RemoveMenu(menu);
}

}  // namespace

WindowMenuList* WindowMenuList::Make(int32_t growStep)
{
    auto* list = new (std::nothrow) WindowMenuList;
    if (list && list->Init(0, sizeof(Menu*), growStep) != kResultOk) {
        list->Destroy();
        return nullptr;
    }
    return list;
}

int32_t WindowMenuList::Append(const void* element)
{
    Menu* menu = PointerIn<Menu>(element);
    LeaveOwningList(menu);
    const int32_t index = DynamicArray::Append(&menu);
    if (index >= 0 && menu) menu->SetOwningList(this);
    return index;
}

ResultCode WindowMenuList::Insert(int32_t index, const void* element)
{
    Menu* menu = PointerIn<Menu>(element);
    LeaveOwningList(menu);
    const ResultCode result = DynamicArray::Insert(index, &menu);
    if (result == kResultOk && menu) menu->SetOwningList(this);
    return result;
}

ResultCode WindowMenuList::Set(int32_t index, const void* element)
{
    Menu* menu = PointerIn<Menu>(element);
    Menu* replaced = index >= 0 && index < ArrayCount() ? MenuAt(index) : nullptr;
    const ResultCode result = DynamicArray::Set(index, &menu);
    if (result != kResultOk) return result;
    if (menu) menu->SetOwningList(this);
    // The menu replaced is in this list no more (unless it is listed twice).
    if (replaced && replaced->OwningList() == this && FindPointer(this, replaced) < 0)
        replaced->SetOwningList(nullptr);
    return result;
}

void WindowMenuList::Destroy()
{
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        if (Menu* menu = MenuAt(i); menu && menu->OwningList() == this) menu->SetOwningList(nullptr);
    }
    DynamicArray::Destroy();
}

void WindowMenuList::RemoveMenu(Menu* menu)
{
    const int32_t index = FindPointer(this, menu);
    if (index < 0) return;
    IgnoreResult(Remove(index));
    if (menu->OwningList() == this) menu->SetOwningList(nullptr);
}

Menu* WindowMenuList::MenuAt(int32_t index) const
{
    return PointerAt<Menu>(this, index);
}
