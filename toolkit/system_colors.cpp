// The bevel colour tables, from the system colours.
#include "toolkit/system_colors.h"

#include <windows.h>

namespace {

// What the tables hold before start-up reads the system colours: a light grey face and a
// slightly darker grey for the pressed face.
constexpr RGBColor48 kDefaultFace = {0xC000, 0xC000, 0xC000};
constexpr RGBColor48 kDefaultPressedFace = {0xB000, 0xB000, 0xB000};

RGBColor48 SystemColor(int index)
{
    const COLORREF colour = GetSysColor(index);
    return {uint16_t(GetRValue(colour) << 8), uint16_t(GetGValue(colour) << 8), uint16_t(GetBValue(colour) << 8)};
}

}  // namespace

RGBColor48 RaisedBevelColors[kBevelColorCount] = {kDefaultFace};
RGBColor48 PressedBevelColors[kBevelColorCount] = {kDefaultPressedFace};

void InitSystemColors()
{
    const RGBColor48 face = SystemColor(COLOR_BTNFACE);
    const RGBColor48 highlight = SystemColor(COLOR_HIGHLIGHT);
    const RGBColor48 shadow = SystemColor(COLOR_BTNSHADOW);
    const RGBColor48 text = SystemColor(COLOR_BTNTEXT);
    const RGBColor48 raised[kBevelColorCount] = {face, highlight, shadow, shadow, highlight, text, text};
    const RGBColor48 pressed[kBevelColorCount] = {face, shadow, highlight, highlight, shadow, text, text};
    for (int i = 0; i < kBevelColorCount; ++i) {
        RaisedBevelColors[i] = raised[i];
        PressedBevelColors[i] = pressed[i];
    }
}
