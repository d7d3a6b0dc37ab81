// The windows of a player document's views: their flags and sizes, shared by the windows the
// document makes for its views and the window it swaps in for full screen.
#pragma once

#include "toolkit/window.h"

// A view's window: a bare document window (no caption or frame) of the document's own.
constexpr WindowFlags kViewWindowFlags = kWindowReservedA;
constexpr WindowSize kViewMinimum = {200, 150};
constexpr WindowSize kViewMaximum = {kNoSizeLimit, kNoSizeLimit};
