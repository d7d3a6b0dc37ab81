// The help bar's pane: its text and free-memory gauge, drawn in full or only where they changed,
// and the help it gives about itself.
#include "toolkit/help_bar.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "draw/fonts.h"
#include "draw/pen_state.h"
#include "draw/screen_caps.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "toolkit/bevel.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/system_colors.h"

namespace {

constexpr char kBarDescription[] = "This displays information about an item or area pointed to by the cursor.";
constexpr char kFreeMemoryFormat[] = "Free memory space is %" PRIu64 " Kbytes.";
// Free memory is shown in units of 1024 bytes.
constexpr int kKbyteShift = 10;
constexpr int32_t kWholePercentage = 100;
// Below this percentage the gauge shows the memory as low.
constexpr int32_t kLowPercentage = 11;

// The bar's drawing area starts one pixel in from the pane's left edge and is inset by this
// much; the text field leaves this much of its right for the gauge, whose field is this wide.
constexpr int32_t kAreaLeftShift = 1;
constexpr int32_t kAreaInset = 3;
constexpr int32_t kTextFieldGap = 107;
constexpr int32_t kGaugeFieldWidth = 104;
// The gauge's black frame lies this far inside its field; its bottom this many pixels are the
// fill, and ticks mark every tenth of it, the middle one longer.
constexpr int32_t kGaugeFrameInset = 2;
constexpr int32_t kGaugeStripHeight = 4;
constexpr int32_t kTickStep = 10;
constexpr int32_t kTickCount = 9;
constexpr int32_t kMiddleTick = 5;
constexpr int32_t kTickLength = 2;
constexpr int32_t kMiddleTickLength = 4;
// The pointer over the right-most pixels of this width is over the gauge.
constexpr int32_t kGaugeHelpWidth = 106;

// The text's top-left in the pane, and its font; then the pane's usual font again.
constexpr int32_t kTextLeft = 8;
constexpr int32_t kTextTop = 4;
constexpr FontNumber kTextFont = 1;
constexpr int32_t kTextSize = 9;
constexpr FontNumber kNormalFont = 0;
constexpr int32_t kNormalSize = 12;

// Screens of fewer bits are drawn in two tones (as are screens without a palette, whose depth
// counts as 0).
constexpr int32_t kColourDepth = 4;
constexpr StockPatternIndex kSolidPattern = 1;
constexpr StockPatternIndex kCheckerPattern = 3;
constexpr StockPatternIndex kBlankPattern = 5;

constexpr RGBColor48 kRed = {0xFFFF, 0, 0};
constexpr RGBColor48 kBlue = {0, 0, 0xFFFF};

PortRect Inset(const PortRect& rect, int32_t dx, int32_t dy)
{
    return {rect.left + dx, rect.top + dy, rect.right - dx, rect.bottom - dy};
}

void FillPattern(const PortRect& rect, StockPatternIndex pattern)
{
    if (rect.IsEmpty()) return;
    PenPat(pattern);
    RGBBackColor(kWhiteColor);
    RGBForeColor(kBlackColor);
    PaintRectPolygon(rect);
}

void FillColour(const PortRect& rect, const RGBColor48& colour)
{
    if (rect.IsEmpty()) return;
    PenPat(kSolidPattern);
    PaintColourRect(rect, colour);
}

void Frame(const PortRect& rect, const RGBColor48& colour)
{
    RGBForeColor(colour);
    FrameRect(rect);
}

void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48& colour)
{
    RGBForeColor(colour);
    MoveTo(x0, y0);
    LineTo(x1, y1);
}

}  // namespace

int32_t FreeMemoryPercentage(uint64_t available, uint64_t total)
{
    const uint64_t percentage = available / (total / kWholePercentage + 1);
    return int32_t(std::min<uint64_t>(percentage, kWholePercentage));
}

void FormatFreeMemoryText(char* text, size_t size, uint64_t available)
{
    std::snprintf(text, size, kFreeMemoryFormat, available >> kKbyteShift);
}

void HelpBar::HelpBarStoreText(const char* text)
{
    char stored[kHelpTextSize];
    std::snprintf(stored, sizeof stored, "%s", text ? text : "");
    if (std::strcmp(stored, text_) == 0) {
        textChanged_ = 0;
        return;
    }
    textChanged_ = 1;
    std::memcpy(text_, stored, sizeof text_);
}

void HelpBar::SetPercentage(int32_t percentage)
{
    percentage = std::max(0, std::min(percentage, kWholePercentage));
    if (percentage == percentage_) return;
    percentage_ = percentage;
    gaugeChanged_ = 1;
}

void HelpBar::UpdatePercentage()
{
    SetPercentage(FreeMemoryPercentage(AvailableMemory(), TotalMemorySize));
}

void HelpBar::Draw(int32_t mode, int32_t, int32_t)
{
    PortRect area = contentRect_;
    area.left += kAreaLeftShift;
    const bool twoTone = PaletteScreenDepth() < kColourDepth;
    const PortRect inner = Inset(area, kAreaInset, kAreaInset);
    const PortRect textField = {inner.left, inner.top, inner.right - kTextFieldGap, inner.bottom};
    // What lies inside the text field's edges: the part that a new text repaints.
    const PortRect textInside = Inset(textField, 1, 1);
    const PortRect gaugeField = {inner.right - kGaugeFieldWidth, inner.top, inner.right, inner.bottom};
    const PortRect gaugeFrame = Inset(gaugeField, kGaugeFrameInset, kGaugeFrameInset);
    const PortRect strip = {gaugeFrame.left, gaugeFrame.bottom - kGaugeStripHeight, gaugeFrame.right,
                            gaugeFrame.bottom};

    if (mode == kHelpBarChangesOnly) {
        if (textChanged_) {
            if (twoTone)
                EraseRect(textInside);
            else
                FillColour(textInside, RaisedBevelColors[kBevelFace]);
            DrawHelpText(textInside);
        }
        if (gaugeChanged_) FillGauge(strip, twoTone);
        PenNormal();
        return;
    }

    if (twoTone) {
        EraseRect(inner);
        Frame(inner, kBlackColor);
        Frame(textField, kBlackColor);
        Frame(gaugeField, kBlackColor);
    } else {
        DrawBevel(inner, RaisedBevelColors);
        DrawBevel(textField, PressedBevelColors);
        DrawBevel(gaugeField, PressedBevelColors);
    }
    DrawHelpText(textInside);
    Frame(gaugeFrame, kBlackColor);
    for (int32_t tick = 1; tick <= kTickCount; ++tick) {
        const int32_t x = gaugeFrame.left + tick * kTickStep;
        const int32_t length = tick == kMiddleTick ? kMiddleTickLength : kTickLength;
        Line(x, gaugeFrame.top + 1, x, gaugeFrame.top + 1 + length, kBlackColor);
    }
    FillGauge(strip, twoTone);
    PenNormal();
}

void HelpBar::DrawHelpText(const PortRect& field)
{
    textChanged_ = 0;
    RGBForeColor(kBlackColor);
    UseTextFont(kTextFont, kTextSize, 0);
    TextMode(kTextTransparent);
    const PortRect clip = {kTextLeft, kTextTop, field.right, field.bottom};
    DrawTextClipped(text_, 0, int32_t(std::strlen(text_)), clip);
    UseTextFont(kNormalFont, kNormalSize, 0);
}

void HelpBar::FillGauge(const PortRect& strip, bool twoTone)
{
    gaugeChanged_ = 0;
    // A full gauge fills one pixel more than its width.
    const int32_t freeWidth = percentage_ + (percentage_ == kWholePercentage ? 1 : 0);
    const PortRect freePart = {strip.right - freeWidth, strip.top, strip.right, strip.bottom};
    const PortRect usedPart = {strip.left + 1, strip.top, strip.right - freeWidth, strip.bottom};
    const bool low = percentage_ < kLowPercentage;
    if (twoTone) {
        FillPattern(freePart, kBlankPattern);
        FillPattern(usedPart, low ? kSolidPattern : kCheckerPattern);
    } else {
        FillColour(freePart, RaisedBevelColors[kBevelFace]);
        FillColour(usedPart, low ? kRed : kBlue);
    }
}

void HelpBar::PaneHelpAtPoint(int32_t x, int32_t, int32_t)
{
    if (x < contentRect_.right - kGaugeHelpWidth) {
        ShowPaneHelp(kBarDescription);
        return;
    }
    char text[kHelpTextSize];
    FormatFreeMemoryText(text, sizeof text, AvailableMemory());
    ShowPaneHelp(text);
}
