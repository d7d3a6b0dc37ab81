// The windows a modal window disabled when it appeared. Each modal window disables only the
// thread's windows that were enabled and enables exactly those again, so closing an alert over
// a progress window or another dialog never enables the frame that the outer one still holds
// disabled.
#pragma once

#include <windows.h>

#include <cstdint>

class DynamicArray;

class DisabledWindows {
public:
    DisabledWindows() = default;
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;
    ~DisabledWindows();

    // Disables every enabled top-level window of the thread except `modal`, remembering each.
    void DisableOthers(HWND modal);
    // Enables again the remembered windows that still exist, and forgets them all.
    void EnableAgain();
    int32_t Count() const;

private:
    DynamicArray* windows_ = nullptr;  // HWND elements
};
