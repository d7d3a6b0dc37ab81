// ComboBox: the entries kept in the item and listed in each control made for it, the chosen
// entry as the button's value, and the choice that presses it.
#include "toolkit/combo_box.h"

#include <cstdlib>
#include <cstring>

#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"

namespace {

constexpr int32_t kEntryGrowStep = 4;

}  // namespace

ComboBox::~ComboBox()
{
    if (!entries_) return;
    for (int32_t i = 0; i < entries_->ArrayCount(); ++i) std::free(PointerAt<char>(entries_, i));
    DestroyArray(entries_);
}

void ComboBox::ItemSetOwner(Pane* pane)
{
    PushButton::ItemSetOwner(pane);
    if (!control_) return;
    for (int32_t i = 0; i < ComboEntryCount(); ++i)
        SendMessageA(control_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(PointerAt<char>(entries_, i)));
    SendMessageA(control_, CB_SETCURSEL, WPARAM(state_ - 1), 0);
}

int32_t ComboBox::ItemCommand(HWND control, int32_t code)
{
    if (!control_ || control != control_) return 0;
    if (code == CBN_SELENDOK) ButtonPress();
    return 1;
}

void ComboBox::ButtonSetState(int32_t value)
{
    state_ = value;
    if (control_) SendMessageA(control_, CB_SETCURSEL, WPARAM(value - 1), 0);
}

int32_t ComboBox::ButtonGetState()
{
    if (control_) state_ = int32_t(SendMessageA(control_, CB_GETCURSEL, 0, 0)) + 1;
    return state_;
}

ResultCode ComboBox::AddComboEntry(const char* text)
{
    if (!text) return kResultOutOfRange;
    if (!entries_) entries_ = NewDynamicArray(0, sizeof(char*), kEntryGrowStep);
    if (!entries_) return kResultOutOfMemory;
    const size_t length = std::strlen(text);
    auto* entry = static_cast<char*>(std::calloc(length + 1, 1));
    if (!entry) return kResultOutOfMemory;
    std::memcpy(entry, text, length);
    if (entries_->Append(&entry) < 0) {
        std::free(entry);
        return kResultOutOfMemory;
    }
    if (control_) SendMessageA(control_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    return kResultOk;
}

int32_t ComboBox::ComboEntryCount() const
{
    return entries_ ? entries_->ArrayCount() : 0;
}

int32_t ComboBox::IsComboDropped()
{
    return control_ ? int32_t(SendMessageA(control_, CB_GETDROPPEDSTATE, 0, 0)) : 0;
}
