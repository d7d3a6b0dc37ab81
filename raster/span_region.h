// SpanRegion: the region a face is drawn into. For direct pixel drawing it carries the convex clip
// shape (16.16 clip polygon, its edge equations and bounds) that the clipped rasterizers cut against.
// This is the part of the region the rasterizers read; the renderer adds its trapezoid form.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/dynamic_array.h"
#include "foundation/fixed.h"
#include "raster/device_point_list.h"

struct ClipEdgeEquation;

// Indexes into SpanRegion::scanBounds.
constexpr int32_t kScanTop = 0;     // smallest y
constexpr int32_t kScanBottom = 1;  // largest y
constexpr int32_t kScanLeft = 2;    // smallest x
constexpr int32_t kScanRight = 3;   // largest x

constexpr int32_t kRegionEmptyLow = 32000;
constexpr int32_t kRegionEmptyHigh = -32000;

// A row of a region in its trapezoid form: the area's left and right end at one height, each
// flagged 1 when it is a corner of the area's outline. Rows run from the largest y down.
struct TrapezoidRow {
    int32_t leftX;
    int32_t leftY;
    int32_t rightX;
    int32_t rightY;
    int32_t leftCorner;
    int32_t rightCorner;
};

// The number of screen rows a new region gets: the height of the published raster target while
// faces are drawn straight into its pixels, else 0 (faces then go through the system's polygon
// calls). The face front end installs its query at start-up; until then every region takes the
// direct form, with a row count of 1.
using RegionRowQuery = int32_t (*)();
RegionRowQuery InstallRegionRowQuery(RegionRowQuery query);

// The crossing point of the line through p1 and p2 with the line through p3 and p4; p1 when the
// lines are parallel.
DevicePoint LineIntersection(DevicePoint p1, DevicePoint p2, DevicePoint p3, DevicePoint p4);

class SpanRegion;

// A new region, initialised (SpanRegionInit); null when it cannot be had. Regions let go of by
// SpanRegionFree are kept, with their clip-shape arrays, and handed out again here, so that a
// frame allocates no region once the frames before it have left enough behind.
SpanRegion* NewSpanRegion();
// Destroys the regions and clip-shape arrays kept for reuse (at the face front end's shutdown).
void FreeSpareRegions();

class SpanRegion : public DynamicArray {
public:
    // Initialises a new region: no clip shape, clip flag clear, empty bounds, no pixel rows (a
    // region's block of rows is kept when it has the layout wanted).
    void SpanRegionInit();
    // Lets go of the owned clip-shape arrays and the region itself (kept for NewSpanRegion).
    void SpanRegionFree();
    // A new clipped region of the rectangle (right and bottom exclusive) within this one; null
    // when this region is already clipped, is empty, or the rectangle leaves nothing.
    SpanRegion* SpanRegionFromRect(int32_t rectLeft, int32_t rectTop, int32_t rectRight, int32_t rectBottom);
    // Gives `region` its clip shape from a polygon of device points: the polygon itself, inset by
    // a quarter pixel, when this region has no shape; else the polygon cut by this region's shape.
    void SetRegionClipShape(SpanRegion* region, const DevicePoint* points, int32_t count) const;
    // A new clipped region: this region cut by the convex polygon; null when nothing is left.
    SpanRegion* SpanRegionIntersectPolygon(const DevicePointList* points);

    // --- the trapezoid form, for drawing through the system's polygon calls ---
    // The rows and bounds of a convex polygon of device points.
    void BuildTrapezoidRegion(const DevicePoint* points, int32_t count);
    // A new region holding the intersection of this clip region with the face region, or null
    // when nothing is left; the face region is freed either way (a clip region that is not
    // clipped returns the face region itself).
    SpanRegion* IntersectTrapezoidRegions(SpanRegion* face);
    // The same into a region the caller owns (initialised); false when nothing is left. The face
    // region is kept.
    bool IntersectTrapezoidRegionsInto(const SpanRegion* face, SpanRegion* result);
    // The outline of the area (its corners, closed by repeating the first) into `outline`.
    void TrapezoidRegionOutline(DynamicArray* outline) const;
    int32_t TrapezoidCount() const { return ArrayCount(); }
    const TrapezoidRow* Rows() const { return static_cast<const TrapezoidRow*>(ArrayData()); }

    // The clip shape: vertices in order round the convex shape, and edge i from vertex i to i + 1.
    int32_t ClipVertexCount() const;
    const FixedPoint* ClipVertices() const;
    const ClipEdgeEquation* ClipEdges() const;

    int32_t clipped = 0;   // 1 when the region holds a clip shape
    int32_t rowCount = 0;  // screen rows when direct pixel drawing is on, else 0
    int32_t imageFirstRow = 0;  // three words read by the textured image path
    int32_t imageLeft = 0;
    int32_t imageRight = 0;
    int32_t left = kRegionEmptyLow;
    int32_t top = kRegionEmptyLow;
    int32_t right = kRegionEmptyHigh;
    int32_t bottom = kRegionEmptyHigh;
    DynamicArray* shape = nullptr;   // FixedPoint clip polygon, or null
    int32_t empty = 0;               // 1 when the shape turned out empty
    DynamicArray* shape2 = nullptr;  // ClipEdgeEquation per clip edge, or null
    Fixed scanBounds[4] = {0, 0, 0, 0};  // 16.16 clip bounds: kScanTop, kScanBottom, kScanLeft, kScanRight
    int32_t boundsCopy[4] = {0, 0, 0, 0};
};

// Owns a region and lets go of it through SpanRegionFree (kept for NewSpanRegion).
struct SpanRegionRelease {
    void operator()(SpanRegion* region) const { region->SpanRegionFree(); }
};
using OwnedSpanRegion = std::unique_ptr<SpanRegion, SpanRegionRelease>;
