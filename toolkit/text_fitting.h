// Fitting a text into a width or a rectangle, measured in the current port's font.
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw/port_base.h"

// The longest text a cut keeps, and the characters of the cut's mark.
constexpr size_t kLongestFittedText = 255;
constexpr size_t kLongestCutText = 252;
constexpr char kCutMark[] = "...";

// While the text is wider than `width` on the current port, keeps one character fewer of it
// (at most its first 252) followed by "..."; the result replaces the text in its buffer of `size`
// bytes. A text that fits is left as it is.
void CutTextToWidth(char* text, size_t size, int32_t width);

constexpr int32_t kTextFits = 0;
constexpr int32_t kTextTooWide = -1;
constexpr int32_t kTextTooTall = -2;

// The text's extent, at most the rectangle's size, centred in the rectangle; kTextTooTall when it
// is taller than the rectangle, else kTextTooWide when it is wider, else kTextFits.
int32_t CentreTextInRect(const char* text, const PortRect& rect, PortRect* centred);
