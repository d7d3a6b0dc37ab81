// The observer: set-up, placement, turning, the option switches and the eye's cell.
#include "render/observer.h"

#include <cmath>
#include <cstdlib>

#include "foundation/fixed.h"
#include "foundation/pointer_list.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "raster/device_point_list.h"
#include "raster/span_region.h"
#include "render/sine_tables.h"

namespace {

// The Q15 sine and cosine of minus an angle of 1/256 turns given in 16.16.
void ExactTrig(Fixed angle, int16_t* sine, int16_t* cosine)
{
    const double radians = Fix2X(angle) / 128.0 * kPi;
    auto q15 = [](double v) {
        const double r = std::floor(v * 32768.0 + 0.5);
        return int16_t(r >= 32768.0 ? 32767 : r < -32768.0 ? -32768 : r);
    };
    *sine = q15(std::sin(-radians));
    *cosine = q15(std::cos(-radians));
}

int16_t RoundedAngle(Fixed angle)
{
    return int16_t(RoundFixed(angle) & 255);
}

}  // namespace

ResultCode Observer::Init(ModelHolder* holder)
{
    owner = holder;
    SetObserverOptions(0);
    x = y = z = 0;
    roll = pitch = heading = 0;
    UpdateTrig();
    nearby = NewDynamicArray(0, int32_t(sizeof(ObjectGeometry*)), 4);
    zoomNum = zoomDen = scale = 0;
    const ResultCode buffers = AllocViewBuffers();
    width = height = 0;
    corners = NewDynamicArray(4, int32_t(sizeof(DevicePoint)), 4);
    region = NewSpanRegion();
    xShiftDepth = xShiftSide = zShiftDepth = zShiftSide = 0;
    xPlaneLength = zPlaneLength = 0;
    xEdge = zEdge = 0;
    guardShiftDepth = guardShiftSide = guardPlaneLength = 0;
    frameStart = 0;
    abortFlag = 0;
    objectCounter = interruptible = 0;
    clipIndices = NewDynamicArray(0, int32_t(sizeof(int32_t)), 4);
    elementVertices = NewDynamicArray(0, 16, 4);
    AttachObserverToWorld();
    if (buffers != kResultOk || !nearby || !corners || !region || !clipIndices || !elementVertices)
        return kResultOutOfMemory;
    return kResultOk;
}

void Observer::Free()
{
    if (nearby) nearby->Destroy();
    FreeViewBuffers();
    if (corners) corners->Destroy();
    if (region) region->SpanRegionFree();
    if (clipIndices) clipIndices->Destroy();
    if (elementVertices) elementVertices->Destroy();
    delete this;
}

void Observer::BumpSerial()
{
    if (owner) NextNonZeroSerial(owner);
}

void Observer::SetObserverOptions(uint32_t mask)
{
    for (int32_t bit = 0; bit < kOptionCount; ++bit) options[bit] = (mask >> bit) & 1;
    drawFlags = 0;
    if (Option(kOptionFill)) drawFlags |= kDrawFill;
    if (Option(kOptionFrameSeeThrough)) drawFlags |= kDrawFrame;
    if (Option(kOptionDither)) drawFlags |= kDrawMatchColours;
    if (Option(kOptionCollectBounds)) drawFlags |= kDrawCollectBounds;
    if (Option(kOptionVertexShading)) drawFlags |= kDrawVertexShading;
}

uint32_t Observer::GetObserverOptions(uint32_t mask) const
{
    uint32_t set = 0;
    for (int32_t bit = 0; bit < kOptionCount; ++bit) {
        if (options[bit]) set |= uint32_t(1) << bit;
    }
    return mask & set;
}

void Observer::UpdateTrig()
{
    sinRoll = SineTableQ15[(-roll) & 255];
    cosRoll = SineTableQ15[(64 - roll) & 255];
    sinPitch = SineTableQ15[(-pitch) & 255];
    cosPitch = SineTableQ15[(64 - pitch) & 255];
    sinHeading = SineTableQ15[(-heading) & 255];
    cosHeading = SineTableQ15[(64 - heading) & 255];
}

void Observer::SetObserverAnglesFixed(Fixed r, Fixed p, Fixed h)
{
    roll = RoundedAngle(r);
    pitch = RoundedAngle(p);
    heading = RoundedAngle(h);
    ExactTrig(r, &sinRoll, &cosRoll);
    ExactTrig(p, &sinPitch, &cosPitch);
    ExactTrig(h, &sinHeading, &cosHeading);
    BumpSerial();
}

void Observer::SetObserverPosition(ShortVector3 position)
{
    if (position.x == x && position.y == y && position.z == z) return;
    x = position.x;
    y = position.y;
    z = position.z;
    LocateEye();
    BumpSerial();
}

void Observer::SetObserverPositionFixed(Fixed px, Fixed py, Fixed pz)
{
    SetObserverPosition({ClampToShort(RoundFixed(px)), ClampToShort(RoundFixed(py)), ClampToShort(RoundFixed(pz))});
}

void Observer::SetObserverAngles(int16_t r, int16_t p, int16_t h)
{
    r &= 255;
    p &= 255;
    h &= 255;
    if (r == roll && p == pitch && h == heading) return;
    roll = r;
    pitch = p;
    heading = h;
    UpdateTrig();
    BumpSerial();
}

void Observer::LevelObserver()
{
    if (pitch == 0 && roll == 0) return;
    pitch = roll = 0;
    UpdateTrig();
    BumpSerial();
}

void Observer::AttachObserverToWorld()
{
    cell = owner && owner->Root ? owner->Root->GeometryAt(0) : nullptr;
    LocateEye();
    BumpSerial();
}

void Observer::LocateEye()
{
    if (!cell) return;
    // Out to the first object that holds the eye; the world root holds every point.
    for (;;) {
        const ModelObject* object = cell->Owner;
        // A record of no object: the eye stays where it is, with nothing around it.
        if (!object) return;
        if (cell->HitTestPolygonObject(x, y, z) == kHitInside && !object->Hidden) break;
        const ModelObject* parent = object->FirstNonGroupParent();
        ObjectGeometry* outer = parent ? parent->GeometryAt(0) : nullptr;
        if (!outer) break;
        cell = outer;
    }
    // In to the innermost object that holds it, collecting those whose surface it is on.
    if (!nearby) return;
    for (;;) {
        IgnoreResult(nearby->ArraySetCount(0));
        ObjectGeometry* inner = cell->Owner->PickObjectsAt(x, y, z, nearby);
        if (!inner || inner->Owner->Hidden) break;
        cell = inner;
    }
    for (int32_t i = nearby->ArrayCount() - 1; i >= 0; --i) {
        const ObjectGeometry* g = PointerAt<ObjectGeometry>(nearby, i);
        if (g->Owner->Hidden) IgnoreResult(nearby->Remove(i));
    }
}

void Observer::FitViewToBounds(int32_t aspectDen, int32_t aspectNum)
{
    if (aspectDen == 0 || zoomNum == 0) return;
    const double ratio = double(aspectNum) / double(aspectDen);
    const int32_t spanZ = int32_t(boundsMax.z) - boundsMin.z;
    const int32_t spanX = int32_t(boundsMax.x) - boundsMin.x;
    const double span = spanZ > spanX ? spanZ : spanX;
    const double half = std::atan(double(zoomDen >> 1) / double(zoomNum)) + 0.26179938781323336;
    const double angle = std::fmin(half, half * ratio);
    const double tangent = std::tan(angle);
    const double distance = tangent != 0 ? span / tangent : 0;
    auto centre = [](int16_t a, int16_t b) { return (int32_t(a) + int32_t(b)) >> 1; };
    const int64_t depth = int64_t(centre(boundsMin.y, boundsMax.y)) - int64_t(std::trunc(std::fmin(distance, 1e9))) -
                          ((int32_t(boundsMax.y) - boundsMin.y) >> 1);
    SetObserverPosition({ClampToShort(centre(boundsMin.x, boundsMax.x)), ClampToShort(depth),
                         ClampToShort(centre(boundsMin.z, boundsMax.z))});
}
