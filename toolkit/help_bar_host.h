// The help bar of a document frame: the frame's record of the bar's own window and pane, made
// and freed with the frame, shown and hidden by the Walk menu, and the setters through which
// panes, the progress window and the about window put text and memory figures into the current
// frame's bar.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/root_object.h"

class HelpBar;
class Window;

// The bar's strip along the bottom of the frame's content.
constexpr int32_t kHelpBarHeight = 20;

struct HelpBarHost {
    Window* window;
    HelpBar* bar;
};

// The help bar switch: on from the start, and nothing turns it off.
int32_t HelpBarOn();

// Destroys the bar's window with its pane and frees the record (nothing for null).
void FreeHelpBarHost(HelpBarHost* host);
using OwnedHelpBarHost = OwnedWith<HelpBarHost, FreeHelpBarHost>;
// Makes the bar's window along the bottom of the current frame's content rectangle (screen
// coordinates), inside the frame window, and shows it with an empty text; null with the switch
// off or when the window could not be made.
OwnedHelpBarHost MakeHelpBarHost(const PortRect& content);
// Show or hide the current frame's bar.
void ShowHelpBar();
void HideHelpBar();
// Puts the text (null: nothing) into the current frame's bar and redraws what changed.
void SetHelpBarText(const char* text);
// Recomputes the current frame's free-memory gauge and redraws it when it changed.
void UpdateMemoryReadout();
