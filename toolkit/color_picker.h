// The system's colour dialog for a 48-bit colour, on palette displays only.
#pragma once

#include <cstdint>

#include "foundation/rgb_color.h"

// On a palette display whose screen port has a depth: runs the colour dialog (full, starting at
// `colour`, owned by the current frame) with the thread's other windows disabled, and on OK
// writes the chosen colour back. The dialog has no place for `prompt`, which is not shown.
// Returns the dialog's result: non-zero for OK, 0 when cancelled or not shown.
int32_t PickColor(const char* prompt, RGBColor48* colour);
