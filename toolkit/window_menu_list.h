// WindowMenuList: the menus that a frame, a window or a pane adds to the menu bar. A menu is in
// at most one such list: appending or inserting it takes it out of the list it was in, and the
// menu records the list that holds it.
#pragma once

#include "foundation/dynamic_array.h"

class Menu;

class WindowMenuList : public DynamicArray {
public:
    WindowMenuList() = default;

    // Makes an empty list of menu pointers growing by `growStep`; null when out of memory.
    static WindowMenuList* Make(int32_t growStep);

    // Elements are Menu pointers. A menu leaves its old list first; this list becomes its own.
    // The menu that Set replaces no longer names this list as its own.
    int32_t Append(const void* element) override;
    ResultCode Insert(int32_t index, const void* element) override;
    ResultCode Set(int32_t index, const void* element) override;
    // Clears the owning list of every menu still listed, then frees the list.
    void Destroy() override;

    // Takes the menu out of the list and clears its owning list; nothing when it is not listed.
    void RemoveMenu(Menu* menu);
    Menu* MenuAt(int32_t index) const;
};
