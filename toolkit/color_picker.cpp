// The colour dialog over a 48-bit colour.
#include "toolkit/color_picker.h"

#include <windows.h>
#include <commdlg.h>

#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/win32_services.h"
#include "toolkit/modal_disable.h"

namespace {

constexpr int32_t kCustomColorCount = 16;
constexpr COLORREF kWhite = RGB(255, 255, 255);
// A byte channel becomes the high byte of a 16-bit channel.
constexpr int32_t kChannelShift = 8;

}  // namespace

int32_t PickColor(const char* /*prompt*/, RGBColor48* colour)
{
    Q_Offscreen* screen = FrontWindow();
    if (!GetScreenCaps().paletteDevice || !screen || screen->Depth() == 0) return 0;
    COLORREF custom[kCustomColorCount];
    for (COLORREF& entry : custom) entry = kWhite;
    CHOOSECOLORA choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = CurrentFrameHandle();
    choice.rgbResult =
        RGB(colour->red >> kChannelShift, colour->green >> kChannelShift, colour->blue >> kChannelShift);
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    DisabledWindows disabled;
    disabled.DisableOthers(nullptr);
    const BOOL chosen = ChooseColorA(&choice);
    disabled.EnableAgain();
    if (chosen) {
        colour->red = uint16_t(GetRValue(choice.rgbResult) << kChannelShift);
        colour->green = uint16_t(GetGValue(choice.rgbResult) << kChannelShift);
        colour->blue = uint16_t(GetBValue(choice.rgbResult) << kChannelShift);
    }
    return chosen;
}
