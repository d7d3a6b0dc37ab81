// Window objects: creation with their styles and size limits, closing by kind, showing,
// selecting and moving, their panes, and what activation and resizing do.
#include "toolkit/window.h"

#include <algorithm>
#include <cstdio>

#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "toolkit/app_commands.h"
#include "toolkit/app_globals.h"
#include "toolkit/document_frame.h"
#include "toolkit/pane.h"
#include "toolkit/window_classes.h"
#include "toolkit/window_menu_list.h"

namespace {

int32_t gModalWindows = 0;

constexpr int32_t kPaneListGrowStep = 8;
constexpr int32_t kMenuListGrowStep = 16;
constexpr DWORD kFixedPopUpStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;

// The styles the window's flags ask for. `style` is what CreateWindowExA gets; `frameStyle`
// also holds the caption that the system gives every overlapped window, so that the frame
// arithmetic matches the window that is made.
struct WindowStyles {
    DWORD style;
    DWORD exStyle;
    DWORD frameStyle;
};

WindowStyles StylesFor(WindowFlags flags)
{
    WindowStyles styles = {WS_CLIPCHILDREN, 0, 0};
    if (flags & kWindowFixedPopUp) {
        styles.style = kFixedPopUpStyle;
    } else if (flags & kWindowPlainPopUp) {
        styles.style = WS_POPUP;
    } else if (flags & kWindowModal) {
        if (flags & kWindowDialog) {
            if (flags & kWindowCaption)
                styles.exStyle |= WS_EX_DLGMODALFRAME;
            else
                styles.style |= WS_POPUP | WS_DLGFRAME;
        }
        if (flags & kWindowModalPopUp) styles.style |= WS_POPUP;
    } else {
        if (flags & kWindowCaption) styles.style |= WS_CAPTION;
        if (flags & kWindowSystemMenu) styles.style |= WS_SYSMENU;
        if (flags & kWindowTool) styles.exStyle |= WS_EX_TOOLWINDOW;
        if (flags & kWindowSizing) {
            styles.style |= WS_THICKFRAME;
            if (!(flags & kWindowFloating)) styles.style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        }
    }
    styles.frameStyle = styles.style;
    if (!(styles.style & (WS_POPUP | WS_CHILD))) styles.frameStyle |= WS_CAPTION;
    return styles;
}

// How much the window's frame adds to its content on each side.
RECT FrameInsets(WindowFlags flags)
{
    const WindowStyles styles = StylesFor(flags);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, styles.frameStyle, FALSE, styles.exStyle);
    return {-frame.left, -frame.top, frame.right, frame.bottom};
}

// A content size grown to the window size; a limit of 0 is none.
WindowSize GrowSize(WindowSize size, const RECT& insets, bool zeroIsNoLimit)
{
    if (zeroIsNoLimit && size.width <= 0) size.width = kNoSizeLimit;
    if (zeroIsNoLimit && size.height <= 0) size.height = kNoSizeLimit;
    if (size.width < kNoSizeLimit) size.width += insets.left + insets.right;
    if (size.height < kNoSizeLimit) size.height += insets.top + insets.bottom;
    return size;
}

}  // namespace

int32_t ModalWindowCount()
{
    return gModalWindows;
}

Window::~Window() = default;

void Window::GetBounds(PortRect* rect)
{
    *rect = {0, 0, 0, 0};
    RECT client;
    if (hwnd_ && GetClientRect(hwnd_, &client)) *rect = {client.left, client.top, client.right, client.bottom};
}

HDC Window::GetDrawingDC(PortRect* rect)
{
    GetBounds(rect);
    return PrepareWindowDC(hwnd_);
}

void Window::ReleaseDrawingDC(HDC dc)
{
    ReleasePortDC(hwnd_, dc);
}

int32_t Window::IsMdiChild() const
{
    return !(flags_ & (kWindowFixedPopUp | kWindowNotMdiChild));
}

void Window::ContentToWindowRect(PortRect* rect) const
{
    const RECT insets = FrameInsets(flags_);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
}

void Window::WindowToContentRect(PortRect* rect) const
{
    const RECT insets = FrameInsets(flags_);
    rect->left += insets.left;
    rect->top += insets.top;
    rect->right -= insets.right;
    rect->bottom -= insets.bottom;
}

ResultCode Window::CreateWindowObject(const PortRect& content, const char* title, WindowSize minimum,
                                      WindowSize maximum, WindowSize threshold, WindowFlags flags,
                                      WindowKind kind)
{
    flags_ = flags;
    InitPortFields(kPortWindow);
    panes_ = nullptr;
    std::snprintf(title_, sizeof title_, "%s", title ? title : "");
    sizing_ = (flags & kWindowSizing) ? 1 : 0;
    minimized_ = 0;
    kind_ = kind;
    selected_ = (flags & kWindowStartsSelected) ? 1 : 0;

    SetWindowSizeLimits(minimum, maximum);
    threshold_ = GrowSize(threshold, FrameInsets(flags), false);

    PortRect frame = content;
    ContentToWindowRect(&frame);
    const WindowStyles styles = StylesFor(flags);

    SetCreatingWindow(this);
    if (DocumentFrame* current = GetCurrentFrame()) current->UnparkFrame();
    HWND hwnd = nullptr;
    if (IsMdiChild()) {
        if (HWND client = MDIClientHandle()) {
            MDICREATESTRUCTA create = {};
            create.szClass = kDocumentClassName;
            create.szTitle = title_;
            create.hOwner = AppInstance();
            create.x = frame.left;
            create.y = frame.top;
            create.cx = frame.Width();
            create.cy = frame.Height();
            create.style = styles.style;
            hwnd = reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        }
    } else {
        hwnd = CreateWindowExA(styles.exStyle, kWindoidClassName, title_, styles.style, frame.left, frame.top,
                               frame.Width(), frame.Height(), CurrentFrameHandle(), nullptr, AppInstance(), nullptr);
    }
    SetCreatingWindow(nullptr);
    hwnd_ = hwnd;
    if (!menuList_) menuList_ = WindowMenuList::Make(kMenuListGrowStep);
    if (!hwnd_) return kResultNotFound;
    if (IsModal()) {
        ++gModalWindows;
        disabled_.DisableOthers(hwnd_);
    }
    return kResultOk;
}

void Window::EnableOtherWindows()
{
    disabled_.EnableAgain();
}

void Window::DestroyWindowObject()
{
    if (IsModal()) EnableOtherWindows();
    if (owner_ && !(flags_ & kWindowFixedPopUp)) owner_->DocumentWindowNotify(this, kWindowNotifyDestroying);
    while (PaneCount() > 0) {
        Pane* pane = PaneAt(0);
        RemovePane(pane);
        pane->PaneDestroy();
    }
    DestroyArray(panes_);
    if (menuList_) menuList_->Destroy();
    menuList_ = nullptr;
    if (hwnd_) {
        // Nothing that comes while the system window goes reaches this object any more.
        SetWindowLongPtrA(hwnd_, 0, 0);
        if (IsMdiChild())
            SendMessageA(GetParent(hwnd_), WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd_), 0);
        else
            DestroyWindow(hwnd_);
        if (IsModal()) --gModalWindows;
    }
    if (owner_) owner_->UnregisterDocumentWindow(this);
    hwnd_ = nullptr;
    if (CreatingWindow() == this) SetCreatingWindow(nullptr);
    owner_ = nullptr;
    delete this;
}

void Window::CloseWindowObject()
{
    DocumentFrame* owner = owner_;
    const bool wasActive = owner && ActiveDocumentWindow(owner) == this;
    PostAppCommand(kCommandRefreshMenus);
    if (!(flags_ & (kWindowFloating | kWindowModal)) && owner && owner->CountVisibleDocumentWindows() == 1) {
        owner->CloseAndDeleteDocument();
        return;
    }
    bool destroyed = false;
    switch (kind_) {
    case kWindowClosesDocument:
        if (owner) {
            owner->CloseAndDeleteDocument();
            return;
        }
        break;
    case kWindowHides:
        HideWindowObject();
        break;
    case kWindowDestroys:
        if (IsModal()) EnableOtherWindows();
        HideWindowObject();
        DestroyWindowObject();
        destroyed = true;
        break;
    }
    if (!wasActive) return;
    Window* active = ActiveDocumentWindow(owner);
    if (!destroyed && active == this)
        SendMessageA(owner->MdiClient(), WM_MDINEXT, reinterpret_cast<WPARAM>(hwnd_), 0);
    else if (active)
        active->SelectWindowObject();
}

void Window::ShowWindowObject()
{
    if (IsWindowObjectVisible()) return;
    if (owner_) owner_->DocumentWindowNotify(this, kWindowNotifyShown);
    if (!hwnd_) return;
    if (!owner_ || IsMdiChild()) {
        ShowWindow(hwnd_, SW_SHOW);
    } else {
        HWND frame = owner_->DocumentFrameOwner();
        if (frame && (!IsWindowVisible(frame) || IsIconic(frame))) {
            ShowWindow(hwnd_, SW_HIDE);
            return;
        }
        ShowWindow(hwnd_, SW_SHOW);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (owner_ && IsMdiChild() && owner_->MdiClient())
        SendMessageA(owner_->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd_), 0);
    WindowActivated();
    if (owner_) owner_->BringDocumentWindowToFront(this);
    selected_ = 1;
}

void Window::HideWindowObject()
{
    if (owner_) owner_->DocumentWindowNotify(this, kWindowNotifyHidden);
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Window::SelectWindowObject()
{
    if (!IsWindowObjectVisible()) {
        ShowWindowObject();
        return;
    }
    if (owner_ && IsMdiChild() && owner_->MdiClient())
        SendMessageA(owner_->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd_), 0);
    BringWindowToTop(hwnd_);
    PostAppCommand(kCommandRefreshMenus);
    selected_ = 1;
}

void Window::MoveWindowObject(const PortRect& content)
{
    PortRect frame = content;
    ContentToWindowRect(&frame);
    const int32_t width = std::min(std::max(frame.Width(), minimum_.width), maximum_.width);
    const int32_t height = std::min(std::max(frame.Height(), minimum_.height), maximum_.height);
    POINT corner = {frame.left, frame.top};
    if (hwnd_ && (GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD)) ScreenToClient(GetParent(hwnd_), &corner);
    if (hwnd_) MoveWindow(hwnd_, corner.x, corner.y, width, height, TRUE);
    selected_ = 1;
}

void Window::SetWindowSizeLimits(WindowSize minimum, WindowSize maximum)
{
    const RECT insets = FrameInsets(flags_);
    minimum_ = GrowSize(minimum, insets, false);
    maximum_ = GrowSize(maximum, insets, true);
}

void Window::SetWindowTitle(const char* text)
{
    std::snprintf(title_, sizeof title_, "%s", text ? text : "");
    if (!hwnd_) return;
    SetWindowTextA(hwnd_, title_);
    if (!(flags_ & kWindowModal) && IsWindowObjectVisible()) PostAppCommand(kCommandRefreshMenus);
}

void Window::GetWindowBounds(PortRect* rect)
{
    *rect = {0, 0, 0, 0};
    RECT frame;
    if (!hwnd_ || !GetWindowRect(hwnd_, &frame)) return;
    *rect = {frame.left, frame.top, frame.right, frame.bottom};
    WindowToContentRect(rect);
}

int32_t Window::IsWindowObjectVisible() const
{
    return hwnd_ && IsWindowVisible(hwnd_);
}

int32_t Window::IsWindowObjectEnabled() const
{
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void Window::AddPane(Pane* pane)
{
    if (!panes_) panes_ = NewDynamicArray(0, sizeof(Pane*), kPaneListGrowStep);
    if (!panes_) return;
    pane->OpenPane(this);
    panes_->Append(&pane);
    pane->SetActiveFlag(IsWindowObjectEnabled());
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    pane->RestorePaneScroll();
}

void Window::RemovePane(Pane* pane)
{
    const int32_t index = FindPointer(panes_, pane);
    if (index < 0) return;
    pane->SavePaneScroll();
    pane->ClosePane();
    IgnoreResult(panes_->Remove(index));
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

Pane* Window::FindPaneAtPoint(int32_t x, int32_t y)
{
    PortRect port;
    GetBounds(&port);
    if (!port.Contains(x, y)) return nullptr;
    for (int32_t i = 0; i < PaneCount(); ++i) {
        Pane* pane = PaneAt(i);
        const PortRect& rect = pane->PaneRect();
        if (rect.Contains(x, y) && pane->ContentRect().Contains(x - rect.left, y - rect.top)) return pane;
    }
    return nullptr;
}

int32_t Window::PaneCount() const
{
    return panes_ ? panes_->ArrayCount() : 0;
}

Pane* Window::PaneAt(int32_t index) const
{
    return PointerAt<Pane>(panes_, index);
}

void Window::WindowActivated()
{
    if (!IsWindowObjectVisible()) return;
    selected_ = 1;
    if (!minimized_) {
        for (int32_t i = 0; i < PaneCount(); ++i) PaneAt(i)->PaneActivate();
    }
    if (owner_ && !owner_->NotificationOff()) owner_->DocumentWindowNotify(this, kWindowNotifyActivated);
    PostAppCommand(kCommandRefreshMenus);
}

void Window::WindowDeactivated()
{
    if (!IsWindowObjectVisible()) return;
    if (!minimized_) {
        for (int32_t i = 0; i < PaneCount(); ++i) PaneAt(i)->PaneDeactivate();
    }
    if (owner_ && !owner_->NotificationOff()) owner_->DocumentWindowNotify(this, kWindowNotifyDeactivated);
    PostAppCommand(kCommandRefreshMenus);
}

void Window::WindowResized()
{
    // The threshold is a window size, so the window's own size is what meets it.
    RECT frame = {0, 0, 0, 0};
    if (hwnd_) GetWindowRect(hwnd_, &frame);
    const bool atLeast = frame.right - frame.left >= threshold_.width && frame.bottom - frame.top >= threshold_.height;
    for (int32_t i = 0; i < PaneCount(); ++i) PaneAt(i)->PaneResize(atLeast ? 0 : 1);
    if (hwnd_) UpdateWindow(hwnd_);
}

int32_t Window::WindowKeyDown(int32_t key, int32_t modifiers)
{
    if (minimized_) return 0;
    for (int32_t i = 0; i < PaneCount(); ++i) {
        if (PaneAt(i)->PaneKeyDown(key, modifiers)) return 1;
    }
    return 0;
}
