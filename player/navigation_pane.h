// NavigationPane: the pane of a walk view in which the model is drawn and through which the
// person walks. It draws one frame on request (the model rendered into the shared offscreen,
// letterbox bars, the cross hair and the velocity grid), turns the pointer's offset from the
// cross hair into a walk, slide or look step of the walk observer, shows a help line for the
// point under the pointer and takes the navigation commands.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "player/navigation_steps.h"
#include "render/render_context.h"
#include "toolkit/pane.h"

class WalkObserver;
class WalkView;

// Navigation options (the navigation section's option bits, mapped).
constexpr int16_t kNavigateButtonDown = 1;  // steps only while a button is held
constexpr int16_t kNavigateCrossHair = 2;
constexpr int16_t kNavigateVelocityGrid = 4;
constexpr int16_t kNavigateCollision = 0x800;

// The observer moved by one step, with the world test when collision is on.
void StepObserver(WalkObserver* observer, const NavigationDeltas& step, bool collision);

// Draw codes.
constexpr int32_t kDrawPlain = 1;
constexpr int32_t kDrawPaint = 7;
constexpr int32_t kDrawOffscreenOnly = 11;

class NavigationPane : public Pane {
public:
    // --- pane operations ---
    int32_t PaneWantsRepeat() override;
    void PaneCreate(int32_t flags) override;
    // Tells the walk view that its pane is gone, then the pane's own destruction.
    void PaneDestroy() override;
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;
    void PaneLayout(PortRect* rect, ScrollPositions* positions, int32_t mode, int32_t flag) override;
    void PaneLayoutChanged() override;
    void PaneMouseDown(int32_t x, int32_t y, int32_t modifiers) override;
    void PaneMouseUp(int32_t x, int32_t y, int32_t modifiers) override;
    // While the view fills the screen: Space pops the Walk menu up at the pointer and performs
    // the item chosen; Esc leaves full screen through the Walk menu.
    int32_t PaneKeyDown(int32_t key, int32_t modifiers) override;
    // WM_CLOSE on the window that fills the screen leaves full screen as Esc does.
    int32_t PaneCloseRequest() override;
    // The four-character commands CTRV, CTRO, ELIT, PRNT and TILT (big-endian words).
    int32_t PaneHandleCommand(int32_t code, int32_t extra) override;
    // One navigation step.
    void PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside) override;
    void PaneHelpAtPoint(int32_t x, int32_t y, int32_t modifiers) override;

    WalkView* OwnerView() const { return view_; }
    // Hover motion: with it on, the tracking chain keeps stepping without a button (the pane's
    // options menu turns it on when "Button Down" goes off).
    static void SetHoverRepeat(int32_t on);

    // Stores the walk view it belongs to and the document's walk observer (both null: the view
    // let the pane go).
    void AttachNavigation(WalkView* view, WalkObserver* observer);

    void SetFullScreenState(int32_t state) { fullScreen_ = state; }
    int32_t FullScreenState() const { return fullScreen_; }
    // Stores the ratio (0 terms: none) and lays the pane out again when it changed; 1 then.
    int32_t SetAspectRatio(int16_t width, int16_t height);
    void SetNavigationOptions(int16_t options) { options_ = options; }
    int16_t HasNavigationOption(int16_t mask) const { return int16_t(options_ & mask); }

    const PortRect& ViewRect() const { return layout_.view; }
    const PortRect& FirstBarRect() const { return layout_.firstBar; }
    const PortRect& SecondBarRect() const { return layout_.secondBar; }
    const NavigationCells& Cells() const { return cells_; }
    // Frames copied to the window so far.
    int32_t FramesShown() const { return framesShown_; }

private:
    // Sends the owner view a command as (no sender, kind, code, value).
    void SendToView(int32_t kind, int32_t code);
    // The cross hair and the velocity grid over the rendered frame.
    void DrawCrossHair() const;
    void DrawVelocityGrid() const;
    // The frame just copied to the window, for the test build's log.
    void LogFrame();
    // The Walk menu's pop-up and its full-screen item.
    void PopUpWalkMenu(int32_t modifiers);
    void LeaveFullScreen();
    // The defaults section's start position: CTRV keeps the eye's place there, CTRO goes to it.
    void KeepStartPosition();
    void GoToStartPosition();
    // Waits out the rest of the clock tick in which the last step was shown; false when a mouse
    // button came first, which then decides whether the walk goes on.
    bool AwaitStepTick() const;

    WalkView* view_ = nullptr;  // the walk view the pane belongs to
    WalkObserver* observer_ = nullptr;
    // The renderer's lists and frame state for this pane's frames, when they could be made.
    RenderContext renderContext_;
    bool renderContextMade_ = false;
    NavigationCells cells_ = {1, -1};
    int32_t fullScreen_ = 0;
    int16_t aspectWidth_ = 0;
    int16_t aspectHeight_ = 0;
    int16_t options_ = 0;
    int16_t noInterrupt_ = 0;
    NavigationLayout layout_ = {};
    int16_t lastDrawCode_ = 0;
    int32_t framesShown_ = 0;
    uint32_t lastStepTick_ = 0;
    bool stepShown_ = false;
};
