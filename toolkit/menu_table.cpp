// Building a menu from its table.
#include "toolkit/menu_table.h"

#include "toolkit/menu.h"

ResultCode MenuTable::AppendTo(Menu* menu) const
{
    for (int32_t i = 0; i < count_; ++i) {
        const MenuTableItem& item = items_[i];
        const int32_t index = item.text ? menu->AppendMenuItem(item.text) : menu->AppendSeparator();
        if (index < 0) return kResultOutOfMemory;
        menu->SetMenuItemShortcut(index + 1, item.key);
        menu->SetMenuItemLetter(index + 1, item.letter);
        menu->SetMenuItemMnemonicPos(index + 1, item.mnemonic);
    }
    return kResultOk;
}
