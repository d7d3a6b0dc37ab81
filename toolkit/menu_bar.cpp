// The menu bar calls of document frames. The menus come with the menu bar's own work; until
// then the bar stays as the frame made it, no command reaches a menu and no key is a menu key.
#include "toolkit/menu_bar.h"

DynamicArray* MenuBarList = nullptr;

void DocumentUpdateMenus(DocumentFrame* frame) {}

void CreateWindowMenu(DocumentFrame* frame) {}

void UpdateMenusOnInit(DocumentFrame* frame) {}

int32_t HandleMenuCommand(DocumentFrame* frame, int32_t menuNumber, int32_t position, int32_t extra)
{
    return 0;
}

int32_t FindMenuKeyEquivalent(DynamicArray* menus, int32_t key, int32_t modifiers)
{
    return 0;
}
