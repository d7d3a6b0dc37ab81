// Faces drawn in layers: a see-through face shows what lies behind it, blended to the exact
// channels or stippled; its edge cases (framed only, nothing behind, past the frame's budget, an
// opaque front, from outside only with its option); polygon elements drawn on their surfaces in
// their layers, hidden by their user value, seen-through ones showing the world behind, textured
// ones their picture and framed as plain ones where no texture is drawn; the coverage of an
// element by the faces lying against it, measured with the system's regions; rooms seen through a
// row of doorways drawn once each, in the picture of drawing each anew behind every doorway.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/drawing_layer_services.h"
#include "model/drawing_services.h"
#include "model/polygon_element.h"
#include "raster/span_region.h"
#include "render/face_colours.h"
#include "render/face_layers.h"
#include "render/frame_render.h"
#include "render/render_context.h"
#include "tests/foundation/stream_bytes.h"
#include "tests/render/render_target.h"
#include "tests/render/scene_support.h"
#include "tests/render/textured_target.h"
#include "textures/texture_record.h"

using namespace rendertest;

namespace {

constexpr RGBColor48 kGreen = {0, 0xFFFF, 0};
constexpr RGBColor48 kGrey = {0x8000, 0x8000, 0x8000};
constexpr uint32_t kOptionFillBit = 1u << kOptionFill;
constexpr uint32_t kSeeEnclosingBit = 1u << kOptionSeeEnclosing;
constexpr uint32_t kBlendBit = 1u << kOptionBlend;
constexpr uint32_t kFrameBit = 1u << kOptionFrameSeeThrough;
constexpr uint32_t kSeeInsideBit = 1u << kOptionSeeOwnInside;
constexpr uint32_t kTexturesBit = 1u << kOptionTextures;

// The eye at the origin inside a grey room 100 units wide, looking north at its north wall;
// outside, a blue box straight ahead beyond the wall, and a green world around.
struct GlassRoom {
    GlassRoom()
    {
        world->Root->SetColours(kGreen, 0xFFFF, kSideBoth);
        room = AddBox(world.get(), -50, -50, -50, 50, 50, 50, kGrey);
        outside = AddBox(world.get(), -10, 100, -10, 10, 110, 10, kBlue);
        north = room->SurfaceForFace(FaceFacing(room, 0, 256, 0));
    }

    ObserverPtr Look(uint32_t options)
    {
        ObserverPtr o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
        o->SetObserverOptions(options);
        return o;
    }

    HolderPtr world = NewWorld();
    ModelObject* room = nullptr;
    ModelObject* outside = nullptr;
    Surface* north = nullptr;
};

// The pixel an opaque face of the colour gets, straight ahead of the eye.
uint32_t PixelOf(RenderTarget& target, const RGBColor48& colour)
{
    auto world = NewWorld();
    AddBox(world.get(), -40, 100, -40, 40, 110, 40, colour);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kOptionFillBit);
    RenderFrameTimed(o.get(), 0, 0);
    return target.Pixel(kWidth / 2, kHeight / 2);
}

// The region of the whole view, as a frame draws into.
struct WholeView {
    OwnedSpanRegion whole{NewSpanRegion()};
    OwnedSpanRegion frame{whole->SpanRegionFromRect(0, 0, kWidth, kHeight)};
};

class SeeThroughEveryDepth : public testing::TestWithParam<int32_t> {};


}  // namespace

TEST_P(SeeThroughEveryDepth, AHalfSeenFaceOverAnotherGivesTheExactBlend)
{
    RenderTarget target(GetParam());
    const uint32_t throughBox = PixelOf(target, {0x7FFF, 0, 0x7FFF});
    const uint32_t throughWorld = PixelOf(target, {0x7FFF, 0x7FFF, 0});
    GlassRoom scene;
    scene.north->SetSurfaceColour(kRed, 0x8000, kSideBoth);
    auto o = scene.Look(kOptionFillBit | kSeeEnclosingBit | kBlendBit);
    RenderFrameTimed(o.get(), 0, 0);
    // Red at half coverage over blue: (0xFFFF x 0x8000 + 0x7FFF) >> 16 = 0x7FFF of red, and
    // (0xFFFF x 0x7FFF + 0x7FFF) >> 16 = 0x7FFF of blue; beside the box the world's green.
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), throughBox);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 30, kHeight / 2), throughWorld);
    EXPECT_EQ(target.Pixel(kWidth / 2 - 30, kHeight / 2 + 10), throughWorld);
    if (GetParam() == 32) {
        EXPECT_EQ(throughBox, 0x7F007Fu);
        EXPECT_EQ(throughWorld, 0x7F7F00u);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, SeeThroughEveryDepth, testing::Values(4, 8, 16, 24, 32),
                         [](const testing::TestParamInfo<int32_t>& info) { return "Depth" + std::to_string(info.param); });

TEST(SeeThrough, WithoutBlendingTheFaceIsStippledOverWhatLiesBehind)
{
    RenderTarget target(32);
    GlassRoom scene;
    scene.north->SetSurfaceColour(kRed, 0x8000, kSideBoth);
    auto o = scene.Look(kOptionFillBit | kSeeEnclosingBit);
    RenderFrameTimed(o.get(), 0, 0);
    const uint32_t a = target.Pixel(kWidth / 2, kHeight / 2);
    const uint32_t b = target.Pixel(kWidth / 2 + 1, kHeight / 2);
    EXPECT_NE(a, b);
    EXPECT_TRUE((a == 0xFF0000u && b == 0x0000FFu) || (a == 0x0000FFu && b == 0xFF0000u)) << std::hex << a << " " << b;
    const uint32_t c = target.Pixel(kWidth / 2 + 30, kHeight / 2);
    const uint32_t d = target.Pixel(kWidth / 2 + 31, kHeight / 2);
    EXPECT_TRUE((c == 0xFF0000u && d == 0x00FF00u) || (c == 0x00FF00u && d == 0xFF0000u)) << std::hex << c << " " << d;
}

TEST(SeeThrough, EdgeCasesOfOpacityAndWhatLiesBehind)
{
    RenderTarget target(32);
    GlassRoom scene;
    // Nearly transparent: never filled, only framed with its option.
    scene.north->SetSurfaceColour(kRed, 0x0FFF, kSideBoth);
    auto o = scene.Look(kOptionFillBit | kSeeEnclosingBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0x0000FFu);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 1, kHeight / 2), 0x0000FFu);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 30, kHeight / 2), 0x00FF00u);

    // Nothing behind it (the enclosure not shown, no faces against it): drawn opaque.
    scene.north->SetSurfaceColour(kRed, 0x8000, kSideBoth);
    o = scene.Look(kOptionFillBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0xFF0000u);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 1, kHeight / 2), 0xFF0000u);

    // Past the frame's budget, with the enclosure shown: a later see-through face still shows what
    // lies behind it within its share, as it does in a frame within its budget.
    o = scene.Look(kOptionFillBit | kSeeEnclosingBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_FALSE(CurrentRenderContext().frameBudget.Passed());
    const int32_t columns[] = {0, 1, 30};
    uint32_t within[3];
    for (int32_t k = 0; k < 3; ++k) within[k] = target.Pixel(kWidth / 2 + columns[k], kHeight / 2);
    EXPECT_NE(within[0], within[1]);
    {
        const WholeView view;
        target.Clear();
        FrameBudget& budget = CurrentRenderContext().frameBudget;
        budget.Begin(kWidth * kHeight);
        budget.Spend(FrameCost::kDrawn, budget.Allowance(FrameCost::kDrawn) + 1);
        EXPECT_EQ(DrawFaceLayers(scene.north->FaceRecord(), o.get(), view.frame.get(), 1, kStageFace, 0, 0), 1);
        budget.End();
        for (int32_t k = 0; k < 3; ++k)
            EXPECT_EQ(target.Pixel(kWidth / 2 + columns[k], kHeight / 2), within[k]) << columns[k];
    }

    // Seen from outside, the room's own inside shows through the face (option 0).
    target.Clear();
    o = NewObserver(scene.world.get(), kWidth / 2, kHeight / 2, {0, 90, 0}, 128);
    o->SetObserverOptions(kOptionFillBit | kSeeInsideBit | kBlendBit);
    RenderFrameTimed(o.get(), 0, 0);
    // Half red over the grey of the room's far wall seen from inside.
    const RGBColor48 farWall = FaceWithNormal(scene.room, 0, -256, 0)->FrontColour;
    const RGBColor48 seen = AddShare(AddShare(kBlackColor, kRed, 0x8000), farWall, 0x7FFF);
    const uint32_t centre = target.Pixel(kWidth / 2, kHeight / 2);
    EXPECT_EQ(centre, PixelOf(target, seen));

    // Seen from outside, a flat box's bottom far ahead collapses onto one row: the region behind it
    // comes out empty, so nothing behind it is drawn and its elements are left out (0), but the
    // face itself is, by its edges.
    const uint32_t edge = PixelOf(target, ThreeQuarters(kRed));
    auto world = NewWorld();
    world->Root->SetColours(kGreen, 0xFFFF, kSideBoth);
    ModelObject* flat = AddBox(world.get(), -50, 1000, 1, 50, 2000, 2);
    flat->SetColours(kRed, 0x8000, kSideBoth);
    o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kOptionFillBit | kSeeInsideBit | kBlendBit | kFrameBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), edge);
    const WholeView view;
    SpanRegion* frame = view.frame.get();
    ASSERT_TRUE(frame);
    target.Clear();
    EXPECT_EQ(DrawFaceLayers(FaceWithNormal(flat, 0, 0, -256), o.get(), frame, 0, kStageFace, 0, 0), 0);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), edge);
}

TEST(SeeThrough, FromOutsideTheInsideAndTouchingFacesShowOnlyWithTheOption)
{
    RenderTarget target(32);
    auto world = NewWorld();
    world->Root->SetColours(kGreen, 0xFFFF, kSideBoth);
    // A half see-through box straight ahead, a blue box inside it against its near face.
    ModelObject* box = AddBox(world.get(), -40, 100, -40, 40, 180, 40, kRed);
    ModelObject* inside = MakeBox(world.get(), -20, 100, -20, 20, 120, 20);
    ASSERT_NE(inside, nullptr);
    inside->SetColours(kBlue, 0xFFFF, kSideBoth);
    box->AddChild(inside);
    box->SetColours(kRed, 0x8000, kSideBoth);
    box->AddFaceContact(FaceFacing(box, 0, -256, 0), inside, FaceFacing(inside, 0, -256, 0));
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    // Without the option nothing lies behind the face, the touching face neither: it is drawn
    // opaque.
    o->SetObserverOptions(kOptionFillBit | kSeeEnclosingBit | (1u << kOptionSeeTouching));
    RenderFrameTimed(o.get(), 0, 0);
    for (int32_t dx = 0; dx < 2; ++dx) EXPECT_EQ(target.Pixel(kWidth / 2 + dx, kHeight / 2), 0xFF0000u) << dx;
    // With it the face is stippled over the blue box against it.
    o->SetObserverOptions(kOptionFillBit | kSeeInsideBit);
    RenderFrameTimed(o.get(), 0, 0);
    const uint32_t a = target.Pixel(kWidth / 2, kHeight / 2);
    const uint32_t b = target.Pixel(kWidth / 2 + 1, kHeight / 2);
    EXPECT_TRUE((a == 0xFF0000u && b == 0x0000FFu) || (a == 0x0000FFu && b == 0xFF0000u)) << std::hex << a << " " << b;
}

TEST(SeeThrough, AnOpaqueFrontShowsItsColourOnFurtherFaces)
{
    RenderTarget target(32);
    GlassRoom scene;
    scene.north->SetSurfaceColour(kRed, 0x8000, kSideBoth);
    auto o = scene.Look(kOptionFillBit | kSeeEnclosingBit | kBlendBit);
    RenderFrameTimed(o.get(), 0, 0);
    PolygonRecord* face = scene.north->FaceRecord();
    ASSERT_NE(face, nullptr);
    const WholeView view;
    SpanRegion* frame = view.frame.get();
    ASSERT_TRUE(frame);
    // Drawn again behind a front of coverage 0xF000 in yellow: opaque, in the front's colour.
    const RGBColor48 yellow = {0xFFFF, 0xFFFF, 0};
    ASSERT_EQ(DrawFaceLayers(face, o.get(), frame, 1, kStageFace, PackBlendColour(yellow),
                             PackBlendCoverage(yellow, 0xF000)),
              1);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0xFFFF00u);
    EXPECT_EQ(target.Pixel(kWidth / 2 + 30, kHeight / 2), 0xFFFF00u);
}

TEST(SeeThrough, RoomsSeenThroughEachOthersDoorwaysAreDrawnOnceEach)
{
    RenderTarget target(32);
    // A row of rooms running north, each 100 units wide in its own grey, their walls between them
    // open doorways (see-through faces letting everything through); the last room's far wall red.
    constexpr int32_t kRooms = 8;
    auto world = NewWorld();
    world->Root->SetColours(kGreen, 0xFFFF, kSideBoth);
    for (int32_t k = 0; k < kRooms; ++k) {
        const uint16_t shade = uint16_t(0x3000 + k * 0x1000);
        ModelObject* room = AddBox(world.get(), -50, k * 100 - 50, -50, 50, k * 100 + 50, 50, {shade, shade, shade});
        ASSERT_NE(room, nullptr);
        Surface* south = room->SurfaceForFace(FaceFacing(room, 0, -256, 0));
        Surface* north = room->SurfaceForFace(FaceFacing(room, 0, 256, 0));
        ASSERT_TRUE(south && north);
        if (k > 0) south->SetSurfaceColour(kGrey, 0, kSideBoth);
        north->SetSurfaceColour(k + 1 < kRooms ? kGrey : kRed, k + 1 < kRooms ? 0 : 0xFFFF, kSideBoth);
    }
    // From the first room, off its middle, looking down the row: the red wall straight ahead.
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {-20, -20, 10});
    const uint32_t options = kOptionFillBit | kSeeEnclosingBit | kSeeInsideBit;
    o->SetObserverOptions(options);
    RenderFrameTimed(o.get(), 0, 0);
    const FrameBudget& budget = CurrentRenderContext().frameBudget;
    EXPECT_FALSE(budget.Passed());
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0xFF0000u);
    const int64_t drawn = budget.Spent(FrameCost::kDrawn);
    std::vector<uint32_t> picture;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) picture.push_back(target.Pixel(x, y));

    // Blended (nothing is blended in: every doorway lets all through), what lies behind each
    // doorway is drawn afresh, each room once more for every doorway before it, which draws the
    // same picture: the frame above leaves out what its walks over the rooms have drawn already.
    target.Clear();
    o->SetObserverOptions(options | kBlendBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_FALSE(budget.Passed());
    int32_t differ = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) differ += target.Pixel(x, y) != picture[size_t(y * kWidth + x)];
    EXPECT_EQ(differ, 0);
    const int64_t redrawn = budget.Spent(FrameCost::kDrawn);
    // Each room's faces drawn about once from each side, against the number doubling with each
    // room further along the row.
    EXPECT_LE(drawn, 2 * 6 * kRooms);
    EXPECT_GE(redrawn, int64_t(1) << kRooms);
}

TEST(Elements, DrawnOnTheirSurfaceInTheirLayer)
{
    RenderTarget target(32);
    GlassRoom scene;
    const int32_t north = FaceFacing(scene.room, 0, 256, 0);
    PolygonElement* inner = AddFaceElement(scene.room, north, 0, 0, 20, 20, 0, -20, 0, kGreen, 0xFFFF);
    PolygonElement* outer = AddFaceElement(scene.room, north, 2, 0, 20, 20, 0, 20, 0, kRed, 0xFFFF);
    ASSERT_NE(inner, nullptr);
    ASSERT_NE(outer, nullptr);
    // From inside: the inner element over the wall; the outer one is not seen.
    auto o = scene.Look(kOptionFillBit);
    RenderFrameTimed(o.get(), 0, 0);
    const uint32_t wall = PixelOf(target, FaceWithNormal(scene.room, 0, 256, 0)->FrontColour);
    target.Clear();
    RenderFrameTimed(o.get(), 0, 0);
    const int32_t left = kWidth / 2 - int32_t(20 * o->scale / 50);
    const int32_t right = kWidth / 2 + int32_t(20 * o->scale / 50);
    // The element's first side is the inner one: seen from inside it lies at the left.
    EXPECT_EQ(target.Pixel(left, kHeight / 2) == 0x00FF00u || target.Pixel(right, kHeight / 2) == 0x00FF00u, true);
    const bool innerAtLeft = target.Pixel(left, kHeight / 2) == 0x00FF00u;
    EXPECT_EQ(target.Pixel(innerAtLeft ? right : left, kHeight / 2), wall);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), wall);
    for (int32_t x = 0; x < kWidth; ++x) EXPECT_NE(target.Pixel(x, kHeight / 2), 0xFF0000u) << x;
    // Hidden by its user value.
    inner->SetUserValue(1);
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(innerAtLeft ? left : right, kHeight / 2), wall);
    inner->SetUserValue(0);

    // From outside, looking south at the same face: the outer element, not the inner one.
    auto back = NewObserver(scene.world.get(), kWidth / 2, kHeight / 2, {0, 100, 0}, 128);
    back->SetObserverOptions(kOptionFillBit);
    target.Clear();
    RenderFrameTimed(back.get(), 0, 0);
    int32_t red = 0;
    int32_t green = 0;
    for (int32_t x = 0; x < kWidth; ++x) {
        red += target.Pixel(x, kHeight / 2) == 0xFF0000u;
        green += target.Pixel(x, kHeight / 2) == 0x00FF00u;
    }
    EXPECT_GT(red, 10);
    EXPECT_EQ(green, 0);
}

TEST(Elements, ASeeThroughElementShowsTheWorldBehindItsWall)
{
    RenderTarget target(32);
    const uint32_t throughBox = PixelOf(target, {0x7FFF, 0, 0x7FFF});
    GlassRoom scene;
    const uint32_t wall = PixelOf(target, FaceWithNormal(scene.room, 0, 256, 0)->FrontColour);
    const int32_t north = FaceFacing(scene.room, 0, 256, 0);
    ASSERT_NE(AddFaceElement(scene.room, north, 0, 0, 30, 30, 0, 0, 0, kRed, 0x8000), nullptr);
    auto o = scene.Look(kOptionFillBit | kSeeEnclosingBit | kBlendBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), throughBox);
    // The wall around the window stays opaque.
    EXPECT_EQ(target.Pixel(kWidth / 2 + int32_t(20 * o->scale / 50), kHeight / 2), wall);

    // An element on the wall's outer side is drawn behind the window only where it can reach
    // into the window's region: one beside the window is passed over, one across it is drawn.
    const std::vector<uint8_t> alone = target.Image();
    const int64_t redrawn = CurrentRenderContext().frameBudget.Redrawn();
    ASSERT_NE(AddFaceElement(scene.room, north, 2, 0, 10, 10, 0, 40, 0, kGreen, 0xFFFF), nullptr);
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(CurrentRenderContext().frameBudget.Redrawn(), redrawn);
    EXPECT_EQ(target.Image(), alone);
    ASSERT_NE(AddFaceElement(scene.room, north, 2, 0, 10, 10, 0, 0, 0, kGreen, 0xFFFF), nullptr);
    o->BumpSerial();
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(CurrentRenderContext().frameBudget.Redrawn(), redrawn + 1);
}

TEST(Elements, FacesAgainstAnElementMeasuredWithTheSystemsRegions)
{
    InstallDrawingLayerServices();
    auto world = NewWorld();
    ModelObject* wall = AddBox(world.get(), 0, 0, 0, 100, 10, 100);
    const int32_t north = FaceFacing(wall, 0, 256, 0);
    PolygonElement* element = AddFaceElement(wall, north, 1, 0, 20, 20, 0, 0, 0, kRed, 0x0800);
    ASSERT_NE(element, nullptr);
    ModelObject* left = AddBox(world.get(), 30, 10, 30, 50, 20, 70);
    ModelObject* right = AddBox(world.get(), 50, 10, 30, 70, 20, 70);
    ModelObject* hidden = AddBox(world.get(), 45, 10, 45, 55, 15, 55);
    wall->AddFaceContact(north, left, FaceFacing(left, 0, -256, 0));
    EXPECT_EQ(element->SideUncovered[0], 1);
    wall->AddFaceContact(north, right, FaceFacing(right, 0, -256, 0));
    EXPECT_EQ(element->SideUncovered[0], 0);
    wall->AddFaceContact(north, hidden, FaceFacing(hidden, 0, -256, 0));
    ASSERT_NE(element->OverlapLists[0], nullptr);
    EXPECT_EQ(element->OverlapLists[0]->ArrayCount(), 2);
    // The wall's face itself is covered where the boxes lie, not everywhere.
    EXPECT_EQ(wall->SurfaceOfFace(north)->FrontUncovered, 1);
    InstallDrawingServices(nullptr);
}

TEST(Elements, AFaceCoveredByTheFaceItIsConnectedWithIsCoveredOnceReadToo)
{
    // A small box standing on a wide one: the small box's foot lies wholly on the wide top. A read
    // works the coverings out once its connections are made, and finds what the edits found.
    InstallDrawingLayerServices();
    auto world = NewWorld();
    ModelObject* ground = AddBox(world.get(), 0, 0, -10, 100, 100, 0);
    ModelObject* box = AddBox(world.get(), 40, 40, 0, 60, 60, 20);
    const int32_t foot = FaceFacing(box, 0, 0, -256);
    box->AddFaceContact(foot, ground, FaceFacing(ground, 0, 0, 256));
    ASSERT_EQ(box->SurfaceOfFace(foot)->FrontUncovered, 0);
    MemoryStream stream;
    StartWriting(stream);
    ASSERT_EQ(world->Root->StreamRoot(&stream), kResultOk);
    auto read = NewWorld();
    Load(stream, Contents(stream));
    ASSERT_EQ(read->Root->StreamRoot(&stream), kResultOk);
    ASSERT_EQ(read->Root->ChildCount(), 2);
    const Surface* readFoot = read->Root->ChildAt(1)->SurfaceOfFace(foot);
    ASSERT_NE(readFoot, nullptr);
    EXPECT_EQ(readFoot->FrontUncovered, 0);
    EXPECT_EQ(read->Root->ChildAt(0)->SurfaceOfFace(FaceFacing(ground, 0, 0, 256))->FrontUncovered, 1);
    InstallDrawingServices(nullptr);
}

TEST(Elements, ATexturedElementShowsItsPictureOverItsWall)
{
    TexturedTarget target(32);
    const uint32_t red = PixelOf(target, kRed);
    // An 8 x 8 picture: red, its top left quarter blue.
    TextureRecord* texture =
        target.Texture("picture", 8, 8, [](int32_t x, int32_t y) { return x < 4 && y < 4 ? kBlue : kRed; });
    GlassRoom scene;
    const int32_t north = FaceFacing(scene.room, 0, 256, 0);
    PolygonElement* element = AddFaceElement(scene.room, north, 0, 0, 40, 40, 0, 0, 0, kGreen, 0xFFFF);
    ASSERT_NE(element, nullptr);
    element->SetElementTexture(texture);
    EXPECT_EQ(texture->elementUsers->ArrayCount(), 1);
    ASSERT_EQ(element->MappingList->ArrayCount(), 4);
    target.Republish();
    auto o = scene.Look(kOptionFillBit | kTexturesBit);
    RenderFrameTimed(o.get(), 0, 0);
    // Three quarters of the element show red, one blue; none shows the element's own green.
    int32_t reds = 0;
    int32_t blues = 0;
    int32_t greens = 0;
    const int32_t half = int32_t(20 * o->scale / 50) - 2;
    for (int32_t y = kHeight / 2 - half; y < kHeight / 2 + half; ++y) {
        for (int32_t x = kWidth / 2 - half; x < kWidth / 2 + half; ++x) {
            const uint32_t p = target.Pixel(x, y);
            reds += p == red;
            blues += p == 0x0000FFu;
            greens += p == 0x00FF00u;
        }
    }
    const int32_t all = 4 * half * half;
    EXPECT_NEAR(reds, all * 3 / 4, all / 10);
    EXPECT_NEAR(blues, all / 4, all / 10);
    EXPECT_EQ(greens, 0);
    // Without textures the element shows its colour.
    o->SetObserverOptions(kOptionFillBit);
    RenderFrameTimed(o.get(), 0, 0);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), 0x00FF00u);
}

TEST(Elements, ATexturedElementIsFramedAsAPlainOneWhereItsTextureIsNotDrawn)
{
    TexturedTarget target(32);
    const uint32_t edgeColour = PixelOf(target, ThreeQuarters(kRed));
    // All white: cube entry 0, every texel left out when the texture is transparent.
    TextureRecord* clear = target.Texture("clear", 8, 8, [](int32_t, int32_t) { return kWhite; });
    target.Republish();
    GlassRoom scene;
    const int32_t north = FaceFacing(scene.room, 0, 256, 0);
    PolygonElement* element = AddFaceElement(scene.room, north, 1, 0, 40, 40, 0, 0, 0, kRed, 0xFFFF);
    ASSERT_NE(element, nullptr);
    // Each case is drawn with the element's texture and again without it; the frames must match
    // pixel for pixel and show the element's edges.
    auto framesMatch = [&](uint32_t options) {
        auto o = scene.Look(options);
        element->SetElementTexture(clear);
        RenderFrameTimed(o.get(), 0, 0);
        const std::vector<uint8_t> textured = target.Image();
        element->SetElementTexture(nullptr);
        o->BumpSerial();
        RenderFrameTimed(o.get(), 0, 0);
        const int32_t edge = kWidth / 2 - int32_t(20 * o->scale / 50);
        bool framed = false;
        for (int32_t dx = -1; dx <= 1; ++dx) framed = framed || target.Pixel(edge + dx, kHeight / 2) == edgeColour;
        return textured == target.Image() && framed;
    };
    // Faces framed, not filled: a side shows its texture only where faces are filled, so the
    // element is framed as any face.
    EXPECT_TRUE(framesMatch(kFrameBit | kTexturesBit));
    // See-through and blended, with a transparent texture: framed by its edges alone, and the
    // texture (all left out) adds nothing.
    element->SetElementColour(kRed, 0x8000);
    clear->attributes[1] = 1;
    EXPECT_TRUE(framesMatch(kOptionFillBit | kSeeEnclosingBit | kBlendBit | kFrameBit | kTexturesBit));
}
