// Panes: creation, opening in a window and closing, layout and resizing, activation, the
// controls, mouse presses and tracking steps, and the drag feedback.
#include "toolkit/pane.h"

#include <new>

#include "draw/shapes.h"
#include "toolkit/app_globals.h"
#include "toolkit/control_list.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/input_events.h"
#include "toolkit/scroll_bar_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"
#include "toolkit/window_menu_list.h"

namespace {

constexpr int32_t kInitialLayoutParameter = 16;
constexpr int32_t kMenuListGrowStep = 16;
// Half the side of the drag feedback square.
constexpr int32_t kDragFeedbackHalfSide = 25;

}  // namespace

void Pane::PaneCreate(int32_t flags)
{
    InitPortFields(kPortPane);
    layoutParameter_ = kInitialLayoutParameter;
    paneFlags_ = 0;
    redirect_ = nullptr;
    controls_ = ControlList::Make();
    creationFlags_ = flags;
    opened_ = 0;
    if (flags & kPaneVerticalBar) {
        verticalBar_ = new (std::nothrow) VScrollBarItem;
        if (verticalBar_) verticalBar_->ItemInit();
    }
    if (flags & kPaneHorizontalBar) {
        horizontalBar_ = new (std::nothrow) HScrollBarItem;
        if (horizontalBar_) horizontalBar_->ItemInit();
    }
    hwnd_ = nullptr;
    gdiObject_ = nullptr;
    ReleasePaneButton();
    savedScroll_ = {0, 0};
    dimWhenInactive_ = (flags & kPaneDimWhenInactive) ? 1 : 0;
    menuList_ = WindowMenuList::Make(kMenuListGrowStep);
}

void Pane::PaneDestroy()
{
    if (owner_) owner_->RemovePane(this);
    // A pane opened without its window's list closes here: no window outlives its pane.
    if (hwnd_) ClosePane();
    if (CurrentDrawingPane() == this) EndPaneDrawing();
    if (controls_) controls_->ControlListDelete();
    if (verticalBar_) verticalBar_->ItemDelete();
    if (horizontalBar_) horizontalBar_->ItemDelete();
    if (gdiObject_) DeleteObject(gdiObject_);
    if (menuList_) menuList_->Destroy();
    delete this;
}

void Pane::OpenPane(Window* owner)
{
    owner_ = owner;
    ResetPenState();
    PortRect rect;
    owner->GetBounds(&rect);
    ScrollPositions positions = {0, 0};
    layoutResult_ = PaneLayoutFrom(&rect, &positions, kLayoutOpen, 0);
    paneRect_ = rect;
    paneRectCopy_ = rect;
    SetContentFromPaneRect();
    PaneGetDocumentRect(&documentRect_);
    PaneComputeScrollRange();

    DWORD style = WS_CHILD | WS_VISIBLE;
    if (creationFlags_ & kPaneVerticalBar) style |= WS_VSCROLL;
    if (creationFlags_ & kPaneHorizontalBar) style |= WS_HSCROLL;
    // The window procedure takes the pane from the creation parameters at WM_CREATE.
    hwnd_ = CreateWindowExA(0, kPaneClassName, "", style, rect.left, rect.top, rect.Width(),
                            rect.Height(), owner->GetWindowHandle(), nullptr, AppInstance(), this);

    BeginPaneDrawing();
    RefreshScreenDepth();
    PaneLayoutChanged();
    if (verticalBar_) {
        verticalBar_->ItemSetOwner(this);
        SetVerticalRange(scrollRange_.top, scrollRange_.bottom);
        if (positions.vertical != 0) SetVerticalPosition(positions.vertical);
        verticalBar_->ItemActivate(1);
        PaneVerticalBarSetUp();
    }
    if (horizontalBar_) {
        horizontalBar_->ItemSetOwner(this);
        SetHorizontalRange(scrollRange_.left, scrollRange_.right);
        if (positions.horizontal != 0) SetHorizontalPosition(positions.horizontal);
        horizontalBar_->ItemActivate(1);
        PaneHorizontalBarSetUp();
    }
    EndPaneDrawing();
    if (controls_) controls_->ControlListSetOwner(this);
    opened_ = 1;
}

void Pane::ClosePane()
{
    opened_ = 0;
    ResetPenState();
    // The DC goes back while the window still exists, and no global keeps the closed pane.
    if (CurrentDrawingPane() == this) EndPaneDrawing();
    if (verticalBar_) verticalBar_->ItemClearOwner();
    if (horizontalBar_) horizontalBar_->ItemClearOwner();
    if (controls_) controls_->ControlListClearOwner();
    if (hwnd_) {
        ValidateRect(hwnd_, nullptr);
        DestroyWindow(hwnd_);
    }
    hwnd_ = nullptr;
    owner_ = nullptr;
}

void Pane::SetContentFromPaneRect()
{
    contentRect_ = {0, 0, paneRect_.Width(), paneRect_.Height()};
    centreX_ = contentRect_.right >> 1;
    centreY_ = contentRect_.bottom >> 1;
}

int32_t Pane::PaneLayoutFrom(PortRect* rect, ScrollPositions* positions, int32_t mode, int32_t flag)
{
    const PortRect before = *rect;
    PaneLayout(rect, positions, mode, flag);
    const bool cornerKept = rect->right == before.right && rect->bottom == before.bottom;
    return cornerKept && owner_ && owner_->HasSizingFrame() ? 1 : 0;
}

void Pane::PaneResize(int32_t flag)
{
    if (!owner_) return;
    const ScrollPositions before = {GetHorizontalPosition(), GetVerticalPosition()};
    ScrollPositions positions = before;
    PortRect rect;
    owner_->GetBounds(&rect);
    PaneLayoutFrom(&rect, &positions, kLayoutResize, flag);
    if (positions.vertical != before.vertical) SetVerticalPosition(positions.vertical);
    if (positions.horizontal != before.horizontal) SetHorizontalPosition(positions.horizontal);
    paneRect_ = rect;
    paneRectCopy_ = rect;
    SetContentFromPaneRect();
    PaneComputeScrollRange();
    UpdatePaneScrollBars(0);
    MoveWindow(hwnd_, rect.left, rect.top, rect.Width(), rect.Height(), TRUE);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Pane::PaneOwnerResized()
{
    if (!owner_) return;
    PaneGetDocumentRect(&documentRect_);
    PaneResize(0);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Pane::SetPaneLayoutParameter(int32_t value)
{
    layoutParameter_ = value;
    if (opened_) PaneOwnerResized();
}

void Pane::GetBounds(PortRect* rect)
{
    PortRect bounds = {0, 0, 0, 0};
    if (owner_) owner_->GetBounds(&bounds);
    ScrollPositions positions = {GetHorizontalPosition(), GetVerticalPosition()};
    PaneLayout(&bounds, &positions, kLayoutBounds, 0);
    *rect = bounds;
}

void Pane::PaneActivate()
{
    active_ = 1;
    if (controls_) controls_->ControlListActivate(1);
    if (verticalBar_) verticalBar_->ItemActivate(1);
    if (horizontalBar_) horizontalBar_->ItemActivate(1);
    if (hwnd_) EnableWindow(hwnd_, TRUE);
}

void Pane::PaneDeactivate()
{
    active_ = 0;
    if (controls_) controls_->ControlListActivate(0);
    if (verticalBar_) verticalBar_->ItemActivate(0);
    if (horizontalBar_) horizontalBar_->ItemActivate(0);
    if (hwnd_) EnableWindow(hwnd_, FALSE);
}

void Pane::PaneAddControl(PaneItem* item)
{
    if (controls_) controls_->ControlListAdd(item);
}

void Pane::PaneRemoveControl(PaneItem* item)
{
    if (controls_) controls_->ControlListRemove(item);
}

int32_t Pane::PaneButtonDown(int32_t x, int32_t y, int32_t modifiers)
{
    BeginPaneDrawing();
    ResetPenState();
    downX_ = x;
    downY_ = y;
    const int32_t taken = controls_ ? controls_->ControlListMouseDown(x, y, modifiers) : 0;
    if (!taken) PaneMouseDown(x, y, modifiers);
    EndPaneDrawing();
    return taken ? 2 : 1;
}

void Pane::PaneButtonUp(int32_t x, int32_t y, int32_t modifiers)
{
    PaneTrackingStep(x, y, modifiers);
    BeginPaneDrawing();
    PaneMouseUp(x, y, modifiers);
    EndPaneDrawing();
}

void Pane::PaneTrackingStep(int32_t x, int32_t y, int32_t modifiers)
{
    if (!owner_) return;
    const int32_t inside = contentRect_.Contains(x, y) ? 1 : 0;
    BeginPaneDrawing();
    PaneTrack(x, y, modifiers, inside);
    EndPaneDrawing();
    if (modifiers & kModifierLeftButton)
        ShowPaneHelp("");
    else
        PaneHelpAtPoint(x, y, modifiers);
}

void Pane::PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside)
{
    if (inside && controls_) controls_->ControlListTrack(x, y, modifiers);
}

void Pane::PaneDrawDragFeedback(int32_t x, int32_t y)
{
    const PortRect square = {x - kDragFeedbackHalfSide, y - kDragFeedbackHalfSide,
                             x + kDragFeedbackHalfSide, y + kDragFeedbackHalfSide};
    FrameRect(square);
    MoveTo(square.left, square.top);
    LineTo(square.right, square.bottom);
    MoveTo(square.right, square.top);
    LineTo(square.left, square.bottom);
}

void ShowPaneHelp(const char* text, POINT /*reference*/)
{
    if (HelpBarOn()) SetHelpBarText(text);
}
