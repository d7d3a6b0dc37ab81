// The honest models, made small: read back as they were built, the same bytes on every run, of
// the sizes asked, their faces facing outwards, and what is meant to touch touching.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "tests/model/model_compare.h"
#include "tests/model/model_test_support.h"
#include "tools/honest_models.h"

namespace {

ModelDocument* ReadBack(const Bytes& bytes)
{
    ModelDocument* document = new ModelDocument;
    MemoryStream in;
    Load(in, bytes);
    if (document->Init() != kResultOk || document->ReadModelFile(&in) != kResultOk) {
        document->Destroy();
        return nullptr;
    }
    return document;
}

// The extent of the object's world vertices along the axis (0 x, 1 y, 2 z): least or most.
Fixed Extent(const ModelObject* object, int32_t axis, bool most)
{
    Fixed extent = most ? INT32_MIN : INT32_MAX;
    for (int32_t i = 0; i < ListCount(object->WorldVertices); ++i) {
        const Fixed* v = &object->WorldVertices->At<FixedVector3>(i)->x;
        extent = most ? std::max(extent, v[axis]) : std::min(extent, v[axis]);
    }
    return extent;
}

// The same over the node and everything under it: a group's parts.
Fixed TreeExtent(const ModelObject* node, int32_t axis, bool most)
{
    Fixed extent = Extent(node, axis, most);
    for (int32_t i = 0; i < node->ChildCount(); ++i) {
        const Fixed part = TreeExtent(node->ChildAt(i), axis, most);
        extent = most ? std::max(extent, part) : std::min(extent, part);
    }
    return extent;
}

int32_t Faces(const ModelObject* node)
{
    int32_t counters[9] = {};
    node->ModelStatistics(counters);
    return counters[5];
}

}  // namespace

TEST(HonestModels, ReadBackAsBuiltAndWriteTheSameBytes)
{
    // Those whose groups keep no units of their own: a read takes units away from every group.
    const std::pair<const char*, std::function<ModelDocument*()>> makers[] = {
        {"landscape", [] { return BuildHonestLandscape(3 * 8 * 8, 8); }},
        {"sphere meshes", [] { return BuildHonestSphereMeshes(12, 0); }},
        {"spheres", [] { return BuildHonestSpheres(8, true, 3); }},
        {"smooth", [] { return BuildHonestLargeSpheres(1, SphereFinish::kSmooth); }},
        {"village", [] { return BuildHonestVillage(4); }},
        {"forest", [] { return BuildHonestForest(3, 1); }},
        {"rolling forest", [] { return BuildHonestForest(3, 1, true); }},
        {"boulders", [] { return BuildHonestBoulders(5); }},
        {"rolling village", [] { return BuildHonestRollingVillage(4); }},
        {"smooth landscape", [] { return BuildHonestSmoothLandscape(1, 3); }},
        {"rooms", [] { return BuildHonestFloorRooms(5); }},
        {"pavilions", [] { return BuildHonestPavilions(2); }},
        {"masonry", [] { return BuildHonestMasonry(1); }},
        {"roads", [] { return BuildHonestRoads(1); }},
    };
    for (const auto& maker : makers) {
        SCOPED_TRACE(maker.first);
        ModelDocument* original = maker.second();
        ASSERT_NE(original, nullptr);
        const Bytes bytes = ModelFileBytes(maker.second());
        ModelDocument* copy = ReadBack(bytes);
        ASSERT_NE(copy, nullptr);
        ExpectSameTree(original->Holder->Root, copy->Holder->Root);
        EXPECT_EQ(ModelFileBytes(original), bytes);
        copy->Destroy();
    }
}

TEST(HonestModels, OfTheSizesAskedWithFacesFacingOutwards)
{
    ModelDocument* land = BuildHonestLandscape(3 * 8 * 8, 8);
    ModelObject* root = land->Holder->Root;
    ASSERT_EQ(root->ChildCount(), 3);
    EXPECT_EQ(Faces(root), 3 * 8 * 8);
    for (int32_t patch = 0; patch < 3; ++patch) {
        const ObjectGeometry* geometry = root->ChildAt(patch)->GeometryAt(0);
        for (int32_t i = 0; i < geometry->PolygonCount(); ++i) EXPECT_GT(geometry->PolygonAt(i)->WorldNormal.z, 0);
    }
    // The flat patches side by side share their border; the hilly row meets them at their edge.
    EXPECT_EQ(Extent(root->ChildAt(0), 0, true), Extent(root->ChildAt(1), 0, false));
    EXPECT_EQ(Extent(root->ChildAt(0), 1, true), Extent(root->ChildAt(2), 1, false));
    EXPECT_EQ(Extent(root->ChildAt(2), 2, false), 0);
    EXPECT_GT(Extent(root->ChildAt(2), 2, true), IntToFixed(10));
    land->Destroy();

    ModelDocument* meshes = BuildHonestSphereMeshes(12, 0);
    for (int32_t k = 0; k < 2; ++k) {
        const ModelObject* sphere = meshes->Holder->Root->ChildAt(k);
        EXPECT_EQ(Faces(sphere), 12 * 12);
        const int64_t middle = (int64_t(Extent(sphere, 0, true)) + Extent(sphere, 0, false)) / 2;
        for (int32_t i = 0; i < sphere->GeometryAt(0)->PolygonCount(); ++i) {
            const PolygonRecord* face = sphere->GeometryAt(0)->PolygonAt(i);
            const FixedVector3* corner = sphere->WorldVertices->At<FixedVector3>(face->IndexAt(0));
            const int64_t outwards = face->WorldNormal.x * ((corner->x - middle) >> 16) +
                                     int64_t(face->WorldNormal.y) * (corner->y >> 16) +
                                     int64_t(face->WorldNormal.z) * (corner->z >> 16);
            EXPECT_GT(outwards, 0) << "face " << i;
        }
    }
    // Touching: the nearest rings of the two meet.
    EXPECT_EQ(Extent(meshes->Holder->Root->ChildAt(0), 0, true), Extent(meshes->Holder->Root->ChildAt(1), 0, false));
    meshes->Destroy();

    // The most segments: 32,512 faces, and one segment more would pass what an object may have.
    ModelDocument* large = BuildHonestLargeSpheres(1, SphereFinish::kPlain);
    ModelObject* sphere = large->Holder->Root->ChildAt(0);
    EXPECT_EQ(sphere->FaceCount(), 32512);
    sphere->SetSegments(sphere->Segments + 1);
    EXPECT_EQ(sphere->IsCompleteObject(), 0);
    large->Destroy();

    ModelDocument* nested = BuildHonestNestedGroups(10000);
    EXPECT_GE(Faces(nested->Holder->Root), 10000);
    EXPECT_LT(Faces(nested->Holder->Root), 10150);
    nested->Destroy();
}

TEST(HonestModels, TouchingPartsTouchAndConnectionsReadBack)
{
    // Spheres in a cube: each meets the next along x at the side, and the one above at its pole.
    ModelDocument* spheres = BuildHonestSpheres(8, true, 2);
    const ModelObject* root = spheres->Holder->Root;
    EXPECT_EQ(Faces(root->ChildAt(0)), 256);
    EXPECT_EQ(Extent(root->ChildAt(0), 0, true), Extent(root->ChildAt(1), 0, false));
    EXPECT_EQ(Extent(root->ChildAt(0), 2, true), Extent(root->ChildAt(4), 2, false));
    spheres->Destroy();

    // Houses stand on the ground.
    ModelDocument* village = BuildHonestVillage(4);
    const ModelObject* house = village->Holder->Root->ChildAt(1)->ChildAt(3);
    EXPECT_EQ(Extent(house->ChildAt(0), 2, false), Extent(village->Holder->Root->ChildAt(0), 2, true));
    EXPECT_EQ(Extent(house->ChildAt(1), 2, false), Extent(house->ChildAt(0), 2, true));
    village->Destroy();

    // Houses of one piece on rolling ground: their floor lies below the ground's highest point
    // under them and above its lowest.
    ModelDocument* rolling = BuildHonestRollingVillage(4);
    const ModelObject* swells = rolling->Holder->Root->ChildAt(0);
    EXPECT_EQ(Faces(rolling->Holder->Root), 128 * 128 + 4 * 7);
    EXPECT_LT(Extent(swells, 2, false), IntToFixed(-1));
    for (int32_t k = 0; k < 4; ++k) {
        const ModelObject* house = rolling->Holder->Root->ChildAt(1)->ChildAt(k);
        EXPECT_GT(Extent(house, 2, false), Extent(swells, 2, false));
        EXPECT_LT(Extent(house, 2, false), Extent(swells, 2, true));
    }
    rolling->Destroy();

    // Trees stand on the ground, their crowns on their trunks; in two sizes in turn, of 88 and 89
    // faces, on one patch of 128 x 128 quads.
    ModelDocument* forest = BuildHonestForest(3, 1);
    const ModelObject* ground = forest->Holder->Root->ChildAt(0);
    const ModelObject* trees = forest->Holder->Root->ChildAt(1);
    ASSERT_EQ(trees->ChildCount(), 3);
    EXPECT_EQ(Faces(forest->Holder->Root), 128 * 128 + 88 + 89 + 88);
    for (int32_t k = 0; k < 3; ++k) {
        const ModelObject* tree = trees->ChildAt(k);
        EXPECT_EQ(Extent(tree->ChildAt(0), 2, false), Extent(ground, 2, true));
        EXPECT_EQ(Extent(tree->ChildAt(1), 2, false), Extent(tree->ChildAt(0), 2, true));
        EXPECT_GT(Extent(tree->ChildAt(0), 0, false), Extent(ground, 0, false));
        EXPECT_LT(Extent(tree->ChildAt(0), 1, true), Extent(ground, 1, true));
    }
    forest->Destroy();

    // The slab's top face is connected to every room, as the file stores it.
    ModelDocument* rooms = ReadBack(ModelFileBytes(BuildHonestFloorRooms(5)));
    ASSERT_NE(rooms, nullptr);
    ModelObject* slab = rooms->Holder->Root->ChildAt(0);
    const Surface* top = slab->SurfaceOfFace(FaceFacing(slab, 0, 0, 256));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(ListCount(top->SiblingConnections), 5);
    rooms->Destroy();
}

TEST(HonestModels, GroupsInUnitsOfTheirOwnReadIntoPlace)
{
    // Site in metres, buildings in feet, floors in inches, rooms in centimetres, under a root in
    // inches: each group stores its own units, and read, every part lies where it was made.
    const Bytes bytes = ModelFileBytes(BuildHonestNestedGroups(300));
    int32_t units = 0;
    for (size_t at = 0; at + 4 <= bytes.size(); ++at)
        units += std::equal(bytes.begin() + long(at), bytes.begin() + long(at) + 4, "UNIT");
    EXPECT_EQ(units, 1 + 1 + 1 + 1 + 2);  // root, site, building, floor, two rooms
    // The interiors' groups keep none: the root's units alone.
    const Bytes interiors = ModelFileBytes(BuildHonestInteriors(300));
    units = 0;
    for (size_t at = 0; at + 4 <= interiors.size(); ++at)
        units += std::equal(interiors.begin() + long(at), interiors.begin() + long(at) + 4, "UNIT");
    EXPECT_EQ(units, 1);
    ModelDocument* document = ReadBack(bytes);
    ASSERT_NE(document, nullptr);
    const ModelObject* floor = document->Holder->Root->ChildAt(0)->ChildAt(1)->ChildAt(4);
    const ModelObject* slab = floor->ChildAt(0);
    const ModelObject* wall = floor->ChildAt(1)->ChildAt(0);
    // The slab is 8 inches thick; the room's walls, 250 centimetres high, stand on it, sunk by
    // less than a centimetre. Each group joining its parent rescales its subtree once more: a
    // twentieth of an inch is what the fixed point loses on the way.
    constexpr double kLost = 0.05;
    EXPECT_NEAR(Fix2X(Extent(slab, 2, true) - Extent(slab, 2, false)), 8, kLost);
    EXPECT_NEAR(Fix2X(Extent(wall, 2, false)), Fix2X(Extent(slab, 2, true)), 1 / 2.54);
    EXPECT_LE(Extent(wall, 2, false), Extent(slab, 2, true));
    EXPECT_NEAR(Fix2X(Extent(wall, 0, false)), Fix2X(Extent(slab, 0, false)), kLost);
    EXPECT_NEAR(Fix2X(Extent(wall, 2, true) - Extent(wall, 2, false)), 250 / 2.54, kLost);
    document->Destroy();
}

TEST(HonestModels, TheTownOfGlassShowsItsFurnishingsThroughWindowsOnItsStreets)
{
    // Read back: four patches of 112 x 112 quads and one block: its plaza, two towers (30 faces,
    // 29 boxes of furnishings and four planters of ten faces), four shops (8 faces and 18 boxes of
    // fittings) and four lamps of two boxes.
    ModelDocument* document = ReadBack(ModelFileBytes(BuildHonestGlassTown(1)));
    ASSERT_NE(document, nullptr);
    const ModelObject* root = document->Holder->Root;
    constexpr int32_t kBox = 6;
    EXPECT_EQ(Faces(root), 4 * 112 * 112 + kBox + 2 * (30 + 29 * kBox + 4 * 10) + 4 * (8 + 18 * kBox) + 8 * kBox);
    const ModelObject* block = root->ChildAt(4)->ChildAt(0);
    // The towers' lobbies: 24 panes of window glass across their street fronts (west and east),
    // facing the street, with 33 furnishings inside; the shops' fronts two panes each, on the
    // south and north streets.
    const struct {
        int32_t child;
        int32_t panes;
        int32_t children;
        int16_t nx, ny;
    } glazed[] = {{1, 24, 33, -256, 0}, {2, 24, 33, 256, 0}, {3, 2, 18, 0, -256}, {5, 2, 18, 0, 256}};
    for (const auto& g : glazed) {
        SCOPED_TRACE(g.child);
        const ModelObject* box = block->ChildAt(g.child);
        EXPECT_EQ(box->ChildCount(), g.children);
        const ObjectGeometry* geometry = box->GeometryAt(0);
        int32_t glass = 0;
        for (int32_t i = 0; i < geometry->PolygonCount(); ++i) {
            const PolygonRecord* face = geometry->PolygonAt(i);
            if (face->ColourCode != 0x4000) continue;
            ++glass;
            EXPECT_EQ(face->WorldNormal.x, g.nx);
            EXPECT_EQ(face->WorldNormal.y, g.ny);
        }
        EXPECT_EQ(glass, g.panes);
    }
    document->Destroy();
}

TEST(HonestModels, DetailsSinkIntoWhatHoldsThem)
{
    // A machine on the floor slab: its body, panel, wheel, 20 bolts, 4 knobs and two handles of
    // three boxes: 1,258 faces.
    ModelDocument* workshop = BuildHonestWorkshop(1);
    const ModelObject* root = workshop->Holder->Root;
    EXPECT_EQ(Faces(root), 6 + 1258);
    const ModelObject* machine = root->ChildAt(1)->ChildAt(0);
    ASSERT_EQ(machine->ChildCount(), 3 + 20 + 4 + 6);
    const ModelObject* body = machine->ChildAt(0);
    EXPECT_EQ(Extent(body, 2, false), Extent(root->ChildAt(0), 2, true));
    const Fixed top = Extent(body, 2, true);
    const ModelObject* panel = machine->ChildAt(1);
    // The panel, the wheel and every bolt go into the body's top; every knob into the panel's.
    for (int32_t k = 1; k < 3 + 20; ++k) {
        SCOPED_TRACE(k);
        EXPECT_LT(Extent(machine->ChildAt(k), 2, false), top);
        EXPECT_GT(Extent(machine->ChildAt(k), 2, true), top);
    }
    for (int32_t k = 23; k < 27; ++k) {
        EXPECT_LT(Extent(machine->ChildAt(k), 2, false), Extent(panel, 2, true));
        EXPECT_GT(Extent(machine->ChildAt(k), 2, true), Extent(panel, 2, true));
    }
    // A handle's posts go into the front, its bar into the posts.
    const Fixed front = Extent(body, 1, false);
    for (int32_t k = 27; k < 33; k += 3) {
        EXPECT_GT(Extent(machine->ChildAt(k), 1, true), front);
        EXPECT_LT(Extent(machine->ChildAt(k + 2), 1, true), front);
        EXPECT_GT(Extent(machine->ChildAt(k + 2), 1, true), Extent(machine->ChildAt(k), 1, false));
    }
    workshop->Destroy();
}

TEST(HonestModels, SurfacesSeenFromBothSidesLieOnTheSameCorners)
{
    // A pavilion: its roof and two walls each two sheets, and a tree of a trunk and leaves on both
    // sides, on a ground of 128 x 128 quads.
    ModelDocument* garden = BuildHonestPavilions(1);
    const ModelObject* root = garden->Holder->Root;
    EXPECT_EQ(Faces(root), 128 * 128 + 2 * 24 * 24 + 4 * 12 * 6 + 10 + 2 * 120);
    const ModelObject* pavilion = root->ChildAt(1)->ChildAt(0);
    ASSERT_EQ(pavilion->ChildCount(), 6);
    for (int32_t k = 0; k < 6; k += 2) {
        SCOPED_TRACE(k);
        const ModelObject* outside = pavilion->ChildAt(k);
        const ModelObject* inside = pavilion->ChildAt(k + 1);
        ASSERT_EQ(ListCount(outside->WorldVertices), ListCount(inside->WorldVertices));
        for (int32_t i = 0; i < ListCount(outside->WorldVertices); ++i) {
            const FixedVector3* a = outside->WorldVertices->At<FixedVector3>(i);
            const FixedVector3* b = inside->WorldVertices->At<FixedVector3>(i);
            EXPECT_TRUE(a->x == b->x && a->y == b->y && a->z == b->z) << "corner " << i;
        }
        const ObjectGeometry* one = outside->GeometryAt(0);
        const ObjectGeometry* other = inside->GeometryAt(0);
        ASSERT_EQ(one->PolygonCount(), other->PolygonCount());
        for (int32_t i = 0; i < one->PolygonCount(); ++i) {
            const ShortVector3& n = one->PolygonAt(i)->WorldNormal;
            const ShortVector3& m = other->PolygonAt(i)->WorldNormal;
            EXPECT_LT(int32_t(n.x) * m.x + int32_t(n.y) * m.y + int32_t(n.z) * m.z, 0) << "face " << i;
        }
    }
    // The walls stand on the ground and reach the eaves, where the roof begins.
    EXPECT_EQ(Extent(pavilion->ChildAt(2), 2, false), Extent(root->ChildAt(0), 2, true));
    EXPECT_EQ(Extent(pavilion->ChildAt(4), 2, true), Extent(pavilion->ChildAt(0), 2, false));
    garden->Destroy();
}

TEST(HonestModels, LibraryPiecesAndStonesTouchTheirNeighbours)
{
    // One office on its slab, read back: each piece in the units it was drawn in, and after the
    // read the desks of an island side by side, the chairs and bookcases on the floor and the
    // bookcases side by side, within what the units' rescaling loses.
    const Bytes bytes = ModelFileBytes(BuildHonestOffices(1));
    ModelDocument* offices = ReadBack(bytes);
    ASSERT_NE(offices, nullptr);
    const ModelObject* root = offices->Holder->Root;
    EXPECT_EQ(Faces(root), 6 + 4 * 6 + 3 * 8 * 6 + 8 * (4 + 6 + 3) * 6);
    const ModelObject* floor = root->ChildAt(0)->ChildAt(0)->ChildAt(0);
    const Fixed slabTop = Extent(floor->ChildAt(0), 2, true);
    const ModelObject* office = floor->ChildAt(1);
    ASSERT_EQ(office->ChildCount(), 1 + 3 + 2);
    constexpr double kLost = 0.002;  // metres
    auto near = [](Fixed a, Fixed b) { return std::abs(Fix2X(a) - Fix2X(b)) < kLost; };
    for (int32_t b = 1; b < 3; ++b)
        EXPECT_TRUE(near(TreeExtent(office->ChildAt(b), 0, true), TreeExtent(office->ChildAt(b + 1), 0, false))) << b;
    const ModelObject* island = office->ChildAt(4);
    ASSERT_EQ(island->ChildCount(), 4 * 3);
    EXPECT_TRUE(near(TreeExtent(island->ChildAt(0), 0, true), TreeExtent(island->ChildAt(3), 0, false)));
    // Back to back: the desks facing north stand against those facing south.
    EXPECT_TRUE(near(TreeExtent(island->ChildAt(0), 1, true), TreeExtent(island->ChildAt(6), 1, false)));
    for (int32_t k = 0; k < 12; ++k) {
        if (k % 3 == 2) continue;  // the monitors stand on the desks
        EXPECT_TRUE(near(TreeExtent(island->ChildAt(k), 2, false), slabTop)) << k;
    }
    EXPECT_TRUE(near(TreeExtent(island->ChildAt(2), 2, false), TreeExtent(island->ChildAt(0), 2, true)));
    // Each chair's seat is pushed against its desk's front.
    EXPECT_TRUE(near(TreeExtent(island->ChildAt(1), 1, true), TreeExtent(island->ChildAt(0), 1, false)));
    int32_t units = 0;
    for (size_t at = 0; at + 4 <= bytes.size(); ++at)
        units += std::equal(bytes.begin() + long(at), bytes.begin() + long(at) + 4, "UNIT");
    // The root, the site, the building, the floor, the office, its two islands and its
    // 1 + 3 + 8 * 3 pieces.
    EXPECT_EQ(units, 5 + 2 + 1 + 3 + 8 * 3);
    offices->Destroy();

    // A wall of 40 courses of 50 blocks, every other course of 49 and two halves.
    ModelDocument* masonry = BuildHonestMasonry(1);
    const ModelObject* wall = masonry->Holder->Root->ChildAt(1)->ChildAt(0);
    ASSERT_EQ(wall->ChildCount(), 20 * 50 + 20 * 51);
    EXPECT_EQ(Faces(masonry->Holder->Root), 6 + 6 * 2020);
    EXPECT_EQ(Extent(wall->ChildAt(0), 0, true), Extent(wall->ChildAt(1), 0, false));
    EXPECT_EQ(Extent(wall->ChildAt(0), 2, true), Extent(wall->ChildAt(50), 2, false));
    const Fixed length = Extent(wall->ChildAt(0), 0, true) - Extent(wall->ChildAt(0), 0, false);
    EXPECT_EQ(Extent(wall->ChildAt(50), 0, true) - Extent(wall->ChildAt(50), 0, false), length / 2);
    EXPECT_EQ(Extent(wall->ChildAt(0), 2, false), Extent(masonry->Holder->Root->ChildAt(0), 2, true));
    masonry->Destroy();
}

TEST(HonestModels, TheMuseumsDoorwaysOpenOntoItsRoomsAndItsCasesHoldTheirPieces)
{
    // Four rooms, two by two: each has open doorways towards its two neighbours (and walls towards
    // the outside), a bench, and two glass cases on plinths each holding a piece.
    ModelDocument* document = ReadBack(ModelFileBytes(BuildHonestMuseum(4)));
    ASSERT_NE(document, nullptr);
    const ModelObject* galleries = document->Holder->Root->ChildAt(0);
    ASSERT_EQ(galleries->ChildCount(), 1 + 4);
    const struct {
        int16_t nx, ny;  // the normals of its doorways, seen from outside
    } doorways[4][2] = {{{256, 0}, {0, 256}}, {{0, 256}, {-256, 0}}, {{0, -256}, {256, 0}}, {{0, -256}, {-256, 0}}};
    for (int32_t r = 0; r < 4; ++r) {
        SCOPED_TRACE(r);
        const ModelObject* room = galleries->ChildAt(1 + r);
        ASSERT_EQ(room->ChildCount(), 5);
        const ObjectGeometry* walls = room->GeometryAt(0);
        std::vector<std::pair<int16_t, int16_t>> open;
        for (int32_t i = 0; i < walls->PolygonCount(); ++i) {
            const PolygonRecord* face = walls->PolygonAt(i);
            if (face->ColourCode == 0) open.push_back({face->WorldNormal.x, face->WorldNormal.y});
        }
        std::sort(open.begin(), open.end());
        std::vector<std::pair<int16_t, int16_t>> expected = {{doorways[r][0].nx, doorways[r][0].ny},
                                                            {doorways[r][1].nx, doorways[r][1].ny}};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(open, expected);
        for (int32_t c : {2, 4}) {
            const ModelObject* glassCase = room->ChildAt(c);
            EXPECT_EQ(glassCase->ChildCount(), 1);
            EXPECT_EQ(Faces(glassCase->ChildAt(0)), 256);
        }
    }
    document->Destroy();

    // The high street: its shops face each other across the street, their windows towards it; the
    // harbour: a boat at each berth, a group of its hull, cabin and mast.
    document = ReadBack(ModelFileBytes(BuildHonestHighStreet(4)));
    ASSERT_NE(document, nullptr);
    const ModelObject* street = document->Holder->Root->ChildAt(1);
    ASSERT_EQ(street->ChildCount(), 4);
    for (int32_t k = 0; k < 4; ++k) {
        const ObjectGeometry* shop = street->ChildAt(k)->GeometryAt(0);
        int32_t glass = 0;
        for (int32_t i = 0; i < shop->PolygonCount(); ++i) {
            const PolygonRecord* face = shop->PolygonAt(i);
            if (face->ColourCode != 0x4000) continue;
            ++glass;
            EXPECT_EQ(face->WorldNormal.y, k % 2 ? -256 : 256);
        }
        EXPECT_EQ(glass, 2);
    }
    document->Destroy();
    document = ReadBack(ModelFileBytes(BuildHonestHarbour(2)));
    ASSERT_NE(document, nullptr);
    const ModelObject* root = document->Holder->Root;
    const ModelObject* harbour = root->ChildAt(root->ChildCount() - 1);
    int32_t boats = 0;
    for (int32_t k = 0; k < harbour->ChildCount(); ++k) {
        if (harbour->ChildAt(k)->IsGroup() && harbour->ChildAt(k)->ChildCount() == 3) ++boats;
    }
    EXPECT_EQ(boats, 2);
    document->Destroy();
}

// Whether every face of the mesh, taken six at a time as the boxes it is made of, faces away from
// the middle of its box.
bool BoxesFaceOutwards(const ModelObject* mesh)
{
    const ObjectGeometry* geometry = mesh->GeometryAt(0);
    const auto corner = [&](const PolygonRecord* face, int32_t k) {
        return *mesh->WorldVertices->At<FixedVector3>(face->IndexAt(k));
    };
    for (int32_t box = 0; box + 6 <= geometry->PolygonCount(); box += 6) {
        double middle[3] = {};
        for (int32_t f = box; f < box + 6; ++f) {
            for (int32_t k = 0; k < 4; ++k) {
                const FixedVector3 p = corner(geometry->PolygonAt(f), k);
                middle[0] += Fix2X(p.x) / 24;
                middle[1] += Fix2X(p.y) / 24;
                middle[2] += Fix2X(p.z) / 24;
            }
        }
        for (int32_t f = box; f < box + 6; ++f) {
            const PolygonRecord* face = geometry->PolygonAt(f);
            const FixedVector3 p = corner(face, 0);
            const FixedVector3 q = corner(face, 2);
            const double outwards = face->WorldNormal.x * ((Fix2X(p.x) + Fix2X(q.x)) / 2 - middle[0]) +
                                    face->WorldNormal.y * ((Fix2X(p.y) + Fix2X(q.y)) / 2 - middle[1]) +
                                    face->WorldNormal.z * ((Fix2X(p.z) + Fix2X(q.z)) / 2 - middle[2]);
            if (outwards <= 0) return false;
        }
    }
    return true;
}

TEST(HonestModels, RoadsLieOverTheirGroundAndBridgesSpanTheRiver)
{
    // Two by two tiles: the ground of four tiles and two strips of water, four roads each way, a
    // bridge of a deck, its parapets and its piers on each road running east, the piers standing
    // on the river's bed.
    ModelDocument* document = ReadBack(ModelFileBytes(BuildHonestRoads(2)));
    ASSERT_NE(document, nullptr);
    const ModelObject* root = document->Holder->Root;
    ASSERT_EQ(root->ChildCount(), 3);
    const ModelObject* ground = root->ChildAt(0);
    ASSERT_EQ(ground->ChildCount(), 4 + 2);
    for (int32_t k = 0; k < ground->ChildCount(); ++k) {
        const ObjectGeometry* geometry = ground->ChildAt(k)->GeometryAt(0);
        EXPECT_EQ(geometry->PolygonCount(), k < 4 ? 64 * 64 : 6 * 16);
        for (int32_t i = 0; i < geometry->PolygonCount(); ++i) EXPECT_GT(geometry->PolygonAt(i)->WorldNormal.z, 200);
    }
    // The river lies in the middle, x = 0, the water 1.2 metres down.
    EXPECT_EQ(Extent(ground->ChildAt(4), 0, false), X2Fix(-36));
    EXPECT_EQ(Extent(ground->ChildAt(4), 2, true), X2Fix(-1.2));
    // Each road's surface faces up, its kerbs away from its middle: the pieces of the roads running
    // north lie whole on their tiles, those running east stop at the river's banks.
    const ModelObject* roads = root->ChildAt(1);
    ASSERT_EQ(roads->ChildCount(), 4 * 4 + 1);
    for (int32_t k = 0; k + 1 < roads->ChildCount(); ++k) {
        const ModelObject* piece = roads->ChildAt(k);
        const ObjectGeometry* geometry = piece->GeometryAt(0);
        const bool north = k % 2 == 0;
        SCOPED_TRACE(k);
        const double middle = (Fix2X(Extent(piece, north ? 0 : 1, false)) + Fix2X(Extent(piece, north ? 0 : 1, true))) / 2;
        for (int32_t i = 0; i < geometry->PolygonCount(); ++i) {
            const PolygonRecord* face = geometry->PolygonAt(i);
            if (i % 3 == 0) {
                EXPECT_GT(face->WorldNormal.z, 250);
                continue;
            }
            const FixedVector3* at = piece->WorldVertices->At<FixedVector3>(face->IndexAt(0));
            const double across = Fix2X(north ? at->x : at->y) - middle;
            EXPECT_GT((north ? face->WorldNormal.x : face->WorldNormal.y) * across, 0);
        }
    }
    const ModelObject* bridges = roads->ChildAt(roads->ChildCount() - 1);
    ASSERT_EQ(bridges->ChildCount(), 4 * 3);
    for (int32_t k = 0; k < bridges->ChildCount(); k += 3) {
        const ModelObject* deck = bridges->ChildAt(k);
        EXPECT_EQ(Extent(deck, 0, false), X2Fix(-70));
        EXPECT_EQ(Extent(deck, 0, true), X2Fix(70));
        EXPECT_TRUE(BoxesFaceOutwards(bridges->ChildAt(k + 1)));
        EXPECT_TRUE(BoxesFaceOutwards(bridges->ChildAt(k + 2)));
        EXPECT_LT(Extent(bridges->ChildAt(k + 2), 2, false), X2Fix(-3));
    }
    // Lamps and cars, none on the river's banks.
    const ModelObject* roadside = root->ChildAt(2);
    EXPECT_GT(roadside->ChildCount(), 100);
    for (int32_t k = 0; k < roadside->ChildCount(); ++k) {
        const ModelObject* thing = roadside->ChildAt(k);
        EXPECT_TRUE(BoxesFaceOutwards(thing)) << k;
        EXPECT_TRUE(Extent(thing, 0, true) < X2Fix(-70) || Extent(thing, 0, false) > X2Fix(70) ||
                    Extent(thing, 1, true) - Extent(thing, 1, false) > X2Fix(2))
            << k;
    }
    document->Destroy();
}

TEST(HonestModels, SeatsStandOnTheirTreadsFiguresSinkIntoThemselvesAndRoomsTouch)
{
    // Read back: each row of a section a group of its terrace (a tread and a riser for every four
    // seats) and its 24 seats, each standing on its tread and connected to it; a roof of two
    // meshes on the same corners, one seen from above and one from below.
    ModelDocument* stands = ReadBack(ModelFileBytes(BuildHonestStands(2, 2, true)));
    ASSERT_NE(stands, nullptr);
    const ModelObject* root = stands->Holder->Root;
    ASSERT_EQ(root->ChildCount(), 3);
    EXPECT_EQ(Faces(root), 4 * (2 * 6 + 24 * 8) + 2 * 128 * 6);
    const ModelObject* row = root->ChildAt(0)->ChildAt(3);
    ASSERT_EQ(row->ChildCount(), 25);
    ModelObject* terrace = row->ChildAt(0);
    for (int32_t tread = 0; tread < 6; ++tread) {
        const Surface* top = terrace->SurfaceOfFace(2 * tread);
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(ListCount(top->SiblingConnections), 4);
        EXPECT_EQ(terrace->GeometryAt(0)->FindPartById(2 * tread)->WorldNormal.z, 256);
    }
    for (int32_t k = 1; k < 25; ++k) EXPECT_EQ(Extent(row->ChildAt(k), 2, false), Extent(terrace, 2, false));
    const ModelObject* above = root->ChildAt(1);
    const ModelObject* below = root->ChildAt(2);
    EXPECT_EQ(above->GeometryAt(0)->PolygonAt(0)->WorldNormal.z, -below->GeometryAt(0)->PolygonAt(0)->WorldNormal.z);
    EXPECT_GT(above->GeometryAt(0)->PolygonAt(0)->WorldNormal.z, 0);
    for (int32_t axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(Extent(above, axis, false), Extent(below, axis, false));
        EXPECT_EQ(Extent(above, axis, true), Extent(below, axis, true));
    }
    stands->Destroy();

    // A figure on its plinth: the torso's, head's, arms' and legs' meshes, 12 x 12 faces each, sunk
    // into each other.
    ModelDocument* figures = BuildHonestFigures(1, 12);
    const ModelObject* figure = figures->Holder->Root->ChildAt(0);
    ASSERT_EQ(figure->ChildCount(), 7);
    EXPECT_EQ(Faces(figure), 6 + 6 * 12 * 12);
    const ModelObject* torso = figure->ChildAt(1);
    EXPECT_LT(Extent(figure->ChildAt(2), 2, false), Extent(torso, 2, true));
    EXPECT_LT(Extent(figure->ChildAt(4), 0, false), Extent(torso, 0, true));
    EXPECT_GT(Extent(figure->ChildAt(4), 0, true), Extent(torso, 0, true));
    EXPECT_GT(Extent(figure->ChildAt(5), 2, true), Extent(torso, 2, false));
    EXPECT_EQ(Extent(figure->ChildAt(5), 2, false), Extent(figure->ChildAt(0), 2, true));
    figures->Destroy();

    // The campus: a chair's leg nine groups deep; rooms side by side, their walls touching.
    ModelDocument* campus = BuildHonestCampus(1);
    const ModelObject* wing = campus->Holder->Root->ChildAt(0)->ChildAt(0)->ChildAt(0)->ChildAt(0)->ChildAt(0)->ChildAt(0);
    ASSERT_EQ(wing->ChildCount(), 8);
    const ModelObject* leg = wing->ChildAt(0)->ChildAt(3)->ChildAt(1)->ChildAt(1)->ChildAt(0);
    EXPECT_FALSE(leg->IsGroup());
    EXPECT_EQ(Faces(leg), 6);
    for (int32_t k = 0; k + 1 < 8; ++k) {
        EXPECT_NEAR(Fix2X(Extent(wing->ChildAt(k)->ChildAt(1)->ChildAt(0), 0, true)),
                    Fix2X(Extent(wing->ChildAt(k + 1)->ChildAt(1)->ChildAt(0), 0, false)), 1e-3);
    }
    campus->Destroy();
}
