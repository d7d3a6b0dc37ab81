// The hold timer of button panels: how long a button that owns a sub-panel has been held, one
// timer for all panels, read from a clock that tests replace.
#pragma once

#include <cstdint>

// A button held for more than this many ticks of 16 ms pops its sub-panel up.
constexpr uint32_t kHoldTickLength = 16;
constexpr uint32_t kSubPanelHoldTicks = 30;

// The clock in milliseconds, as GetTickCount counts them (wrapping after 49.7 days).
using PanelClock = uint32_t (*)();
// Installs the clock (null restores GetTickCount); returns the one installed before.
PanelClock InstallPanelClock(PanelClock clock);

// Forgets the start of the hold (every press, change of button and pop-up does).
void ResetPanelHold();
// Starts the hold now when none is under way; 1 when more than 30 ticks have passed since it
// started. The ticks are the milliseconds between the two clock readings (taken modulo 2^32, so
// a hold across the clock's wrap counts right) divided by 16.
int32_t PanelHeldLongEnough();
