// Test support for button panels and pop-up panes: a shown document window of the tests' own
// frame that only posted mouse messages reach, tracking steps dispatched one at a time, the
// hold timer's clock set by the test, and a watcher of the pop-up windows that answers each one
// with the test's action from inside its modal run.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "tests/toolkit/toolkit_support.h"
#include "toolkit/window.h"

// Dispatches the waiting tracking step (which may run a pop-up); false when none waits.
bool DispatchStep();
// Posts the mouse message to the window, lets the waiting tracking step run first (it sees the
// message waiting and posts no other), then dispatches the message.
void PostMouse(HWND hwnd, UINT message, WPARAM keys, int32_t x, int32_t y);

// The hold timer's clock reads this (milliseconds) while a PanelFixture runs.
extern uint32_t TestClockNow;

// While it lives, every window titled "Pop Up" that is made is counted, and once the pop-up's
// modal run has started `answer` runs with the window (by default it sends WM_CLOSE).
class PopUpWatcher {
public:
    PopUpWatcher();
    ~PopUpWatcher();
    PopUpWatcher(const PopUpWatcher&) = delete;
    PopUpWatcher& operator=(const PopUpWatcher&) = delete;

    int32_t Count() const { return count_; }
    void Made(HWND popup);
    // The default answer: WM_CLOSE, and a failure (the run ended) when the pop-up is still up a
    // moment later.
    static void Close(HWND popup);

    std::function<void(HWND popup)> answer;

private:
    HHOOK hook_ = nullptr;
    int32_t count_ = 0;
};


// A shown document window (client 300 x 200) whose panes get only the mouse messages a test
// posts, with the hold timer on the test's clock.
class PanelFixture : public FrameFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    Window* window_ = nullptr;
    HHOOK mouseHook_ = nullptr;
};
