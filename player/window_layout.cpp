// The window layout services and their defaults: one 800 x 600 screen, no frame.
#include "player/window_layout.h"

#include "foundation/service_slot.h"

namespace {

constexpr PortRect kDefaultScreen = {0, 0, 800, 600};

WindowLayoutServices DefaultServices;
ServiceSlot<WindowLayoutServices> Installed(&DefaultServices);

}  // namespace

void WindowLayoutServices::GetFrameLayout(FrameLayout* layout)
{
    *layout = {};
    layout->usableScreen = kDefaultScreen;
    layout->content = kDefaultScreen;
}

void WindowLayoutServices::GetScreenBounds(int32_t /*index*/, PortRect* bounds)
{
    *bounds = kDefaultScreen;
}

bool WindowLayoutServices::GetPlacementScreen(PortRect* bounds)
{
    if (ScreenCount() <= 0) return false;
    GetScreenBounds(0, bounds);
    return true;
}

WindowLayoutServices* InstallWindowLayoutServices(WindowLayoutServices* services)
{
    return Installed.Install(services);
}

WindowLayoutServices& CurrentWindowLayout()
{
    return Installed.Current();
}
