// MenuItem: one item of a menu built in code, with its key equivalent word; and the texts the
// system menus show: an item's text with its mnemonic "&" and, after a tab, its key equivalent
// ("&Open...\tCtrl+O"), and a menu's title with its mnemonic.
#pragma once

#include <cstddef>
#include <cstdint>

class Menu;

// Item and title texts: 63 characters and a terminator.
constexpr size_t kMenuTextSize = 64;

// Item flags.
constexpr int32_t kMenuItemEnabled = 1;
constexpr int32_t kMenuItemChecked = 2;

// The key equivalent word: bits 0-7 a character (upper-case letters, digits and punctuation as
// the frame's key pre-translation gives them); without a character, bits 8-12 a special key;
// then the modifiers. Ctrl is implied for every key equivalent with a character.
constexpr int32_t kMenuKeyCharacterMask = 0xFF;
constexpr int32_t kMenuKeySpecialShift = 8;
constexpr int32_t kMenuKeySpecialMask = 0x1F;
constexpr int32_t kMenuKeyShift = 0x2000;
constexpr int32_t kMenuKeyCtrl = 0x4000;
constexpr int32_t kMenuKeyAlt = 0x8000;
constexpr int32_t kMenuKeyModifierMask = kMenuKeyShift | kMenuKeyCtrl | kMenuKeyAlt;
// The special keys that have names: Ins, Del, Tab, BkSp, Enter, and F1 to F12 from 17.
constexpr int32_t kMenuKeyInsert = 1;
constexpr int32_t kMenuKeyDelete = 2;
constexpr int32_t kMenuKeyTab = 3;
constexpr int32_t kMenuKeyBackspace = 4;
constexpr int32_t kMenuKeyEnter = 5;
constexpr int32_t kMenuKeyF1 = 17;
constexpr int32_t kMenuKeyF12 = 28;
// The key equivalent of a special key.
constexpr int32_t MenuSpecialKey(int32_t code)
{
    return (code & kMenuKeySpecialMask) << kMenuKeySpecialShift;
}
// Exit's key equivalent in every File menu.
constexpr int32_t kMenuKeyAltF4 = kMenuKeyAlt | MenuSpecialKey(kMenuKeyF1 + 3);
// The one word without a character that matches a key, a key the keyboard never gives.
constexpr int32_t kMenuKeyUnreachable = 0x200;

struct MenuItem {
    Menu* submenu = nullptr;  // owned: deleted with the item
    char text[kMenuTextSize] = {};
    int32_t flags = kMenuItemEnabled;
    // The index in the text before which "&" goes; negative for none.
    int32_t mnemonicPosition = 0;
    // Stored only.
    int32_t letter = 0;
    int32_t keyEquivalent = 0;
    int32_t separator = 0;
};

// Room for any item's display text: the text with its "&", a tab, "Alt+Ctrl+Shift+" and the
// longest key name, and the terminator.
constexpr size_t kMenuDisplayTextSize = kMenuTextSize + 1 + 1 + 15 + 5;

// The text the system menu shows for the item (empty for a separator); the "&" only with
// `mnemonics`. Always terminated within `size`.
void ComposeMenuItemText(const MenuItem& item, int32_t mnemonics, char* buffer, size_t size);
// A title with "&" before the character at `mnemonicPosition` when `mnemonics` is set and a
// character is there.
void ComposeMenuTitle(const char* title, int32_t mnemonicPosition, int32_t mnemonics, char* buffer, size_t size);
// Whether a key equivalent word is the key with the modifiers (kMenuKey* bits) pressed.
bool MenuKeyMatches(int32_t keyEquivalent, int32_t key, int32_t modifiers);
