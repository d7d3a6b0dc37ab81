// ButtonPanel: a strip or grid of small bevelled buttons, each showing one glyph of the icon font
// with a help text: the list of buttons, their layout and hit testing, their states, drawing them,
// and the press, track and click actions that a concrete panel gives meaning to. A
// ButtonPanelWindow shows the panel and routes the mouse to it.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/dynamic_array.h"

class ButtonItem;
class ButtonPanelWindow;

// Cell sizes.
constexpr int32_t kLargeCellWidth = 25;
constexpr int32_t kLargeCellHeight = 23;
constexpr int32_t kSmallCellSize = 18;
// The height of a row break's band.
constexpr int32_t kRowBreakHeight = 4;

class ButtonPanel : public DynamicArray {
public:
    ButtonPanel() = default;

    // Frees the buttons, then the panel (not their sub-panels: they belong to whoever made them).
    void Destroy() override;
    // Frees the removed button too.
    ResultCode Remove(int32_t index) override;

    // --- the panel's own operations, in their fixed order ---
    virtual void SetCellWidth(int32_t width) { cellWidth_ = width; }
    // When the flag changes: large cells are 25 x 23, small ones 18 x 18.
    virtual void SetLarge(int32_t large);
    // The actions, which do nothing here. Press: a button went down (or a sub-panel choice was
    // made); Track: every tracking step while the left button is held, with the index under the
    // pointer (-1 for none) and the one before; Click: the button came up over the index (-1
    // for none).
    virtual void Press(int32_t /*index*/, int32_t /*modifiers*/) {}
    virtual void Click(int32_t /*index*/, int32_t /*modifiers*/) {}
    virtual void Track(int32_t /*index*/, int32_t /*oldIndex*/, int32_t /*modifiers*/) {}

    // columns > 0: a grid of that many columns; columns < 0: rows of at most -columns buttons
    // sharing the panel's width; 0: rows of any number of buttons. Large cells.
    ResultCode PanelInit(int32_t columns);
    // A new button with the glyph, appended or inserted; its index, or a negative result code.
    int32_t PanelAddItem(uint8_t glyph);
    int32_t PanelInsertItem(int32_t index, uint8_t glyph);
    // Destroy.
    void PanelDeleteItems() { Destroy(); }

    // Lays the buttons out and returns their bounds in `rect`. Rows: the buttons of each row
    // share the rectangle's width, rows from the top; a grid: cells from `offset` (or 0, 0).
    // Rows are laid out only when the panel is shown in a window; otherwise the rectangle is left.
    void PanelLayout(PortRect* rect, const PortRect* offset);
    // The index of the button at the point (edges included), or -1 over none, over a button
    // without a glyph (blanks, fillers and breaks) and for negative coordinates.
    int32_t PanelHitTest(int32_t x, int32_t y) const;

    // Each getter answers 0 (or the empty text, an empty rectangle) for an index out of range;
    // each setter does nothing then.
    ButtonItem* PanelItem(int32_t index) const;
    void PanelSetItemState(int32_t index, int32_t state);
    int32_t PanelItemState(int32_t index) const;
    uint8_t PanelItemKind(int32_t index) const;
    void PanelSetItemGlyph(int32_t index, uint8_t glyph);
    void PanelSetItemHelp(int32_t index, const char* help);
    const char* PanelItemHelp(int32_t index) const;
    void PanelItemRect(int32_t index, PortRect* rect) const;
    void PanelBounds(PortRect* rect) const { *rect = bounds_; }
    // The index of the first (last) button that is not released, or -1.
    int32_t FirstPressedIndex() const;
    int32_t LastPressedIndex() const;
    // Every button released.
    void ReleaseAll();

    // Gives button i the sub-panel, with the glyph and help of the sub-panel's last pressed
    // button, which becomes its choice.
    void PanelSetSubPanel(int32_t index, ButtonPanel* panel);

    // Draws every button (PanelDraw) or the dirty ones (PanelDrawDirty) into the current port
    // with the icon font, then leaves the text mode opaque and the fore colour black.
    void PanelDraw(int32_t depth);
    void PanelDrawDirty(int32_t depth);
    // Releases the first pressed button, presses button i (when i >= 0) and redraws the dirty
    // buttons in the panel's window.
    void PanelSelectOnly(int32_t index);
    // Redraws the dirty buttons in the panel's window, if it has one.
    void RedrawDirtyButtons();

    int32_t Columns() const { return columns_; }
    int32_t Rows() const { return rows_; }
    int32_t IsLarge() const { return large_; }
    int32_t CellWidth() const { return cellWidth_; }
    int32_t CellHeight() const { return cellHeight_; }
    void SetCellHeight(int32_t height) { cellHeight_ = height; }
    ButtonPanelWindow* PanelWindow() const { return window_; }
    // The window showing the panel (LinkPanelOwner sets both ways).
    void SetPanelWindow(ButtonPanelWindow* window) { window_ = window; }

protected:
    // Use Destroy.
    ~ButtonPanel() override = default;

private:
    void LayOutRows(PortRect* rect);
    void LayOutGrid(PortRect* rect, const PortRect* offset);
    void DrawButtons(int32_t depth, bool dirtyOnly);

    int32_t large_ = 0;
    int32_t columns_ = 0;
    int32_t rows_ = 0;
    int32_t cellWidth_ = 0;
    int32_t cellHeight_ = 0;
    PortRect bounds_ = {0, 0, 0, 0};
    ButtonPanelWindow* window_ = nullptr;
};
