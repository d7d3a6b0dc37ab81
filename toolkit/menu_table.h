// MenuTable: a menu's items in the order they are shown (text, key equivalent, letter, mnemonic
// and the command each stands for), from which the menu is built and through which its code
// finds an item's position from its command and a position's command, so that no command
// depends on where the separators fall.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/result_code.h"

class Menu;

struct MenuTableItem {
    const char* text;      // null: a separator
    int32_t command;       // the menu's own number for what the item does, above 0; 0 for a separator
    int32_t key = 0;       // key equivalent (menu_item.h), 0 for none
    int32_t letter = 0;    // stored with the item
    int32_t mnemonic = 0;  // the index in the text before which "&" goes
};

class MenuTable {
public:
    template <size_t N>
    constexpr MenuTable(const MenuTableItem (&items)[N]) : items_(items), count_(int32_t(N))
    {
    }

    // Appends the items to the menu with their keys, letters and mnemonics; kResultOutOfMemory
    // when an item could not be added (the items before it stay).
    ResultCode AppendTo(Menu* menu) const;
    // The 1-based position of the item with the command, or 0 when no item has it.
    constexpr int32_t PositionOf(int32_t command) const
    {
        for (int32_t i = 0; command > 0 && i < count_; ++i)
            if (items_[i].command == command) return i + 1;
        return 0;
    }
    // The command of the item at the 1-based position; 0 for a separator or a position outside.
    constexpr int32_t CommandAt(int32_t position) const
    {
        return position >= 1 && position <= count_ ? items_[position - 1].command : 0;
    }

private:
    const MenuTableItem* items_;
    int32_t count_;
};
