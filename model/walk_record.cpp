// The walk record: the eye's place, angles and walk path, and its "QPRF" chunk body.
#include "model/walk_record.h"

#include <new>

#include "foundation/loop_turns.h"
#include "foundation/memory_stream.h"
#include "foundation/pointer_list.h"
#include "foundation/typed_value.h"
#include "foundation/walk_path_point.h"
#include "model/read_limits.h"
#include "model/short_vector.h"

namespace {

constexpr int32_t kPathPointBytes = 24;
// The chunk counts the path's points in 16 bits.
constexpr int32_t kMaxPathPoints = 32767;
constexpr Fixed kRadiansPerStep = 1609;  // 2 pi / 256 in 16.16

// An angle rounded half up to a whole number of steps, kept in 16 bits (a whole number of turns
// away from the angle, as the observer keeps it modulo 256).
Fixed WholeAngle(Fixed value)
{
    return IntToFixed(int16_t(RoundFixed(value)));
}

// A coordinate rounded half up to a whole world unit, clamped to the observer's 16 bits.
Fixed WholeCoordinate(Fixed value)
{
    return IntToFixed(ClampToShort(RoundFixed(value)));
}

}  // namespace

ResultCode AppendPathPointCopy(DynamicArray* path, const WalkPathPoint& point)
{
    WalkPathPoint* copy = new (std::nothrow) WalkPathPoint;
    if (!copy) return kResultOutOfMemory;
    copy->CopyFrom(point);
    const ResultCode appended = ResultOfIndex(AppendPointer(path, copy));
    if (appended != kResultOk) delete copy;
    return appended;
}

ResultCode WalkRecord::Init(void* owner)
{
    Owner = owner;
    for (int i = 0; i < 3; ++i) Position[i] = PreviousPosition[i] = Angles[i] = PreviousAngles[i] = 0;
    Recording = 0;
    PathIndex = 0;
    Path = NewPointerList();
    return Path ? kResultOk : kResultOutOfMemory;
}

void WalkRecord::Free()
{
    ClearPath();
    DestroyArray(Path);
    delete this;
}

WalkPathPoint* WalkRecord::PathPoint(int32_t index) const
{
    return PointerAt<WalkPathPoint>(Path, index);
}

void WalkRecord::SetPositionFixed(Fixed x, Fixed y, Fixed z)
{
    const Fixed whole[3] = {WholeCoordinate(x), WholeCoordinate(y), WholeCoordinate(z)};
    for (int i = 0; i < 3; ++i) {
        PreviousPosition[i] = Position[i];
        Position[i] = whole[i];
    }
}

void WalkRecord::SetAnglesFixed(Fixed roll, Fixed pitch, Fixed heading)
{
    const Fixed whole[3] = {WholeAngle(roll), WholeAngle(pitch), WholeAngle(heading)};
    for (int i = 0; i < 3; ++i) {
        PreviousAngles[i] = Angles[i];
        Angles[i] = whole[i];
    }
}

void WalkRecord::SetAndRecord(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading)
{
    SetPositionFixed(x, y, z);
    SetAnglesFixed(roll, pitch, heading);
    if (Recording == 1) RecordPathPoint();
}

void WalkRecord::RecordPathPoint()
{
    if (PathCount() >= kMaxPathPoints) return;
    WalkPathPoint* point = new (std::nothrow) WalkPathPoint;
    if (!point) return;
    point->x = Position[0];
    point->y = Position[1];
    point->z = Position[2];
    point->roll = Angles[0];
    point->pitch = Angles[1];
    point->heading = Angles[2];
    if (!Path || AppendPointer(Path, point) < 0) delete point;
}

void WalkRecord::ClearPath()
{
    // A locked path (one being played) keeps its points: its count cannot be set meanwhile.
    if (Path && Path->LockCount() > 0) return;
    for (int32_t i = 0; i < PathCount(); ++i) delete PathPoint(i);
    CountTurns(PathCount());
    if (Path) IgnoreResult(Path->ArraySetCount(0));
}

void WalkRecord::SetRecording(int16_t flag, int16_t clear)
{
    Recording = flag;
    if (clear == 1) ClearPath();
}

void WalkRecord::GetPlacement(FixedVector3* position, Fixed angles[3]) const
{
    *position = {Position[0], Position[1], Position[2]};
    for (int i = 0; i < 3; ++i) angles[i] = FixMul(Angles[i], kRadiansPerStep);
}

ResultCode WalkRecord::Write(MemoryStream* stream)
{
    auto toRadians = TurnStepsToRadians;
    auto fromRadians = RadiansToTurnSteps;
    if (stream->StreamIsWriting()) {
        int16_t version = 1;
        FixedVector3 position = {Position[0], Position[1], Position[2]};
        Fixed radians[3] = {toRadians(Angles[0]), toRadians(Angles[1]), toRadians(Angles[2])};
        int16_t count = int16_t(PathCount());
        ResultCode result = stream->StreamTransferValue(&version, kValue16);
        if (result == kResultOk) result = SerializeTypedValue(stream, &position, kTypedVector);
        if (result == kResultOk) result = SerializeTypedValue(stream, radians, kTypedAngles);
        if (result == kResultOk) result = stream->StreamTransferValue(&LensNumerator, kValue16);
        if (result == kResultOk) result = stream->StreamTransferValue(&LensDenominator, kValue16);
        if (result == kResultOk) result = stream->StreamTransferValue(&count, kValue16);
        for (int32_t i = 0; i < count && result == kResultOk; ++i) result = PathPoint(i)->Write(stream);
        return result;
    }
    int16_t version = 0;
    ResultCode result = stream->StreamTransferValue(&version, kValue16);
    if (result != kResultOk || version >= 2) return result;
    FixedVector3 position = {0, 0, 0};
    Fixed radians[3] = {0, 0, 0};
    int16_t lens[2] = {0, 0};
    int16_t count = 0;
    result = SerializeTypedValue(stream, &position, kTypedVector);
    if (result == kResultOk) result = SerializeTypedValue(stream, radians, kTypedAngles);
    if (result == kResultOk) result = stream->StreamTransferValue(&lens[0], kValue16);
    if (result == kResultOk) result = stream->StreamTransferValue(&lens[1], kValue16);
    if (result != kResultOk) return result;
    LensNumerator = lens[0];
    LensDenominator = lens[1];
    SetPositionFixed(position.x, position.y, position.z);
    SetAnglesFixed(fromRadians(radians[0]), fromRadians(radians[1]), fromRadians(radians[2]));
    result = stream->StreamTransferValue(&count, kValue16);
    if (result != kResultOk) return result;
    if (!CountFits(stream, count, kPathPointBytes)) return kResultBadCount;
    ClearPath();
    for (int32_t i = 0; i < count && result == kResultOk; ++i) {
        WalkPathPoint* point = new (std::nothrow) WalkPathPoint;
        if (!point) return kResultOutOfMemory;
        result = point->Write(stream);
        if (result != kResultOk || AppendPointer(Path, point) < 0) delete point;
    }
    CountTurns(count);
    return result;
}
