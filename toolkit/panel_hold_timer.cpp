// The hold timer of button panels and its clock.
#include "toolkit/panel_hold_timer.h"

#include <windows.h>

namespace {

uint32_t SystemClock()
{
    return GetTickCount();
}

PanelClock gClock = SystemClock;
bool gHolding = false;
uint32_t gHoldStart = 0;

}  // namespace

PanelClock InstallPanelClock(PanelClock clock)
{
    const PanelClock previous = gClock;
    gClock = clock ? clock : SystemClock;
    return previous;
}

void ResetPanelHold()
{
    gHolding = false;
}

int32_t PanelHeldLongEnough()
{
    const uint32_t now = gClock();
    if (!gHolding) {
        gHolding = true;
        gHoldStart = now;
    }
    return (now - gHoldStart) / kHoldTickLength > kSubPanelHoldTicks ? 1 : 0;
}
