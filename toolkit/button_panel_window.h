// ButtonPanelWindow: the pane that shows a button panel. It places itself by a placement code,
// draws the panel (only the dirty buttons after a press or a tracking step), turns presses,
// tracking steps and releases into the panel's actions, pops a held button's sub-panel up after
// a while, and shows the help of the button under the pointer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/pane.h"

class ButtonPanel;
class Window;

// The draw mode that draws only the dirty buttons.
constexpr int32_t kDrawDirtyButtons = -1000;

// Placement codes: where PaneLayout puts the panel's size in the proposed rectangle R.
constexpr int32_t kPanelAtOffset = 0;     // at the window's offset
constexpr int32_t kPanelBeside = 1;       // with an anchor: right of it, tops aligned
constexpr int32_t kPanelBelow = 2;        // with an anchor: below it, lefts aligned
constexpr int32_t kPanelKept = 3;         // with an anchor: R unchanged
constexpr int32_t kPanelAbove = 4;        // with an anchor: above it, lefts aligned
constexpr int32_t kPanelAtOrigin = 5;
constexpr int32_t kPanelBottomStrip = 6;  // a strip along R's bottom, as wide as the panel
constexpr int32_t kPanelBottomRight = 7;
constexpr int32_t kPanelTopRight = 8;
constexpr int32_t kPanelPopUp = 9;        // a sub-panel's pop-up: R only in mode 4

// Pane flags that give the window a bevelled border and a margin of 3 (an open pop-up has them).
constexpr int32_t kPanelBorderFlags = kPaneBevelledBorder | kPaneOpenPopUp;
constexpr int32_t kPanelMargin = 3;

class ButtonPanelWindow : public Pane {
public:
    ButtonPanelWindow() = default;

    // Pane set-up with the flags; no panel, anchor, extra height or placement (code 0).
    void PaneCreate(int32_t flags) override;
    // Frees the panel and its buttons, then the pane.
    void PaneDestroy() override;
    // Without a panel: a grey content with a line down its right edge. With one: the bevelled
    // border (border flags), then the dirty buttons for kDrawDirtyButtons, else all of them.
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override;
    void PaneLayout(PortRect* rect, ScrollPositions* positions, int32_t mode, int32_t flag) override;
    // The button under the point toggles and the panel's Press runs.
    void PaneMouseDown(int32_t x, int32_t y, int32_t modifiers) override;
    // The panel's Click with the button under the point (-1 for none).
    void PaneMouseUp(int32_t x, int32_t y, int32_t modifiers) override;
    // With the left button held: the button under the pointer is pressed alone once the pointer
    // has moved to it; a button with a sub-panel held long enough pops it up (and Press runs
    // when the choice changed); any other runs the panel's Track.
    void PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside) override;
    // The help of the button under the point, or the empty text.
    void PaneHelpAtPoint(int32_t x, int32_t y, int32_t modifiers) override;

    // Links the window and the panel both ways (null unlinks the panel shown).
    void LinkPanelOwner(ButtonPanel* panel);
    void PanelWindowSetPlacement(Window* anchor, int32_t code);
    // Set-up with no flags showing the panel (not linked back) at the x offset.
    void PanelWindowInitWith(ButtonPanel* panel, int32_t xOffset);
    // The height added below the panel by the placements that use it.
    void SetPanelExtraHeight(int32_t height) { extraHeight_ = height; }

    // Pops the sub-panel of the button up beside it and lets the user drag to a choice; the
    // button takes the chosen glyph and help. 1 when the choice changed, else 0.
    int32_t PopUpSubPanel(int32_t index);

    ButtonPanel* Panel() const { return panel_; }
    int32_t PressedIndex() const { return downIndex_; }
    int32_t CurrentIndex() const { return currentIndex_; }

protected:
    ~ButtonPanelWindow() override = default;

private:
    // The anchor window's content rectangle in the owner's client coordinates.
    PortRect AnchorRect() const;

    ButtonPanel* panel_ = nullptr;
    int32_t offsetX_ = 0;
    int32_t offsetY_ = 0;
    Window* anchor_ = nullptr;
    int32_t placement_ = kPanelAtOffset;
    int32_t extraHeight_ = 0;
    int32_t downIndex_ = -1;
    int32_t currentIndex_ = -1;
    int32_t moved_ = 0;
};
