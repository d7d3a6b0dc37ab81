// The Walk menu's items by position, the lens numerator and the render words each lens and speed
// item sets, and which item the navigation and render sections' values check.
#pragma once

#include <cstdint>

#include "player/preference_sections.h"

enum WalkMenuItem : int32_t {
    kWalkLevel = 1,
    kWalkWideAngle = 3,
    kWalkStandard = 4,
    kWalkTelephoto = 5,
    kWalkNormalSpeed = 7,
    kWalkFast = 8,
    kWalkFaster = 9,
    kWalkFastest = 10,
    kWalkStop = 12,
    kWalkPlay = 13,
    kWalkFullScreen = 15,
};

// The render words a speed item sets (preference_sections.h).
using SpeedPreset = RenderSpeed;

bool IsLensItem(int32_t position);
bool IsSpeedItem(int32_t position);
// The lens numerator of a lens item.
int16_t LensOfItem(int32_t position);
// Render words A and C of a speed item.
SpeedPreset SpeedOfItem(int32_t position);
// The lens item a numerator checks, or 0 for none.
int32_t LensItemChecked(int16_t numerator);
// The speed item render words A and C check, or 0 for none.
int32_t SpeedItemChecked(uint32_t wordA, uint32_t wordC);
