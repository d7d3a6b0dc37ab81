// Pick geometry: planes of three points, rays against polygon planes, and solid walls with
// passable faces and openings in them.
#include <gtest/gtest.h>

#include <cmath>

#include "model/polygon_element.h"
#include "render/pick_geometry.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

namespace {

PickPlane Plane(int32_t x1, int32_t y1, int32_t z1, int32_t x2, int32_t y2, int32_t z2, int32_t x3, int32_t y3, int32_t z3)
{
    PickPlane p;
    PlaneFromPoints(IntToFixed(x1), IntToFixed(y1), IntToFixed(z1), IntToFixed(x2), IntToFixed(y2), IntToFixed(z2),
                    IntToFixed(x3), IntToFixed(y3), IntToFixed(z3), &p);
    return p;
}

// A ray along the segment, with its length as the limit.
struct Segment {
    PickRay ray;
    double length;
};

Segment Along(ShortVector3 from, ShortVector3 to)
{
    Segment s;
    SegmentToRay(from, to, &s.ray, &s.length);
    return s;
}

}  // namespace

TEST(PlaneFromPoints, KeepsSmallPlanesAndScalesLargeOnesDown)
{
    PickPlane p = Plane(0, 0, 0, 1, 0, 0, 0, 1, 0);
    EXPECT_DOUBLE_EQ(p.a, 0);
    EXPECT_DOUBLE_EQ(p.b, 0);
    EXPECT_DOUBLE_EQ(p.c, 1);
    EXPECT_DOUBLE_EQ(p.d, 0);
    // d was -1000000: all four divided by 1000000 / 32767.
    p = Plane(0, 0, 100, 100, 0, 100, 0, 100, 100);
    EXPECT_DOUBLE_EQ(p.d, -32767);
    EXPECT_NEAR(p.c, 327.67, 1e-9);
    EXPECT_DOUBLE_EQ(p.a, 0);
    // a was 40000.
    p = Plane(0, 0, 0, 0, 200, 0, 0, 0, 200);
    EXPECT_DOUBLE_EQ(p.a, 32767);
    EXPECT_DOUBLE_EQ(p.b, 0);
    EXPECT_DOUBLE_EQ(p.d, 0);
}

TEST(SegmentToRay, UnitDirectionAndLength)
{
    const Segment s = Along({1, 2, 3}, {4, 6, 3});
    EXPECT_DOUBLE_EQ(s.length, 5);
    EXPECT_DOUBLE_EQ(s.ray.direction[0], 0.6);
    EXPECT_DOUBLE_EQ(s.ray.direction[1], 0.8);
    EXPECT_DOUBLE_EQ(s.ray.origin[2], 3);
    // A step of no length crosses nothing.
    const Segment still = Along({5, 5, 5}, {5, 5, 5});
    EXPECT_EQ(still.length, 0);
    EXPECT_EQ(still.ray.direction[0], 0);
}

TEST(RayCrossesPolygonPlane, EndsOnThePlaneCountOnlyWhenEntering)
{
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -10, 0, -10, 10, 20, 10);
    const PolygonRecord* near = FaceWithNormal(box, 0, -256, 0);  // the face at y = 0
    ASSERT_NE(near, nullptr);
    double t = -1;
    // From outside up to the face: ends exactly on it, and the plane value falls or rises
    // depending on the plane's orientation; one direction counts, the other does not.
    const Segment in = Along({0, -10, 0}, {0, 0, 0});
    const Segment out = Along({0, 10, 0}, {0, 0, 0});
    const int32_t a = RayCrossesPolygonPlane(near, in.ray, in.length, &t);
    const int32_t b = RayCrossesPolygonPlane(near, out.ray, out.length, &t);
    EXPECT_NE(a, b);
    // Starting on the plane: t = 0 counts in one direction.
    const Segment fromIn = Along({0, 0, 0}, {0, 10, 0});
    const Segment fromOut = Along({0, 0, 0}, {0, -10, 0});
    const int32_t c = RayCrossesPolygonPlane(near, fromIn.ray, fromIn.length, &t);
    const int32_t d = RayCrossesPolygonPlane(near, fromOut.ray, fromOut.length, &t);
    EXPECT_EQ(c + d, 2);
    EXPECT_EQ(t, 0);
    // Parallel to the plane, and stopping short of it: no crossing.
    const Segment parallel = Along({-5, 0, 0}, {5, 0, 0});
    EXPECT_EQ(RayCrossesPolygonPlane(near, parallel.ray, parallel.length, &t), 0);
    const Segment shortStep = Along({0, -10, 0}, {0, -1, 0});
    EXPECT_EQ(RayCrossesPolygonPlane(near, shortStep.ray, shortStep.length, &t), 0);
    const Segment through = Along({0, -10, 0}, {0, 10, 0});
    EXPECT_EQ(RayCrossesPolygonPlane(near, through.ray, through.length, &t), 1);
    EXPECT_DOUBLE_EQ(t, 10);
}

TEST(PickPolygon, SolidWallStopsAPassableFaceLetsThrough)
{
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -10, 0, -10, 10, 20, 10);
    PolygonRecord* near = FaceWithNormal(box, 0, -256, 0);
    const Segment through = Along({0, -10, 0}, {0, 10, 0});
    double t;
    EXPECT_EQ(PickPolygon(near, through.ray, through.length, &t), 1);
    EXPECT_EQ(PickPolygonList(box->GeometryAt(0), through.ray, through.length, &t), 1);
    // Made passable, the same face lets the step through.
    Surface* surface = box->SurfaceForFace(near->FaceIndex);
    surface->SetSurfaceColour({0, 0, 0}, 0x0800, kSideBoth);
    box->RefreshShading();
    EXPECT_EQ(near->ColourCode, 0x0800);
    EXPECT_EQ(PickPolygon(near, through.ray, through.length, &t), 0);
}

TEST(PickPolygon, ADoorOverlappingAWallLetsThroughOnlyWhereItIs)
{
    auto world = NewWorld();
    // A wall face at y = 0 from x -50 to 50, and a passable door box face in the same plane
    // from x -10 to 10 (z -10 to 10) registered as overlapping the wall.
    ModelObject* wall = AddBox(world.get(), -50, 0, -20, 50, 10, 20);
    ModelObject* door = AddBox(world.get(), -10, -5, -10, 10, 0, 10);
    PolygonRecord* wallFace = FaceWithNormal(wall, 0, -256, 0);
    PolygonRecord* doorFace = FaceWithNormal(door, 0, 256, 0);
    ASSERT_TRUE(wallFace && doorFace);
    Surface* wallSurface = wall->SurfaceForFace(wallFace->FaceIndex);
    Surface* doorSurface = door->SurfaceForFace(doorFace->FaceIndex);
    doorSurface->SetSurfaceColour({0, 0, 0}, 0x0400, kSideBoth);
    door->RefreshShading();
    wallSurface->SideContacts[0] = NewDynamicArray(0, int32_t(sizeof(FaceEntry)), 4);
    const FaceEntry entry = {door, doorSurface};
    wallSurface->SideContacts[0]->Append(&entry);

    double t;
    const Segment throughDoor = Along({0, -20, 0}, {0, 5, 0});
    EXPECT_EQ(PickPolygon(wallFace, throughDoor.ray, throughDoor.length, &t), 0);
    const Segment besideDoor = Along({30, -20, 0}, {30, 5, 0});
    EXPECT_EQ(PickPolygon(wallFace, besideDoor.ray, besideDoor.length, &t), 1);
    const Segment onDoorEdge = Along({10, -20, 0}, {10, 5, 0});
    EXPECT_EQ(PickPolygon(wallFace, onDoorEdge.ray, onDoorEdge.length, &t), 0);
}

TEST(RayCrossesPolygonPlane, TakesThePlaneFromTheFirstDistinctCorners)
{
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), 0, 0, 0, 10, 10, 10);
    PolygonRecord* face = FaceWithNormal(box, 0, 0, 256);  // the top, at z = 10
    // The top's corners repeated: 0 to 3 the same corner, then the other three.
    const int16_t first = face->IndexAt(0);
    const int16_t rest[3] = {face->IndexAt(1), face->IndexAt(2), face->IndexAt(3)};
    IgnoreResult(face->Indices->ArraySetCount(0));
    for (int i = 0; i < 4; ++i) face->Indices->Append(&first);
    for (int16_t index : rest) face->Indices->Append(&index);
    face->Indices->Append(&rest[2]);
    ASSERT_EQ(face->VertexCount(), 8);
    double t;
    const Segment down = Along({5, 5, 20}, {5, 5, 0});
    EXPECT_EQ(RayCrossesPolygonPlane(face, down.ray, down.length, &t), 1);
    EXPECT_DOUBLE_EQ(t, 10);
    // All corners the same: no plane, no crossing, and nothing read past the list.
    IgnoreResult(face->Indices->ArraySetCount(3));
    for (int i = 0; i < 3; ++i) IgnoreResult(face->Indices->Set(i, &first));
    EXPECT_EQ(RayCrossesPolygonPlane(face, down.ray, down.length, &t), 0);
}

TEST(PickPolygon, AnOpeningElementLetsThroughItsOutlineAndTheWallStopsAroundIt)
{
    auto world = NewWorld();
    ModelObject* room = AddBox(world.get(), -100, -100, 0, 100, 100, 100);
    const int32_t north = FaceFacing(room, 0, 256, 0);
    PolygonRecord* wall = FaceWithNormal(room, 0, 256, 0);
    // A doorway 40 wide and 60 high standing on the floor (the face's y runs with z).
    PolygonElement* door = AddFaceElement(room, north, kOpeningElements, 0, 40, 60, 0, 0, -20, {0, 0, 0}, 0x0800);
    ASSERT_NE(door, nullptr);
    const Surface* surface = room->SurfaceOfFace(north);
    ASSERT_EQ(SurfaceOpeningCount(surface), 1);
    EXPECT_EQ(SurfaceOpeningAt(surface, 0).passability, 0x0800);
    EXPECT_EQ(SurfaceOpeningAt(surface, 0).vertices, door->WorldVertices);
    EXPECT_EQ(SurfaceOpeningAt(surface, 1).vertices, nullptr);

    double t;
    int32_t where = 0;
    PointInOpenings(wall, {0, 100, 30}, &where);
    EXPECT_EQ(where, kInsideOpening);
    PointInOpenings(wall, {20, 100, 30}, &where);  // on the doorway's edge
    EXPECT_EQ(where, kInsideOpening);
    PointInOpenings(wall, {0, 100, 70}, &where);  // above it
    EXPECT_EQ(where, kOutsideOpenings);
    const Segment throughDoor = Along({0, 90, 30}, {0, 110, 30});
    EXPECT_EQ(PickPolygon(wall, throughDoor.ray, throughDoor.length, &t), 0);
    const Segment besideDoor = Along({50, 90, 30}, {50, 110, 30});
    EXPECT_EQ(PickPolygon(wall, besideDoor.ray, besideDoor.length, &t), 1);
    const Segment overDoor = Along({0, 90, 80}, {0, 110, 80});
    EXPECT_EQ(PickPolygon(wall, overDoor.ray, overDoor.length, &t), 1);

    // Elements on one side of the face are not openings, nor are solid elements in its plane.
    AddFaceElement(room, north, 0, 0, 40, 40, 0, 50, 0, {0, 0, 0}, 0x0800);
    EXPECT_EQ(SurfaceOpeningCount(surface), 1);
    door->SetElementColour({0, 0, 0}, 0xFFFF);
    EXPECT_EQ(PickPolygon(wall, throughDoor.ray, throughDoor.length, &t), 1);
}
