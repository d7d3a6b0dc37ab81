// CoverageRegion: how much of a polygon lying in a coordinate plane is left uncovered as other
// polygons of that plane are taken away from it, kept as two system regions (the polygon's area
// and the part of it not yet covered). Polygons come as lists of FixedPoint in plane units; a
// point becomes a whole unit by rounding half up.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"

class DynamicArray;

class CoverageRegion {
public:
    // Area and remainder: two separate regions of the polygon. A polygon of fewer than three
    // points has no area.
    void CoverageRegionInit(const DynamicArray* polygon);
    // 1 when the polygon took something away from the remainder, else 0; a polygon of fewer
    // than three points covers nothing.
    int32_t CoverageRegionSubtract(const DynamicArray* polygon);
    // 1 while the remainder is not empty.
    int32_t CoverageRegionRemains() const;
    // The work the system does to make a region of the polygon: for every row its outline spans,
    // the edges that cross the row, squared (it sorts them among themselves row by row), and one
    // for each of its corners and rows.
    static int64_t PolygonWork(const DynamicArray* polygon);
    // The work of taking the polygon away: its region's, and the rectangles of the two regions it
    // is combined with.
    int64_t SubtractWork(const DynamicArray* polygon) const;
    // Deletes both regions and frees the object (made with new).
    void DisposeCoverageRegion();

    HRGN area = nullptr;
    HRGN remainder = nullptr;
};
