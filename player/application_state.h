// Whether the program has started: set once at entry, never cleared. Frames drawn before it are
// drawn whole, without the renderer's interruption by input.
#pragma once

#include <cstdint>

void SetApplicationStarted();
int32_t IsApplicationStarted();
