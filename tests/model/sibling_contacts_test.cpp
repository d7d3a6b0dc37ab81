// Contacts between many sibling objects found as trying every pair finds them, in the samples as
// read, in a large group and as objects are appended one at a time; the grids that find the
// candidates; a group's box as children join.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "model/box_grid.h"
#include "model/model_document.h"
#include "model/object_geometry.h"
#include "model/units_record.h"
#include "tests/model/model_test_support.h"
#include "tests/model/pairwise_contacts.h"
#include "tools/sample_scenes.h"

namespace {

// The document's file read back into a new document.
ModelDocument* ReadBack(ModelDocument* document)
{
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(WriteModelFile(document, &out), kResultOk);
    MemoryStream in;
    Load(in, Contents(out));
    ModelDocument* copy = new ModelDocument;
    EXPECT_EQ(copy->Init(), kResultOk);
    EXPECT_EQ(copy->ReadModelFile(&in), kResultOk);
    return copy;
}

std::vector<int32_t> OverlappingByEveryPair(const std::vector<GridBox>& boxes, const GridBox& box)
{
    std::vector<int32_t> indices;
    for (size_t i = 0; i < boxes.size(); ++i)
        if (GridBoxesOverlap(box, boxes[i])) indices.push_back(int32_t(i));
    return indices;
}

}  // namespace

TEST(SiblingContacts, SamplesReadBackWithThePairwiseContacts)
{
    int32_t count = 0;
    const SampleScene* scenes = SampleScenes(&count);
    int64_t entries = 0;
    for (int32_t i = 0; i < count; ++i) {
        SCOPED_TRACE(scenes[i].fileName);
        ModelDocument* sample = scenes[i].build();
        ModelDocument* copy = ReadBack(sample);
        entries += pairwise::ExpectReaderContacts(copy->Holder->Root);
        copy->Destroy();
        sample->Destroy();
    }
    EXPECT_GT(entries, 20);
}

TEST(SiblingContacts, AGroupOfManyObjectsMeetsAsEveryPairWould)
{
    // Blocks of boxes of many sizes, touching, overlapping, apart and stacked, a slab under half
    // of them, a nested group and a polygon object, joined to the world root as a group; then a
    // box that joins the root on its own.
    Scene scene;
    std::mt19937 random(7);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    ModelObject* inner = scene.holder()->MakeObject();
    inner->SetGroup();
    for (int32_t i = 0; i < 400; ++i) {
        const int32_t x = (i % 20) * 12 + between(-2, 2);
        const int32_t y = (i / 20) * 12 + between(-2, 2);
        const int32_t size = between(1, 14);
        const int32_t z = i % 7 == 0 ? between(0, 20) : 0;
        (i % 9 == 0 ? inner : group)->AddChild(MakeBox(scene.holder(), x, y, z, x + size, y + size, z + between(1, 30)));
    }
    group->AddChild(inner);
    group->AddChild(MakeBox(scene.holder(), -5, -5, -3, 120, 240, 0));
    group->AddChild(MakeTetrahedron(scene.holder(), 9, 50, 50, 2));
    scene.root()->AddChild(group);
    scene.AddBox(100, 100, 0, 130, 130, 50);
    EXPECT_GT(pairwise::ExpectReaderContacts(scene.root()), 1000);
}

TEST(SiblingContacts, ObjectsReadDirectlyUnderTheRootMeetAsEveryPairWould)
{
    // Boxes of many sizes directly under the root, among them groups and boxes with boxes of
    // their own under them, written and read back: the root's and each box's children are
    // searched together once read.
    Scene scene;
    std::mt19937 random(5);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    ModelObject* group = nullptr;
    for (int32_t i = 0; i < 300; ++i) {
        const int32_t x = (i % 15) * 12 + between(-2, 2);
        const int32_t y = (i / 15) * 12 + between(-2, 2);
        const int32_t size = between(1, 14);
        ModelObject* box = MakeBox(scene.holder(), x, y, 0, x + size, y + size, between(1, 30));
        if (i % 25 == 0) {
            group = scene.holder()->MakeObject();
            group->SetGroup();
            scene.root()->AddChild(group);
        }
        if (i % 25 < 4) {
            group->AddChild(box);
        } else {
            scene.root()->AddChild(box);
            if (i % 11 == 0) {
                box->AddChild(MakeBox(scene.holder(), x - 1, y - 1, 20, x + 6, y + 6, 40));
                box->AddChild(MakeBox(scene.holder(), x + 4, y + 4, 30, x + 9, y + 9, 45));
            }
        }
    }
    scene.AddBox(-5, -5, -3, 200, 260, 0);
    MemoryStream in;
    Load(in, WriteWith(scene.root(), &ModelObject::StreamRoot));
    Scene copy;
    ASSERT_EQ(copy.root()->StreamRoot(&in), kResultOk);
    ASSERT_EQ(copy.root()->ChildCount(), scene.root()->ChildCount());
    EXPECT_GT(pairwise::ExpectReaderContacts(copy.root()), 1000);
}

TEST(SiblingContacts, ObjectsAppendedOneAtATimeMeetAsEveryPairWould)
{
    // Boxes appended under the root one by one, which keeps the siblings' bounds between appends.
    // Then a box is moved, one destroyed, one added to a group among them; a box leaves the group
    // and a box's bounds grow by a polygon element, each followed by appended boxes. The boxes
    // appended after those changes have the contacts of every pair tried in sibling order.
    Scene scene;
    std::mt19937 random(3);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    auto makeBoxAt = [&](int32_t i) {
        const int32_t x = (i % 16) * 12 + between(-2, 2);
        const int32_t y = (i / 16) * 12 + between(-2, 2);
        const int32_t size = between(1, 14);
        return MakeBox(scene.holder(), x, y, 0, x + size, y + size, between(1, 30));
    };
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    ModelObject* leaving = makeBoxAt(39);
    group->AddChild(leaving);
    group->AddChild(makeBoxAt(40));
    for (int32_t i = 0; i < 150; ++i) scene.root()->AddChild(i == 40 ? group : makeBoxAt(i));
    scene.root()->ChildAt(10)->TranslateObject(IntToFixed(30), IntToFixed(20), 0);
    scene.root()->ChildAt(20)->Destroy();
    group->AddChild(makeBoxAt(41));

    // The contacts of boxes appended now, against those of every pair tried afresh.
    auto appendAndCompare = [&](int32_t count, auto placeOf) {
        std::vector<ModelObject*> appended;
        for (int32_t i = 0; i < count; ++i) {
            appended.push_back(makeBoxAt(placeOf(i)));
            scene.root()->AddChild(appended.back());
        }
        std::vector<std::vector<ContactEntry>> found, expected;
        for (ModelObject* box : appended) pairwise::Take(box, &found);
        pairwise::Clear(scene.root());
        pairwise::SearchAsRead(scene.root());
        for (ModelObject* box : appended) pairwise::Take(box, &expected);
        return pairwise::ExpectSame(found, expected);
    };
    scene.root()->AddChild(makeBoxAt(150));
    group->RemoveChild(leaving);
    EXPECT_GT(appendAndCompare(40, [](int32_t i) { return i == 0 ? 39 : 10 + i; }), 80);
    // An element on the top of box 60 reaching some 40 units past it on every side.
    ASSERT_NE(AddFaceElement(scene.root()->ChildAt(60), 0, 0, 0, 100, 100, 0, 0, 0, {0, 0, 0}, 0xFFFF), nullptr);
    EXPECT_GT(appendAndCompare(40, [](int32_t i) { return 40 + i; }), 80);
    leaving->Destroy();
}

TEST(SiblingContacts, ObjectsRebuiltInOtherUnitsMeetAsWhenEachIsBuiltAgainInTurn)
{
    // A box in feet under a root in metres holds boxes of many sizes, some in groups, one with
    // boxes of its own. Rebuilt in the root's units as the box joins it, they meet as when each is
    // built again in sibling order (groups opened), and are the box's members in that order.
    std::mt19937 random(17);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    UnitsRecord metres;
    metres.UnitsInit();
    UnitsRecord feet;
    feet.UnitsInit();
    feet.UnitsSet(0.3048);
    Scene written;
    written.root()->SetUnits(&metres);
    ModelObject* outer = MakeBox(written.holder(), -10, -10, -10, 0, 0, 0);
    outer->SetUnits(&feet);
    ModelObject* group = nullptr;
    for (int32_t i = 0; i < 200; ++i) {
        const int32_t x = (i % 14) * 12 + between(-2, 2);
        const int32_t y = (i / 14) * 12 + between(-2, 2);
        const int32_t size = between(8, 14);
        ModelObject* box = MakeBox(written.holder(), x, y, 0, x + size, y + size, size);
        if (i % 20 == 0) {
            group = written.holder()->MakeObject();
            group->SetGroup();
            outer->AddChild(group);
        }
        (i % 20 < 5 ? group : outer)->AddChild(box);
        if (i == 77) box->AddChild(MakeBox(written.holder(), x, y, 10, x + 5, y + 5, 20));
    }
    MemoryStream in;
    Load(in, WriteWith(written.root(), &ModelObject::StreamRoot) + Chunk("PRSM", WriteWith(outer, &ModelObject::Write)));
    outer->Destroy();
    Scene read;
    ASSERT_EQ(read.root()->StreamRoot(&in), kResultOk);
    ModelObject* box = read.root()->ChildAt(0);
    auto taken = [box](std::vector<std::vector<ContactEntry>>* lists, std::vector<ModelObject*>* members) {
        for (int32_t i = 0; i < box->ChildCount(); ++i) pairwise::Take(box->ChildAt(i), lists);
        for (int32_t i = 0; i < ListCount(box->Geometry->Members); ++i)
            members->push_back(PointerAt<ObjectGeometry>(box->Geometry->Members, i)->Owner);
    };
    std::vector<std::vector<ContactEntry>> found, expected;
    std::vector<ModelObject*> members, expectedMembers;
    taken(&found, &members);
    for (int32_t i = 0; i < box->ChildCount(); ++i) {
        ModelObject* child = box->ChildAt(i);
        for (int32_t k = 0; k < (child->IsGroup() ? child->ChildCount() : 1); ++k)
            (child->IsGroup() ? child->ChildAt(k) : child)->Build();
    }
    taken(&expected, &expectedMembers);
    EXPECT_GT(pairwise::ExpectSame(found, expected), 400);
    EXPECT_EQ(members, expectedMembers);
}

TEST(BoxGrid, OverlappingFindsWhatEveryPairTestFinds)
{
    std::mt19937 random(11);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    auto boxAt = [&](int32_t x, int32_t y, int32_t z, int32_t size) {
        return GridBox{{x, y, z}, {x + size, y + between(0, size), z + between(0, size)}};
    };
    std::vector<GridBox> boxes;
    for (int32_t i = 0; i < 600; ++i) boxes.push_back(boxAt(between(-5000, 5000), between(-5000, 5000), between(-50, 50), between(0, 300)));
    // A point, a box over everything and one far away; then a box three times over and the point
    // two hundred times more, as many objects without faces lie at the origin.
    boxes.push_back({{10, 10, 10}, {10, 10, 10}});
    boxes.push_back({{-70000, -70000, -70000}, {70000, 70000, 70000}});
    boxes.push_back({{60000, 60000, 60000}, {60001, 60001, 60001}});
    for (int32_t i = 0; i < 3; ++i) boxes.push_back(boxes[7]);
    for (int32_t i = 0; i < 200; ++i) boxes.push_back(boxes[600]);
    BoxGrid grid;
    grid.FileBoxes(boxes);
    std::vector<GridBox> queries(boxes.begin(), boxes.end());
    for (int32_t i = 0; i < 200; ++i) queries.push_back(boxAt(between(-9000, 9000), between(-9000, 9000), between(-300, 300), between(0, 2000)));
    // Wholly outside the filed boxes' range on each side, touching an edge exactly.
    queries.push_back({{-90000, -90000, -90000}, {-80000, -80000, -80000}});
    queries.push_back({{70000, 70000, 70000}, {70000, 70000, 70000}});
    std::vector<int32_t> found;
    for (const GridBox& query : queries) {
        grid.Overlapping(query, &found);
        ASSERT_EQ(found, OverlappingByEveryPair(boxes, query));
    }
    grid.Overlapping(boxes[600], &found);
    EXPECT_EQ(std::count(found.begin(), found.end(), 601), 1);
    // Equal points are filed once: a point searched for takes as many steps with two hundred more
    // at its spot, which it does not overlap, as without them.
    BoxGrid fewer;
    fewer.FileBoxes(std::vector<GridBox>(boxes.begin(), boxes.end() - 200));
    EXPECT_EQ(grid.Overlapping(boxes.back(), &found), fewer.Overlapping(boxes.back(), &found));

    BoxGrid empty;
    empty.FileBoxes({});
    empty.Overlapping(boxes[0], &found);
    EXPECT_TRUE(found.empty());
}

TEST(BoxGrid, BoxesTooLargeForTheCellsAreKeptApartFromThem)
{
    // A thousand small boxes apart and a hundred over all of them: filed under every cell and
    // walking them all, the large ones would take a hundred times the cells; kept apart, filing
    // and searching for every box take steps in proportion to the boxes and those found.
    std::vector<GridBox> boxes;
    for (int32_t i = 0; i < 1000; ++i) boxes.push_back({{i % 40 * 20, i / 40 * 20, 0}, {i % 40 * 20 + 5, i / 40 * 20 + 5, 5}});
    for (int32_t i = 0; i < 100; ++i) boxes.push_back({{-3000 + i, -3000, -3000}, {3000, 3000, 3000}});
    BoxGrid grid;
    int64_t steps = grid.FileBoxes(boxes);
    int64_t reported = 0;
    std::vector<int32_t> found;
    for (const GridBox& box : boxes) {
        steps += grid.Overlapping(box, &found);
        reported += int64_t(found.size());
        ASSERT_EQ(found, OverlappingByEveryPair(boxes, box));
    }
    EXPECT_EQ(reported, 1000 * 101 + 100 * 1100);
    EXPECT_LT(steps, 3 * reported + 20 * int64_t(boxes.size()));

    // Floors side by side, each too large for the cells of the small boxes on it: the floors are
    // filed in cells of their own, and a search compares a box with the floors near it, not with
    // every floor.
    std::vector<GridBox> floors;
    for (int32_t f = 0; f < 100; ++f) {
        const int32_t x = f % 10 * 800;
        const int32_t y = f / 10 * 800;
        floors.push_back({{x, y, 0}, {x + 600, y + 600, 600}});
        for (int32_t i = 0; i < 250; ++i)
            floors.push_back({{x + i % 16 * 36, y + i / 16 * 36, 10}, {x + i % 16 * 36 + 4, y + i / 16 * 36 + 4, 14}});
    }
    BoxGrid floorGrid;
    steps = floorGrid.FileBoxes(floors);
    reported = 0;
    for (size_t i = 0; i < floors.size(); ++i) {
        steps += floorGrid.Overlapping(floors[i], &found);
        reported += int64_t(found.size());
        if (i % 25 == 0) {
            ASSERT_EQ(found, OverlappingByEveryPair(floors, floors[i]));
        }
    }
    EXPECT_EQ(reported, 100 * 251 + 100 * 250 * 2);
    EXPECT_LT(steps, 3 * reported + 40 * int64_t(floors.size()));
}

TEST(BoxGrid, AGrowingGridFindsWhatEveryPairTestFindsAfterEachAppend)
{
    // Small and large boxes, a point a hundred times and one over everything, each followed by a
    // query: the appended boxes are tried one by one at first, then filed in runs that merge.
    std::mt19937 random(13);
    auto between = [&](int32_t low, int32_t high) { return std::uniform_int_distribution<int32_t>(low, high)(random); };
    auto boxAt = [&](int32_t x, int32_t y, int32_t size) {
        return GridBox{{x, y, 0}, {x + size, y + between(0, size), between(0, size)}};
    };
    GrowingBoxGrid grid;
    std::vector<GridBox> boxes;
    std::vector<int32_t> found;
    for (int32_t i = 0; i < 700; ++i) {
        const GridBox box = i >= 300 && i < 400 ? GridBox{{5, 5, 5}, {5, 5, 5}}
                            : i == 500 ? GridBox{{-70000, -70000, -70000}, {70000, 70000, 70000}}
                                       : boxAt(between(-3000, 3000), between(-3000, 3000), between(0, i % 10 == 0 ? 2000 : 100));
        grid.Append(box);
        boxes.push_back(box);
        ASSERT_EQ(grid.Count(), i + 1);
        const GridBox query = boxAt(between(-3000, 3000), between(-3000, 3000), between(0, 600));
        grid.Overlapping(query, &found);
        ASSERT_EQ(found, OverlappingByEveryPair(boxes, query)) << "after " << i + 1 << " boxes";
        grid.Overlapping(box, &found);
        ASSERT_EQ(found, OverlappingByEveryPair(boxes, box)) << "after " << i + 1 << " boxes";
    }
}

TEST(GroupBounds, AGroupSpansItsChildrenFromTheFirstOne)
{
    Scene scene;
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    ModelObject* far = MakeBox(scene.holder(), 100, 200, 300, 110, 220, 330);
    group->AddChild(far);
    // Not widened to the new group's empty box at the origin.
    EXPECT_EQ(group->WorldBox, far->WorldBox);
    ModelObject* near = MakeBox(scene.holder(), -10, -20, -30, 0, 0, 0);
    group->AddChild(near);
    EXPECT_EQ(group->WorldBox, (ShortBox{{-10, -20, -30}, {110, 220, 330}}));
    group->RemoveChild(far);
    EXPECT_EQ(group->WorldBox, near->WorldBox);
    far->Destroy();
    // A group in feet whose last child is a group joins a root in metres: rebuilt in the root's
    // units, each group spans its children as they are rebuilt.
    UnitsRecord units;
    units.UnitsInit();
    scene.root()->SetUnits(&units);
    group->SetUnits(units.UnitsSet(0.3048));
    ModelObject* inner = scene.holder()->MakeObject();
    inner->SetGroup();
    inner->AddChild(MakeBox(scene.holder(), 100, 200, 300, 110, 220, 330));
    group->AddChild(inner);
    scene.root()->AddChild(group);
    EXPECT_EQ(inner->WorldBox, inner->ChildAt(0)->WorldBox);
    ShortBox spanned = near->WorldBox;
    UniteShortBox(spanned, inner->WorldBox);
    EXPECT_EQ(group->WorldBox, spanned);
}
