// The texts of menu items and titles and the matching of key equivalents.
#include "toolkit/menu_item.h"

#include <cstdio>
#include <cstring>

namespace {

// The names of the special keys by code; codes without a name show nothing.
const char* SpecialKeyName(int32_t code)
{
    static const char* const kNames[] = {nullptr, "Ins", "Del", "Tab", "BkSp", "Enter"};
    static const char* const kFunctionKeys[] = {"F1", "F2", "F3", "F4", "F5",  "F6",
                                                "F7", "F8", "F9", "F10", "F11", "F12"};
    if (code >= kMenuKeyF1 && code <= kMenuKeyF12) return kFunctionKeys[code - kMenuKeyF1];
    if (code >= 0 && code <= kMenuKeyEnter) return kNames[code];
    return nullptr;
}

// Builds a text piece by piece within its buffer; what does not fit is left off.
class TextBuilder {
public:
    TextBuilder(char* buffer, size_t size) : buffer_(buffer), size_(size)
    {
        if (size_ > 0) buffer_[0] = 0;
    }

    void Add(const char* text, size_t count)
    {
        if (size_ == 0) return;
        const size_t room = size_ - 1 - length_;
        const size_t taken = count < room ? count : room;
        std::memcpy(buffer_ + length_, text, taken);
        length_ += taken;
        buffer_[length_] = 0;
    }
    void Add(const char* text) { Add(text, std::strlen(text)); }
    void Add(char character) { Add(&character, 1); }

    // The text with "&" before the character at `position` (none when negative or past the end).
    void AddWithMnemonic(const char* text, int32_t position)
    {
        const size_t length = strnlen(text, kMenuTextSize - 1);
        if (position >= 0 && size_t(position) < length) {
            Add(text, size_t(position));
            Add('&');
            Add(text + position, length - size_t(position));
        } else {
            Add(text, length);
        }
    }

private:
    char* buffer_;
    size_t size_;
    size_t length_ = 0;
};

}  // namespace

void ComposeMenuItemText(const MenuItem& item, int32_t mnemonics, char* buffer, size_t size)
{
    TextBuilder text(buffer, size);
    if (item.separator) return;
    text.AddWithMnemonic(item.text, mnemonics ? item.mnemonicPosition : -1);
    int32_t key = item.keyEquivalent;
    if (key == 0) return;
    const char character = char(key & kMenuKeyCharacterMask);
    if (character) key |= kMenuKeyCtrl;
    text.Add('\t');
    if (key & kMenuKeyAlt) text.Add("Alt+");
    if (key & kMenuKeyCtrl) text.Add("Ctrl+");
    if (key & kMenuKeyShift) text.Add("Shift+");
    if (character) {
        text.Add(character);
    } else if (const char* name = SpecialKeyName((key >> kMenuKeySpecialShift) & kMenuKeySpecialMask)) {
        text.Add(name);
    }
}

void ComposeMenuTitle(const char* title, int32_t mnemonicPosition, int32_t mnemonics, char* buffer, size_t size)
{
    TextBuilder text(buffer, size);
    text.AddWithMnemonic(title, mnemonics ? mnemonicPosition : -1);
}

bool MenuKeyMatches(int32_t keyEquivalent, int32_t key, int32_t modifiers)
{
    const int32_t character = keyEquivalent & kMenuKeyCharacterMask;
    if (!character) return keyEquivalent == kMenuKeyUnreachable && key == kMenuKeyUnreachable;
    return ((keyEquivalent | kMenuKeyCtrl) & kMenuKeyModifierMask) == (modifiers & kMenuKeyModifierMask) &&
           character == key;
}
