// EditText: an edit field on the system "EDIT" class. Its text lives in the control while it
// has one and in the item's title otherwise. Three kinds differ only in the control's style.
#pragma once

#include "toolkit/text_item.h"

// The plain field's style, and the kinds' additions.
constexpr uint32_t kEditPlainStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_GROUP | WS_TABSTOP;
constexpr uint32_t kEditAutoScrollStyle = kEditPlainStyle | ES_AUTOHSCROLL;
constexpr uint32_t kEditMultilineStyle = kEditPlainStyle | ES_MULTILINE;

// The control id of every edit field.
constexpr int32_t kEditControlId = 5011;

class EditText : public TextItem {
public:
    explicit EditText(uint32_t controlStyle = kEditPlainStyle) : controlStyle_(controlStyle) {}

    void ItemInit() override;
    void ItemDelete() override;
    void ItemSetOwner(Pane* pane) override;
    void ItemClearOwner() override;
    void ItemDraw() override;
    void ItemRefresh() override;
    void ItemSetBounds(const PortRect& rect) override;
    void ItemTakeFocus() override;
    void ItemActivate(int32_t flag) override;
    int32_t ItemCommand(HWND control, int32_t code) override;
    void ItemFocusWindow() override;
    void ItemSetTitle(const char* text) override;
    void ItemGetTitle(char* text) override;
    int32_t ItemTitleLength() override;

    // A key for the field: Tab moves the focus on (1); Return and '+' are taken (1); with Alt
    // nothing is (0).
    virtual int32_t EditTextKey(int32_t character, int32_t modifiers);

    // EM_SETSEL and the focus, when the control exists.
    void SelectEditText(int32_t start, int32_t end);
    HWND Control() const { return control_; }

protected:
    ~EditText() override = default;

    HWND control_ = nullptr;
    int32_t word_ = 0;
    uint32_t controlStyle_;
};
