// Menu: a menu built in code, whose items the menu bar shows. So far only the link to the
// window menu list that holds it; the items, their command numbering and the system pop-up come
// with the menu bar.
#pragma once

#include "foundation/dynamic_array.h"

class WindowMenuList;

class Menu : public DynamicArray {
public:
    Menu() = default;

    // The list that holds the menu, or null; kept by WindowMenuList.
    WindowMenuList* OwningList() const { return owningList_; }
    void SetOwningList(WindowMenuList* list) { owningList_ = list; }

private:
    WindowMenuList* owningList_ = nullptr;
};
