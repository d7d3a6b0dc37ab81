// The menu bar of the current frame: the global list of the menus in force, sorted by their
// order keys; rebuilding the bar for the frame's active window; the update pass before a menu is
// shown; the routing of a command back to the menu whose item it is; and the search for a key
// equivalent.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/pointer_list.h"

class DocumentFrame;
class Menu;

// The menus of the bar (Menu pointers), sorted by order key, and the bar they describe.
class MenuBarArray : public DynamicArray {
public:
    MenuBarArray() = default;

    // An empty list; null when out of memory.
    static MenuBarArray* Make();

    // By order key, ascending (menus with the same key in no defined order).
    int32_t Compare(const void* a, const void* b) override;

    Menu* MenuAt(int32_t index) const { return PointerAt<Menu>(this, index); }
    // The frame whose bar the list describes and that bar, or null.
    DocumentFrame* Frame() const { return frame_; }
    HMENU Bar() const { return bar_; }
    void Describe(DocumentFrame* frame, HMENU bar);
    // Unbuilds every menu, empties the list and forgets the bar.
    void Forget();

private:
    DocumentFrame* frame_ = nullptr;
    HMENU bar_ = nullptr;
};

// The menus of the bar (made at start-up).
extern MenuBarArray* MenuBarList;

// Rebuilds the bar for the frame's active window (a frame with a parent: the parent's): the
// frame's menus, the active window's and its panes', by order key; numbers restart at 1.
void DocumentUpdateMenus(DocumentFrame* frame);
// Replaces the frame's Window menu (its parent's, when it has one) with a new empty one.
void CreateWindowMenu(DocumentFrame* frame);
// WM_INITMENU: every menu of the bar updates its items.
void UpdateMenusOnInit(DocumentFrame* frame);
// Routes a menu command (menu number and position, menu_command_id.h) to the bar's menu of that
// number or to a submenu of one of them; non-zero when a menu took it.
int32_t HandleMenuCommand(DocumentFrame* frame, int32_t menuNumber, int32_t position, int32_t extra);
// Hands the position to the menu of the continuation chain in which it falls; 1 when a menu
// was reached.
int32_t DispatchMenuItem(DocumentFrame* frame, Menu* menu, int32_t position, int32_t extra);
// The command id of the enabled item whose key equivalent is the key with the modifiers (every
// menu updated first), or 0.
int32_t FindMenuKeyEquivalent(DynamicArray* menus, int32_t key, int32_t modifiers);

// A menu that goes away leaves the list, and its entry leaves the bar.
void LeaveMenuBar(Menu* menu);
// Removes and destroys the frame window's bar; when the list describes that bar, its menus are
// unbuilt and the list forgets it.
void ReleaseMenuBar(HWND frameWindow);
