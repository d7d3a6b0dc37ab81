// ControlList: the items of a pane, which it draws, and to which it routes presses, tracking,
// control notifications and the Tab focus.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/dynamic_array.h"

class Pane;
class PaneItem;

class ControlList : public DynamicArray {
public:
    ControlList() = default;

    // Makes an empty list; null when out of memory.
    static ControlList* Make();

    // Appends the item once; gives it the owner when the list has one.
    void ControlListAdd(PaneItem* item);
    // Takes the owner from the item and removes it; nothing when it is not listed.
    void ControlListRemove(PaneItem* item);
    void ControlListSetOwner(Pane* pane);
    void ControlListClearOwner();
    void ControlListDraw();
    void ControlListActivate(int32_t flag);
    void ControlListPortChanged(int32_t value);
    // The 1-based index of the first item that takes the press, else 0.
    int32_t ControlListMouseDown(int32_t x, int32_t y, int32_t modifiers);
    // ItemTrack for the items whose bounds hold the point, up to the first non-zero answer.
    int32_t ControlListTrack(int32_t x, int32_t y, int32_t modifiers);
    // The first non-zero ItemCommand.
    int32_t ControlListCommand(HWND control, int32_t code);
    // The first item whose window style shares a bit with the mask, else null.
    PaneItem* ControlListFindByStyle(uint32_t mask);
    // The Tab focus order.
    void ControlListAddFocusable(PaneItem* item);
    void ControlListRemoveFocusable(PaneItem* item);
    // Gives the focus to the focusable item after `item` (the first for null, wrapping).
    void ControlListFocusNext(PaneItem* item);
    // Deletes the focus list, every item and the list.
    void ControlListDelete();
    // Deletes every item; the list stays, empty.
    void ControlListClear();

    Pane* Owner() const { return owner_; }
    PaneItem* ItemAt(int32_t index) const;

private:
    Pane* owner_ = nullptr;
    DynamicArray* focusList_ = nullptr;  // PaneItem pointers
};
