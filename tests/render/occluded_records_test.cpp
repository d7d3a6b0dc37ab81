// Records painted over by nearer ones: left out of the frame with the picture unchanged in every
// depth, as are the faces of partly seen records that they paint over; their faces projected once
// something asks for them, and drawn after all behind a see-through face, with an element reaching
// beyond them, and in drawings of part of the list where no nearer record of the drawing paints
// over them; left out where the walk's allowance ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "foundation/count_raised.h"
#include "raster/span_region.h"
#include "render/face_front_end.h"
#include "render/frame_render.h"
#include "render/projection.h"
#include "render/render_context.h"
#include "tests/render/render_target.h"
#include "tests/render/scene_support.h"

using namespace rendertest;

namespace {

// A red box ahead of the eye and a small blue one straight behind it.
struct HiddenScene {
    HolderPtr world = NewWorld();
    ModelObject* nearBox = AddBox(world.get(), -40, 100, -30, 40, 110, 30, kRed);
    ModelObject* farBox = AddBox(world.get(), -10, 200, -10, 10, 210, 10, kBlue);
    ObserverPtr o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    HiddenScene() { o->SetObserverOptions(kFillOnly); }

    uint32_t FacesOfFrame()
    {
        const uint32_t before = FacesDrawn();
        RenderFrameTimed(o.get(), 0, 0);
        return FacesDrawn() - before;
    }
};

class OccludedEveryDepth : public testing::TestWithParam<int32_t> {};

using OwnedRegion = std::unique_ptr<SpanRegion, void (*)(SpanRegion*)>;

void FreeRegion(SpanRegion* region)
{
    region->SpanRegionFree();
}

// The region of the whole view, as a frame is drawn into, made from a region kept beside it.
struct WholeViewRegion {
    OwnedRegion maker{new SpanRegion, FreeRegion};
    OwnedRegion view{(maker->SpanRegionInit(), maker->SpanRegionFromRect(0, 0, kWidth, kHeight)), FreeRegion};
    SpanRegion* get() const { return view.get(); }
    explicit operator bool() const { return view != nullptr; }
};

}  // namespace

TEST_P(OccludedEveryDepth, ARecordBehindANearerOneIsLeftOutWithThePictureUnchanged)
{
    RenderTarget target(GetParam());
    HiddenScene scene;
    // The background and the near box's face.
    EXPECT_EQ(scene.FacesOfFrame(), 2u);
    ObjectGeometry* hidden = scene.farBox->GeometryAt(0);
    EXPECT_EQ(hidden->Occluded, 1);
    // The faces of both boxes came into view as the list was made, before anything was drawn: the
    // hidden one, painted over whole and never projected, is held in view all the same. A frame of
    // the same view tests and projects nothing again, and starts with them in view.
    const FrameBudget& budget = CurrentRenderContext().frameBudget;
    EXPECT_EQ(budget.InView(), 12);
    const std::vector<uint8_t> first = target.Image();
    target.Clear();
    EXPECT_EQ(scene.FacesOfFrame(), 2u);
    EXPECT_EQ(budget.InView(), 12);
    EXPECT_EQ(target.Image(), first);
    const std::vector<uint8_t> picture = target.Image();
    scene.farBox->SetHidden(1);
    scene.o->BumpSerial();
    target.Clear();
    EXPECT_EQ(scene.FacesOfFrame(), 2u);
    EXPECT_EQ(target.Image(), picture);

    // Its faces wait until a caller needs them; then they face the eye as drawn from outside.
    scene.farBox->SetHidden(0);
    scene.o->BumpSerial();
    RenderFrameTimed(scene.o.get(), 0, 0);
    PolygonRecord* front = FaceWithNormal(scene.farBox, 0, -256, 0);
    EXPECT_EQ(hidden->FacesPending, 1);
    EXPECT_EQ(front->Facing, 0);
    EXPECT_EQ(RenderObjectVisibility(hidden, scene.o.get()), 1);
    EXPECT_EQ(hidden->FacesPending, 0);
    EXPECT_EQ(front->Facing, kFacingBehind);
    EXPECT_EQ(front->ClipRef, front->Indices);
}

INSTANTIATE_TEST_SUITE_P(Depths, OccludedEveryDepth, testing::Values(4, 8, 16, 24, 32),
                         [](const testing::TestParamInfo<int32_t>& info) { return "Depth" + std::to_string(info.param); });

TEST(Occluded, AFaceOfAPartlySeenRecordBehindANearerOneIsLeftOut)
{
    RenderTarget target(32);
    HiddenScene scene;
    // A long box off to the right behind the near one: its front face reaches out beside the near
    // box, its left face lies wholly behind it.
    ModelObject* side = AddBox(scene.world.get(), 20, 150, -10, 100, 400, 10, kBlue);
    PolygonRecord* front = FaceWithNormal(side, 0, -256, 0);
    PolygonRecord* left = FaceWithNormal(side, -256, 0, 0);
    // The background, the near box's face and the long box's front face.
    EXPECT_EQ(scene.FacesOfFrame(), 3u);
    EXPECT_EQ(side->GeometryAt(0)->Occluded, 0);
    EXPECT_EQ(front->Occluded, 0);
    EXPECT_EQ(left->Occluded, 1);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 60 * scene.o->scale / 150, kHeight / 2), 0x0000FFu);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 20 * scene.o->scale / 200, kHeight / 2), 0xFF0000u);
}

TEST(Occluded, ARecordBehindASeeThroughFaceOrWithAnElementBeyondItIsDrawn)
{
    RenderTarget target(32);
    {
        HiddenScene scene;
        scene.nearBox->SetColours(kRed, 0x8000, kSideBoth);
        scene.nearBox->RefreshShading();
        RenderFrameTimed(scene.o.get(), 0, 0);
        EXPECT_EQ(scene.farBox->GeometryAt(0)->Occluded, 0);
    }
    HiddenScene scene;
    // A sign on the outside of the far box's front face, ten times as wide as the face.
    ASSERT_NE(AddFaceElement(scene.farBox, FaceWithNormal(scene.farBox, 0, -256, 0)->FaceIndex, 2, 0, 200, 200, 0, 0,
                             0, {0, 0xFFFF, 0}, 0xFF00),
              nullptr);
    RenderFrameTimed(scene.o.get(), 0, 0);
    EXPECT_EQ(scene.farBox->GeometryAt(0)->Occluded, 0);
    // Beside the near box, where only the sign can be seen.
    EXPECT_EQ(target.Pixel(kWidth / 2 + 90 * scene.o->scale / 200, kHeight / 2), 0x00FF00u);
}

TEST(Occluded, ARecordEditedAfterAFrameToDrawBeyondItsBoxIsDrawnInTheNext)
{
    RenderTarget target(32);
    // Its front face made see-through (drawn in layers, with what lies behind it clipped to it:
    // still painted over whole), or a sign ten times as wide as the face laid on it (seen beside
    // the near box).
    for (const bool sign : {false, true}) {
        HiddenScene scene;
        ObjectGeometry* hidden = scene.farBox->GeometryAt(0);
        const int16_t front = FaceWithNormal(scene.farBox, 0, -256, 0)->FaceIndex;
        RenderFrameTimed(scene.o.get(), 0, 0);
        ASSERT_EQ(hidden->Occluded, 1);
        if (sign) {
            ASSERT_NE(AddFaceElement(scene.farBox, front, 2, 0, 200, 200, 0, 0, 0, {0, 0xFFFF, 0}, 0xFF00), nullptr);
        } else {
            scene.farBox->SurfaceForFace(front)->SetSurfaceColour(kBlue, 0x8000, kSideBoth);
        }
        scene.o->BumpSerial();
        RenderFrameTimed(scene.o.get(), 0, 0);
        EXPECT_EQ(hidden->Occluded, sign ? 0 : 1) << sign;
        if (sign) {
            EXPECT_EQ(target.Pixel(kWidth / 2 + 90 * scene.o->scale / 200, kHeight / 2), 0x00FF00u);
        }
    }
}

TEST(Occluded, ADrawingOfPartOfTheListDrawsOccludedRecords)
{
    RenderTarget target(32);
    HiddenScene scene;
    ObjectGeometry* root = scene.world->Root->GeometryAt(0);
    const WholeViewRegion frame;
    ASSERT_TRUE(frame);
    RenderModel(root, scene.o.get(), frame.get(), nullptr, nullptr, 0, 0);
    ASSERT_EQ(scene.farBox->GeometryAt(0)->Occluded, 1);
    // Up to the near box, as behind a see-through face: the background and the far box's face.
    const uint32_t before = FacesDrawn();
    RenderModel(root, scene.o.get(), frame.get(), scene.nearBox->GeometryAt(0), nullptr, 0, 0);
    EXPECT_EQ(FacesDrawn() - before, 2u);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0x0000FFu);
}

TEST(Occluded, ADrawingOfPartOfTheViewLeavesOutWhatNearerRecordsPaintOverThere)
{
    // Straight into the pixels, and through the system's calls, which cut each face to the
    // region's outline on its own, its corners rounded there: the marks keep a pixel within the
    // outline of each face's cut, so that what a strip narrower than the record takes in is drawn.
    for (const int32_t direct : {1, 0}) {
        RenderTarget target(32);
        SetDirectPixelDrawing(direct);
        HiddenScene scene;
        // Two more boxes far out to either side: the list is filed by the tiles of the view.
        AddBox(scene.world.get(), -300, 400, -10, -280, 410, 10, kBlue);
        ModelObject* right = AddBox(scene.world.get(), 280, 400, -10, 300, 410, 10, kBlue);
        const WholeViewRegion frame;
        ASSERT_TRUE(frame);
        // A strip down the middle, as behind a see-through face, drawn within a frame.
        OwnedRegion strip(frame.maker->SpanRegionFromRect(kWidth / 2 - 4, 0, kWidth / 2 + 4, kHeight), FreeRegion);
        OwnedRegion wide(frame.maker->SpanRegionFromRect(kWidth / 2 - 15, 0, kWidth / 2 + 15, kHeight), FreeRegion);
        ASSERT_NE(strip, nullptr);
        ASSERT_NE(wide, nullptr);
        const auto stripPixels = [&target] {
            std::vector<uint32_t> pixels;
            for (int32_t y = 0; y < kHeight; ++y)
                for (int32_t x = kWidth / 2 - 3; x < kWidth / 2 + 3; ++x) pixels.push_back(target.Pixel(x, y));
            return pixels;
        };
        // Drawn within a frame, nested in another drawing (which leaves nothing out by the marks
        // of the frame's own drawing of the list).
        // The corners the last drawing cut its faces by: a face looked at is cut, whether or not
        // anything of it is left to draw.
        int64_t cornerPairs = 0;
        const auto facesIn = [&scene, &target, &cornerPairs](SpanRegion* part) {
            RenderFrameTimed(scene.o.get(), 0, 0);
            RenderContext& context = CurrentRenderContext();
            target.Clear();
            context.frameBudget.Begin(kWidth * kHeight);
            const uint32_t before = FacesDrawn();
            {
                const CountRaised nested(context.renderDepth);
                RenderModel(scene.world->Root->GeometryAt(0), scene.o.get(), part, nullptr, nullptr, 0, 0);
            }
            context.frameBudget.End();
            cornerPairs = context.frameBudget.Spent(FrameCost::kCornerPairs);
            return FacesDrawn() - before;
        };
        const auto facesInStrip = [&facesIn, &strip] { return facesIn(strip.get()); };
        // The frame's own drawing leaves the far box out on either path.
        RenderFrameTimed(scene.o.get(), 0, 0);
        EXPECT_EQ(scene.farBox->GeometryAt(0)->Occluded, 1) << direct;
        const std::vector<uint32_t> whole = stripPixels();
        // The background and the near box's face: the far box, under it there, is passed over;
        // through the system's calls only where the strip holds it with a pixel to spare.
        EXPECT_EQ(facesInStrip(), direct ? 2u : 3u) << direct;
        EXPECT_EQ(stripPixels(), whole) << direct;
        EXPECT_EQ(facesIn(wide.get()), 2u) << direct;
        EXPECT_EQ(stripPixels(), whole) << direct;
        // See-through, the near box's face paints over nothing: the far box is drawn too.
        scene.nearBox->SetColours(kRed, 0x8000, kSideBoth);
        scene.nearBox->RefreshShading();
        scene.o->BumpSerial();
        EXPECT_EQ(facesInStrip(), 3u) << direct;
        // A sign on the right box's front keeps the box out of the strip where the sign stays
        // beside it, and brings it in where the sign reaches into the strip.
        const int16_t front = FaceWithNormal(right, 0, -256, 0)->FaceIndex;
        ASSERT_NE(AddFaceElement(right, front, 2, 0, 10, 4, 0, 0, 0, kRed, 0xFFFF), nullptr);
        scene.o->BumpSerial();
        EXPECT_EQ(facesInStrip(), 3u) << direct;
        const int64_t besideCornerPairs = cornerPairs;
        // Straight into the pixels its front face is drawn, and both signs over it; through the
        // system's calls the face is cut to the strip, and a face the cut leaves nothing of is not
        // drawn (nor counted), nor then the signs over it.
        ASSERT_NE(AddFaceElement(right, front, 2, 0, 600, 4, 0, 0, 0, kRed, 0xFFFF), nullptr);
        scene.o->BumpSerial();
        EXPECT_EQ(facesInStrip(), direct ? 5u : 3u) << direct;
        EXPECT_GT(cornerPairs, besideCornerPairs) << direct;
    }
}

TEST(Occluded, RecordsTheWalksAllowanceDoesNotReachAreLeftOut)
{
    RenderTarget target(32);
    HiddenScene scene;
    // A long box off to the right, seen beside the near one.
    ModelObject* side = AddBox(scene.world.get(), 20, 150, -10, 100, 400, 10, kBlue);
    ObjectGeometry* root = scene.world->Root->GeometryAt(0);
    const WholeViewRegion frame;
    ASSERT_TRUE(frame);
    // The walk's allowance spent beforehand, that of the frame with the boxes' faces in view: not
    // even the nearest record is tested, and every record is left out; the budget is passed but
    // the frame not stopped: the background is drawn.
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    budget.Begin(kWidth * kHeight);
    budget.Expect(3 * 6, 0);
    ASSERT_TRUE(budget.SpendOnMask(budget.Allowance(FrameCost::kMasked)));
    const uint32_t before = FacesDrawn();
    RenderModel(root, scene.o.get(), frame.get(), nullptr, nullptr, 0, 0);
    budget.End();
    EXPECT_EQ(FacesDrawn() - before, 1u);
    for (ModelObject* box : {scene.nearBox, scene.farBox, side}) EXPECT_EQ(box->GeometryAt(0)->Occluded, 1);
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.Stopped());
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), target.Pixel(0, 0));
    EXPECT_EQ(target.Pixel(kWidth / 2 + 60 * scene.o->scale / 150, kHeight / 2), target.Pixel(0, 0));
}
