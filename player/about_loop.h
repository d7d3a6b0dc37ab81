// What the two forms of the about window share: their loop, its clock in units of 16 ms
// (measured so that a wrapping tick count never holds a window up), the one message it takes
// per turn, its wait for the next unit, and the facts the test build logs.
#pragma once

#include <cstdint>

#include <windows.h>

#include "player/about_window.h"
#include "toolkit/input_events.h"

// How long a window opened at start-up stays at least: 360 units of 16 ms.
constexpr uint32_t kAboutStartUpUnits = 360;

// The installed clock's tick count (milliseconds).
uint32_t AboutTicks();
// Whole 16 ms units from `start` to `now` (tick counts), right across a wrap of the count.
uint32_t AboutUnitsBetween(uint32_t start, uint32_t now);

// What a turn of the loop took: nothing (none was waiting), a message, or one that ends it.
enum class AboutInput { kNothing, kTaken, kEnds };
// Takes one waiting message, if any: a key or mouse-button message ends the loop (taken), but
// a release is only taken; a WM_QUIT ends it too and is posted again for the loops outside; any
// other message but WM_MOUSEMOVE is translated and dispatched.
AboutInput TakeAboutInput();
// Waits until a message comes or the installed clock, which last read `now`, reaches its next
// unit of 16 ms.
void AboutWaitForNextUnit(uint32_t now);

// The test build's facts: which form opened in which mode where (its client area on the
// screen), and that it closed.
void LogAboutShown(const char* form, int32_t mode, HWND window);
void LogAboutClosed(const char* form);

// Runs the loop of an about window that is up: input that came while it was being made is
// flushed, then each turn takes one waiting message (TakeAboutInput), which may end the loop,
// and reads the clock: in a new unit of 16 ms (and at the first turn) `nextFrame` draws the
// frame of the unit and answers whether the window must stay for its frames; otherwise, when no
// message was waiting, the loop waits for one or for the next unit. Opened by the user (mode
// other than 0) the loop runs until input; at start-up it also ends once its time is up and
// `nextFrame` last answered false.
template <class NextFrame>
void RunAboutLoop(const char* form, HWND window, int32_t mode, NextFrame nextFrame)
{
    FlushInputEvents();
    LogAboutShown(form, mode, window);
    const bool timed = mode == kAboutAtStartUp;
    const uint32_t start = AboutTicks();
    uint32_t now = start;
    bool framesGoOn = true;
    bool drawn = false;
    while (!timed || framesGoOn || AboutUnitsBetween(start, now) < kAboutStartUpUnits) {
        const AboutInput input = TakeAboutInput();
        if (input == AboutInput::kEnds) return;
        const uint32_t reading = AboutTicks();
        const bool newUnit = !drawn || AboutUnitsBetween(now, reading) != 0;
        now = reading;
        if (newUnit) {
            framesGoOn = nextFrame();
            drawn = true;
        } else if (input == AboutInput::kNothing) {
            AboutWaitForNextUnit(now);
        }
    }
}
