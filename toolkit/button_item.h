// ButtonItem: one button of a button panel, with its state, its rectangle in the panel, the
// glyph of the icon font it shows, its help text and the sub-panel that pops up when it is held.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/rgb_color.h"

class ButtonPanel;

// Button states.
constexpr int32_t kButtonReleased = 0;
constexpr int32_t kButtonPressed = 1;  // drawn pressed, glyph yellow
constexpr int32_t kButtonMarked = 2;   // drawn pressed, glyph red

// Glyph codes below kFirstGlyph draw no glyph and are never hit.
constexpr uint8_t kGlyphBlank = 0;
constexpr uint8_t kGlyphFiller = 1;    // blank, and takes the spare pixels of its row
constexpr uint8_t kGlyphRowBreak = 2;  // a thin full-width band that starts a new row
constexpr uint8_t kFirstGlyph = 3;
constexpr uint8_t kGlyphSpace = ' ';   // a button that draws no glyph

class ButtonItem {
public:
    // The glyph set; rectangle, state, sub-panel, chosen index and help cleared.
    void ButtonInit(uint8_t glyph);

    int32_t State() const { return state_; }
    // Marks the button dirty when the state changes.
    void SetState(int32_t state);
    uint8_t Glyph() const { return glyph_; }
    // Marks the button dirty.
    void SetGlyph(uint8_t glyph);
    const PortRect& Rect() const { return rect_; }
    // Marks the button dirty.
    void SetRect(const PortRect& rect);
    // Never null.
    const char* Help() const { return help_; }
    // The text is not copied; null is the empty text.
    void SetHelp(const char* help);
    ButtonPanel* SubPanel() const { return subPanel_; }
    void SetSubPanel(ButtonPanel* panel) { subPanel_ = panel; }
    // The index last chosen in the sub-panel.
    int32_t Selected() const { return selected_; }
    void SetSelected(int32_t index) { selected_ = index; }
    int32_t IsDirty() const { return dirty_; }

    // Releases the sub-panel's button at the chosen index, chooses the next one (the first after
    // the last), presses it and takes its glyph. Nothing without a sub-panel or in an empty one.
    void ItemNextSubChoice();

    // Draws the button into the current port, in colour or, for palette screens of 1 or 2 bits,
    // in black and white; clears the dirty flag. The icon font is selected by the caller.
    void DrawButton(int32_t depth);

private:
    int32_t dirty_ = 0;
    int32_t state_ = kButtonReleased;
    PortRect rect_ = {0, 0, 0, 0};
    ButtonPanel* subPanel_ = nullptr;
    int32_t selected_ = 0;
    uint8_t glyph_ = kGlyphBlank;
    const char* help_ = "";
};

// The colours of buttons and of a bordered panel window's bevel, in the order face, top, right,
// bottom, left (a bevel colour table's first five entries): greys of their own whatever the
// system's colours. Released buttons and the border stand out in the normal set; pressed ones
// sink in the pressed set.
constexpr int kButtonColourCount = 5;
constexpr RGBColor48 kNormalButtonColours[kButtonColourCount] = {
    {0xC000, 0xC000, 0xC000}, {0xFF00, 0xFF00, 0xFF00}, {0x8000, 0x8000, 0x8000},
    {0x8000, 0x8000, 0x8000}, {0xFF00, 0xFF00, 0xFF00}};
constexpr RGBColor48 kPressedButtonColours[kButtonColourCount] = {
    {0xB000, 0xB000, 0xB000}, {0x8000, 0x8000, 0x8000}, {0xB000, 0xB000, 0xB000},
    {0xB000, 0xB000, 0xB000}, {0x8000, 0x8000, 0x8000}};

// The screen depths drawn in colour: direct-colour screens (depth 0, as the panes record them)
// and palette screens of 3 bits and more.
int32_t IsColourDepth(int32_t depth);
