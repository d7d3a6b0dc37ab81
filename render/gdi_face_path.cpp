// The GDI face path and the pick test.
#include <windows.h>

#include "render/gdi_face_path.h"

#include <algorithm>
#include <cstdint>

#include "draw/current_port.h"
#include "draw/pen_state.h"
#include "draw/q_offscreen.h"
#include "draw/raster_globals.h"
#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "model/object_geometry.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "raster/span_region.h"
#include "render/render_context.h"
#include "render/view_commands.h"

static_assert(sizeof(POINT) == sizeof(DevicePoint), "device points are laid out as the system's points");

int32_t PickMode = 0;
int32_t PickX = 0;
int32_t PickY = 0;
FaceIdentity PickCurrent = kEmptyFaceIdentity;
FaceIdentity PickHit = kEmptyFaceIdentity;

namespace {

constexpr uint16_t kPickableFrom = 0x1000;
constexpr RGBColor48 kGreyFrame = {0x8000, 0x8000, 0x8000};

DynamicArray* gOutline = nullptr;
// The face's trapezoid region and its cut by the clip region, reused for every face.
SpanRegion* gFaceRegion = nullptr;
SpanRegion* gCutRegion = nullptr;

SpanRegion* WorkRegion(SpanRegion*& region)
{
    if (!region) region = NewSpanRegion();
    return region;
}

const POINT* SystemPoints(const DynamicArray* points)
{
    return static_cast<const POINT*>(points->ArrayData());
}

bool PointInPolygon(const POINT* points, int32_t count, int32_t x, int32_t y)
{
    if (count < 3) return false;
    CountTurns(count);
    HRGN region = CreatePolygonRgn(points, count, WINDING);
    if (!region) return false;
    const bool inside = PtInRegion(region, x, y) != FALSE;
    DeleteObject(region);
    return inside;
}

// Keeps the current identity as the hit when the pick point lies in the face and in the clip
// region; nothing is drawn.
void PickTest(const SpanRegion* region, const DynamicArray* points)
{
    // Faces and elements that are nearly transparent cannot be picked.
    if (PickCurrent.element) {
        if (PickCurrent.element->ColourCode < kPickableFrom) return;
    } else if (PickCurrent.geometry && PickCurrent.face != -1) {
        const PolygonRecord* record = PickCurrent.geometry->FindPartById(PickCurrent.face);
        if (record && record->ColourCode < kPickableFrom) return;
    }
    const int32_t rows = region->TrapezoidCount();
    if (rows > 0) {
        const TrapezoidRow* row = region->Rows();
        int32_t i = -1;
        int32_t k = rows - 1;
        for (; k >= 0; --k) {
            if (row[k].leftY > PickY) {
                i = k;
                break;
            }
        }
        CountTurns(rows - k);
        if (i < 0 || i == rows - 1) return;
        POINT quad[4];
        int32_t n = 0;
        const TrapezoidRow& below = row[i + 1];
        const TrapezoidRow& above = row[i];
        quad[n++] = {below.leftX, below.leftY};
        if (below.rightX != below.leftX) quad[n++] = {below.rightX, below.rightY};
        quad[n++] = {above.rightX, above.rightY};
        if (above.leftX != above.rightX) quad[n++] = {above.leftX, above.leftY};
        if (!PointInPolygon(quad, n, PickX, PickY)) return;
    }
    if (PointInPolygon(SystemPoints(points), points->ArrayCount(), PickX, PickY)) PickHit = PickCurrent;
}

// The spans the system's fill of the closed outline makes beyond one a row: each row of its box
// crosses its edges, two to a span, and a convex outline makes one span a row. The rows are those
// of the published target (every row when there is none).
int64_t SpansBeyondOne(const DynamicArray* outline)
{
    const int32_t n = outline->ArrayCount();
    if (n < 2) return 0;
    const DevicePoint* p = outline->Elements<DevicePoint>();
    int64_t top = INT32_MIN;
    int64_t bottom = INT32_MAX;
    if (const Q_Offscreen* target = PublishedOffscreen) {
        top = target->PortBounds().top;
        bottom = target->PortBounds().bottom;
    }
    int64_t minimum = bottom;
    int64_t maximum = top;
    int64_t crossed = 0;
    for (int32_t i = 0; i + 1 < n; ++i) {
        const int64_t a = std::clamp<int64_t>(p[i].y, top, bottom);
        const int64_t b = std::clamp<int64_t>(p[i + 1].y, top, bottom);
        crossed += a < b ? b - a : a - b;
        minimum = std::min({minimum, a, b});
        maximum = std::max({maximum, a, b});
    }
    CountTurns(n);
    return std::max<int64_t>(crossed / 2 - (maximum - minimum), 0);
}

}  // namespace

DynamicArray* GdiOutlineList()
{
    if (!gOutline) gOutline = NewDynamicArray(0, int32_t(sizeof(DevicePoint)), 8);
    return gOutline;
}

void FreeGdiOutlineList()
{
    if (gOutline) gOutline->Destroy();
    gOutline = nullptr;
    if (gFaceRegion) gFaceRegion->SpanRegionFree();
    if (gCutRegion) gCutRegion->SpanRegionFree();
    gFaceRegion = gCutRegion = nullptr;
}

const DynamicArray* SystemFaceOutline(SpanRegion* region, const DynamicArray* points)
{
    DynamicArray* outline = GdiOutlineList();
    if (!outline || !points) return nullptr;
    if (region->clipped) {
        SpanRegion* face = WorkRegion(gFaceRegion);
        SpanRegion* cut = WorkRegion(gCutRegion);
        if (!face || !cut) return nullptr;
        face->BuildTrapezoidRegion(points->Elements<DevicePoint>(), points->ArrayCount());
        if (!region->IntersectTrapezoidRegionsInto(face, cut)) return nullptr;
        cut->TrapezoidRegionOutline(outline);
    } else {
        CountTurns(points->ArrayCount());
        if (points->ArrayCopyTo(outline) != kResultOk || points->ArrayCount() == 0) return nullptr;
        const DevicePoint first = *points->At<DevicePoint>(0);
        outline->Append(&first);
    }
    return outline;
}

int32_t DrawFaceGDI(SpanRegion* region, const DynamicArray* points, const DynamicArray* outline, const RGBColor48* fill,
                    const RGBColor48* frame, int32_t options, int32_t penMode, int32_t fillPattern, int32_t framePattern)
{
    // Spans beyond one a row cost the system's fill (and the pick test's region) far more than the
    // outline's corners and pixels: spent beforehand.
    if (!CurrentRenderContext().frameBudget.Spend(FrameCost::kSystemSpans, SpansBeyondOne(outline))) return 0;
    if (PickMode) {
        PickTest(region, points);
        return 1;
    }

    StockPatternIndex fillTimePattern = 0;
    PenState savedPen = {0};
    if (fillPattern) fillTimePattern = GetPenPat();
    if (penMode) {
        GetPenState(&savedPen);
        PenMode(penMode);
    }
    if (fill) RGBForeColor(*fill);
    if (options & kFaceFill) {
        if (fillPattern) PenPat(fillPattern);
        FillDevicePolygon(outline);
    }
    if (options & kFaceFrame) {
        const StockPatternIndex current = GetPenPat();
        if (framePattern) PenPat(framePattern);
        if (frame) RGBForeColor(*frame);
        // Over a grey stock pattern the frame is drawn in mid grey.
        const bool grey = current >= 2 && current <= 4;
        if (grey) RGBForeColor(kGreyFrame);
        FrameDevicePolygon(outline);
        if (grey) RGBForeColor(fill ? *fill : kBlackColor);
        if (framePattern) PenPat(current);
    }
    if (fillPattern) PenPat(fillTimePattern);
    if (penMode) SetPenState(savedPen);
    return 1;
}

void FillDevicePolygon(const DynamicArray* points)
{
    HDC dc = GetPort();
    if (!dc || !points || points->ArrayCount() == 0) return;
    CountTurns(points->ArrayCount());
    HPEN pen = CreatePen(PS_NULL, 1, 0);
    HGDIOBJ previous = SelectObject(dc, pen);
    Polygon(dc, SystemPoints(points), points->ArrayCount());
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void FrameDevicePolygon(const DynamicArray* points)
{
    HDC dc = GetPort();
    if (!dc || !points || points->ArrayCount() == 0) return;
    CountTurns(points->ArrayCount());
    Polyline(dc, SystemPoints(points), points->ArrayCount());
}

int32_t PickFaceAt(PickableView* view, int32_t x, int32_t y, FaceIdentity* identity)
{
    PickMode = 1;
    PickX = x;
    PickY = y;
    PickCurrent = kEmptyFaceIdentity;
    PickHit = kEmptyFaceIdentity;
    const int32_t result = view ? view->DrawView(0, kCommandStep, kCodeRedraw, 0) : 0;
    PickMode = 0;
    *identity = PickHit;
    return result;
}
