// The window layout services taken from the system and the toolkit.
#include "player/system_window_layout.h"

#include <windows.h>

#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "foundation/pointer_list.h"
#include "player/window_layout.h"
#include "toolkit/document_frame.h"
#include "toolkit/screen_bounds.h"

namespace {

class SystemWindowLayout : public WindowLayoutServices {
public:
    void GetFrameLayout(FrameLayout* layout) override
    {
        *layout = {};
        GetUsableScreenBounds(&layout->usableScreen);
        layout->content = layout->usableScreen;
        DocumentFrame* frame = GetCurrentFrame();
        if (frame && frame->FrameWindow()) {
            frame->GetFrameContentRect(&layout->content);
            frame->GetFrameClientArea(&layout->clientArea);
        }
        layout->captionHeight = GetSystemMetrics(SM_CYCAPTION);
        layout->frameHeight = GetSystemMetrics(SM_CYFRAME);
        layout->frameWidth = GetSystemMetrics(SM_CXFRAME);
    }

    int32_t ScreenCount() override { return CountWindowList(); }

    void GetScreenBounds(int32_t index, PortRect* bounds) override
    {
        *bounds = {0, 0, 0, 0};
        if (index >= 0 && index < CountWindowList()) PointerAt<Q_Offscreen>(WindowList, index)->GetBounds(bounds);
    }

    // The screen of the window list with the largest area, as the toolkit places a new window.
    bool GetPlacementScreen(PortRect* bounds) override
    {
        PortRect placed = {0, 0, 1, 1};
        Q_Offscreen* screen = PlaceNewWindow(&placed);
        if (!screen) screen = FrontWindow();
        if (!screen) return false;
        screen->GetBounds(bounds);
        return true;
    }
};

SystemWindowLayout SystemServices;

}  // namespace

void InstallSystemWindowLayout()
{
    InstallWindowLayoutServices(&SystemServices);
}

void RemoveSystemWindowLayout()
{
    InstallWindowLayoutServices(nullptr);
}
