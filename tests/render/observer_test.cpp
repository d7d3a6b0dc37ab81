// The observer: placement and turning with their serial bumps, the movement table, the view
// tables, the eye's cell, and the collision step against walls and openings.
#include <gtest/gtest.h>

#include <vector>

#include "render/sine_tables.h"
#include "tests/foundation/beep_recorder.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

TEST(SineTables, QuarterTurnsAndClamping)
{
    EXPECT_EQ(SineTable8[0], 0);
    EXPECT_EQ(SineTable8[64], 127);
    EXPECT_EQ(SineTable8[192], -128);
    EXPECT_EQ(SineTableQ15[64], 32767);
    EXPECT_EQ(SineTableQ15[192], -32768);
    EXPECT_EQ(SineTableQ15[32], 23170);
}

TEST(Observer, PlacementBumpsTheSerialOnlyOnChange)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 80, 60, {1, 2, 3});
    const uint16_t serial = world->ChangeSerial;
    o->SetObserverPosition({1, 2, 3});
    o->SetObserverAngles(0, 256, 0);  // masked to 0: the same angles
    o->LevelObserver();
    o->SetViewportSize(80, 60);
    o->SetViewZoom(35, 36);
    EXPECT_EQ(world->ChangeSerial, serial);
    o->SetObserverPosition({1, 2, 4});
    EXPECT_NE(world->ChangeSerial, serial);
    // Half a unit rounds up.
    o->SetObserverPositionFixed(IntToFixed(7) + 0x8000, IntToFixed(7) + 0x7FFF, IntToFixed(-3));
    EXPECT_EQ(o->x, 8);
    EXPECT_EQ(o->y, 7);
    EXPECT_EQ(o->z, -3);
}

TEST(Observer, OptionsAndDrawFlags)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 80, 60, {0, 0, 0});
    o->SetObserverOptions(0x343F);
    EXPECT_EQ(o->drawFlags, 8 | 4 | 16 | 64);
    EXPECT_EQ(o->GetObserverOptions(0xFFFF), 0x343Fu);
    EXPECT_EQ(o->GetObserverOptions(0x0800), 0u);
    o->SetObserverOptions(0x0800);
    EXPECT_EQ(o->drawFlags, 32);
}

TEST(Observer, AnglesFromFixedValues)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 80, 60, {0, 0, 0});
    o->SetObserverAnglesFixed(0, IntToFixed(-1), IntToFixed(64));
    EXPECT_EQ(o->heading, 64);
    EXPECT_EQ(o->pitch, 255);
    EXPECT_EQ(o->sinHeading, -32768);
    EXPECT_EQ(o->cosHeading, 0);
    // An angle of 0 has the cosine 32768, kept as 32767.
    EXPECT_EQ(o->cosRoll, 32767);
    o->SetObserverAnglesFixed(0, 0, IntToFixed(10) + 0x8000);
    EXPECT_EQ(o->heading, 11);
}

TEST(Observer, MovesAlongTheHeading)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 80, 60, {0, 0, 0});
    o->MoveObserverRelative(128, 0, 0, 0, 0, 0);
    EXPECT_EQ(o->x, 0);
    EXPECT_EQ(o->y, 127);
    o->SetObserverAngles(0, 0, 64);
    o->MoveObserverRelative(128, 0, 5, 0, 0, 0);
    EXPECT_EQ(o->x, -128);
    EXPECT_EQ(o->y, 127);
    EXPECT_EQ(o->z, 5);
    // Sideways at heading 64 goes along y; positions saturate at the 16-bit range.
    o->MoveObserverRelative(0, 100, 0, 0, 0, 0);
    EXPECT_EQ(o->x, -128);
    EXPECT_EQ(o->y, 127 + 100);
    o->MoveObserverRelative(0, 0, 32762, 0, 0, 0);
    EXPECT_EQ(o->z, 32767);
    o->MoveObserverRelative(0, 0, 0, 200, 0, -1);
    EXPECT_EQ(o->heading, (64 + 200) & 255);
    EXPECT_EQ(o->roll, 255);
    const uint16_t serial = world->ChangeSerial;
    o->MoveObserverRelative(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(world->ChangeSerial, serial);
}

TEST(Observer, ReciprocalTablesAndViewPyramid)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    EXPECT_EQ(o->scale, 35 * 320 * 2 / 36);
    EXPECT_EQ(o->recipTable1[0], uint32_t(o->scale) << 16);
    EXPECT_EQ(o->recipTable1[7], (uint32_t(o->scale) << 16) / 7);
    EXPECT_EQ(o->Reciprocal(8192 + 40), (uint32_t(o->scale) << 16) / (8192 + 40));
    EXPECT_EQ(o->Reciprocal(100000), o->Reciprocal(65535));  // beyond the table: clamped
    // The scale exceeds the half-width: the side planes open by the power of two above.
    EXPECT_EQ(o->xShiftDepth, 8);
    EXPECT_EQ(o->xShiftSide, 8);
    EXPECT_EQ(o->xEdge, o->scale);
    EXPECT_EQ(o->guardShiftDepth, 14);
    // A long lens saturates the scale.
    o->SetViewZoom(3000, 1);
    EXPECT_EQ(o->scale, kMaxProjectionScale);
    // A lens of 0 or below is ignored.
    o->SetViewZoom(0, 36);
    o->SetViewZoom(35, -1);
    EXPECT_EQ(o->zoomNum, 3000);
    EXPECT_EQ(o->zoomDen, 1);
}

TEST(Observer, LocatesTheEyeInTheInnermostObjectAndStopsAtTheWorld)
{
    auto world = NewWorld();
    ModelObject* room = AddBox(world.get(), -100, -100, 0, 100, 100, 100);
    auto o = NewObserver(world.get(), 80, 60, {0, 0, 50});
    EXPECT_EQ(o->cell, room->GeometryAt(0));
    o->SetObserverPosition({0, 300, 50});
    EXPECT_EQ(o->cell, world->Root->GeometryAt(0));
    // A hidden world root keeps the eye: there is nothing further out.
    world->Root->Hidden = 1;
    o->SetObserverPosition({0, 301, 50});
    EXPECT_EQ(o->cell, world->Root->GeometryAt(0));
    world->Root->Hidden = 0;
    room->Hidden = 1;
    o->SetObserverPosition({0, 0, 50});
    EXPECT_EQ(o->cell, world->Root->GeometryAt(0));
}

TEST(Observer, RecordsThatBelongToNoObjectHoldNoEye)
{
    auto world = NewWorld();
    ModelObject* room = AddBox(world.get(), -100, -100, 0, 100, 100, 100);
    auto o = NewObserver(world.get(), 80, 60, {0, 300, 50});
    ObjectGeometry* roomRecord = room->GeometryAt(0);
    roomRecord->Owner = nullptr;
    EXPECT_EQ(roomRecord->HitTestPolygonObject(0, 0, 50), kHitOutside);
    o->SetObserverPosition({0, 0, 50});
    EXPECT_EQ(o->cell, world->Root->GeometryAt(0));
    ObjectGeometry* rootRecord = world->Root->GeometryAt(0);
    rootRecord->Owner = nullptr;
    o->SetObserverPosition({0, 1, 50});
    EXPECT_EQ(o->cell, rootRecord);
    rootRecord->Owner = world->Root;
    roomRecord->Owner = room;
}

TEST(Observer, CollisionStopsBeforeAWallAndPassesAnOpening)
{
    BeepRecorder recorder;
    auto world = NewWorld();
    ModelObject* room = AddBox(world.get(), -100, -100, 0, 100, 100, 100);
    auto o = NewObserver(world.get(), 80, 60, {0, 0, 50});
    ASSERT_EQ(o->cell, room->GeometryAt(0));
    o->MoveObserverWithCollision(200, 0, 0, 3, 0, 0);
    EXPECT_EQ(o->cell, room->GeometryAt(0));
    EXPECT_GT(o->y, 0);
    EXPECT_LE(o->y, 100);
    EXPECT_EQ(o->x, 0);
    EXPECT_EQ(o->heading, 3);  // the turn is made either way
    EXPECT_EQ(recorder.beeps, std::vector<int32_t>{2});

    // The wall made passable: the same step leaves the room.
    o->SetObserverPosition({0, 0, 50});
    o->SetObserverAngles(0, 0, 0);
    PolygonRecord* north = FaceWithNormal(room, 0, 256, 0);
    room->SurfaceForFace(north->FaceIndex)->SetSurfaceColour({0, 0, 0}, 0x0800, kSideBoth);
    room->RefreshShading();
    o->MoveObserverWithCollision(200, 0, 0, 0, 0, 0);
    EXPECT_EQ(o->y, 198);
    EXPECT_EQ(o->cell, world->Root->GeometryAt(0));
}

TEST(Observer, CollisionPassesThroughAnOpeningElementAndStopsAtTheWallAroundIt)
{
    BeepRecorder recorder;
    auto world = NewWorld();
    ModelObject* room = AddBox(world.get(), -100, -100, 0, 100, 100, 100);
    const int32_t north = FaceFacing(room, 0, 256, 0);
    ASSERT_NE(AddFaceElement(room, north, 1, 0, 40, 60, 0, 0, -20, {0, 0, 0}, 0x0800), nullptr);
    // Beside the doorway the wall stops the step inside the room.
    auto o = NewObserver(world.get(), 80, 60, {50, 60, 30});
    o->MoveObserverWithCollision(100, 0, 0, 0, 0, 0);
    EXPECT_EQ(o->cell, room->GeometryAt(0));
    EXPECT_LE(o->y, 100);
    EXPECT_EQ(recorder.beeps, std::vector<int32_t>{2});
    // Through it the step leaves the room.
    o->SetObserverPosition({0, 60, 30});
    o->MoveObserverWithCollision(100, 0, 0, 0, 0, 0);
    EXPECT_EQ(o->y, 159);
    EXPECT_EQ(o->cell, world->Root->GeometryAt(0));
    EXPECT_EQ(recorder.beeps.size(), 1u);
}

TEST(Observer, ABlockedStepThatHalvesBackToTheStartStaysThere)
{
    BeepRecorder recorder;
    auto world = NewWorld();
    ModelObject* room = AddBox(world.get(), -100, -100, 0, 100, 100, 100);
    // The eye stands just inside the north wall: every halving lands outside or on it.
    auto o = NewObserver(world.get(), 80, 60, {0, 99, 50});
    ASSERT_EQ(o->cell, room->GeometryAt(0));
    o->MoveObserverWithCollision(2, 0, 0, 0, 5, 0);
    EXPECT_EQ(o->y, 99);
    EXPECT_EQ(o->pitch, 5);
}
