// Visibility and projection: the sphere test and its clip codes, camera space, the reciprocal
// projection, facing, and the 3-D clipper with far coordinates.
#include <gtest/gtest.h>

#include "model/polygon_element.h"
#include "render/projection.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

namespace {

struct ProjectionArrays {
    ProjectionArrays() { IgnoreResult(InitProjectionArrays()); }
    ~ProjectionArrays() { FreeProjectionArrays(); }
};

using List = Owned<DynamicArray>;

List CameraList(std::initializer_list<CameraVertex> vertices)
{
    List list(NewDynamicArray(0, int32_t(sizeof(CameraVertex)), 8));
    for (const CameraVertex& v : vertices) list->Append(&v);
    return list;
}

}  // namespace

TEST(SphereVisibility, ClipCodesOfTheGuardPyramid)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    int16_t depth = 0;
    // Centred on the eye: seen, and across all four guard planes.
    EXPECT_EQ(SphereVisibility(o.get(), 0, 0, 0, 10, &depth), 15);
    EXPECT_EQ(depth, 0);
    // Far ahead and small: seen whole.
    EXPECT_EQ(SphereVisibility(o.get(), 0, 1000, 0, 10, &depth), 0);
    EXPECT_EQ(depth, 1000);
    // Behind the eye, and far out to the side.
    EXPECT_EQ(SphereVisibility(o.get(), 0, -100, 0, 10, &depth), kInvisible);
    EXPECT_EQ(SphereVisibility(o.get(), 2000, 100, 0, 10, &depth), kInvisible);
    // Beside the eye, reaching in front of it: it crosses the planes of its own side.
    const int32_t right = SphereVisibility(o.get(), 50, 0, 0, 60, &depth);
    EXPECT_TRUE(right & kClipRight);
    // Turned round to heading 128 the first sphere ahead is behind.
    o->SetObserverAngles(0, 0, 128);
    EXPECT_EQ(SphereVisibility(o.get(), 0, 1000, 0, 10, &depth), kInvisible);
    // Far coordinates do not overflow: a sphere 30000 units ahead on the other side of the world.
    EXPECT_EQ(SphereVisibility(o.get(), 0, -30000, 0, 10, &depth), 0);
    EXPECT_EQ(depth, 30000);
}

TEST(ProjectVertices, ReciprocalProjectionAndClipPins)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    const int32_t s = o->scale;
    // 6 fractional bits: (10, 100, -5) units, a vertex at depth 0, one behind and one dropped.
    auto camera = CameraList({{10 << 6, 100 << 6, -5 * 64, 0},
                              {0, 0, 0, 0},
                              {1 << 6, -64, 0, 0},
                              {1 << 6, 10 << 6, 0, kVertexOutside},
                              {3 << 6, 10 << 6, 1 << 6, kClipRight | kClipTop}});
    List screen(NewDynamicArray(0, int32_t(sizeof(ScreenPoint)), 8));
    int32_t boxMin[3], boxMax[3];
    ProjectVertices(o.get(), camera.get(), screen.get(), nullptr, boxMin, boxMax);
    const ScreenPoint* p = screen->Elements<ScreenPoint>();
    EXPECT_NEAR(p[0].x, 10 * s / 100, 1);
    EXPECT_NEAR(p[0].y, -5 * s / 100, 1);
    EXPECT_EQ(p[1].x, 0);  // depth 0 takes entry 0 of the table, scale << 16
    EXPECT_EQ(p[2].x, 0);  // left as it was
    EXPECT_EQ(p[3].x, 0);
    EXPECT_EQ(p[4].x, o->xEdge);
    EXPECT_EQ(p[4].y, o->zEdge + 1);
    EXPECT_EQ(boxMin[1], 0);
    EXPECT_EQ(boxMax[1], 100 << 6);
    // Beyond the reach of the tables the depth is taken in whole units, and still projects.
    auto far = CameraList({{5000 << 6, 20000 << 6, 0, 0}});
    ProjectVertices(o.get(), far.get(), screen.get(), nullptr, nullptr, nullptr);
    EXPECT_NEAR(screen->Elements<ScreenPoint>()[0].x, 5000 * s / 20000, 1);
}

TEST(ProjectVertices, RecordsKeepReciprocalsProportionalToOneOverDepth)
{
    // Near vertices whose table values are scaled down for the screen point still record their
    // reciprocal at full precision: depth 2, 20 and 200 units, and 4000 beyond the tables' reach.
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    auto camera = CameraList({{0, 2 << 6, 0, 0}, {0, 20 << 6, 0, 0}, {0, 200 << 6, 0, 0}, {0, 4000 << 6, 0, 0}});
    List screen(NewDynamicArray(0, int32_t(sizeof(ScreenPoint)), 8));
    List records(NewDynamicArray(0, int32_t(sizeof(ProjectedVertex)), 8));
    ProjectVertices(o.get(), camera.get(), screen.get(), records.get(), nullptr, nullptr);
    const ProjectedVertex* r = records->Elements<ProjectedVertex>();
    const double w0 = r[0].reciprocal;
    EXPECT_NEAR(w0 / r[1].reciprocal, 10.0, 0.01);
    EXPECT_NEAR(w0 / r[2].reciprocal, 100.0, 0.1);
    EXPECT_NEAR(w0 / r[3].reciprocal, 2000.0, 2.0);
    EXPECT_EQ(r[1].depth, 20);
}

TEST(TransformVertices, TurnsTheWorldIntoCameraSpace)
{
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {10, 20, 30}, 64);
    List vertices(NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4));
    const FixedVector3 ahead = {IntToFixed(10 - 50), IntToFixed(20), IntToFixed(33)};  // heading 64 looks along -x
    vertices->Append(&ahead);
    List camera(NewDynamicArray(0, int32_t(sizeof(CameraVertex)), 4));
    TransformVertices(o.get(), vertices.get(), camera.get());
    const CameraVertex& v = camera->Elements<CameraVertex>()[0];
    EXPECT_NEAR(v.x, 0, 1);
    EXPECT_NEAR(v.y, 50 << 6, 64);
    EXPECT_EQ(v.z, 3 << 6);
    EXPECT_EQ(v.flags, 0u);
}

TEST(ProjectPolygons, FacingAndTheClipperAgainstOnePlane)
{
    ProjectionArrays arrays;
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -10, 100, -10, 10, 120, 10);
    // The lists a frame makes as the box first comes into view.
    EXPECT_EQ(box->ProjectedFaces, nullptr);
    ASSERT_TRUE(box->MakeProjectionLists());
    // The eye on the plane of the box's east face (x = 10): that face is edge-on.
    auto o = NewObserver(world.get(), 320, 240, {10, 0, 0});
    ObjectGeometry* g = box->GeometryAt(0);
    TransformVertices(o.get(), box->WorldVertices, box->ProjectedFaces);
    ASSERT_EQ(ProjectPolygons(o.get(), g->Polygons, box->WorldVertices, box->ProjectedFaces, 0), 1);
    EXPECT_EQ(FaceWithNormal(box, 256, 0, 0)->Facing, kFacingEdgeOn);
    EXPECT_EQ(FaceWithNormal(box, 0, -256, 0)->Facing, kFacingBehind);
    EXPECT_EQ(FaceWithNormal(box, 0, 256, 0)->Facing, kFacingNormalSide);
    EXPECT_EQ(FaceWithNormal(box, 0, -256, 0)->ClipRef, FaceWithNormal(box, 0, -256, 0)->Indices);
    // Seen whole, no face needs a clip list.
    EXPECT_EQ(FaceWithNormal(box, 0, -256, 0)->ClipList, nullptr);

    // Looking north-east, the left plane of the view pyramid runs north through the eye and
    // cuts the near face in two: its two western corners leave, two crossings come in, and the
    // new vertices carry the plane's pin.
    o->SetObserverPosition({0, 0, 0});
    o->SetObserverAngles(0, 0, 224);
    PolygonRecord* nearFace = FaceWithNormal(box, 0, -256, 0);
    // Its outer side smooth-shaded, with a shading value per corner.
    box->SetSideAttribute(1, kSideBack);
    DynamicArray* values = nearFace->GetSideVertexValues(kSideBack);
    ASSERT_NE(values, nullptr);
    IgnoreResult(values->ArraySetCount(4));
    for (int32_t i = 0; i < 4; ++i) *values->At<Fixed>(i) = IntToFixed(8 * i);
    TransformVertices(o.get(), box->WorldVertices, box->ProjectedFaces);
    const int32_t before = box->ProjectedFaces->ArrayCount();
    ASSERT_EQ(ProjectPolygons(o.get(), g->Polygons, box->WorldVertices, box->ProjectedFaces, kClipLeft), 1);
    // The clip list is made as the view's plane first cuts the face.
    ASSERT_NE(nearFace->ClipList, nullptr);
    EXPECT_EQ(nearFace->ClipRef, nearFace->ClipList);
    EXPECT_EQ(nearFace->Clipped, 0);
    int32_t made = 0;
    for (int32_t i = 0; i < nearFace->ClipRef->ArrayCount(); ++i) {
        const int32_t index = DrawnIndexAt(nearFace->ClipRef, i);
        if (index >= before) {
            ++made;
            EXPECT_EQ(box->ProjectedFaces->At<CameraVertex>(index)->flags, uint32_t(kClipLeft));
        }
    }
    EXPECT_EQ(made, 2);
    EXPECT_EQ(nearFace->ClipRef->ArrayCount(), 4);
    // The values come along: kept corners keep theirs, the crossings get values between.
    const DynamicArray* clippedValues = nearFace->GetSideVertexValuesB(kSideBack);
    ASSERT_EQ(clippedValues->ArrayCount(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        const int32_t index = DrawnIndexAt(nearFace->ClipRef, i);
        const Fixed value = *clippedValues->At<Fixed>(i);
        if (index < before) {
            EXPECT_EQ(value % IntToFixed(8), 0);
        } else {
            EXPECT_GT(value, 0);
            EXPECT_LT(value, IntToFixed(24));
        }
    }
}

TEST(ProjectedSideValues, WholeFacesReadTheirOwnValuesClippedOnesTheClippersList)
{
    ProjectionArrays arrays;
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -10, 100, -10, 10, 120, 10);
    ASSERT_TRUE(box->MakeProjectionLists());
    box->SetSideAttribute(1, kSideBack);
    ObjectGeometry* g = box->GeometryAt(0);
    PolygonRecord* nearFace = FaceWithNormal(box, 0, -256, 0);
    DynamicArray* own = nearFace->GetSideVertexValues(kSideBack);
    ASSERT_NE(own, nullptr);
    IgnoreResult(own->ArraySetCount(4));
    // Seen whole, nothing is copied: the face is drawn from its own values.
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    TransformVertices(o.get(), box->WorldVertices, box->ProjectedFaces);
    ASSERT_EQ(ProjectPolygons(o.get(), g->Polygons, box->WorldVertices, box->ProjectedFaces, 0), 1);
    EXPECT_EQ(ProjectedSideValues(nearFace, kSideBack), own);
    EXPECT_EQ(nearFace->GetSideVertexValuesB(kSideBack)->ArrayCount(), 0);
    // Cut by the left plane, it is drawn from the values of its clipped corners.
    o->SetObserverAngles(0, 0, 224);
    TransformVertices(o.get(), box->WorldVertices, box->ProjectedFaces);
    ASSERT_EQ(ProjectPolygons(o.get(), g->Polygons, box->WorldVertices, box->ProjectedFaces, kClipLeft), 1);
    EXPECT_EQ(ProjectedSideValues(nearFace, kSideBack), nearFace->GetSideVertexValuesB(kSideBack));
    EXPECT_EQ(ProjectedSideValues(nearFace, kSideBack)->ArrayCount(), 4);
}

TEST(IntersectEdge, CrossingsOfFarCoordinatesStayExact)
{
    // Distances far beyond 32 bits: the crossing lies a quarter of the way along.
    const CameraVertex inside = {0, 0, 0, 0};
    const CameraVertex outside = {1 << 22, -(1 << 22), 1 << 20, 0};
    const CameraVertex c = IntersectEdge(inside, outside, int64_t(1) << 40, -(int64_t(3) << 40));
    EXPECT_EQ(c.x, 1 << 20);
    EXPECT_EQ(c.y, -(1 << 20));
    EXPECT_EQ(c.z, 1 << 18);
    EXPECT_EQ(InterpolateValue(IntToFixed(4), IntToFixed(8), int64_t(1) << 40, -(int64_t(3) << 40)), IntToFixed(5));
}

TEST(SetupTextureMapping, SpreadsTheOutlineOverTheTexture)
{
    List outline(NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4));
    for (const FixedPoint& p : {FixedPoint{0, 0}, FixedPoint{IntToFixed(10), 0}, FixedPoint{IntToFixed(10), IntToFixed(20)}})
        outline->Append(&p);
    DynamicArray* mapping = nullptr;
    const TextureMappingInput in = {{0, 0, 65, 33}, {0, 0, 0, 0}, {0, 1}, {7, 7}, {0, kFixedOne}, {kFixedOne, kFixedOne}, 1.0};
    SetupTextureMapping(outline.get(), &mapping, in);
    ASSERT_NE(mapping, nullptr);
    ASSERT_EQ(mapping->ArrayCount(), 3);
    EXPECT_EQ(mapping->Elements<FixedPoint>()[1].x, IntToFixed(64));
    // A real-size axis over a frame of no extent does not divide by zero.
    EXPECT_EQ(mapping->Elements<FixedPoint>()[2].y, FixMul(IntToFixed(32), IntToFixed(20)));
    mapping->Destroy();
}

TEST(ProjectElement, ClipsItsOwnVerticesAndCarriesTheTexturePairs)
{
    ProjectionArrays arrays;
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    // A triangle ahead, one corner far out to the left of the view.
    auto vertices = CameraList({{-64000, 100 << 6, 0, 0}, {10 << 6, 100 << 6, 0, 0}, {0, 100 << 6, 10 << 6, 0}});
    List pairs(NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4));
    for (const FixedPoint& p : {FixedPoint{0, 0}, FixedPoint{IntToFixed(8), 0}, FixedPoint{0, IntToFixed(8)}})
        pairs->Append(&p);
    List clipped(NewDynamicArray(0, int32_t(sizeof(FixedPoint)), 4));
    ASSERT_EQ(ProjectElement(o.get(), vertices.get(), pairs.get(), clipped.get(), kClipLeft), 1);
    EXPECT_EQ(vertices->ArrayCount(), 4);
    EXPECT_EQ(clipped->ArrayCount(), 4);
    int32_t pinned = 0;
    for (int32_t i = 0; i < vertices->ArrayCount(); ++i) pinned += vertices->At<CameraVertex>(i)->flags == uint32_t(kClipLeft);
    EXPECT_EQ(pinned, 2);
    // Wholly outside: nothing left.
    auto outside = CameraList({{-64000, 100 << 6, 0, 0}, {-57600, 100 << 6, 0, 0}, {-60800, 100 << 6, 10 << 6, 0}});
    EXPECT_EQ(ProjectElement(o.get(), outside.get(), nullptr, nullptr, kClipLeft), 0);
    // With no planes to cross the pairs are copied.
    EXPECT_EQ(ProjectElement(o.get(), vertices.get(), pairs.get(), clipped.get(), 0), 1);
    EXPECT_EQ(clipped->ArrayCount(), 3);
}

TEST(ProjectElement, AnElementsCameraVerticesAndItsMappingLists)
{
    ProjectionArrays arrays;
    auto world = NewWorld();
    auto o = NewObserver(world.get(), 320, 240, {0, 0, 0});
    PolygonElement* element = new PolygonElement;
    ASSERT_EQ(element->Init(), kResultOk);
    auto camera = CameraList({{-64000, 100 << 6, 0, 0}, {10 << 6, 100 << 6, 0, 0}, {0, 100 << 6, 10 << 6, 0}});
    IgnoreResult(camera->ArrayCopyTo(element->ProjectedVertices));
    for (const FixedPoint& p : {FixedPoint{0, 0}, FixedPoint{IntToFixed(8), 0}, FixedPoint{0, IntToFixed(8)}})
        element->MappingList->Append(&p);
    // Without a texture the mapping stays where it is.
    ASSERT_EQ(ProjectElement(o.get(), element, kClipLeft), 1);
    EXPECT_EQ(element->ProjectedVertices->ArrayCount(), 4);
    EXPECT_EQ(element->MappingListB->ArrayCount(), 0);
    // With one the clipped pairs land in the second list, one per clipped corner.
    IgnoreResult(camera->ArrayCopyTo(element->ProjectedVertices));
    int texture = 0;
    element->Texture = reinterpret_cast<TextureRecord*>(&texture);
    ASSERT_EQ(ProjectElement(o.get(), element, kClipLeft), 1);
    ASSERT_EQ(element->MappingListB->ArrayCount(), 4);
    for (int32_t i = 0; i < 4; ++i) {
        const FixedPoint* pair = element->MappingListB->At<FixedPoint>(i);
        EXPECT_GE(pair->x, 0);
        EXPECT_LE(pair->x, IntToFixed(8));
    }
    IgnoreResult(camera->ArrayCopyTo(element->ProjectedVertices));
    ASSERT_EQ(ProjectElement(o.get(), element, 0), 1);
    EXPECT_EQ(element->MappingListB->ArrayCount(), 3);
    element->Texture = nullptr;
    element->Destroy();
}

TEST(ProjectVerticesBox, EqualsTheBoxOfTheStoredProjection)
{
    auto world = NewWorld();
    // Vertices ahead, beside, behind the eye, at the eye's depth and far beyond 65535 units
    // (16.16 world coordinates).
    List vertices(NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 8));
    for (const FixedVector3& v : std::initializer_list<FixedVector3>{{IntToFixed(10), IntToFixed(100), IntToFixed(-5)},
                                                                     {IntToFixed(-300), IntToFixed(40), IntToFixed(90)},
                                                                     {IntToFixed(7), IntToFixed(-50), IntToFixed(3)},
                                                                     {IntToFixed(1), 0, IntToFixed(1)},
                                                                     {IntToFixed(20000), IntToFixed(30000), IntToFixed(-9000)}})
        vertices->Append(&v);
    struct Eye {
        ShortVector3 place;
        int16_t heading, pitch, roll;
    };
    // Level, turned, pitched and rolled eyes.
    for (const Eye& eye : {Eye{{0, 0, 0}, 0, 0, 0}, Eye{{-20000, -20000, 5}, 37, 0, 0}, Eye{{3, -7, 11}, 200, 21, 0},
                           Eye{{0, 0, 0}, 64, 250, 9}}) {
        auto o = NewObserver(world.get(), 320, 240, eye.place);
        o->SetObserverAngles(eye.roll, eye.pitch, eye.heading);
        List camera(NewDynamicArray(0, int32_t(sizeof(CameraVertex)), 8));
        List points(NewDynamicArray(0, int32_t(sizeof(ScreenPoint)), 8));
        int32_t storedMin[3], storedMax[3], boxMin[3], boxMax[3];
        TransformVertices(o.get(), vertices.get(), camera.get());
        ProjectVertices(o.get(), camera.get(), points.get(), nullptr, storedMin, storedMax);
        ProjectVerticesBox(o.get(), vertices.get(), boxMin, boxMax);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(boxMin[k], storedMin[k]) << "heading " << eye.heading << " axis " << k;
            EXPECT_EQ(boxMax[k], storedMax[k]) << "heading " << eye.heading << " axis " << k;
        }
    }
}
