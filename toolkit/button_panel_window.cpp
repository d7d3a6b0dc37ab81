// The pane of a button panel: its placement, drawing, the press, track and release protocol,
// the sub-panel pop-up of a held button and the help under the pointer.
#include "toolkit/button_panel_window.h"

#include <new>

#include "draw/pen_state.h"
#include "draw/shapes.h"
#include "foundation/ui_services.h"
#include "toolkit/bevel.h"
#include "toolkit/button_item.h"
#include "toolkit/button_panel.h"
#include "toolkit/drawing_marks.h"
#include "toolkit/input_events.h"
#include "toolkit/panel_hold_timer.h"
#include "toolkit/window.h"

namespace {

constexpr StockPatternIndex kEmptyPanelPattern = 3;
constexpr StockPatternIndex kSolidPattern = 1;
// A button's help refers to the point this far in from its upper right corner.
constexpr int32_t kHelpPointInset = 3;

}  // namespace

void ButtonPanelWindow::PaneCreate(int32_t flags)
{
    Pane::PaneCreate(flags);
    extraHeight_ = 0;
    anchor_ = nullptr;
    placement_ = kPanelAtOffset;
    downIndex_ = -1;
    currentIndex_ = -1;
    moved_ = 0;
}

void ButtonPanelWindow::PaneDestroy()
{
    ButtonPanel* panel = panel_;
    panel_ = nullptr;
    if (panel) panel->PanelDeleteItems();
    Pane::PaneDestroy();
}

void ButtonPanelWindow::LinkPanelOwner(ButtonPanel* panel)
{
    if (panel_ && panel_->PanelWindow() == this) panel_->SetPanelWindow(nullptr);
    panel_ = panel;
    if (panel) panel->SetPanelWindow(this);
}

void ButtonPanelWindow::PanelWindowSetPlacement(Window* anchor, int32_t code)
{
    anchor_ = anchor;
    placement_ = code;
}

void ButtonPanelWindow::PanelWindowInitWith(ButtonPanel* panel, int32_t xOffset)
{
    offsetX_ = xOffset;
    PaneCreate(0);
    panel_ = panel;
}

void ButtonPanelWindow::Draw(int32_t mode, int32_t, int32_t)
{
    const PortRect& content = contentRect_;
    if (!panel_) {
        RGBForeColor(kBlackColor);
        PenPat(kEmptyPanelPattern);
        PaintRectPolygon(content);
        PenPat(kSolidPattern);
        DrawStroke(content.right - 1, content.top, content.right - 1, content.bottom - 1);
        return;
    }
    if (mode == kDrawDirtyButtons) {
        panel_->PanelDrawDirty(screenDepth_);
        return;
    }
    if (paneFlags_ & kPanelBorderFlags) {
        PenNormal();
        DrawBevel(content, kNormalButtonColours);
    }
    panel_->PanelDraw(screenDepth_);
}

PortRect ButtonPanelWindow::AnchorRect() const
{
    PortRect anchor;
    anchor_->GetWindowBounds(&anchor);
    POINT corners[2] = {{anchor.left, anchor.top}, {anchor.right, anchor.bottom}};
    if (owner_) MapWindowPoints(nullptr, owner_->GetWindowHandle(), corners, 2);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void ButtonPanelWindow::PaneLayout(PortRect* rect, ScrollPositions*, int32_t mode, int32_t)
{
    if (!panel_) return;
    const int32_t margin = (paneFlags_ & kPanelBorderFlags) ? kPanelMargin : 0;
    panel_->SetLarge(1);
    // Rows share the width of the pane as it is; a grid takes its cells from the margin.
    PortRect size = contentRect_;
    const PortRect offset = {margin, margin, margin, margin};
    panel_->PanelLayout(&size, &offset);
    const int32_t l = size.left;
    const int32_t t = size.top;
    const int32_t r = size.right;
    const int32_t b = size.bottom;
    PortRect& R = *rect;
    if (anchor_ && placement_ >= kPanelBeside && placement_ <= kPanelAbove) {
        const PortRect a = AnchorRect();
        switch (placement_) {
        case kPanelBeside: R = {l + a.right, t + a.top, r + a.right, b + a.top}; break;
        case kPanelBelow: R = {l + a.left, t + a.bottom, r + a.left, b + a.bottom}; break;
        case kPanelAbove: R = {l + a.left, a.top - (b - t), r + a.left, a.top}; break;
        default: break;
        }
        return;
    }
    switch (placement_) {
    case kPanelAtOffset: R = {offsetX_ + l, offsetY_ + t, offsetX_ + r, offsetY_ + b + extraHeight_}; break;
    case kPanelAtOrigin: R = {l, t, r, b + extraHeight_}; break;
    case kPanelBottomStrip:
        R.right = r;
        R.top = R.bottom - b;
        break;
    case kPanelBottomRight:
        R.top = R.bottom - b;
        R.left = R.right - r;
        break;
    case kPanelTopRight:
        R.left = R.right - r;
        R.bottom = extraHeight_ + b;
        break;
    default:
        if (mode == kLayoutPopUp) R = {l, t, r - kPanelMargin, b + extraHeight_ - kPanelMargin};
        break;
    }
}

void ButtonPanelWindow::PaneMouseDown(int32_t x, int32_t y, int32_t modifiers)
{
    if (!panel_) return;
    const int32_t index = panel_->PanelHitTest(x, y);
    downIndex_ = index;
    currentIndex_ = index;
    ResetPanelHold();
    if (index != -1) {
        panel_->PanelSetItemState(index, panel_->PanelItemState(index) == kButtonReleased ? kButtonPressed
                                                                                           : kButtonReleased);
        panel_->Press(index, modifiers);
        RedrawPane(kDrawDirtyButtons);
    }
    moved_ = 0;
}

void ButtonPanelWindow::PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t)
{
    SetCursorShape(kArrowCursor);
    if (!panel_ || !(modifiers & kModifierLeftButton)) return;
    const int32_t index = panel_->PanelHitTest(x, y);
    const int32_t old = currentIndex_;
    if (index != old) {
        if (moved_ && old != -1) panel_->PanelSetItemState(old, kButtonReleased);
        if (index != -1) {
            moved_ = 1;
            panel_->ReleaseAll();
            panel_->PanelSetItemState(index, kButtonPressed);
        }
        RedrawPane(kDrawDirtyButtons);
        ResetPanelHold();
    }
    const ButtonItem* item = panel_->PanelItem(index);
    if (item && item->SubPanel()) {
        if (PanelHeldLongEnough() && PopUpSubPanel(index)) {
            RedrawPane(kDrawDirtyButtons);
            panel_->Press(index, modifiers);
        }
    } else {
        panel_->Track(index, old, modifiers);
    }
    currentIndex_ = index;
}

void ButtonPanelWindow::PaneMouseUp(int32_t x, int32_t y, int32_t modifiers)
{
    if (!panel_) return;
    currentIndex_ = panel_->PanelHitTest(x, y);
    panel_->Click(currentIndex_, modifiers);
    RedrawPane(kDrawDirtyButtons);
    moved_ = 0;
}

void ButtonPanelWindow::PaneHelpAtPoint(int32_t x, int32_t y, int32_t)
{
    if (!panel_) return;
    const int32_t index = panel_->PanelHitTest(x, y);
    PortRect button;
    panel_->PanelItemRect(index, &button);
    // The help is about the button's upper right corner.
    ShowPaneHelp(panel_->PanelItemHelp(index), {button.right - kHelpPointInset, button.top + kHelpPointInset});
}

int32_t ButtonPanelWindow::PopUpSubPanel(int32_t index)
{
    ButtonItem* button = panel_ ? panel_->PanelItem(index) : nullptr;
    ButtonPanel* sub = button ? button->SubPanel() : nullptr;
    if (!sub || sub->ArrayCount() == 0) return 0;
    auto* window = new (std::nothrow) ButtonPanelWindow;
    if (!window) return 0;
    sub->SetLarge(panel_->IsLarge());
    window->PaneCreate(0);
    window->LinkPanelOwner(sub);
    window->PanelWindowSetPlacement(nullptr, kPanelPopUp);
    if (sub->FirstPressedIndex() < 0) sub->PanelSetItemState(0, kButtonPressed);
    const int32_t before = sub->FirstPressedIndex();

    // Over the button, beside a cell of the sub-panel's size at the button's place.
    const PortRect& at = button->Rect();
    BeginPaneDrawing();
    PortRect anchor = {at.left, at.top, at.left + sub->CellWidth(), at.top + sub->CellHeight()};
    ClientRectToScreenCurrentPane(&anchor);
    ResetPanelHold();
    // A sub-panel that cannot pop up leaves the choice as it was.
    IgnoreResult(window->PopUpPane(at.left, at.top + 1, kPanelMargin, &anchor));
    ResetPanelHold();

    if (sub->FirstPressedIndex() < 0) sub->PanelSetItemState(before, kButtonPressed);
    window->LinkPanelOwner(nullptr);
    window->PaneDestroy();
    const int32_t chosen = sub->FirstPressedIndex();
    button->SetGlyph(sub->PanelItemKind(chosen));
    button->SetHelp(sub->PanelItemHelp(chosen));
    button->SetSelected(chosen);
    return chosen != before ? 1 : 0;
}
