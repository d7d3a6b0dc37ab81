// The four-character player commands that panes take through PaneHandleCommand, posted by the
// navigation button panel and the Walk menu.
#pragma once

#include <cstdint>

#include "toolkit/app_commands.h"

constexpr int32_t kCommandTagKeepStart = CommandTag("CTRV");  // keep the eye's place as the start position
constexpr int32_t kCommandTagGoToStart = CommandTag("CTRO");  // back to the start position, level
constexpr int32_t kCommandTagLights = CommandTag("ELIT");
constexpr int32_t kCommandTagPrint = CommandTag("PRNT");      // accepted, nothing done
constexpr int32_t kCommandTagLevel = CommandTag("TILT");      // level the observer
