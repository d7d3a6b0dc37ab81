// The rasterizer sets over offscreens: each routine takes the published raster target, matches its
// colours on the offscreen, locks the caller's lists and runs the polygon routine of its format.
#include "raster/raster_sets.h"

#include <type_traits>

#include "draw/q_offscreen.h"
#include "draw/raster_globals.h"
#include "draw/shade_level_tables.h"
#include "foundation/dynamic_array.h"
#include "raster/format_direct.h"
#include "raster/format_indexed.h"
#include "raster/format_planar.h"
#include "raster/raster_polygon.h"

using namespace raster;

namespace {

template <class F>
constexpr int32_t kPlanes = std::is_same_v<F, Planar4> ? 4 : 1;
template <class F>
constexpr int32_t kPlaneBits = std::is_same_v<F, Planar4> ? 1 : F::kBitsPerPixel;

// The published pixels as a raster target, with the offscreen's origins and destination
// rectangle; false when nothing is published in this set's pixel format.
template <class F>
bool PublishedTarget(Q_Offscreen* offscreen, RasterTarget* target)
{
    const RasterGlobals& g = PublishedRaster;
    if (!offscreen || !g.pixelAccess || !g.rowTable || g.planes != kPlanes<F> || g.bitsPerPixel != kPlaneBits<F>)
        return false;
    PortRect destination;
    offscreen->GetOffscreenDestRect(&destination);
    *target = {g.rowTable,
               g.width,
               g.height,
               g.rowBytes,
               Q_Offscreen::OffscreenOriginX(),
               Q_Offscreen::OffscreenOriginY(),
               {destination.left, destination.top, destination.right, destination.bottom}};
    return true;
}

uint32_t LineWord(Q_Offscreen* offscreen, const RGBColor48* colour)
{
    return colour ? offscreen->ColorToPixel(*colour) : 0;
}

// The fill pixel word: the single-value fill match unless option 16 asks for the dither pattern;
// the direct-colour formats always take the exact colour.
template <class F>
uint32_t FillWord(Q_Offscreen* offscreen, const RGBColor48* colour, int32_t options)
{
    if (!colour) return 0;
    if (F::kTakesFillColor && !(options & kOptionColorMode)) return offscreen->ColorToPixelFill(*colour);
    return offscreen->ColorToPixel(*colour);
}

// A caller's list, locked while it is read.
template <class T>
class LockedList {
public:
    explicit LockedList(DynamicArray* list)
        : list_(list), data_(list ? static_cast<T*>(list->ArrayLock()) : nullptr), count_(list ? list->ArrayCount() : 0)
    {
    }
    ~LockedList()
    {
        if (list_) list_->ArrayUnlock();
    }
    LockedList(const LockedList&) = delete;
    LockedList& operator=(const LockedList&) = delete;

    T* Data() const { return data_; }
    int32_t Count() const { return count_; }

private:
    DynamicArray* list_;
    T* data_;
    int32_t count_;
};

template <class F>
int32_t FillPolygonOf(Q_Offscreen* offscreen, DynamicArray* points, const RGBColor48* fill, const RGBColor48* frame,
                      int32_t options, int32_t pattern)
{
    RasterTarget target;
    if (!points || !PublishedTarget<F>(offscreen, &target)) return 0;
    const uint32_t fillWord = FillWord<F>(offscreen, fill, options);
    const uint32_t frameWord = LineWord(offscreen, frame);
    LockedList<const DevicePoint> list(points);
    return FillPolygonOn<F>(target, list.Data(), list.Count(), fillWord, frameWord, options, pattern);
}

template <class F>
int32_t FillPolygonClippedOf(Q_Offscreen* offscreen, DynamicArray* points, const RGBColor48* fill,
                             const RGBColor48* frame, SpanRegion* region, int32_t options, int32_t pattern)
{
    RasterTarget target;
    if (!points || !PublishedTarget<F>(offscreen, &target)) return 0;
    const uint32_t fillWord = FillWord<F>(offscreen, fill, options);
    const uint32_t frameWord = LineWord(offscreen, frame);
    LockedList<const DevicePoint> list(points);
    return FillPolygonClippedOn<F>(target, list.Data(), list.Count(), fillWord, frameWord, region, options, pattern);
}

// Draws nothing when the value list does not hold a value for every point.
template <class F>
int32_t ShadePolygonClippedOf(Q_Offscreen* offscreen, DynamicArray* points, DynamicArray* values, int32_t rampByte,
                              const RGBColor48* frame, SpanRegion* region, int32_t options, int32_t pattern)
{
    RasterTarget target;
    if (!points || !values || !PublishedTarget<F>(offscreen, &target)) return 0;
    LockedList<const DevicePoint> list(points);
    LockedList<Fixed> intensities(values);
    if (intensities.Count() < list.Count()) return 0;
    return ShadePolygonClippedOn<F>(target, list.Data(), intensities.Data(), list.Count(), ShadeLevelScreenSet,
                                    rampByte, LineWord(offscreen, frame), region, options, pattern);
}

template <class F>
int32_t ShadePolygonOf(Q_Offscreen* offscreen, DynamicArray* points, DynamicArray* values, int32_t rampByte,
                       const RGBColor48* frame, int32_t options, int32_t pattern)
{
    RasterTarget target;
    if (!points || !values || !PublishedTarget<F>(offscreen, &target)) return 0;
    PortRect bounds;
    offscreen->GetBounds(&bounds);
    LockedList<const DevicePoint> list(points);
    LockedList<Fixed> intensities(values);
    if (intensities.Count() < list.Count()) return 0;
    return ShadePolygonOn<F>(target, {bounds.left, bounds.top, bounds.right, bounds.bottom}, list.Data(),
                             intensities.Data(), list.Count(), ShadeLevelScreenSet, rampByte,
                             LineWord(offscreen, frame), options, pattern);
}

template <class F>
void DrawLineOf(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* colour)
{
    RasterTarget target;
    if (PublishedTarget<F>(offscreen, &target))
        DrawLineOn<F>(target, x0, y0, x1, y1, F::MakeLine(LineWord(offscreen, colour)));
}

template <class F>
void DrawLineFixedOf(Q_Offscreen* offscreen, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* colour)
{
    RasterTarget target;
    if (PublishedTarget<F>(offscreen, &target))
        DrawLineFixedOn<F>(target, x0, y0, x1, y1, F::MakeLine(LineWord(offscreen, colour)));
}

template <class F>
void DrawLineClippedOf(Q_Offscreen* offscreen, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const RGBColor48* colour, const SpanRegion* region)
{
    RasterTarget target;
    if (PublishedTarget<F>(offscreen, &target))
        DrawLineClippedOn<F>(target, x0, y0, x1, y1, F::MakeLine(LineWord(offscreen, colour)), region);
}

}  // namespace

// ---- 4 planes ----

int32_t FillPolygonPlanar(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r, int32_t opt,
                          int32_t pat)
{
    return FillPolygonOf<Planar4>(o, p, f, r, opt, pat);
}
int32_t FillPolygonClippedPlanar(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r,
                                 SpanRegion* g, int32_t opt, int32_t pat)
{
    return FillPolygonClippedOf<Planar4>(o, p, f, r, g, opt, pat);
}
int32_t ShadePolygonPlanar(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                           int32_t opt, int32_t pat)
{
    return ShadePolygonOf<Planar4>(o, p, v, b, r, opt, pat);
}
int32_t ShadePolygonClippedPlanar(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                                  SpanRegion* g, int32_t opt, int32_t pat)
{
    return ShadePolygonClippedOf<Planar4>(o, p, v, b, r, g, opt, pat);
}
void DrawLinePlanar(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c)
{
    DrawLineOf<Planar4>(o, x0, y0, x1, y1, c);
}
void DrawLineFixedPlanar(Q_Offscreen* o, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* c)
{
    DrawLineFixedOf<Planar4>(o, x0, y0, x1, y1, c);
}
void DrawLineClippedPlanar(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c,
                           const SpanRegion* g)
{
    DrawLineClippedOf<Planar4>(o, x0, y0, x1, y1, c, g);
}
const RasterProcSet RasterSetPlanar = {FillPolygonPlanar, FillPolygonClippedPlanar, ShadePolygonPlanar,
                                       ShadePolygonClippedPlanar};

// ---- 4 bits ----

int32_t FillPolygon4(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r, int32_t opt,
                     int32_t pat)
{
    return FillPolygonOf<Packed4>(o, p, f, r, opt, pat);
}
int32_t FillPolygonClipped4(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r,
                            SpanRegion* g, int32_t opt, int32_t pat)
{
    return FillPolygonClippedOf<Packed4>(o, p, f, r, g, opt, pat);
}
int32_t ShadePolygon4(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r, int32_t opt,
                      int32_t pat)
{
    return ShadePolygonOf<Packed4>(o, p, v, b, r, opt, pat);
}
int32_t ShadePolygonClipped4(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                             SpanRegion* g, int32_t opt, int32_t pat)
{
    return ShadePolygonClippedOf<Packed4>(o, p, v, b, r, g, opt, pat);
}
void DrawLine4(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c)
{
    DrawLineOf<Packed4>(o, x0, y0, x1, y1, c);
}
void DrawLineFixed4(Q_Offscreen* o, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* c)
{
    DrawLineFixedOf<Packed4>(o, x0, y0, x1, y1, c);
}
void DrawLineClipped4(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c,
                      const SpanRegion* g)
{
    DrawLineClippedOf<Packed4>(o, x0, y0, x1, y1, c, g);
}
const RasterProcSet RasterSet4 = {FillPolygon4, FillPolygonClipped4, ShadePolygon4, ShadePolygonClipped4};

// ---- 8 bits ----

int32_t FillPolygon8(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r, int32_t opt,
                     int32_t pat)
{
    return FillPolygonOf<Indexed8>(o, p, f, r, opt, pat);
}
int32_t FillPolygonClipped8(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r,
                            SpanRegion* g, int32_t opt, int32_t pat)
{
    return FillPolygonClippedOf<Indexed8>(o, p, f, r, g, opt, pat);
}
int32_t ShadePolygon8(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r, int32_t opt,
                      int32_t pat)
{
    return ShadePolygonOf<Indexed8>(o, p, v, b, r, opt, pat);
}
int32_t ShadePolygonClipped8(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                             SpanRegion* g, int32_t opt, int32_t pat)
{
    return ShadePolygonClippedOf<Indexed8>(o, p, v, b, r, g, opt, pat);
}
void DrawLine8(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c)
{
    DrawLineOf<Indexed8>(o, x0, y0, x1, y1, c);
}
void DrawLineFixed8(Q_Offscreen* o, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* c)
{
    DrawLineFixedOf<Indexed8>(o, x0, y0, x1, y1, c);
}
void DrawLineClipped8(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c,
                      const SpanRegion* g)
{
    DrawLineClippedOf<Indexed8>(o, x0, y0, x1, y1, c, g);
}
const RasterProcSet RasterSet8 = {FillPolygon8, FillPolygonClipped8, ShadePolygon8, ShadePolygonClipped8};

// ---- 16 bits ----

int32_t FillPolygon16(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r, int32_t opt,
                      int32_t pat)
{
    return FillPolygonOf<Direct16>(o, p, f, r, opt, pat);
}
int32_t FillPolygonClipped16(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r,
                             SpanRegion* g, int32_t opt, int32_t pat)
{
    return FillPolygonClippedOf<Direct16>(o, p, f, r, g, opt, pat);
}
int32_t ShadePolygon16(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r, int32_t opt,
                       int32_t pat)
{
    return ShadePolygonOf<Direct16>(o, p, v, b, r, opt, pat);
}
int32_t ShadePolygonClipped16(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                              SpanRegion* g, int32_t opt, int32_t pat)
{
    return ShadePolygonClippedOf<Direct16>(o, p, v, b, r, g, opt, pat);
}
void DrawLine16(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c)
{
    DrawLineOf<Direct16>(o, x0, y0, x1, y1, c);
}
void DrawLineFixed16(Q_Offscreen* o, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* c)
{
    DrawLineFixedOf<Direct16>(o, x0, y0, x1, y1, c);
}
void DrawLineClipped16(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c,
                       const SpanRegion* g)
{
    DrawLineClippedOf<Direct16>(o, x0, y0, x1, y1, c, g);
}
const RasterProcSet RasterSet16 = {FillPolygon16, FillPolygonClipped16, ShadePolygon16, ShadePolygonClipped16};

// ---- 24 bits ----

int32_t FillPolygon24(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r, int32_t opt,
                      int32_t pat)
{
    return FillPolygonOf<Direct24>(o, p, f, r, opt, pat);
}
int32_t FillPolygonClipped24(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r,
                             SpanRegion* g, int32_t opt, int32_t pat)
{
    return FillPolygonClippedOf<Direct24>(o, p, f, r, g, opt, pat);
}
int32_t ShadePolygon24(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r, int32_t opt,
                       int32_t pat)
{
    return ShadePolygonOf<Direct24>(o, p, v, b, r, opt, pat);
}
int32_t ShadePolygonClipped24(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                              SpanRegion* g, int32_t opt, int32_t pat)
{
    return ShadePolygonClippedOf<Direct24>(o, p, v, b, r, g, opt, pat);
}
void DrawLine24(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c)
{
    DrawLineOf<Direct24>(o, x0, y0, x1, y1, c);
}
void DrawLineFixed24(Q_Offscreen* o, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* c)
{
    DrawLineFixedOf<Direct24>(o, x0, y0, x1, y1, c);
}
void DrawLineClipped24(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c,
                       const SpanRegion* g)
{
    DrawLineClippedOf<Direct24>(o, x0, y0, x1, y1, c, g);
}
const RasterProcSet RasterSet24 = {FillPolygon24, FillPolygonClipped24, ShadePolygon24, ShadePolygonClipped24};

// ---- 32 bits ----

int32_t FillPolygon32(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r, int32_t opt,
                      int32_t pat)
{
    return FillPolygonOf<Direct32>(o, p, f, r, opt, pat);
}
int32_t FillPolygonClipped32(Q_Offscreen* o, DynamicArray* p, const RGBColor48* f, const RGBColor48* r,
                             SpanRegion* g, int32_t opt, int32_t pat)
{
    return FillPolygonClippedOf<Direct32>(o, p, f, r, g, opt, pat);
}
int32_t ShadePolygon32(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r, int32_t opt,
                       int32_t pat)
{
    return ShadePolygonOf<Direct32>(o, p, v, b, r, opt, pat);
}
int32_t ShadePolygonClipped32(Q_Offscreen* o, DynamicArray* p, DynamicArray* v, int32_t b, const RGBColor48* r,
                              SpanRegion* g, int32_t opt, int32_t pat)
{
    return ShadePolygonClippedOf<Direct32>(o, p, v, b, r, g, opt, pat);
}
void DrawLine32(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c)
{
    DrawLineOf<Direct32>(o, x0, y0, x1, y1, c);
}
void DrawLineFixed32(Q_Offscreen* o, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const RGBColor48* c)
{
    DrawLineFixedOf<Direct32>(o, x0, y0, x1, y1, c);
}
void DrawLineClipped32(Q_Offscreen* o, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const RGBColor48* c,
                       const SpanRegion* g)
{
    DrawLineClippedOf<Direct32>(o, x0, y0, x1, y1, c, g);
}
const RasterProcSet RasterSet32 = {FillPolygon32, FillPolygonClipped32, ShadePolygon32, ShadePolygonClipped32};
