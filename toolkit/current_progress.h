// The one current progress window of the program and the operations that loaders call on it;
// the lower layers reach them through the toolkit's user-interface services. Every operation
// but opening does nothing (or answers 0) without a current window.
//
// Opening and finishing nest: an open while a window is current only counts, and its finish only
// counts down, so that a stage run inside another (the landed loaders finish even when their
// open made no window) never closes the outer window. Showing and updating pump the waiting
// messages, with the windoids locked in place meanwhile; the pump looks the current window up
// again after each message, since a handler may have finished it. Loads update far more often
// than anyone can see: an update pumps only once the pump interval has passed since the last
// pump (or at once after the window was shown, its credits, a new message or a new stage), and
// a pump takes the input, paints and timers that come and the messages posted before it began,
// so that a handler that posts its next message at every step cannot keep the load waiting.
#pragma once

#include <cstddef>
#include <cstdint>

class DynamicArray;
class ProgressWindow;
class Q_Offscreen;

// Makes a current window with the button of the mode (progress_window.h): 0. Answers -1 and
// counts one level more when a window is current. When no window can be made, none becomes
// current and the answer is still 0.
int32_t OpenProgressWindow(int32_t mode);
void SetProgressTitle(const char* text);
void SetProgressMessage(const char* text);
void SetProgressDetail(const char* text);
void SetProgressTotal(int32_t total);
void SetProgressValue(int32_t value);
int32_t CurrentProgressValue();
// Lays the window out, centres, shows and draws it, then pumps the waiting messages.
void ShowProgressWindow();
// Advances the bar (drawn when its filled width changes), then pumps the waiting messages when a
// pump is due: 1 once the load is asked to stop (the Stop or Cancel button, WM_CLOSE on the
// window, or a WM_QUIT that the pump took and posted again), else 0. After a stop request it
// answers 1 at once, drawing and pumping nothing.
int32_t UpdateProgressWindow(int32_t increment);
// Gives the window the credits to show (with neither, withdraws those shown at once). They are
// laid out here when a layout is due (the window's first, or the spacing after the last has
// passed: progress_window.h), then an update pass runs, which pumps; else by the first update
// whose pump is due once it is, or at the finish.
void ShowProgressCredits(Q_Offscreen* picture, const DynamicArray* text);
// Pumps the waiting messages, watching for a stop as an update does, whatever the pace; then
// counts one level down, and at the outermost level waits for OK when credits are shown (unless
// the load was stopped; the credits that wait are laid out first), closes the window and leaves
// none current. 1 when the load was asked to stop, at this last look or before; else 0 (also
// without a window).
int32_t FinishProgressWindow();
// Line 1's text into the buffer, when the window has line 1.
void ProgressGetMessage(char* buffer, size_t size);
// Switches the counter field on with the text.
void ProgressSetCounter(const char* text);

// The clock that paces the pumps, in milliseconds as GetTickCount counts them (wrapping after
// 49.7 days). Installs the clock (null restores GetTickCount); returns the one installed before.
using ProgressClock = uint32_t (*)();
ProgressClock InstallProgressClock(ProgressClock clock);

ProgressWindow* CurrentProgressWindow();
// The opens counted beyond the one that made the current window.
int32_t ProgressNestingDepth();
