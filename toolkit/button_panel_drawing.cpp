// Drawing button panels: each button as a bevelled (or, when small, flat) box in the colours of
// its state with its glyph of the icon font and the mark of a sub-panel, or in black and white on
// screens of one or two bits; and redrawing the dirty buttons in the panel's window.
#include "toolkit/button_panel.h"

#include "draw/fonts.h"
#include "draw/pen_state.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "foundation/fixed.h"
#include "toolkit/bevel.h"
#include "toolkit/button_item.h"
#include "toolkit/button_panel_window.h"

namespace {

// The first depth of palette screens that buttons are drawn on in colour.
constexpr int32_t kFirstColourDepth = 3;
constexpr int32_t kGlyphFontSize = 16;
constexpr int32_t kGlyphSize = 16;
constexpr int32_t kGlyphRaise = 3;
// A button lower than this is small: drawn flat, its glyph and mark placed for the small size.
constexpr int32_t kSmallButtonHeight = 11;
constexpr int32_t kGlyphCentring = 11;
constexpr int32_t kSmallGlyphCentring = 8;
// Black and white buttons draw their glyph this much further right.
constexpr int32_t kMonochromeGlyphShift = 2;
// The sub-panel mark: its middle this far above the bottom, its tip this far left of the right.
constexpr int32_t kMarkRise = 6;
constexpr int32_t kSmallMarkRise = 5;
constexpr int32_t kMarkInset = 4;
constexpr int32_t kSmallMarkInset = 3;
// The mark's columns from its tip: 1, 3 and 5 pixels high.
constexpr int32_t kMarkColumns = 3;
// The stock patterns the mark is painted in: solid fore colour, and on a black and white button
// shown pressed (painted black) all back colour.
constexpr StockPatternIndex kMarkPattern = kFirstStockPattern;
constexpr StockPatternIndex kPressedMonochromeMarkPattern = 5;
constexpr int32_t kTextOpaque = 4;

constexpr RGBColor48 kPressedGlyph = {0xFFFF, 0xFFFF, 0x4000};
constexpr RGBColor48 kMarkedGlyph = {0xFFFF, 0x4000, 0x4000};

const RGBColor48& GlyphColour(int32_t state)
{
    if (state == kButtonReleased) return kBlackColor;
    return state == kButtonMarked ? kMarkedGlyph : kPressedGlyph;
}

}  // namespace

int32_t IsColourDepth(int32_t depth)
{
    return depth == 0 || depth >= kFirstColourDepth;
}

void ButtonItem::DrawButton(int32_t depth)
{
    dirty_ = 0;
    const PortRect& r = rect_;
    if (r.IsEmpty()) return;
    const bool small = r.Height() < kSmallButtonHeight;
    const bool colour = IsColourDepth(depth) != 0;
    const bool pressed = state_ != kButtonReleased;
    // Blanks never show pressed.
    const bool shownPressed = pressed && glyph_ >= kFirstGlyph;
    // A black frame one pixel beyond the top and left, round what the button paints.
    const PortRect frame = {r.left - 1, r.top - 1, r.right, r.bottom};
    const PortRect inside = {r.left, r.top, r.right - 1, r.bottom - 1};
    const RGBColor48* colours = shownPressed ? kPressedButtonColours : kNormalButtonColours;
    RGBForeColor(kBlackColor);
    FrameRect(frame);
    if (!colour)
        PaintColourRect(inside, shownPressed ? kBlackColor : kWhiteColor);
    else if (glyph_ < kFirstGlyph || small)
        PaintColourRect(inside, colours[kBevelFace]);
    else
        DrawBevel(inside, colours);

    const RGBColor48& ink = colour ? GlyphColour(state_) : (pressed ? kWhiteColor : kBlackColor);
    if (glyph_ >= kFirstGlyph && glyph_ != kGlyphSpace) {
        int32_t x = r.left + ShiftRightSigned(r.right - 1 - r.left - kGlyphSize, 1);
        int32_t y = ShiftRightSigned(r.top + r.bottom - (small ? kSmallGlyphCentring : kGlyphCentring), 1);
        if (pressed && !small) {
            ++x;
            ++y;
        }
        if (!colour) x += kMonochromeGlyphShift;
        TextMode(kTextTransparent);
        RGBForeColor(ink);
        DrawChar(char(glyph_), {x, y - kGlyphRaise});
    }
    if (subPanel_) {
        const int32_t middle = r.bottom - (small ? kSmallMarkRise : kMarkRise);
        const int32_t tip = r.right - (small ? kSmallMarkInset : kMarkInset);
        RGBForeColor(kBlackColor);
        PenPat(!colour && shownPressed ? kPressedMonochromeMarkPattern : kMarkPattern);
        for (int32_t column = 0; column < kMarkColumns; ++column)
            PaintRectPolygon({tip - column, middle - column, tip - column + 1, middle + column + 1});
        PenPat(kMarkPattern);
    }
}

void ButtonPanel::DrawButtons(int32_t depth, bool dirtyOnly)
{
    PenNormal();
    UseTextFont(kButtonFontNumber, kGlyphFontSize, 0);
    for (int32_t i = 0; i < ArrayCount(); ++i) {
        ButtonItem* item = PanelItem(i);
        if (!dirtyOnly || item->IsDirty()) item->DrawButton(depth);
    }
    TextMode(kTextOpaque);
    RGBForeColor(kBlackColor);
}

void ButtonPanel::PanelDraw(int32_t depth)
{
    DrawButtons(depth, false);
}

void ButtonPanel::PanelDrawDirty(int32_t depth)
{
    DrawButtons(depth, true);
}

void ButtonPanel::PanelSelectOnly(int32_t index)
{
    PanelSetItemState(FirstPressedIndex(), kButtonReleased);
    if (index >= 0) PanelSetItemState(index, kButtonPressed);
    RedrawDirtyButtons();
}

void ButtonPanel::RedrawDirtyButtons()
{
    if (window_) window_->RedrawPane(kDrawDirtyButtons);
}
