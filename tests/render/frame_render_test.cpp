// Whole frames into real offscreens of every depth: faces where their projection says, nothing
// drawn for what lies behind the eye or outside the view and nothing beyond the offscreen's
// pixels, the same pixels for the same view however it was reached, the GDI face path against
// the direct one, touching objects in contact-plane order, picking, and a frame past its stop.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/pen_state.h"
#include "draw/port_base.h"
#include "foundation/loop_turns.h"
#include "model/model_document.h"
#include "model/polygon_element.h"
#include "raster/span_region.h"
#include "render/device_points.h"
#include "render/face_front_end.h"
#include "render/frame_render.h"
#include "render/gdi_face_path.h"
#include "render/projection.h"
#include "render/render_context.h"
#include "tests/draw/draw_support.h"
#include "tests/render/render_target.h"
#include "tests/render/scene_support.h"
#include "textures/shade_level_builder.h"

using namespace rendertest;

namespace {

class FrameEveryDepth : public testing::TestWithParam<int32_t> {};

}  // namespace

TEST_P(FrameEveryDepth, AFaceStraightAheadCoversItsProjection)
{
    RenderTarget target(GetParam());
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -20, 100, -10, 20, 110, 10, kRed);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    target.FillPadding();
    const uint32_t before = FacesDrawn();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(FacesDrawn() - before, 2u);  // the background, and the one face that faces the eye
    EXPECT_TRUE(target.PaddingIntact());
    const DeviceBox b = ProjectedBox(FaceWithNormal(box, 0, -256, 0));
    EXPECT_EQ(b.right - b.left, 2 * (20 * o->scale / 100));
    const uint32_t face = target.Pixel((b.left + b.right) / 2, (b.top + b.bottom) / 2);
    const uint32_t background = target.Pixel(0, 0);
    ASSERT_NE(face, background);
    int32_t wrong = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x >= b.left && x < b.right && y >= b.top && y < b.bottom;
            if (target.Pixel(x, y) != (inside ? face : background)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);

    // Through the system's polygon calls the face lands on the same pixels within one at its edges.
    std::vector<uint32_t> directPixels;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) directPixels.push_back(target.Pixel(x, y));
    target.Clear();
    SetDirectPixelDrawing(0);
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    // The system may match the colours to other pixel values: a pixel counts as the face's where
    // it is not the background of its own frame.
    const uint32_t systemBackground = target.Pixel(0, 0);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            if ((target.Pixel(x, y) != systemBackground) == (directPixels[y * kWidth + x] != background)) continue;
            const bool nearEdge = std::abs(x - b.left) <= 1 || std::abs(x - b.right) <= 1 || std::abs(y - b.top) <= 1 ||
                                  std::abs(y - b.bottom) <= 1;
            EXPECT_TRUE(nearEdge) << x << "," << y;
        }
    }
}

TEST_P(FrameEveryDepth, NothingBehindTheEyeOrOutsideTheViewIsDrawn)
{
    RenderTarget target(GetParam());
    auto world = NewWorld();
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    RenderFrameTimed(o.get(), 0, 0);
    const std::vector<uint8_t> empty = target.Image();
    AddBox(world.get(), -20, -110, -10, 20, -100, 10, kRed);  // behind
    AddBox(world.get(), 900, 100, -10, 940, 110, 10, kRed);   // far to the right
    AddBox(world.get(), -20, 100, 300, 20, 110, 320, kRed);   // far above
    o->AttachObserverToWorld();
    target.FillPadding();
    const uint32_t before = FacesDrawn();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(FacesDrawn() - before, 1u);  // the background alone
    EXPECT_EQ(target.Image(), empty);
    EXPECT_TRUE(target.PaddingIntact());

    // A box reaching from behind the eye far past both sides: clipped in 3-D, drawn only ahead,
    // and nothing lands beyond the offscreen's pixels.
    AddBox(world.get(), -30000, -30000, -400, 30000, 30000, -300, kBlue);
    o->AttachObserverToWorld();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_TRUE(target.PaddingIntact());
    EXPECT_NE(target.Image(), empty);
    EXPECT_EQ(target.Pixel(kWidth / 2, 0), target.Pixel(0, 0));  // above the horizon: nothing
    EXPECT_NE(target.Pixel(kWidth / 2, kHeight - 1), target.Pixel(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Depths, FrameEveryDepth, testing::Values(4, 8, 16, 24, 32),
                         [](const testing::TestParamInfo<int32_t>& info) { return "Depth" + std::to_string(info.param); });

TEST(Frame, TheSameViewGivesTheSamePixelsHoweverItWasReached)
{
    RenderTarget target(32);
    std::unique_ptr<ModelDocument, void (*)(ModelDocument*)> room(BuildRoomSample(),
                                                                  [](ModelDocument* d) { d->Destroy(); });
    ModelHolder* holder = room->Holder;
    auto o = NewObserver(holder, kWidth / 2, kHeight / 2, {0, -100, 66}, 16);
    o->SetObserverOptions(0x343F);
    RenderFrameTimed(o.get(), 0, 0);
    const std::vector<uint8_t> first = target.Image();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Image(), first);

    // Walk and turn, render; then a new observer placed there from the start.
    o->MoveObserverRelative(40, 10, 0, 20, 0, 0);
    RenderFrameTimed(o.get(), 0, 0);
    const std::vector<uint8_t> moved = target.Image();
    EXPECT_NE(moved, first);
    auto cold = NewObserver(holder, kWidth / 2, kHeight / 2, {o->x, o->y, o->z}, o->heading);
    cold->SetObserverOptions(0x343F);
    target.Clear();
    RenderFrameTimed(cold.get(), 0, 0);
    EXPECT_EQ(target.Image(), moved);
}

TEST(Frame, ARecordSeenWholeGetsItsPointsWhenItIsDrawn)
{
    RenderTarget target(32);
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -20, 100, -10, 20, 110, 10, kRed);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {3, -4, 2}, 5);
    ObjectGeometry* g = box->GeometryAt(0);
    // The view test gives the screen box alone; the points follow with the faces.
    ASSERT_EQ(RecordVisibility(g, o.get()), 1);
    EXPECT_EQ(g->ClipCode, 0);
    EXPECT_EQ(g->PointsPending, 1);
    const std::vector<int32_t> box0(g->ScreenMinimum, g->ScreenMinimum + 3);
    ProjectPendingFaces(g, o.get());
    EXPECT_EQ(g->PointsPending, 0);
    EXPECT_EQ(std::vector<int32_t>(g->ScreenMinimum, g->ScreenMinimum + 3), box0);
    // The same points as projecting the object's vertices there and then.
    Owned<DynamicArray> camera(NewDynamicArray(0, int32_t(sizeof(CameraVertex)), 8));
    Owned<DynamicArray> points(NewDynamicArray(0, int32_t(sizeof(ScreenPoint)), 8));
    TransformVertices(o.get(), box->WorldVertices, camera.get());
    ProjectVertices(o.get(), camera.get(), points.get(), nullptr, nullptr, nullptr);
    ASSERT_EQ(g->ScreenPoints->ArrayCount(), points->ArrayCount());
    for (int32_t i = 0; i < points->ArrayCount(); ++i) {
        EXPECT_EQ(g->ScreenPoints->At<ScreenPoint>(i)->x, points->At<ScreenPoint>(i)->x);
        EXPECT_EQ(g->ScreenPoints->At<ScreenPoint>(i)->y, points->At<ScreenPoint>(i)->y);
    }
}

TEST(Frame, AnObjectStandingOnAnotherIsDrawnOverIt)
{
    RenderTarget target(32);
    auto world = NewWorld();
    AddBox(world.get(), -300, -300, -10, 300, 300, 0, kBlue);
    ModelObject* box = AddBox(world.get(), -10, 90, 0, 10, 110, 20, kRed);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 60}, 0, 240);
    o->SetObserverOptions(kFillOnly);
    RenderFrameTimed(o.get(), 0, 0);
    const DeviceBox b = ProjectedBox(FaceWithNormal(box, 0, -256, 0));
    EXPECT_EQ(target.Pixel((b.left + b.right) / 2, (b.top + b.bottom) / 2), 0xFF0000u);
}

// The view's planes cut the walls of an object of the most vertices an object may have into
// corners past what 16-bit indices address: the eye inside sees its walls and the box standing in
// it as inside the same room of eight vertices.
TEST(Frame, TheEyeInsideAnObjectOfTheMostVerticesSeesItWhole)
{
    RenderTarget target(32);
    std::vector<std::vector<uint8_t>> images;
    for (int32_t vertices : {8, kMaxObjectVertices}) {
        auto world = NewWorld();
        std::vector<FixedVector3> corners;
        for (int32_t i = 0; i < 8; ++i) {
            corners.push_back(
                {IntToFixed(i & 1 ? 100 : -100), IntToFixed(i & 2 ? 100 : -100), IntToFixed(i & 4 ? 100 : -100)});
        }
        corners.resize(size_t(vertices), corners[0]);
        ModelObject* room = MakePolygonMesh(
            world.get(), corners, {{1, 3, 2, 0}, {6, 7, 5, 4}, {4, 5, 1, 0}, {3, 7, 6, 2}, {2, 6, 4, 0}, {5, 7, 3, 1}});
        room->SetColours(kBlue, 0xFFFF, kSideBoth);
        world->Root->AddChild(room);
        ModelObject* box = MakeBox(world.get(), -10, 40, 0, 10, 60, 20);
        box->SetColours(kRed, 0xFFFF, kSideBoth);
        room->AddChild(box);
        auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, -50, 10});
        ASSERT_EQ(o->cell, room->GeometryAt(0));
        o->SetObserverOptions(kFillOnly);
        target.Clear();
        RenderFrameTimed(o.get(), 0, 0);
        EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0xFF0000u);
        EXPECT_EQ(target.Pixel(0, 0), 0x0000FFu);
        images.push_back(target.Image());
    }
    EXPECT_EQ(images[1], images[0]);
}

TEST(Frame, FramedFacesEraseToWhiteAndFilledOnesFillTheBackground)
{
    RenderTarget target(32);
    auto world = NewWorld();
    world->Root->SetColours(kBlue, 0xFFFF, kSideBoth);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(10, 10), 0x0000FFu);
    o->SetObserverOptions(0x08);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(10, 10), 0xFFFFFFu);
    // Without a world to draw, a frame draws nothing and does not fail.
    o->cell = nullptr;
    RenderFrameTimed(o.get(), 0, 0);
}

namespace {

class FrameView : public PickableView {
public:
    FrameView(Observer* observer) : observer_(observer) {}
    int32_t DrawView(int32_t, int32_t, int32_t, int32_t) override
    {
        observer_->BumpSerial();
        RenderFrameTimed(observer_, 0, 0);
        return 7;
    }

private:
    Observer* observer_;
};

}  // namespace

TEST(Frame, PickingFindsTheFrontmostFaceUnderThePoint)
{
    RenderTarget target(32);
    auto world = NewWorld();
    ModelObject* farBox = AddBox(world.get(), -40, 200, -20, 40, 210, 20, kBlue);
    ModelObject* nearBox = AddBox(world.get(), -10, 100, -10, 10, 110, 10, kRed);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    FrameView view(o.get());
    FaceIdentity hit;
    EXPECT_EQ(PickFaceAt(&view, kWidth / 2, kHeight / 2, &hit), 7);
    EXPECT_EQ(hit.object, nearBox);
    EXPECT_EQ(hit.face, FaceWithNormal(nearBox, 0, -256, 0)->FaceIndex);
    EXPECT_EQ(hit.side, kSideBack);
    PickFaceAt(&view, kWidth / 2 + 20, kHeight / 2, &hit);
    EXPECT_EQ(hit.object, farBox);
    PickFaceAt(&view, 2, 2, &hit);
    EXPECT_EQ(hit.object, world->Root);
    EXPECT_EQ(hit.face, -1);
    // A nearly transparent face cannot be picked: the one behind it is found.
    nearBox->SetColours(kRed, 0x0FFF, kSideBoth);
    nearBox->RefreshShading();
    PickFaceAt(&view, kWidth / 2, kHeight / 2, &hit);
    EXPECT_EQ(hit.object, farBox);
    // Nor can a nearly transparent element: the face it lies on is found.
    nearBox->SetColours(kRed, 0xFFFF, kSideBoth);
    nearBox->RefreshShading();
    PolygonElement* element = AddFaceElement(nearBox, FaceFacing(nearBox, 0, -256, 0), 1, 0, 10, 10, 0, 0, 0, kBlue, 0x0FFF);
    ASSERT_NE(element, nullptr);
    PickFaceAt(&view, kWidth / 2, kHeight / 2, &hit);
    EXPECT_EQ(hit.object, nearBox);
    EXPECT_EQ(hit.element, nullptr);
    element->SetElementColour(kBlue, 0x1000);
    PickFaceAt(&view, kWidth / 2, kHeight / 2, &hit);
    EXPECT_EQ(hit.element, element);
    EXPECT_EQ(PickMode, 0);
}

TEST(Frame, AnOrderFirstDrawnOnlyInPartIsKeptWhole)
{
    RenderTarget target(32);
    auto world = NewWorld();
    ModelObject* boxes[3] = {AddBox(world.get(), -60, 100, -10, -40, 110, 10, kRed),
                             AddBox(world.get(), -10, 150, -10, 10, 160, 10, kBlue),
                             AddBox(world.get(), 40, 200, -10, 60, 210, 10, kRed)};
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    ObjectGeometry* root = world->Root->GeometryAt(0);
    std::unique_ptr<SpanRegion, void (*)(SpanRegion*)> whole(new SpanRegion, [](SpanRegion* r) { r->SpanRegionFree(); });
    whole->SpanRegionInit();
    std::unique_ptr<SpanRegion, void (*)(SpanRegion*)> frame(whole->SpanRegionFromRect(0, 0, kWidth, kHeight),
                                                             [](SpanRegion* r) { r->SpanRegionFree(); });
    ASSERT_TRUE(frame);
    // Drawn first inside a layer that stops at the middle box, then in full at the same serial.
    RenderModel(root, o.get(), frame.get(), boxes[1]->GeometryAt(0), nullptr, 0, 0);
    EXPECT_EQ(root->DrawCount, 3);
    uint32_t before = FacesDrawn();
    RenderModel(root, o.get(), frame.get(), nullptr, nullptr, 0, 0);
    const uint32_t reused = FacesDrawn() - before;
    o->BumpSerial();
    before = FacesDrawn();
    RenderModel(root, o.get(), frame.get(), nullptr, nullptr, 0, 0);
    EXPECT_EQ(reused, FacesDrawn() - before);
    EXPECT_GE(reused, 4u);  // the background and a face of each box
}

TEST(Frame, CountedPixelsAreThoseTheRegionLetsTheFaceCover)
{
    RenderTarget target(32);
    std::unique_ptr<DynamicArray, void (*)(DynamicArray*)> square(NewDynamicArray(0, sizeof(ScreenPoint), 4),
                                                                  [](DynamicArray* a) { a->Destroy(); });
    // Screen points, y up from the view centre (80, 60): device (20, 20) to (140, 100).
    for (const ScreenPoint& p : {ScreenPoint{-60, 40}, ScreenPoint{60, 40}, ScreenPoint{60, -40}, ScreenPoint{-60, -40}})
        square->Append(&p);
    SpanRegion* whole = NewSpanRegion();
    SpanRegion* window = whole->SpanRegionFromRect(40, 30, 100, 80);
    ASSERT_NE(window, nullptr);
    const uint32_t background = target.Pixel(0, 0);
    SetFaceAreaCounting(1);
    DrawPolygonFace(window, square.get(), kFaceFill, nullptr, 0, 0, &kRed, nullptr, 1, nullptr);
    const uint64_t counted = FaceAreaDrawn();
    EXPECT_EQ(FacesCounted(), 1u);
    SetFaceAreaCounting(0);
    int32_t changed = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) changed += target.Pixel(x, y) != background;
    // The window's 60 x 50 pixels, give or take the quarter-pixel inset of its outline.
    EXPECT_EQ(changed, 60 * 50);
    EXPECT_NEAR(double(counted), double(changed), 60);
    window->SpanRegionFree();
    whole->SpanRegionFree();
}

TEST(Frame, AFramePastItsStopKeepsWhatItDrewAndDrawsAlikeNextTime)
{
    RenderTarget target(32);
    auto world = NewWorld();
    // Two hundred grey faces filling the view, and nearer, drawn after them, a red box.
    const Fixed y = IntToFixed(100);
    const std::vector<FixedVector3> corners = {{IntToFixed(-2000), y, IntToFixed(-2000)},
                                               {IntToFixed(2000), y, IntToFixed(-2000)},
                                               {IntToFixed(2000), y, IntToFixed(2000)},
                                               {IntToFixed(-2000), y, IntToFixed(2000)}};
    ModelObject* wall = MakePolygonMesh(world.get(), corners, std::vector<std::vector<int16_t>>(200, {3, 2, 1, 0}));
    ASSERT_NE(wall, nullptr);
    wall->SetColours({0x8000, 0x8000, 0x8000}, 0xFFFF, kSideBoth);
    world->Root->AddChild(wall);
    AddBox(world.get(), -20, 50, -10, 20, 60, 10, kRed);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    const FrameBudget& budget = CurrentRenderContext().frameBudget;
    for (const int32_t direct : {1, 0}) {
        SetDirectPixelDrawing(direct);
        target.Clear();
        o->BumpSerial();
        const uint16_t serial = o->Serial();
        const int64_t turns = TurnsCounted();
        RenderFrameTimed(o.get(), 0, 0);
        // The walls drawn stay; the box, past the stop, is not drawn; the frame is not marked to
        // be drawn again.
        EXPECT_TRUE(budget.Stopped());
        EXPECT_GT(budget.Spent(FrameCost::kDrawn), 90);
        EXPECT_LT(budget.Spent(FrameCost::kDrawn), 200);
        const uint32_t centre = target.Pixel(kWidth / 2, kHeight / 2);
        EXPECT_EQ(centre, target.Pixel(2, 2));
        EXPECT_NE(centre, 0xFF0000u);
        EXPECT_EQ(o->abortFlag, 0);
        EXPECT_EQ(o->Serial(), serial);
        // Every pixel the fills wrote was counted, and no more turns were taken than the
        // allowances pay for.
        if (direct) {
            EXPECT_GE(TurnsCounted() - turns, 100 * kWidth * kHeight);
        }
        EXPECT_LE(TurnsCounted() - turns, budget.TurnsAllowance());
        // The next frame of the same view spends the same and draws the same.
        const std::vector<uint8_t> picture = target.Image();
        target.Clear();
        RenderFrameTimed(o.get(), 0, 0);
        EXPECT_TRUE(budget.Stopped());
        EXPECT_EQ(target.Image(), picture);
    }
    SetDirectPixelDrawing(1);
}

TEST(Frame, FacesCrossingEveryRowManyTimesStopAFrameDrawnThroughTheSystemsCalls)
{
    RenderTarget target(32);
    auto world = NewWorld();
    // A hundred and twenty faces of a comb of forty-five teeth within the view, whose fill by the
    // system makes forty-five spans on each of most of their rows; a convex box's faces make one.
    std::vector<FixedVector3> corners = {{IntToFixed(-46), IntToFixed(100), IntToFixed(-30)}};
    std::vector<int16_t> comb = {0};
    for (int32_t k = 0; k < 45; ++k) {
        for (const auto& [x, z] : {std::pair{-45 + 2 * k, 30}, {-44 + 2 * k, 30}, {-44 + 2 * k, -20}, {-43 + 2 * k, -20}}) {
            comb.push_back(int16_t(corners.size()));
            corners.push_back({IntToFixed(x), IntToFixed(100), IntToFixed(z)});
        }
    }
    corners.push_back({IntToFixed(46), IntToFixed(100), IntToFixed(-30)});
    comb.push_back(int16_t(corners.size() - 1));
    ModelObject* combs = MakePolygonMesh(world.get(), corners, std::vector<std::vector<int16_t>>(120, comb));
    ASSERT_NE(combs, nullptr);
    combs->SetColours({0x8000, 0x8000, 0x8000}, 0xFFFF, kSideBoth);
    world->Root->AddChild(combs);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    const FrameBudget& budget = CurrentRenderContext().frameBudget;
    SetDirectPixelDrawing(0);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_TRUE(budget.Stopped());
    EXPECT_LT(budget.Spent(FrameCost::kDrawn), 120);
    // A box of convex faces costs none.
    auto boxWorld = NewWorld();
    AddBox(boxWorld.get(), -20, 100, -10, 20, 110, 10, kRed);
    auto boxEye = NewObserver(boxWorld.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    boxEye->SetObserverOptions(kFillOnly);
    RenderFrameTimed(boxEye.get(), 0, 0);
    EXPECT_EQ(budget.Spent(FrameCost::kSystemSpans), 0);
    SetDirectPixelDrawing(1);
}

TEST(Frame, DrawnIntoPartOfTheViewOnlyTheRecordsAndFacesReachingItAreDrawn)
{
    RenderTarget target(32);
    auto world = NewWorld();
    // Three boxes side by side across the view, and under them one object of three quads, one
    // under each box.
    AddBox(world.get(), -60, 200, -10, -40, 210, 10, kRed);
    AddBox(world.get(), -10, 200, -10, 10, 210, 10, kBlue);
    ModelObject* right = AddBox(world.get(), 40, 200, -10, 60, 210, 10, kRed);
    std::vector<FixedVector3> corners;
    std::vector<std::vector<int16_t>> quads;
    for (const int32_t x : {-60, -10, 40}) {
        const int16_t first = int16_t(corners.size());
        for (const auto& [cx, cz] : {std::pair{x, -30}, {x + 20, -30}, {x + 20, -40}, {x, -40}})
            corners.push_back({IntToFixed(cx), IntToFixed(200), IntToFixed(cz)});
        quads.push_back({first, int16_t(first + 1), int16_t(first + 2), int16_t(first + 3)});
    }
    ModelObject* ground = MakePolygonMesh(world.get(), corners, quads);
    ASSERT_NE(ground, nullptr);
    ground->SetColours({0, 0x8000, 0}, 0xFFFF, kSideBoth);
    world->Root->AddChild(ground);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kFillOnly);
    RenderFrameTimed(o.get(), 0, 0);
    std::vector<uint32_t> whole;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = kWidth / 2 - 3; x < kWidth / 2 + 3; ++x) whole.push_back(target.Pixel(x, y));
    // A strip down the middle of the view, as behind a see-through face: the background, the
    // middle box's front and the quad under it are drawn, and the strip's pixels are those of
    // the whole frame.
    SpanRegion* maker = NewSpanRegion();
    SpanRegion* strip = maker->SpanRegionFromRect(kWidth / 2 - 4, 0, kWidth / 2 + 4, kHeight);
    ASSERT_NE(strip, nullptr);
    ObjectGeometry* root = world->Root->GeometryAt(0);
    target.Clear();
    uint32_t before = FacesDrawn();
    RenderModel(root, o.get(), strip, nullptr, nullptr, 0, 0);
    EXPECT_EQ(FacesDrawn() - before, 3u);
    std::vector<uint32_t> part;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = kWidth / 2 - 3; x < kWidth / 2 + 3; ++x) part.push_back(target.Pixel(x, y));
    EXPECT_EQ(part, whole);
    // A sign on the right box's front reaching into the strip keeps that face drawn, with the
    // sign; the box's other face seen lies outside the strip and is passed over.
    ASSERT_NE(AddFaceElement(right, FaceWithNormal(right, 0, -256, 0)->FaceIndex, 2, 0, 140, 10, 0, 0, 0, kRed, 0xFFFF),
              nullptr);
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    before = FacesDrawn();
    RenderModel(root, o.get(), strip, nullptr, nullptr, 0, 0);
    EXPECT_EQ(FacesDrawn() - before, 5u);
    strip->SpanRegionFree();
    maker->SpanRegionFree();
}

TEST(Frame, AFaceIsChargedItsRowsAtWhatARowOfItsFillCostsAndTheSystemsLinesAtTheirCost)
{
    RenderTarget target(32);
    std::unique_ptr<DynamicArray, void (*)(DynamicArray*)> sliver(NewDynamicArray(0, sizeof(ScreenPoint), 4),
                                                                  [](DynamicArray* a) { a->Destroy(); });
    // Screen points, y up from the view centre (80, 60): device (79, 20) to (81, 100), a sliver of
    // 81 rows whose box is three pixels wide with the fills' right ends.
    for (const ScreenPoint& p : {ScreenPoint{-1, 40}, ScreenPoint{1, 40}, ScreenPoint{1, -40}, ScreenPoint{-1, -40}})
        sliver->Append(&p);
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    for (const int32_t direct : {1, 0}) {
        SetDirectPixelDrawing(direct);
        SpanRegion* whole = NewSpanRegion();
        SpanRegion* view = whole->SpanRegionFromRect(0, 0, kWidth, kHeight);
        ASSERT_NE(view, nullptr);
        budget.Begin(kWidth * kHeight);
        DrawPolygonFace(view, sliver.get(), kFaceFill | kFaceFrame, nullptr, 0, 1, &kRed, &kBlue, 1, nullptr);
        budget.End();
        EXPECT_EQ(budget.Spent(FrameCost::kPixels), (3 + (direct ? kFlatRowPixels : kSystemRowPixels)) * 81) << direct;
        // Its frame: two lines of 81 pixels and two of 3.
        EXPECT_EQ(budget.Spent(FrameCost::kLinePixels), direct ? 168 : 168 * kSystemLinePixels) << direct;
        view->SpanRegionFree();
        whole->SpanRegionFree();
    }
    SetDirectPixelDrawing(1);
}
