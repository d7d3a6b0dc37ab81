// Geometry building: vertex and face counts of every primitive kind, face numbering, normals
// and their agreement with the faces' winding, slices, and the objects that build nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/light.h"
#include "model/object_geometry.h"
#include "model/plane_record.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/transform.h"
#include "model/units_record.h"
#include "tests/model/model_test_support.h"

namespace {

double Dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The face's normal from its first three distinct positions, the way the fill takes them.
void WindingNormal(const PolygonRecord* record, const DynamicArray* vertices, double out[3])
{
    const int32_t n = record->VertexCount();
    const FixedVector3 p0 = VertexAt(vertices, record->IndexAt(0));
    const FixedVector3 p1 = VertexAt(vertices, record->IndexAt((n + 2) >> 2));
    const FixedVector3 p2 = VertexAt(vertices, record->IndexAt((n + 1) >> 1));
    const double a[3] = {double(p0.x) - p1.x, double(p0.y) - p1.y, double(p0.z) - p1.z};
    const double b[3] = {double(p2.x) - p1.x, double(p2.y) - p1.y, double(p2.z) - p1.z};
    out[0] = b[2] * a[1] - a[2] * b[1];
    out[1] = a[2] * b[0] - b[2] * a[0];
    out[2] = b[1] * a[0] - a[1] * b[0];
}

void Centroid(const DynamicArray* vertices, const std::vector<int16_t>& indices, double out[3])
{
    out[0] = out[1] = out[2] = 0;
    for (int16_t index : indices) {
        const FixedVector3 v = VertexAt(vertices, index);
        out[0] += v.x;
        out[1] += v.y;
        out[2] += v.z;
    }
    for (int i = 0; i < 3; ++i) out[i] /= double(indices.size());
}

int32_t ExpectedVertices(int32_t kind, int32_t segments, int32_t n)
{
    if (kind == 1) return 2 * n;
    const int32_t perApex = (segments - 1) * n + 1;
    return n + perApex * (kind == 3 || kind == 5 ? 2 : 1);
}

int32_t ExpectedFaces(int32_t kind, int32_t segments, int32_t n)
{
    switch (kind) {
    case 1: return n + 2;
    case 2: return n + 1;
    case 3: return 2 * n;
    case 4: return segments * n + 1;
    default: return 2 * segments * n;
    }
}

}  // namespace

TEST(Geometry, PrismOverASquare)
{
    Scene scene;
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    ASSERT_EQ(prism->LocalVertices->ArrayCount(), 8);
    EXPECT_EQ(prism->FaceCount(), 6);
    // The higher ring (Height1 = 10) comes first.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(VertexAt(prism->LocalVertices, i).z, IntToFixed(10));
    for (int i = 4; i < 8; ++i) EXPECT_EQ(VertexAt(prism->LocalVertices, i).z, 0);
    ObjectGeometry* record = prism->Geometry;
    ASSERT_EQ(record->PolygonCount(), 6);
    EXPECT_EQ(IndicesOf(record->FindPartById(0)->Indices), (std::vector<int16_t>{0, 1, 2, 3}));
    EXPECT_EQ(IndicesOf(record->FindPartById(1)->Indices), (std::vector<int16_t>{0, 3, 7, 4}));
    EXPECT_EQ(IndicesOf(record->FindPartById(2)->Indices), (std::vector<int16_t>{1, 0, 4, 5}));
    EXPECT_EQ(IndicesOf(record->FindPartById(5)->Indices), (std::vector<int16_t>{7, 6, 5, 4}));
    EXPECT_EQ(record->FindPartById(0)->Normal, (ShortVector3{0, 0, 256}));
    EXPECT_EQ(record->FindPartById(5)->Normal, (ShortVector3{0, 0, -256}));
    EXPECT_EQ(record->FindPartById(2)->Normal, (ShortVector3{0, 256, 0}));  // the edge y = 10
    // No record has a clip list, nor anything to draw, until the renderer projects it.
    for (int32_t i = 0; i < record->PolygonCount(); ++i) {
        const PolygonRecord* face = record->PolygonAt(i);
        EXPECT_TRUE(face->ClipList == nullptr && face->ClipRef == nullptr) << i;
    }
    EXPECT_EQ(prism->SideFaceIndex(0, 0), 1);
    EXPECT_EQ(prism->CapFaceIndex(1), 0);
    EXPECT_EQ(prism->CapFaceIndex(0), 5);
    prism->Destroy();
}

TEST(Geometry, PointedPrimitiveInBothHeightOrders)
{
    Scene scene;
    ModelObject* up = MakePrimitiveOf(scene.holder(), 3, 2, 1, kSquare, 0, 10);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(VertexAt(up->LocalVertices, i).z, IntToFixed(10));
    EXPECT_EQ(VertexAt(up->LocalVertices, 4).z, 0);
    EXPECT_EQ(up->PrimitiveFaceCount(), 5);
    EXPECT_EQ(up->CapFaceIndex(1), 0);
    EXPECT_EQ(up->CapFaceIndex(-1), -1);
    EXPECT_EQ(up->Geometry->FindPartById(0)->VertexCount(), 4);
    EXPECT_EQ(IndicesOf(up->Geometry->FindPartById(1)->Indices), (std::vector<int16_t>{0, 3, 4}));

    ModelObject* down = MakePrimitiveOf(scene.holder(), 3, 2, 1, kSquare, 10, 0);
    EXPECT_EQ(VertexAt(down->LocalVertices, 0).z, IntToFixed(10));
    for (int i = 1; i < 5; ++i) EXPECT_EQ(VertexAt(down->LocalVertices, i).z, 0);
    EXPECT_EQ(down->CapFaceIndex(1), -1);
    EXPECT_EQ(down->CapFaceIndex(-1), 4);
    EXPECT_EQ(IndicesOf(down->Geometry->FindPartById(0)->Indices), (std::vector<int16_t>{0, 4, 1}));
    EXPECT_EQ(IndicesOf(down->Geometry->FindPartById(4)->Indices), (std::vector<int16_t>{4, 3, 2, 1}));
    EXPECT_EQ(down->SideFaceIndex(0, 0), 0);
    up->Destroy();
    down->Destroy();
}

// Every kind, segments 1 to 3, both height orders, every axis: the counts follow the
// formulas, faces are numbered 0 to count - 1 once each, every face points outwards, and a
// face with a stored direction winds the way that direction says.
TEST(Geometry, CountsNumberingAndWindingOfEveryKind)
{
    Scene scene;
    const std::initializer_list<std::pair<int32_t, int32_t>> pentagon = {{0, 20}, {19, 6}, {12, -16}, {-12, -16}, {-19, 6}};
    for (int32_t kind = 1; kind <= 5; ++kind) {
        for (int32_t segments = 1; segments <= 3; ++segments) {
            for (int32_t order = 0; order < 2; ++order) {
                for (int32_t axis = 1; axis <= 3; ++axis) {
                    SCOPED_TRACE(testing::Message() << "kind " << kind << " segments " << segments << " order "
                                                    << order << " axis " << axis);
                    ModelObject* shape = MakePrimitiveOf(scene.holder(), axis, kind, segments, pentagon,
                                                         order ? 30 : -10, order ? -10 : 30);
                    const int32_t s = kind >= 4 ? segments : 1;
                    EXPECT_EQ(shape->LocalVertices->ArrayCount(), ExpectedVertices(kind, s, 5));
                    ASSERT_EQ(shape->PrimitiveFaceCount(), ExpectedFaces(kind, s, 5));
                    ObjectGeometry* record = shape->Geometry;
                    ASSERT_EQ(record->PolygonCount(), shape->PrimitiveFaceCount());
                    std::set<int32_t> numbers;
                    double middle[3] = {0, 0, 0};
                    std::vector<int16_t> all;
                    for (int32_t v = 0; v < shape->LocalVertices->ArrayCount(); ++v) all.push_back(int16_t(v));
                    Centroid(shape->LocalVertices, all, middle);
                    for (int32_t i = 0; i < record->PolygonCount(); ++i) {
                        const PolygonRecord* face = record->PolygonAt(i);
                        numbers.insert(face->FaceIndex);
                        double winding[3];
                        WindingNormal(face, shape->LocalVertices, winding);
                        double centre[3];
                        Centroid(shape->LocalVertices, IndicesOf(face->Indices), centre);
                        const double outward[3] = {centre[0] - middle[0], centre[1] - middle[1], centre[2] - middle[2]};
                        EXPECT_GT(Dot(winding, outward), 0) << "face " << face->FaceIndex;
                        const double normal[3] = {double(face->Normal.x), double(face->Normal.y), double(face->Normal.z)};
                        EXPECT_GT(Dot(winding, normal), 0) << "face " << face->FaceIndex;
                        const FixedVector3 stored = shape->FaceDirection(face->FaceIndex);
                        if (stored.x || stored.y || stored.z) {
                            const double direction[3] = {double(stored.x), double(stored.y), double(stored.z)};
                            const double cosine = Dot(winding, direction) /
                                                  std::sqrt(Dot(winding, winding) * Dot(direction, direction));
                            EXPECT_NEAR(cosine, 1.0, 1e-9) << "face " << face->FaceIndex;
                        }
                    }
                    EXPECT_EQ(int32_t(numbers.size()), shape->PrimitiveFaceCount());
                    EXPECT_EQ(*numbers.begin(), 0);
                    EXPECT_EQ(*numbers.rbegin(), shape->PrimitiveFaceCount() - 1);
                    shape->Destroy();
                }
            }
        }
    }
}

TEST(Geometry, DoubleRoundedVerticesAndFaces)
{
    Scene scene;
    ModelObject* ball = MakePrimitiveOf(scene.holder(), 3, 5, 3, kSquare, 0, 12);
    EXPECT_EQ(ball->LocalVertices->ArrayCount(), 2 + 5 * 4);
    EXPECT_EQ(ball->FaceCount(), 6 * 4);
    // Vertices run from the higher apex down to the lower one; the middle ring is at full size.
    EXPECT_EQ(VertexAt(ball->LocalVertices, 0).z, IntToFixed(12));
    EXPECT_EQ(VertexAt(ball->LocalVertices, 21).z, 0);
    EXPECT_EQ(VertexAt(ball->LocalVertices, 9).z, IntToFixed(6));
    EXPECT_EQ(VertexAt(ball->LocalVertices, 9).y, IntToFixed(10));
    ball->Destroy();
}

TEST(Geometry, EqualHeightsOnRoundedKindsScaleByOne)
{
    Scene scene;
    for (int32_t kind : {4, 5}) {
        ModelObject* flat = MakePrimitiveOf(scene.holder(), 3, kind, 3, kSquare, 5, 5);
        for (int32_t i = 0; i < flat->LocalVertices->ArrayCount(); ++i) {
            const FixedVector3 v = VertexAt(flat->LocalVertices, i);
            EXPECT_EQ(v.z, IntToFixed(5));
            EXPECT_LE(std::abs(v.x), IntToFixed(10));
            EXPECT_LE(std::abs(v.y), IntToFixed(10));
        }
        flat->Destroy();
    }
}

TEST(Geometry, SegmentCountIsEffectiveInCountsAndBuilder)
{
    Scene scene;
    ModelObject* dome = MakePrimitiveOf(scene.holder(), 3, 4, 0, kSquare, 0, 10);
    EXPECT_EQ(dome->BandCount(), 1);
    EXPECT_EQ(dome->PrimitiveFaceCount(), 5);
    EXPECT_EQ(dome->Geometry->PolygonCount(), 5);
    dome->Segments = -7;
    dome->Build();
    EXPECT_EQ(dome->PrimitiveFaceCount(), 5);
    EXPECT_EQ(dome->LocalVertices->ArrayCount(), 5);
    ModelObject* pyramid = MakePrimitiveOf(scene.holder(), 3, 2, 9, kSquare, 0, 10);
    EXPECT_EQ(pyramid->PrimitiveFaceCount(), 5);
    EXPECT_EQ(pyramid->LocalVertices->ArrayCount(), 5);
    dome->Destroy();
    pyramid->Destroy();
}

TEST(Geometry, OutlineInTheOtherOrientationGivesTheSameShape)
{
    Scene scene;
    ModelObject* a = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    ModelObject* b = MakePrimitiveOf(scene.holder(), 3, 1, 1, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 0, 10);
    ASSERT_EQ(a->LocalVertices->ArrayCount(), b->LocalVertices->ArrayCount());
    for (int32_t i = 0; i < a->LocalVertices->ArrayCount(); ++i) {
        EXPECT_EQ(VertexAt(a->LocalVertices, i).x, VertexAt(b->LocalVertices, i).x);
        EXPECT_EQ(VertexAt(a->LocalVertices, i).y, VertexAt(b->LocalVertices, i).y);
    }
    a->Destroy();
    b->Destroy();
}

TEST(Geometry, IncompleteObjectsBuildNothing)
{
    Scene scene;
    ModelObject* badAxis = MakePrimitiveOf(scene.holder(), 0, 1, 1, kSquare, 0, 10);
    ModelObject* badKind = MakePrimitiveOf(scene.holder(), 3, 6, 1, kSquare, 0, 10);
    ModelObject* line = MakePrimitiveOf(scene.holder(), 3, 1, 1, {{0, 0}, {5, 5}}, 0, 10);
    // 100 points and 200 segments would need 39902 vertices.
    ModelObject* huge = MakePrimitiveOf(scene.holder(), 3, 5, 1, kSquare, 0, 10);
    IgnoreResult(huge->Outline->ArraySetCount(100));
    for (int32_t i = 0; i < 100; ++i) {
        const FixedPoint p = {X2Fix(10 * std::cos(i * 0.0628)), X2Fix(-10 * std::sin(i * 0.0628))};
        IgnoreResult(huge->Outline->Set(i, &p));
    }
    huge->Segments = 200;
    huge->Build();
    for (ModelObject* object : {badAxis, badKind, line, huge}) {
        EXPECT_EQ(object->IsCompleteObject(), 0);
        EXPECT_EQ(object->GeometryCount(), 0);
        EXPECT_EQ(object->LocalVertices->ArrayCount(), 0);
        object->Destroy();
    }
    // A mesh whose polygon names a vertex that does not exist.
    for (int16_t bad : {int16_t(4), int16_t(-1)}) {
        DynamicArray* vertices = NewDynamicArray(4, int32_t(sizeof(FixedVector3)), 4);
        DynamicArray* polygons = NewPointerList();
        DynamicArray* polygon = NewDynamicArray(0, 2, 4);
        for (int16_t index : {int16_t(0), int16_t(1), bad}) polygon->Append(&index);
        AppendPointer(polygons, polygon);
        ModelObject* mesh = scene.holder()->MakeObject();
        mesh->MakePolygonObject(vertices, polygons);
        EXPECT_EQ(mesh->IsCompleteObject(), 0);
        EXPECT_EQ(mesh->GeometryCount(), 0);
        mesh->Destroy();
    }
}

TEST(Geometry, APolygonOfFewerThanThreeCornersLeavesItsFaceOut)
{
    // A square's two triangles with polygons of two, one and no corners between them: the object
    // is complete and keeps its numbering; those three faces have no record.
    Scene scene;
    DynamicArray* vertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4);
    for (const FixedVector3& v : {FixedVector3{0, 0, 0}, FixedVector3{kFixedOne, 0, 0}, FixedVector3{kFixedOne, kFixedOne, 0},
                                  FixedVector3{0, kFixedOne, 0}})
        vertices->Append(&v);
    DynamicArray* polygons = NewPointerList();
    for (const std::vector<int16_t>& corners : std::vector<std::vector<int16_t>>{{0, 1, 2}, {0, 1}, {3}, {}, {0, 2, 3}}) {
        DynamicArray* polygon = NewDynamicArray(0, 2, 4);
        for (const int16_t index : corners) polygon->Append(&index);
        AppendPointer(polygons, polygon);
    }
    ModelObject* mesh = scene.holder()->MakeObject();
    mesh->MakePolygonObject(vertices, polygons);
    EXPECT_EQ(mesh->IsCompleteObject(), 1);
    EXPECT_EQ(mesh->FaceCount(), 5);
    ASSERT_EQ(mesh->GeometryCount(), 1);
    ASSERT_EQ(mesh->Geometry->PolygonCount(), 2);
    EXPECT_EQ(mesh->Geometry->PolygonAt(0)->FaceIndex, 0);
    EXPECT_EQ(mesh->Geometry->PolygonAt(1)->FaceIndex, 4);
    EXPECT_EQ(mesh->FindPolygonByIndex(1), nullptr);
    mesh->Destroy();
}

TEST(Geometry, SliceThroughEverySideMakesOneCap)
{
    Scene scene;
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    PlaneRecord* plane = prism->NewPlaneRecord();
    plane->SetPlane(0, 0, -kFixedOne, IntToFixed(4));  // keeps z <= 4
    prism->AddSlice(plane);
    EXPECT_EQ(prism->FaceCount(), 7);
    EXPECT_EQ(prism->SliceFaceIndex(0), 6);
    ObjectGeometry* record = prism->Geometry;
    EXPECT_EQ(record->FindPartById(0), nullptr);  // the top cap is gone
    const PolygonRecord* cap = record->FindPartById(6);
    ASSERT_NE(cap, nullptr);
    EXPECT_EQ(cap->VertexCount(), 4);
    EXPECT_EQ(cap->Normal, (ShortVector3{0, 0, 256}));
    for (int32_t i = 0; i < cap->VertexCount(); ++i) EXPECT_EQ(VertexAt(prism->LocalVertices, cap->IndexAt(i)).z, IntToFixed(4));
    for (int32_t face = 1; face <= 4; ++face) {
        const PolygonRecord* side = record->FindPartById(face);
        ASSERT_NE(side, nullptr);
        for (int32_t i = 0; i < side->VertexCount(); ++i) {
            EXPECT_LE(VertexAt(prism->LocalVertices, side->IndexAt(i)).z, IntToFixed(4));
        }
    }
    // Cut vertices that two faces share are one vertex: 8 corners plus 4 on the cut.
    EXPECT_EQ(prism->LocalVertices->ArrayCount(), 12);
    prism->Destroy();
}

TEST(Geometry, SlicesThatKeepEveryVertexCutNothingAndAreChargedTheVerticesTheyMeasure)
{
    // A box between slices that keep all of it, before the slice that takes its top away and after:
    // the same faces and cap as the one slice gives. A slice that keeps every vertex spends only
    // the vertices it measures; one that cuts spends them, every face and corner it walks, and
    // the edges it chains.
    Scene scene;
    MemoryStream stream;
    scene.holder()->Budget.Begin(&stream);
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    int64_t spent = 0;
    auto slice = [&](Fixed c, Fixed d) {
        PlaneRecord* plane = prism->NewPlaneRecord();
        plane->SetPlane(0, 0, c, d);
        const int64_t before = scene.holder()->Budget.Spent(ReadCost::kSliceCuts);
        prism->AddSlice(plane);
        spent = scene.holder()->Budget.Spent(ReadCost::kSliceCuts) - before;
    };
    slice(kFixedOne, IntToFixed(5));  // keeps z >= -5
    EXPECT_EQ(spent, 8);
    slice(-kFixedOne, IntToFixed(4));  // keeps z <= 4
    EXPECT_EQ(spent, 8 + (8 + 6 + 24 + 4));
    slice(-kFixedOne, IntToFixed(20));  // keeps z <= 20, over the 12 vertices the cut left
    EXPECT_EQ(spent, 8 + (8 + 6 + 24 + 4) + 12);
    ObjectGeometry* record = prism->Geometry;
    EXPECT_EQ(record->PolygonCount(), 6);
    EXPECT_EQ(record->FindPartById(0), nullptr);
    EXPECT_EQ(record->FindPartById(prism->SliceFaceIndex(0)), nullptr);
    EXPECT_EQ(record->FindPartById(prism->SliceFaceIndex(2)), nullptr);
    const PolygonRecord* cap = record->FindPartById(prism->SliceFaceIndex(1));
    ASSERT_NE(cap, nullptr);
    EXPECT_EQ(cap->VertexCount(), 4);
    EXPECT_EQ(cap->Normal, (ShortVector3{0, 0, 256}));
    const PolygonRecord* bottom = record->FindPartById(5);
    ASSERT_NE(bottom, nullptr);
    EXPECT_EQ(bottom->VertexCount(), 4);
    for (int32_t face = 1; face <= 4; ++face) {
        const PolygonRecord* side = record->FindPartById(face);
        ASSERT_NE(side, nullptr);
        EXPECT_EQ(side->VertexCount(), 4);
        for (int32_t i = 0; i < side->VertexCount(); ++i) EXPECT_LE(VertexAt(prism->LocalVertices, side->IndexAt(i)).z, IntToFixed(4));
    }
    EXPECT_EQ(prism->LocalVertices->ArrayCount(), 12);
    scene.holder()->Budget.End();
    prism->Destroy();
}

TEST(Geometry, SlicesThatKeepEverythingAmongOnesThatCutLeaveTheSameFacesAndEveryCornerIsKept)
{
    // A dome under three slices that each reach some of its faces (the later ones the caps of the
    // earlier), alone and with slices that keep everything before, between and after them: the
    // same vertices and the same faces, corner for corner, and no corner of any face on the side
    // of a slice it cuts away, however the faces that slices reached moved.
    Scene scene;
    const Fixed one = kFixedOne;
    const Fixed cuts[3][4] = {{-one / 2, 0, -one, IntToFixed(35)}, {one, 0, 0, IntToFixed(40)}, {0, -one, -one / 4, IntToFixed(28)}};
    const Fixed keeps[2][4] = {{0, 0, one, IntToFixed(100)}, {-one, one / 4, 0, IntToFixed(200)}};
    auto sliced = [&](bool keeping) {
        ModelObject* dome = MakeShape(scene.holder(), 4, 4, 3, 12, 50, 0, 40, 0, 0, 0);
        for (int32_t k = 0; k < 3; ++k) {
            for (int32_t j = 0; keeping && j < 2; ++j) {
                PlaneRecord* plane = dome->NewPlaneRecord();
                plane->SetPlane(keeps[j][0], keeps[j][1], keeps[j][2], keeps[j][3]);
                dome->AddSlice(plane);
            }
            PlaneRecord* plane = dome->NewPlaneRecord();
            plane->SetPlane(cuts[k][0], cuts[k][1], cuts[k][2], cuts[k][3]);
            dome->AddSlice(plane);
        }
        return dome;
    };
    ModelObject* alone = sliced(false);
    ModelObject* among = sliced(true);
    const int32_t faces = ExpectedFaces(4, 4, 12);
    const ObjectGeometry* record = alone->Geometry;
    ASSERT_EQ(record->PolygonCount(), among->Geometry->PolygonCount());
    ASSERT_EQ(alone->LocalVertices->ArrayCount(), among->LocalVertices->ArrayCount());
    EXPECT_EQ(std::memcmp(alone->LocalVertices->ArrayData(), among->LocalVertices->ArrayData(),
                          size_t(alone->LocalVertices->ArrayCount()) * sizeof(FixedVector3)),
              0);
    for (int32_t i = 0; i < record->PolygonCount(); ++i) {
        const PolygonRecord* face = record->PolygonAt(i);
        const PolygonRecord* same = among->Geometry->PolygonAt(i);
        EXPECT_EQ(IndicesOf(face->Indices), IndicesOf(same->Indices)) << i;
        EXPECT_EQ(face->Normal, same->Normal) << i;
        if (face->FaceIndex < faces) {
            EXPECT_EQ(face->FaceIndex, same->FaceIndex) << i;
        }
        for (int32_t k = 0; k < face->VertexCount(); ++k) {
            const FixedVector3 v = VertexAt(alone->LocalVertices, face->IndexAt(k));
            for (const auto& cut : cuts)
                EXPECT_GE(Fix2X(cut[0]) * Fix2X(v.x) + Fix2X(cut[1]) * Fix2X(v.y) + Fix2X(cut[2]) * Fix2X(v.z) + Fix2X(cut[3]), -0.01) << i;
        }
    }
    // The first two slices close the dome with their caps.
    EXPECT_NE(record->FindPartById(alone->SliceFaceIndex(0)), nullptr);
    EXPECT_NE(record->FindPartById(alone->SliceFaceIndex(1)), nullptr);
    EXPECT_LT(record->PolygonCount(), faces + 3);
    alone->Destroy();
    among->Destroy();
}

TEST(Geometry, ACutChainThatComesBackToAnEdgeMakesNoCapAndAFacelessObjectIsNotCut)
{
    // Three triangles around a corner below the plane, the last of them many times over: chained
    // from the first cut edge, the cut edges go round between the two other cut points without
    // coming back, and make no cap. An object without faces measures no vertex for its slices.
    Scene scene;
    MemoryStream stream;
    scene.holder()->Budget.Begin(&stream);
    auto mesh = [&](int32_t copies) {
        DynamicArray* vertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4);
        for (const FixedVector3& v :
             {FixedVector3{0, 0, IntToFixed(-100)}, FixedVector3{IntToFixed(100), 0, IntToFixed(100)},
              FixedVector3{IntToFixed(-50), IntToFixed(87), IntToFixed(100)},
              FixedVector3{IntToFixed(-50), IntToFixed(-87), IntToFixed(100)}})
            vertices->Append(&v);
        DynamicArray* polygons = NewPointerList();
        for (int32_t i = 0; i < copies + 2; ++i) {
            DynamicArray* polygon = NewDynamicArray(0, 2, 4);
            for (const int16_t index : {int16_t(0), int16_t(i == 1 ? 3 : 2), int16_t(i == 0 ? 3 : i == 1 ? 2 : 1)})
                polygon->Append(&index);
            AppendPointer(polygons, polygon);
        }
        ModelObject* object = scene.holder()->MakeObject();
        object->EnsureSliceList();
        for (int32_t k = 0; k < 10; ++k) {
            PlaneRecord* plane = object->NewPlaneRecord();
            plane->SetPlane(0, 0, kFixedOne, 0);  // keeps z >= 0
            AppendPointer(object->Slices, plane);
        }
        object->MakePolygonObject(vertices, polygons);
        return object;
    };
    ModelObject* circling = mesh(50);
    ASSERT_EQ(circling->Geometry->PolygonCount(), 52);
    EXPECT_EQ(circling->Geometry->FindPartById(circling->SliceFaceIndex(0)), nullptr);
    const int64_t spent = scene.holder()->Budget.Spent(ReadCost::kSliceCuts);
    ModelObject* faceless = mesh(-2);
    EXPECT_EQ(faceless->Geometry->PolygonCount(), 0);
    EXPECT_EQ(scene.holder()->Budget.Spent(ReadCost::kSliceCuts), spent);
    scene.holder()->Budget.End();
    circling->Destroy();
    faceless->Destroy();
}

TEST(Geometry, ACutPointWithoutRoomMakesNoCutEdge)
{
    // A prism over 16,383 points has 32,766 vertices: a slice through its sides finds room for one
    // cut point only, where a side's walk enters the part kept, and none where it leaves it. The
    // side goes, as does every side whose cut points found no room, and no cut edge names a point
    // that is not there (the chain of cut edges wrote past its table): the top alone is left,
    // uncapped.
    Scene scene;
    ModelObject* prism = MakeShape(scene.holder(), 1, 1, 3, 16383, 1000, 0, 10, 0, 0, 0);
    ASSERT_EQ(prism->LocalVertices->ArrayCount(), 32766);
    PlaneRecord* plane = prism->NewPlaneRecord();
    plane->SetPlane(0, 0, kFixedOne, -IntToFixed(5));  // keeps z >= 5
    prism->AddSlice(plane);
    EXPECT_EQ(prism->LocalVertices->ArrayCount(), kMaxObjectVertices);
    const ObjectGeometry* record = prism->Geometry;
    ASSERT_EQ(record->PolygonCount(), 1);
    EXPECT_EQ(record->PolygonAt(0)->VertexCount(), 16383);
    EXPECT_EQ(record->FindPartById(prism->SliceFaceIndex(0)), nullptr);
    prism->Destroy();
}

TEST(Geometry, CutPointsAreFoundByPositionAtTheirFirstIndex)
{
    // Slicing looks cut points up by position instead of scanning the vertex list for each: the
    // answer is still the first index of an equal point, and a new point is appended.
    DynamicArray* vertices = NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4);
    const FixedVector3 a = {1, 2, 3};
    const FixedVector3 b = {4, 5, 6};
    for (const FixedVector3& v : {a, b, a}) vertices->Append(&v);
    VertexLookup lookup(vertices);
    EXPECT_EQ(lookup.FindOrAdd(a), 0);
    EXPECT_EQ(lookup.FindOrAdd(b), 1);
    const FixedVector3 c = {7, -8, 9};
    EXPECT_EQ(lookup.FindOrAdd(c), 3);
    EXPECT_EQ(lookup.FindOrAdd(c), 3);
    EXPECT_EQ(vertices->ArrayCount(), 4);
    EXPECT_EQ(VertexAt(vertices, 3).y, c.y);
    // A list as long as an object's may be takes no other point; the zero points the longer list
    // holds are found at the first of them.
    ASSERT_EQ(vertices->ArraySetCount(kMaxObjectVertices), kResultOk);
    VertexLookup full(vertices);
    EXPECT_EQ(full.FindOrAdd({-1, -1, -1}), -1);
    EXPECT_EQ(full.FindOrAdd({0, 0, 0}), 4);
    EXPECT_EQ(vertices->ArrayCount(), kMaxObjectVertices);
    vertices->Destroy();
}

TEST(Geometry, WorldNormalsAreNormalToTheTransformedFaces)
{
    Scene scene;
    ModelObject* box = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    box->LocalTransform->SetShear(X2Fix(0.3), 0, X2Fix(-0.2));
    box->SetObjectScale(IntToFixed(3), X2Fix(0.5), IntToFixed(2));
    box->SetObjectRotation(X2Fix(0.4), X2Fix(-0.7), X2Fix(1.1));
    const ObjectGeometry* record = box->Geometry;
    for (int32_t i = 0; i < record->PolygonCount(); ++i) {
        const PolygonRecord* face = record->PolygonAt(i);
        const double n[3] = {double(face->WorldNormal.x), double(face->WorldNormal.y), double(face->WorldNormal.z)};
        EXPECT_NEAR(std::sqrt(Dot(n, n)), 256, 2);
        double winding[3];
        WindingNormal(face, box->WorldVertices, winding);
        const double cosine = Dot(winding, n) / std::sqrt(Dot(winding, winding) * Dot(n, n));
        EXPECT_GT(cosine, 0.999) << "face " << face->FaceIndex;
    }
    box->Destroy();
}

TEST(Geometry, SurfaceListGrowsWithNullEntries)
{
    Scene scene;
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    Surface* surface = prism->SurfaceForFace(3);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(prism->Surfaces->ArrayCount(), 6);
    IgnoreResult(prism->Surfaces->ArraySetCount(4));
    prism->EnsureSurfaceCount(10);
    EXPECT_EQ(prism->Surfaces->ArrayCount(), 10);
    EXPECT_EQ(PointerAt<Surface>(prism->Surfaces, 3), surface);
    for (int32_t i = 4; i < 10; ++i) EXPECT_EQ(PointerAt<Surface>(prism->Surfaces, i), nullptr);
    prism->EnsureSurfaceCount(6);
    EXPECT_EQ(prism->SurfaceForFace(6), nullptr);
    // The surface sits on its face: outline from (0, 0) and linked both ways with the record.
    EXPECT_EQ(surface->FaceRecord(), prism->FindPolygonByIndex(3));
    EXPECT_EQ(prism->FindPolygonByIndex(3)->FaceSurface, surface);
    prism->Destroy();
}

TEST(Geometry, APrimitivesBuildTurnsAsManyTimesAFaceWhateverItsFaces)
{
    // The list of a record's faces takes its room once: grown a step at a time it was copied at
    // every step, turning ten times more a face at a thousand faces than at a hundred.
    Scene scene;
    double perFace[2];
    const int32_t segments[] = {16, 128};
    for (int32_t k = 0; k < 2; ++k) {
        const int64_t before = TurnsCounted();
        ModelObject* round = MakePrimitiveOf(scene.holder(), 3, 5, segments[k], kSquare, 0, 10);
        perFace[k] = double(TurnsCounted() - before) / round->FaceCount();
        EXPECT_EQ(round->FaceCount(), 2 * segments[k] * 4);
        round->Destroy();
    }
    EXPECT_LT(perFace[1], perFace[0] + 4) << perFace[0] << " " << perFace[1];
}

TEST(Geometry, ARescaleTurnsAsManyTimesANodeWhateverTheGroupsAboveItAndLightsAsShadedAgain)
{
    // A subtree rebuilt in new units hands each node the object above its groups and the lights
    // on its faces: found by walks up the tree from every node, they turned three times the groups
    // above every box for each box, which no cost of a read pays for. Each further group turns a
    // few times of its own. The boxes, each with an element widening its boxes, are lit by the
    // top's light; one has a light of its own and a box under it.
    UnitsRecord metres;
    metres.UnitsInit();
    UnitsRecord feet;
    feet.UnitsInit();
    feet.UnitsSet(0.3048);
    auto light = [](int16_t x, uint16_t grey) {
        Light* made = new Light;
        made->LightInitDefaults();
        made->LightSetDirection(x, 128, -256);
        made->LightSetGrey(grey);
        return made;
    };
    // Every face's lit colours and shades.
    auto shades = [](ModelObject* top) {
        std::vector<int64_t> all;
        std::vector<ModelObject*> nodes = {top};
        for (size_t n = 0; n < nodes.size(); ++n) {
            for (int32_t i = 0; i < nodes[n]->ChildCount(); ++i) nodes.push_back(nodes[n]->ChildAt(i));
            for (int32_t g = 0; g < nodes[n]->GeometryCount(); ++g) {
                const ObjectGeometry* record = nodes[n]->GeometryAt(g);
                for (int32_t f = 0; f < record->PolygonCount(); ++f) {
                    const PolygonRecord* face = record->PolygonAt(f);
                    all.insert(all.end(), {face->FrontLit.red, face->FrontLit.green, face->BackLit.red,
                                           face->BackLit.blue, face->FrontShadeEntry, face->BackShadeEntry});
                }
            }
        }
        return all;
    };
    constexpr int32_t kBoxes = 16;
    const int32_t depths[] = {4, 64};
    int64_t turns[2];
    for (int32_t k = 0; k < 2; ++k) {
        Scene scene;
        ModelObject* top = scene.holder()->MakeObject();
        top->SetGroup();
        top->SetUnits(&metres);
        top->LightsForEdit()->LightListAppend(light(-256, 0xC000));
        ModelObject* inner = top;
        for (int32_t depth = 1; depth < depths[k]; ++depth) {
            ModelObject* group = scene.holder()->MakeObject();
            group->SetGroup();
            inner->AddChild(group);
            inner = group;
        }
        auto box = [&scene](int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1) {
            ModelObject* made = MakeBox(scene.holder(), x0, y0, z0, x1, y1, z1);
            made->SetColours({0x9000, 0x7000, 0x5000}, 0x0100, kSideBoth);
            EXPECT_NE(AddFaceElement(made, 0, 0, 0, 4, 4, 0, 0, 0, {0x8000, 0x8000, 0x8000}, 0x0200), nullptr);
            return made;
        };
        for (int32_t i = 0; i < kBoxes; ++i) inner->AddChild(box(20 * i, 0, 0, 20 * i + 10, 10, 10));
        ModelObject* lamp = inner->ChildAt(0);
        lamp->SetLights(NewLightList());
        lamp->LightsForEdit()->LightListAppend(light(256, 0x6000));
        lamp->AddChild(box(2, 2, 10, 8, 8, 20));
        const int64_t before = TurnsCounted();
        top->SetUnits(&feet);
        turns[k] = TurnsCounted() - before;
        EXPECT_EQ(inner->ChildAt(1)->Height0, FixMul(IntToFixed(10), X2Fix(1 / 0.3048)));
        const std::vector<int64_t> rescaled = shades(top);
        top->RefreshShading();
        EXPECT_EQ(rescaled, shades(top)) << depths[k];
        top->Destroy();
    }
    const double perGroup = double(turns[1] - turns[0]) / (depths[1] - depths[0]);
    EXPECT_LT(perGroup, 8) << turns[0] << " " << turns[1];
}
