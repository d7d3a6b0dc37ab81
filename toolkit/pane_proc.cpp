// PaneProc, the window procedure of panes, and the tracking chain: a pressed button captures the
// mouse and starts a chain of PaneRepeatMessage steps, each posting the next only while nothing
// newer waits, so that a held button (or Shift, Ctrl, or a pane that asks for it) keeps the
// pane tracking without mouse motion.
#include "toolkit/pane.h"

#include "toolkit/app_commands.h"
#include "toolkit/control_list.h"
#include "toolkit/input_events.h"
#include "toolkit/message_loop.h"
#include "toolkit/scroll_bar_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

Pane* gTrackingPane = nullptr;
// A button went down in a pane (which holds the capture) and has not come up.
int32_t gButtonDown = 0;
// An open pop-up pane tracks the mouse (StartPopUpTracking).
int32_t gPopUpTracking = 0;

// Every message that reports the mouse or one of its buttons: a tracking step is posted only
// while none of them waits.
constexpr UINT kFirstMouseMessage = WM_MOUSEMOVE;
constexpr UINT kLastMouseMessage = WM_MBUTTONDBLCLK;
constexpr UINT kPeekNoRemove = PM_NOREMOVE | PM_NOYIELD;

int32_t SignedX(LPARAM lParam)
{
    return int16_t(LOWORD(lParam));
}

int32_t SignedY(LPARAM lParam)
{
    return int16_t(HIWORD(lParam));
}

bool IsOpenPopUp(const Pane& pane)
{
    return (pane.PaneFlags() & kPaneOpenPopUp) != 0;
}

// Tells the tracking pane that the pointer left it, and forgets it.
void TrackingPaneLeftAt(int32_t point, int32_t modifiers)
{
    Pane* left = gTrackingPane;
    gTrackingPane = nullptr;
    left->PaneTrackingStep(point, point, modifiers);
}

// The modal run of an open pop-up ends: no button is held and the pop-up tracks no more.
void EndPopUpTracking()
{
    ReleaseCapture();
    gButtonDown = 0;
    gPopUpTracking = 0;
    EndModalRun();
}

// The wParam of the next step: a Shift or Ctrl press or release that is the first key message
// waiting sets or clears that key's bit.
WPARAM NextStepKeys(WPARAM keys)
{
    MSG key;
    // A waiting WM_QUIT comes whatever the filter.
    if (!PeekMessageA(&key, nullptr, WM_KEYDOWN, WM_KEYUP, kPeekNoRemove) || key.message == WM_QUIT) return keys;
    WPARAM bit = 0;
    if (key.wParam == VK_SHIFT) bit = MK_SHIFT;
    if (key.wParam == VK_CONTROL) bit = MK_CONTROL;
    return key.message == WM_KEYDOWN ? keys | bit : keys & ~bit;
}

// Whether the button is held for the pane's steps. While a pop-up tracks, the held button is the
// pop-up's: the pane under it was told of the release, and its last step sees the button up.
int32_t ButtonHeldFor(const Pane& pane)
{
    return gButtonDown && (!gPopUpTracking || IsOpenPopUp(pane)) ? 1 : 0;
}

// WM_MOUSEMOVE or PaneRepeatMessage: one tracking step, then the next one posted when the chain
// goes on and nothing newer waits.
void TrackingStep(Pane* pane, HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    int32_t modifiers = int32_t(wParam & ~WPARAM(MK_LBUTTON)) | ButtonHeldFor(*pane);
    if (gTrackingPane && gTrackingPane != pane) TrackingPaneLeftAt(kPointerLeft, modifiers);
    gTrackingPane = pane;
    if (wParam & MK_MBUTTON)
        modifiers |= kModifierMiddleButton;
    else if (wParam & MK_RBUTTON)
        modifiers |= kModifierRightButton;

    // A waiting paint is done first, so that the step works on the current frame.
    MSG paint;
    const PeekResult peeked = PeekKeepingQuit(&paint, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_NOYIELD);
    if (peeked == kPeekedQuit) return;
    if (peeked == kPeekedMessage) SendMessageA(paint.hwnd, WM_PAINT, paint.wParam, paint.lParam);

    pane->PaneTrackingStep(SignedX(lParam), SignedY(lParam), modifiers);
    // The step may have closed the pane.
    if (!IsWindow(hwnd)) return;
    const bool held = (modifiers & (kModifierShift | kModifierCtrlOrRight)) != 0 || ButtonHeldFor(*pane);
    if (!held && !pane->PaneWantsRepeat()) return;

    MSG waiting;
    if (PeekMessageA(&waiting, nullptr, kFirstMouseMessage, kLastMouseMessage, kPeekNoRemove)) return;
    if (PeekMessageA(&waiting, nullptr, PaneRepeatMessage, PaneRepeatMessage, kPeekNoRemove)) return;
    PostMessageA(hwnd, PaneRepeatMessage, NextStepKeys(wParam), lParam);
}

void ButtonDown(Pane* pane, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    int32_t modifiers = int32_t(wParam);
    if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK)
        modifiers |= kModifierDoubleClick;
    if (!gPopUpTracking) SetCapture(hwnd);
    gButtonDown = 1;
    const int32_t x = SignedX(lParam);
    const int32_t y = SignedY(lParam);
    // A press outside an open pop-up closes it.
    if (IsOpenPopUp(*pane) && !pane->ContentRect().Contains(x, y)) {
        EndPopUpTracking();
        return;
    }
    if (message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK)
        modifiers |= kModifierMiddleButton;
    else if (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK)
        modifiers |= kModifierRightButton;
    pane->PaneButtonDown(x, y, modifiers);
    PostMessageA(hwnd, PaneRepeatMessage, wParam, lParam);
}

void ButtonUp(Pane* pane, HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    const int32_t modifiers = int32_t(wParam);
    const int32_t x = SignedX(lParam);
    const int32_t y = SignedY(lParam);
    if (gButtonDown && !gPopUpTracking) {
        pane->PaneButtonUp(x, y, modifiers);
        gButtonDown = 0;
        ReleaseCapture();
        // One more step, so that the pane sees the button up.
        PostMessageA(hwnd, PaneRepeatMessage, wParam, lParam);
    } else if (gPopUpTracking) {
        pane->PaneButtonUp(x, y, modifiers);
        gButtonDown = 0;
        // A release inside the open pop-up makes the choice and closes it.
        if (IsWindow(hwnd) && IsOpenPopUp(*pane) && pane->ContentRect().Contains(x, y)) EndPopUpTracking();
    }
}

void ControlCommand(Pane* pane, HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    const int32_t code = HIWORD(wParam);
    if (code != BN_CLICKED && code != CBN_SELENDOK && code != EN_KILLFOCUS) return;
    if (ControlList* controls = pane->Controls()) controls->ControlListCommand(reinterpret_cast<HWND>(lParam), code);
    // The command may have closed the pane.
    if (IsWindow(hwnd) && pane->Owner())
        PostMessageA(pane->Owner()->GetWindowHandle(), RestoreFocusMessage, 0, 0);
}

void ScrollMessage(ScrollBarItem* bar, WPARAM wParam)
{
    if (bar) bar->ScrollBarMessage(int16_t(LOWORD(wParam)), int16_t(HIWORD(wParam)));
}

}  // namespace

LRESULT CALLBACK PaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        ReleasePaneButton();
        return 0;
    }
    // Until WM_CREATE the window has no pane.
    Pane* pane = WindowObject<Pane>(hwnd);
    if (!pane) return DefWindowProcA(hwnd, message, wParam, lParam);

    switch (message) {
    case WM_DESTROY:
        ReleasePaneButton();
        if (gTrackingPane == pane) gTrackingPane = nullptr;
        if (CurrentDrawingPane() == pane) pane->EndPaneDrawing();
        return 0;
    case WM_PAINT:
        pane->PaintPane();
        return 0;
    case WM_ERASEBKGND:
        return pane->IsOpened() ? DefWindowProcA(hwnd, message, wParam, lParam) : 0;
    case WM_WINDOWPOSCHANGING:
        if (pane->IsOpened()) return DefWindowProcA(hwnd, message, wParam, lParam);
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~UINT(SWP_HIDEWINDOW);
        return 0;
    case WM_NCHITTEST: {
        const LRESULT hit = DefWindowProcA(hwnd, message, wParam, lParam);
        if (gTrackingPane && hit == HTCLIENT && gTrackingPane->PaneWindow() != hwnd)
            TrackingPaneLeftAt(kPointerLeft, 0);
        return hit;
    }
    case WM_KEYDOWN:
        pane->PaneKeyDown(int32_t(wParam), ModifierKeys());
        return 0;
    case WM_COMMAND:
        ControlCommand(pane, hwnd, wParam, lParam);
        return 0;
    case WM_VSCROLL:
        ScrollMessage(pane->VerticalBar(), wParam);
        return 0;
    case WM_HSCROLL:
        ScrollMessage(pane->HorizontalBar(), wParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        ButtonDown(pane, hwnd, message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        ButtonUp(pane, hwnd, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
    case PaneRepeatMessage:
        TrackingStep(pane, hwnd, wParam, lParam);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

Pane* TrackingPane()
{
    return gTrackingPane;
}

void TellTrackingPaneLeft()
{
    // The shared handler and the frame report the pointer at (-1, -1).
    constexpr int32_t kPointerOutside = -1;
    if (gTrackingPane) TrackingPaneLeftAt(kPointerOutside, 0);
}

void ReleasePaneButton()
{
    if (gButtonDown) ReleaseCapture();
    gButtonDown = 0;
}

void StartPopUpTracking(Pane* pane)
{
    SetCapture(pane->PaneWindow());
    gPopUpTracking = 1;
    gButtonDown = 1;
}

void StopPopUpTracking()
{
    if (gPopUpTracking) ReleaseCapture();
    gPopUpTracking = 0;
    ReleasePaneButton();
}
