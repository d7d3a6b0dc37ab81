// Menus built in code: their items, the item setters and getters, the chain of menus that
// continue one another, and deleting a menu with everything it owns.
#include "toolkit/menu.h"

#include <cstdio>
#include <new>

#include "foundation/pointer_list.h"
#include "toolkit/document_frame.h"
#include "toolkit/menu_bar.h"
#include "toolkit/window_menu.h"
#include "toolkit/window_menu_list.h"

namespace {

constexpr int32_t kItemGrowStep = 4;

void CopyText(char* destination, const char* text)
{
    std::snprintf(destination, kMenuTextSize, "%s", text ? text : "");
}

bool IsMenuPointer(UINT_PTR attachment)
{
    return attachment != kMenuNotAttached && attachment != kMenuTopLevel && attachment != kMenuContinuedByWindowMenu;
}

}  // namespace

ResultCode Menu::MenuInit(const char* title, DocumentFrame* owner)
{
    CopyText(title_, title);
    owner_ = owner;
    return Init(0, sizeof(MenuItem*), kItemGrowStep);
}

Menu::~Menu()
{
    if (owningList_) owningList_->RemoveMenu(this);
    LeaveMenuBar(this);
    // A submenu deleted on its own leaves its item first, so that no entry keeps its pop-up.
    if (parentMenu_) {
        for (int32_t position = 1; position <= parentMenu_->ItemCount(); ++position) {
            if (parentMenu_->ItemAt(position)->submenu == this) {
                IgnoreResult(parentMenu_->SetMenuItemSubmenu(position, nullptr));
                break;
            }
        }
    }
    UnbuildMenu();
    if (continuedFrom_ && continuedFrom_->attachment_ == UINT_PTR(this)) continuedFrom_->attachment_ = kMenuNotAttached;
    if (Menu* next = ContinuingMenu(); next && next->continuedFrom_ == this) next->continuedFrom_ = nullptr;
    if (attachment_ == kMenuContinuedByWindowMenu && owner_) {
        DocumentFrame* root = owner_->RootFrame();
        root->SetFrameWindowMenu(nullptr);
    }
    for (int32_t position = 1; position <= ItemCount(); ++position) {
        MenuItem* item = ItemAt(position);
        if (item->submenu) {
            item->submenu->parentMenu_ = nullptr;
            item->submenu->DeleteMenuObject();
        }
        delete item;
    }
}

// --- items ---

MenuItem* Menu::ItemAt(int32_t position) const
{
    return PointerAt<MenuItem>(this, position - 1);
}

const MenuItem* Menu::MenuItemAt(int32_t position) const
{
    return ItemAt(position);
}

int32_t Menu::Append(const void* text)
{
    if (built_) return kResultLocked;
    auto* item = new (std::nothrow) MenuItem;
    if (!item) return kResultOutOfMemory;
    CopyText(item->text, static_cast<const char*>(text));
    const int32_t index = DynamicArray::Append(&item);
    if (index < 0) delete item;
    return index;
}

int32_t Menu::AppendSeparator()
{
    const int32_t index = Append("");
    if (index >= 0) ItemAt(index + 1)->separator = 1;
    return index;
}

ResultCode Menu::Insert(int32_t position, const void* /*unused*/)
{
    if (built_) return kResultLocked;
    if (position < 1 || position > ItemCount() + 1) return kResultOutOfRange;
    auto* item = new (std::nothrow) MenuItem;
    if (!item) return kResultOutOfMemory;
    const ResultCode result = DynamicArray::Insert(position - 1, &item);
    if (result != kResultOk) delete item;
    return result;
}

ResultCode Menu::Remove(int32_t position)
{
    if (built_) return kResultLocked;
    MenuItem* item = ItemAt(position);
    if (!item) return kResultOutOfRange;
    IgnoreResult(DynamicArray::Remove(position - 1));
    if (item->submenu) {
        item->submenu->parentMenu_ = nullptr;
        item->submenu->DeleteMenuObject();
    }
    delete item;
    return kResultOk;
}

void Menu::SetMenuItemText(int32_t position, const char* text)
{
    MenuItem* item = ItemAt(position);
    if (!item) return;
    CopyText(item->text, text);
    RewriteEntry(position);
}

const char* Menu::GetMenuItemText(int32_t position) const
{
    const MenuItem* item = ItemAt(position);
    return item ? item->text : "";
}

bool Menu::CanHoldSubmenu(const Menu* submenu) const
{
    if (submenu->parentMenu_) return false;
    for (const Menu* menu = this; menu; menu = menu->parentMenu_) {
        if (menu == submenu) return false;
    }
    return true;
}

ResultCode Menu::SetMenuItemSubmenu(int32_t position, Menu* submenu)
{
    MenuItem* item = ItemAt(position);
    if (!item) return kResultOutOfRange;
    if (submenu == item->submenu) return kResultOk;
    if (submenu && !CanHoldSubmenu(submenu)) return kResultOutOfRange;
    // The entry goes first, so that the old pop-up is never destroyed through it.
    if (built_) RemoveMenu(handle_, UINT(positionOffset_ + position - 1), MF_BYPOSITION);
    if (Menu* old = item->submenu) {
        old->UnbuildMenu();
        old->parentMenu_ = nullptr;
    }
    item->submenu = submenu;
    if (submenu) submenu->parentMenu_ = this;
    if (built_) {
        if (submenu) IgnoreResult(submenu->BuildMenu());  // a submenu that cannot be built is greyed
        return InsertEntry(position);
    }
    return kResultOk;
}

Menu* Menu::MenuItemSubmenu(int32_t position) const
{
    const MenuItem* item = ItemAt(position);
    return item ? item->submenu : nullptr;
}

void Menu::SetMenuItemShortcut(int32_t position, int32_t keyEquivalent)
{
    if (MenuItem* item = ItemAt(position)) item->keyEquivalent = keyEquivalent;
}

void Menu::SetMenuItemMnemonicPos(int32_t position, int32_t mnemonicPosition)
{
    if (MenuItem* item = ItemAt(position)) item->mnemonicPosition = mnemonicPosition;
}

void Menu::SetMenuItemLetter(int32_t position, int32_t letter)
{
    if (MenuItem* item = ItemAt(position)) item->letter = letter;
}

void Menu::CheckMenuItemAt(int32_t position, int32_t on)
{
    MenuItem* item = ItemAt(position);
    if (!item) return;
    item->flags = on ? item->flags | kMenuItemChecked : item->flags & ~kMenuItemChecked;
    if (built_)
        CheckMenuItem(handle_, UINT(positionOffset_ + position - 1), MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED));
}

void Menu::EnableMenuItemAt(int32_t position, int32_t on)
{
    MenuItem* item = ItemAt(position);
    if (!item) return;
    item->flags = on ? item->flags | kMenuItemEnabled : item->flags & ~kMenuItemEnabled;
    if (built_)
        EnableMenuItem(handle_, UINT(positionOffset_ + position - 1), MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

int32_t Menu::IsMenuItemChecked(int32_t position) const
{
    const MenuItem* item = ItemAt(position);
    return item && (item->flags & kMenuItemChecked) ? 1 : 0;
}

// --- the chain of continuing menus ---

Menu* Menu::ContinuingMenu() const
{
    return IsMenuPointer(attachment_) ? reinterpret_cast<Menu*>(attachment_) : nullptr;
}

void Menu::DetachContinuation()
{
    if (Menu* next = ContinuingMenu(); next && next->continuedFrom_ == this) next->continuedFrom_ = nullptr;
    attachment_ = kMenuNotAttached;
}

ResultCode Menu::SetMenuAttachment(UINT_PTR attachment)
{
    if (IsMenuPointer(attachment)) return SetMenuContinuation(reinterpret_cast<Menu*>(attachment));
    if (built_) return kResultLocked;
    DetachContinuation();
    attachment_ = attachment;
    return kResultOk;
}

ResultCode Menu::SetMenuContinuation(Menu* next)
{
    if (!next) return SetMenuAttachment(kMenuNotAttached);
    if (built_ || next->built_) return kResultLocked;
    for (const Menu* menu = this; menu; menu = menu->continuedFrom_) {
        if (menu == next) return kResultOutOfRange;
    }
    DetachContinuation();
    // A menu continues one menu at a time.
    if (Menu* previous = next->continuedFrom_; previous && previous->attachment_ == UINT_PTR(next))
        previous->attachment_ = kMenuNotAttached;
    attachment_ = UINT_PTR(next);
    next->continuedFrom_ = this;
    return kResultOk;
}
