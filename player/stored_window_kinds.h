// The kinds of the window placements that the preferences keep (the PWIN section's records).
#pragma once

#include <cstdint>

constexpr int16_t kStoredWindowContent = 12;  // the frame's content area
constexpr int16_t kStoredWindowUpper = 1;     // the upper half beside the side panel
constexpr int16_t kStoredWindowLower = 7;     // the lower half beside the side panel
