// The probe's menus: the document's menus built in code (the default File, Edit and Help menus
// and a menu of the probe's own, continued by a second one), a pop-up menu, and the log of the
// bar's and pop-ups' entries with their screen rectangles, so that the end-to-end checks know
// what the system menus show and where to click.
#pragma once

#include <cstdint>

class DocumentFrame;
class Pane;

// Builds the document's menus into its menu list; 0 when one could not be made.
int32_t BuildProbeMenus(DocumentFrame* document);
void DisposeProbeMenus();
// Shows the pop-up menu at the pane's centre and logs "POPUP result=N".
void TrackProbePopUp(Pane* pane);
// Logs the bar each time it is rebuilt ("MENUBAR ...", "MENUSTRING ...", then "MENUBAR_END"),
// and each pop-up menu once it is open ("MENUITEM ...").
void WatchMenus();
