// The scene tree's chunks: exact bytes of each chunk kind, round trips, the validator's
// skipping rules, children that are dropped or kept past a stop, connections, and hostile counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "foundation/pointer_list.h"
#include "foundation/typed_value.h"
#include "foundation/version_chunk.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/object_geometry.h"
#include "model/object_stream.h"
#include "model/plane_record.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/texture_services.h"
#include "model/transform.h"
#include "model/units_record.h"
#include "tests/model/model_test_support.h"
#include "tools/sample_scenes.h"

namespace {

Bytes PolyData(uint8_t axis, uint8_t kind, int16_t segments, int32_t height0, int32_t height1,
               std::initializer_list<std::pair<int32_t, int32_t>> points, int32_t count = INT32_MIN)
{
    Bytes data = Word16(1);
    data.push_back(axis);
    data.push_back(kind);
    Append(data, Word16(uint16_t(segments)));
    Append(data, Word32(uint32_t(IntToFixed(height0))));
    Append(data, Word32(uint32_t(IntToFixed(height1))));
    Append(data, Bytes(16, 0));
    Append(data, Word16(uint16_t(count == INT32_MIN ? int32_t(points.size()) : count)));
    for (const auto& p : points) {
        Append(data, Word32(uint32_t(IntToFixed(p.first))));
        Append(data, Word32(uint32_t(IntToFixed(p.second))));
    }
    return data;
}

Bytes IdentityPosition()
{
    Bytes data(36, 0);
    for (int i = 0; i < 3; ++i) Append(data, Word32(0x00010000));
    return data;
}

// A prism chunk body: colour, primitive record, position.
Bytes PrismBody()
{
    Bytes body = Chunk("COLR", {0, 0, 0, 0, 0xFF, 0, 0, 0});
    Append(body, Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)));
    Append(body, Chunk("POSN", IdentityPosition()));
    return body;
}

ResultCode ReadRoot(Scene& scene, const Bytes& body)
{
    MemoryStream in;
    Load(in, body);
    return scene.root()->StreamRoot(&in);
}

// Reads each body as that of a prism under the root: the read succeeds or fails as `readsOk`
// says, and leaves no child either way.
void ExpectNoChildFrom(const std::vector<Bytes>& bodies, bool readsOk)
{
    for (size_t i = 0; i < bodies.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "body " << i);
        Scene scene;
        const ResultCode result = ReadRoot(scene, Chunk("PRSM", bodies[i]));
        EXPECT_EQ(result == kResultOk, readsOk) << "result " << result;
        EXPECT_EQ(scene.root()->ChildCount(), 0);
    }
}

// Gives the node units of its own of the length (metres), rescaling its subtree into them.
void GiveOwnUnits(ModelObject* node, double metres)
{
    UnitsRecord units;
    units.UnitsInit();
    units.UnitsSet(metres);
    node->SetUnits(&units);
}

// Writes a root holding, when `outer` is above 0, a group in those units (metres), in it `plain`
// groups one in another without units of their own, and in the innermost a centimetre group of
// a box from (254, 127, 0) to (508, 254, 508) centimetres, each group taking its units once it
// has joined its parent, as a model is made; reads that back and answers the smallest and the
// largest x, y and z of the box's world vertices.
std::array<Fixed, 6> NestedBoxBoundsReadBack(double outer, int32_t plain)
{
    Scene scene;
    ModelObject* parent = scene.root();
    auto addGroup = [&](double metres) {
        ModelObject* group = scene.holder()->MakeObject();
        group->SetGroup();
        parent->AddChild(group);
        if (metres > 0) GiveOwnUnits(group, metres);
        parent = group;
    };
    if (outer > 0) addGroup(outer);
    for (int32_t k = 0; k < plain; ++k) addGroup(0);
    addGroup(0.01);
    parent->AddChild(MakeBox(scene.holder(), 254, 127, 0, 508, 254, 508));
    Scene copy;
    EXPECT_EQ(ReadRoot(copy, WriteWith(scene.root(), &ModelObject::StreamRoot)), kResultOk);
    const ModelObject* node = copy.root();
    while (node->ChildCount() > 0) node = node->ChildAt(0);
    EXPECT_EQ(ListCount(node->WorldVertices), 8);
    std::array<Fixed, 6> b = {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MIN};
    for (int32_t i = 0; i < ListCount(node->WorldVertices); ++i) {
        const FixedVector3 v = VertexAt(node->WorldVertices, i);
        const Fixed c[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k) {
            b[k] = std::min(b[k], c[k]);
            b[k + 3] = std::max(b[k + 3], c[k]);
        }
    }
    return b;
}

}  // namespace

TEST(ObjectStream, PrimitiveChunksByteForByte)
{
    Scene scene;
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Bytes expected = Chunk("COLR", {0, 0, 0, 0, 0xFF, 0, 0, 0});
    Append(expected, Chunk("PLGR", {0, 0}));
    Append(expected, Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)));
    Append(expected, Chunk("POSN", IdentityPosition()));
    EXPECT_EQ(WriteWith(prism, &ModelObject::Stream), expected);

    // Names, data and texts of odd length get their pad byte; own units and lights come first.
    prism->SetName("Cube5", 5);
    prism->SetData("abc", 3);
    prism->SetVranText("v");
    prism->SetColours({0x1200, 0x3400, 0x5600}, 0x7F00, kSideBoth);
    prism->SetSideAttribute(1, kSideBack);
    UnitsRecord units;
    units.UnitsInit();
    prism->SetUnits(&units);
    prism->SetLights(NewLightList());
    Bytes full = Chunk("NAME", {'C', 'u', 'b', 'e', '5'});
    Append(full, Chunk("DATA", {'a', 'b', 'c'}));
    Append(full, Chunk("UNIT", {0x3F, 0xF0, 0, 0, 0, 0, 0, 0}));
    Append(full, Chunk("LGHT", {0, 0}));
    Append(full, Chunk("COLR", {0, 0x12, 0x34, 0x56, 0x7F, 0x12, 0x34, 0x56}));
    Append(full, Chunk("PLGR", {0, 1}));
    Append(full, Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)));
    Append(full, Chunk("POSN", IdentityPosition()));
    Append(full, Chunk("VRAN", {'v'}));
    EXPECT_EQ(WriteWith(prism, &ModelObject::Stream), full);
    EXPECT_EQ(full[8 + 5], 0);  // the pad byte after the name
    prism->Destroy();
}

TEST(ObjectStream, MeshSlicesAndSurfacesByteForByte)
{
    Scene scene;
    ModelObject* mesh = MakeTetrahedron(scene.holder(), 1, 0, 0, 0);
    PlaneRecord* plane = mesh->NewPlaneRecord();
    plane->SetPlane(0, 0, -kFixedOne, kFixedHalf);
    mesh->EnsureSliceList();
    AppendPointer(mesh->Slices, plane);
    mesh->Build();
    Surface* surface = mesh->SurfaceForFace(1);
    surface->SetSurfaceColour({0xAB00, 0xCD00, 0xEF00}, 0x1200, kSideBoth);
    surface->SetSurfaceSideAttribute(1, kSideFront);
    surface->SetSurfaceVranText("xy");
    mesh->SurfaceForFace(2);  // a surface without data is not stored

    Bytes meshData = Word16(4);
    const int32_t one = 0x10000;
    for (const Bytes& v : {Bytes(12, 0), Word32(one), Word32(0), Word32(0)}) (void)v;
    const int32_t points[4][3] = {{0, 0, 0}, {one, 0, 0}, {0, one, 0}, {0, 0, one}};
    for (const auto& p : points) {
        for (int32_t c : p) Append(meshData, Word32(uint32_t(c)));
    }
    Append(meshData, Word16(4));
    const int16_t faces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
    for (const auto& f : faces) {
        Append(meshData, Word16(3));
        for (int16_t i : f) Append(meshData, Word16(uint16_t(i)));
    }
    Bytes slices = Word16(1);
    for (uint32_t v : {0u, 0u, uint32_t(-kFixedOne), uint32_t(kFixedHalf)}) Append(slices, Word32(v));
    Bytes surf = Word16(1);
    Append(surf, Chunk("COLR", {0, 2, 0, 0xAB, 0xCD, 0xEF, 0x12, 0xAB, 0xCD, 0xEF}));
    Append(surf, Chunk("SUGR", {0, 1, 1}));
    Append(surf, Chunk("VRAN", {'x', 'y'}));

    Bytes expected = Chunk("COLR", {0, 0, 0, 0, 0xFF, 0, 0, 0});
    Append(expected, Chunk("PLGR", {0, 0}));
    Append(expected, Chunk("MESH", meshData));
    Append(expected, Chunk("SLIC", slices));
    Append(expected, Chunk("SURF", surf));
    Append(expected, Chunk("POSN", IdentityPosition()));
    const Bytes written = WriteWith(mesh, &ModelObject::Stream);
    EXPECT_EQ(written, expected);

    // Read back into a fresh node and written again: the same bytes.
    ModelObject* back = scene.holder()->MakeObject();
    MemoryStream in;
    Load(in, written);
    ASSERT_EQ(back->Stream(&in), kResultOk);
    EXPECT_EQ(back->Type, kObjectPolygon);
    EXPECT_EQ(back->SliceCount(), 1);
    const Surface* read = PointerAt<Surface>(back->Surfaces, 1);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Flags, 0x1005);
    EXPECT_EQ(read->ColourCode, 0x1200);
    EXPECT_EQ(WriteWith(back, &ModelObject::Stream), written);
    back->Destroy();
    mesh->Destroy();
}

TEST(ObjectStream, GroupRootAndConnectionsByteForByte)
{
    Scene scene;
    ModelObject* group = scene.holder()->MakeObject();
    group->SetGroup();
    group->SetName("G", 1);
    group->SetVranText("vr");
    ModelObject* left = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    ModelObject* right = MakeBox(scene.holder(), 10, 0, 0, 20, 10, 10);
    group->AddChild(left);
    group->AddChild(right);
    left->AddFaceContact(3, right, 1);  // the east face of the left box on the west face of the right
    scene.root()->AddChild(group);

    const Bytes leftBody = WriteWith(left, &ModelObject::Stream);
    const Bytes rightBody = WriteWith(right, &ModelObject::Stream);
    Bytes groupExpected = Chunk("NAME", {'G'});
    Append(groupExpected, Chunk("VRAN", {'v', 'r'}));
    Append(groupExpected, Chunk("POSN", IdentityPosition()));
    Append(groupExpected, Chunk("PRSM", leftBody));
    Append(groupExpected, Chunk("PRSM", rightBody));
    Append(groupExpected, Chunk("CONN", {0, 1, 0, 0, 0, 3, 0, 1, 0, 1}));
    EXPECT_EQ(WriteWith(group, &ModelObject::StreamGroup), groupExpected);

    Bytes rootExpected = Chunk("COLR", Bytes(8, 0));
    Append(rootExpected, Chunk("PGRP", groupExpected));
    EXPECT_EQ(WriteWith(scene.root(), &ModelObject::StreamRoot), rootExpected);

    // Read back: the same tree, the connection restored on both sides, the same bytes again.
    Scene copy;
    ASSERT_EQ(ReadRoot(copy, rootExpected), kResultOk);
    ASSERT_EQ(copy.root()->ChildCount(), 1);
    ModelObject* readGroup = copy.root()->ChildAt(0);
    ASSERT_EQ(readGroup->ChildCount(), 2);
    const Surface* east = readGroup->ChildAt(0)->SurfaceOfFace(3);
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(east->IsConnected(readGroup->ChildAt(1), readGroup->ChildAt(1)->SurfaceOfFace(1), kRelationSibling), 1);
    EXPECT_EQ(WriteWith(copy.root(), &ModelObject::StreamRoot), rootExpected);
    // The boxes touch: each holds a contact with the other.
    EXPECT_EQ(readGroup->ChildAt(0)->Geometry->ContactCount(), 1);
    EXPECT_EQ(readGroup->ChildAt(0)->Geometry->ContactOther(0), readGroup->ChildAt(1)->Geometry);
}

TEST(ObjectStream, PositionReadsByItsLength)
{
    Scene scene;
    Bytes full = Bytes(12, 0);
    for (uint32_t v : {0x00010000u, 0u, 0u}) Append(full, Word32(v));  // a rotation of 1.0 about Y
    Append(full, Bytes(12, 0));
    for (int i = 0; i < 3; ++i) Append(full, Word32(0x00020000));
    Bytes flat;
    for (uint32_t v : {0x00050000u, 0x00060000u, 0u, 0u, 0x00020000u, 0x00030000u}) Append(flat, Word32(v));
    struct Case {
        Bytes position;
        Fixed x, scaleY, ay;
    } cases[] = {{full, 0, 0x20000, 0x10000}, {flat, 0x50000, 0x30000, 0}, {{}, 0, 0x10000, 0}};
    for (const Case& c : cases) {
        Bytes body = Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare));
        Append(body, Chunk("POSN", c.position));
        ModelObject* node = scene.holder()->MakeObject();
        MemoryStream in;
        Load(in, body);
        ASSERT_EQ(node->Stream(&in), kResultOk);
        EXPECT_EQ(node->WorldTransform->Position[0], c.x);
        EXPECT_EQ(node->WorldTransform->Scale[1], c.scaleY);
        EXPECT_EQ(node->WorldTransform->Rotation[0], c.ay);
        EXPECT_EQ(node->LocalTransform->Scale[1], c.scaleY);
        node->Destroy();
    }
}

TEST(ObjectStream, ValidatorSkipsRepeatedLateAndForeignChunks)
{
    Scene scene;
    Bytes body = Chunk("NAME", {'A', 'b', 'c', 'd', 'e'});
    Append(body, Chunk("COLR", {0, 0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30}));
    Append(body, Chunk("COLR", {0, 0x99, 0x99, 0x99, 0xFF, 0x99, 0x99, 0x99}));  // repeated: skipped
    Append(body, Chunk("PRSM", PrismBody()));  // before the geometry: skipped
    Append(body, Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)));
    Append(body, Chunk("MESH", {0, 0, 0, 0}));  // second geometry: skipped
    Append(body, Chunk("ZZZZ", {1, 2, 3}));
    Append(body, Chunk("\x00\x00\x00\x01", {}));  // the tag of no chunk: skipped, the node not built
    Append(body, Chunk("SURF", Word16(6)));  // face 6 does not exist
    Bytes surf = Word16(2);
    Append(surf, Chunk("COLR", {0, 1, 0xFF, 0x40, 0x40, 0x40}));
    Append(body, Chunk("SURF", surf));
    Bytes again = Word16(2);
    Append(again, Chunk("COLR", {0, 1, 0xFF, 0x80, 0x80, 0x80}));
    Append(body, Chunk("SURF", again));  // the face is taken: skipped
    Append(body, Chunk("PRSM", PrismBody()));
    Append(body, Chunk("NAME", {'l', 'a', 't', 'e'}));  // after the first child: skipped
    Append(body, Chunk("SURF", surf));  // after the first child: skipped

    ModelObject* node = scene.holder()->MakeObject();
    MemoryStream in;
    Load(in, body);
    ASSERT_EQ(node->Stream(&in), kResultOk);
    EXPECT_EQ(node->Type, kObjectPrimitive);
    EXPECT_EQ(node->NameText()->ArrayCount(), 5);
    EXPECT_EQ(node->FrontColour.red, 0x1000);
    EXPECT_EQ(node->ChildCount(), 1);
    ASSERT_NE(node->SurfaceOfFace(2), nullptr);
    EXPECT_EQ(node->SurfaceOfFace(2)->FrontColour.red, 0x4000);
    EXPECT_EQ(node->Geometry->PolygonCount(), 6);
    EXPECT_EQ(scene.holder()->Budget.Spent(ReadCost::kFaces), 12) << "the node and its child built once each";
    node->Destroy();

    // A group without children is still built.
    Scene groups;
    ASSERT_EQ(ReadRoot(groups, Chunk("PGRP", Chunk("NAME", {'g'}))), kResultOk);
    ASSERT_EQ(groups.root()->ChildCount(), 1);
    EXPECT_EQ(groups.root()->ChildAt(0)->Type, kObjectGroup);
    EXPECT_EQ(groups.root()->ChildAt(0)->WorldBox, kEmptyShortBox);
}

TEST(ObjectStream, DroppedChildrenRenumberConnections)
{
    Scene scene;
    Bytes body;
    Append(body, Chunk("PRSM", PrismBody()));                             // child 0
    Append(body, Chunk("PRSM", Chunk("NAME", {'x'}) + Chunk("POSN", {})));  // dropped: no geometry
    Append(body, Chunk("PRSM", PrismBody()));                             // child 2, now 1
    Bytes connections = Word16(3);
    for (int16_t v : {0, 1, 1, 2}) Append(connections, Word16(uint16_t(v)));  // names the dropped child
    for (int16_t v : {0, 3, 2, 1}) Append(connections, Word16(uint16_t(v)));  // 0 and 2: renumbered
    for (int16_t v : {-1, 0, 2, 4}) Append(connections, Word16(uint16_t(v)));  // the root is never connected
    Append(body, Chunk("CONN", connections));
    ASSERT_EQ(ReadRoot(scene, body), kResultOk);
    ASSERT_EQ(scene.root()->ChildCount(), 2);
    ModelObject* first = scene.root()->ChildAt(0);
    ModelObject* second = scene.root()->ChildAt(1);
    ASSERT_NE(first->SurfaceOfFace(3), nullptr);
    EXPECT_EQ(first->SurfaceOfFace(3)->IsConnected(second, second->SurfaceOfFace(1), kRelationSibling), 1);
    EXPECT_EQ(first->SurfaceOfFace(1), nullptr);
    EXPECT_EQ(second->SurfaceOfFace(4), nullptr);

    // Past 32767 dropped children (positions beyond 16 bits), those before them keep their numbers.
    Scene many;
    Bytes crowd = Chunk("PRSM", PrismBody()) + Chunk("PRSM", PrismBody());
    for (int32_t i = 0; i < 32800; ++i) Append(crowd, Chunk("PRSM", {}));
    Append(crowd, Chunk("CONN", Word16(1) + Word16(0) + Word16(3) + Word16(1) + Word16(1)));
    ASSERT_EQ(ReadRoot(many, crowd), kResultOk);
    ASSERT_EQ(many.root()->ChildCount(), 2);
    const Surface* east = many.root()->ChildAt(0)->SurfaceOfFace(3);
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(east->IsConnected(many.root()->ChildAt(1), nullptr, kRelationSibling), 1);

    // Inside a group, A = -1 connects a face of the node itself with a face of child B.
    Scene nested;
    Bytes prism = PrismBody();
    Bytes inner = Chunk("PRSM", PrismBody());
    Bytes conn = Word16(1);
    for (int16_t v : {-1, 0, 0, 5}) Append(conn, Word16(uint16_t(v)));
    Append(inner, Chunk("CONN", conn));
    Append(prism, inner);
    ASSERT_EQ(ReadRoot(nested, Chunk("PRSM", prism)), kResultOk);
    ModelObject* outer = nested.root()->ChildAt(0);
    ASSERT_EQ(outer->ChildCount(), 1);
    ASSERT_NE(outer->SurfaceOfFace(0), nullptr);
    EXPECT_EQ(outer->SurfaceOfFace(0)->IsConnected(outer->ChildAt(0), nullptr, kRelationChild), 1);
    EXPECT_EQ(outer->ChildAt(0)->SurfaceOfFace(5)->IsConnected(outer, nullptr, kRelationParent), 1);
}

TEST(ObjectStream, ConnectionsCountAsTheyAreMade)
{
    // Two prisms under the root: the east face of the first connected with the west face of the
    // second five times over and once from the second's side, its north face with the second's
    // south face, and a face it does not have. Two connections are made, each taking one contact
    // into either face's list; the records that make none buy nothing and leave no surface.
    Bytes records;
    int32_t count = 0;
    for (const auto& values : std::vector<std::array<int16_t, 4>>{
             {0, 3, 1, 1}, {0, 3, 1, 1}, {1, 1, 0, 3}, {0, 2, 1, 4}, {0, 3, 1, 1}, {0, 9, 1, 2}, {0, 3, 1, 1}}) {
        for (const int16_t value : values) Append(records, Word16(uint16_t(value)));
        ++count;
    }
    const Bytes root =
        Chunk("PRSM", PrismBody()) + Chunk("PRSM", PrismBody()) + Chunk("CONN", Word16(uint16_t(count)) + records);
    const Bytes file = Chunk("FORM", Tag("QMDL") + Chunk("VERS", Word32(kFileVersion)) + Chunk("ROOT", root));
    ModelDocument* document = new ModelDocument;
    ASSERT_EQ(document->Init(), kResultOk);
    MemoryStream in;
    Load(in, file);
    ASSERT_EQ(document->ReadModelFile(&in), kResultOk);
    const ReadBudget& budget = document->Holder->Budget;
    EXPECT_EQ(budget.Spent(ReadCost::kConnections), 2);
    EXPECT_EQ(budget.Spent(ReadCost::kContactEntries), 4);
    const ModelObject* first = document->Holder->Root->ChildAt(0);
    const ModelObject* second = document->Holder->Root->ChildAt(1);
    EXPECT_EQ(first->SurfaceOfFace(3)->IsConnected(second, second->SurfaceOfFace(1), kRelationSibling), 1);
    EXPECT_EQ(first->SurfaceOfFace(2)->IsConnected(second, second->SurfaceOfFace(4), kRelationSibling), 1);
    EXPECT_EQ(first->SurfaceOfFace(3)->ContactCount(0), 1);
    EXPECT_EQ(second->SurfaceOfFace(2), nullptr);
    document->Destroy();
}

TEST(ObjectStream, HostileCountsFailTheRead)
{
    const auto poly = [](int32_t count) { return Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare, count)); };
    const auto meshOf = [](const Bytes& data) { return Chunk("MESH", data); };
    Bytes vertices = Word16(3);
    Append(vertices, Bytes(36, 0));
    const std::vector<Bytes> bodies = {
        poly(-1), poly(0x7FFF), poly(5),
        meshOf(Word16(0xFFFF)), meshOf(Word16(0x7FFF)),
        meshOf(vertices + Word16(0xFFFF)), meshOf(vertices + Word16(40)),
        meshOf(vertices + Word16(1) + Word16(0xFFFF)), meshOf(vertices + Word16(1) + Word16(500)),
        Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)) + Chunk("SLIC", Word16(0xFFFF)),
        Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)) + Chunk("SLIC", Word16(9)),
        Chunk("LGHT", Word16(0x8001)), Chunk("LGHT", Word16(2) + Bytes(30, 0)),
        Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)) + Chunk("PRSM", PrismBody()) + Chunk("CONN", Word16(0xFFFF)),
        Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)) + Chunk("PRSM", PrismBody()) + Chunk("CONN", Word16(2) + Bytes(8, 0)),
        Chunk("COLR", {0, 1, 2}), Chunk("UNIT", {0x3F, 0xF0}), Chunk("POSN", Bytes(30, 0)),
    };
    ExpectNoChildFrom(bodies, false);
}

TEST(ObjectStream, IncompleteChildrenAreDropped)
{
    Bytes badIndex = Word16(3);
    Append(badIndex, Bytes(36, 0));
    Append(badIndex, Word16(1) + Word16(3) + Word16(0) + Word16(1) + Word16(7));
    const std::vector<Bytes> bodies = {
        Chunk("MESH", badIndex),
        Chunk("POLY", PolyData(4, 1, 1, 0, 10, kSquare)), Chunk("POLY", PolyData(3, 0, 1, 0, 10, kSquare)),
        Chunk("POLY", PolyData(3, 1, 1, 0, 10, {{0, 0}, {1, 1}})),
        Chunk("POLY", PolyData(3, 5, 0x7FFF, 0, 10, kSquare)),
    };
    ExpectNoChildFrom(bodies, true);
}

TEST(ObjectStream, DeepNestingEndsInACode)
{
    Bytes body = PrismBody();
    for (int i = 0; i < kMaxReadDepth + 5; ++i) body = PrismBody() + Chunk("PRSM", body);
    Scene scene;
    EXPECT_EQ(ReadRoot(scene, Chunk("PRSM", body)), kResultTooDeep);
}

TEST(ObjectStream, StopInTheProgressWindow)
{
    RecordingUi ui;
    ui.stopAfter = 3;
    Scene scene;
    EXPECT_EQ(ReadRoot(scene, Chunk("PRSM", PrismBody()) + Chunk("PRSM", PrismBody())), kResultStopped);
}

TEST(ObjectStream, AChildStoppedInItsReadStaysOutsideTheTreeUntilItsHolderGoes)
{
    // The stop comes at the third look: as the inner prism's read begins, after the root's and
    // the outer prism's. Both prisms are dropped, and kept until the holder goes.
    RecordingUi ui;
    ui.stopAfter = 3;
    Scene scene;
    EXPECT_EQ(ReadRoot(scene, Chunk("PRSM", PrismBody() + Chunk("PRSM", PrismBody()))), kResultStopped);
    EXPECT_EQ(scene.root()->ChildCount(), 0);
    EXPECT_EQ(scene.holder()->KeptUntilGone.size(), 2u);
    EXPECT_FALSE(scene.holder()->Budget.Reading());
}

TEST(ObjectStream, TextureReferencesByteForByte)
{
    NumberedTextures textures;
    Scene scene;
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    prism->BindObjectTexture(TextureNumbered(7), kSideBack);
    Surface* surface = prism->SurfaceForFace(0);
    surface->BindSideTexture(TextureNumbered(5), kSideFront);
    EXPECT_EQ(surface->Flags & kSurfaceTextureBits, kSurfaceFrontTexture);
    // Binding nothing to the back hides the object's back texture.
    surface->BindSideTexture(nullptr, kSideBack);
    EXPECT_EQ(surface->Flags & kSurfaceTextureBits, kSurfaceFrontTexture | kSurfaceBackTexture);
    EXPECT_EQ(textures.users, 2);

    Bytes plainObject = Chunk("TXOD", Word32(7)) + Chunk("TATR", {});
    Bytes plainSurface = Chunk("TXID", Word32(5)) + Chunk("TXOD", Word32(uint32_t(-2))) + Chunk("TATR", {});
    const Bytes written = WriteWith(prism, &ModelObject::Stream);
    Bytes expected = Chunk("COLR", {0, 0, 0, 0, 0xFF, 0, 0, 0});
    Append(expected, Chunk("PLGR", {0, 0}));
    Append(expected, Chunk("POLY", PolyData(3, 1, 1, 0, 10, kSquare)));
    Append(expected, Chunk("PLTX", plainObject));
    Append(expected, Chunk("SURF", Word16(0) + Chunk("SUTX", plainSurface)));
    Append(expected, Chunk("POSN", IdentityPosition()));
    EXPECT_EQ(written, expected);

    ModelObject* back = scene.holder()->MakeObject();
    MemoryStream in;
    Load(in, written);
    ASSERT_EQ(back->Stream(&in), kResultOk);
    EXPECT_EQ(back->BackTexture, TextureNumbered(7));
    EXPECT_EQ(back->FrontTexture, nullptr);
    ASSERT_NE(back->SurfaceOfFace(0), nullptr);
    EXPECT_EQ(back->SurfaceOfFace(0)->FrontTexture, TextureNumbered(5));
    EXPECT_EQ(back->SurfaceOfFace(0)->Flags & kSurfaceTextureBits, kSurfaceFrontTexture | kSurfaceBackTexture);
    EXPECT_EQ(WriteWith(back, &ModelObject::Stream), written);
    back->Destroy();
    prism->Destroy();
    EXPECT_EQ(textures.users, 0);
}

TEST(ObjectStream, AWriteThatRunsOutOfRoomFails)
{
    // Each record's last chunk is where a lost failure would go unseen: nothing written after it
    // would fail in its place.
    NumberedTextures textures;
    Scene scene;
    ModelObject* left = scene.AddBox(0, 0, 0, 10, 10, 10);
    ModelObject* right = scene.AddBox(10, 0, 0, 20, 10, 10);
    left->AddFaceContact(3, right, 1);
    Surface* surface = left->SurfaceForFace(0);
    surface->SetSurfaceColour({0xAB00, 0xCD00, 0xEF00}, 0x1200, kSideBoth);
    surface->SetSurfaceSideAttribute(1, kSideFront);
    surface->SetSurfaceVranText("xy");
    surface->BindSideTexture(TextureNumbered(5), kSideFront);
    PolygonElement* element = surface->NewPolygonElement();
    ASSERT_EQ(element->Init(), kResultOk);
    DynamicArray* square = MakeOutline(kSquare);
    element->SetElementPolygon(square, kFixedOne, kFixedOne);
    square->Destroy();
    surface->AddElement(element, 0);

    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return element->Stream(out); });
    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return surface->Stream(out); });
    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return left->Stream(out); });
    ExpectEveryWriteShortOfRoomFails([&](MemoryStream* out) { return scene.root()->StreamRoot(out); });
}

TEST(ObjectStream, UnitsRescaleOnlyByUsableRatios)
{
    Scene scene;
    UnitsRecord inches;
    inches.UnitsInit();
    inches.UnitsSet(0.0254);
    scene.root()->SetUnits(&inches);
    ModelObject* box = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
    UnitsRecord metres;
    metres.UnitsInit();
    box->SetUnits(&metres);
    scene.root()->AddChild(box);  // 1 m units into a model of inches: 39.37 times larger
    EXPECT_NEAR(Fix2X(box->Height0), 393.7, 0.01);
    EXPECT_EQ(box->Units, nullptr);
    for (double broken : {0.0, -1.0, std::nan(""), 1e300}) {
        UnitsRecord bad;
        bad.UnitsSet(broken);
        const Fixed before = box->Height0;
        box->SetUnits(&bad);
        EXPECT_EQ(box->Height0, before);
        box->ClearUnits();
    }
    // The most negative value normalises without overflow.
    EXPECT_EQ(NormaliseShort(INT32_MIN, 0, 0), (ShortVector3{-256, 0, 0}));
    EXPECT_EQ(NormaliseShort(100000, 0, 0), (ShortVector3{256, 0, 0}));
    EXPECT_EQ(NormaliseShort(0, 0, 0), (ShortVector3{0, 0, 0}));
    // Short directions (a primitive's side whose outline edge spans a few 1/65536ths) take the
    // bisected root, 0 or 1 for squared lengths 2 to 5: a side of length 1.4/65536 gets a zero
    // normal and leaves with the degenerate records; one of 2/65536 a normal of length 512, of
    // which only the direction is read (its world normal is normalised again).
    EXPECT_EQ(NormaliseShort(2, 0, 0), (ShortVector3{512, 0, 0}));
    EXPECT_EQ(NormaliseShort(0, -2, 1), (ShortVector3{0, -512, 256}));
    EXPECT_EQ(NormaliseShort(1, 1, 0), (ShortVector3{0, 0, 0}));
    EXPECT_EQ(NormaliseShort(1, -1, 1), (ShortVector3{0, 0, 0}));
}

TEST(ObjectStream, AGroupInUnitsOfItsOwnIsConvertedOnlyIntoThoseOfTheNodeItIsReadInto)
{
    // A node read joins its parent before the parent joins its own. A centimetre group read into
    // an inch group is converted into inches: every coordinate times the factor of 1 cm / 1 in.
    const Fixed f = X2Fix(0.01 / 0.0254);
    EXPECT_EQ(NestedBoxBoundsReadBack(0.0254, 0),
              (std::array<Fixed, 6>{254 * f, 127 * f, 0, 508 * f, 254 * f, 508 * f}));
    // Read into a group without units of its own, which has none yet, it loses its units
    // unconverted: its numbers are taken in the units that group comes to be in, as under a
    // root without units.
    const std::array<Fixed, 6> kept = {IntToFixed(254), IntToFixed(127), 0, IntToFixed(508), IntToFixed(254),
                                       IntToFixed(508)};
    for (int32_t plain : {1, 2}) EXPECT_EQ(NestedBoxBoundsReadBack(0.0254, plain), kept) << plain;
    for (int32_t plain : {0, 1}) EXPECT_EQ(NestedBoxBoundsReadBack(0, plain), kept) << plain;
}

TEST(ObjectStream, GroupsNestedInUnitsAreBuiltOnceInTheirFinalUnits)
{
    // Two boxes side by side in a centimetre group, in an inch group, in a metre group, read into
    // a model of feet: each change of units scales the coordinates again, and the boxes are built
    // once, in feet. Connected, they are built where the connection is read, and once more then.
    const Fixed factors[] = {X2Fix(0.01 / 0.0254), X2Fix(0.0254 / 1.0), X2Fix(1.0 / 0.3048)};
    auto scaled = [&](int32_t centimetres) {
        Fixed value = IntToFixed(centimetres);
        for (const Fixed factor : factors) value = FixMul(value, factor);
        return value;
    };
    for (const bool connected : {false, true}) {
        SCOPED_TRACE(connected ? "connected" : "apart");
        Scene scene;
        GiveOwnUnits(scene.root(), 0.3048);
        ModelObject* parent = scene.root();
        for (const double metres : {1.0, 0.0254, 0.01}) {
            ModelObject* group = scene.holder()->MakeObject();
            group->SetGroup();
            parent->AddChild(group);
            GiveOwnUnits(group, metres);
            parent = group;
        }
        ModelObject* left = MakeBox(scene.holder(), 0, 0, 0, 10, 10, 10);
        ModelObject* right = MakeBox(scene.holder(), 10, 0, 0, 20, 10, 10);
        parent->AddChild(left);
        parent->AddChild(right);
        if (connected) left->AddFaceContact(3, right, 1);

        Scene copy;
        ASSERT_EQ(ReadRoot(copy, WriteWith(scene.root(), &ModelObject::StreamRoot)), kResultOk);
        const ModelObject* inner = copy.root();
        while (inner->ChildCount() > 0 && inner->ChildAt(0)->IsGroup()) inner = inner->ChildAt(0);
        ASSERT_EQ(inner->ChildCount(), 2);
        for (int32_t k = 0; k < 2; ++k) {
            const ModelObject* box = inner->ChildAt(k);
            ASSERT_EQ(ListCount(box->WorldVertices), 8);
            Fixed lowX = INT32_MAX;
            Fixed highX = INT32_MIN;
            Fixed highZ = INT32_MIN;
            for (int32_t i = 0; i < 8; ++i) {
                const FixedVector3 v = VertexAt(box->WorldVertices, i);
                lowX = std::min(lowX, v.x);
                highX = std::max(highX, v.x);
                highZ = std::max(highZ, v.z);
            }
            EXPECT_EQ(lowX, scaled(10 * k)) << k;
            EXPECT_EQ(highX, scaled(10 * k + 10)) << k;
            EXPECT_EQ(highZ, scaled(10)) << k;
        }
        EXPECT_EQ(inner->ChildAt(0)->Geometry->ContactCount(), 1) << "the boxes touch";
        const Surface* east = inner->ChildAt(0)->SurfaceOfFace(3);
        EXPECT_EQ(east && east->IsConnected(inner->ChildAt(1), inner->ChildAt(1)->SurfaceOfFace(1), kRelationSibling),
                  connected);
        EXPECT_EQ(copy.holder()->Budget.Spent(ReadCost::kFaces), connected ? 24 : 12);
    }
}
