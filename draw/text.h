// Text in the current port: clipped and plain text output, one character, the width of a text
// on the screen, and the text background mode.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

struct PortPoint {
    int32_t x;
    int32_t y;
};

constexpr int32_t kTextTransparent = 5;  // any other TextMode value draws an opaque background

// Characters first to first + count - 1 of the text at the rectangle's top-left, clipped to it.
void DrawTextClipped(const char* text, int32_t first, int32_t count, const PortRect& rect);
// The characters with the top-left of the first at the point.
void DrawTextAt(const char* text, int32_t first, int32_t count, PortPoint point);
void DrawChar(char character, PortPoint point);
// The width of the characters in the font of a screen DC (not the current port's font).
int32_t TextWidth(const char* text, int32_t first, int32_t count);
void TextMode(int32_t mode);
