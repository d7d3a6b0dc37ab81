// SpanRegion: the region a face is drawn into. For direct pixel drawing it carries the convex clip
// shape (16.16 clip polygon, its edge equations and bounds) that the clipped rasterizers cut against.
// This is the part of the region the rasterizers read; the renderer adds its trapezoid form.
#pragma once

#include <cstdint>

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

class SpanRegion : public DynamicArray {
public:
    // Sets the drawing mode and empty bounds: rows when the published raster target can be
    // drawn directly, no clip shape.
    void SpanRegionInit();
    // Frees the owned clip-shape arrays and the region itself.
    void SpanRegionFree();
    // A new clipped region of the rectangle (right and bottom exclusive) within this one; null
    // when this region is already clipped, is empty, or the rectangle leaves nothing.
    SpanRegion* SpanRegionFromRect(int32_t rectLeft, int32_t rectTop, int32_t rectRight, int32_t rectBottom);
    // Gives `region` its clip shape from a polygon of device points: the polygon itself, inset by
    // a quarter pixel, when this region has no shape; else the polygon cut by this region's shape.
    void SetRegionClipShape(SpanRegion* region, const DevicePoint* points, int32_t count) const;

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
