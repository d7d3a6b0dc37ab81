// The toolkit started as the player starts it, for the toolkit's test programs and the probe:
// the toolkit's services first, the memory total, the window classes, the drawing layer, the
// bevel colours, the start-up and shared offscreens, the sounds, the device list, the volume
// limits and the global lists; stopped in the player's order, the services last before the
// drawing layer.
#pragma once

#include <windows.h>

// False when a step failed (the rest is not made).
bool StartToolkitForTests(HINSTANCE instance);
void StopToolkitForTests();
