// What the window records of the preferences are laid out by: the usable screen, the current
// frame's rectangles, the frame metrics and the screens of the toolkit's window list. The player
// installs the system's at start-up; until then (and natively) there is one 800 x 600 screen, no
// frame and no metrics.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

struct FrameLayout {
    PortRect usableScreen;  // the screen bounds, at most 800 x 600
    PortRect content;       // the current frame's content rectangle (the usable screen without one)
    PortRect clientArea;    // the frame's help bar strip (empty without one)
    int32_t captionHeight;  // SM_CYCAPTION
    int32_t frameHeight;    // SM_CYFRAME
    int32_t frameWidth;     // SM_CXFRAME
};

class WindowLayoutServices {
public:
    virtual ~WindowLayoutServices() = default;

    virtual void GetFrameLayout(FrameLayout* layout);
    // The screens (the ports of the window list) in list order.
    virtual int32_t ScreenCount() { return 1; }
    virtual void GetScreenBounds(int32_t index, PortRect* bounds);
    // The bounds of the screen new windows are placed on (the first unless told otherwise);
    // false without screens.
    virtual bool GetPlacementScreen(PortRect* bounds);
};

// Installs the services (null restores the defaults); returns the ones installed before.
WindowLayoutServices* InstallWindowLayoutServices(WindowLayoutServices* services);
WindowLayoutServices& CurrentWindowLayout();
