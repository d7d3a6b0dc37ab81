// The face drawing front end: the path of each face, the face counter and the work objects.
#include <windows.h>

#include "render/face_front_end.h"

#include <algorithm>
#include <cmath>

#include "draw/current_port.h"
#include "draw/port_base.h"
#include "draw/q_offscreen.h"
#include "draw/raster_globals.h"
#include "draw/raster_procs.h"
#include "draw/region_work_services.h"
#include "raster/polygon_clip.h"
#include "raster/span_region.h"
#include "render/device_points.h"
#include "render/gdi_face_path.h"

namespace {

uint32_t gFacesDrawn = 0;
int32_t gCountArea = 0;
uint64_t gAreaDrawn = 0;

SpanRegion* gWorkRegion = nullptr;
DynamicArray* gRectangleList = nullptr;

// The area of the polygon cut to the published target's bounds, in pixels.
double ClippedArea(const DevicePointList* points)
{
    const Q_Offscreen* target = PublishedOffscreen;
    if (!target || !points) return 0;
    PortRect bounds;
    target->GetBounds(&bounds);
    constexpr int32_t kMostCorners = 56;
    double in[kMostCorners + 8][2];
    double out[kMostCorners + 8][2];
    int32_t n = points->ArrayCount();
    if (n > kMostCorners) {
        // A polygon of many corners counts its box.
        int32_t box[4] = {bounds.right, bounds.bottom, bounds.left, bounds.top};
        for (int32_t i = 0; i < n; ++i) {
            const DevicePoint& p = points->Elements<DevicePoint>()[i];
            box[0] = std::min(box[0], p.x);
            box[1] = std::min(box[1], p.y);
            box[2] = std::max(box[2], p.x);
            box[3] = std::max(box[3], p.y);
        }
        const double w = std::max(0, std::min(box[2], bounds.right) - std::max(box[0], bounds.left));
        const double h = std::max(0, std::min(box[3], bounds.bottom) - std::max(box[1], bounds.top));
        return w * h;
    }
    for (int32_t i = 0; i < n; ++i) {
        in[i][0] = points->Elements<DevicePoint>()[i].x;
        in[i][1] = points->Elements<DevicePoint>()[i].y;
    }
    // Cut by the four sides: x >= left, x <= right, y >= top, y <= bottom.
    const double limits[4] = {double(bounds.left), double(bounds.right), double(bounds.top), double(bounds.bottom)};
    for (int32_t side = 0; side < 4 && n > 0; ++side) {
        const int32_t axis = side / 2;
        const double sign = side % 2 == 0 ? 1.0 : -1.0;
        auto inside = [&](const double* p) { return sign * (p[axis] - limits[side]) >= 0; };
        int32_t m = 0;
        for (int32_t i = 0; i < n; ++i) {
            const double* a = in[i];
            const double* b = in[(i + 1) % n];
            if (inside(a)) {
                out[m][0] = a[0];
                out[m][1] = a[1];
                ++m;
            }
            if (inside(a) != inside(b)) {
                const double t = (limits[side] - a[axis]) / (b[axis] - a[axis]);
                out[m][0] = a[0] + (b[0] - a[0]) * t;
                out[m][1] = a[1] + (b[1] - a[1]) * t;
                ++m;
            }
        }
        n = m;
        std::copy(&out[0][0], &out[0][0] + 2 * m, &in[0][0]);
    }
    double twice = 0;
    for (int32_t i = 0; i < n; ++i) twice += in[i][0] * in[(i + 1) % n][1] - in[(i + 1) % n][0] * in[i][1];
    return std::fabs(twice) / 2;
}

void CountFace(const DevicePointList* points)
{
    ++gFacesDrawn;
    CountFaceArea(points);
}

// One face through the path its region chooses: `plain` builds its device points, `shaded` its
// device points and values.
template <class Plain, class Shaded>
int32_t DrawFace(SpanRegion* region, int32_t options, const FaceShadeRecord* shade, int32_t pattern,
                 int32_t framePattern, const RGBColor48* fill, const RGBColor48* frame, const FaceIdentity* identity,
                 Plain plain, Shaded shaded)
{
    if (PickMode && identity) PickCurrent = *identity;
    if (region->rowCount == 0) {
        DevicePointList* points = plain();
        CountFace(points);
        return points ? DrawFaceGDI(region, points, fill, frame, options, 0, pattern, framePattern) : 0;
    }
    Q_Offscreen* target = PublishedOffscreen;
    if (shade && shade->values) {
        DevicePointList* points = nullptr;
        DeviceValueList* values = nullptr;
        shaded(&points, &values);
        CountFace(points);
        if (!points || !values || !target) return 0;
        if (region->clipped) {
            return RasterProcs.ShadePolygonClipped
                       ? RasterProcs.ShadePolygonClipped(target, points, values, shade->rampByte, frame, region, options,
                                                         pattern)
                       : 0;
        }
        return RasterProcs.ShadePolygon
                   ? RasterProcs.ShadePolygon(target, points, values, shade->rampByte, frame, options, pattern)
                   : 0;
    }
    DevicePointList* points = plain();
    CountFace(points);
    if (!points || !target) return 0;
    if (region->clipped) {
        return RasterProcs.FillPolygonClipped
                   ? RasterProcs.FillPolygonClipped(target, points, fill, frame, region, options, pattern)
                   : 0;
    }
    return RasterProcs.FillPolygon ? RasterProcs.FillPolygon(target, points, fill, frame, options, pattern) : 0;
}

class RendererRegionWork : public RegionWorkServices {
public:
    void PolyRgnStartup() override { ::PolyRgnStartup(); }
    void PolyRgnShutdown() override { ::PolyRgnShutdown(); }
};

}  // namespace

int32_t DrawPolygonFace(SpanRegion* region, const DynamicArray* vertices, int32_t options, const FaceShadeRecord* shade,
                        int32_t pattern, int32_t framePattern, const RGBColor48* fill, const RGBColor48* frame,
                        int32_t order, const FaceIdentity* identity)
{
    return DrawFace(
        region, options, shade, pattern, framePattern, fill, frame, identity,
        [&]() { return BuildDevicePoly(vertices, order); },
        [&](DevicePointList** points, DeviceValueList** values) {
            BuildShadedDevicePoly(vertices, order, shade->values, points, values);
        });
}

int32_t DrawIndexedPolygonFace(SpanRegion* region, const DynamicArray* vertices, const DynamicArray* indices,
                               int32_t options, const FaceShadeRecord* shade, int32_t pattern, int32_t framePattern,
                               const RGBColor48* fill, const RGBColor48* frame, int32_t order,
                               const FaceIdentity* identity)
{
    return DrawFace(
        region, options, shade, pattern, framePattern, fill, frame, identity,
        [&]() { return BuildIndexedDevicePoly(vertices, indices, order); },
        [&](DevicePointList** points, DeviceValueList** values) {
            BuildIndexedShadedDevicePoly(vertices, indices, order, shade->values, points, values);
        });
}

uint32_t FacesDrawn()
{
    return gFacesDrawn;
}

void SetFaceAreaCounting(int32_t on)
{
    gCountArea = on;
    gAreaDrawn = 0;
}

uint64_t FaceAreaDrawn()
{
    return gAreaDrawn;
}

void CountFaceArea(const DevicePointList* points)
{
    if (gCountArea) gAreaDrawn += uint64_t(ClippedArea(points) + 0.5);
}

int32_t DirectDrawingRows()
{
    if (PickMode || !GetDirectPixelDrawing() || GetGdiOnlyDrawing()) return 0;
    const Q_Offscreen* target = SharedOffscreen;
    if (!target || target != PublishedOffscreen || !target->HasRasterizers()) return 0;
    return target->Format().height;
}

ResultCode PolyRgnStartup()
{
    InstallRegionRowQuery(DirectDrawingRows);
    if (!gWorkRegion) gWorkRegion = NewSpanRegion();
    if (!gRectangleList) {
        gRectangleList = NewDynamicArray(4, int32_t(sizeof(DevicePoint)), 8);
        if (gRectangleList) gRectangleList->ArrayLock();
    }
    const bool lists = InitDevicePointLists() == kResultOk && GdiOutlineList() && InitClipScratch() == kResultOk;
    return gWorkRegion && gRectangleList && lists ? kResultOk : kResultOutOfMemory;
}

void PolyRgnShutdown()
{
    if (gWorkRegion) gWorkRegion->SpanRegionFree();
    gWorkRegion = nullptr;
    if (gRectangleList) {
        gRectangleList->ArrayUnlock();
        gRectangleList->Destroy();
        gRectangleList = nullptr;
    }
    FreeDevicePointLists();
    FreeGdiOutlineList();
    FreeClipScratch();
    FreeSpareRegions();
}

void InstallRendererRegionWork()
{
    static RendererRegionWork services;
    InstallRegionWorkServices(&services);
}

int32_t DrawPolygonFaceWinding(SpanRegion* region, const DynamicArray* vertices, int32_t options, int32_t,
                               const FaceShadeRecord*, int32_t pattern, int32_t framePattern, const RGBColor48* fill,
                               const RGBColor48* frame, int32_t order, const FaceIdentity* identity)
{
    if (PickMode && identity) PickCurrent = *identity;
    HDC dc = GetPort();
    const int saved = dc ? GetPolyFillMode(dc) : 0;
    if (dc) SetPolyFillMode(dc, WINDING);
    DevicePointList* points = BuildDevicePoly(vertices, order);
    CountFace(points);
    const int32_t result = points ? DrawFaceGDI(region, points, fill, frame, options, 0, pattern, framePattern) : 0;
    if (dc) SetPolyFillMode(dc, saved);
    return result;
}
