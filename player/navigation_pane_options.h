// The navigation pane's own options menu (titled "Walk", but not the Walk menu of a model window)
// and its strip of three path buttons, which a window may install beside the pane: the pane's options, three speeds, the walk view's path state, the
// aspect ratio and the full-screen mark. Both act on the pane they were made for and live no
// longer than it.
#pragma once

#include <cstdint>

#include "toolkit/button_panel.h"
#include "toolkit/menu.h"

class DocumentFrame;
class NavigationPane;

// What the menu's items do; the menu's table gives their positions.
enum NavigationPaneOptionsCommand : int32_t {
    kOptionsButtonDown = 1,
    kOptionsCrossHair,
    kOptionsVelocityGrid,
    kOptionsNormal,
    kOptionsFaster,
    kOptionsFastest,
    kOptionsRecord,
    kOptionsPlay,
    kOptionsStop,
    kOptionsAspectRatio,
    kOptionsFullScreen,
};

class NavigationPaneOptionsMenu : public Menu {
public:
    // The menu titled "Walk" with its items, acting on the pane and its walk view; null when it
    // could not be made.
    static NavigationPaneOptionsMenu* Make(NavigationPane* pane, DocumentFrame* owner);
    // The position of the command's item, and the command of the item at a position (0 for a
    // separator).
    static int32_t PositionOf(NavigationPaneOptionsCommand command);
    static int32_t CommandAt(int32_t position);

    // Checks the options, the speed, the path state and the aspect ratio from the preferences and
    // the walk view; the path items are disabled for a gallery view.
    void UpdateMenu() override;
    // Performs the command of the item at the position.
    void DoMenuCommand(int32_t position, int32_t extra) override;
    void OptionsCommand(NavigationPaneOptionsCommand command);

private:
    NavigationPane* pane_ = nullptr;
};

class PathStateStrip : public ButtonPanel {
public:
    // Three buttons for the path states recording, idle and play; null when memory is short.
    static PathStateStrip* Make(NavigationPane* pane);

    // The button's path state goes to the walk view, and the strip shows the view's state.
    void Click(int32_t index, int32_t modifiers) override;
    // Presses the button of the state (and releases the others) and redraws.
    void ShowPathState(int32_t state);

private:
    NavigationPane* pane_ = nullptr;
};
