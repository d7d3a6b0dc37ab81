// NavigationPanel: the strip of twelve buttons under a walk view's picture: Stop, Play and Pause
// for the walk path, six motion buttons that move the walk observer while they are held, and
// Home. The panel's press, track and click actions drive the view's walk observer and ask the
// view to redraw.
#pragma once

#include <cstdint>

#include "toolkit/button_panel.h"
#include "toolkit/button_panel_window.h"

class WalkObserver;
class WalkView;

// The buttons by index.
constexpr int32_t kPanelStop = 0;
constexpr int32_t kPanelPlay = 1;
constexpr int32_t kPanelPause = 2;
constexpr int32_t kPanelFirstFiller = 3;
constexpr int32_t kPanelForward = 4;
constexpr int32_t kPanelBackward = 5;
constexpr int32_t kPanelTurnLeft = 6;
constexpr int32_t kPanelTurnRight = 7;
constexpr int32_t kPanelUp = 8;
constexpr int32_t kPanelDown = 9;
constexpr int32_t kPanelSecondFiller = 10;
constexpr int32_t kPanelHome = 11;
constexpr int32_t kPanelButtonCount = 12;

// The height of the panel's strip: SM_CYVTHUMB pixels, one less than the scroll bar's thickness.
// The navigation pane above it leaves this much room.
int32_t PanelStripHeight();

// The panel of the walk view: its buttons, their help and what pressing, holding and releasing
// them does.
class NavigationButtonPanel : public ButtonPanel {
public:
    // One row of twelve large cells, the buttons with their glyphs and help, Stop pressed.
    ResultCode BuildCells();
    void SetNavigationOwner(WalkView* view, WalkObserver* observer)
    {
        view_ = view;
        observer_ = observer;
    }

    void Press(int32_t index, int32_t modifiers) override;
    void Click(int32_t index, int32_t modifiers) override;
    void Track(int32_t index, int32_t oldIndex, int32_t modifiers) override;

    // Stop, Play or Pause pressed and the other two of them released.
    void SelectPathState(int32_t index);
    // The first of Stop, Play and Pause that is pressed, or -1.
    int32_t PathState() const;

protected:
    ~NavigationButtonPanel() override = default;

private:
    // The motion button's step of the observer (with the world test when the navigation pane
    // asks for it), then the frame redrawn through the view.
    void Step(int32_t index);
    bool HasPath() const;

    WalkView* view_ = nullptr;
    WalkObserver* observer_ = nullptr;
};

class NavigationPanel : public ButtonPanelWindow {
public:
    // The button panel window's drawing, then a black line just above the content's top edge.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;
    // A strip of SM_CYVTHUMB pixels along the bottom of the rectangle, its cells sharing the width.
    void PaneLayout(PortRect* rect, ScrollPositions* positions, int32_t mode, int32_t flag) override;

    // Tells the view that the panel is gone, then the button panel window's destruction (which
    // frees the buttons).
    void PaneDestroy() override;

    // Stores the view, makes the navigation button panel with its cells (once), gives it the
    // view and the observer and links it to this window. Null for both: the view let it go.
    virtual void AttachNavigation(WalkView* view, WalkObserver* observer);

    // Stop, Play or Pause shown as the path state, drawn at once.
    void ShowPathState(int32_t index);

    // A value of the panel's own (0 at first) that nothing else reads or changes.
    int32_t Spare() const { return spare_; }
    void SetSpare(int32_t value) { spare_ = value; }

    // The navigation buttons while this window shows them.
    NavigationButtonPanel* NavigationButtons() const { return Panel() == buttons_ ? buttons_ : nullptr; }

protected:
    ~NavigationPanel() override = default;

private:
    NavigationButtonPanel* buttons_ = nullptr;
    WalkView* view_ = nullptr;
    int32_t spare_ = 0;
};

// Plays the observer's path (PlayWalkPath). A click on the panel that stopped play is spent on
// stopping it, so that it presses no button of the panel afterwards.
void PlayWalkPathWithPanel(Pane* panel, WalkObserver* observer);
