// Visibility of bounding spheres, camera transform, facing, 3-D clipping and projection.
#include "render/projection.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/model_object.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "render/observer.h"
#include "render/length_units.h"
#include "render/render_context.h"

namespace {

// The eight work arrays: texture pairs A and B of sides 0 and 2, then values A and B of sides 0
// and 2. Each A/B pair is the input and output of one clipping step.
enum WorkArray { kPairsA0, kPairsB0, kPairsA2, kPairsB2, kValuesA0, kValuesB0, kValuesA2, kValuesB2, kWorkCount };
constexpr int32_t kWorkElementSizes[kWorkCount] = {8, 8, 8, 8, 4, 4, 4, 4};
DynamicArray* gWork[kWorkCount] = {};

constexpr int32_t kPlanes[4] = {kClipRight, kClipTop, kClipLeft, kClipBottom};
// Whether a clip code names an odd number of planes. Clipping alternates between the record's
// own clip list and the observer's spare list, one plane at a time; an odd count starts in the
// record's list so that the last plane's output always lands there.
constexpr uint8_t kParity[16] = {0, 1, 1, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 1, 1, 0};

constexpr int32_t kBoxEmptyMin = 2097088;
constexpr int32_t kBoxEmptyMax = -2097152;

int64_t Shl(int64_t value, int32_t shift)
{
    return value * (int64_t(1) << shift);
}

// (a x b + 0x4000) >> 15 for Q15 products.
int32_t Q15(int64_t product)
{
    return int32_t((product + 0x4000) >> 15);
}

// The signed distance of a camera vertex from a plane of the view pyramid: inside when >= 0.
int64_t PlaneDistance(const Observer* o, const CameraVertex& v, int32_t plane)
{
    switch (plane) {
    case kClipRight: return Shl(v.y, o->xShiftDepth) - Shl(v.x, o->xShiftSide);
    case kClipTop: return Shl(v.y, o->zShiftDepth) - Shl(v.z, o->zShiftSide);
    case kClipLeft: return Shl(v.y, o->xShiftDepth) + Shl(v.x, o->xShiftSide);
    default: return Shl(v.z, o->zShiftSide) + Shl(v.y, o->zShiftDepth);
    }
}

// d0 / (d0 - d1) as a fraction with `bits` fractional bits, for d0 >= 0 > d1.
int64_t CrossingRatio(int64_t d0, int64_t d1, int32_t bits)
{
    const __int128 numerator = __int128(d0) << bits;
    return int64_t(numerator / (__int128(d0) - d1));
}

// The integer part of a 16.16 product as FixMul rounds it: the magnitude rounded, then its
// whole part, with the sign applied.
int32_t ProductWholePart(int64_t a, int64_t b)
{
    const __int128 product = __int128(a) * b;
    const bool negative = product < 0;
    const unsigned __int128 magnitude = negative ? (unsigned __int128)(-product) : (unsigned __int128)product;
    const int64_t whole = int64_t(((magnitude + 0x8000) >> 16) >> 16);
    return int32_t(negative ? -whole : whole);
}

bool EnsureCount(DynamicArray* array, int32_t count)
{
    return array && (array->ArrayCount() >= count || array->ArraySetCount(count) == kResultOk);
}

// The work arrays stay locked: one grows with its lock let go for the moment.
bool EnsureWorkCount(DynamicArray* array, int32_t count)
{
    if (!array) return false;
    if (array->ArrayCount() >= count) return true;
    const int32_t locks = array->LockCount();
    for (int32_t i = 0; i < locks; ++i) array->ArrayUnlock();
    const bool grown = array->ArraySetCount(count) == kResultOk;
    for (int32_t i = 0; i < locks; ++i) array->ArrayLock();
    return grown;
}

// Whether a side needs its per-vertex data carried through the clipper.
bool SideTextured(const PolygonRecord* record, int32_t side)
{
    return record->GetSideTexture(side) != nullptr;
}

bool SideShaded(const PolygonRecord* record, int32_t side)
{
    return record->GetSideAttribute(side) == 1;
}

// One kind of per-vertex data carried through the clipper of one face: the corners' data in
// the A list of its kind, clipped alongside the indices into the B list, then the two swapped.
template <class T>
struct CarriedData {
    DynamicArray* lists[2] = {nullptr, nullptr};
    int32_t input = 0;  // which of the two holds the current corners
    bool active = false;

    bool Start(WorkArray a, const DynamicArray* source, int32_t n)
    {
        active = false;
        if (!source || source->ArrayCount() < n) return false;
        lists[0] = gWork[a];
        lists[1] = gWork[a + 1];
        input = 0;
        if (!EnsureWorkCount(lists[0], 4 * n + 4)) return false;
        std::copy(source->Elements<T>(), source->Elements<T>() + n, lists[0]->Elements<T>());
        CountTurns(n);
        active = true;
        return true;
    }
    bool Reserve(int32_t count) { return !active || EnsureWorkCount(lists[input ^ 1], count); }
    const T& In(int32_t i) const { return lists[input]->Elements<T>()[i]; }
    void Out(int32_t i, const T& value) { lists[input ^ 1]->Elements<T>()[i] = value; }
    void Swap() { input ^= 1; }
    // Copies the current corners into the side's working list.
    void Finish(DynamicArray* destination, int32_t count) const
    {
        if (!active || !destination || destination->ArraySetCount(count) != kResultOk) return;
        std::copy(lists[input]->Elements<T>(), lists[input]->Elements<T>() + count, destination->Elements<T>());
        CountTurns(count);
    }
};

Fixed Interpolate(const Fixed& a, const Fixed& b, int64_t d0, int64_t d1)
{
    return InterpolateValue(a, b, d0, d1);
}

FixedPoint Interpolate(const FixedPoint& a, const FixedPoint& b, int64_t d0, int64_t d1)
{
    FixedPoint out;
    InterpolatePair(a, b, d0, d1, &out);
    return out;
}

// Clips one face's index list against the planes of the clip code, appending the new vertices
// to the camera array. Sets the record's Clipped byte; true when something is left.
bool ClipRecord(Observer* o, PolygonRecord* record, DynamicArray* camera, int32_t clipCode)
{
    const int32_t n = record->VertexCount();
    DynamicArray* indexLists[2] = {record->MakeClipList(), o->clipIndices};
    int32_t output = kParity[clipCode & 15] ? 0 : 1;
    if (n < 3 || !indexLists[0] || !indexLists[1] || !EnsureCount(indexLists[0], n + 4) ||
        !EnsureCount(indexLists[1], n + 4)) {
        record->Clipped = 1;
        return false;
    }
    CarriedData<FixedPoint> pairs[2];
    CarriedData<Fixed> values[2];
    for (int32_t s = 0; s < 2; ++s) {
        const int32_t side = s == 0 ? kSideFront : kSideBack;
        if (SideTextured(record, side)) pairs[s].Start(s == 0 ? kPairsA0 : kPairsA2, record->GetSideVertexPairs(side), n);
        if (SideShaded(record, side)) values[s].Start(s == 0 ? kValuesA0 : kValuesA2, record->GetSideVertexValues(side), n);
    }

    // The face's own 16-bit indices, then the clipper's 32-bit lists.
    const DynamicArray* inList = record->Indices;
    int32_t inCount = n;
    for (int32_t plane : kPlanes) {
        if (!(clipCode & plane)) continue;
        // Each plane walks the corners left, spent beforehand; refused, the face is dropped.
        if (!CurrentRenderContext().frameBudget.Spend(FrameCost::kViewed, inCount)) {
            record->Clipped = 1;
            return false;
        }
        CountTurns(inCount);
        DynamicArray* outList = indexLists[output];
        int32_t outCount = 0;
        record->Clipped = 1;
        for (int32_t i = 0; i < inCount; ++i) {
            // Room for this corner and a crossing.
            const int32_t need = outCount + 2;
            if (outList->ArrayCount() < need && !EnsureCount(outList, std::max(need, outList->ArrayCount() * 2))) return false;
            for (auto& p : pairs) {
                if (!p.Reserve(need)) return false;
            }
            for (auto& v : values) {
                if (!v.Reserve(need)) return false;
            }
            const int32_t next = i + 1 < inCount ? i + 1 : 0;
            const int32_t a = DrawnIndexAt(inList, i);
            const int32_t b = DrawnIndexAt(inList, next);
            CameraVertex* vertices = camera->Elements<CameraVertex>();
            const int64_t da = PlaneDistance(o, vertices[a], plane);
            const int64_t db = PlaneDistance(o, vertices[b], plane);
            if (da < 0) vertices[a].flags |= kVertexOutside;
            int32_t* out = outList->Elements<int32_t>();
            if (da >= 0) {
                out[outCount] = a;
                for (auto& p : pairs) {
                    if (p.active) p.Out(outCount, p.In(i));
                }
                for (auto& v : values) {
                    if (v.active) v.Out(outCount, v.In(i));
                }
                ++outCount;
                record->Clipped = 0;
            }
            if ((da >= 0) == (db >= 0)) continue;
            const bool aInside = da >= 0;
            const int32_t inside = aInside ? a : b;
            const int32_t outside = aInside ? b : a;
            const int64_t dIn = aInside ? da : db;
            const int64_t dOut = aInside ? db : da;
            const int32_t index = camera->ArrayCount();
            CameraVertex crossing = IntersectEdge(vertices[inside], vertices[outside], dIn, dOut);
            crossing.flags = (vertices[a].flags & vertices[b].flags & 0xFF) | uint32_t(plane);
            if (camera->Append(&crossing) < 0) return false;
            out[outCount] = index;
            const int32_t inPos = aInside ? i : next;
            const int32_t outPos = aInside ? next : i;
            for (auto& p : pairs) {
                if (p.active) p.Out(outCount, Interpolate(p.In(inPos), p.In(outPos), dIn, dOut));
            }
            for (auto& v : values) {
                if (v.active) v.Out(outCount, Interpolate(v.In(inPos), v.In(outPos), dIn, dOut));
            }
            ++outCount;
        }
        if (record->Clipped) return false;
        for (auto& p : pairs) p.Swap();
        for (auto& v : values) v.Swap();
        inList = outList;
        inCount = outCount;
        output ^= 1;
    }
    IgnoreResult(record->ClipList->ArraySetCount(inCount));  // never more than the last pass wrote
    for (int32_t s = 0; s < 2; ++s) {
        const int32_t side = s == 0 ? kSideFront : kSideBack;
        if (pairs[s].active) pairs[s].Finish(record->GetSideVertexPairsB(side), inCount);
        if (values[s].active) values[s].Finish(record->GetSideVertexValuesB(side), inCount);
    }
    return true;
}

uint8_t Facing(const Observer* o, const PolygonRecord* record, const DynamicArray* world)
{
    const int16_t first = record->IndexAt(0);
    const FixedVector3* v = first >= 0 ? world->At<FixedVector3>(first) : nullptr;
    if (!v) return kFacingEdgeOn;
    const int64_t dx = int64_t(FixedFloor(v->x)) - o->x;
    const int64_t dy = int64_t(FixedFloor(v->y)) - o->y;
    const int64_t dz = int64_t(FixedFloor(v->z)) - o->z;
    const int64_t dot = dx * record->WorldNormal.x + dy * record->WorldNormal.y + dz * record->WorldNormal.z;
    return dot < 0 ? kFacingBehind : dot == 0 ? kFacingEdgeOn : kFacingNormalSide;
}

}  // namespace

ResultCode InitProjectionArrays()
{
    ResultCode result = kResultOk;
    for (int32_t i = 0; i < kWorkCount; ++i) {
        gWork[i] = NewDynamicArray(0, kWorkElementSizes[i], 4);
        if (gWork[i]) {
            gWork[i]->ArrayLock();
        } else {
            result = kResultOutOfMemory;
        }
    }
    return result;
}

void FreeProjectionArrays()
{
    for (DynamicArray*& array : gWork) {
        if (!array) continue;
        array->ArrayUnlock();
        array->Destroy();
        array = nullptr;
    }
}

int32_t SphereVisibility(const Observer* o, int32_t centreX, int32_t centreY, int32_t centreZ, int32_t radius,
                         int16_t* centreDepth)
{
    const int64_t dx = int64_t(centreX) - o->x;
    const int64_t dy = int64_t(centreY) - o->y;
    const int64_t dz = int64_t(centreZ) - o->z;
    int64_t right = Q15(dx * o->cosHeading - dy * o->sinHeading);
    int64_t forward = Q15(dy * o->cosHeading + dx * o->sinHeading);
    int64_t up = dz;
    if (o->pitch != 0 || o->roll != 0) {
        const int64_t f = Q15(forward * o->cosPitch - up * o->sinPitch);
        const int64_t u = Q15(up * o->cosPitch + forward * o->sinPitch);
        forward = f;
        up = Q15(u * o->cosRoll - right * o->sinRoll);
        right = Q15(right * o->cosRoll + u * o->sinRoll);
    }
    *centreDepth = int16_t(std::clamp<int64_t>(forward, -32768, 32767));
    if (forward <= -radius) return kInvisible;
    const int64_t ax = right < 0 ? right : -right;
    const int64_t az = up < 0 ? up : -up;
    if (!(Shl(forward, o->xShiftDepth) + Shl(ax, o->xShiftSide) > -int64_t(o->xPlaneLength) * radius)) return kInvisible;
    if (!(Shl(az, o->zShiftSide) + Shl(forward, o->zShiftDepth) > -int64_t(o->zPlaneLength) * radius)) return kInvisible;
    int32_t code = 0;
    const int64_t guard = int64_t(o->guardPlaneLength) * radius;
    const int64_t depth = Shl(forward, o->guardShiftDepth);
    if (depth + Shl(ax, o->guardShiftSide) < guard) {
        code |= right > 0 ? kClipRight : kClipLeft;
        if (depth - Shl(ax, o->guardShiftSide) < guard) code |= right > 0 ? kClipLeft : kClipRight;
    }
    if (depth + Shl(az, o->guardShiftSide) < guard) {
        code |= up > 0 ? kClipTop : kClipBottom;
        if (depth - Shl(az, o->guardShiftSide) < guard) code |= up > 0 ? kClipBottom : kClipTop;
    }
    return code;
}

namespace {

// The observer's turn and place in the form the camera transform uses them.
struct CameraTransform {
    explicit CameraTransform(const Observer* o)
        : ch(o->cosHeading >> 6), sh(o->sinHeading >> 6), cp(o->cosPitch >> 6), sp(o->sinPitch >> 6),
          cr(o->cosRoll >> 6), sr(o->sinRoll >> 6), ex(Shl(o->x, 6)), ey(Shl(o->y, 6)), ez(Shl(o->z, 6)),
          level(o->pitch == 0 && o->roll == 0)
    {
    }

    CameraVertex Apply(const FixedVector3& v) const
    {
        const int64_t px = (v.x >> 10) - ex;
        const int64_t py = (v.y >> 10) - ey;
        const int64_t pz = (v.z >> 10) - ez;
        const int64_t x1 = (ch * px - sh * py) >> 9;
        const int64_t y1 = (sh * px + ch * py) >> 9;
        if (level) return {int32_t(x1), int32_t(y1), int32_t(pz), 0};
        const int64_t z1 = (y1 * sp + cp * pz) >> 9;
        return {int32_t((z1 * sr + x1 * cr) >> 9), int32_t((y1 * cp - sp * pz) >> 9), int32_t((z1 * cr - sr * x1) >> 9),
                0};
    }

    int64_t ch, sh, cp, sp, cr, sr, ex, ey, ez;
    bool level;
};

// Whether the camera vertex is projected: in front of the eye and not dropped by the clipper.
bool Projected(const CameraVertex& v)
{
    return int32_t(v.flags) >= 0 && v.y >= 0;
}

// The screen point of a projected camera vertex, with its projected record when asked for.
inline ScreenPoint ProjectVertex(const Observer* o, const CameraVertex& v, ProjectedVertex* record)
{
    int64_t d = v.y;
    int64_t cx = v.x;
    int64_t cz = v.z;
    const bool near = d <= 0xFFFF;
    if (!near) {
        d >>= 6;
        cx >>= 6;
        cz >>= 6;
    }
    const uint32_t reciprocal = o->Reciprocal(int32_t(std::min<int64_t>(d, 0xFFFF)));
    uint32_t r = reciprocal;
    int32_t s = 0;
    if (r >= 0x8000) {
        s = BitLength(r) - 15;
        r >>= s;
    }
    int64_t sx = (cx * r + (int64_t(1) << (15 - s))) >> (16 - s);
    int64_t sy = (cz * r + (int64_t(1) << (15 - s))) >> (16 - s);
    if (v.flags & kClipRight) sx = o->xEdge;
    if (v.flags & kClipLeft) sx = -1 - int64_t(o->xEdge);
    if (v.flags & kClipTop) sy = int64_t(o->zEdge) + 1;
    if (v.flags & kClipBottom) sy = -int64_t(o->zEdge);
    const ScreenPoint point = {int32_t(std::clamp<int64_t>(sx, INT32_MIN, INT32_MAX)),
                               int32_t(std::clamp<int64_t>(sy, INT32_MIN, INT32_MAX))};
    if (record) {
        // The reciprocal in the scale of whole units, at the table's full precision, so that it
        // stays proportional to 1 / depth (the textured path interpolates it across the screen).
        int64_t w = reciprocal;
        if (near) {
            w <<= 6;
            d >>= 6;
            cx >>= 6;
            cz >>= 6;
        }
        *record = {int16_t(point.x), int16_t(point.y), int16_t(d), int32_t(std::min<int64_t>(w, INT32_MAX)),
                   int16_t(cx), int16_t(cz)};
    }
    return point;
}

// The box of (screen x, camera y, screen y) of projected vertices, widened in place of its own
// and stored once.
struct ScreenBox {
    int32_t lows[3] = {kBoxEmptyMin, kBoxEmptyMin, kBoxEmptyMin};
    int32_t highs[3] = {kBoxEmptyMax, kBoxEmptyMax, kBoxEmptyMax};

    void Widen(const ScreenPoint& point, const CameraVertex& v)
    {
        const int32_t p[3] = {point.x, v.y, point.y};
        for (int k = 0; k < 3; ++k) {
            lows[k] = std::min(lows[k], p[k]);
            highs[k] = std::max(highs[k], p[k]);
        }
    }
    void Store(int32_t* boxMin, int32_t* boxMax) const
    {
        std::copy(lows, lows + 3, boxMin);
        std::copy(highs, highs + 3, boxMax);
    }
};

}  // namespace

void TransformVertices(const Observer* o, const DynamicArray* world, DynamicArray* camera)
{
    const int32_t count = world ? world->ArrayCount() : 0;
    if (camera->ArraySetCount(count) != kResultOk) return;
    const FixedVector3* in = world ? world->Elements<FixedVector3>() : nullptr;
    CameraVertex* out = camera->Elements<CameraVertex>();
    const CameraTransform transform(o);
    for (int32_t i = 0; i < count; ++i) out[i] = transform.Apply(in[i]);
    CountTurns(count);
}

void ProjectVertices(const Observer* o, const DynamicArray* camera, DynamicArray* screenPoints, DynamicArray* records,
                     int32_t* boxMin, int32_t* boxMax)
{
    const int32_t count = camera->ArrayCount();
    if (screenPoints->ArraySetCount(count) != kResultOk) return;
    if (records && records->ArraySetCount(count) != kResultOk) records = nullptr;
    ScreenBox box;
    const CameraVertex* in = camera->Elements<CameraVertex>();
    ScreenPoint* out = screenPoints->Elements<ScreenPoint>();
    ProjectedVertex* projected = records ? records->Elements<ProjectedVertex>() : nullptr;
    for (int32_t i = 0; i < count; ++i) {
        if (!Projected(in[i])) continue;
        out[i] = ProjectVertex(o, in[i], projected ? projected + i : nullptr);
        if (boxMin && boxMax) box.Widen(out[i], in[i]);
    }
    if (boxMin && boxMax) box.Store(boxMin, boxMax);
    CountTurns(count);
}

void ProjectVerticesBox(const Observer* o, const DynamicArray* world, int32_t* boxMin, int32_t* boxMax)
{
    ScreenBox box;
    const int32_t count = world ? world->ArrayCount() : 0;
    const FixedVector3* in = world ? world->Elements<FixedVector3>() : nullptr;
    const CameraTransform transform(o);
    for (int32_t i = 0; i < count; ++i) {
        const CameraVertex v = transform.Apply(in[i]);
        if (Projected(v)) box.Widen(ProjectVertex(o, v, nullptr), v);
    }
    box.Store(boxMin, boxMax);
    CountTurns(count);
}

int32_t ProjectPolygons(Observer* o, DynamicArray* polygons, const DynamicArray* world, DynamicArray* camera,
                        int32_t clipCode)
{
    int32_t left = 0;
    const int32_t count = polygons ? polygons->ArrayCount() : 0;
    for (int32_t i = 0; i < count; ++i) {
        PolygonRecord* record = PointerAt<PolygonRecord>(polygons, i);
        record->Facing = Facing(o, record, world);
        record->Clipped = 0;
        if (clipCode == 0) {
            // Drawn from the face's own pairs and values (ProjectedSidePairs).
            record->ClipRef = record->Indices;
            continue;
        }
        record->ClipRef = record->MakeClipList();
        if (ClipRecord(o, record, camera, clipCode)) {
            left = 1;
        } else {
            record->Clipped = 1;
        }
    }
    CountTurns(count);
    return clipCode == 0 ? 1 : left;
}

DynamicArray* ProjectedSidePairs(PolygonRecord* record, int32_t side)
{
    return record->ClipRef == record->Indices ? record->GetSideVertexPairs(side) : record->GetSideVertexPairsB(side);
}

DynamicArray* ProjectedSideValues(PolygonRecord* record, int32_t side)
{
    return record->ClipRef == record->Indices ? record->GetSideVertexValues(side) : record->GetSideVertexValuesB(side);
}

int32_t ProjectElement(Observer* o, DynamicArray* cameraVertices, const DynamicArray* pairs, DynamicArray* pairsOut,
                       int32_t clipCode)
{
    const int32_t n = cameraVertices->ArrayCount();
    if (clipCode == 0) {
        if (pairs && pairsOut) IgnoreResult(pairs->ArrayCopyTo(pairsOut));  // a short copy: missing pairs read as 0
        return n >= 3 ? 1 : 0;
    }
    DynamicArray* lists[2] = {cameraVertices, o->elementVertices};
    if (!lists[1] || n < 3) return 0;
    CarriedData<FixedPoint> carried;
    if (pairs && pairsOut) carried.Start(kPairsA0, pairs, n);
    int32_t input = 0;
    int32_t inCount = n;
    for (int32_t plane : kPlanes) {
        if (!(clipCode & plane)) continue;
        // Each plane walks the corners left, spent beforehand; refused, nothing is left.
        if (!CurrentRenderContext().frameBudget.Spend(FrameCost::kViewed, inCount)) return 0;
        CountTurns(inCount);
        DynamicArray* outList = lists[input ^ 1];
        if (!EnsureCount(outList, 2 * inCount + 4) || !carried.Reserve(2 * inCount + 4)) return 0;
        CameraVertex* in = lists[input]->Elements<CameraVertex>();
        CameraVertex* out = outList->Elements<CameraVertex>();
        int32_t outCount = 0;
        for (int32_t i = 0; i < inCount; ++i) {
            const int32_t next = i + 1 < inCount ? i + 1 : 0;
            const int64_t da = PlaneDistance(o, in[i], plane);
            const int64_t db = PlaneDistance(o, in[next], plane);
            if (da >= 0) {
                if (carried.active) carried.Out(outCount, carried.In(i));
                out[outCount++] = in[i];
            }
            if ((da >= 0) == (db >= 0)) continue;
            const bool aInside = da >= 0;
            const int32_t inPos = aInside ? i : next;
            const int32_t outPos = aInside ? next : i;
            const int64_t dIn = aInside ? da : db;
            const int64_t dOut = aInside ? db : da;
            CameraVertex crossing = IntersectEdge(in[inPos], in[outPos], dIn, dOut);
            crossing.flags = (in[i].flags & in[next].flags & 0xFF) | uint32_t(plane);
            if (carried.active) carried.Out(outCount, Interpolate(carried.In(inPos), carried.In(outPos), dIn, dOut));
            out[outCount++] = crossing;
        }
        if (outCount == 0) return 0;
        carried.Swap();
        input ^= 1;
        inCount = outCount;
    }
    if (input == 1) {
        if (!EnsureCount(cameraVertices, inCount)) return 0;
        std::copy(lists[1]->Elements<CameraVertex>(), lists[1]->Elements<CameraVertex>() + inCount,
                  cameraVertices->Elements<CameraVertex>());
        CountTurns(inCount);
    }
    IgnoreResult(cameraVertices->ArraySetCount(inCount));  // never more than the last pass wrote
    carried.Finish(pairsOut, inCount);
    return 1;
}

int32_t ProjectElement(Observer* o, PolygonElement* element, int32_t clipCode)
{
    // The pairs travel with a texture as they do for the sides of faces.
    return ProjectElement(o, element->ProjectedVertices, element->Texture ? element->MappingList : nullptr,
                          element->MappingListB, clipCode);
}

CameraVertex IntersectEdge(const CameraVertex& inside, const CameraVertex& outside, int64_t d0, int64_t d1)
{
    const int64_t t = CrossingRatio(d0, d1, 30);
    auto along = [t](int32_t a, int32_t b) {
        return int32_t(a + ProductWholePart((int64_t(b) - a) * 4, t));
    };
    return {along(inside.x, outside.x), along(inside.y, outside.y), along(inside.z, outside.z), 0};
}

Fixed InterpolateValue(Fixed inside, Fixed outside, int64_t d0, int64_t d1)
{
    const Fixed t = Fixed(CrossingRatio(d0, d1, 16));
    return FixAdd(inside, FixMul(FixSub(outside, inside), t));
}

void InterpolatePair(const FixedPoint& inside, const FixedPoint& outside, int64_t d0, int64_t d1, FixedPoint* out)
{
    *out = {InterpolateValue(inside.x, outside.x, d0, d1), InterpolateValue(inside.y, outside.y, d0, d1)};
}

void SetupTextureMapping(const DynamicArray* vertices, DynamicArray** output, const TextureMappingInput& in)
{
    if (!*output) *output = NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4);
    DynamicArray* list = *output;
    if (!list || !vertices || vertices->ArrayCopyTo(list) != kResultOk) return;
    const int32_t count = list->ArrayCount();
    if (count == 0) return;
    FixedPoint* points = list->Elements<FixedPoint>();
    Fixed minimum[2] = {points[0].x, points[0].y};
    Fixed maximum[2] = {points[0].x, points[0].y};
    for (int32_t i = 1; i < count; ++i) {
        minimum[0] = std::min(minimum[0], points[i].x);
        minimum[1] = std::min(minimum[1], points[i].y);
        maximum[0] = std::max(maximum[0], points[i].x);
        maximum[1] = std::max(maximum[1], points[i].y);
    }
    Fixed extent[2];
    for (int axis = 0; axis < 2; ++axis) extent[axis] = std::max<Fixed>(FixSub(maximum[axis], minimum[axis]), 1);
    const int32_t spanX = in.textureRect.right - in.textureRect.left - 1;
    const int32_t spanY = in.textureRect.bottom - in.textureRect.top - 1;
    Fixed factor[2];
    for (int axis = 0; axis < 2; ++axis) {
        if (!in.realSize[axis]) {
            factor[axis] = in.factor[axis];
            continue;
        }
        const double a = Fix2X(extent[axis]) * in.unitMetres;
        const int32_t sizeExtent = axis == 0 ? in.sizeRect.Width() : in.sizeRect.Height();
        // A frame without extent maps the texture as if its unit were zero.
        const double u = sizeExtent != 0 ? GetUnitToMetres(in.unitCode[axis]) * Fix2X(in.size[axis]) / sizeExtent : 0.0;
        factor[axis] = X2Fix(u != 0 ? a / u : a);
    }
    for (int32_t i = 0; i < count; ++i) {
        Fixed u = Fixed(int64_t(FixDiv(FixSub(points[i].x, minimum[0]), extent[0])) * spanX);
        u = FixAdd(u, IntToFixed(in.textureRect.left));
        const Fixed v = Fixed(int64_t(FixDiv(FixSub(points[i].y, minimum[1]), extent[1])) * spanY);
        points[i] = {FixMul(u, factor[0]), FixMul(v, factor[1])};
    }
    CountTurns(2 * int64_t(count));
}
