// PaneItem: the base of the small objects that live in a pane's control list (static text,
// buttons, edit fields, icons, scroll bars). An item owns no system window until it has an open
// owner pane; window-backed items make their control as a child of the pane's window and destroy
// it when they lose the owner, keeping their text and state meanwhile.
#pragma once

#include <windows.h>

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/root_object.h"

class Pane;

// Item style flags: bit 2 clear draws text transparently.
constexpr uint16_t kItemOpaqueText = 4;

struct ItemStyle {
    int32_t word;        // not read by the toolkit
    int32_t fontNumber;  // 7 by default
    int32_t fontStyle;   // style bits, 1 (bold) by default
    int32_t fontSize;    // 8 by default
    uint16_t flags;      // 3 by default
};

constexpr ItemStyle kDefaultItemStyle = {0, 7, 1, 8, 3};

class PaneItem : public RootObject {
public:
    PaneItem() = default;

    // --- item operations, in their fixed order after Write ---
    // No owner, the default style.
    virtual void ItemInit();
    // Frees the item (and what it owns).
    virtual void ItemDelete() { delete this; }
    virtual void ItemSetOwner(Pane* pane) { owner_ = pane; }
    virtual void ItemClearOwner() { owner_ = nullptr; }
    virtual void ItemDraw() {}
    virtual void ItemRefresh() {}
    // Non-zero when the item takes the press.
    virtual int32_t ItemMouseDown(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) { return 0; }
    // Non-zero ends the control list's tracking walk.
    virtual int32_t ItemTrack(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) { return 1; }
    virtual void ItemSetBounds(const PortRect& rect) { bounds_ = rect; }
    virtual void ItemGetBounds(PortRect* rect) { *rect = bounds_; }
    virtual void ItemTakeFocus() {}
    // The owner pane locked the shared offscreen.
    virtual void ItemPortChanged(int32_t /*value*/) {}
    virtual void ItemActivate(int32_t /*flag*/) {}
    virtual int32_t ItemHasWindow() { return 1; }
    virtual void ItemSetStyle(const ItemStyle& style) { style_ = style; }
    virtual void ItemGetStyle(ItemStyle* style) { *style = style_; }
    // The system style bits of the control window (matched by ControlList::FindByStyle).
    virtual uint32_t ItemWindowStyle() { return 0; }
    // A control notification: non-zero when it is this item's control.
    virtual int32_t ItemCommand(HWND /*control*/, int32_t /*code*/) { return 0; }
    virtual void ItemFocusWindow() {}

    Pane* Owner() const { return owner_; }
    const PortRect& Bounds() const { return bounds_; }
    const ItemStyle& Style() const { return style_; }

protected:
    // Use ItemDelete.
    ~PaneItem() override = default;

    Pane* owner_ = nullptr;
    PortRect bounds_ = {0, 0, 0, 0};
    ItemStyle style_ = kDefaultItemStyle;
};
