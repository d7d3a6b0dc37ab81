// The window layout services of the running program: the usable screen, the current frame's
// rectangles, the system's frame metrics and the toolkit's window list.
#pragma once

// Installs them (the player does at start-up); RemoveSystemWindowLayout restores the defaults.
void InstallSystemWindowLayout();
void RemoveSystemWindowLayout();
