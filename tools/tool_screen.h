// The screen the command-line tools tell the drawing layer about: a 32-bit true-colour screen
// that can do block transfers, so that their offscreens do not depend on the display they run on.
#pragma once

#include "draw/screen_caps.h"

inline void UseToolScreen()
{
    ScreenCaps caps;
    caps.blockTransfer = 1;
    caps.bitsPerPixel = 32;
    caps.planes = 1;
    caps.width = 1024;
    caps.height = 768;
    SetScreenCaps(caps);
}
