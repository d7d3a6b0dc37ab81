// Contacts between sibling objects, the point test, membership, face connections and the
// bookkeeping of faces that touch, and what destroying and moving objects leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "foundation/pointer_list.h"
#include "model/contact_list.h"
#include "model/parting_faces.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/transform.h"
#include "tests/model/model_test_support.h"
#include "tools/sample_scenes.h"

namespace {

bool HasMember(const ObjectGeometry* record, const ObjectGeometry* member)
{
    return FindPointer(record->Members, member) >= 0;
}

}  // namespace

TEST(Contacts, TouchingBoxesMeetOnTheirCommonFace)
{
    Scene scene;
    ModelObject* left = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    ModelObject* right = MakeBox(scene.holder(), 10, 0, 0, 20, 10, 10);
    scene.root()->AddChild(left);
    scene.root()->AddChild(right);
    ObjectGeometry* g = left->Geometry;
    ObjectGeometry* h = right->Geometry;
    ASSERT_EQ(g->ContactCount(), 1);
    ASSERT_EQ(h->ContactCount(), 1);
    EXPECT_EQ(g->ContactOther(0), h);
    EXPECT_EQ(h->ContactOther(0), g);
    // The plane x = 10, normal pointing from each record towards the other.
    EXPECT_EQ(h->ContactAt(0).Point.x, 10);
    EXPECT_EQ(h->ContactAt(0).Normal, (ShortVector3{-256, 0, 0}));
    EXPECT_EQ(g->ContactAt(0).Normal, (ShortVector3{256, 0, 0}));
    // Both are members of the world root's record.
    EXPECT_TRUE(HasMember(scene.root()->Geometry, g));
    EXPECT_TRUE(HasMember(scene.root()->Geometry, h));

    // Moving one box away clears the contact on both sides.
    right->SetObjectPosition(IntToFixed(40), 0, 0);
    EXPECT_EQ(g->ContactCount(), 0);
    EXPECT_EQ(right->Geometry->ContactCount(), 0);
    right->SetObjectPosition(IntToFixed(10), 0, 0);
    EXPECT_EQ(left->Geometry->ContactCount(), 1);
}

TEST(Contacts, BoxesApartOrOverlappingOnOneAxis)
{
    Scene scene;
    // Apart in x, y and z: no overlap on any axis.
    ModelObject* a = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    ModelObject* b = MakeBox(scene.holder(), 30, 30, 30, 40, 40, 40);
    scene.root()->AddChild(a);
    scene.root()->AddChild(b);
    EXPECT_EQ(a->Geometry->ContactCount(), 0);
    // Overlapping on x only, with overlapping spheres: a contact without a separating face
    // test failing. Its normal points from one centre to the other.
    ModelObject* c = scene.AddBox(2, 12, 0, 8, 18, 10);
    EXPECT_EQ(c->Geometry->ContactCount(), 1);
    EXPECT_EQ(c->Geometry->ContactOther(0), a->Geometry);
    // Overlapping nearly whole, with no face parting them: the contact lies between their centres,
    // and its normal divides by the fixed-point integer root of their squared distance, 0 for 2:
    // there is none.
    scene.AddBox(100, 100, 0, 110, 110, 10);
    const ObjectGeometry* e = scene.AddBox(101, 101, 0, 111, 111, 10)->Geometry;
    ASSERT_EQ(e->ContactCount(), 1);
    EXPECT_EQ(e->ContactAt(0).Point, (ShortVector3{105, 105, 5}));
    EXPECT_EQ(e->ContactAt(0).Normal, (ShortVector3{0, 0, 0}));
}

namespace {

// The separating face by its definition: every face of g facing h's centre whose plane has every
// vertex of every face of h on or in front of it (rounded offsets of -1 to 1 counting as 0)
// scores the sum of those offsets, each vertex counted once per face that names it; the first
// face of the highest score wins.
int32_t SeparatingFaceByDefinition(const ObjectGeometry* g, const ObjectGeometry* h, ShortVector3* normal,
                                   ShortVector3* point)
{
    auto vertex = [](const PolygonRecord* face, int32_t k) {
        return face->Owner()->WorldVertices->At<FixedVector3>(face->IndexAt(k));
    };
    auto rounded = [](Fixed a, Fixed b) {
        const int64_t r = RoundFixed(FixSub(a, b));
        return r >= -1 && r <= 1 ? 0 : r;
    };
    int64_t best = -1;
    const PolygonRecord* chosen = nullptr;
    for (int32_t i = 0; i < g->PolygonCount(); ++i) {
        const PolygonRecord* face = g->PolygonAt(i);
        const FixedVector3* q = vertex(face, 0);
        const ShortVector3& n = face->WorldNormal;
        const int64_t facing = n.x * (int64_t(h->WorldCentre.x) - RoundFixed(q->x)) +
                               n.y * (int64_t(h->WorldCentre.y) - RoundFixed(q->y)) +
                               n.z * (int64_t(h->WorldCentre.z) - RoundFixed(q->z));
        if (facing < 0) continue;
        int64_t sum = 0;
        bool fails = false;
        for (int32_t j = 0; j < h->PolygonCount(); ++j) {
            for (int32_t k = 0; k < h->PolygonAt(j)->VertexCount(); ++k) {
                const FixedVector3* v = vertex(h->PolygonAt(j), k);
                const int64_t s = n.x * rounded(v->x, q->x) + n.y * rounded(v->y, q->y) + n.z * rounded(v->z, q->z);
                fails = fails || s < 0;
                sum += s;
            }
        }
        if (!fails && sum > best) {
            best = sum;
            chosen = face;
        }
    }
    if (!chosen) return 0;
    *normal = chosen->WorldNormal;
    const FixedVector3* q = vertex(chosen, 0);
    *point = {int16_t(RoundFixed(q->x)), int16_t(RoundFixed(q->y)), int16_t(RoundFixed(q->z))};
    return 1;
}

// A patch of `side` x `side` squares of the size from (x, y), its corners at the heights `height`
// gives them (each square two triangles when `triangles`).
template <class Height>
ModelObject* MakePatch(ModelHolder* holder, int32_t side, double size, double x, double y, bool triangles, Height height)
{
    std::vector<FixedVector3> points;
    for (int32_t j = 0; j <= side; ++j) {
        for (int32_t i = 0; i <= side; ++i)
            points.push_back(FixedVector3{X2Fix(x + size * i), X2Fix(y + size * j), X2Fix(height(i, j))});
    }
    std::vector<std::vector<int16_t>> faces;
    for (int32_t j = 0; j < side; ++j) {
        for (int32_t i = 0; i < side; ++i) {
            const auto corner = [side, i, j](int32_t di, int32_t dj) { return int16_t((j + dj) * (side + 1) + i + di); };
            if (triangles) {
                faces.push_back({corner(0, 0), corner(1, 0), corner(1, 1)});
                faces.push_back({corner(0, 0), corner(1, 1), corner(0, 1)});
            } else {
                faces.push_back({corner(0, 0), corner(1, 0), corner(1, 1), corner(0, 1)});
            }
        }
    }
    return MakePolygonMesh(holder, points, faces);
}

// Two squares facing down, at heights 0 (x from 20 to 30) and 5 (x from 0 to 10), and the faces of
// a patch at height -20 facing down, in one object.
ModelObject* MakeSteps(ModelHolder* holder)
{
    std::vector<FixedVector3> points = {{X2Fix(20), 0, 0}, {X2Fix(30), 0, 0}, {X2Fix(30), X2Fix(10), 0},
                                        {X2Fix(20), X2Fix(10), 0}, {0, 0, X2Fix(5)}, {X2Fix(10), 0, X2Fix(5)},
                                        {X2Fix(10), X2Fix(10), X2Fix(5)}, {0, X2Fix(10), X2Fix(5)}};
    std::vector<std::vector<int16_t>> faces = {{0, 1, 2, 3}, {4, 5, 6, 7}};
    for (int16_t i = 0; i < 64; ++i) {
        const int16_t first = int16_t(points.size());
        for (const double corner : {0.0, 1.0})
            points.push_back(FixedVector3{X2Fix(100 + 2 * i + corner), X2Fix(corner), X2Fix(-20)});
        points.push_back(FixedVector3{X2Fix(100 + 2 * i), X2Fix(1), X2Fix(-20)});
        faces.push_back({first, int16_t(first + 1), int16_t(first + 2)});
    }
    return MakePolygonMesh(holder, points, faces);
}

// A seat less than a unit in size with its corner at (x, y, z): an L-shaped outline across y and
// z (a seat and its back) drawn out 0.48 along x, each end made of two quads, so that faces of one
// normal part a neighbour by planes a fraction of a unit apart.
ModelObject* MakeSeat(ModelHolder* holder, double x, double y, double z)
{
    const double outline[7][2] = {{0, 0}, {0.45, 0}, {0.45, 0.45}, {0.1, 0.45}, {0.1, 0.85}, {0, 0.85}, {0, 0.45}};
    std::vector<FixedVector3> points;
    for (const double end : {0.0, 0.48}) {
        for (const auto& corner : outline) points.push_back({X2Fix(x + end), X2Fix(y + corner[0]), X2Fix(z + corner[1])});
    }
    std::vector<std::vector<int16_t>> faces = {{0, 6, 2, 1}, {6, 5, 4, 3}, {7, 8, 9, 13}, {13, 10, 11, 12}};
    for (int16_t i = 0; i < 6; ++i) {
        const int16_t next = int16_t((i + 1) % 6);
        faces.push_back({i, next, int16_t(next + 7), int16_t(i + 7)});
    }
    return MakePolygonMesh(holder, points, faces);
}

// An ellipsoid mesh of `side` bands from pole to pole and `side` faces round each, of the radii
// about (x, y, z): quads, and triangles round the poles, facing outwards.
ModelObject* MakeEllipsoid(ModelHolder* holder, int32_t side, double rx, double ry, double rz, double x, double y,
                           double z)
{
    std::vector<FixedVector3> points = {{X2Fix(x), X2Fix(y), X2Fix(z + rz)}};
    for (int32_t ring = 1; ring < side; ++ring) {
        for (int32_t j = 0; j < side; ++j) {
            const double polar = 3.14159265 * ring / side;
            const double around = 6.28318531 * j / side;
            points.push_back({X2Fix(x + rx * std::sin(polar) * std::cos(around)),
                              X2Fix(y + ry * std::sin(polar) * std::sin(around)), X2Fix(z + rz * std::cos(polar))});
        }
    }
    points.push_back({X2Fix(x), X2Fix(y), X2Fix(z - rz)});
    const auto at = [side](int32_t ring, int32_t j) { return int16_t(1 + (ring - 1) * side + j % side); };
    std::vector<std::vector<int16_t>> faces;
    for (int32_t j = 0; j < side; ++j) faces.push_back({0, at(1, j + 1), at(1, j)});
    for (int32_t ring = 1; ring + 1 < side; ++ring) {
        for (int32_t j = 0; j < side; ++j)
            faces.push_back({at(ring, j), at(ring, j + 1), at(ring + 1, j + 1), at(ring + 1, j)});
    }
    const int16_t south = int16_t(points.size() - 1);
    for (int32_t j = 0; j < side; ++j) faces.push_back({south, at(side - 1, j), at(side - 1, j + 1)});
    return MakePolygonMesh(holder, points, faces);
}

}  // namespace

TEST(Contacts, SeparatingFacesAreThoseOfTheirDefinition)
{
    // The search counts each vertex once with the number of faces naming it, compares the faces by
    // kind, in runs of kinds near each other bounded together, starting from the kind that parted
    // the record from the last one searched, and tries the vertex that refused the last face first; the answer must be the definition's, for shapes whose vertices many faces share, near
    // and overlapping, in both directions: flat patches side by side (every face of one kind), a
    // hilly one beside them, and large shapes tens of thousands of units apart.
    Scene scene;
    const auto flat = [](int32_t, int32_t) { return 0.0; };
    const auto hills = [](int32_t i, int32_t j) { return 3.0 * std::sin(i * 0.9) * std::cos(j * 0.7); };
    std::vector<ModelObject*> shapes = {
        MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10),
        MakeShape(scene.holder(), 4, 12, 3, 8, 20, 0, 30, 25, 3, 0),
        MakeShape(scene.holder(), 5, 6, 1, 5, 15, -10, 10, -20, 0, 4),
        MakeShape(scene.holder(), 1, 1, 2, 24, 30, 0, 5, 0, 40, 0),
        MakeTetrahedron(scene.holder(), 12, 11, 2, 2),
        MakeShape(scene.holder(), 3, 1, 3, 6, 8, 0, 12, 9, 9, 12),
        MakePatch(scene.holder(), 8, 4, -32, -32, false, flat),
        MakePatch(scene.holder(), 8, 4, 0, -32, true, flat),
        MakePatch(scene.holder(), 8, 4, -32, 0, true, hills),
        MakeShape(scene.holder(), 5, 5, 3, 12, 9000, -9000, 9000, 24000, 0, 0),
        MakeShape(scene.holder(), 5, 4, 3, 10, 9000, -9000, 9000, -24000, 0, 0),
        // Two steps facing down, the lower first, and a box between their heights under the
        // higher: faces of one normal part the box or not by their heights. (A flat patch far below
        // makes them many faces.)
        MakeSteps(scene.holder()),
        MakeBox(scene.holder(), 2, 2, 1, 8, 8, 3),
        // A ridge whose two sides part a round shape above it as well as each other: the first
        // side wins.
        MakePolygonMesh(scene.holder(),
                        {{X2Fix(60), 0, 0}, {X2Fix(70), 0, X2Fix(10)}, {X2Fix(70), X2Fix(10), X2Fix(10)},
                         {X2Fix(60), X2Fix(10), 0}, {X2Fix(80), 0, 0}, {X2Fix(80), X2Fix(10), 0}},
                        {{0, 1, 2, 3}, {1, 4, 5, 2}}),
        MakeShape(scene.holder(), 5, 4, 3, 8, 3, -3, 3, 70, 5, 30),
        // Rolling ground of quads, its kinds in runs some levels deep, and small shapes standing
        // on it, sunk into it and floating above it: parted by faces near them and far away.
        MakePatch(scene.holder(), 24, 5, 100, 100, false,
                  [](int32_t i, int32_t j) { return 6.0 * std::sin(i * 0.31) * std::cos(j * 0.23) + 0.1 * i; }),
        MakeBox(scene.holder(), 130, 140, 2, 136, 145, 9),
        MakeBox(scene.holder(), 180, 120, -6, 186, 128, 1),
        MakeShape(scene.holder(), 2, 1, 3, 7, 3, 0, 8, 160, 190, 12),
        // A figure a few units tall: a torso, a head and an arm sunk into it, meshes of hundreds of
        // vertices whose offsets mostly round to the -1, 0 and 1 that count as 0, so that many
        // faces part them; and a large one far enough out that differences wrap.
        MakeEllipsoid(scene.holder(), 24, 1.8, 1.2, 3, -100, 0, 12.5),
        MakeEllipsoid(scene.holder(), 20, 1.1, 1.1, 1.2, -100, 0, 16.2),
        MakeEllipsoid(scene.holder(), 16, 0.5, 0.5, 3.2, -97.8, 0.3, 12),
        MakeEllipsoid(scene.holder(), 24, 400, 300, 200, 24000, 0, 0),
        // Seats side by side, one sunk into the next, and two sunk into the figure's torso from
        // below: faces of one normal whose sums tie, the first of them winning, and the leaning
        // faces of a mesh above small shapes.
        MakeSeat(scene.holder(), 300, 0, 0),
        MakeSeat(scene.holder(), 300.55, 0, 0),
        MakeSeat(scene.holder(), 300.8, 0.2, 0.3),
        MakeSeat(scene.holder(), -100.2, -0.3, 8.9),
        MakeSeat(scene.holder(), -99.4, 0.1, 9.2),
    };
    const size_t torso = shapes.size() - 9;
    auto compare = [&shapes]() {
        int32_t found = 0;
        for (const ModelObject* a : shapes) {
            for (const ModelObject* b : shapes) {
                if (a == b) continue;
                ShortVector3 normal = {1, 1, 1};
                ShortVector3 point = {1, 1, 1};
                ShortVector3 expectedNormal = {1, 1, 1};
                ShortVector3 expectedPoint = {1, 1, 1};
                const int32_t expected =
                    SeparatingFaceByDefinition(a->Geometry, b->Geometry, &expectedNormal, &expectedPoint);
                EXPECT_EQ(a->Geometry->FindSeparatingFace(b->Geometry, &normal, &point), expected);
                EXPECT_EQ(normal, expectedNormal);
                EXPECT_EQ(point, expectedPoint);
                found += expected;
            }
        }
        return found;
    };
    // Some pairs are separated by a face and some are not.
    const int32_t found = compare();
    EXPECT_GT(found, 80);
    EXPECT_LT(found, 700);
    // Searched again and again, the figure's vertices are laid out for the search, which finds
    // the same answers in them.
    for (int32_t round = 0; round < 40 && !shapes[torso]->Geometry->partingSummary_->vertices.Built(); ++round) {
        compare();
    }
    EXPECT_TRUE(shapes[torso]->Geometry->partingSummary_->vertices.Built());
    // What the search keeps of each record goes as the records move: moved, they are compared
    // where they are now.
    for (ModelObject* shape : shapes) shape->TranslateObject(X2Fix(7), X2Fix(-3), X2Fix(shape == shapes[4] ? 2 : 0));
    compare();
    for (ModelObject* shape : shapes) shape->Destroy();
}

TEST(Contacts, TheFaceTableOfARecordOfFewHoldsItsFacesAndItsCountedVertices)
{
    // A pyramid on a square whose vertex list holds a point no face names: the table holds every
    // face's normal and first corner in face order, and each vertex named once with its world
    // coordinates, in the order of the list, with the number of corners naming it.
    Scene scene;
    const Fixed s = IntToFixed(10);
    ModelObject* pyramid = MakePolygonMesh(scene.holder(),
                                           {{0, 0, 0}, {s, 0, 0}, {s, s, s}, {0, s, 0}, {s, s, 0}, {s / 2, s / 2, s}},
                                           {{0, 3, 4, 1}, {0, 1, 5}, {1, 4, 5}, {4, 3, 5}, {3, 0, 5}});
    scene.root()->AddChild(pyramid);
    ObjectGeometry* g = pyramid->Geometry;
    ASSERT_EQ(g->PolygonCount(), 5);
    const PartingFaces* table = g->FewFaces();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->FaceCount(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(table->Face(i).normal, g->PolygonAt(i)->WorldNormal) << i;
    }
    // The faces' first corners: vertices 0, 0, 1, 4 and 3 of the list, the table's 0, 0, 1, 3 and 2.
    std::vector<int32_t> firsts;
    for (int32_t i = 0; i < 5; ++i) firsts.push_back(table->Face(i).first);
    EXPECT_EQ(firsts, (std::vector<int32_t>{0, 0, 1, 3, 2}));
    EXPECT_EQ(table->Face(0).normal, (ShortVector3{0, 0, 256}));
    const std::vector<std::vector<Fixed>> expected = {
        {0, 0, 0, 3}, {s, 0, 0, 3}, {0, s, 0, 3}, {s, s, 0, 3}, {s / 2, s / 2, s, 4}};
    std::vector<std::vector<Fixed>> uses;
    for (int32_t j = 0; j < table->UseCount(); ++j) {
        const PartingUse& use = table->Use(j);
        uses.push_back({use.vertex.x, use.vertex.y, use.vertex.z, use.count});
    }
    EXPECT_EQ(uses, expected);
    pyramid->Destroy();
}

TEST(Contacts, FacesAreFoundByNumberAfterSlicesCutThem)
{
    // A shape cut by two slices loses some faces and gains a cap for each: the records stay in
    // rising face order, and every face number finds its record, or none when it was cut away.
    Scene scene;
    ModelObject* shape = MakeShape(scene.holder(), 1, 1, 3, 12, 20, 0, 30, 0, 0, 0);
    shape->EnsureSliceList();
    for (const auto& [a, d] : {std::pair{0x10000, -5 * 0x10000}, {-0x10000, 12 * 0x10000}}) {
        PlaneRecord* plane = shape->NewPlaneRecord();
        plane->SetPlane(a, 0, 0, d);
        AppendPointer(shape->Slices, plane);
    }
    shape->Build();
    const ObjectGeometry* g = shape->Geometry;
    ASSERT_NE(g, nullptr);
    int32_t cutAway = 0;
    for (int32_t i = 1; i < g->PolygonCount(); ++i) EXPECT_LT(g->PolygonAt(i - 1)->FaceIndex, g->PolygonAt(i)->FaceIndex);
    for (int32_t face = -1; face <= shape->FaceCount(); ++face) {
        const PolygonRecord* expected = nullptr;
        for (int32_t i = 0; i < g->PolygonCount() && !expected; ++i)
            if (g->PolygonAt(i)->FaceIndex == face) expected = g->PolygonAt(i);
        EXPECT_EQ(g->FindPartById(face), expected) << face;
        cutAway += face >= 0 && face < shape->FaceCount() && !expected ? 1 : 0;
    }
    EXPECT_GT(cutAway, 0);
    EXPECT_EQ(g->FindPartById(shape->FaceCount() - 1)->FaceIndex, shape->FaceCount() - 1);
    shape->Destroy();
}

TEST(Contacts, PointTest)
{
    Scene scene;
    ModelObject* box = scene.AddBox(0, 0, 0, 10, 10, 10);
    EXPECT_EQ(box->Geometry->HitTestPolygonObject(5, 5, 5), kHitInside);
    EXPECT_EQ(box->Geometry->HitTestPolygonObject(10, 5, 5), kHitOnSurface);
    EXPECT_EQ(box->Geometry->HitTestPolygonObject(11, 5, 5), kHitOutside);
    EXPECT_EQ(scene.root()->PointInObject(50, 50, 50), kHitInside);
    DynamicArray* hits = NewPointerList();
    EXPECT_EQ(scene.root()->PickObjectsAt(5, 5, 5, hits), box->Geometry);
    EXPECT_EQ(scene.root()->PickObjectsAt(0, 5, 5, hits), nullptr);
    EXPECT_EQ(ListCount(hits), 1);
    hits->Destroy();
    // A record without faces has a zero box and radius.
    ObjectGeometry* empty = ObjectGeometry::New(box);
    empty->ComputeBounds(2);
    EXPECT_EQ(empty->WorldBox, (ShortBox{{0, 0, 0}, {0, 0, 0}}));
    EXPECT_EQ(empty->WorldRadius, 0);
    empty->ObjectGeometryFree();
}

TEST(Contacts, GroupsCountAsSiblingsAndDestroyingLeavesNoTrace)
{
    Scene scene;
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    ModelObject* inside = MakeBox(scene.holder(), 10, 0, 0, 20, 10, 10);
    group->AddChild(inside);
    ModelObject* outside = scene.AddBox(0, 0, 0, 10, 10, 10);
    scene.root()->AddChild(group);
    ASSERT_EQ(outside->Geometry->ContactCount(), 1);
    EXPECT_TRUE(HasMember(scene.root()->Geometry, inside->Geometry));
    EXPECT_EQ(group->WorldBox, inside->WorldBox);

    // Destroying the attached group takes its box's contact and membership with it.
    group->Destroy();
    EXPECT_EQ(outside->Geometry->ContactCount(), 0);
    EXPECT_EQ(ListCount(scene.root()->Geometry->Members), 1);
    EXPECT_EQ(scene.root()->ChildCount(), 1);

    // So does destroying a single attached object.
    ModelObject* next = scene.AddBox(0, 10, 0, 10, 20, 10);
    ASSERT_EQ(outside->Geometry->ContactCount(), 1);
    next->Destroy();
    EXPECT_EQ(outside->Geometry->ContactCount(), 0);
    EXPECT_EQ(scene.root()->ChildCount(), 1);
}

TEST(Contacts, AListGrowingThroughTheBlocksOfTheRoomKeepsItsEntriesInOrder)
{
    // Cubes on a floor, each touching it and its neighbours: the floor's list moves through the
    // room's blocks of 2 to 48 entries as they join.
    Scene scene;
    ModelObject* floor = scene.AddBox(0, 0, 0, 400, 10, 10);
    std::vector<ModelObject*> cubes;
    for (int32_t i = 0; i < 40; ++i) cubes.push_back(scene.AddBox(10 * i, 0, 10, 10 * i + 10, 10, 20));
    auto expectFloorMeets = [&](const std::vector<ModelObject*>& meeting) {
        const ObjectGeometry* g = floor->Geometry;
        ASSERT_EQ(g->ContactCount(), int32_t(meeting.size()));
        for (int32_t i = 0; i < g->ContactCount(); ++i) {
            const ObjectGeometry* h = meeting[size_t(i)]->Geometry;
            ASSERT_EQ(g->ContactOther(i), h) << i;
            // The cube's entry for the floor: the same point, the normal reversed.
            int32_t back = -1;
            for (int32_t k = 0; k < h->ContactCount(); ++k) {
                if (h->ContactOther(k) == g) back = k;
            }
            ASSERT_GE(back, 0) << i;
            const ContactEntry seen = g->ContactAt(i);
            EXPECT_EQ(h->ContactAt(back).Point, seen.Point) << i;
            EXPECT_EQ(h->ContactAt(back).Normal,
                      (ShortVector3{int16_t(-seen.Normal.x), int16_t(-seen.Normal.y), int16_t(-seen.Normal.z)}))
                << i;
        }
        EXPECT_EQ(g->ContactOther(g->ContactCount()), nullptr);
    };
    expectFloorMeets(cubes);
    // Cubes moved away leave the others in their order; moved back, they come last.
    for (const size_t moved : {size_t(17), size_t(0), size_t(39)}) cubes[moved]->SetObjectPosition(0, IntToFixed(100), 0);
    std::vector<ModelObject*> staying;
    for (size_t i = 0; i < cubes.size(); ++i) {
        if (i != 17 && i != 0 && i != 39) staying.push_back(cubes[i]);
    }
    expectFloorMeets(staying);
    cubes[0]->SetObjectPosition(0, 0, 0);
    staying.push_back(cubes[0]);
    expectFloorMeets(staying);
    // Cleared, the floor holds no block; its partners keep their contacts with each other.
    floor->Geometry->ClearContacts();
    EXPECT_EQ(floor->Geometry->Contacts, nullptr);
    EXPECT_EQ(cubes[5]->Geometry->ContactCount(), 2);
}

TEST(Contacts, ClearContactsAlsoClearsPartners)
{
    Scene scene;
    ModelObject* a = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    ModelObject* b = MakeBox(scene.holder(), 10, 0, 0, 20, 10, 10);
    ModelObject* c = MakeBox(scene.holder(), 0, 10, 0, 10, 20, 10);
    for (ModelObject* o : {a, b, c}) scene.root()->AddChild(o);
    EXPECT_EQ(a->Geometry->ContactCount(), 2);
    a->Geometry->ClearContacts();
    EXPECT_EQ(a->Geometry->ContactCount(), 0);
    // b and c keep the contact they have with each other (they meet along an edge).
    ASSERT_EQ(b->Geometry->ContactCount(), 1);
    ASSERT_EQ(c->Geometry->ContactCount(), 1);
    EXPECT_EQ(b->Geometry->ContactOther(0), c->Geometry);
    EXPECT_EQ(c->Geometry->ContactOther(0), b->Geometry);
}

TEST(Contacts, DrawListComparesMinimumDepths)
{
    ObjectGeometry near;
    ObjectGeometry far;
    near.ScreenMinimum[1] = 100;
    far.ScreenMinimum[1] = 130;
    const ObjectGeometry* a = &near;
    const ObjectGeometry* b = &far;
    EXPECT_EQ(ContactListCompare(&a, &b), 0);
    EXPECT_EQ(ContactListCompare(&b, &a), -1);
}

TEST(Hierarchy, AddChildRefusals)
{
    Scene scene;
    ModelObject* outer = scene.holder()->MakeObject();
    outer->SetGroup();
    ModelObject* inner = scene.holder()->MakeObject();
    inner->SetGroup();
    ModelObject* fresh = scene.holder()->MakeObject();  // a new root
    outer->AddChild(inner);
    inner->AddChild(outer);  // would make a cycle
    EXPECT_EQ(outer->Parent, nullptr);
    outer->AddChild(outer);
    EXPECT_EQ(outer->ChildCount(), 1);
    scene.root()->AddChild(inner);  // already has a parent
    EXPECT_EQ(inner->Parent, outer);
    EXPECT_EQ(scene.root()->ChildCount(), 0);
    outer->AddChild(fresh);
    fresh->AddChild(outer);
    EXPECT_EQ(outer->ChildCount(), 1);
    EXPECT_EQ(fresh->ChildCount(), 0);
    fresh->Destroy();
    outer->Destroy();
}

TEST(Hierarchy, ChildrenKeepTheirWorldPlacement)
{
    Scene scene;
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    group->SetObjectPosition(IntToFixed(100), 0, 0);
    group->SetObjectRotation(0, 0, X2Fix(1.5707963));
    scene.root()->AddChild(group);
    ModelObject* box = MakeBox(scene.holder(), 5, 0, 0, 10, 5, 5);
    group->AddChild(box);
    EXPECT_NEAR(box->WorldTransform->Position[0], IntToFixed(5), 4);
    // Within the precision of 16.16 sines at a distance of 100 units.
    EXPECT_NEAR(box->LocalTransform->Position[1], IntToFixed(95), 256);
    group->RemoveChild(box);
    EXPECT_NEAR(box->LocalTransform->Position[0], IntToFixed(5), 256);
    EXPECT_EQ(box->Parent, nullptr);
    box->Destroy();
}

TEST(Hierarchy, StatisticsAndCounts)
{
    Scene scene;
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    group->AddChild(MakeBox(scene.holder(), 0, 0, 0, 1, 1, 1));
    group->AddChild(MakeTetrahedron(scene.holder(), 2, 5, 5, 5));
    scene.root()->AddChild(group);
    EXPECT_EQ(scene.root()->CountObjects(0), 2);
    EXPECT_EQ(scene.root()->CountObjects(1), 4);
    int32_t counters[9];
    scene.root()->ModelStatistics(counters);
    EXPECT_EQ(counters[0], 4);
    EXPECT_EQ(counters[1], 1);
    EXPECT_EQ(counters[2], 1);
    EXPECT_EQ(counters[3], 1);
    EXPECT_EQ(counters[4], 1);
    EXPECT_EQ(counters[5], 6 + 4);
    group->SetHidden(1);
    EXPECT_EQ(group->ChildAt(1)->IsHiddenValue(), 1);
    // Names: a buffer one byte short gets nothing; an exact one the bytes without terminator.
    group->SetName("table", 5);
    char buffer[6] = "xxxxx";
    EXPECT_EQ(group->GetName(buffer, 4), -1);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(group->GetName(buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "table");
    ModelHolder* holder = scene.holder();
    holder->ChangeSerial = 0xFFFF;
    NextNonZeroSerial(holder);
    EXPECT_EQ(holder->ChangeSerial, 1);
}

TEST(Connections, MutualAndRemovedOnlyAsAsked)
{
    Scene scene;
    ModelObject* a = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    ModelObject* b = MakeBox(scene.holder(), 10, 0, 0, 20, 10, 10);
    ModelObject* c = MakeBox(scene.holder(), 0, 10, 0, 10, 20, 10);
    for (ModelObject* o : {a, b, c}) scene.root()->AddChild(o);
    a->AddFaceContact(3, b, 1);
    a->AddFaceContact(2, c, 4);
    Surface* east = a->SurfaceOfFace(3);
    Surface* north = a->SurfaceOfFace(2);
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(ListCount(east->SiblingConnections), 1);
    EXPECT_EQ(ListCount(b->SurfaceOfFace(1)->SiblingConnections), 1);
    // Each touching face is recorded on the front side of the other.
    EXPECT_EQ(east->ContactCount(0), 1);
    EXPECT_EQ(b->SurfaceOfFace(1)->ContactCount(0), 1);
    EXPECT_EQ(a->HasFaceContacts(nullptr, kRelationSibling), 1);

    // Removing the connection to b leaves the one to c alone.
    a->DropFaceContacts(3, b, 1, kRelationSibling);
    EXPECT_EQ(east->IsConnected(nullptr, nullptr, kRelationAny), 0);
    EXPECT_EQ(east->ContactCount(0), 0);
    EXPECT_EQ(b->SurfaceOfFace(1)->ContactCount(0), 0);
    EXPECT_EQ(north->IsConnected(c, nullptr, kRelationSibling), 1);
    EXPECT_EQ(north->ContactCount(0), 1);
    // A contact that is not there removes nothing.
    north->RemoveContact(0, {b, b->SurfaceOfFace(1)}, 1);
    EXPECT_EQ(north->ContactCount(0), 1);

    // Destroying c takes its connection off a's face.
    c->Destroy();
    EXPECT_EQ(north->IsConnected(nullptr, nullptr, kRelationAny), 0);
    EXPECT_EQ(north->ContactCount(0), 0);

    // Destroying b with a child connected to it, the child's contact passed on to the face of a
    // that stays: a's face keeps nothing of either (the connections within b's subtree simply go).
    ModelObject* inner = MakeBox(scene.holder(), 12, 2, 2, 18, 8, 8);
    b->AddChild(inner);
    a->AddFaceContact(3, b, 1);
    b->AddFaceContact(1, inner, 0);
    ASSERT_GT(east->ContactCount(0) + east->ContactCount(1), 0);
    b->Destroy();
    EXPECT_EQ(east->IsConnected(nullptr, nullptr, kRelationAny), 0);
    EXPECT_EQ(east->ContactCount(0), 0);
    EXPECT_EQ(east->ContactCount(1), 0);
}

TEST(Connections, ASearchOfAFacesConnectionsIsSpentInARead)
{
    Scene scene;
    ModelObject* a = scene.AddBox(0, 0, 0, 10, 10, 10);
    ModelObject* b = scene.AddBox(10, 0, 0, 20, 10, 10);
    ModelObject* c = scene.AddBox(20, 0, 0, 30, 10, 10);
    ModelObject* d = scene.AddBox(30, 0, 0, 40, 10, 10);
    ASSERT_TRUE(a->AddFaceContact(3, b, 1));
    ASSERT_TRUE(a->AddFaceContact(3, c, 1));
    const Surface* east = a->SurfaceOfFace(3);
    MemoryStream stream;
    Load(stream, Bytes(100, 0));
    ReadBudget& budget = scene.holder()->Budget;
    budget.Begin(&stream);
    ASSERT_EQ(stream.StreamSetPosition(100), kResultOk);  // what 100 bytes pay for is allowed
    EXPECT_EQ(east->IsConnected(c, nullptr, kRelationAny), 1);  // found second
    EXPECT_EQ(budget.Spent(ReadCost::kFaceContacts), 2);
    EXPECT_EQ(east->IsConnected(d, nullptr, kRelationAny), 0);  // every entry walked
    EXPECT_EQ(budget.Spent(ReadCost::kFaceContacts), 4);
    budget.End();
}

TEST(Connections, AFaceWithoutRoomOrMemoryForTheContactIsNotConnected)
{
    // Box a's east face meets box b's west face; a's child k is connected to a's east face, which
    // passes its front contacts on to k's face. a's face takes b's face with b's back contacts
    // (none), b's face takes a's face with a's back contact (k's face), k's face gets b's face
    // from a's. When a's face, b's face or k's face has no room left for them in its front
    // contacts (16-bit counts), neither face is connected and no contact list changes; with room
    // enough, both are. A list that cannot grow (locked, as one without memory) tells the holder
    // and stops the connection, but for k's face, which goes without the contact passed on. A face
    // that had no surface before a connection that was not made is left without one, and a
    // connection made already is not made again.
    constexpr int32_t kContactLimit = 32767;
    constexpr int32_t kLocked = -1;
    const int32_t grown[3] = {1, 2, 1};
    for (int32_t full = 0; full < 3; ++full) {
        for (const int32_t filled : {kContactLimit - grown[full] + 1, kContactLimit - grown[full], kLocked}) {
            SCOPED_TRACE(testing::Message() << "full " << full << ", filled " << filled);
            Scene scene;
            ModelObject* a = scene.AddBox(0, 0, 0, 10, 10, 10);
            ModelObject* b = scene.AddBox(10, 0, 0, 20, 10, 10);
            ModelObject* k = MakeBox(scene.holder(), 9, 2, 2, 10, 8, 8);
            a->AddChild(k);
            k->AddFaceContact(3, a, 3);
            Surface* faces[3] = {a->SurfaceForFace(3), b->SurfaceForFace(1), k->SurfaceOfFace(3)};
            ASSERT_NE(faces[2], nullptr);
            // Filled with entries of k's face up to the count.
            DynamicArray*& list = faces[full]->SideContacts[0];
            if (!list) list = NewDynamicArray(0, int32_t(sizeof(FaceEntry)), 4);
            const FaceEntry filler = {k, faces[2]};
            while (list->ArrayCount() < filled) list->Append(&filler);
            if (filled == kLocked) list->ArrayLock();
            int32_t before[3];
            for (int32_t i = 0; i < 3; ++i) before[i] = faces[i]->ContactCount(0);
            const bool made = a->AddFaceContact(3, b, 1);
            const bool connected = filled == kLocked ? full == 2 : filled + grown[full] <= kContactLimit;
            EXPECT_EQ(made, connected);
            EXPECT_EQ(faces[0]->IsConnected(b, faces[1], kRelationSibling), connected);
            EXPECT_EQ(faces[1]->IsConnected(a, faces[0], kRelationSibling), connected);
            for (int32_t i = 0; i < 3; ++i) {
                const bool grows = connected && !(filled == kLocked && i == full);
                EXPECT_EQ(faces[i]->ContactCount(0), before[i] + (grows ? grown[i] : 0)) << i;
            }
            EXPECT_EQ(scene.holder()->MemoryShort, filled == kLocked ? 1 : 0);
            if (filled == kLocked) {
                EXPECT_EQ(list->ArrayUnlock(), 0);
            } else if (connected) {
                EXPECT_FALSE(a->AddFaceContact(3, b, 1));
                EXPECT_FALSE(b->AddFaceContact(1, a, 3));
            } else if (full == 0) {
                EXPECT_FALSE(b->AddFaceContact(2, a, 3));
                EXPECT_EQ(b->SurfaceOfFace(2), nullptr);
            }
        }
    }
}

TEST(Surfaces, FacePairsLeaveNoTemporarySurfaceBehind)
{
    Scene scene;
    ModelObject* box = MakeBox(scene.holder(), 0, 0, 0, 10, 20, 30);
    PolygonRecord* top = box->FindPolygonByIndex(0);
    ASSERT_EQ(top->FaceSurface, nullptr);
    const DynamicArray* pairs = top->GetFacePairs();
    ASSERT_NE(pairs, nullptr);
    EXPECT_EQ(pairs->ArrayCount(), 4);
    EXPECT_EQ(top->FaceSurface, nullptr);
    EXPECT_EQ(box->SurfaceOfFace(0), nullptr);
    // The outline starts at (0, 0) in both axes and spans the face.
    Fixed maxX = 0;
    Fixed maxY = 0;
    for (int32_t i = 0; i < 4; ++i) {
        const FixedPoint* p = pairs->At<FixedPoint>(i);
        EXPECT_GE(p->x, 0);
        EXPECT_GE(p->y, 0);
        maxX = p->x > maxX ? p->x : maxX;
        maxY = p->y > maxY ? p->y : maxY;
    }
    EXPECT_NEAR(maxX + maxY, IntToFixed(30), 16);
    // A surface made for the face afterwards has exactly that outline.
    Surface* made = box->SurfaceForFace(0);
    ASSERT_NE(made, nullptr);
    ASSERT_NE(made->Outline, nullptr);
    ASSERT_EQ(made->Outline->ArrayCount(), 4);
    EXPECT_EQ(std::memcmp(made->Outline->ArrayData(), pairs->ArrayData(), 4 * sizeof(FixedPoint)), 0);
    // A face with a surface is mapped by the surface's outline, textured or not, and keeps no copy.
    PolygonRecord* side = box->FindPolygonByIndex(2);
    Surface* textured = box->SurfaceForFace(2);
    ASSERT_NE(textured, nullptr);
    EXPECT_EQ(side->GetFacePairs(), textured->Outline);
    EXPECT_EQ(side->OwnFacePairs(), nullptr);
    textured->Flags |= kSurfaceFrontTexture;
    EXPECT_EQ(side->GetFacePairs(), textured->Outline);
    EXPECT_EQ(side->OwnFacePairs(), nullptr);
    textured->Flags &= uint16_t(~kSurfaceFrontTexture);
    box->Destroy();
}

TEST(Surfaces, ColoursFlagsAndPlacement)
{
    Scene scene;
    ModelObject* box = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    box->SetColours({0x1000, 0x1000, 0x1000}, 0x0100, kSideBoth);
    Surface* surface = box->SurfaceForFace(2);
    EXPECT_EQ(surface->Flags, 0);
    EXPECT_EQ(surface->ColourCode, 0);
    EXPECT_EQ(surface->FrontUncovered, 1);
    const RGBColor48 red = {0xFF00, 0, 0};
    surface->SetSurfaceColour(red, 5, kSideFront);
    EXPECT_EQ(surface->Flags & kSurfaceColourBits, 0x0005);
    EXPECT_EQ(surface->GetSideColour(kSideBack).red, 0xFF00);
    surface->ClearSurfaceColour(kSideBoth);
    // On an object with a special code, a special code colours one side only.
    box->SetColours({0x1000, 0x1000, 0x1000}, 0xFF00, kSideBoth);
    surface->SetSurfaceColour(red, 0xF000, kSideFront);
    EXPECT_EQ(surface->Flags & kSurfaceColourBits, 0x0001);
    surface->ClearSurfaceColour(kSideFront);
    EXPECT_EQ(surface->Flags & kSurfaceColourBits, 0);
    EXPECT_EQ(surface->ColourCode, 0);
    // The lit colour of the face follows its surface.
    surface->SetSurfaceColour(red, 0xFF00, kSideBoth);
    EXPECT_EQ(box->FindPolygonByIndex(2)->FrontColour.red, 0xFF00);

    // Placement: +Z of the surface along the face's normal.
    surface->PlaceOnFace({0, 0, 0}, {0, 0, 1});
    EXPECT_EQ(surface->Placement->Rotation[0], 0);
    surface->PlaceOnFace({0, 0, 0}, {0, 0, -1});
    EXPECT_EQ(surface->Placement->Rotation[0], 0x3243F);
    surface->PlaceOnFace({0, 0, 0}, {0, -256, 0});
    FixedVector3 z;
    surface->Placement->TransformPoint(&z, 0, 0, kFixedOne);
    EXPECT_NEAR(z.y, -kFixedOne, 4);
    EXPECT_NEAR(z.z, 0, 4);

    // Texts replace each other without leaking and an empty text removes it.
    surface->SetSurfaceVranText("one");
    surface->SetSurfaceVranText("two!");
    EXPECT_EQ(surface->GetSurfaceVranText()->ArrayCount(), 4);
    surface->SetSurfaceVranText("");
    EXPECT_EQ(surface->HasSurfaceVranText(), 0);
    box->SetVranText("abc");
    box->SetVranText("de");
    EXPECT_EQ(box->VranTextOf()->ArrayCount(), 2);
    box->Destroy();
}

TEST(Surfaces, ElementListsAndTheirBits)
{
    Scene scene;
    ModelObject* box = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    Surface* surface = box->SurfaceForFace(0);
    PolygonElement* empty = surface->NewPolygonElement();
    ASSERT_EQ(empty->Init(), kResultOk);
    surface->AddElement(empty, 1);  // no polygon: refused
    EXPECT_EQ(surface->CountElements(), 0);
    PolygonElement* elements[3];
    for (PolygonElement*& element : elements) {
        element = surface->NewPolygonElement();
        IgnoreResult(element->Init());
        element->Kind = kElementPolygon;
        surface->AddElement(element, 1);
    }
    EXPECT_EQ(surface->Flags & 0x0038, 0x0010);
    EXPECT_EQ(surface->CountElements(), 3);
    EXPECT_EQ(elements[2]->Owner, surface);
    surface->MoveElement(elements[0], 9, 1);
    EXPECT_EQ(surface->ElementAt(1, 2), elements[0]);
    surface->MoveElement(elements[0], -9, 1);
    EXPECT_EQ(surface->ElementAt(1, 0), elements[0]);
    for (PolygonElement* element : elements) surface->RemoveElement(element, 1);
    EXPECT_EQ(surface->Flags & 0x0038, 0);
    EXPECT_EQ(surface->Elements[1], nullptr);
    for (PolygonElement* element : elements) element->Destroy();
    // Elements held when the surface goes are freed with it.
    PolygonElement* kept = surface->NewPolygonElement();
    IgnoreResult(kept->Init());
    kept->Kind = kElementPolygon;
    surface->AddElement(kept, 0);
    empty->Destroy();
    box->Destroy();
}

TEST(Surfaces, EveryChangeToWhatLayersAFaceAdvancesTheLayeringSerial)
{
    // Each edit in turn on a pair of boxes, the serial read before and after it.
    using Box = ModelObject*;
    struct Edit {
        const char* what;
        void (*apply)(Box a, Box b);
    };
    const Edit edits[] = {
        {"a face touching another", [](Box a, Box b) { a->AddFaceContact(3, b, 1); }},
        {"the touch taken away", [](Box a, Box b) { a->DropFaceContacts(3, b, 1, kRelationSibling); }},
        {"an element laid on a face", [](Box a, Box) { AddFaceElement(a, 3, 2, 0, 4, 4, 0, 0, 0, {0, 0, 0}, 0xFFFF); }},
        {"the element taken off (and freed: the surface gives it back)",
         [](Box a, Box) {
             PolygonElement* element = a->SurfaceOfFace(3)->ElementAt(2, 0);
             a->SurfaceOfFace(3)->RemoveElement(element, 2);
             element->Destroy();
         }},
        {"a face's own colour made see-through",
         [](Box a, Box) { a->SurfaceForFace(2)->SetSurfaceColour({0, 0, 0}, 0x8000, kSideBoth); }},
        {"its own colour cleared", [](Box a, Box) { a->SurfaceOfFace(2)->ClearSurfaceColour(kSideBoth); }},
        {"the object made see-through",
         [](Box a, Box) { a->SetColours({0, 0, 0}, 0x8000, kSideBoth), a->RefreshShading(); }},
    };
    Scene scene;
    ModelObject* a = scene.AddBox(0, 0, 0, 10, 10, 10);
    ModelObject* b = scene.AddBox(10, 0, 0, 20, 10, 10);
    ModelHolder* holder = scene.holder();
    for (const Edit& edit : edits) {
        const uint32_t before = holder->LayeringSerial;
        edit.apply(a, b);
        EXPECT_NE(holder->LayeringSerial, before) << edit.what;
    }
    // A face's colour lit again unchanged is no change; the serial never comes back to 0.
    const uint32_t before = holder->LayeringSerial;
    a->RefreshShading();
    EXPECT_EQ(holder->LayeringSerial, before);
    holder->LayeringSerial = 0xFFFFFFFFu;
    NoteLayeringChanged(holder);
    EXPECT_EQ(holder->LayeringSerial, 1u);
}
