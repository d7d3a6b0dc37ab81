// The frame's side panel: the strip along the left of a frame's client area that the frame keeps
// for it, and that the player's default window placements leave free.
#pragma once

#include <cstdint>

constexpr int32_t kSidePanelWidth = 204;
