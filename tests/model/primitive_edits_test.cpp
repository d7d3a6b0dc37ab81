// Primitive edits: surfaces stay on their faces when kinds, segments, outlines and slices
// change the face numbering.
#include <gtest/gtest.h>

#include "foundation/pointer_list.h"
#include "model/plane_record.h"
#include "model/surface.h"
#include "tests/model/model_test_support.h"

namespace {

// Gives every face a surface whose code is its face number, so that surfaces can be followed.
void MarkFaces(ModelObject* object)
{
    for (int32_t face = 0; face < object->FaceCount(); ++face) {
        object->SurfaceForFace(face)->SetSurfaceColour({0, 0, 0}, uint16_t(face + 1), kSideBoth);
    }
}

// The marks in face order; 0 for a face without a surface.
std::vector<int32_t> Marks(const ModelObject* object)
{
    std::vector<int32_t> marks;
    for (int32_t face = 0; face < ListCount(object->Surfaces); ++face) {
        const Surface* surface = PointerAt<Surface>(object->Surfaces, face);
        marks.push_back(surface ? surface->ColourCode : 0);
    }
    return marks;
}

}  // namespace

TEST(PrimitiveEdits, AddingTheCapKeepsTheTriangleSurfaces)
{
    Scene scene;
    ModelObject* pyramid = MakePrimitiveOf(scene.holder(), 3, 2, 1, kSquare, 10, 0);
    MarkFaces(pyramid);
    EXPECT_EQ(Marks(pyramid), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    pyramid->SetPrimitiveKind(1, 1);
    EXPECT_EQ(pyramid->PrimitiveKind, 1);
    EXPECT_EQ(Marks(pyramid), (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    pyramid->SetPrimitiveKind(3, 7);  // kinds 1 to 3 take one segment
    EXPECT_EQ(pyramid->PrimitiveKind, 3);
    EXPECT_EQ(pyramid->Segments, 1);
    EXPECT_EQ(int32_t(Marks(pyramid).size()), 8);
    pyramid->Destroy();
}

TEST(PrimitiveEdits, SegmentsAndApexesMoveTheRightEntries)
{
    Scene scene;
    ModelObject* dome = MakePrimitiveOf(scene.holder(), 3, 2, 1, kSquare, 0, 10);
    MarkFaces(dome);  // cap 1, triangles 2 to 5
    dome->SetSegments(3);  // not a rounded kind: nothing
    EXPECT_EQ(dome->PrimitiveKind, 2);
    dome->SetPrimitiveKind(4, 3);
    EXPECT_EQ(dome->PrimitiveKind, 4);
    EXPECT_EQ(dome->FaceCount(), 13);
    // The cap stays first, the new bands come right after it, the apex fan stays last.
    EXPECT_EQ(Marks(dome), (std::vector<int32_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 4, 5}));
    dome->SetSegments(2);
    EXPECT_EQ(Marks(dome), (std::vector<int32_t>{1, 0, 0, 0, 0, 2, 3, 4, 5}));
    dome->SetPrimitiveKind(5, 2);
    EXPECT_EQ(dome->FaceCount(), 16);
    EXPECT_EQ(int32_t(Marks(dome).size()), 16);
    EXPECT_EQ(Marks(dome)[0], 0);  // the cap's surface went with the cap
    dome->SetPrimitiveKind(4, 2);
    EXPECT_EQ(dome->FaceCount(), 9);
    EXPECT_EQ(int32_t(Marks(dome).size()), 9);
    dome->Destroy();
}

TEST(PrimitiveEdits, OutlinePointsAndSlices)
{
    Scene scene;
    ModelObject* prism = MakePrimitiveOf(scene.holder(), 3, 1, 1, kSquare, 0, 10);
    MarkFaces(prism);
    prism->InsertOutlinePoint(2, {IntToFixed(12), IntToFixed(5)});
    EXPECT_EQ(prism->OutlineCount(), 5);
    EXPECT_EQ(Marks(prism), (std::vector<int32_t>{1, 2, 3, 0, 4, 5, 6}));
    prism->DeleteOutlinePoint(2);
    EXPECT_EQ(Marks(prism), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
    ModelObject* triangle = MakePrimitiveOf(scene.holder(), 3, 1, 1, {{0, 10}, {10, 0}, {0, 0}}, 0, 10);
    triangle->DeleteOutlinePoint(0);
    EXPECT_EQ(triangle->OutlineCount(), 3);
    triangle->DropOutlinePoints(1);
    EXPECT_EQ(triangle->OutlineCount(), 3);
    triangle->AppendOutlinePoints(2);
    EXPECT_EQ(triangle->OutlineCount(), 5);
    triangle->DropOutlinePoints(2);
    EXPECT_EQ(triangle->OutlineCount(), 3);

    PlaneRecord* plane = prism->NewPlaneRecord();
    plane->SetPlane(0, 0, -kFixedOne, IntToFixed(5));
    prism->AddSlice(plane);
    EXPECT_EQ(prism->SliceFaceIndex(0), 6);
    EXPECT_EQ(Marks(prism), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 0}));
    prism->RemoveSlice(plane);
    EXPECT_EQ(prism->SliceCount(), 0);
    EXPECT_EQ(int32_t(Marks(prism).size()), 6);
    plane->PlaneFree();

    prism->MoveHeights(IntToFixed(1), IntToFixed(2));
    EXPECT_EQ(prism->Height1, IntToFixed(12));
    prism->MoveOffsets(IntToFixed(1), 0, 0, 0);
    EXPECT_EQ(prism->HasOffsets(), 1);
    prism->MoveOutlineEdge(3, IntToFixed(1), 0);
    EXPECT_EQ(prism->Outline->At<FixedPoint>(0)->x, IntToFixed(1));
    prism->Destroy();
    triangle->Destroy();
}

TEST(PrimitiveEdits, FlipEndsMovesTheCap)
{
    Scene scene;
    ModelObject* pyramid = MakePrimitiveOf(scene.holder(), 3, 2, 1, kSquare, 0, 10);
    MarkFaces(pyramid);
    pyramid->FlipEnds();
    EXPECT_EQ(pyramid->Height0, IntToFixed(10));
    EXPECT_EQ(Marks(pyramid), (std::vector<int32_t>{2, 3, 4, 5, 1}));
    EXPECT_EQ(pyramid->CapFaceIndex(0), 4);
    pyramid->Destroy();
}
