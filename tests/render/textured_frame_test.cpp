// Textured faces in whole frames, into real offscreens of every depth: a face straight ahead
// shows its texture's pixels through the shade tables, reads the same way round from inside as
// from outside, lets its face colour show under a transparent texture, draws nothing outside its
// projection; the texture mapping is the renderer's; the textured gallery renders in every depth.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/color_cube.h"
#include "draw/mem_pix_map.h"
#include "draw/pen_state.h"
#include "draw/port_base.h"
#include "foundation/pointer_list.h"
#include "model/model_document.h"
#include "model/object_geometry.h"
#include "raster/span_region.h"
#include "render/device_points.h"
#include "render/face_front_end.h"
#include "render/frame_budget.h"
#include "render/frame_render.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "render/render_context.h"
#include "render/renderer_texture_mapping.h"
#include "render/textured_polygon.h"
#include "tests/draw/draw_support.h"
#include "tests/render/render_target.h"
#include "tests/render/scene_support.h"
#include "tests/render/textured_target.h"
#include "textures/shade_level_builder.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_services_impl.h"
#include "tools/textured_samples.h"

using namespace rendertest;

namespace {

constexpr RGBColor48 kGrey = {0x8000, 0x8000, 0x8000};
constexpr RGBColor48 kGreen = {0, 0xFFFF, 0};
// Faces filled, textures on.
constexpr uint32_t kTextured = 0x1010;


// Left half red, right half blue.
RGBColor48 Halves(int32_t x, int32_t) { return x < 4 ? kRed : kBlue; }

// Whether the pixels from `x0` to `x1` (exclusive) of the middle rows of the box show `index`.
bool ShowsTexel(const TexturedTarget& t, const DeviceBox& b, int32_t level, int32_t index, int32_t x0, int32_t x1)
{
    for (int32_t y = b.top + 2; y < b.bottom - 2; ++y)
        for (int32_t x = x0; x < x1; ++x)
            if (t.Pixel(x, y) != t.TexelPixel(level, index, x, y)) return false;
    return true;
}

// 1 when the face shows red on its left quarter and blue on its right, -1 the other way round,
// else 0.
int32_t HalvesOrder(const TexturedTarget& t, const DeviceBox& b, int32_t level)
{
    const int32_t quarter = (b.right - b.left) / 4;
    const int32_t red = ColorCubeIndex(kRed);
    const int32_t blue = ColorCubeIndex(kBlue);
    const int32_t x = (b.left + b.right) / 2, y = (b.top + b.bottom) / 2;
    if (t.TexelPixel(level, red, x, y) == t.TexelPixel(level, blue, x, y)) return 0;
    auto shows = [&](int32_t index, bool left) {
        return left ? ShowsTexel(t, b, level, index, b.left + 1, b.left + quarter)
                    : ShowsTexel(t, b, level, index, b.right - quarter, b.right - 1);
    };
    if (shows(red, true) && shows(blue, false)) return 1;
    if (shows(blue, true) && shows(red, false)) return -1;
    return 0;
}

class TexturedEveryDepth : public testing::TestWithParam<int32_t> {};

}  // namespace

TEST_P(TexturedEveryDepth, AFaceStraightAheadShowsItsTexture)
{
    TexturedTarget target(GetParam());
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -20, 100, -10, 20, 110, 10, kGrey);
    box->SetSurfaceTexture(target.Texture("halves", 8, 8, Halves), kSideBoth);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kTextured);
    target.FillPadding();
    SetFaceAreaCounting(1);
    target.Render(o.get());
    // The benchmark's count: the background and the textured face, with the face's pixels.
    const uint64_t faces = FacesCounted();
    const uint64_t area = FaceAreaDrawn();
    SetFaceAreaCounting(0);
    EXPECT_TRUE(target.PaddingIntact());
    PolygonRecord* face = FaceWithNormal(box, 0, -256, 0);
    ASSERT_NE(face, nullptr);
    const DeviceBox b = ProjectedBox(face);
    EXPECT_EQ(faces, 2u);
    // The whole view, and the face's box give or take its outline.
    const int32_t w = b.right - b.left, h = b.bottom - b.top;
    EXPECT_NEAR(double(area), double(kWidth * kHeight + w * h), 2 * (w + h));
    const int32_t level = 0;
    const int32_t quarter = (b.right - b.left) / 4;
    const int32_t red = ColorCubeIndex(kRed);
    const int32_t blue = ColorCubeIndex(kBlue);
    // One half of the face shows one colour, the other half the other; outside, the background.
    EXPECT_NE(HalvesOrder(target, b, level), 0);
    const uint32_t background = target.Pixel(0, 0);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            if (x < b.left - 1 || x > b.right || y < b.top - 1 || y > b.bottom) {
                ASSERT_EQ(target.Pixel(x, y), background) << x << ", " << y;
            }
        }
    }

    // Without textures the face is drawn in its colour, each of its rows charged at what a row of
    // the flat fill costs where the textured fill's cost more: the box's pixels and everything
    // else are the same.
    const FrameBudget& budget = CurrentRenderContext().frameBudget;
    const int64_t texturedPixels = budget.Spent(FrameCost::kPixels);
    o->SetObserverOptions(kTextured & ~0x1000);
    target.Render(o.get());
    EXPECT_FALSE(ShowsTexel(target, b, level, red, b.left + 1, b.left + quarter));
    EXPECT_FALSE(ShowsTexel(target, b, level, blue, b.left + 1, b.left + quarter));
    EXPECT_EQ(texturedPixels - budget.Spent(FrameCost::kPixels), (kTexturedRowPixels - kFlatRowPixels) * (h + 1));
}

TEST_P(TexturedEveryDepth, TheTexturedGalleryRendersWithoutStrayWrites)
{
    TexturedTarget target(GetParam());
    const std::string gradient = "C:\\qp_gallery_" + std::to_string(GetCurrentProcessId()) + ".bmp";
    ASSERT_TRUE(WriteGradientBitmap(gradient));
    std::unique_ptr<ModelDocument, void (*)(ModelDocument*)> gallery(BuildTexturedSample(target.list, gradient),
                                                                     [](ModelDocument* d) { d->Destroy(); });
    ASSERT_NE(gallery, nullptr);
    auto o = NewObserver(gallery->Holder, kWidth / 2, kHeight / 2, {0, -100, 60}, 0, 240);
    o->SetObserverOptions(kTextured);
    target.FillPadding();
    target.Render(o.get());
    EXPECT_TRUE(target.PaddingIntact());
    std::vector<uint32_t> textured;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) textured.push_back(target.Pixel(x, y));
    o->SetObserverOptions(kTextured & ~0x1000);
    target.Render(o.get());
    int32_t differ = 0;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kWidth; ++x) differ += textured[size_t(y) * kWidth + x] != target.Pixel(x, y);
    // The checker floor fills most of the lower half, the walls the upper.
    EXPECT_GT(differ, kWidth * kHeight / 3);
    std::remove(gradient.c_str());
}

TEST_P(TexturedEveryDepth, AFlatCityLooksAsWithEveryRecordDrawnWhole)
{
    // The frame leaves out the buildings nearer ones paint over and the pixels of the others that
    // nearer ones paint over; the same list drawn with every record whole gives the same picture,
    // from above the roofs, down a street and across the city, turning.
    TexturedTarget target(GetParam());
    std::unique_ptr<ModelDocument, void (*)(ModelDocument*)> city(
        BuildCitySample(target.list, 1200, CityLayout::Flat), [](ModelDocument* d) { d->Destroy(); });
    ASSERT_NE(city, nullptr);
    ObjectGeometry* root = city->Holder->Root->GeometryAt(0);
    struct Eye {
        ShortVector3 place;
        int16_t heading;
        int16_t pitch;
    };
    const Eye eyes[] = {{{0, -345, 220}, 0, 248}, {{-165, -340, 12}, 0, 0}, {{-400, -400, 140}, -32, 0}};
    int32_t leftOut = 0;
    for (const Eye& eye : eyes) {
        auto o = NewObserver(city->Holder, kWidth / 2, kHeight / 2, eye.place, eye.heading, eye.pitch);
        o->SetObserverOptions(kTextured);
        for (int16_t turn = 0; turn < 30; turn += 10) {
            o->SetObserverAngles(0, eye.pitch, int16_t(eye.heading + turn));
            target.Render(o.get());
            const std::vector<uint8_t> picture = target.Image();
            for (int32_t i = 0; i < ListCount(root->DrawList); ++i) leftOut += PointerAt<ObjectGeometry>(root->DrawList, i)->Occluded;
            // The list as drawn behind a see-through face: every record whole, in the same order.
            target.Clear();
            target.Republish();
            std::unique_ptr<SpanRegion, void (*)(SpanRegion*)> whole(new SpanRegion,
                                                                     [](SpanRegion* r) { r->SpanRegionFree(); });
            whole->SpanRegionInit();
            std::unique_ptr<SpanRegion, void (*)(SpanRegion*)> frame(whole->SpanRegionFromRect(0, 0, kWidth, kHeight),
                                                                     [](SpanRegion* r) { r->SpanRegionFree(); });
            ASSERT_TRUE(frame);
            LockTextureSet(CurrentTextureManager());
            RenderModel(root, o.get(), frame.get(), root, nullptr, 0, 0);
            UnlockTextureSet(CurrentTextureManager());
            GdiFlush();
            EXPECT_EQ(target.Image(), picture) << eye.place.x << "," << eye.place.y << " turned " << turn;
        }
    }
    EXPECT_GT(leftOut, 100);
}

INSTANTIATE_TEST_SUITE_P(Depths, TexturedEveryDepth, testing::Values(4, 8, 16, 24, 32),
                         [](const testing::TestParamInfo<int32_t>& info) { return "Depth" + std::to_string(info.param); });

TEST(TexturedFrame, AFaceReadsTheSameWayRoundFromInsideAsFromOutside)
{
    TexturedTarget target(32);
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -20, 100, -10, 20, 140, 10, kGrey);
    box->SetSurfaceTexture(target.Texture("halves", 8, 8, Halves), kSideBoth);
    PolygonRecord* face = FaceWithNormal(box, 0, -256, 0);
    ASSERT_NE(face, nullptr);
    // From outside, looking at the face at y = 100 from y = 60.
    auto outside = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 60, 0});
    outside->SetObserverOptions(kTextured);
    target.Render(outside.get());
    const int32_t fromOutside = HalvesOrder(target, ProjectedBox(face), 0);
    EXPECT_NE(fromOutside, 0);
    // From inside the box, looking back at the same face from y = 139, heading half a turn.
    auto inside = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 139, 0}, 128);
    inside->SetObserverOptions(kTextured);
    target.Render(inside.get());
    EXPECT_EQ(HalvesOrder(target, ProjectedBox(face), 0), fromOutside);
}

TEST(TexturedFrame, ATransparentTextureShowsTheFaceColourUnderTexelZero)
{
    TexturedTarget target(32);
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), -20, 100, -10, 20, 110, 10, kGreen);
    // White is cube entry 0: the left half is left out.
    TextureRecord* stencil = target.Texture("stencil", 8, 8, [](int32_t x, int32_t) { return x < 4 ? kWhite : kBlue; });
    stencil->attributes[1] = 1;
    box->SetSurfaceTexture(stencil, kSideBoth);
    ASSERT_EQ(ColorCubeIndex(kWhite), 0);
    auto o = NewObserver(world.get(), kWidth / 2, kHeight / 2, {0, 0, 0});
    o->SetObserverOptions(kTextured);
    target.Render(o.get());
    PolygonRecord* face = FaceWithNormal(box, 0, -256, 0);
    const DeviceBox b = ProjectedBox(face);
    const int32_t quarter = (b.right - b.left) / 4;
    const int32_t blue = ColorCubeIndex(kBlue);
    const bool blueLeft = ShowsTexel(target, b, 0, blue, b.left + 1, b.left + quarter);
    const int32_t clearFrom = blueLeft ? b.right - quarter : b.left + 1;
    EXPECT_TRUE(ShowsTexel(target, b, 0, blue, blueLeft ? b.left + 1 : b.right - quarter,
                           blueLeft ? b.left + quarter : b.right - 1));
    EXPECT_FALSE(ShowsTexel(target, b, 0, blue, clearFrom, clearFrom + quarter - 1));
    // Under texel 0 the face's own colour, the same as with textures off.
    const uint32_t under = target.Pixel(clearFrom + 1, (b.top + b.bottom) / 2);
    o->SetObserverOptions(kTextured & ~0x1000);
    target.Render(o.get());
    EXPECT_EQ(target.Pixel(clearFrom + 1, (b.top + b.bottom) / 2), under);
    EXPECT_NE(under, target.Pixel(0, 0));
}

TEST(TexturedFrame, TheRendererComputesTheMappingOfTexturedSides)
{
    TexturedTarget target(32);
    auto world = NewWorld();
    ModelObject* box = AddBox(world.get(), 0, 0, 0, 40, 10, 20, kGrey);
    TextureRecord* texture = target.Texture("halves", 8, 8, Halves);
    box->SetSurfaceTexture(texture, kSideBoth);
    PolygonRecord* face = FaceWithNormal(box, 0, -256, 0);
    ASSERT_NE(face, nullptr);
    const DynamicArray* pairs = face->GetSideVertexPairs(kSideBack);
    ASSERT_EQ(pairs->ArrayCount(), face->VertexCount());
    // The outline spread over the texture's pixels: from 0 to width - 1 on each axis.
    Fixed minU = INT32_MAX, maxU = INT32_MIN, minV = INT32_MAX, maxV = INT32_MIN;
    for (int32_t i = 0; i < pairs->ArrayCount(); ++i) {
        const FixedPoint* p = pairs->At<FixedPoint>(i);
        minU = std::min(minU, p->x);
        maxU = std::max(maxU, p->x);
        minV = std::min(minV, p->y);
        maxV = std::max(maxV, p->y);
    }
    EXPECT_EQ(minU, 0);
    EXPECT_EQ(maxU, IntToFixed(7));
    EXPECT_EQ(minV, 0);
    EXPECT_EQ(maxV, IntToFixed(7));
}

TEST(TexturedFrame, TheFaceEntryChecksItsRegionFirst)
{
    TexturedTarget target(32);
    TextureRecord* texture = target.Texture("halves", 8, 8, Halves);
    // The texture's pixels in a pixel map that counts the takings of its rows.
    ASSERT_NE(TextureItemProperty(texture, 0), nullptr);
    RowCountingPixMap pixels;
    ASSERT_EQ(pixels.MemPixMapInit8(TextureItemProperty(texture, 0)), kResultOk);
    pixels.taken = 0;
    TextureSource source{};
    source.tables = ShadeLevelScreenSet;
    source.pixels = &pixels;
    auto list = [](int32_t size) { return NewDynamicArray(0, size, 4); };
    std::unique_ptr<DynamicArray, void (*)(DynamicArray*)> points(list(sizeof(DevicePoint)), [](DynamicArray* a) { a->Destroy(); });
    std::unique_ptr<DynamicArray, void (*)(DynamicArray*)> records(list(sizeof(ProjectedVertex)), [](DynamicArray* a) { a->Destroy(); });
    std::unique_ptr<DynamicArray, void (*)(DynamicArray*)> coords(list(sizeof(TextureCoord)), [](DynamicArray* a) { a->Destroy(); });
    for (const DevicePoint& p : {DevicePoint{10, 10}, DevicePoint{50, 10}, DevicePoint{50, 40}}) {
        points->Append(&p);
        const ProjectedVertex r = {0, 0, 100, 5000, 0, 0};
        records->Append(&r);
        const TextureCoord c = {IntToFixed(p.x) / 8, IntToFixed(p.y) / 8};
        coords->Append(&c);
    }
    const ClipPoint3 vertices[3] = {{IntToFixed(10), IntToFixed(10), 5000}, {IntToFixed(50), IntToFixed(10), 5000},
                                    {IntToFixed(50), IntToFixed(40), 5000}};
    // No region: nothing is read, nothing drawn.
    EXPECT_EQ(DrawTexturedPolygons(target.offscreen, coords.get(), points.get(), records.get(), nullptr, &source), 0);
    EXPECT_EQ(DrawTexturedPolygon(target.offscreen, coords.get(), vertices, 3, nullptr, &source), 0);
    const uint32_t white = target.Pixel(40, 15);
    EXPECT_EQ(white, target.Pixel(0, 0));
    // A region that leaves the face out: 1.
    target.Republish();
    SpanRegion* whole = new SpanRegion;
    whole->SpanRegionInit();
    SpanRegion* corner = whole->SpanRegionFromRect(0, 0, 8, 8);
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(DrawTexturedPolygon(target.offscreen, coords.get(), vertices, 3, corner, &source), 1);
    corner->empty = 1;
    EXPECT_EQ(DrawTexturedPolygons(target.offscreen, coords.get(), points.get(), records.get(), corner, &source), 0);
    // The whole view: drawn, 0.
    SpanRegion* view = whole->SpanRegionFromRect(0, 0, kWidth, kHeight);
    EXPECT_EQ(DrawTexturedPolygons(target.offscreen, coords.get(), points.get(), records.get(), view, &source), 0);
    GdiFlush();
    EXPECT_NE(target.Pixel(40, 15), white);
    // Only the face drawn took the texture's rows, and handed them back.
    EXPECT_EQ(pixels.taken, 1);
    EXPECT_EQ(pixels.handedBack, 1);
    EXPECT_EQ(pixels.lastRows, pixels.Format().rowTable);
    EXPECT_EQ(pixels.lastRowCount, 8);
    view->SpanRegionFree();
    corner->SpanRegionFree();
    whole->SpanRegionFree();
}
