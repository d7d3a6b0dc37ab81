// ComboBox: a drop-down list ("COMBOBOX" class) as a button kind: choosing an entry presses it,
// its value is the 1-based index of the chosen entry (0 for none). The entries are kept by the
// item, so that a control made again lists them again. Nothing in the program makes one.
#pragma once

#include "toolkit/push_button.h"

class DynamicArray;

constexpr uint32_t kComboBoxStyle = WS_VSCROLL | WS_GROUP | WS_TABSTOP | CBS_HASSTRINGS | CBS_DROPDOWNLIST;

class ComboBox : public PushButton {
public:
    ComboBox() = default;

    // Makes the control, then lists the entries and chooses the value's entry.
    void ItemSetOwner(Pane* pane) override;
    uint32_t ItemWindowStyle() override { return kComboBoxStyle; }
    const char* ItemClassName() override { return "COMBOBOX"; }
    // CBN_SELENDOK from its own control presses it; any code of its own control is taken.
    int32_t ItemCommand(HWND control, int32_t code) override;
    // CB_SETCURSEL(value - 1).
    void ButtonSetState(int32_t value) override;
    // CB_GETCURSEL + 1.
    int32_t ButtonGetState() override;

    // Appends an entry (copied); non-zero when it could not be kept.
    ResultCode AddComboEntry(const char* text);
    int32_t ComboEntryCount() const;
    // Non-zero while the list is dropped down.
    int32_t IsComboDropped();

protected:
    ~ComboBox() override;

    DynamicArray* entries_ = nullptr;  // char pointers, each a block of its own
};
