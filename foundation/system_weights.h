// What a call to the system on a read's path costs in the turns of the read's loops
// (foundation/loop_turns.h), beyond the work it is handed and counted for: the weight a call counts
// as it is made, and a read's budget charges where the call's work is spent. Measured under Wine
// with system-weights (tools/system_weights) on the machine the program is built on, with these
// weights counted: a turn is the median over the honest models of a read's time on the clock over
// its turns, 11 to 15 ns; each call the quickest of five runs of thousands.
#pragma once

#include <cstdint>

// A block taken from the heap and given back: calloc and free of up to 128 bytes among thousands
// held, 100 to 170 ns; a list object made and destroyed, 200 ns with its own turns. A larger
// block's filling and copying is counted by its elements where it is made.
constexpr int64_t kHeapBlockTurns = 10;

// A call that makes, combines, compares, measures or deletes a region, beyond the work of its
// outline (draw/coverage_region.h): CombineRgn of two small regions 160 to 210 ns, CreateRectRgn
// 170 ns, CreatePolygonRgn of a square 80 ns, EqualRgn and GetRegionData 120 to 140 ns,
// DeleteObject 70 ns.
constexpr int64_t kRegionCallTurns = 12;

// A file looked up or opened by its name and closed (fopen and fclose): 30 to 280 us in a folder of
// a few names; a name in another letter case, or not there, makes Wine read the whole folder: 0.5
// to 0.9 ms in a folder of 1,400 names (1 ms with a small bitmap decoded), 1.4 to 1.8 ms in one of
// 5,000. Counted as a missing name in a folder of 1,400; what the read's budget charges for it is
// in model/picture_budget.h (kUnitsPerFileLookup, kUnitsPerFileOpen).
constexpr int64_t kFileLookupTurns = 60000;
