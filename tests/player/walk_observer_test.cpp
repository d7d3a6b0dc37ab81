// The walk observer: whole-number placement with its previous values, one path point per
// recorded change, stepping through the path, the "QPRF" body and what a model file held.
#include "player/walk_observer.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"
#include "foundation/walk_path_point.h"
#include "model/pointer_list.h"
#include "model/walk_record.h"
#include "tests/foundation/stream_bytes.h"
#include "tests/render/scene_support.h"

namespace {

class BeepRecorder : public UiServices {
public:
    BeepRecorder() : previous_(InstallUiServices(this)) {}
    ~BeepRecorder() override { InstallUiServices(previous_); }
    void PlayBeep(int32_t kind) override { beeps.push_back(kind); }
    std::vector<int32_t> beeps;

private:
    UiServices* previous_;
};

struct WalkDeleter {
    void operator()(WalkObserver* observer) const { observer->Free(); }
};
using WalkPtr = std::unique_ptr<WalkObserver, WalkDeleter>;

WalkPtr NewWalk(ModelHolder* holder)
{
    WalkPtr walk(new WalkObserver);
    EXPECT_EQ(walk->Init(holder), kResultOk);
    walk->SetViewportSize(80, 60);
    walk->SetViewZoom(35, 36);
    return walk;
}

constexpr Fixed kHalf = 0x8000;

std::vector<Fixed> Triple(const Fixed values[3])
{
    return {values[0], values[1], values[2]};
}

std::vector<Fixed> PointValues(const WalkPathPoint* p)
{
    return {p->x, p->y, p->z, p->roll, p->pitch, p->heading};
}

// A path of points at x = 10, 20, 30 ... facing heading 0, 16, 32 ...
void RecordPath(WalkObserver* walk, int32_t count)
{
    walk->SetRecording(1, 1);
    for (int32_t i = 0; i < count; ++i)
        walk->SetAndRecord(IntToFixed(10 * (i + 1)), IntToFixed(5), 0, 0, 0, IntToFixed(16 * i));
    walk->SetRecording(0, 0);
}

std::vector<Fixed> F(std::initializer_list<int32_t> whole)
{
    std::vector<Fixed> out;
    for (int32_t n : whole) out.push_back(IntToFixed(n));
    return out;
}

}  // namespace

TEST(WalkObserver, PlacementIsWholeUnitsRoundedHalfUpAndClampedWithOnePreviousValue)
{
    auto world = rendertest::NewWorld();
    auto walk = NewWalk(world.get());
    walk->SetObserverPosition({1, 2, 3});
    walk->SetObserverPositionFixed(IntToFixed(2) + kHalf, IntToFixed(2) + kHalf - 1, IntToFixed(-3) + kHalf);
    EXPECT_EQ(Triple(walk->State().Position), F({3, 2, -2}));
    EXPECT_EQ(Triple(walk->State().PreviousPosition), F({1, 2, 3}));  // saved once, before the change
    EXPECT_EQ(walk->x, 3);
    EXPECT_EQ(walk->y, 2);
    EXPECT_EQ(walk->z, -2);

    // Half a unit below the top of the range rounds beyond it: the place stops at the edge.
    walk->SetObserverPositionFixed(0x7FFFFFFF, Fixed(0x80000000), 0x7FFF8000);
    EXPECT_EQ(Triple(walk->State().Position), F({32767, -32768, 32767}));
    EXPECT_EQ(walk->x, 32767);
    EXPECT_EQ(walk->y, -32768);
    EXPECT_EQ(walk->z, 32767);

    // Angles keep their whole numbers unreduced; the observer keeps them modulo 256.
    walk->SetObserverAngles(1, 2, 3);
    walk->SetAnglesFixed(IntToFixed(300) + kHalf, IntToFixed(-1), IntToFixed(64) + kHalf - 1);
    EXPECT_EQ(Triple(walk->State().Angles), F({301, -1, 64}));
    EXPECT_EQ(Triple(walk->State().PreviousAngles), F({1, 2, 3}));
    EXPECT_EQ(walk->roll, 45);
    EXPECT_EQ(walk->pitch, 255);
    EXPECT_EQ(walk->heading, 64);

    // Levelling keeps the heading and the place; both previous values are saved.
    walk->LevelObserver();
    EXPECT_EQ(Triple(walk->State().Angles), F({0, 0, 64}));
    EXPECT_EQ(Triple(walk->State().PreviousAngles), F({301, -1, 64}));
    EXPECT_EQ(Triple(walk->State().PreviousPosition), F({32767, -32768, 32767}));

    // The placement in radians by 2 pi / 256.
    FixedVector3 position;
    Fixed radians[3];
    walk->GetPlacement(&position, radians);
    EXPECT_EQ(position.x, IntToFixed(32767));
    EXPECT_EQ(radians[2], FixMul(IntToFixed(64), 1609));
}

TEST(WalkObserver, EachRecordedChangeAppendsExactlyOnePointHoldingTheValuesAfterIt)
{
    BeepRecorder recorder;
    auto world = rendertest::NewWorld();
    // A wall across the way ahead (heading 0 walks towards +y).
    rendertest::AddBox(world.get(), -1000, 100, -1000, 1000, 1000, 1000);
    auto walk = NewWalk(world.get());
    walk->SetObserverPosition({0, 0, 0});
    walk->SetRecording(1, 1);

    walk->MoveObserverRelative(0, 0, 10, 4, 0, 0);
    ASSERT_EQ(walk->PathCount(), 1);
    EXPECT_EQ(PointValues(walk->State().PathPoint(0)), F({0, 0, 10, 0, 0, 4}));
    EXPECT_EQ(Triple(walk->State().PreviousPosition), F({0, 0, 0}));
    EXPECT_EQ(Triple(walk->State().PreviousAngles), F({0, 0, 0}));

    walk->SetObserverAngles(0, 0, 0);
    const ShortVector3 before = {walk->x, walk->y, walk->z};
    walk->MoveObserverWithCollision(300, 0, 0, 0, 0, 0);
    EXPECT_EQ(recorder.beeps, std::vector<int32_t>{2});
    ASSERT_EQ(walk->PathCount(), 2);
    EXPECT_LT(walk->y, 100);  // stopped short of the wall
    EXPECT_EQ(PointValues(walk->State().PathPoint(1)), F({walk->x, walk->y, walk->z, 0, 0, 0}));
    EXPECT_EQ(Triple(walk->State().PreviousPosition), F({before.x, before.y, before.z}));

    walk->SetAndRecord(IntToFixed(7), 0, 0, 0, IntToFixed(3), 0);
    ASSERT_EQ(walk->PathCount(), 3);
    EXPECT_EQ(PointValues(walk->State().PathPoint(2)), F({7, 0, 0, 0, 3, 0}));

    // Setting or levelling alone records nothing.
    walk->SetObserverPosition({1, 1, 1});
    walk->SetObserverPositionFixed(0, 0, 0);
    walk->SetAnglesFixed(0, IntToFixed(9), 0);
    walk->LevelObserver();
    EXPECT_EQ(walk->PathCount(), 3);

    // Recording off: moves append nothing; on again with clear: an empty path.
    walk->SetRecording(0, 0);
    walk->MoveObserverRelative(5, 0, 0, 0, 0, 0);
    EXPECT_EQ(walk->PathCount(), 3);
    walk->SetRecording(1, 1);
    EXPECT_EQ(walk->PathCount(), 0);
    EXPECT_TRUE(walk->IsRecording());
}

TEST(WalkObserver, RecordingStopsGrowingAtWhatTheChunkCanCount)
{
    auto walk = NewWalk(nullptr);
    walk->SetRecording(1, 1);
    for (int32_t i = 0; i < 32768; ++i) walk->RecordPathPoint();
    EXPECT_EQ(walk->PathCount(), 32767);
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(walk->Write(&out), kResultOk);
    const Bytes bytes = Contents(out);
    ASSERT_EQ(bytes.size(), 32u + 24u * 32767u);
    EXPECT_EQ(Bytes(bytes.begin() + 30, bytes.begin() + 32), I16(32767));
}

TEST(WalkObserver, GoToPathPointClampsAndBeepsOnEachFailure)
{
    BeepRecorder recorder;
    auto walk = NewWalk(nullptr);
    EXPECT_EQ(walk->GoToPathPoint(0), 1);  // empty path
    EXPECT_EQ(recorder.beeps, std::vector<int32_t>{1});

    RecordPath(walk.get(), 3);
    recorder.beeps.clear();
    EXPECT_EQ(walk->GoToPathPoint(-1), 1);
    EXPECT_EQ(walk->PathIndex(), 0);
    EXPECT_EQ(walk->x, 10);
    EXPECT_EQ(walk->GoToPathPoint(5), 1);
    EXPECT_EQ(walk->PathIndex(), 2);
    EXPECT_EQ(walk->x, 30);
    EXPECT_EQ(walk->heading, 32);
    EXPECT_EQ(recorder.beeps, (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(walk->GoToPathPoint(1), 0);
    EXPECT_EQ(walk->x, 20);
    EXPECT_EQ(recorder.beeps.size(), 2u);
    // A point gone to while recording is recorded like any other setting.
    walk->SetRecording(1, 0);
    walk->GoToPathPoint(0);
    EXPECT_EQ(walk->PathCount(), 4);
}

TEST(WalkObserver, AFarPointIsClampedAndItsExactAnglesSet)
{
    auto walk = NewWalk(nullptr);
    // The chunk's path: a point at the top of the range and half a unit more, heading 0.75 steps.
    const Bytes body = I16(1) + Bytes(24, 0) + I16(35) + I16(36) + I16(1) + I32(0x7FFF8000) + I32(0) +
                       I32(IntToFixed(12)) + I32(0) + I32(0) + I32(TurnStepsToRadians(0xC000));
    MemoryStream in;
    Load(in, body);
    ASSERT_EQ(walk->Write(&in), kResultOk);
    EXPECT_EQ(walk->GoToPathPoint(0), 0);
    EXPECT_EQ(walk->x, 32767);
    EXPECT_EQ(walk->z, 12);
    EXPECT_EQ(walk->heading, 1);
    // The sine of the exact angle, not of the rounded byte.
    walk->SetObserverAnglesFixed(0, 0, walk->State().PathPoint(0)->heading);
    const int16_t sine = walk->sinHeading;
    const int16_t cosine = walk->cosHeading;
    walk->SetObserverAngles(0, 0, 2);
    EXPECT_NE(walk->sinHeading, sine);
    walk->GoToPathPoint(0);
    EXPECT_EQ(walk->sinHeading, sine);
    EXPECT_EQ(walk->cosHeading, cosine);
}

TEST(WalkObserver, ChunkRoundTripAndBodiesThatDoNotFit)
{
    auto walk = NewWalk(nullptr);
    walk->SetViewZoom(135, 24);
    RecordPath(walk.get(), 2);
    walk->SetObserverPosition({-7, 8, 9});
    walk->SetObserverAngles(3, 250, 200);
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(walk->Write(&out), kResultOk);
    const Bytes written = Contents(out);
    ASSERT_EQ(written.size(), 32u + 48u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 2), I16(1));
    EXPECT_EQ(Bytes(written.begin() + 2, written.begin() + 6), I32(IntToFixed(-7)));
    EXPECT_EQ(Bytes(written.begin() + 26, written.begin() + 32), I16(135) + I16(24) + I16(2));

    auto back = NewWalk(nullptr);
    MemoryStream in;
    Load(in, written);
    ASSERT_EQ(back->Write(&in), kResultOk);
    EXPECT_EQ(back->x, -7);
    EXPECT_EQ(back->z, 9);
    EXPECT_EQ(back->roll, 3);
    EXPECT_EQ(back->pitch, 250);
    EXPECT_EQ(back->heading, 200);
    EXPECT_EQ(back->zoomNum, 135);
    EXPECT_EQ(back->zoomDen, 24);
    ASSERT_EQ(back->PathCount(), 2);
    EXPECT_EQ(back->State().PathPoint(1)->x, IntToFixed(20));
    EXPECT_EQ(Triple(back->State().PreviousPosition), F({0, 0, 0}));
    MemoryStream again;
    StartWriting(again);
    ASSERT_EQ(back->Write(&again), kResultOk);
    EXPECT_EQ(Contents(again), written);

    // Counts the body cannot hold (too many, negative) keep the path; the place is read.
    for (int32_t count : {3, -1, 0x7FFF}) {
        Bytes body = Bytes(written.begin(), written.begin() + 2) + I32(0x7FFF8000) +
                     Bytes(written.begin() + 6, written.begin() + 30) + I16(count) +
                     Bytes(written.begin() + 32, written.end());
        MemoryStream hostile;
        Load(hostile, body);
        EXPECT_NE(back->Write(&hostile), kResultOk) << count;
        EXPECT_EQ(back->PathCount(), 2) << count;
        EXPECT_EQ(back->x, 32767) << count;
        EXPECT_EQ(back->State().Position[0], IntToFixed(32767)) << count;
    }

    // A later version changes nothing, not even the previous values.
    back->SetObserverPosition({1, 1, 1});
    const std::vector<Fixed> previous = Triple(back->State().PreviousPosition);
    MemoryStream later;
    Load(later, I16(2) + Bytes(30, 0x11));
    EXPECT_EQ(back->Write(&later), kResultOk);
    EXPECT_EQ(back->x, 1);
    EXPECT_EQ(back->zoomNum, 135);
    EXPECT_EQ(Triple(back->State().PreviousPosition), previous);
    EXPECT_EQ(back->PathCount(), 2);
}

TEST(WalkObserver, ReadWalkRecordTakesPlaceAnglesLensAndACopyOfThePath)
{
    auto world = rendertest::NewWorld();
    auto walk = NewWalk(world.get());
    RecordPath(walk.get(), 1);
    WalkRecord* record = new WalkRecord;
    ASSERT_EQ(record->Init(nullptr), kResultOk);
    record->SetRecording(1, 0);
    record->SetAndRecord(IntToFixed(4), IntToFixed(5), IntToFixed(6), IntToFixed(1), IntToFixed(2), IntToFixed(3));
    record->SetAndRecord(0x7FFFFFFF, 0, 0, 0, 0, IntToFixed(-2));  // clamped in the record
    record->LensNumerator = 15;
    record->LensDenominator = 36;
    walk->ReadWalkRecord(*record);
    const std::vector<Fixed> first = PointValues(record->PathPoint(0));
    record->Free();

    EXPECT_EQ(walk->x, 32767);
    EXPECT_EQ(walk->heading, 254);
    EXPECT_EQ(walk->zoomNum, 15);
    EXPECT_EQ(walk->scale, 15 * 80 * 2 / 36);  // the lens was applied, not just stored
    ASSERT_EQ(walk->PathCount(), 2);
    EXPECT_EQ(PointValues(walk->State().PathPoint(0)), first);
    EXPECT_EQ(walk->State().PathPoint(1)->x, IntToFixed(32767));
    EXPECT_EQ(walk->PathIndex(), 0);
    EXPECT_FALSE(walk->IsRecording());
    // The model's world root's first word: the root's type.
    EXPECT_EQ(walk->WorldRootWord(), world->Root->Type);
}

TEST(WalkObserver, CopyPathPointsEitherWayClampedToThePath)
{
    auto walk = NewWalk(nullptr);
    RecordPath(walk.get(), 4);
    DynamicArray* copies = NewPointerList();
    auto xs = [copies]() {
        std::vector<int32_t> out;
        for (int32_t i = 0; i < copies->ArrayCount(); ++i) out.push_back(PointerAt<WalkPathPoint>(copies, i)->x >> 16);
        return out;
    };
    EXPECT_EQ(walk->CopyPathPoints(1, 2, copies), kResultOk);
    EXPECT_EQ(walk->CopyPathPoints(9, -3, copies), kResultOk);
    EXPECT_EQ(walk->CopyPathPoints(2, 2, copies), kResultOk);
    EXPECT_EQ(xs(), (std::vector<int32_t>{20, 30, 40, 30, 20, 10, 30}));
    EXPECT_NE(PointerAt<WalkPathPoint>(copies, 0), walk->State().PathPoint(1));
    for (int32_t i = 0; i < copies->ArrayCount(); ++i) delete PointerAt<WalkPathPoint>(copies, i);
    copies->Destroy();
}
