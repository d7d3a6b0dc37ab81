// What the Walk menu's items do (the menu's table gives their positions), the lens numerator and
// the render words each lens and speed item sets, and which item the navigation and render
// sections' values check.
#pragma once

#include <cstdint>

#include "player/preference_sections.h"

// The lenses and the speeds each run without a gap, in the order of their items.
enum WalkMenuCommand : int32_t {
    kWalkLevel = 1,
    kWalkWideAngle,
    kWalkStandard,
    kWalkTelephoto,
    kWalkNormalSpeed,
    kWalkFast,
    kWalkFaster,
    kWalkFastest,
    kWalkStop,
    kWalkPlay,
    kWalkFullScreen,
};

// The render words a speed item sets (preference_sections.h).
using SpeedPreset = RenderSpeed;

bool IsLensItem(int32_t command);
bool IsSpeedItem(int32_t command);
// The lens numerator of a lens item.
int16_t LensOfItem(int32_t command);
// Render words A and C of a speed item.
SpeedPreset SpeedOfItem(int32_t command);
// The lens item a numerator checks, or 0 for none.
int32_t LensItemChecked(int16_t numerator);
// The speed item render words A and C check, or 0 for none.
int32_t SpeedItemChecked(uint32_t wordA, uint32_t wordC);
