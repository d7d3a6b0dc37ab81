// Records painted over by nearer ones: left out of the frame with the picture unchanged in every
// depth, their faces projected once something asks for them, and drawn after all where they
// peek out, where the face in front is see-through, and in drawings of part of the list.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "raster/span_region.h"
#include "render/face_front_end.h"
#include "render/frame_render.h"
#include "render/projection.h"
#include "tests/render/render_target.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

namespace {

class OccludedEveryDepth : public testing::TestWithParam<int32_t> {};

// Renders a frame and returns the number of faces it drew.
uint32_t FacesOfFrame(Observer* o)
{
    const uint32_t before = FacesDrawn();
    RenderFrameTimed(o, 0, 0);
    return FacesDrawn() - before;
}

}  // namespace

TEST_P(OccludedEveryDepth, ARecordBehindANearerOneIsLeftOutWithThePictureUnchanged)
{
    RenderTarget target(GetParam());
    auto world = NewWorld();
    AddBox(world.get(), -40, 100, -30, 40, 110, 30, kRed);
    ModelObject* farBox = AddBox(world.get(), -10, 200, -10, 10, 210, 10, kBlue);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    // The background and the near box's face.
    EXPECT_EQ(FacesOfFrame(o.get()), 2u);
    ObjectGeometry* hidden = farBox->GeometryAt(0);
    EXPECT_EQ(hidden->Occluded, 1);
    const std::vector<uint8_t> picture = target.Image();

    // The same picture without the far box at all.
    farBox->SetHidden(1);
    o->BumpSerial();
    target.Clear();
    EXPECT_EQ(FacesOfFrame(o.get()), 2u);
    EXPECT_EQ(target.Image(), picture);

    // Its faces wait until a caller needs them; then they face the eye as drawn from outside.
    farBox->SetHidden(0);
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    PolygonRecord* front = FaceWithNormal(farBox, 0, -256, 0);
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(hidden->FacesPending, 1);
    EXPECT_EQ(front->Facing, 0);
    EXPECT_EQ(RenderObjectVisibility(hidden, o.get()), 1);
    EXPECT_EQ(hidden->FacesPending, 0);
    EXPECT_EQ(front->Facing, kFacingBehind);
    EXPECT_EQ(front->ClipRef, front->Indices);
}

INSTANTIATE_TEST_SUITE_P(Depths, OccludedEveryDepth, testing::Values(4, 8, 16, 24, 32),
                         [](const testing::TestParamInfo<int32_t>& info) { return "Depth" + std::to_string(info.param); });

TEST(Occluded, ARecordPeepingOutOrBehindASeeThroughFaceIsDrawn)
{
    RenderTarget target(32);
    auto world = NewWorld();
    ModelObject* nearBox = AddBox(world.get(), -40, 100, -30, 40, 110, 30, kRed);
    // Its right edge reaches past the near box's on the screen.
    ModelObject* farBox = AddBox(world.get(), 60, 200, -10, 100, 210, 10, kBlue);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(farBox->GeometryAt(0)->Occluded, 0);
    const int32_t peek = kWidth / 2 + 90 * o->scale / 200;
    EXPECT_EQ(target.Pixel(peek, kHeight / 2), 0x0000FFu);

    // Moved wholly behind the near box, but the near box is see-through.
    farBox->SetHidden(1);
    ModelObject* behind = AddBox(world.get(), -10, 200, -10, 10, 210, 10, kBlue);
    nearBox->SetColours(kRed, 0x8000, kSideBoth);
    nearBox->RefreshShading();
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(behind->GeometryAt(0)->Occluded, 0);
}

TEST(Occluded, ARecordWhoseElementReachesBeyondItIsDrawn)
{
    RenderTarget target(32);
    auto world = NewWorld();
    AddBox(world.get(), -40, 100, -30, 40, 110, 30, kRed);
    ModelObject* farBox = AddBox(world.get(), -10, 200, -10, 10, 210, 10, kBlue);
    // A sign on the outside of its front face, ten times as wide as the face.
    const RGBColor48 green = {0, 0xFFFF, 0};
    ASSERT_NE(AddFaceElement(farBox, FaceWithNormal(farBox, 0, -256, 0)->FaceIndex, 2, 0, 200, 200, 0, 0, 0, green,
                             0xFF00),
              nullptr);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(farBox->GeometryAt(0)->Occluded, 0);
    // Beside the near box, where only the sign can be seen.
    EXPECT_EQ(target.Pixel(kWidth / 2 + 90 * o->scale / 200, kHeight / 2), 0x00FF00u);
}

TEST(Occluded, ADrawingOfPartOfTheListDrawsOccludedRecords)
{
    RenderTarget target(32);
    auto world = NewWorld();
    ModelObject* nearBox = AddBox(world.get(), -40, 100, -30, 40, 110, 30, kRed);
    ModelObject* farBox = AddBox(world.get(), -10, 200, -10, 10, 210, 10, kBlue);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    ObjectGeometry* root = world->Root->GeometryAt(0);
    std::unique_ptr<SpanRegion, void (*)(SpanRegion*)> whole(new SpanRegion, [](SpanRegion* r) { r->SpanRegionFree(); });
    whole->SpanRegionInit();
    std::unique_ptr<SpanRegion, void (*)(SpanRegion*)> frame(whole->SpanRegionFromRect(0, 0, kWidth, kHeight),
                                                             [](SpanRegion* r) { r->SpanRegionFree(); });
    ASSERT_TRUE(frame);
    RenderModel(root, o.get(), frame.get(), nullptr, nullptr, 0, 0);
    ASSERT_EQ(farBox->GeometryAt(0)->Occluded, 1);
    // Up to the near box, as behind a see-through face: the background and the far box's face.
    const uint32_t before = FacesDrawn();
    RenderModel(root, o.get(), frame.get(), nearBox->GeometryAt(0), nullptr, 0, 0);
    EXPECT_EQ(FacesDrawn() - before, 2u);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0x0000FFu);
}
