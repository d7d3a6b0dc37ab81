// The polygon and line routines of a rasterizer set, written once over the pixel format: flat and
// shaded polygons, plain (clipped to the destination rectangle) or clipped to a region's convex
// clip shape, with their frames. The format's span writers are chosen once per polygon (solid or
// half-tone) and inlined into the scan loop. Colours arrive as pixel words already matched.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "raster/device_point_list.h"
#include "raster/pixel_span.h"
#include "raster/polygon_clip.h"
#include "raster/raster_target.h"
#include "raster/scan_convert.h"
#include "raster/shade_ramp.h"
#include "raster/span_region.h"

namespace raster {

// The drawing options the polygon routines read.
constexpr int32_t kOptionFrame = 4;
constexpr int32_t kOptionFill = 8;
constexpr int32_t kOptionColorMode = 16;  // fill colours through the exact matcher

// Runs body(std::true_type) for a half-tone fill pattern, body(std::false_type) for a solid one.
template <class Body>
auto WithPattern(int32_t pattern, Body&& body)
{
    return pattern ? body(std::true_type{}) : body(std::false_type{});
}

// A line between 16.16 points that the caller has already clipped; pixels outside the buffer are
// never written. The pixel writer holds copies of the target and the line (the DDA takes it by
// value), so that the pixel writes, which may alias anything, do not make the loop read them
// again for every pixel.
template <class F>
void DrawLineFixedOn(const RasterTarget& t, Fixed x0, Fixed y0, Fixed x1, Fixed y1, const typename F::Line& line)
{
    LineDDA(x0, y0, x1, y1, [t, line, b = t.Buffer()](int32_t x, int32_t y, int32_t ordinal) {
        if (b.Contains(x, y)) F::PutPixel(t, x, y, line, ordinal);
    });
}

// Device coordinates up to this size convert to 16.16 exactly.
constexpr int32_t kLineCoordinateLimit = 0x3FFF;

// A line whose coordinates do not all fit 16.16 has its ends moved along it into the square of
// kLineCoordinateLimit; false when it misses that square.
inline bool PullLineIntoRange(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1)
{
    const auto inRange = [](int32_t v) { return v >= -kLineCoordinateLimit && v <= kLineCoordinateLimit; };
    if (inRange(x0) && inRange(y0) && inRange(x1) && inRange(y1)) return true;
    const double limit = kLineCoordinateLimit;
    const double dx = double(x1) - x0, dy = double(y1) - y0;
    double enter = 0, leave = 1;
    auto cut = [&](double p, double q) {  // the part where p t <= q
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) enter = std::max(enter, r);
        else leave = std::min(leave, r);
        return enter <= leave;
    };
    if (!cut(-dx, x0 + limit) || !cut(dx, limit - x0) || !cut(-dy, y0 + limit) || !cut(dy, limit - y0)) return false;
    const double sx = x0, sy = y0;
    x0 = int32_t(std::lround(sx + enter * dx));
    y0 = int32_t(std::lround(sy + enter * dy));
    x1 = int32_t(std::lround(sx + leave * dx));
    y1 = int32_t(std::lround(sy + leave * dy));
    return true;
}

// A line between integer device points, clipped to the destination rectangle.
template <class F>
void DrawLineOn(const RasterTarget& t, int32_t x0, int32_t y0, int32_t x1, int32_t y1, const typename F::Line& line)
{
    if (!PullLineIntoRange(x0, y0, x1, y1)) return;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const RasterRect r = t.Drawable();
    if (y0 >= r.bottom || y1 < r.top || (x0 >= r.right && x1 >= r.right) || (x0 < r.left && x1 < r.left)) return;
    auto edge = [](int32_t v) { return uint16_t(std::clamp<int32_t>(v, 0, 0xFFFF)); };
    Fixed fx0 = IntToFixed(x0), fy0 = IntToFixed(y0), fx1 = IntToFixed(x1), fy1 = IntToFixed(y1);
    if (ClipLineToRect(edge(r.left), edge(r.top), edge(r.right), edge(r.bottom), &fx0, &fy0, &fx1, &fy1) != kClipKept)
        return;
    DrawLineFixedOn<F>(t, fx0, fy0, fx1, fy1, line);
}

// A line between integer device points, clipped to the region's clip shape; nothing when the
// region is empty.
template <class F>
void DrawLineClippedOn(const RasterTarget& t, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                       const typename F::Line& line, const SpanRegion* region)
{
    if (!region || region->empty) return;
    if (!PullLineIntoRange(x0, y0, x1, y1)) return;
    FixedPoint p0{IntToFixed(x0), IntToFixed(y0)};
    FixedPoint p1{IntToFixed(x1), IntToFixed(y1)};
    if (ClipLineToShape(region, &p0, &p1) == kClipKept) DrawLineFixedOn<F>(t, p0.x, p0.y, p1.x, p1.y, line);
}

// The frame of n >= 3 points: lines from point i to point i + 1, then from point 0 to point n - 1.
template <class LineFn>
void FramePoints(const DevicePoint* points, int32_t n, LineFn&& line)
{
    for (int32_t i = 0; i + 1 < n; ++i) line(points[i], points[i + 1]);
    line(points[0], points[n - 1]);
    CountTurns(n);
}

// The flat polygon, clipped to the destination rectangle. 1 when it drew (or only framed); 0 when
// neither fill nor frame was asked for, the polygon lies outside the rectangle or on one row.
template <class F>
int32_t FillPolygonOn(const RasterTarget& t, const DevicePoint* points, int32_t n, uint32_t fillWord,
                      uint32_t frameWord, int32_t options, int32_t pattern)
{
    const typename F::Line frame = F::MakeLine(frameWord);
    auto drawFrame = [&] {
        FramePoints(points, n, [&](DevicePoint a, DevicePoint b) { DrawLineOn<F>(t, a.x, a.y, b.x, b.y, frame); });
    };
    if (!(options & kOptionFill) || n < 3) {
        if (!(options & kOptionFrame)) return 0;
        if (n >= 3) drawFrame();
        return 1;
    }
    const RasterRect r = t.Drawable();
    int32_t minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
    for (int32_t i = 1; i < n; ++i) {
        minX = std::min(minX, points[i].x);
        maxX = std::max(maxX, points[i].x);
        minY = std::min(minY, points[i].y);
        maxY = std::max(maxY, points[i].y);
    }
    CountTurns(n);
    if (!(r.left < maxX && minX <= r.right && r.top < maxY && minY <= r.bottom)) return 0;
    const typename F::Flat flat = F::MakeFlat(fillWord);
    // The pixels filled, counted once the scan is done.
    int64_t filled = 0;
    const ScanResult result = WithPattern(pattern, [&](auto halftone) {
        return ScanPolygon(IntegerEdges{points}, n, r.top, r.bottom,
                           [&](int32_t y, int32_t left, int32_t right, Fixed, Fixed) {
                               left = std::max(left, r.left);
                               right = std::min(right, r.right);
                               if (right <= left) return;
                               filled += right - left;
                               F::template FillSpan<halftone>(SpanOn(t, y, left, right - left), flat);
                           });
    });
    CountTurns(filled);
    if (result == ScanResult::kOneRow) return 0;
    if (options & kOptionFrame) drawFrame();
    return 1;
}

// The flat polygon clipped to the region's clip shape. After a fill the frame follows only the
// polygon's own edges, not those the clip laid along the shape. 0 when neither fill nor frame was
// asked for or the clipped polygon lies on one row; else 1.
template <class F>
int32_t FillPolygonClippedOn(const RasterTarget& t, const DevicePoint* points, int32_t n, uint32_t fillWord,
                             uint32_t frameWord, const SpanRegion* region, int32_t options, int32_t pattern)
{
    if (n < 3 || !region || region->empty) return 1;
    const typename F::Line frame = F::MakeLine(frameWord);
    if (!(options & kOptionFill)) {
        if (!(options & kOptionFrame)) return 0;
        FramePoints(points, n, [&](DevicePoint a, DevicePoint b) {
            DrawLineClippedOn<F>(t, a.x, a.y, b.x, b.y, frame, region);
        });
        return 1;
    }
    FixedPoint* clipped = nullptr;
    uint8_t* own = nullptr;
    int32_t count = 0;
    if (ClipPolygon(region, points, n, &clipped, &own, &count, 0) != kClipKept) return 1;
    const RasterRect b = t.Buffer();
    const typename F::Flat flat = F::MakeFlat(fillWord);
    // The pixels filled, counted once the scan is done.
    int64_t filled = 0;
    const ScanResult result = WithPattern(pattern, [&](auto halftone) {
        return ScanPolygon(FixedEdges{clipped, nullptr}, count, b.top, b.bottom,
                           [&](int32_t y, int32_t left, int32_t right, Fixed, Fixed) {
                               left = std::max(left, b.left);
                               right = std::min(right, b.right);
                               if (right <= left) return;
                               filled += right - left;
                               F::template FillSpan<halftone>(SpanOn(t, y, left, right - left), flat);
                           });
    });
    CountTurns(filled);
    if (result == ScanResult::kOneRow) return 0;
    if (options & kOptionFrame) {
        for (int32_t j = 0; j < count; ++j) {
            const FixedPoint& a = clipped[j];
            const FixedPoint& c = clipped[j + 1 == count ? 0 : j + 1];
            if (own[j]) DrawLineFixedOn<F>(t, a.x, a.y, c.x, c.y, frame);
        }
        CountTurns(count);
    }
    return 1;
}

// The shaded polygon clipped to the region's clip shape: the point intensities (clamped in place
// to 0 .. 31.0) are interpolated down the edges and along the spans and looked up, with ordered
// dither, in the shade ramps of `rampByte`. No frame follows a shaded fill. Results as
// FillPolygonClippedOn; nothing is drawn without shade tables.
template <class F>
int32_t ShadePolygonClippedOn(const RasterTarget& t, const DevicePoint* points, Fixed* values, int32_t n,
                              const ShadeLevelEntry* levels, int32_t rampByte, uint32_t frameWord,
                              const SpanRegion* region, int32_t options, int32_t pattern)
{
    if (n < 3 || !region || region->empty) return 1;
    if (!(options & kOptionFill)) {
        if (!(options & kOptionFrame)) return 0;
        const typename F::Line frame = F::MakeLine(frameWord);
        FramePoints(points, n, [&](DevicePoint a, DevicePoint b) {
            DrawLineClippedOn<F>(t, a.x, a.y, b.x, b.y, frame, region);
        });
        return 1;
    }
    for (int32_t i = 0; i < n; ++i) values[i] = ClampPointIntensity(values[i]);
    CountTurns(n);
    FixedPoint* clipped = nullptr;
    Fixed* clippedValues = nullptr;
    int32_t count = 0;
    if (ClipShadedPolygon(region, points, n, &clipped, &count, values, &clippedValues, 0) != kClipKept) return 1;
    for (int32_t i = 0; i < count; ++i) clippedValues[i] = ClampPointIntensity(clippedValues[i]);
    CountTurns(count);
    if (!levels) return 1;
    typename F::Ramps ramps;
    F::BuildRamps(ramps, levels, rampByte);
    const RasterRect b = t.Buffer();
    // The pixels shaded, counted once the scan is done.
    int64_t shaded = 0;
    const ScanResult result = WithPattern(pattern, [&](auto halftone) {
        return ScanPolygon(FixedEdges{clipped, clippedValues}, count, b.top, b.bottom,
                           [&](int32_t y, int32_t left, int32_t right, Fixed leftValue, Fixed rightValue) {
                               const int32_t drawLeft = std::max(left, b.left);
                               const int32_t drawRight = std::min(right, b.right);
                               if (drawRight <= drawLeft) return;
                               shaded += drawRight - drawLeft;
                               F::template ShadeSpan<halftone>(
                                   ShadedSpanOn(t, y, drawLeft, drawRight - drawLeft, right - left, drawLeft - left,
                                                std::clamp(leftValue, kLowestIntensity, kHighestIntensity),
                                                std::clamp(rightValue, kLowestIntensity, kHighestIntensity)),
                                   ramps);
                           });
    });
    CountTurns(shaded);
    return result == ScanResult::kOneRow ? 0 : 1;
}

// The shaded polygon within `bounds`: made into a temporary clip region (from the regions kept
// for reuse, so that no polygon allocates one), then drawn as ShadePolygonClippedOn, whose
// result it returns (0 when no region could be made).
template <class F>
int32_t ShadePolygonOn(const RasterTarget& t, const RasterRect& bounds, const DevicePoint* points, Fixed* values,
                       int32_t n, const ShadeLevelEntry* levels, int32_t rampByte, uint32_t frameWord, int32_t options,
                       int32_t pattern)
{
    SpanRegion* whole = NewSpanRegion();
    if (!whole) return 0;
    SpanRegion* region = whole->SpanRegionFromRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    int32_t result = 0;
    if (region) {
        result = ShadePolygonClippedOn<F>(t, points, values, n, levels, rampByte, frameWord, region, options, pattern);
        region->SpanRegionFree();
    }
    whole->SpanRegionFree();
    return result;
}

}  // namespace raster
