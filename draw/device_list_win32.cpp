// The screen device of the device list: made from the screen at start-up and kept at the
// screen's depth.
#include "draw/device_list.h"

#include <windows.h>

#include <new>

#include "draw/port_base.h"
#include "draw/program_palette.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/dynamic_array.h"

namespace {

constexpr int32_t kListGrowStep = 1;

}  // namespace

ResultCode InitWindowList()
{
    WindowList = NewDynamicArray(0, int32_t(sizeof(Q_Offscreen*)), kListGrowStep);
    Q_Offscreen* device = WindowList ? new (std::nothrow) Q_Offscreen : nullptr;
    if (!device) return kResultOutOfMemory;
    ResultCode result;
    if (GetScreenCaps().paletteDevice) {
        HDC screen = PrepareWindowDC(nullptr);
        result = device->OffscreenFromPort(screen);
        ReleasePortDC(nullptr, screen);
    } else {
        result = device->OffscreenFromPort(nullptr);
    }
    if (result == kResultOk) {
        RebuildWindowPalette(device);
        if (WindowList->Append(&device) < 0) result = kResultOutOfMemory;
    }
    if (result != kResultOk) device->DisposeOffscreen();
    return result;
}

void UpdateWindowListDepths()
{
    for (Q_Offscreen* device = FrontWindow(); device; device = NextWindow(device)) {
        const int32_t depth = device->Depth();
        if (depth == device->PortDepthField()) continue;
        device->SetPortDepth(depth);
        RebuildWindowPalette(device);
    }
}
