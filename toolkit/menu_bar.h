// The menu bar of the current frame: the global list of the menus in force, the key equivalent
// search and the rebuilding and routing calls of document frames. The menus themselves come
// with the menu bar's own work; until then the bar is left as the frame made it and no key
// becomes a menu command.
#pragma once

#include <cstdint>

class DocumentFrame;
class DynamicArray;

// The menus of the bar, sorted by their order keys (made at start-up).
extern DynamicArray* MenuBarList;

// Rebuilds the frame's bar for its active window.
void DocumentUpdateMenus(DocumentFrame* frame);
// Replaces the frame's Window menu with a new empty one.
void CreateWindowMenu(DocumentFrame* frame);
// WM_INITMENU: every menu of the bar updates its items.
void UpdateMenusOnInit(DocumentFrame* frame);
// Routes a menu command to its menu; non-zero when a menu took it.
int32_t HandleMenuCommand(DocumentFrame* frame, int32_t menuNumber, int32_t position, int32_t extra);
// The command id of the enabled item whose key equivalent is the key with the modifiers, or 0.
int32_t FindMenuKeyEquivalent(DynamicArray* menus, int32_t key, int32_t modifiers);
