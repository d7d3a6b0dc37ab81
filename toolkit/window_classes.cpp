// The four window classes, the creating-window slot, the windoid position lock and the handler
// that document windows and windoids share.
#include "toolkit/window_classes.h"

#include "draw/program_palette.h"
#include "foundation/ui_services.h"
#include "toolkit/app_commands.h"
#include "toolkit/app_globals.h"
#include "toolkit/control_list.h"
#include "toolkit/dialog_window.h"
#include "toolkit/document_frame.h"
#include "toolkit/input_events.h"
#include "toolkit/pane.h"
#include "toolkit/pane_item.h"
#include "toolkit/push_button.h"
#include "toolkit/window.h"

namespace {

Window* gCreatingWindow = nullptr;
int32_t gWindoidLock = 0;

constexpr int32_t kFrameIcon = 1;
constexpr int32_t kWindowIcon = 5;
constexpr int32_t kNoIcon = 0;
// The item style flags that make a control a candidate for the open drop-down test.
constexpr uint16_t kFocusableItemFlags = 0x3;
constexpr UINT kWindoidPositionLockFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER;
// The bits of a WM_SYSCOMMAND word that name the command; the system uses the low four itself.
constexpr WPARAM kSystemCommandMask = 0xFFF0;

struct WindowClass {
    const char* name;
    UINT style;
    int32_t icon;
    WNDPROC procedure;
};

constexpr WindowClass kClasses[] = {
    {kFrameClassName, CS_DBLCLKS, kFrameIcon, FrameWindowProc},
    {kDocumentClassName, CS_DBLCLKS | CS_BYTEALIGNCLIENT, kWindowIcon, WindowProc},
    {kWindoidClassName, CS_DBLCLKS | CS_SAVEBITS, kWindowIcon, WindoidProc},
    {kPaneClassName, CS_DBLCLKS, kNoIcon, PaneProc},
};

// A floating windoid hands the activation back to the frame, unless the pointer is over a
// control whose drop-down list is open.
void RestoreFocus(HWND hwnd, Window* window)
{
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hwnd, &point);
    if (Pane* pane = window->FindPaneAtPoint(point.x, point.y)) {
        ControlList* controls = pane->Controls();
        for (int32_t i = 0; controls && i < controls->ArrayCount(); ++i) {
            PaneItem* item = controls->ItemAt(i);
            if (!(item->Style().flags & kFocusableItemFlags)) continue;
            auto* button = dynamic_cast<PushButton*>(item);
            if (button && button->Control() && SendMessageA(button->Control(), CB_GETDROPPEDSTATE, 0, 0))
                return;
            break;
        }
    }
    if (hwnd != GetActiveWindow()) return;
    HWND frame = CurrentFrameHandle();
    if (!frame && GetCurrentFrame()) frame = GetCurrentFrame()->FrameWindow();
    if (frame) SetActiveWindow(frame);
}

// WM_CLOSE. The panes may act on the request themselves (a dialog presses its cancel button, the
// help bar keeps its window); the window then stays. A modal windoid's loop or operation is
// running: it is never closed from here. Other windows close by their kind, unless a modal run,
// a modal window or a load is under way.
LRESULT CloseRequested(HWND hwnd, Window* window)
{
    for (int32_t i = 0; i < window->PaneCount(); ++i) {
        if (window->PaneAt(i)->PaneCloseRequest()) return 0;
    }
    if (window->IsModal() || FrameCloseRefused()) return 0;
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    window->CloseWindowObject();
    return 0;
}

}  // namespace

int32_t RegisterWindowClasses(HINSTANCE instance)
{
    for (const WindowClass& entry : kClasses) {
        WNDCLASSA windowClass = {};
        windowClass.style = entry.style;
        windowClass.lpfnWndProc = entry.procedure;
        windowClass.cbWndExtra = sizeof(LONG_PTR);
        windowClass.hInstance = instance;
        windowClass.hIcon = entry.icon ? LoadIconA(instance, MAKEINTRESOURCEA(entry.icon)) : nullptr;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_APPWORKSPACE + 1));
        windowClass.lpszClassName = entry.name;
        if (!RegisterClassA(&windowClass)) return 0;
    }
    return 1;
}

void SetCreatingWindow(Window* window)
{
    gCreatingWindow = window;
}

Window* CreatingWindow()
{
    return gCreatingWindow;
}

void SetWindoidPositionLock(int32_t locked)
{
    gWindoidLock = locked;
}

int32_t WindoidPositionLock()
{
    return gWindoidLock;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = HandleWindowMessage(hwnd, message, wParam, lParam);
    return result != kNotHandled ? result : DefMDIChildProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK WindoidProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_WINDOWPOSCHANGING && gWindoidLock)
        reinterpret_cast<WINDOWPOS*>(lParam)->flags |= kWindoidPositionLockFlags;
    const LRESULT result = HandleWindowMessage(hwnd, message, wParam, lParam);
    return result != kNotHandled ? result : DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* window = WindowObject<Window>(hwnd);
    if (!window) window = gCreatingWindow;
    if (!window) return kNotHandled;
    const bool handsBack = (window->Flags() & kWindowHandsBackActivation) != 0;

    switch (message) {
    case WM_CREATE:
        SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(window));
        window->AttachWindowHandle(hwnd);
        if (handsBack) PostMessageA(hwnd, RestoreFocusMessage, 0, 0);
        return 0;
    case WM_SIZE:
        // Every change of the show state ends here, whichever way it came: the MDI client
        // restores a child for WM_MDIRESTORE without any WM_SYSCOMMAND, which would leave the
        // window minimized for good (its panes never drawn, keys and commands refused).
        if (wParam == SIZE_MINIMIZED)
            window->SetMinimized(1);
        else if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
            window->SetMinimized(0);
        window->WindowResized();
        return kNotHandled;
    case WM_ACTIVATE:
        if (handsBack && LOWORD(wParam) != WA_INACTIVE && lParam)
            PostMessageA(reinterpret_cast<HWND>(lParam), RestoreFocusMessage, 0, 0);
        return kNotHandled;
    case WM_CLOSE:
        return CloseRequested(hwnd, window);
    case WM_SETFOCUS:
        // A dialog windoid that gets the focus (given back after a dialog over it closed, or
        // activated by a click) hands it to its default control, as dialogs do.
        if ((window->Flags() & kWindowDialog) && window->PaneCount() > 0) {
            auto* dialog = dynamic_cast<DialogWindow*>(window->PaneAt(0));
            if (dialog && dialog->FocusedControl()) {
                dialog->FocusedControl()->ItemFocusWindow();
                return 0;
            }
        }
        return kNotHandled;
    case WM_ERASEBKGND:
        return 0;
    case WM_QUERYENDSESSION:
        // Windoids answer for the program as the frame does (the about window stands alone
        // before any frame exists).
        return FrameCloseRefused() ? 0 : kNotHandled;
    case WM_ACTIVATEAPP:
        if (window->Flags() & kWindowFloating) {
            if (!wParam) window->SetVisibleAtDeactivation(IsWindowVisible(hwnd) ? 1 : 0);
            if (window->VisibleAtDeactivation()) ShowWindow(hwnd, wParam ? SW_RESTORE : SW_HIDE);
        }
        return kNotHandled;
    case WM_GETMINMAXINFO:
        if (!(window->Flags() & kWindowDialog)) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {window->MinimumSize().width, window->MinimumSize().height};
            info->ptMaxTrackSize = {window->MaximumSize().width, window->MaximumSize().height};
        }
        return kNotHandled;
    case WM_NCHITTEST:
        TellTrackingPaneLeft();
        return kNotHandled;
    case WM_KEYDOWN:
        return window->WindowKeyDown(int32_t(wParam), ModifierKeys());
    case WM_SYSCOMMAND:
        switch (wParam & kSystemCommandMask) {
        case SC_MINIMIZE:
            window->SetMinimized(1);
            break;
        case SC_MAXIMIZE:
        case SC_RESTORE:
            window->SetMinimized(0);
            break;
        }
        return kNotHandled;
    case WM_MOUSEMOVE:
        SetCursorShape(kArrowCursor);
        return 0;
    case WM_PARENTNOTIFY:
        return 0;
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) == hwnd)
            window->WindowActivated();
        else
            window->WindowDeactivated();
        return 0;
    case WM_QUERYNEWPALETTE:
        RealizeProgramPalette(hwnd);
        return 1;
    case WM_PALETTECHANGED:
        InvalidateRect(hwnd, nullptr, FALSE);
        return kNotHandled;
    case RestoreFocusMessage:
        if (handsBack) RestoreFocus(hwnd, window);
        return 0;
    default:
        return kNotHandled;
    }
}
