// Building menus into system pop-ups and taking them down again, the menu numbers, the update
// pass and the search for key equivalents.
#include "toolkit/menu.h"

#include "toolkit/document_frame.h"
#include "toolkit/menu_command_id.h"
#include "toolkit/window_menu.h"

namespace {

// The number the next menu built takes.
int32_t gNextMenuNumber = 1;

}  // namespace

void RestartMenuNumbering()
{
    gNextMenuNumber = 1;
}

int32_t NextMenuNumber()
{
    return gNextMenuNumber;
}

void GiveBackMenuNumbers(int32_t first, int32_t next)
{
    if (gNextMenuNumber == next) gNextMenuNumber = first;
}

Menu* Menu::Continuation() const
{
    if (attachment_ == kMenuContinuedByWindowMenu) return owner_ ? owner_->RootFrame()->FrameWindowMenu() : nullptr;
    return ContinuingMenu();
}

ResultCode Menu::InsertEntry(int32_t position)
{
    const MenuItem& item = *ItemAt(position);
    char text[kMenuDisplayTextSize];
    ComposeMenuItemText(item, itemMnemonics_, text, sizeof text);
    UINT flags = MF_BYPOSITION | MF_STRING;
    if (item.flags & kMenuItemChecked) flags |= MF_CHECKED;
    if (!(item.flags & kMenuItemEnabled)) flags |= MF_GRAYED;
    if (item.separator) flags |= MF_SEPARATOR;
    UINT_PTR id = UINT_PTR(MenuCommandId(number_, positionOffset_ + position));
    if (item.submenu && item.submenu->built_) {
        flags |= MF_POPUP;
        id = reinterpret_cast<UINT_PTR>(item.submenu->handle_);
    } else if (item.submenu) {
        flags |= MF_GRAYED;  // a submenu that could not be built
    }
    return InsertMenuA(handle_, UINT(positionOffset_ + position - 1), flags, id, text) ? kResultOk : kResultOutOfMemory;
}

void Menu::RewriteEntry(int32_t position)
{
    if (!built_) return;
    RemoveMenu(handle_, UINT(positionOffset_ + position - 1), MF_BYPOSITION);
    IgnoreResult(InsertEntry(position));  // a system menu that refuses the entry goes without it
}

ResultCode Menu::BuildMenu()
{
    if (built_) return kResultOk;
    int32_t number = gNextMenuNumber;
    int32_t offset = 0;
    if (continuedFrom_) {
        if (!continuedFrom_->built_) return kResultNotFound;
        number = continuedFrom_->number_;
        offset = continuedFrom_->positionOffset_ + continuedFrom_->ItemCount();
    }
    // Ids are never shared: a menu whose last position would have none is not built.
    if (!MenuPositionsFit(number, offset + ItemCount())) return kResultOutOfRange;
    HMENU handle = continuedFrom_ ? continuedFrom_->handle_ : CreatePopupMenu();
    if (!handle) return kResultOutOfMemory;
    if (!continuedFrom_) ++gNextMenuNumber;
    built_ = 1;
    handle_ = handle;
    number_ = number;
    positionOffset_ = offset;

    ResultCode result = kResultOk;
    for (int32_t position = 1; result == kResultOk && position <= ItemCount(); ++position) {
        if (Menu* submenu = ItemAt(position)->submenu) result = submenu->BuildMenu();
        if (result == kResultOk) result = InsertEntry(position);
    }
    if (Menu* next = Continuation(); next && result == kResultOk) {
        if (!next->built_) next->continuedFrom_ = this;
        result = next->BuildMenu();
    }
    if (result != kResultOk) UnbuildMenu();
    return result;
}

void Menu::UnbuildMenu()
{
    if (!built_) return;
    built_ = 0;
    // The continuation's entries follow this menu's in the pop-up: they go first, while the
    // pop-up still exists.
    if (Menu* next = Continuation(); next && next->continuedFrom_ == this) next->UnbuildMenu();
    // Taken out before the pop-up is destroyed, the submenus' pop-ups are not destroyed with it.
    for (int32_t i = 0; i < ItemCount(); ++i) RemoveMenu(handle_, UINT(positionOffset_), MF_BYPOSITION);
    for (int32_t position = 1; position <= ItemCount(); ++position) {
        if (Menu* submenu = ItemAt(position)->submenu) submenu->UnbuildMenu();
    }
    // The pop-up of a continuing menu belongs to the menu it continues.
    if (!continuedFrom_) DestroyMenu(handle_);
    handle_ = nullptr;
    number_ = 0;
    positionOffset_ = 0;
}

void Menu::UpdateMenuTree()
{
    for (int32_t position = 1; position <= ItemCount(); ++position) {
        if (Menu* submenu = ItemAt(position)->submenu) submenu->UpdateMenuTree();
    }
    UpdateMenu();
    if (Menu* next = ContinuingMenu()) next->UpdateMenuTree();
}

int32_t Menu::FindKeyEquivalent(int32_t key, int32_t modifiers) const
{
    if (!built_) return 0;
    for (int32_t position = 1; position <= ItemCount(); ++position) {
        const MenuItem& item = *ItemAt(position);
        // Disabled items are skipped with their submenus.
        if (!(item.flags & kMenuItemEnabled) || item.separator) continue;
        if (item.submenu) {
            if (const int32_t id = item.submenu->FindKeyEquivalent(key, modifiers)) return id;
        } else if (MenuKeyMatches(item.keyEquivalent, key, modifiers)) {
            const UINT id = GetMenuItemID(handle_, positionOffset_ + position - 1);
            if (id != UINT(-1)) return int32_t(id);
        }
    }
    const Menu* next = Continuation();
    return next && next->continuedFrom_ == this ? next->FindKeyEquivalent(key, modifiers) : 0;
}
