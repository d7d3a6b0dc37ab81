// Menu: a menu built in code. It holds its items (MenuItem records) and shows them through a
// system pop-up menu that exists only while the menu is built, into the menu bar or as a pop-up;
// a built menu has a number, and each item the command id of that number and its position
// (menu_command_id.h), through which WM_COMMAND finds the menu again and DoMenuCommand performs
// the item. Menus can be chained: a menu's attachment may name the menu that continues it in
// its pop-up, whose items then take the positions after its own.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "toolkit/menu_item.h"

class DocumentFrame;
class Pane;
class WindowMenuList;

// Attachments other than a continuing menu.
constexpr UINT_PTR kMenuNotAttached = 0;
constexpr UINT_PTR kMenuTopLevel = UINT_PTR(-1);
// The owner frame's Window menu continues the menu.
constexpr UINT_PTR kMenuContinuedByWindowMenu = UINT_PTR(-2);

class Menu : public DynamicArray {
public:
    Menu() = default;
    // DeleteMenuObject's work: leaves its window menu list and the menu bar, unbuilds, unlinks
    // its chain, deletes its items with their submenus and, with attachment -2, the owner
    // frame's Window menu.
    ~Menu() override;

    // Titles the menu and sets its owner; the item array starts empty.
    ResultCode MenuInit(const char* title, DocumentFrame* owner);
    // Deletes and frees a menu made with new.
    void DeleteMenuObject() { delete this; }

    // --- the array operations a menu replaces, and its own two ---
    // AppendMenuItem: `text` is the item's text (const char*); the new item's 0-based index.
    int32_t Append(const void* text) override;
    // InsertMenuItem: a new empty item before the 1-based position (count + 1 appends).
    ResultCode Insert(int32_t position, const void* unused) override;
    // RemoveMenuItem: deletes the item at the 1-based position, with its submenu.
    ResultCode Remove(int32_t position) override;
    // Performs the item at the position; the default does nothing.
    virtual void DoMenuCommand(int32_t /*position*/, int32_t /*extra*/) {}
    // Enables, disables and checks the items before the menu is shown or searched.
    virtual void UpdateMenu() {}

    // Items change only while the menu is not built (kResultLocked otherwise): ids follow
    // positions, and a built pop-up would no longer match its items.
    int32_t AppendMenuItem(const char* text) { return Append(text); }
    int32_t AppendSeparator();
    ResultCode InsertMenuItem(int32_t position) { return Insert(position, nullptr); }
    ResultCode RemoveMenuItem(int32_t position) { return Remove(position); }
    int32_t ItemCount() const { return ArrayCount(); }

    // --- items by 1-based position; a bad position acts on nothing ---
    // The item, or null.
    const MenuItem* MenuItemAt(int32_t position) const;
    // On a built menu the system entry shows the new text at once.
    void SetMenuItemText(int32_t position, const char* text);
    // The text, or an empty text for a bad position.
    const char* GetMenuItemText(int32_t position) const;
    // The item takes the submenu (and deletes it with itself); a built old submenu is unbuilt
    // first, and a built menu shows the new one at once. kResultOutOfRange for a bad position or
    // a submenu that is another item's already, this menu or one that holds it.
    ResultCode SetMenuItemSubmenu(int32_t position, Menu* submenu);
    Menu* MenuItemSubmenu(int32_t position) const;
    void SetMenuItemShortcut(int32_t position, int32_t keyEquivalent);
    void SetMenuItemMnemonicPos(int32_t position, int32_t mnemonicPosition);
    void SetMenuItemLetter(int32_t position, int32_t letter);
    void CheckMenuItemAt(int32_t position, int32_t on);
    void EnableMenuItemAt(int32_t position, int32_t on);
    int32_t IsMenuItemChecked(int32_t position) const;

    // --- the menu ---
    const char* MenuTitle() const { return title_; }
    void SetMenuMnemonicPos(int32_t position) { mnemonicPosition_ = position; }
    int32_t MenuMnemonicPos() const { return mnemonicPosition_; }
    void SetMenuLetter(int32_t letter) { letter_ = letter; }
    int32_t MenuLetter() const { return letter_; }
    // Whether item texts and the title get their "&".
    void SetMenuItemMnemonics(int32_t on) { itemMnemonics_ = on; }
    int32_t MenuItemMnemonics() const { return itemMnemonics_; }
    // 0, kMenuTopLevel or kMenuContinuedByWindowMenu (kResultLocked while built); any other value
    // is the menu that continues this one, as SetMenuContinuation takes it.
    ResultCode SetMenuAttachment(UINT_PTR attachment);
    // The menu continues this one (its continued-from becomes this menu; null: none).
    // kResultLocked while either is built; kResultOutOfRange when the chain would come round to
    // this menu again.
    ResultCode SetMenuContinuation(Menu* next);
    UINT_PTR MenuAttachment() const { return attachment_; }
    // The menu that continues this one, or null.
    Menu* ContinuingMenu() const;
    Menu* ContinuedFrom() const { return continuedFrom_; }
    // The position in the menu bar (ascending).
    void SetMenuOrder(int32_t order) { order_ = order; }
    int32_t MenuOrder() const { return order_; }
    DocumentFrame* MenuOwner() const { return owner_; }
    void SetMenuOwner(DocumentFrame* owner) { owner_ = owner; }

    // --- building ---
    // Makes the system pop-up (or, for a continuing menu, appends to the one it continues) with
    // the submenus and the continuation. kResultOutOfRange when a position of the menu or of
    // its chain has no command id (then nothing of it stays built); kResultNotFound for a
    // continuing menu whose first menu is not built; kResultOk at once when built already.
    ResultCode BuildMenu();
    // Takes the entries out of the pop-up, unbuilds the submenus and the continuation, and
    // destroys the pop-up unless the menu continues another.
    void UnbuildMenu();
    int32_t IsBuilt() const { return built_; }
    HMENU MenuHandle() const { return handle_; }
    int32_t MenuNumber() const { return number_; }
    // The positions before this menu's first item in its pop-up (the items of the menus it
    // continues).
    int32_t PositionOffset() const { return positionOffset_; }
    // UpdateMenu for every submenu, this menu and the menus that continue it.
    void UpdateMenuTree();
    // The command id of the first enabled item, here, in a submenu or along the continuation,
    // whose key equivalent is the key with the modifiers; 0 when none (or not built).
    int32_t FindKeyEquivalent(int32_t key, int32_t modifiers) const;
    // Builds the menu, shows it at the pane-local point and returns the 1-based position chosen,
    // or 0 when it was dismissed.
    int32_t TrackPopupMenuObject(Pane* pane, int32_t x, int32_t y);

    // The list that holds the menu, or null; kept by WindowMenuList.
    WindowMenuList* OwningList() const { return owningList_; }
    void SetOwningList(WindowMenuList* list) { owningList_ = list; }

private:
    MenuItem* ItemAt(int32_t position) const;
    // The menu that continues this one in its pop-up, a menu pointer or the Window menu.
    Menu* Continuation() const;
    // Puts the item's system entry in at its place in the built pop-up; RewriteEntry replaces it.
    ResultCode InsertEntry(int32_t position);
    void RewriteEntry(int32_t position);
    // Clears the attachment; a continuing menu no longer continues this one.
    void DetachContinuation();
    // Whether the menu can be the submenu of an item of this one.
    bool CanHoldSubmenu(const Menu* submenu) const;

    int32_t built_ = 0;
    char title_[kMenuTextSize] = {};
    int32_t mnemonicPosition_ = 0;
    int32_t letter_ = 0;
    int32_t itemMnemonics_ = 1;
    HMENU handle_ = nullptr;
    int32_t number_ = 0;
    int32_t positionOffset_ = 0;
    int32_t order_ = 0;
    DocumentFrame* owner_ = nullptr;
    WindowMenuList* owningList_ = nullptr;
    UINT_PTR attachment_ = kMenuNotAttached;
    Menu* continuedFrom_ = nullptr;
    // The menu one of whose items holds this one as its submenu.
    Menu* parentMenu_ = nullptr;
};

// The menu numbers: each menu built takes the next; every rebuild of the menu bar starts again
// at 1.
void RestartMenuNumbering();
int32_t NextMenuNumber();
// The numbers from `first` up to `next` come back when no menu has taken a number since (a
// pop-up gives back its numbers once it is gone).
void GiveBackMenuNumbers(int32_t first, int32_t next);
