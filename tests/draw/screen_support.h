// Test support: screen capabilities of a chosen depth, installed for the life of a scope.
#pragma once

#include "draw/screen_caps.h"

class ScopedScreenCaps {
public:
    explicit ScopedScreenCaps(const ScreenCaps& caps) : saved_(GetScreenCaps()) { SetScreenCaps(caps); }
    explicit ScopedScreenCaps(int32_t depth) : ScopedScreenCaps(ScreenCapsOfDepth(depth)) {}
    ~ScopedScreenCaps() { SetScreenCaps(saved_); }
    ScopedScreenCaps(const ScopedScreenCaps&) = delete;
    ScopedScreenCaps& operator=(const ScopedScreenCaps&) = delete;

private:
    ScreenCaps saved_;
};
