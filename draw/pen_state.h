// The current port's drawing state: fore and back colours, the pen (transfer mode, size, style)
// and the brush pattern, rebuilt into the current port as they change.
#pragma once

#include <cstdint>

#include "draw/stock_patterns.h"
#include "foundation/rgb_color.h"

using PenTransferMode = int32_t;

constexpr PenTransferMode kPenNotXor = 1;     // also 9
constexpr PenTransferMode kPenMergeNotPen = 3;
constexpr PenTransferMode kPenCopy = 7;       // the normal mode; any other value copies too
constexpr PenTransferMode kPenDotted = 8;

struct PenState {
    PenTransferMode mode;
};

// Flipped by the toolkit while it draws moving selection frames: the dotted mode draws
// not-xor while it is non-zero and xor while it is 0.
extern int32_t DottedPenPhase;

// The fore colour (text, pen and solid brush) and the back colour (text background and the
// 1 bits of patterns). Without a current port they do nothing and are not remembered.
void RGBForeColor(const RGBColor48& colour);
void RGBBackColor(const RGBColor48& colour);

// Sets the raster operation and pen style of the mode into the current port (nothing without one).
void PenMode(PenTransferMode mode);
void GetPenState(PenState* state);
void SetPenState(const PenState& state);
// Stores the pen width and height (only the width counts) and rebuilds the pen.
void PenSize(int32_t width, int32_t height);

// Makes stock pattern 1 to 6 the brush pattern (any other index: a solid brush in the fore
// colour); an index that is already current changes nothing.
void PenPat(StockPatternIndex index);
StockPatternIndex GetPenPat();
// Pattern 1 and mode 7.
void PenNormal();
// Sets stock pattern 6 to one dot (see MakeDotPattern) so that the next PenPat(6) takes it;
// returns the row with the dot.
uint16_t SetDotPattern(int32_t x, int32_t y);

// Start-up: the pattern bitmap of stock pattern 1, fore colour black, back colour white.
void InitPenState();
// Shutdown: deletes the pattern bitmap.
void FreePenState();
