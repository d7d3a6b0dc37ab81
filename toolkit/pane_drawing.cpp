// Drawing in panes: the one current drawing pane and its bracket, redrawing and painting, the
// link between a pane and the shared offscreen, the pen state reset and the coordinate
// conversions through the current pane's window.
#include "toolkit/pane.h"

#include <new>

#include "draw/current_port.h"
#include "draw/fonts.h"
#include "draw/pen_state.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "toolkit/control_list.h"
#include "toolkit/window.h"

namespace {

Pane* gCurrentPane = nullptr;

// The draw modes of an inactive pane, which a dimming pane greys over: after the bars were
// updated, a redraw of the pane's own, and an update.
constexpr int32_t kDrawOwnInactive = 6;
constexpr int32_t kDrawInactiveModes[] = {kDrawBarsInactive, kDrawOwnInactive, kDrawUpdateInactive};
constexpr StockPatternIndex kSolidPattern = 1;
constexpr StockPatternIndex kDimPattern = 3;
constexpr PenTransferMode kDimPenMode = 2;
constexpr int32_t kTextOpaque = 4;
constexpr int32_t kResetFontNumber = 0;
constexpr int32_t kResetFontSize = 12;
constexpr int32_t kResetFontStyle = 0;
// A shared offscreen made by a pane takes the screen's depth.
constexpr int32_t kScreenDepth = -1;
// What the controls are told when the pane makes the shared offscreen its port.
constexpr int32_t kPortIsOffscreen = 1;

bool IsInactiveMode(int32_t mode)
{
    for (int32_t inactive : kDrawInactiveModes)
        if (mode == inactive) return true;
    return false;
}

// Whether the pane's window can be drawn: it has an owner that is neither minimized nor hidden.
bool OwnerShowsPane(const Pane& pane)
{
    const Window* owner = pane.Owner();
    return owner && !owner->IsMinimized() && owner->IsWindowObjectVisible();
}

HWND CurrentPaneWindow()
{
    return gCurrentPane ? gCurrentPane->PaneWindow() : nullptr;
}

}  // namespace

Pane* CurrentDrawingPane()
{
    return gCurrentPane;
}

void Pane::BeginPaneDrawing()
{
    if (redirect_ || gCurrentPane == this) return;
    if (gCurrentPane) gCurrentPane->EndPaneDrawing();
    gCurrentPane = this;
    if (hwnd_) {
        dc_ = inPaint_ ? BeginPaint(hwnd_, &paint_) : PrepareWindowDC(hwnd_);
        SetPort(dc_);
        SelectPortObjects();
    }
    originX_ = 0;
    originY_ = 0;
}

void Pane::EndPaneDrawing()
{
    if (gCurrentPane != this) return;
    if (hwnd_ && dc_) {
        RestorePortObjects();
        if (inPaint_)
            EndPaint(hwnd_, &paint_);
        else
            ReleasePortDC(hwnd_, dc_);
        dc_ = nullptr;
        SetPort(nullptr);
    }
    gCurrentPane = nullptr;
}

void Pane::RedrawPane(int32_t mode)
{
    if (!OwnerShowsPane(*this)) return;
    const int32_t vertical = GetVerticalPosition();
    const int32_t horizontal = GetHorizontalPosition();
    BeginPaneDrawing();
    Draw(mode, horizontal, vertical);
    if (dimWhenInactive_ && IsInactiveMode(mode)) {
        PenMode(kDimPenMode);
        PenPat(kDimPattern);
        PaintRectPolygon(contentRect_);
        PenPat(kSolidPattern);
        PenMode(kPenCopy);
    }
    EndPaneDrawing();
}

void Pane::PaintPane()
{
    if (!hwnd_) return;
    // A bracket still open here holds a DC of PrepareWindowDC, which EndPaint must not end.
    if (gCurrentPane == this) EndPaneDrawing();
    inPaint_ = 1;
    RECT update;
    RedrawPane(GetUpdateRect(hwnd_, &update, FALSE) ? kDrawUpdate : kDrawFull);
    inPaint_ = 0;
    // The paint request is answered also when nothing was drawn (the owner minimized or
    // hidden): the same WM_PAINT would otherwise come back at once, for ever.
    ValidateRect(hwnd_, nullptr);
}

void Pane::Draw(int32_t mode, int32_t horizontal, int32_t vertical)
{
    PaneDrawControls(mode, horizontal, vertical);
}

void Pane::PaneDrawControls(int32_t, int32_t, int32_t)
{
    if (controls_) controls_->ControlListDraw();
}

void Pane::RefreshScreenDepth()
{
    screenDepth_ = PaletteScreenDepth();
}

HDC Pane::GetDrawingDC(PortRect* rect)
{
    GetBounds(rect);
    return dc_;
}

ResultCode Pane::Lock()
{
    if (redirect_) return kResultOk;
    PortRect bounds;
    GetBounds(&bounds);
    if (!SharedOffscreen) {
        Q_Offscreen* made = new (std::nothrow) Q_Offscreen;
        if (made && made->QOffscreenInit(bounds, kScreenDepth, nullptr) == kResultOk)
            SharedOffscreen = made;
        else if (made)
            made->DisposeOffscreen();
    }
    // The global is read afresh: whatever this pane calls may dispose the offscreen and make
    // another.
    Q_Offscreen* offscreen = SharedOffscreen;
    if (!offscreen) return kResultNotFound;
    const PortRect& size = offscreen->PortBounds();
    // An offscreen that cannot be resized keeps its old size.
    if (size.Width() != bounds.Width() || size.Height() != bounds.Height())
        IgnoreResult(offscreen->OffscreenResize(bounds));
    offscreen->SetOffscreenLink(this);
    if (owner_) owner_->SetSelected(0);
    IgnoreResult(offscreen->Lock());
    offscreen->SetOffscreenDestRect(contentRect_);
    if (controls_) controls_->ControlListPortChanged(kPortIsOffscreen);
    return kResultOk;
}

void Pane::Unlock()
{
    if (redirect_) return;
    if (SharedOffscreen) SharedOffscreen->Unlock();
}

void Pane::PaneShowLinkedOffscreen(const PortRect& rect)
{
    if (redirect_) return;
    Q_Offscreen* offscreen = SharedOffscreen;
    if (!offscreen || offscreen->GetOffscreenLink() != this) return;
    PortRect bounds;
    if (!GetDrawingDC(&bounds)) return;
    offscreen->CopyOffscreenToPort(this, rect, rect);
}

void ResetPenState()
{
    if (!GetPort()) return;
    PenPat(kSolidPattern);
    PenMode(kPenCopy);
    TextMode(kTextOpaque);
    UseTextFont(kResetFontNumber, kResetFontSize, kResetFontStyle);
    RGBForeColor(kBlackColor);
    RGBBackColor(kWhiteColor);
}

void ClientToScreenCurrentPane(POINT* point)
{
    if (HWND window = CurrentPaneWindow()) ClientToScreen(window, point);
}

void ScreenToClientCurrentPane(POINT* point)
{
    if (HWND window = CurrentPaneWindow()) ScreenToClient(window, point);
}

void ClientRectToScreenCurrentPane(PortRect* rect)
{
    POINT topLeft = {rect->left, rect->top};
    POINT bottomRight = {rect->right, rect->bottom};
    ClientToScreenCurrentPane(&topLeft);
    ClientToScreenCurrentPane(&bottomRight);
    *rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
