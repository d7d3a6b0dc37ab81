// The walk observer: whole-number placement with one previous value per change, one path point
// per recorded change, stepping through the path, the "QPRF" body and the model file's record.
#include "player/walk_observer.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/pointer_list.h"
#include "foundation/ui_services.h"
#include "foundation/walk_path_point.h"
#include "model/walk_record.h"
#include "tests/foundation/beep_recorder.h"
#include "tests/foundation/stream_bytes.h"
#include "tests/render/scene_support.h"

namespace {

struct WalkDeleter {
    void operator()(WalkObserver* observer) const { observer->Free(); }
};
using WalkPtr = std::unique_ptr<WalkObserver, WalkDeleter>;

// An observer with a path of points at x = 10, 20, 30 ... and heading 0, 16, 32 ...
WalkPtr NewWalk(ModelHolder* holder, int32_t pathPoints = 0)
{
    WalkPtr walk(new WalkObserver);
    EXPECT_EQ(walk->Init(holder), kResultOk);
    walk->SetViewportSize(80, 60);
    walk->SetRecording(1, 1);
    for (int32_t i = 0; i < pathPoints; ++i) walk->SetAndRecord(IntToFixed(10 * (i + 1)), 0, 0, 0, 0, IntToFixed(16 * i));
    walk->SetRecording(0, 0);
    return walk;
}

std::vector<Fixed> F(std::initializer_list<int32_t> whole)
{
    std::vector<Fixed> out;
    for (int32_t n : whole) out.push_back(IntToFixed(n));
    return out;
}

std::vector<Fixed> V(const Fixed values[3]) { return {values[0], values[1], values[2]}; }

std::vector<Fixed> V(const WalkPathPoint* p) { return {p->x, p->y, p->z, p->roll, p->pitch, p->heading}; }

constexpr Fixed kHalf = 0x8000;

}  // namespace

TEST(WalkObserver, PlacementRoundsHalfUpClampsAndKeepsOnePreviousValue)
{
    auto walk = NewWalk(nullptr);
    walk->SetObserverPosition({1, 2, 3});
    walk->SetObserverPositionFixed(IntToFixed(2) + kHalf, IntToFixed(2) + kHalf - 1, IntToFixed(-3) + kHalf);
    EXPECT_EQ(V(walk->State().Position), F({3, 2, -2}));
    EXPECT_EQ(V(walk->State().PreviousPosition), F({1, 2, 3}));
    EXPECT_EQ((std::vector<int16_t>{walk->x, walk->y, walk->z}), (std::vector<int16_t>{3, 2, -2}));
    // Half a unit below the top of the range rounds past it: the place stops at the edge.
    walk->SetObserverPositionFixed(0x7FFFFFFF, Fixed(0x80000000), 0x7FFF8000);
    EXPECT_EQ(V(walk->State().Position), F({32767, -32768, 32767}));
    EXPECT_EQ(walk->x, 32767);

    // Angles keep their whole numbers unreduced; the observer keeps them modulo 256.
    walk->SetObserverAngles(1, 2, 3);
    walk->SetAnglesFixed(IntToFixed(300) + kHalf, IntToFixed(-1), IntToFixed(64) + kHalf - 1);
    EXPECT_EQ(V(walk->State().Angles), F({301, -1, 64}));
    EXPECT_EQ(V(walk->State().PreviousAngles), F({1, 2, 3}));
    EXPECT_EQ((std::vector<int16_t>{walk->roll, walk->pitch, walk->heading}), (std::vector<int16_t>{45, 255, 64}));
    walk->LevelObserver();
    EXPECT_EQ(V(walk->State().Angles), F({0, 0, 64}));
    EXPECT_EQ(V(walk->State().PreviousAngles), F({301, -1, 64}));
}

TEST(WalkObserver, EachRecordedChangeAppendsExactlyOnePointHoldingTheValuesAfterIt)
{
    BeepRecorder recorder;
    auto world = rendertest::NewWorld();
    rendertest::AddBox(world.get(), -1000, 100, -1000, 1000, 1000, 1000);  // ahead, along +y
    auto walk = NewWalk(world.get());
    walk->SetRecording(1, 1);
    walk->MoveObserverRelative(0, 0, 10, 4, 0, 0);
    ASSERT_EQ(walk->PathCount(), 1);
    EXPECT_EQ(V(walk->State().PathPoint(0)), F({0, 0, 10, 0, 0, 4}));
    EXPECT_EQ(V(walk->State().PreviousAngles), F({0, 0, 0}));

    walk->SetObserverAngles(0, 0, 0);
    walk->MoveObserverWithCollision(300, 0, 0, 0, 0, 0);
    EXPECT_EQ(recorder.beeps, std::vector<int32_t>{2});
    EXPECT_LT(walk->y, 100);  // stopped short of the box
    ASSERT_EQ(walk->PathCount(), 2);
    EXPECT_EQ(V(walk->State().PathPoint(1)), F({0, walk->y, 10, 0, 0, 0}));
    EXPECT_EQ(V(walk->State().PreviousPosition), F({0, 0, 10}));

    walk->SetAndRecord(IntToFixed(7), 0, 0, 0, IntToFixed(3), 0);
    EXPECT_EQ(V(walk->State().PathPoint(2)), F({7, 0, 0, 0, 3, 0}));
    // Setting or levelling alone records nothing.
    walk->SetObserverPosition({1, 1, 1});
    walk->SetAnglesFixed(0, IntToFixed(9), 0);
    walk->LevelObserver();
    EXPECT_EQ(walk->PathCount(), 3);
    // The chunk counts points in 16 bits: recording stops there.
    for (int32_t i = 0; i < 32767; ++i) walk->RecordPathPoint();
    EXPECT_EQ(walk->PathCount(), 32767);
}

TEST(WalkObserver, GoToPathPointClampsAndBeepsOnEachFailure)
{
    BeepRecorder recorder;
    auto walk = NewWalk(nullptr);
    EXPECT_EQ(walk->GoToPathPoint(0), 1);
    walk = NewWalk(nullptr, 3);
    EXPECT_EQ(walk->GoToPathPoint(-1), 1);
    EXPECT_EQ(walk->x, 10);
    EXPECT_EQ(walk->GoToPathPoint(5), 1);
    EXPECT_EQ(walk->PathIndex(), 2);
    EXPECT_EQ(walk->heading, 32);
    EXPECT_EQ(walk->GoToPathPoint(1), 0);
    EXPECT_EQ(walk->x, 20);
    EXPECT_EQ(recorder.beeps, (std::vector<int32_t>{1, 1, 1}));
}

TEST(WalkObserver, ChunkRoundTripAndBodiesThatDoNotFit)
{
    auto walk = NewWalk(nullptr, 2);
    walk->SetViewZoom(135, 24);
    walk->SetObserverPosition({-7, 8, 9});
    walk->SetObserverAngles(3, 250, 200);
    MemoryStream out;
    StartWriting(out);
    ASSERT_EQ(walk->Write(&out), kResultOk);
    const Bytes written = Contents(out);
    ASSERT_EQ(written.size(), 32u + 48u);
    EXPECT_EQ(Bytes(written.begin() + 26, written.begin() + 32), I16(135) + I16(24) + I16(2));

    auto back = NewWalk(nullptr);
    MemoryStream in;
    Load(in, written);
    ASSERT_EQ(back->Write(&in), kResultOk);
    EXPECT_EQ((std::vector<int16_t>{back->x, back->z, back->roll, back->pitch, back->heading, back->zoomNum}),
              (std::vector<int16_t>{-7, 9, 3, 250, 200, 135}));
    MemoryStream again;
    StartWriting(again);
    ASSERT_EQ(back->Write(&again), kResultOk);
    EXPECT_EQ(Contents(again), written);

    // Counts the body cannot hold keep the path; the place read before them (past the top of
    // the range: clamped) is taken.
    for (int32_t count : {3, -1, 0x7FFF}) {
        MemoryStream hostile;
        Load(hostile, I16(1) + I32(0x7FFF8000) + Bytes(written.begin() + 6, written.begin() + 30) + I16(count) +
                          Bytes(written.begin() + 32, written.end()));
        EXPECT_NE(back->Write(&hostile), kResultOk) << count;
        EXPECT_EQ(back->PathCount(), 2) << count;
        EXPECT_EQ(back->x, 32767) << count;
    }
    // A later version changes nothing, not even the previous values.
    const std::vector<Fixed> previous = V(back->State().PreviousPosition);
    MemoryStream later;
    Load(later, I16(2) + Bytes(30, 0x11));
    EXPECT_EQ(back->Write(&later), kResultOk);
    EXPECT_EQ(back->x, 32767);
    EXPECT_EQ(back->zoomNum, 135);
    EXPECT_EQ(V(back->State().PreviousPosition), previous);
}

TEST(WalkObserver, TheModelFilesRecordAndCopiesOfPointsAreTakenWhole)
{
    auto walk = NewWalk(nullptr, 1);
    WalkRecord* record = new WalkRecord;
    ASSERT_EQ(record->Init(nullptr), kResultOk);
    record->SetRecording(1, 0);
    for (int32_t x : {4, 5, 6, 7}) record->SetAndRecord(IntToFixed(x), 0, 0, 0, 0, IntToFixed(-2));
    record->LensNumerator = 15;
    walk->ReadWalkRecord(*record);
    record->Free();
    EXPECT_EQ(walk->x, 7);
    EXPECT_EQ(walk->heading, 254);
    EXPECT_EQ(walk->scale, 15 * 80 * 2 / 36);  // the lens applied, not only stored
    ASSERT_EQ(walk->PathCount(), 4);

    // From 1 to 2, from the end down to the start (both clamped), and one point.
    DynamicArray* copies = NewPointerList();
    EXPECT_EQ(walk->CopyPathPoints(1, 2, copies), kResultOk);
    EXPECT_EQ(walk->CopyPathPoints(9, -3, copies), kResultOk);
    EXPECT_EQ(walk->CopyPathPoints(2, 2, copies), kResultOk);
    std::vector<int32_t> xs;
    for (int32_t i = 0; i < copies->ArrayCount(); ++i) {
        xs.push_back(PointerAt<WalkPathPoint>(copies, i)->x >> 16);
        delete PointerAt<WalkPathPoint>(copies, i);
    }
    copies->Destroy();
    EXPECT_EQ(xs, (std::vector<int32_t>{5, 6, 7, 6, 5, 4, 6}));
}
