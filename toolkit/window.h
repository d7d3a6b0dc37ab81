// Window: the toolkit object behind every document child window and every windoid (dialogs,
// alerts, progress windows, pop-ups, floating palettes, the help bar's host). It is a drawing
// port that owns a system window, the ordered panes that fill its client area, the menus it adds
// to the menu bar, its size limits, and the creation flags that decide its styles, whether it
// is modal and what closing it does.
#pragma once

#include <windows.h>

#include <cstdint>

#include "draw/port_base.h"
#include "toolkit/modal_disable.h"

class DocumentFrame;
class DynamicArray;
class Pane;
class WindowMenuList;

using WindowFlags = uint32_t;
constexpr WindowFlags kWindowCaption = 0x1;          // WS_CAPTION; heights grow by SM_CYCAPTION
constexpr WindowFlags kWindowSizing = 0x2;           // sizing frame
constexpr WindowFlags kWindowSystemMenu = 0x4;
constexpr WindowFlags kWindowFloating = 0x8;         // owned by the frame, hidden while inactive
constexpr WindowFlags kWindowDialog = 0x10;          // modal dialog windoid
constexpr WindowFlags kWindowReservedA = 0x20;      // carried by view windows and the help bar; no style reads it
constexpr WindowFlags kWindowModalPopUp = 0x40;
constexpr WindowFlags kWindowStartsSelected = 0x100;
constexpr WindowFlags kWindowFixedPopUp = 0x200;     // WS_POPUP | WS_BORDER | WS_SYSMENU, modal
constexpr WindowFlags kWindowPlainPopUp = 0x400;     // WS_POPUP, owned by the frame
constexpr WindowFlags kWindowReservedB = 0x800;     // carried by view windows until made pop-ups; no style reads it
constexpr WindowFlags kWindowTool = 0x1000;          // WS_EX_TOOLWINDOW
// Groups of flags.
constexpr WindowFlags kWindowModal = kWindowDialog | kWindowModalPopUp;
constexpr WindowFlags kWindowNotMdiChild = kWindowModal | kWindowFloating | kWindowPlainPopUp;
constexpr WindowFlags kWindowHandsBackActivation = kWindowFloating | kWindowPlainPopUp;

// What closing the window does.
using WindowKind = int32_t;
constexpr WindowKind kWindowClosesDocument = 0;
constexpr WindowKind kWindowHides = 1;
constexpr WindowKind kWindowDestroys = 2;

// The owner's DocumentWindowNotify codes.
constexpr int32_t kWindowNotifyActivated = 1;
constexpr int32_t kWindowNotifyDeactivated = 2;
constexpr int32_t kWindowNotifyShown = 3;
constexpr int32_t kWindowNotifyHidden = 4;
constexpr int32_t kWindowNotifyDestroying = 5;

// A size limit of 0 means none: the largest window size.
constexpr int32_t kNoSizeLimit = 32000;

struct WindowSize {
    int32_t width;
    int32_t height;
};
// A size of 0 x 0: no size limit, or no size threshold.
constexpr WindowSize kNoWindowSize = {0, 0};

class Window : public PortBase {
public:
    Window() = default;

    // --- PortBase operations ---
    // The port rectangle: the client rectangle (empty without a system window).
    void GetBounds(PortRect* rect) override;
    // Fills the port rectangle and returns the window's prepared DC.
    HDC GetDrawingDC(PortRect* rect) override;
    void ReleaseDrawingDC(HDC dc) override;

    // --- window operations ---
    virtual void ShowWindowObject();
    virtual void HideWindowObject();

    // Makes the system window (hidden until shown). Sizes are content sizes; the window keeps
    // them grown by its frame metrics. A modal window disables the thread's other enabled
    // windows once it exists. kResultNotFound when the system window could not be made: then
    // nothing is disabled and the object stays without a window.
    ResultCode CreateWindowObject(const PortRect& content, const char* title, WindowSize minimum,
                                  WindowSize maximum, WindowSize threshold, WindowFlags flags,
                                  WindowKind kind);
    // Destroys the system window, the panes and the menu list, and frees the object.
    void DestroyWindowObject();
    // What WM_CLOSE does: close the document, hide or destroy, by kind.
    void CloseWindowObject();
    void SelectWindowObject();
    // Moves the window to the content rectangle, its size kept within the limits.
    void MoveWindowObject(const PortRect& content);
    // Replaces the size limits (content sizes, as CreateWindowObject takes them).
    void SetWindowSizeLimits(WindowSize minimum, WindowSize maximum);
    void SetWindowTitle(const char* text);
    // The content rectangle in screen coordinates (empty without a system window).
    void GetWindowBounds(PortRect* rect);
    int32_t IsWindowObjectVisible() const;
    int32_t IsWindowObjectEnabled() const;
    HWND GetWindowHandle() const { return hwnd_; }
    WindowMenuList* GetWindowMenuList() const { return menuList_; }
    void SetWindowOwner(DocumentFrame* owner) { owner_ = owner; }
    DocumentFrame* WindowOwner() const { return owner_; }

    // --- panes ---
    // Opens the pane in this window and appends it.
    void AddPane(Pane* pane);
    // Closes the pane and takes it out of the list (the pane object stays).
    void RemovePane(Pane* pane);
    // The first pane whose bounds and content rectangle hold the window-local point, or null.
    Pane* FindPaneAtPoint(int32_t x, int32_t y);
    int32_t PaneCount() const;
    Pane* PaneAt(int32_t index) const;

    // --- what the shared handler calls ---
    void WindowActivated();
    void WindowDeactivated();
    // Lays every pane out again, with the below-threshold flag, then UpdateWindow.
    void WindowResized();
    // Offers the key to each pane in order: 1 when one took it; 0 when none did or minimized.
    int32_t WindowKeyDown(int32_t key, int32_t modifiers);
    // Called on WM_CREATE: the system window exists.
    void AttachWindowHandle(HWND hwnd) { hwnd_ = hwnd; }

    WindowFlags Flags() const { return flags_; }
    WindowKind Kind() const { return kind_; }
    int32_t IsModal() const { return (flags_ & (kWindowModal | kWindowFixedPopUp)) != 0; }
    int32_t IsMdiChild() const;
    int32_t IsMinimized() const { return minimized_; }
    void SetMinimized(int32_t minimized) { minimized_ = minimized; }
    int32_t IsSelected() const { return selected_; }
    void SetSelected(int32_t selected) { selected_ = selected; }
    int32_t VisibleAtDeactivation() const { return visibleAtDeactivation_; }
    void SetVisibleAtDeactivation(int32_t visible) { visibleAtDeactivation_ = visible; }
    int32_t HasSizingFrame() const { return sizing_; }
    WindowSize MinimumSize() const { return minimum_; }
    WindowSize MaximumSize() const { return maximum_; }
    WindowSize ThresholdSize() const { return threshold_; }
    const char* Title() const { return title_; }

    // Frame rectangles: the content rectangle grown by this window's frame (and caption), and
    // the window rectangle shrunk back to the content.
    void ContentToWindowRect(PortRect* rect) const;
    void WindowToContentRect(PortRect* rect) const;

protected:
    // Use DestroyWindowObject.
    ~Window() override;

private:
    // Enables again what this modal window disabled (once).
    void EnableOtherWindows();

    DocumentFrame* owner_ = nullptr;
    WindowMenuList* menuList_ = nullptr;
    HWND hwnd_ = nullptr;
    int32_t visibleAtDeactivation_ = 0;
    WindowSize minimum_ = {0, 0};
    WindowSize maximum_ = {0, 0};
    WindowSize threshold_ = {0, 0};
    DynamicArray* panes_ = nullptr;  // Pane pointers, in the order they were added
    int32_t minimized_ = 0;
    WindowFlags flags_ = 0;
    WindowKind kind_ = kWindowClosesDocument;
    int32_t selected_ = 0;
    int32_t sizing_ = 0;
    char title_[256] = {};
    DisabledWindows disabled_;
};

// The number of modal windows that exist (the frame refuses to close while any does).
int32_t ModalWindowCount();
