// The menu bar of the current frame: the list of its menus, rebuilding it for the active
// window, the update pass, routing commands back to menus and finding key equivalents.
#include "toolkit/menu_bar.h"

#include <new>
#include <utility>

#include "toolkit/app_commands.h"
#include "toolkit/document_frame.h"
#include "toolkit/menu.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"
#include "toolkit/window_menu.h"
#include "toolkit/window_menu_list.h"

MenuBarArray* MenuBarList = nullptr;

namespace {

constexpr int32_t kMenuBarGrowStep = 4;

void AppendMenus(const DynamicArray* menus)
{
    for (int32_t i = 0; menus && i < menus->ArrayCount(); ++i) MenuBarList->Append(menus->ArrayElementAt(i));
}

// Takes every entry out of the bar, leaving the menus' pop-ups to their menus.
void EmptyBar(HMENU bar)
{
    while (GetMenuItemCount(bar) > 0) RemoveMenu(bar, 0, MF_BYPOSITION);
}

}  // namespace

MenuBarArray* MenuBarArray::Make()
{
    auto* list = new (std::nothrow) MenuBarArray;
    if (list && list->Init(0, sizeof(Menu*), kMenuBarGrowStep) != kResultOk) {
        list->Destroy();
        return nullptr;
    }
    return list;
}

int32_t MenuBarArray::Compare(const void* a, const void* b)
{
    const int32_t first = PointerIn<Menu>(a)->MenuOrder();
    const int32_t second = PointerIn<Menu>(b)->MenuOrder();
    return (first > second) - (first < second);
}

void MenuBarArray::Describe(DocumentFrame* frame, HMENU bar)
{
    frame_ = frame;
    bar_ = bar;
}

void MenuBarArray::Forget()
{
    for (int32_t i = 0; i < ArrayCount(); ++i) MenuAt(i)->UnbuildMenu();
    IgnoreResult(ArraySetCount(0));
    Describe(nullptr, nullptr);
}

void DocumentUpdateMenus(DocumentFrame* frame)
{
    if (!frame || !MenuBarList) return;
    frame = frame->RootFrame();
    HWND frameWindow = frame->FrameWindow();
    if (!frameWindow) return;
    RestartMenuNumbering();
    if (HMENU current = GetMenu(frameWindow)) EmptyBar(current);
    MenuBarList->Forget();
    CreateWindowMenu(frame);

    AppendMenus(frame->FrameMenuList());
    if (Window* active = ActiveDocumentWindow(frame)) {
        AppendMenus(active->GetWindowMenuList());
        for (int32_t i = 0; i < active->PaneCount(); ++i) AppendMenus(active->PaneAt(i)->PaneMenuList());
    }
    MenuBarList->ArraySort();

    HMENU bar = CreateMenu();
    if (!bar) {
        MenuBarList->Forget();
        return;
    }
    int32_t index = 0;
    while (index < MenuBarList->ArrayCount()) {
        Menu* menu = MenuBarList->MenuAt(index);
        // A menu that cannot be built stays out of the bar.
        if (menu->BuildMenu() != kResultOk) {
            IgnoreResult(MenuBarList->Remove(index));
            continue;
        }
        char title[kMenuTextSize + 1];
        ComposeMenuTitle(menu->MenuTitle(), menu->MenuMnemonicPos(), menu->MenuItemMnemonics(), title, sizeof title);
        AppendMenuA(bar, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(menu->MenuHandle()), title);
        ++index;
    }
    MenuBarList->Describe(frame, bar);

    HMENU replaced = nullptr;
    if (frame->MdiClient()) {
        replaced = reinterpret_cast<HMENU>(
            SendMessageA(frame->MdiClient(), WM_MDISETMENU, reinterpret_cast<WPARAM>(bar), 0));
    } else {
        replaced = GetMenu(frameWindow);
        SetMenu(frameWindow, bar);
    }
    if (replaced && replaced != bar) DestroyMenu(replaced);
    DrawMenuBar(frameWindow);
}

void CreateWindowMenu(DocumentFrame* frame)
{
    if (!frame) return;
    frame = frame->RootFrame();
    frame->SetFrameWindowMenu(nullptr);
    Owned<WindowMenu> menu(new (std::nothrow) WindowMenu);
    if (menu && menu->WindowMenuInit(frame) != kResultOk) menu.reset();
    frame->SetFrameWindowMenu(std::move(menu));
}

void UpdateMenusOnInit(DocumentFrame* /*frame*/)
{
    for (int32_t i = 0; MenuBarList && i < MenuBarList->ArrayCount(); ++i) MenuBarList->MenuAt(i)->UpdateMenuTree();
}

int32_t HandleMenuCommand(DocumentFrame* frame, int32_t menuNumber, int32_t position, int32_t extra)
{
    if (!frame || !MenuBarList || menuNumber <= 0 || position <= 0) return 0;
    frame = frame->RootFrame();
    // The menu that takes the command may delete menus of the list: the search ends with it.
    for (int32_t i = 0; i < MenuBarList->ArrayCount(); ++i) {
        Menu* menu = MenuBarList->MenuAt(i);
        if (!menu->IsBuilt()) continue;
        if (menu->MenuNumber() == menuNumber && DispatchMenuItem(frame, menu, position, extra)) return 1;
        for (int32_t item = 1; item <= menu->ItemCount(); ++item) {
            Menu* submenu = menu->MenuItemSubmenu(item);
            if (submenu && submenu->IsBuilt() && submenu->MenuNumber() == menuNumber &&
                DispatchMenuItem(frame, submenu, position, extra))
                return 1;
        }
    }
    return 0;
}

int32_t DispatchMenuItem(DocumentFrame* frame, Menu* menu, int32_t position, int32_t extra)
{
    while (position > menu->ItemCount()) {
        position -= menu->ItemCount();
        const UINT_PTR attachment = menu->MenuAttachment();
        if (attachment == kMenuContinuedByWindowMenu) {
            WindowMenu* windowMenu = frame ? frame->FrameWindowMenu() : nullptr;
            if (!windowMenu) return 0;
            windowMenu->DoMenuCommand(position, extra);
            return 1;
        }
        menu = menu->ContinuingMenu();
        if (!menu) return 0;
    }
    menu->DoMenuCommand(position, extra);
    return 1;
}

int32_t FindMenuKeyEquivalent(DynamicArray* menus, int32_t key, int32_t modifiers)
{
    for (int32_t i = 0; menus && i < menus->ArrayCount(); ++i) {
        Menu* menu = PointerAt<Menu>(menus, i);
        menu->UpdateMenuTree();
        if (const int32_t id = menu->FindKeyEquivalent(key, modifiers)) return id;
    }
    return 0;
}

void LeaveMenuBar(Menu* menu)
{
    if (!MenuBarList) return;
    const int32_t index = FindPointer(MenuBarList, menu);
    if (index < 0) return;
    IgnoreResult(MenuBarList->Remove(index));
    HMENU bar = MenuBarList->Bar();
    if (!bar || !menu->IsBuilt()) return;
    for (int32_t entry = GetMenuItemCount(bar) - 1; entry >= 0; --entry) {
        if (GetSubMenu(bar, entry) == menu->MenuHandle()) RemoveMenu(bar, UINT(entry), MF_BYPOSITION);
    }
    DocumentFrame* frame = MenuBarList->Frame();
    if (frame && frame->FrameWindow() && GetMenu(frame->FrameWindow()) == bar) DrawMenuBar(frame->FrameWindow());
}

void ReleaseMenuBar(HWND frameWindow)
{
    HMENU bar = frameWindow ? GetMenu(frameWindow) : nullptr;
    if (!bar) return;
    EmptyBar(bar);
    SetMenu(frameWindow, nullptr);
    DestroyMenu(bar);
    if (MenuBarList && MenuBarList->Bar() == bar) MenuBarList->Forget();
}
