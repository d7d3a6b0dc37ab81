// Test support: span regions with convex clip shapes, released when they go out of scope.
#pragma once

#include <memory>
#include <vector>

#include "raster/span_region.h"

namespace rastertest {

using RegionPtr = OwnedSpanRegion;

// A fresh region without a clip shape.
inline RegionPtr WholeRegion()
{
    RegionPtr region(new SpanRegion);
    region->SpanRegionInit();
    return region;
}

// A clipped region for the rectangle (right and bottom exclusive): the clip polygon is the
// rectangle inset by a quarter pixel.
inline RegionPtr RectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    RegionPtr whole = WholeRegion();
    return RegionPtr(whole->SpanRegionFromRect(left, top, right, bottom));
}

// A clipped region whose clip shape is the convex polygon of device points (clockwise on the
// screen), inset by a quarter pixel as the first shape of a view.
inline RegionPtr ShapeRegion(const std::vector<DevicePoint>& points)
{
    RegionPtr whole = WholeRegion();
    RegionPtr region(new SpanRegion);
    region->SpanRegionInit();
    region->clipped = 1;
    whole->SetRegionClipShape(region.get(), points.data(), int32_t(points.size()));
    return region;
}

}  // namespace rastertest
