// A pane shown as a modal pop-up window (the sub-panel of a button panel): placed at a point of
// the current pane or beside an anchor, run until the mouse makes a choice or leaves it, and
// put back as it was.
#include "toolkit/pane.h"

#include <new>

#include "draw/q_offscreen.h"
#include "foundation/ui_services.h"
#include "toolkit/message_loop.h"
#include "toolkit/rect_placement.h"
#include "toolkit/screen_bounds.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

constexpr char kPopUpTitle[] = "Pop Up";
constexpr int32_t kSharedOffscreenSize = 32;
// A shared offscreen made here takes the screen's depth.
constexpr int32_t kScreenDepth = -1;
constexpr int32_t kRefusedBeep = 1;

// Makes the shared offscreen when there is none; false when it cannot be made.
bool EnsureSharedOffscreen()
{
    if (SharedOffscreen) return true;
    auto* made = new (std::nothrow) Q_Offscreen;
    if (!made) return false;
    if (made->QOffscreenInit({0, 0, kSharedOffscreenSize, kSharedOffscreenSize}, kScreenDepth, nullptr) != kResultOk) {
        made->DisposeOffscreen();
        return false;
    }
    SharedOffscreen = made;
    return true;
}

void MoveRect(PortRect* rect, int32_t dx, int32_t dy)
{
    *rect = {rect->left + dx, rect->top + dy, rect->right + dx, rect->bottom + dy};
}

}  // namespace

ResultCode Pane::PopUpPane(int32_t x, int32_t y, int32_t margin, const PortRect* anchor)
{
    const PortRect savedPane = paneRect_;
    const PortRect savedCopy = paneRectCopy_;
    const PortRect savedContent = contentRect_;
    const int32_t savedCentreX = centreX_;
    const int32_t savedCentreY = centreY_;
    POINT at = {x, y};
    ClientToScreenCurrentPane(&at);

    // The pane under the pop-up ends its own tracking; its drawing resumes afterwards.
    Pane* under = CurrentDrawingPane();
    HWND underWindow = under ? under->PaneWindow() : nullptr;
    if (under) {
        SendMessageA(underWindow, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        // The release may have taken the pane away: only a pane still current is one.
        if (CurrentDrawingPane() == under) under->EndPaneDrawing();
    }

    ResultCode result = kResultOutOfMemory;
    if (EnsureSharedOffscreen()) {
        paneFlags_ = kPaneOpenPopUp;
        ScrollPositions positions = {GetHorizontalPosition(), GetVerticalPosition()};
        RefreshScreenDepth();
        PortRect screen;
        GetScreenBounds(&screen);
        PortRect rect = screen;
        PaneLayout(&rect, &positions, kLayoutPopUp, 0);
        if (margin) rect = {rect.left - margin, rect.top - margin, rect.right + margin + 1, rect.bottom + margin + 1};
        MoveRect(&rect, at.x, at.y);
        if (anchor)
            PlaceRectBeside(&rect, screen, *anchor);
        else
            ConstrainRectInside(&rect, screen);

        Window* window = new (std::nothrow) Window;
        result = window ? window->CreateWindowObject(rect, kPopUpTitle, kNoWindowSize, kNoWindowSize, kNoWindowSize,
                                                     kWindowModalPopUp, kWindowDestroys)
                        : kResultOutOfMemory;
        if (result == kResultOk) {
            window->AddPane(this);
            window->ShowWindowObject();
            RedrawPane(kDrawFull);
            StartPopUpTracking(this);
            RunMessageLoop(kModalLoop);
            StopPopUpTracking();
            window->RemovePane(this);
            window->CloseWindowObject();
        } else if (window) {
            window->DestroyWindowObject();
        }
    } else {
        PlayBeep(kRefusedBeep);
    }

    if (under && IsWindow(underWindow) && WindowObject<Pane>(underWindow) == under) under->BeginPaneDrawing();
    paneRect_ = savedPane;
    paneRectCopy_ = savedCopy;
    contentRect_ = savedContent;
    centreX_ = savedCentreX;
    centreY_ = savedCentreY;
    paneFlags_ = 0;
    return result;
}

int32_t Pane::PaneCloseRequest()
{
    if (!(paneFlags_ & kPaneOpenPopUp)) return 0;
    StopPopUpTracking();
    EndModalRun();
    return 1;
}
