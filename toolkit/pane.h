// Pane: a child window inside a toolkit Window that is at the same time a drawing port.
// Everything the toolkit shows inside a window is drawn by a pane. A pane owns a control list of
// items, optionally a vertical and a horizontal scroll bar, and may draw through the one shared
// offscreen of the program. PaneProc turns messages into calls of the pane's virtual operations;
// mouse tracking is paced by the pane's own PaneRepeatMessage, which a pane posts to itself while
// a button is held, so that tracking steps pass through the ordinary message loop.
#pragma once

#include <windows.h>

#include <cstdint>

#include "draw/port_base.h"

class ControlList;
class PaneItem;
class ScrollBarItem;
class Window;
class WindowMenuList;

// Paces mouse tracking: at most one is pending for the program.
constexpr UINT PaneRepeatMessage = 1066;

// Creation flags.
constexpr int32_t kPaneVerticalBar = 1;
constexpr int32_t kPaneHorizontalBar = 2;
constexpr int32_t kPaneDimWhenInactive = 4;

// Pane flags.
constexpr int32_t kPaneBevelledBorder = 0x10;  // a bevelled border round a button panel's content
constexpr int32_t kPaneOpenPopUp = 0x40;

// Layout modes.
constexpr int32_t kLayoutOpen = 1;
constexpr int32_t kLayoutResize = 2;
constexpr int32_t kLayoutBounds = 3;
constexpr int32_t kLayoutPopUp = 4;

// Draw modes.
constexpr int32_t kDrawFull = 1;
constexpr int32_t kDrawScrolled = 2;
constexpr int32_t kDrawBarsActive = 3;
constexpr int32_t kDrawBarsInactive = 4;
constexpr int32_t kDrawUpdate = 7;
constexpr int32_t kDrawUpdateInactive = 8;

// A pane's mouse modifier bits beyond ModifierKeys (input_events.h).
constexpr int32_t kModifierMiddleButton = 4;
constexpr int32_t kModifierRightButton = 8;
constexpr int32_t kModifierDoubleClick = 0x10000;

// The point a pane that has been left is told of.
constexpr int32_t kPointerLeft = -32000;

// Horizontal and vertical scroll positions.
struct ScrollPositions {
    int32_t horizontal;
    int32_t vertical;
};

class Pane : public PortBase {
public:
    Pane() = default;

    // --- PortBase operations ---
    // The owner's port rectangle laid out for the bounds (kLayoutBounds) with the current scroll
    // positions.
    void GetBounds(PortRect* rect) override;
    // GetBounds, then the pane's DC (null when not drawing).
    HDC GetDrawingDC(PortRect* rect) override;
    // PaneBeginOffscreen: links the shared offscreen to this pane (made or resized to the
    // pane's bounds) and locks it. kResultNotFound when there is no offscreen to lock.
    ResultCode Lock() override;
    // PaneEndOffscreen.
    void Unlock() override;

    // --- pane operations, in their fixed order ---
    // Non-zero keeps a tracking chain alive without a button or modifier.
    virtual int32_t PaneWantsRepeat() { return 0; }
    // Sets the pane up (creation flags above).
    virtual void PaneCreate(int32_t flags);
    // Leaves the owner, deletes the controls, bars and menu list, and frees the pane.
    virtual void PaneDestroy();
    // Scrolls by the amounts; bit 1 when dy hit the vertical limit, bit 2 dx the horizontal one.
    virtual int32_t PaneScrollBy(int32_t dx, int32_t dy);
    virtual void PaneActivate();
    virtual void PaneDeactivate();
    virtual void PaneOwnerResized();
    virtual void PaneComputeScrollRange();
    // Draws the pane; the default draws the controls.
    virtual void Draw(int32_t mode, int32_t horizontal, int32_t vertical);
    // Lays the pane out: `rect` and `positions` in and out.
    virtual void PaneLayout(PortRect* /*rect*/, ScrollPositions* /*positions*/, int32_t /*mode*/, int32_t /*flag*/) {}
    virtual void PaneLayoutChanged() {}
    virtual void PaneMouseDown(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) {}
    virtual void PaneMouseUp(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) {}
    // Non-zero when the pane took the key.
    virtual int32_t PaneKeyDown(int32_t /*key*/, int32_t /*modifiers*/) { return 0; }
    // Non-zero when the pane took the command.
    virtual int32_t PaneHandleCommand(int32_t /*code*/, int32_t /*extra*/) { return 0; }
    // A tracking step; inside the content rectangle the point goes to the controls.
    virtual void PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside);
    virtual void PaneGetDocumentRect(PortRect* rect) { *rect = documentRect_; }
    virtual void PaneVerticalBarSetUp() {}
    virtual void PaneHorizontalBarSetUp() {}
    virtual int32_t PaneAcceptsDrop(Pane* /*source*/) { return 0; }
    virtual void PaneDrop(int32_t /*x*/, int32_t /*y*/, Pane* /*source*/) {}
    // Frames the 50-pixel square round the point and draws its diagonals.
    virtual void PaneDrawDragFeedback(int32_t x, int32_t y);
    virtual void PaneHelpAtPoint(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) {}
    // WM_CLOSE reached the pane's window (a dialog presses its cancel button; an open pop-up
    // pane ends its pop-up; the help bar keeps its window): non-zero when the pane acted on it,
    // and the window then stays.
    virtual int32_t PaneCloseRequest();

    // --- opening, closing and layout ---
    // Lays the pane out in the window and makes its child window and bars.
    void OpenPane(Window* owner);
    // Detaches the bars and controls and destroys the child window.
    void ClosePane();
    void PaneResize(int32_t flag);
    // PaneLayout, then 1 when right and bottom stayed and the owner has a sizing frame.
    int32_t PaneLayoutFrom(PortRect* rect, ScrollPositions* positions, int32_t mode, int32_t flag);
    void SetPaneLayoutParameter(int32_t value);
    // Shows the pane as a modal pop-up window at (x, y) of the current drawing pane (of the
    // screen when none is current), laid out as a pop-up (kLayoutPopUp) and grown by the margin,
    // fitted on the screen or, with an anchor (screen coordinates), placed beside it. The current pane's own
    // tracking ends first. Runs until a press outside the pane or a release inside it, WM_CLOSE
    // on its window, or WM_QUIT (posted again); then the window goes and the pane is as before.
    // kResultOutOfMemory (with a beep) when there is no shared offscreen, kResultNotFound when
    // the window could not be made.
    ResultCode PopUpPane(int32_t x, int32_t y, int32_t margin, const PortRect* anchor);

    // --- mouse ---
    // 1 when the pane took the press, 2 when a control did.
    int32_t PaneButtonDown(int32_t x, int32_t y, int32_t modifiers);
    void PaneButtonUp(int32_t x, int32_t y, int32_t modifiers);
    void PaneTrackingStep(int32_t x, int32_t y, int32_t modifiers);

    // --- drawing ---
    void RedrawPane(int32_t mode);
    // WM_PAINT: RedrawPane inside BeginPaint and EndPaint (7 with an update rectangle, else 1);
    // the update region is validated also when nothing could be drawn.
    void PaintPane();
    // Makes this the current drawing pane with its DC as the current port.
    void BeginPaneDrawing();
    void EndPaneDrawing();
    // Copies the shared offscreen to the pane when this pane is its link.
    void PaneShowLinkedOffscreen(const PortRect& rect);
    // Draws the pane into the port instead of its window, between the port's Activate and
    // Deactivate, with the port's bounds as the content and the port's depth; 0, or the port's
    // failure (one of Deactivate is also shown in the alert).
    ResultCode RenderPaneToPort(PortBase* port);
    // Draws the controls (the default Draw).
    void PaneDrawControls(int32_t mode, int32_t horizontal, int32_t vertical);
    void RefreshScreenDepth();

    // --- controls, menus and help ---
    void PaneAddControl(PaneItem* item);
    void PaneRemoveControl(PaneItem* item);
    // Null: a pane keeps no focused control.
    PaneItem* PaneFocusedControl() { return nullptr; }
    ControlList* Controls() const { return controls_; }
    WindowMenuList* PaneMenuList() const { return menuList_; }

    // --- scrolling ---
    int32_t GetVerticalPosition();
    int32_t GetHorizontalPosition();
    void SetVerticalPosition(int32_t position);
    void SetHorizontalPosition(int32_t position);
    void SetVerticalRange(int32_t minimum, int32_t maximum);
    void SetHorizontalRange(int32_t minimum, int32_t maximum);
    void GetVerticalRange(int32_t* minimum, int32_t* maximum);
    void GetHorizontalRange(int32_t* minimum, int32_t* maximum);
    void SetVerticalSteps(int32_t step, int32_t page, int32_t line);
    void SetHorizontalSteps(int32_t step, int32_t page, int32_t line);
    void PaneScrollTo(int32_t horizontal, int32_t vertical, int32_t mode);
    void UpdatePaneScrollBars(int32_t redraw);
    void SavePaneScroll();
    void RestorePaneScroll();
    ScrollBarItem* VerticalBar() const { return verticalBar_; }
    ScrollBarItem* HorizontalBar() const { return horizontalBar_; }

    // --- fields ---
    Window* Owner() const { return owner_; }
    HWND PaneWindow() const { return hwnd_; }
    const PortRect& PaneRect() const { return paneRect_; }
    const PortRect& ContentRect() const { return contentRect_; }
    const PortRect& ScrollRange() const { return scrollRange_; }
    int32_t CentreX() const { return centreX_; }
    int32_t CentreY() const { return centreY_; }
    int32_t IsActive() const { return active_; }
    void SetActiveFlag(int32_t active) { active_ = active; }
    int32_t IsOpened() const { return opened_; }
    int32_t IsInPaint() const { return inPaint_; }
    int32_t PaneFlags() const { return paneFlags_; }
    void SetPaneFlags(int32_t flags) { paneFlags_ = flags; }
    int32_t ScreenDepthBits() const { return screenDepth_; }
    PortBase* RedirectPort() const { return redirect_; }
    void SetRedirectPort(PortBase* port) { redirect_ = port; }
    int32_t LastDownX() const { return downX_; }
    int32_t LastDownY() const { return downY_; }
    HGDIOBJ PaneGdiObject() const { return gdiObject_; }
    // The object is deleted with the pane.
    void SetPaneGdiObject(HGDIOBJ object) { gdiObject_ = object; }

protected:
    // Use PaneDestroy.
    ~Pane() override = default;

    // Sets the content rectangle to the pane rectangle's size, and the centre.
    void SetContentFromPaneRect();
    // Activates the bar, gives it the range and keeps its position within it.
    void FitBarToRange(ScrollBarItem* bar, int32_t minimum, int32_t maximum);

    Window* owner_ = nullptr;
    PortRect paneRect_ = {0, 0, 0, 0};
    PortRect paneRectCopy_ = {0, 0, 0, 0};
    PortRect contentRect_ = {0, 0, 0, 0};
    PortRect documentRect_ = {0, 0, 0, 0};
    PortRect scrollRange_ = {0, 0, 0, 0};
    ScrollBarItem* verticalBar_ = nullptr;
    ScrollBarItem* horizontalBar_ = nullptr;
    HWND hwnd_ = nullptr;
    PAINTSTRUCT paint_ = {};
    HGDIOBJ gdiObject_ = nullptr;
    int32_t inPaint_ = 0;
    int32_t layoutResult_ = 0;
    int32_t downX_ = 0;
    int32_t downY_ = 0;
    int32_t active_ = 0;
    int32_t centreX_ = 0;
    int32_t centreY_ = 0;
    int32_t layoutParameter_ = 0;
    int32_t originX_ = 0;
    int32_t originY_ = 0;
    int32_t screenDepth_ = 0;
    ControlList* controls_ = nullptr;
    int32_t paneFlags_ = 0;
    int32_t dimWhenInactive_ = 0;
    WindowMenuList* menuList_ = nullptr;
    PortBase* redirect_ = nullptr;
    int32_t creationFlags_ = 0;
    ScrollPositions savedScroll_ = {0, 0};
    int32_t opened_ = 0;
};

// The window procedure of "Tamrix:PaneProc".
LRESULT CALLBACK PaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The pane whose DC is the current port, or null.
Pane* CurrentDrawingPane();
// ClientToScreen and ScreenToClient with the current drawing pane's window (the screen's
// coordinates unchanged when no pane is current).
void ClientToScreenCurrentPane(POINT* point);
void ScreenToClientCurrentPane(POINT* point);
void ClientRectToScreenCurrentPane(PortRect* rect);
// The pane that last received a tracking step, or null; the shared handler and the frame tell
// it that the pointer left (a step at (-1, -1)) and forget it.
Pane* TrackingPane();
void TellTrackingPaneLeft();

// When a current port exists: the solid pattern, the copying pen, opaque text, the system font,
// black on white.
void ResetPenState();

// Shows the text in the current frame's help bar (with the help bar switch on). A caller that
// knows the place in the pane the text is about passes it as the reference point; the help bar
// shows the text alone.
void ShowPaneHelp(const char* text, POINT reference = {-1, -1});
// Releases the mouse capture when a button went down in a pane, and forgets the button.
void ReleasePaneButton();
// Pop-up tracking: captures the mouse for the pane and marks a button down, so that a press
// outside the open pop-up pane or a release inside it ends the modal run.
void StartPopUpTracking(Pane* pane);
// Ends pop-up tracking (the capture released, no button held) without ending any run.
void StopPopUpTracking();
