// The six 8 x 8 stock patterns of the pen. Each row is a 16-bit word whose low byte holds the
// row's eight pixels, the most significant bit leftmost; a 0 bit is drawn in the fore colour,
// a 1 bit in the back colour.
#pragma once

#include <cstdint>

using StockPatternIndex = int32_t;

constexpr StockPatternIndex kFirstStockPattern = 1;  // solid fore colour
constexpr StockPatternIndex kDotPattern = 6;         // the pattern SetDotPattern makes
constexpr StockPatternIndex kLastStockPattern = 6;

// The eight rows of stock pattern 1 to 6; null for any other index.
const uint16_t* StockPatternRows(StockPatternIndex index);
// Stock pattern 6 := all rows FF except row 7 - (y AND 7), which becomes FF XOR (1 << (x AND 7));
// returns that row.
uint16_t MakeDotPattern(int32_t x, int32_t y);
