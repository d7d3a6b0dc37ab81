// The walk observer: the observer's placement and moves with 16.16 copies and their previous
// values, recording and stepping through the walk path, and the "QPRF" chunk body.
#include "player/walk_observer.h"

#include <new>

#include "foundation/ui_services.h"
#include "foundation/walk_path_point.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/short_vector.h"
#include "model/walk_record.h"

namespace {

// The beep of a refused step through the path.
constexpr int32_t kRefusedBeep = 1;

// A 16.16 angle rounded half up to whole steps, in the 16 bits the observer's setter takes.
int16_t WholeSteps(Fixed angle)
{
    return int16_t(RoundFixed(angle));
}

}  // namespace

WalkObserver::WalkObserver() = default;
WalkObserver::~WalkObserver() = default;

ResultCode WalkObserver::Init(ModelHolder* holder)
{
    ownerDocument_ = nullptr;
    const ResultCode observer = Observer::Init(holder);
    walk_.reset(new (std::nothrow) WalkRecord);
    if (!walk_) return kResultOutOfMemory;
    const ResultCode walk = walk_->Init(this);
    return observer != kResultOk ? observer : walk;
}

void WalkObserver::Free()
{
    walk_.reset();
    Observer::Free();
}

void WalkObserver::SetObserverPosition(ShortVector3 position)
{
    walk_->SetPositionFixed(IntToFixed(position.x), IntToFixed(position.y), IntToFixed(position.z));
    Observer::SetObserverPosition(position);
}

void WalkObserver::SetObserverPositionFixed(Fixed px, Fixed py, Fixed pz)
{
    SetObserverPosition({ClampToShort(RoundFixed(px)), ClampToShort(RoundFixed(py)), ClampToShort(RoundFixed(pz))});
}

void WalkObserver::SetObserverAngles(int16_t r, int16_t p, int16_t h)
{
    // The 16.16 copies keep the whole numbers as given; the observer keeps them modulo 256.
    walk_->SetAnglesFixed(IntToFixed(r), IntToFixed(p), IntToFixed(h));
    Observer::SetObserverAngles(r, p, h);
}

void WalkObserver::SetAnglesFixed(Fixed r, Fixed p, Fixed h)
{
    SetObserverAngles(WholeSteps(r), WholeSteps(p), WholeSteps(h));
}

void WalkObserver::LevelObserver()
{
    Observer::LevelObserver();
    walk_->SetPositionFixed(walk_->Position[0], walk_->Position[1], walk_->Position[2]);
    walk_->SetAnglesFixed(IntToFixed(roll), IntToFixed(pitch), IntToFixed(heading));
}

void WalkObserver::FollowMove()
{
    walk_->SetPositionFixed(IntToFixed(x), IntToFixed(y), IntToFixed(z));
    walk_->SetAnglesFixed(IntToFixed(roll), IntToFixed(pitch), IntToFixed(heading));
    RecordWhenRecording();
}

void WalkObserver::RecordWhenRecording()
{
    if (walk_->Recording == 1 && !playing_) walk_->RecordPathPoint();
}

void WalkObserver::MoveObserverRelative(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                        int32_t dPitch, int32_t dRoll)
{
    Observer::MoveObserverRelative(forward, sideways, up, dHeading, dPitch, dRoll);
    FollowMove();
}

void WalkObserver::MoveObserverWithCollision(int32_t forward, int32_t sideways, int32_t up, int32_t dHeading,
                                             int32_t dPitch, int32_t dRoll)
{
    Observer::MoveObserverWithCollision(forward, sideways, up, dHeading, dPitch, dRoll);
    FollowMove();
}

void WalkObserver::GetPlacement(FixedVector3* position, Fixed angles[3]) const
{
    walk_->GetPlacement(position, angles);
}

void WalkObserver::SetAndRecord(Fixed px, Fixed py, Fixed pz, Fixed r, Fixed p, Fixed h)
{
    SetObserverPositionFixed(px, py, pz);
    SetAnglesFixed(r, p, h);
    RecordWhenRecording();
}

void WalkObserver::RecordPathPoint()
{
    walk_->RecordPathPoint();
}

void WalkObserver::ClearPath()
{
    walk_->ClearPath();
}

void WalkObserver::SetRecording(int16_t flag, int16_t clear)
{
    walk_->SetRecording(flag, clear);
}

int32_t WalkObserver::PathCount() const
{
    return walk_->PathCount();
}

int32_t WalkObserver::PathIndex() const
{
    return walk_->PathIndex;
}

void WalkObserver::RewindPath()
{
    walk_->PathIndex = 0;
}

bool WalkObserver::IsRecording() const
{
    return walk_->Recording == 1;
}

int32_t WalkObserver::GoToPathPoint(int32_t n)
{
    const int32_t count = PathCount();
    if (count == 0) {
        PlayBeep(kRefusedBeep);
        return 1;
    }
    const int32_t index = n > count - 1 ? count - 1 : n < 0 ? 0 : n;
    const int32_t failed = index != n ? 1 : 0;
    walk_->PathIndex = int16_t(index);
    const WalkPathPoint* point = walk_->PathPoint(index);
    SetAndRecord(point->x, point->y, point->z, point->roll, point->pitch, point->heading);
    SetObserverAnglesFixed(point->roll, point->pitch, point->heading);
    if (failed) PlayBeep(kRefusedBeep);
    return failed;
}

void WalkObserver::PlayPath()
{
    if (playing_ || PathCount() == 0 || !ownerDocument_) return;
    // Points played are not recorded again, whatever the recording flag says meanwhile.
    playing_ = true;
    walk_->Path->ArrayLock();
    PlayPoints();
    walk_->Path->ArrayUnlock();
    playing_ = false;
}

void WalkObserver::ReadWalkRecord(const WalkRecord& record)
{
    SetObserverPositionFixed(record.Position[0], record.Position[1], record.Position[2]);
    SetAnglesFixed(record.Angles[0], record.Angles[1], record.Angles[2]);
    SetViewZoom(record.LensNumerator, record.LensDenominator);
    ClearPath();
    walk_->PathIndex = 0;
    for (int32_t i = 0; i < record.PathCount(); ++i) {
        if (AppendPathPointCopy(walk_->Path, *record.PathPoint(i)) != kResultOk) return;
    }
}

int32_t WalkObserver::WorldRootWord() const
{
    return owner && owner->Root ? owner->Root->Type : 0;
}

ResultCode WalkObserver::CopyPathPoints(int32_t first, int32_t last, DynamicArray* target) const
{
    const int32_t count = PathCount();
    if (count == 0 || !target) return kResultOk;
    auto clamp = [count](int32_t index) { return index < 0 ? 0 : index > count - 1 ? count - 1 : index; };
    first = clamp(first);
    last = clamp(last);
    const int32_t step = last < first ? -1 : 1;
    for (int32_t i = first;; i += step) {
        const ResultCode result = AppendPathPointCopy(target, *walk_->PathPoint(i));
        if (result != kResultOk || i == last) return result;
    }
}

ResultCode WalkObserver::Write(MemoryStream* stream)
{
    // The record carries the lens through the chunk; a body it does not read (a later
    // version) leaves its values, and so the observer, as they were.
    walk_->LensNumerator = zoomNum;
    walk_->LensDenominator = zoomDen;
    const ResultCode result = walk_->Write(stream);
    if (stream->StreamIsWriting()) return result;
    // Read: the lens goes straight into the lens fields (the projection is rebuilt when the
    // view is next laid out); place and angles are whole numbers already.
    zoomNum = walk_->LensNumerator;
    zoomDen = walk_->LensDenominator;
    Observer::SetObserverPosition({int16_t(RoundFixed(walk_->Position[0])), int16_t(RoundFixed(walk_->Position[1])),
                                   int16_t(RoundFixed(walk_->Position[2]))});
    Observer::SetObserverAngles(WholeSteps(walk_->Angles[0]), WholeSteps(walk_->Angles[1]),
                                WholeSteps(walk_->Angles[2]));
    return result;
}
