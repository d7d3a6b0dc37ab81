// The modes in which the about window opens, from the frame's About item or the player's start-up.
#pragma once

#include <cstdint>

// The about window's modes: at start-up (it closes by itself after a while), opened by the user,
// and its other form (the About item chosen with Ctrl or the right button held; the user's two
// behave alike).
constexpr int32_t kAboutAtStartUp = 0;
constexpr int32_t kAboutOpenedByUser = 1;
constexpr int32_t kAboutOtherForm = -1;
