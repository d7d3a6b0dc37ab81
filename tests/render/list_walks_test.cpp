// Walks over draw lists in progress: which walk a drawing behind a see-through face finds to have
// drawn what it would draw, and which records count as plain and convex.
#include <gtest/gtest.h>

#include "render/list_walks.h"
#include "render/render_context.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

TEST(ListWalks, OnlyTheInnermostWalkDrawingTheRecordWithTheSameBlendHasDrawnBehindIt)
{
    auto world = NewWorld();
    ObjectGeometry* room = AddBox(world.get(), -50, -50, -50, 50, 50, 50)->GeometryAt(0);
    ObjectGeometry* next = AddBox(world.get(), -50, 50, -50, 50, 150, 50)->GeometryAt(0);
    const ObjectGeometry* list = world->Root->GeometryAt(0);
    EXPECT_FALSE(WalkDrewBehind(list, room, 0, 0));
    {
        ListWalkScope walk(list, 7, 9);
        EXPECT_FALSE(WalkDrewBehind(list, room, 7, 9));  // drawing nothing yet
        walk.Drawing(room);
        EXPECT_TRUE(WalkDrewBehind(list, room, 7, 9));
        EXPECT_FALSE(WalkDrewBehind(list, next, 7, 9));
        EXPECT_FALSE(WalkDrewBehind(list, room, 7, 8));
        EXPECT_FALSE(WalkDrewBehind(room, room, 7, 9));
        {
            // A walk over another list begun since: what it draws may lie behind the face.
            ListWalkScope inner(next, 7, 9);
            EXPECT_FALSE(WalkDrewBehind(list, room, 7, 9));
        }
        EXPECT_TRUE(WalkDrewBehind(list, room, 7, 9));
    }
    EXPECT_TRUE(CurrentRenderContext().listWalks.empty());
    CurrentRenderContext().convexRecords.clear();
}

TEST(ListWalks, PlainConvexRecords)
{
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -50, -50, -50, 50, 50, 50);
    EXPECT_TRUE(RecordIsPlainConvex(box->GeometryAt(0)));
    ModelObject* tetrahedron = MakeTetrahedron(world.get(), 40, 0, 0, 0);
    ASSERT_NE(tetrahedron, nullptr);
    world->Root->AddChild(tetrahedron);
    EXPECT_TRUE(RecordIsPlainConvex(tetrahedron->GeometryAt(0)));
    // Three triangles folded both ways about the first one's plane.
    const Fixed u = IntToFixed(100);
    ModelObject* folded = MakePolygonMesh(world.get(), {{0, 0, 0}, {u, 0, 0}, {0, u, 0}, {u, u, u}, {-u, -u, -u}},
                                          {{0, 1, 2}, {1, 3, 2}, {0, 2, 4}});
    ASSERT_NE(folded, nullptr);
    world->Root->AddChild(folded);
    EXPECT_FALSE(RecordIsPlainConvex(folded->GeometryAt(0)));
    // A face of another object lying against one of its faces: not plain.
    ModelObject* inside = AddBox(world.get(), -20, -50, -20, 20, -30, 20);
    ASSERT_TRUE(box->AddFaceContact(FaceFacing(box, 0, -256, 0), inside, FaceFacing(inside, 0, -256, 0)));
    EXPECT_FALSE(RecordIsPlainConvex(box->GeometryAt(0)));
}
