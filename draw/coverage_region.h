// CoverageRegion: how much of a polygon lying in a coordinate plane is left uncovered as other
// polygons of that plane are taken away from it, kept as a system region (the part of the polygon
// not yet covered). Polygons come as lists of FixedPoint in plane units; a point becomes a whole
// unit by rounding half up. A polygon whose whole-unit bounds miss the first polygon's, and any
// polygon once nothing is left, is taken away without a call to the system.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"

class DynamicArray;

class CoverageRegion {
public:
    // The remainder: the polygon's area. A polygon of fewer than three points has no area.
    void CoverageRegionInit(const DynamicArray* polygon);
    // 1 when the polygon took something away from the remainder, else 0; a polygon of fewer
    // than three points covers nothing.
    int32_t CoverageRegionSubtract(const DynamicArray* polygon);
    // 1 while the remainder is not empty.
    int32_t CoverageRegionRemains() const;
    // The work the system does to make a region of the polygon: for every row its outline spans,
    // the edges that cross the row, squared (it sorts them among themselves row by row), one for
    // each of its corners and rows, and the steps it takes to file the edges by the row each
    // begins on (each walks past the rows begun before it), kFilingStepsPerTurn to a turn.
    static int64_t PolygonWork(const DynamicArray* polygon);
    // Filing an edge past a row takes the system 0.8 to 1.3 ns under Wine (system-weights: a
    // polygon of 1,024 corners over 1,024 rows, 210,000 steps, 214 us; of 4,096, a million steps,
    // 845 us), some 16 steps to a turn.
    static constexpr int64_t kFilingStepsPerTurn = 16;
    // The work of a coverage region of the polygon, from its making to its disposal: its region's,
    // the calls to the system that make and delete the regions, and its blocks from the heap.
    static int64_t CoverageWork(const DynamicArray* polygon);
    // The work of taking the polygon away: its region's, twice the rectangles of the remainder it
    // is combined and compared with, and the calls to the system; nothing when the polygon cannot
    // meet what remains.
    int64_t SubtractWork(const DynamicArray* polygon) const;
    // Deletes the regions and frees the object (made with new).
    void DisposeCoverageRegion();

private:
    // Whole-unit bounds, each side included: none while left lies past right.
    struct UnitBounds {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = -1;
        int32_t bottom = -1;
    };
    // The bounds of the corners of a polygon of three points or more.
    static UnitBounds BoundsOf(const DynamicArray* polygon);
    // Whether the polygon's bounds meet the first polygon's.
    bool MayMeet(const DynamicArray* polygon) const;
    // Counts the remainder's rectangles again, after it changed.
    void RecountRemainder();

    HRGN remainder_ = nullptr;
    // Where the remainder less a polygon is made, to be compared with the remainder.
    HRGN scratch_ = nullptr;
    int64_t rectangles_ = 0;  // the remainder's
    bool empty_ = true;       // whether the remainder is empty
    UnitBounds bounds_;       // the first polygon's
    // The corners of the polygon being handed to the system, kept for the next one.
    DynamicArray* corners_ = nullptr;
};
