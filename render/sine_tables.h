// The observer's sine tables: 256 steps per turn, as signed bytes (128 = 1.0) for movement and
// as Q15 words (32768 = 1.0) for the view.
#pragma once

#include <cstdint>

// floor(128 sin(2 pi i / 256) + 0.5) clamped to -128..127.
extern const int8_t* const SineTable8;
// floor(32768 sin(2 pi i / 256) + 0.5) clamped to -32768..32767.
extern const int16_t* const SineTableQ15;
