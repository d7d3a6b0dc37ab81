// The rasterizer sets over offscreens: each routine takes the published raster target, matches its
// colours on the offscreen, locks the caller's lists and runs the polygon routine of its format;
// the choice of a set for a pixel format.
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

template <class F>
constexpr RasterProcSet kSetOf = {FillPolygonOf<F>, FillPolygonClippedOf<F>, ShadePolygonOf<F>, ShadePolygonClippedOf<F>};

}  // namespace

// The sets and the named routines of every pixel format.
const RasterProcSet RasterSetPlanar = kSetOf<Planar4>;
FillPolygonRoutine& FillPolygonPlanar = FillPolygonOf<Planar4>;
FillPolygonClippedRoutine& FillPolygonClippedPlanar = FillPolygonClippedOf<Planar4>;
ShadePolygonRoutine& ShadePolygonPlanar = ShadePolygonOf<Planar4>;
ShadePolygonClippedRoutine& ShadePolygonClippedPlanar = ShadePolygonClippedOf<Planar4>;
LineRoutine& DrawLinePlanar = DrawLineOf<Planar4>;
FixedLineRoutine& DrawLineFixedPlanar = DrawLineFixedOf<Planar4>;
ClippedLineRoutine& DrawLineClippedPlanar = DrawLineClippedOf<Planar4>;

const RasterProcSet RasterSet4 = kSetOf<Packed4>;
FillPolygonRoutine& FillPolygon4 = FillPolygonOf<Packed4>;
FillPolygonClippedRoutine& FillPolygonClipped4 = FillPolygonClippedOf<Packed4>;
ShadePolygonRoutine& ShadePolygon4 = ShadePolygonOf<Packed4>;
ShadePolygonClippedRoutine& ShadePolygonClipped4 = ShadePolygonClippedOf<Packed4>;
LineRoutine& DrawLine4 = DrawLineOf<Packed4>;
FixedLineRoutine& DrawLineFixed4 = DrawLineFixedOf<Packed4>;
ClippedLineRoutine& DrawLineClipped4 = DrawLineClippedOf<Packed4>;

const RasterProcSet RasterSet8 = kSetOf<Indexed8>;
FillPolygonRoutine& FillPolygon8 = FillPolygonOf<Indexed8>;
FillPolygonClippedRoutine& FillPolygonClipped8 = FillPolygonClippedOf<Indexed8>;
ShadePolygonRoutine& ShadePolygon8 = ShadePolygonOf<Indexed8>;
ShadePolygonClippedRoutine& ShadePolygonClipped8 = ShadePolygonClippedOf<Indexed8>;
LineRoutine& DrawLine8 = DrawLineOf<Indexed8>;
FixedLineRoutine& DrawLineFixed8 = DrawLineFixedOf<Indexed8>;
ClippedLineRoutine& DrawLineClipped8 = DrawLineClippedOf<Indexed8>;

const RasterProcSet RasterSet16 = kSetOf<Direct16>;
FillPolygonRoutine& FillPolygon16 = FillPolygonOf<Direct16>;
FillPolygonClippedRoutine& FillPolygonClipped16 = FillPolygonClippedOf<Direct16>;
ShadePolygonRoutine& ShadePolygon16 = ShadePolygonOf<Direct16>;
ShadePolygonClippedRoutine& ShadePolygonClipped16 = ShadePolygonClippedOf<Direct16>;
LineRoutine& DrawLine16 = DrawLineOf<Direct16>;
FixedLineRoutine& DrawLineFixed16 = DrawLineFixedOf<Direct16>;
ClippedLineRoutine& DrawLineClipped16 = DrawLineClippedOf<Direct16>;

const RasterProcSet RasterSet24 = kSetOf<Direct24>;
FillPolygonRoutine& FillPolygon24 = FillPolygonOf<Direct24>;
FillPolygonClippedRoutine& FillPolygonClipped24 = FillPolygonClippedOf<Direct24>;
ShadePolygonRoutine& ShadePolygon24 = ShadePolygonOf<Direct24>;
ShadePolygonClippedRoutine& ShadePolygonClipped24 = ShadePolygonClippedOf<Direct24>;
LineRoutine& DrawLine24 = DrawLineOf<Direct24>;
FixedLineRoutine& DrawLineFixed24 = DrawLineFixedOf<Direct24>;
ClippedLineRoutine& DrawLineClipped24 = DrawLineClippedOf<Direct24>;

const RasterProcSet RasterSet32 = kSetOf<Direct32>;
FillPolygonRoutine& FillPolygon32 = FillPolygonOf<Direct32>;
FillPolygonClippedRoutine& FillPolygonClipped32 = FillPolygonClippedOf<Direct32>;
ShadePolygonRoutine& ShadePolygon32 = ShadePolygonOf<Direct32>;
ShadePolygonClippedRoutine& ShadePolygonClipped32 = ShadePolygonClippedOf<Direct32>;
LineRoutine& DrawLine32 = DrawLineOf<Direct32>;
FixedLineRoutine& DrawLineFixed32 = DrawLineFixedOf<Direct32>;
ClippedLineRoutine& DrawLineClipped32 = DrawLineClippedOf<Direct32>;

const RasterProcSet* RasterSetFor(int32_t planes, int32_t bitsPerPixel)
{
    switch (planes * bitsPerPixel) {
    case 4:
        return planes == 4 ? &RasterSetPlanar : &RasterSet4;
    case 8:
        return &RasterSet8;
    case 16:
        return &RasterSet16;
    case 24:
        return &RasterSet24;
    case 32:
        return &RasterSet32;
    default:
        return nullptr;
    }
}

void InstallRasterSets()
{
    InstallRasterSetChoice(RasterSetFor);
}
