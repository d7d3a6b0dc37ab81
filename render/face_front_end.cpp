// The face drawing front end: the path of each face, the face counter and the work objects.
#include <windows.h>

#include "render/face_front_end.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "draw/current_port.h"
#include "draw/port_base.h"
#include "draw/q_offscreen.h"
#include "draw/raster_globals.h"
#include "draw/raster_procs.h"
#include "draw/region_work_services.h"
#include "foundation/loop_turns.h"
#include "raster/polygon_clip.h"
#include "raster/span_region.h"
#include "render/device_points.h"
#include "render/gdi_face_path.h"
#include "render/render_context.h"

namespace {

uint32_t gFacesDrawn = 0;
int32_t gCountArea = 0;
uint64_t gAreaDrawn = 0;
uint64_t gFacesCounted = 0;

SpanRegion* gWorkRegion = nullptr;
DynamicArray* gRectangleList = nullptr;

// Polygons of this many corners at most are cut exactly; a larger one counts its box.
constexpr int32_t kMostCorners = 56;
// Room for a polygon cut by every edge of the bounds and of a clip shape.
constexpr int32_t kCutRoom = 2 * kMostCorners + 16;

using CutPoint = double[2];

// Cuts the polygon of `n` points in `in` by the line from a to b, keeping the side on which the
// convex shape's inside lies (`sense` is the sign of the shape's area); the result goes back to `in`.
int32_t CutByEdge(CutPoint* in, int32_t n, const double* a, const double* b, double sense)
{
    CutPoint out[kCutRoom];
    auto inside = [&](const double* p) {
        return sense * ((b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])) >= 0;
    };
    int32_t m = 0;
    for (int32_t i = 0; i < n && m + 2 <= kCutRoom; ++i) {
        const double* p = in[i];
        const double* q = in[(i + 1) % n];
        const bool pIn = inside(p);
        if (pIn) {
            out[m][0] = p[0];
            out[m][1] = p[1];
            ++m;
        }
        if (pIn != inside(q)) {
            // The crossing of pq with the edge line.
            const double ex = b[0] - a[0], ey = b[1] - a[1];
            const double dp = ex * (p[1] - a[1]) - ey * (p[0] - a[0]);
            const double dq = ex * (q[1] - a[1]) - ey * (q[0] - a[0]);
            const double t = dp / (dp - dq);
            out[m][0] = p[0] + (q[0] - p[0]) * t;
            out[m][1] = p[1] + (q[1] - p[1]) * t;
            ++m;
        }
    }
    CountTurns(n);
    std::copy(&out[0][0], &out[0][0] + 2 * m, &in[0][0]);
    return m;
}

// Cuts the polygon by every edge of the convex shape of `count` corners.
int32_t CutByShape(CutPoint* in, int32_t n, const CutPoint* shape, int32_t count)
{
    double twice = 0;
    for (int32_t i = 0; i < count; ++i)
        twice += shape[i][0] * shape[(i + 1) % count][1] - shape[(i + 1) % count][0] * shape[i][1];
    CountTurns(count);
    if (twice == 0) return 0;
    const double sense = twice > 0 ? 1.0 : -1.0;
    for (int32_t i = 0; i < count && n > 0; ++i) n = CutByEdge(in, n, shape[i], shape[(i + 1) % count], sense);
    return n;
}

// The area of the polygon cut to the published target's bounds and to the region's clip shape,
// in pixels: the pixels the face's spans cover.
double ClippedArea(const DevicePointList* points, const SpanRegion* region)
{
    const Q_Offscreen* target = PublishedOffscreen;
    if (!target || !points) return 0;
    const PortRect& bounds = target->PortBounds();
    const int32_t n = points->ArrayCount();
    const DevicePoint* corners = points->Elements<DevicePoint>();
    CutPoint in[kCutRoom];
    int32_t m = 4;
    if (n > kMostCorners) {
        int32_t box[4] = {bounds.right, bounds.bottom, bounds.left, bounds.top};
        for (int32_t i = 0; i < n; ++i) {
            box[0] = std::min(box[0], corners[i].x);
            box[1] = std::min(box[1], corners[i].y);
            box[2] = std::max(box[2], corners[i].x);
            box[3] = std::max(box[3], corners[i].y);
        }
        const CutPoint boxCorners[4] = {{double(box[0]), double(box[1])}, {double(box[2]), double(box[1])},
                                        {double(box[2]), double(box[3])}, {double(box[0]), double(box[3])}};
        std::copy(&boxCorners[0][0], &boxCorners[0][0] + 8, &in[0][0]);
    } else {
        for (int32_t i = 0; i < n; ++i) {
            in[i][0] = corners[i].x;
            in[i][1] = corners[i].y;
        }
        m = n;
    }
    const CutPoint rect[4] = {{double(bounds.left), double(bounds.top)}, {double(bounds.right), double(bounds.top)},
                              {double(bounds.right), double(bounds.bottom)}, {double(bounds.left), double(bounds.bottom)}};
    m = CutByShape(in, m, rect, 4);
    if (region && region->clipped && region->ClipVertexCount() >= 3 && region->ClipVertexCount() <= kMostCorners) {
        CutPoint shape[kMostCorners];
        const int32_t count = region->ClipVertexCount();
        for (int32_t i = 0; i < count; ++i) {
            shape[i][0] = Fix2X(region->ClipVertices()[i].x);
            shape[i][1] = Fix2X(region->ClipVertices()[i].y);
        }
        CountTurns(count);
        m = CutByShape(in, m, shape, count);
    }
    double twice = 0;
    for (int32_t i = 0; i < m; ++i) twice += in[i][0] * in[(i + 1) % m][1] - in[(i + 1) % m][0] * in[i][1];
    CountTurns(n + m);
    return std::fabs(twice) / 2;
}

// The corners of the region's shape that a polygon drawn or cut into it is cut by: its clip shape
// for the rasterizers, its rows for the system's calls; 0 when it is not cut.
int64_t RegionCorners(const SpanRegion* region)
{
    if (!region->clipped) return 0;
    return region->rowCount ? region->ClipVertexCount() : region->TrapezoidCount();
}

// Counts the face and spends on it, its rows at what a row costs its fill: false when it is not
// to be drawn.
bool CountFace(const DevicePointList* points, const SpanRegion* region, int32_t options, int64_t rowPixels,
               bool cornersSpent = false)
{
    ++gFacesDrawn;
    return SpendOnFace(points, region, (options & kFaceFrame) != 0, rowPixels, cornersSpent);
}

// A face through the system's calls: its outline cut to the region first (SystemFaceOutline), the
// cut's corners spent beforehand, then counted and spent on as drawn where the cut leaves anything
// (a face of no area, or one that meets the region's bounds and not its shape, is not drawn).
int32_t DrawSystemFace(SpanRegion* region, const DevicePointList* points, int32_t options, int32_t pattern,
                       int32_t framePattern, const RGBColor48* fill, const RGBColor48* frame)
{
    if (!points) return 0;
    const int64_t regionCorners = RegionCorners(region);
    if (!CurrentRenderContext().frameBudget.Spend(FrameCost::kCornerPairs,
                                                  points->ArrayCount() * std::max<int64_t>(regionCorners, 1)))
        return 0;
    const DynamicArray* outline = SystemFaceOutline(region, points);
    if (!outline || !CountFace(points, region, options, kSystemRowPixels, true)) return 0;
    return DrawFaceGDI(region, points, outline, fill, frame, options, 0, pattern, framePattern);
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
        return DrawSystemFace(region, plain(), options, pattern, framePattern, fill, frame);
    }
    Q_Offscreen* target = PublishedOffscreen;
    if (shade && shade->values) {
        DevicePointList* points = nullptr;
        DeviceValueList* values = nullptr;
        shaded(&points, &values);
        if (!CountFace(points, region, options, kShadedRowPixels) || !points || !values || !target) return 0;
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
    if (!CountFace(points, region, options, kFlatRowPixels) || !points || !target) return 0;
    if (region->clipped) {
        return RasterProcs.FillPolygonClipped
                   ? RasterProcs.FillPolygonClipped(target, points, fill, frame, region, options, pattern)
                   : 0;
    }
    return RasterProcs.FillPolygon ? RasterProcs.FillPolygon(target, points, fill, frame, options, pattern) : 0;
}

class RendererRegionWork : public RegionWorkServices {
public:
    void PolyRgnStartup() override { IgnoreResult(::PolyRgnStartup()); }  // the lists are made again where first needed
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
    gFacesCounted = 0;
}

uint64_t FaceAreaDrawn()
{
    return gAreaDrawn;
}

uint64_t FacesCounted()
{
    return gFacesCounted;
}

namespace {

// A box of pixels, right and bottom exclusive.
struct PixelBox {
    int64_t left;
    int64_t top;
    int64_t right;
    int64_t bottom;
};

// The box of the points (at least one).
PixelBox PointsBox(const DevicePointList* points)
{
    const DevicePoint* p = points->Elements<DevicePoint>();
    PixelBox box = {p[0].x, p[0].y, p[0].x, p[0].y};
    const int32_t n = points->ArrayCount();
    for (int32_t i = 1; i < n; ++i) {
        box.left = std::min<int64_t>(box.left, p[i].x);
        box.top = std::min<int64_t>(box.top, p[i].y);
        box.right = std::max<int64_t>(box.right, p[i].x);
        box.bottom = std::max<int64_t>(box.bottom, p[i].y);
    }
    CountTurns(n);
    return box;
}

// The bounds of the region's shape: its clip shape's for the rasterizers, its rows' for the
// system's calls; false when it has none.
bool RegionBounds(const SpanRegion* region, PixelBox* box)
{
    if (!region->clipped) return false;
    if (region->rowCount) {
        *box = {region->scanBounds[kScanLeft] >> 16, region->scanBounds[kScanTop] >> 16,
                (region->scanBounds[kScanRight] >> 16) + 1, (region->scanBounds[kScanBottom] >> 16) + 1};
        return true;
    }
    const int32_t rows = region->TrapezoidCount();
    if (rows == 0) return false;
    // Rows run from the largest y down.
    *box = {region->left, region->Rows()[rows - 1].leftY, region->right, region->Rows()[0].leftY};
    return true;
}

// What drawing the polygon into the region may cost: the pixels of its box within the region's
// bounds (those of the published target when it has none), a column more for the fills' right
// ends and a row more, each of which a fill walks, and for each row `rowPixels` more; framed,
// for each edge the pixels that a line along it draws within that box, those of the system's
// lines at what they cost (kSystemLinePixels).
struct DrawCost {
    int64_t pixels;
    int64_t linePixels;
};

DrawCost CostOfDrawing(const DevicePointList* points, const SpanRegion* region, bool framed, int64_t rowPixels)
{
    const int32_t n = points->ArrayCount();
    if (n == 0) return {0, 0};
    const PixelBox box = PointsBox(points);
    PixelBox within = {0, 0, 0, 0};
    if (!RegionBounds(region, &within)) {
        const Q_Offscreen* target = PublishedOffscreen;
        if (!target) return {0, 0};
        const PortRect& bounds = target->PortBounds();
        within = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    }
    const int64_t width = std::min(box.right, within.right) - std::max(box.left, within.left);
    const int64_t height = std::min(box.bottom, within.bottom) - std::max(box.top, within.top);
    if (width < 0 || height < 0) return {0, 0};
    DrawCost cost = {(width + 1 + rowPixels) * (height + 1), 0};
    if (!framed) return cost;
    const int64_t longest = std::max(width, height) + 1;
    const DevicePoint* p = points->Elements<DevicePoint>();
    for (int32_t i = 0; i < n; ++i) {
        const DevicePoint& a = p[i];
        const DevicePoint& b = p[i + 1 == n ? 0 : i + 1];
        const int64_t dx = std::abs(int64_t(b.x) - a.x);
        const int64_t dy = std::abs(int64_t(b.y) - a.y);
        cost.linePixels += std::min(std::max(dx, dy) + 1, longest);
    }
    CountTurns(n);
    if (region->rowCount == 0) cost.linePixels *= kSystemLinePixels;
    return cost;
}

}  // namespace

bool BoxMeetsRegion(int64_t left, int64_t top, int64_t right, int64_t bottom, const SpanRegion* region)
{
    PixelBox bounds = {0, 0, 0, 0};
    if (!RegionBounds(region, &bounds)) return true;
    return left <= bounds.right && right >= bounds.left && top <= bounds.bottom && bottom >= bounds.top;
}

int64_t RegionBoxPixels(const SpanRegion* region)
{
    PixelBox bounds = {0, 0, 0, 0};
    if (!RegionBounds(region, &bounds)) return std::numeric_limits<int64_t>::max();
    return std::max<int64_t>(bounds.right - bounds.left, 0) * std::max<int64_t>(bounds.bottom - bounds.top, 0);
}

bool RegionReach(const SpanRegion* region, PixelRect* box)
{
    PixelBox bounds = {0, 0, 0, 0};
    if (!RegionBounds(region, &bounds)) return false;
    const auto clamp = [](int64_t v) { return int32_t(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX)); };
    *box = {clamp(bounds.left), clamp(bounds.top), clamp(bounds.right + 1), clamp(bounds.bottom + 1)};
    return true;
}

bool PolygonMeetsRegion(const DevicePointList* points, const SpanRegion* region)
{
    // The fillers' edges and the frame lines along them stay within this many pixels of the box.
    constexpr int64_t kEdgeSlack = 2;
    if (!points || points->ArrayCount() == 0) return true;
    const PixelBox box = PointsBox(points);
    return BoxMeetsRegion(box.left - kEdgeSlack, box.top - kEdgeSlack, box.right + kEdgeSlack, box.bottom + kEdgeSlack,
                          region);
}

SpanRegion* CutRegion(SpanRegion* region, const DevicePointList* points)
{
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    if (points && !budget.Spend(FrameCost::kCornerPairs,
                                int64_t(points->ArrayCount()) * std::max<int64_t>(1, RegionCorners(region))))
        return nullptr;
    return region->SpanRegionIntersectPolygon(points);
}

bool SpendOnFace(const DevicePointList* points, const SpanRegion* region, bool framed, int64_t rowPixels,
                 bool cornersSpent)
{
    if (!points) return true;
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    if (budget.Drawing()) {
        const DrawCost cost = CostOfDrawing(points, region, framed, rowPixels);
        if (!budget.SpendOnDraw(cost.pixels, cost.linePixels, cornersSpent ? 0 : points->ArrayCount(),
                                RegionCorners(region)))
            return false;
    }
    if (gCountArea) {
        ++gFacesCounted;
        gAreaDrawn += uint64_t(ClippedArea(points, region) + 0.5);
    }
    return true;
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
    const int32_t result = DrawSystemFace(region, points, options, pattern, framePattern, fill, frame);
    if (dc) SetPolyFillMode(dc, saved);
    return result;
}
