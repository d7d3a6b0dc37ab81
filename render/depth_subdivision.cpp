// Perspective subdivision of textured polygons: the constant-depth direction, the slab and piece
// cuts and the fill of the pieces.
#include "render/depth_subdivision.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/fixed.h"
#include "foundation/loop_turns.h"
#include "raster/textured_fill.h"
#include "render/raster_buffers.h"
#include "render/render_context.h"

ConstantDepthDirection DepthDirection = {0, 0};
uint32_t MinimumSlabDepth = 0;

namespace {

uint32_t W(const ClipPoint3& p) { return uint32_t(p.z); }

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

Fixed Saturate(int64_t v) { return Fixed(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

uint32_t SaturateUnsigned(int64_t v) { return uint32_t(std::clamp<int64_t>(v, 0, UINT32_MAX)); }

// a x b in 16.16 for 64-bit operands (the product rounded down).
int64_t Mul16(int64_t a, int64_t b) { return static_cast<int64_t>((static_cast<__int128>(a) * b) >> 16); }

// a / b in 16.16, truncated toward zero; `zero` for b = 0.
int64_t Div16(int64_t a, int64_t b, int64_t zero = 0)
{
    if (b == 0) return zero;
    return static_cast<int64_t>(ScaledQuotient16(a, b));
}

// The lines of the face being filled: its own edges, then the cuts along constant depth. The
// set-up points at them meanwhile.
EdgeLine* gLines = nullptr;
int32_t gLineCount = 0;
int32_t gLineCapacity = 0;

// The line through two points, as a new entry; -1 when there is no room or it has no rows.
int32_t AddLine(const ClipPoint3& a, const ClipPoint3& b)
{
    if (!gLines || gLineCount >= gLineCapacity || !MakeEdgeLine({a.x, a.y}, {b.x, b.y}, &gLines[gLineCount])) return -1;
    return gLineCount++;
}

// While a cut is made, each vertex's tag holds the line of the edge leading on from it, plus one,
// and whether the vertex lies on the cut; the cut's line is known once both crossings are.
constexpr int32_t kOnCut = 1 << 30;
int32_t LineOfTag(int32_t tag) { return (tag & ~kOnCut) - 1; }

bool SamePoint(const ClipPoint3& a, const ClipPoint3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Appends a vertex with the line leading on from it; a vertex that repeats the last one merges
// into it (a crossing at a corner: the corner lies on the cut and leads on along its own line).
bool Push(DepthPolygon* p, const ClipPoint3& v, const TextureCoord& c, int32_t line, bool onCut)
{
    if (p->count > 0 && SamePoint(p->vertices[p->count - 1], v)) {
        int32_t& tag = p->lines[p->count - 1];
        if (onCut) tag |= kOnCut;
        else tag = (tag & kOnCut) | (line + 1);
        return true;
    }
    if (p->count >= p->capacity) return false;
    p->vertices[p->count] = v;
    p->coords[p->count] = c;
    p->lines[p->count] = (line + 1) | (onCut ? kOnCut : 0);
    ++p->count;
    return true;
}

// Drops a closing repeat of the first vertex, then settles every vertex's line: the cut's where
// it and the next vertex lie on the cut, else the line it leads on along.
void Settle(DepthPolygon* p, int32_t cutLine)
{
    if (p->count > 1 && SamePoint(p->vertices[0], p->vertices[p->count - 1])) {
        p->lines[0] |= p->lines[p->count - 1] & kOnCut;
        --p->count;
    }
    const int32_t firstOnCut = p->count > 0 ? p->lines[0] & kOnCut : 0;
    for (int32_t i = 0; i < p->count; ++i) {
        const int32_t nextOnCut = i + 1 < p->count ? p->lines[i + 1] & kOnCut : firstOnCut;
        p->lines[i] = (p->lines[i] & kOnCut) && nextOnCut ? cutLine : LineOfTag(p->lines[i]);
    }
    CountTurns(p->count);
}

// The frame's budget, which the cuts and the pieces' fills spend on.
FrameBudget& Budget()
{
    return CurrentRenderContext().frameBudget;
}

// Splits the polygon, walked from `start`: vertices on the near side (`near(i)`) go to the piece,
// the others to the rest, and the crossing point of every edge that changes side to both.
// `cross(a, ca, b, cb, point, coord)` makes a crossing. The cut gets a line of its own when
// `cutLine` is set (a vertical cut needs none: every edge on it has its exact x).
template <class NearFn, class CrossFn>
bool Split(DepthPolygon* polygon, int32_t start, DepthPolygon* piece, DepthPolygon* spare, NearFn near,
           CrossFn cross, bool cutLine)
{
    const int32_t n = polygon->count;
    // A cut walks every corner of the polygon: spent beforehand, and refused once the frame has
    // stopped.
    if (n < 3 || start < 0 || start >= n || !Budget().Spend(FrameCost::kCornerPairs, n)) return false;
    piece->count = 0;
    spare->count = 0;
    ClipPoint3 crossings[2];
    int32_t found = 0;
    bool fits = true;
    for (int32_t k = 0; k < n && fits; ++k) {
        const int32_t i = (start + k) % n;
        const int32_t j = i + 1 == n ? 0 : i + 1;
        const ClipPoint3& a = polygon->vertices[i];
        const ClipPoint3& b = polygon->vertices[j];
        const int32_t line = polygon->lines[i];
        const bool nearA = near(a);
        fits = Push(nearA ? piece : spare, a, polygon->coords[i], line, false);
        if (fits && nearA != near(b)) {
            ClipPoint3 point;
            TextureCoord coord;
            cross(a, polygon->coords[i], b, polygon->coords[j], &point, &coord);
            fits = Push(piece, point, coord, line, true) && Push(spare, point, coord, line, true);
            if (found < 2) crossings[found] = point;
            ++found;
        }
    }
    CountTurns(n);
    if (!fits || piece->count < 3 || spare->count < 3) return false;
    const int32_t line = cutLine && found == 2 ? AddLine(crossings[0], crossings[1]) : -1;
    Settle(piece, line);
    Settle(spare, line);
    if (piece->count < 3 || spare->count < 3) return false;
    std::swap(polygon->vertices, spare->vertices);
    std::swap(polygon->coords, spare->coords);
    std::swap(polygon->lines, spare->lines);
    std::swap(polygon->count, spare->count);
    std::swap(polygon->capacity, spare->capacity);
    return true;
}

bool SplitAtDepth(DepthPolygon* polygon, uint32_t cut, int32_t start, DepthPolygon* piece, DepthPolygon* spare)
{
    return Split(
        polygon, start, piece, spare, [cut](const ClipPoint3& v) { return W(v) > cut; },
        [cut](const ClipPoint3& a, const TextureCoord& ca, const ClipPoint3& b, const TextureCoord& cb, ClipPoint3* p,
              TextureCoord* c) { SplitEdgeAtDepth(a, ca, b, cb, cut, p, c); },
        true);
}

// Fills a piece, its edges along their lines. The rows its fill walks (from its highest corner's
// to its lowest's), each at what a row of the textured fill costs, are spent beforehand; once the
// frame has stopped it is left unfilled.
void FillPiece(TextureSetup* setup, const DepthPolygon& piece)
{
    if (piece.count < 3) return;
    Fixed top = piece.vertices[0].y;
    Fixed bottom = top;
    for (int32_t i = 1; i < piece.count; ++i) {
        top = std::min(top, piece.vertices[i].y);
        bottom = std::max(bottom, piece.vertices[i].y);
    }
    CountTurns(piece.count);
    if (!Budget().Spend(FrameCost::kPixels, (((int64_t(bottom) - top) >> 16) + 1) * kTexturedRowPixels)) return;
    setup->edgeTags = piece.lines;
    FillTexturedPieceAffine(setup, piece.coords, piece.vertices, piece.count);
    setup->edgeTags = nullptr;
}

// x and y of two frame points on one level (orientation 1: at the smallest y; 0: along x).
ClipPoint3 FramePoint(Fixed x, uint32_t w) { return {x, 0, Fixed(w)}; }

}  // namespace

int32_t IsFlatDepth(const ClipPoint3* vertices, int32_t count)
{
    for (int32_t i = 1; i < count; ++i) {
        if (vertices[i].z != vertices[0].z) {
            CountTurns(i);
            return 0;
        }
    }
    CountTurns(count);
    return 1;
}

int32_t FindConstantDepthSlope(const ClipPoint3* v, int32_t n, Fixed* slope)
{
    DepthDirection = {0, 0};
    *slope = 0;
    if (n < 2) return 0;
    uint32_t wMin = W(v[0]);
    uint32_t wMax = W(v[0]);
    for (int32_t i = 1; i < n; ++i) {
        wMin = std::min(wMin, W(v[i]));
        wMax = std::max(wMax, W(v[i]));
    }
    // With the two searches for the edges that cross the middle depth, each at most n.
    CountTurns(3 * int64_t(n));
    const uint32_t mid = uint32_t((uint64_t(wMin) + wMax) / 2);
    // The point where w = mid on the edge from `first` to `second`, taken from the second end.
    auto midPoint = [&](int32_t first, int32_t second) {
        const ClipPoint3& a = v[first];
        const ClipPoint3& b = v[second];
        const int64_t span = int64_t(W(a)) - W(b);
        const int64_t part = int64_t(mid) - W(b);
        if (span == 0) return FixedPoint{b.x, b.y};
        return FixedPoint{Fixed(b.x + (int64_t(a.x) - b.x) * part / span), Fixed(b.y + (int64_t(a.y) - b.y) * part / span)};
    };
    int32_t forward = -1;
    for (int32_t i = 0; i < n && forward < 0; ++i) {
        const uint32_t a = W(v[i]);
        const uint32_t b = W(v[(i + 1) % n]);
        if ((a <= mid && mid <= b) || (a >= mid && mid >= b)) forward = i;
    }
    int32_t backward = -1;
    for (int32_t k = 0; k < n && backward < 0; ++k) {
        const int32_t i = (n - k) % n;
        const uint32_t a = W(v[i]);
        const uint32_t b = W(v[i == 0 ? n - 1 : i - 1]);
        if ((a < mid && b >= mid) || (a > mid && b <= mid)) backward = i;
    }
    if (forward < 0 || backward < 0) return 0;
    const FixedPoint p = midPoint(forward, (forward + 1) % n);
    const FixedPoint q = midPoint(backward, backward == 0 ? n - 1 : backward - 1);
    const int64_t dx = int64_t(p.x) - q.x;
    const int64_t dy = int64_t(p.y) - q.y;
    if (dy == 0) DepthDirection = {0, 0};
    else if (dx == 0) DepthDirection = {0, 1};
    else if (Abs64(dy) < Abs64(dx)) DepthDirection = {Saturate(Div16(dy, dx)), 0};
    else DepthDirection = {Saturate(Div16(dx, dy)), 1};
    *slope = DepthDirection.slope;
    return DepthDirection.orientation;
}

void MeasureDepthFrame(const ClipPoint3* v, int32_t n, DepthFrame* f)
{
    *f = {0, 0, 0, W(v[0]), W(v[0]), v[0].x, v[0].x, v[0].y, 0, 0};
    for (int32_t i = 1; i < n; ++i) {
        if (W(v[i]) > f->wMax) {
            f->wMax = W(v[i]);
            f->nearest = i;
        }
        if (W(v[i]) < f->wMin) {
            f->wMin = W(v[i]);
            f->farthest = i;
        }
        if (v[i].x > f->right) {
            f->right = v[i].x;
            f->rightmost = i;
        }
        f->left = std::min(f->left, v[i].x);
        f->top = std::min(f->top, v[i].y);
    }
    CountTurns(n);
    const ClipPoint3& near = v[f->nearest];
    const ClipPoint3& far = v[f->farthest];
    const int64_t m = DepthDirection.slope;
    if (DepthDirection.orientation == 0) {
        f->nearLine = Saturate(near.y + Mul16(m, int64_t(f->left) - near.x));
        f->farLine = Saturate(far.y + Mul16(m, int64_t(f->left) - far.x));
    } else {
        f->nearLine = Saturate(near.x + Mul16(m, int64_t(f->top) - near.y));
        f->farLine = Saturate(far.x + Mul16(m, int64_t(f->top) - far.y));
    }
}

void SetMinimumSlabDepth(const ClipPoint3* vertices, int32_t count)
{
    MinimumSlabDepth = 0;
    if (count < 1) return;
    DepthFrame f;
    MeasureDepthFrame(vertices, count, &f);
    const int64_t extent = Abs64(int64_t(f.nearLine) - f.farLine);
    const int64_t range = int64_t(f.wMax) - f.wMin;
    MinimumSlabDepth = extent > 0 ? SaturateUnsigned(Div16(range, extent) * kMinimumPieceFactor) : uint32_t(range);
}

ClipPoint3 DepthPointOnEdge(const ClipPoint3& a, const ClipPoint3& b, uint32_t w)
{
    const int64_t span = int64_t(W(b)) - W(a);
    if (span == 0 || w == W(a)) return a;
    if (w == W(b)) return b;
    const int64_t part = int64_t(w) - W(a);
    return {Fixed(a.x + (int64_t(b.x) - a.x) * part / span), Fixed(a.y + (int64_t(b.y) - a.y) * part / span), Fixed(w)};
}

ClipPoint3 XPointOnEdge(const ClipPoint3& a, const ClipPoint3& b, Fixed x)
{
    const int64_t span = int64_t(b.x) - a.x;
    if (span == 0 || x == a.x) return a;
    if (x == b.x) return b;
    const int64_t part = int64_t(x) - a.x;
    return {x, Fixed(a.y + (int64_t(b.y) - a.y) * part / span),
            Fixed(uint32_t(int64_t(W(a)) + (int64_t(W(b)) - W(a)) * part / span))};
}

void SplitEdgeAtDepth(const ClipPoint3& a, const TextureCoord& ca, const ClipPoint3& b, const TextureCoord& cb,
                      uint32_t w, ClipPoint3* point, TextureCoord* coord)
{
    *point = DepthPointOnEdge(a, b, w);
    if (SamePoint(*point, a)) *coord = ca;
    else if (SamePoint(*point, b)) *coord = cb;
    else InterpolatePerspective(a, ca, b, cb, Saturate(Div16(int64_t(w) - W(a), int64_t(W(b)) - W(a))), *point, coord);
}

void SplitEdgeAtX(const ClipPoint3& a, const TextureCoord& ca, const ClipPoint3& b, const TextureCoord& cb, Fixed x,
                  ClipPoint3* point, TextureCoord* coord)
{
    *point = XPointOnEdge(a, b, x);
    if (SamePoint(*point, a)) *coord = ca;
    else if (SamePoint(*point, b)) *coord = cb;
    else InterpolatePerspective(a, ca, b, cb, Saturate(Div16(int64_t(x) - a.x, int64_t(b.x) - a.x)), *point, coord);
}

uint32_t DepthStepPerPixel(const ClipPoint3& p0, const ClipPoint3& p1)
{
    const int64_t distance = std::max(Abs64(int64_t(p1.x) - p0.x), Abs64(int64_t(p1.y) - p0.y));
    const int64_t change = Abs64(int64_t(W(p0)) - W(p1));
    const int64_t perPixel = Div16(change, distance, INT32_MAX);
    return SaturateUnsigned(Mul16(perPixel, kDepthStepFactor));
}

uint32_t NextSliceDepth(const ClipPoint3& p0, const ClipPoint3& p1)
{
    const uint32_t w0 = W(p0);
    const uint32_t w1 = W(p1);
    if (w1 > w0) return w1 - 1;
    const int32_t s = std::max(0, 22 - BitLength(w0));
    const int64_t scaled0 = int64_t(w0) << s;
    const ClipPoint3 a = {p0.x, p0.y, Fixed(uint32_t(scaled0))};
    const ClipPoint3 b = {p1.x, p1.y, Fixed(uint32_t(int64_t(w1) << s))};
    const int64_t r = DepthStepPerPixel(a, b);
    if (r != 0) {
        // (sqrt w0 - sqrt r) squared.
        const int64_t q = scaled0 + r - 2 * TableSqrt<int64_t>(Mul16(scaled0, r));
        if (q >= 0 && q < scaled0) return uint32_t(q >> s);
    }
    return w1 > 0 ? w1 - 1 : 0;
}

int32_t FindSliceDepth(const TextureCoord* /*coords*/, const ClipPoint3* v, int32_t n, uint32_t* cut, int32_t* nearest)
{
    if (n < 3) return 0;
    int32_t top = 0;
    uint32_t wMin = W(v[0]);
    for (int32_t i = 1; i < n; ++i) {
        if (W(v[i]) > W(v[top])) top = i;
        wMin = std::min(wMin, W(v[i]));
    }
    CountTurns(n);
    *nearest = top;
    const uint32_t wMax = W(v[top]);
    const uint32_t limit = wMax > MinimumSlabDepth ? wMax - MinimumSlabDepth : (wMin > 0 ? wMin - 1 : 0);
    auto next = [n](int32_t i) { return i + 1 == n ? 0 : i + 1; };
    auto previous = [n](int32_t i) { return i == 0 ? n - 1 : i - 1; };
    // Each chain moves past following vertices of its current depth.
    auto skip = [&](int32_t i, bool forward) {
        int32_t guard = 0;
        for (; guard < n; ++guard) {
            const int32_t j = forward ? next(i) : previous(i);
            if (W(v[j]) != W(v[i])) break;
            i = j;
        }
        CountTurns(guard);
        return i;
    };
    int32_t f = skip(top, true);
    int32_t b = skip(top, false);
    // The chains' walk, its turns counted as it leaves.
    int32_t turns = 0;
    const int32_t found = [&] {
        for (; turns <= 2 * n; ++turns) {
            const int32_t nf = next(f);
            const int32_t nb = previous(b);
            const bool forwardFirst = W(v[nf]) >= W(v[nb]);
            const int32_t from = forwardFirst ? f : b;
            const int32_t to = forwardFirst ? nf : nb;
            const int32_t otherFrom = forwardFirst ? b : f;
            const int32_t otherTo = forwardFirst ? nb : nf;
            const uint32_t d = W(v[to]);
            const uint32_t a = NextSliceDepth(v[from], v[to]);
            const uint32_t other = NextSliceDepth(v[otherFrom], DepthPointOnEdge(v[otherFrom], v[otherTo], d));
            const uint32_t candidate = uint32_t(std::max(int32_t(a), int32_t(other)));
            const uint32_t chosen = std::min(candidate, limit);
            if (chosen > d) {
                *cut = chosen;
                return 1;
            }
            if (W(v[nf]) == wMin && W(v[nb]) == wMin) return 0;
            if (forwardFirst) f = skip(nf, true);
            else b = skip(nb, false);
        }
        return 0;
    }();
    CountTurns(turns + 1);
    return found;
}

bool NextCrossDepth(const DepthFrame& f, uint32_t* cut)
{
    uint32_t c = NextSliceDepth(FramePoint(f.nearLine, f.wMax), FramePoint(f.farLine, f.wMin));
    if (f.wMax >= MinimumSlabDepth && f.wMax - MinimumSlabDepth < c) c = f.wMax - MinimumSlabDepth;
    if (c <= f.wMin) return false;
    *cut = c;
    return true;
}

bool FindCrossCutX(const DepthFrame& f, Fixed* cut)
{
    const int64_t slope = DepthDirection.slope;
    if (Abs64(slope) < 128) return false;
    const int64_t width = int64_t(f.right) - f.left;
    const int64_t rise = Mul16(width, slope);
    const int64_t separation = int64_t(f.nearLine) - f.farLine;
    const int64_t range = int64_t(f.wMax) - f.wMin;
    if (separation == 0 || range <= 0 || width <= 0) return false;
    const int64_t ratio = Abs64(Div16(rise, separation));
    int64_t step;
    if (ratio <= kFixedOne) {
        const uint32_t wm = SaturateUnsigned(f.wMin + Mul16(range, ratio));
        const uint32_t n = NextSliceDepth(FramePoint(Saturate(width), wm), FramePoint(0, f.wMin));
        if (n <= f.wMin || wm <= f.wMin) return false;
        step = Mul16(Div16(int64_t(wm) - n, int64_t(wm) - f.wMin), width);
    } else {
        const int64_t reach = Abs64(Div16(separation, slope));
        const uint32_t n = NextSliceDepth(FramePoint(Saturate(reach), f.wMax), FramePoint(0, f.wMin));
        if (n <= f.wMin) return false;
        step = Mul16(Div16(int64_t(f.wMax) - n, range), reach);
    }
    // Pieces are never narrower than four pixels.
    const int64_t least = int64_t(kMinimumPieceFactor) << 16;
    if (Abs64(step >> 16) < kMinimumPieceFactor) step = step < 0 ? -least : least;
    const int64_t x = int64_t(f.right) - step;
    if (x <= f.left || x >= f.right) return false;
    *cut = Fixed(x);
    return true;
}

bool CutPolygonAtDepth(DepthPolygon* polygon, uint32_t cut, int32_t start, DepthPolygon* piece, DepthPolygon* spare)
{
    return SplitAtDepth(polygon, cut, start, piece, spare);
}

bool CutPolygonAcrossDepth(DepthPolygon* polygon, uint32_t cut, int32_t start, DepthPolygon* piece,
                           DepthPolygon* spare)
{
    return SplitAtDepth(polygon, cut, start, piece, spare);
}

bool CutPolygonAtX(DepthPolygon* polygon, Fixed cut, int32_t start, DepthPolygon* piece, DepthPolygon* spare)
{
    return Split(
        polygon, start, piece, spare, [cut](const ClipPoint3& v) { return v.x > cut; },
        [cut](const ClipPoint3& a, const TextureCoord& ca, const ClipPoint3& b, const TextureCoord& cb, ClipPoint3* p,
              TextureCoord* c) { SplitEdgeAtX(a, ca, b, cb, cut, p, c); },
        false);
}

bool CutDepthSlab(DepthPolygon* polygon, DepthPolygon* slab, DepthPolygon* spare)
{
    uint32_t cut = 0;
    int32_t nearest = 0;
    if (!FindSliceDepth(polygon->coords, polygon->vertices, polygon->count, &cut, &nearest)) return false;
    return CutPolygonAtDepth(polygon, cut, nearest, slab, spare);
}

bool CutSlabPiece(DepthPolygon* slab, DepthPolygon* piece, DepthPolygon* spare)
{
    if (slab->count < 3) return false;
    DepthFrame f;
    MeasureDepthFrame(slab->vertices, slab->count, &f);
    if (DepthDirection.orientation == 1) {
        uint32_t cut = 0;
        return NextCrossDepth(f, &cut) && CutPolygonAcrossDepth(slab, cut, f.nearest, piece, spare);
    }
    Fixed x = 0;
    return FindCrossCutX(f, &x) && CutPolygonAtX(slab, x, f.rightmost, piece, spare);
}

void FillSlabPieces(TextureSetup* setup, DepthPolygon* slab, DepthPolygon* piece, DepthPolygon* spare,
                    int32_t* cutsLeft)
{
    while (*cutsLeft > 0 && CutSlabPiece(slab, piece, spare)) {
        --*cutsLeft;
        FillPiece(setup, *piece);
    }
    FillPiece(setup, *slab);
}

int32_t FillTexturedPolygonPerspective(TextureSetup* setup, const TextureCoord* coords, const ClipPoint3* vertices,
                                       int32_t count)
{
    if (count < 3) return 0;
    GrowRings(count + 2);
    const int32_t capacity = RingCapacity();
    if (capacity < count) {
        FillTexturedPieceAffine(setup, coords, vertices, count);
        return 0;
    }
    // Five lists from the rings (the face and its spare, the slab and its spare, a piece), each of
    // vertices, coordinates and edge lines; and the table of lines.
    DepthPolygon lists[kRingSize];
    for (DepthPolygon& list : lists)
        list = {static_cast<ClipPoint3*>(NextRingB()), static_cast<TextureCoord*>(NextRingC()),
                static_cast<int32_t*>(NextRingA()), 0, capacity};
    gLines = static_cast<EdgeLine*>(NextRingD());
    gLineCapacity = capacity * 12 / int32_t(sizeof(EdgeLine));
    gLineCount = 0;
    DepthPolygon& face = lists[0];
    std::copy(vertices, vertices + count, face.vertices);
    std::copy(coords, coords + count, face.coords);
    face.count = count;
    for (int32_t i = 0; i < count; ++i) face.lines[i] = AddLine(vertices[i], vertices[i + 1 == count ? 0 : i + 1]);
    CountTurns(count);
    setup->edgeLines = gLines;
    int32_t cutsLeft = kMaxPerspectiveCuts;
    while (cutsLeft > 0 && CutDepthSlab(&face, &lists[2], &lists[1])) {
        --cutsLeft;
        FillSlabPieces(setup, &lists[2], &lists[4], &lists[3], &cutsLeft);
    }
    FillSlabPieces(setup, &face, &lists[4], &lists[3], &cutsLeft);
    setup->edgeLines = nullptr;
    gLines = nullptr;
    CountTurns(kMaxPerspectiveCuts - cutsLeft);
    return kMaxPerspectiveCuts - cutsLeft;
}
