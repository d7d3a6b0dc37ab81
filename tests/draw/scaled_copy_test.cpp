// The averaging scaled copy and the copies between ports that fall back to it.
#include <tuple>

#include <gtest/gtest.h>

#include "draw/color_cube.h"
#include "draw/indexed_rows.h"
#include "draw/mem_pix_map.h"
#include "draw/true_colour_rows.h"
#include "foundation/loop_turns.h"
#include "foundation/process_state.h"
#include "tests/draw/draw_support.h"
#include "tests/draw/ui_recorder.h"

namespace {

// An offscreen that, like a memory pixel map, gives no DC to draw into.
class PixelOnlyOffscreen : public Q_Offscreen {
public:
    HDC GetDrawingDC(PortRect* /*rect*/) override { return nullptr; }
};

// A port that has neither a DC nor pixels of its own, like a picture.
class PicturePort : public PortBase {
public:
    PicturePort() { SetPortKind(kPortPicture); }
};

constexpr RGBColor48 kGreyish = {0x4000, 0x8000, 0xC000};

void FillRows(Q_Offscreen* offscreen, int32_t width, int32_t height, uint32_t (*colour)(int32_t, int32_t))
{
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            offscreen->SetPixelColor(x, y, {uint16_t((c >> 16) * 257), uint16_t((c >> 8 & 0xFF) * 257),
                                            uint16_t((c & 0xFF) * 257)});
        }
}

}  // namespace

TEST(ScaledCopy, ReductionAveragesEachBlock)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(4, 4, 0, &kGreyish);
    auto destination = MakeOffscreen(2, 2, 0);
    source->QuietScaledPixelCopy(destination.get(), {0, 0, 4, 4}, {0, 0, 2, 2});
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(Pixel32(destination.get(), x, y), 0x4080C0u);

    // Black beside white averages to 0x7FFF, shown as 0x7F.
    FillRows(source.get(), 2, 1, [](int32_t x, int32_t) { return x ? 0xFFFFFFu : 0u; });
    source->QuietScaledPixelCopy(destination.get(), {0, 0, 2, 1}, {0, 0, 1, 1});
    EXPECT_EQ(Pixel32(destination.get(), 0, 0), 0x7F7F7Fu);
    // A column of four: (0 + 0 + 255 + 255) x 257 / 4.
    FillRows(source.get(), 1, 4, [](int32_t, int32_t y) { return y < 2 ? 0u : 0x00FF00u; });
    source->QuietScaledPixelCopy(destination.get(), {0, 0, 1, 4}, {1, 1, 2, 2});
    EXPECT_EQ(Pixel32(destination.get(), 1, 1), 0x007F00u);
}

TEST(ScaledCopy, EnlargementRepeatsEachPixel)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(2, 2, 0);
    FillRows(source.get(), 2, 2, [](int32_t x, int32_t y) { return uint32_t(0x102030 * (1 + x + 2 * y)); });
    auto destination = MakeOffscreen(4, 4, 0);
    source->QuietScaledPixelCopy(destination.get(), {0, 0, 2, 2}, {0, 0, 4, 4});
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel32(destination.get(), x, y), Pixel32(source.get(), x / 2, y / 2)) << x << "," << y;
}

TEST(ScaledCopy, HalfTheErrorIsCarriedAlongTheRow)
{
    TestScreen screen(32);
    const RGBColor48 grey = {0x8080, 0x8080, 0x8080};
    auto source = MakeOffscreen(4, 1, 0, &grey);
    SetScreenCaps(ScreenCapsOfDepth(8));  // one bit per pixel needs a screen of fewer than 9 bits
    auto mono = MakeOffscreen(4, 1, 1);
    ASSERT_EQ(mono->Format().bitsPerPixel, 1);
    source->QuietScaledPixelCopy(mono.get(), {0, 0, 4, 1}, {0, 0, 4, 1});
    // 0x8080 shows white, leaving the error (0x8080 - 0xFFFF) / 2 = -16320: 0x40C0 shows black,
    // leaving 8288: 0xA0E0 shows white, leaving -12176: 0x50F0 shows black.
    const uint16_t expected[4] = {0xFFFF, 0, 0xFFFF, 0};
    for (int32_t x = 0; x < 4; ++x) {
        RGBColor48 c;
        mono->GetPixelColor(&c, x, 0);
        EXPECT_EQ(c.red, expected[x]) << x;
    }
}

// Rows of every true-colour and indexed depth are read straight: each pixel as the system gives
// it (an index through its bitmap's colour table), and a copy into a pixel map, and a pixel map
// made from the rows, pick the cube entry of each pixel at its place.
TEST(ScaledCopy, RowsReadAsTheSystemGivesTheirPixels)
{
    for (const int32_t depth : {1, 4, 8, 16, 24, 32}) {
        TestScreen screen(depth);
        auto source = MakeOffscreen(5, 3, 0);
        ASSERT_EQ(source->Format().bitsPerPixel, depth);
        // Levels that every depth holds exactly, then a channel each that 5 bits round, matched to
        // the nearest colour of an indexed bitmap.
        FillRows(source.get(), 5, 3, [](int32_t x, int32_t y) { return uint32_t(x * 0x00FF00 + y * 0xFF0000) & 0xFF00FFu; });
        source->SetPixelColor(4, 2, {0x1234, 0x5678, 0x9ABC});
        GdiFlush();
        RGBColor48 colours[kIndexColours];
        const int32_t entries = source->IndexColours(colours);
        ASSERT_EQ(entries, depth < 16 ? 1 << depth : 0);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                RGBColor48 system;
                source->GetPixelColor(&system, x, y);
                const uint8_t* row = source->Format().rowTable[y];
                const uint32_t index = depth == 1 ? IndexAt<1>(row, x) : depth == 4 ? IndexAt<4>(row, x) : IndexAt<8>(row, x);
                const RGBColor48 read = entries ? colours[index] : TrueColourAt(row, x, depth);
                EXPECT_EQ(std::make_tuple(read.red, read.green, read.blue),
                          std::make_tuple(system.red, system.green, system.blue)) << depth << ": " << x << "," << y;
            }
        Owned<MemPixMap> pixels(new MemPixMap);
        ASSERT_EQ(pixels->MemPixMapInit({0, 0, 4, 3}, 8), kResultOk);
        source->QuietScaledPixelCopy(pixels.get(), {0, 0, 4, 3}, {0, 0, 4, 3});
        Owned<MemPixMap> made(new MemPixMap);
        ASSERT_EQ(made->MemPixMapInit8(source.get()), kResultOk);
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 4; ++x) {
                RGBColor48 colour;
                source->GetPixelColor(&colour, x, y);
                EXPECT_EQ(pixels->Format().rowTable[y][x], ColorCubeIndex(colour)) << depth << ": " << x << "," << y;
                EXPECT_EQ(made->Format().rowTable[y][x], ColorCubeIndex(colour)) << depth << ": " << x << "," << y;
            }
    }
}

TEST(ScaledCopy, ASourceOfNoColumnsGivesWhatItsPortGivesOutsideIt)
{
    // A picture of no columns and 300 rows into a texture of 2 x 8: every pixel is the colour the
    // system gives for a point outside the bitmap, asked once, not for each of the 600 pixels of
    // the blocks (each a call to the system, six turns).
    TestScreen screen(8);
    auto source = MakeOffscreen(0, 300, 0);
    RGBColor48 outside;
    source->GetPixelColor(&outside, 0, 0);
    Owned<MemPixMap> pixels(new MemPixMap);
    ASSERT_EQ(pixels->MemPixMapInit({0, 0, 2, 8}, 8), kResultOk);
    const int64_t before = TurnsCounted();
    source->QuietScaledPixelCopy(pixels.get(), {0, 0, 0, 300}, {0, 0, 2, 8});
    EXPECT_LT(TurnsCounted() - before, 600);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(pixels->Format().rowTable[y][x], ColorCubeIndex(outside)) << x << "," << y;
}

TEST(ScaledCopy, EmptyDestinationCopiesNothing)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(4, 4, 0, &kGreyish);
    auto destination = MakeOffscreen(4, 4, 0);
    source->QuietScaledPixelCopy(destination.get(), {0, 0, 4, 4}, {1, 1, 1, 3});
    source->QuietScaledPixelCopy(destination.get(), {0, 0, 4, 4}, {1, 1, 3, 1});
    EXPECT_EQ(Pixel32(destination.get(), 1, 1), 0u);
    EXPECT_EQ(source->LockCount(), 0);
    EXPECT_EQ(destination->LockCount(), 0);
}

TEST(ScaledCopy, ReportsRowsWhileTextureFilesAreAdded)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(4, 4, 0);
    auto destination = MakeOffscreen(4, 4, 0);
    UiRecorder ui;
    source->ScaledPixelCopy(destination.get(), {0, 0, 4, 4}, {0, 0, 2, 2});
    EXPECT_TRUE(ui.progress.empty());
    EXPECT_EQ(ui.cursors, (std::vector<int32_t>{kWaitCursor, kWaitCursor}));

    const CountRaised adding(TextureAddingDepth);
    source->LockedScaledPixelCopy(destination.get(), {0, 0, 4, 4}, {0, 0, 4, 4});
    EXPECT_EQ(ui.progress, (std::vector<int32_t>{0, 25, 50, 75}));
    EXPECT_EQ(ui.updates, 4);
    EXPECT_EQ(source->LockCount(), 0);

    ui.cursors.clear();
    source->LockedQuietScaledPixelCopy(destination.get(), {0, 0, 4, 4}, {0, 0, 4, 4});
    EXPECT_TRUE(ui.cursors.empty());
    EXPECT_EQ(ui.updates, 4);
}

TEST(PortCopy, APixelMapReportsTheRowsEitherWayWhileTextureFilesAreAdded)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(4, 4, 0);
    Owned<MemPixMap> pixels(new MemPixMap);
    ASSERT_EQ(pixels->MemPixMapInit({0, 0, 2, 2}, 8), kResultOk);
    UiRecorder ui;
    offscreen->CopyOffscreenToPort(pixels.get(), {0, 0, 4, 4}, {0, 0, 2, 2});
    offscreen->CopyPortToOffscreen(pixels.get(), {0, 0, 2, 2}, {0, 0, 4, 4});
    EXPECT_TRUE(ui.progress.empty());
    const CountRaised adding(TextureAddingDepth);
    offscreen->CopyOffscreenToPort(pixels.get(), {0, 0, 4, 4}, {0, 0, 2, 2});
    EXPECT_EQ(ui.progress, (std::vector<int32_t>{0, 50}));
    EXPECT_EQ(ui.cursors.size(), 8u);
    ui.progress.clear();
    offscreen->CopyPortToOffscreenRop(pixels.get(), {0, 0, 2, 2}, {0, 0, 4, 4}, SRCCOPY);
    EXPECT_EQ(ui.progress, (std::vector<int32_t>{0, 25, 50, 75}));
    EXPECT_EQ(pixels->LockCount(), 0);
}

TEST(PortCopy, OffscreensCopyByBlockTransfer)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(4, 4, 0);
    FillRows(source.get(), 4, 4, [](int32_t x, int32_t y) { return uint32_t(x * 0x40 + y * 0x4000); });
    auto destination = MakeOffscreen(8, 8, 0);
    destination->CopyPortToOffscreen(source.get(), {1, 1, 3, 3}, {5, 6, 7, 8});
    EXPECT_EQ(Pixel32(destination.get(), 5, 6), 0x004040u);
    EXPECT_EQ(Pixel32(destination.get(), 6, 7), 0x008080u);
    source->CopyOffscreenToPortRop(destination.get(), {0, 0, 1, 1}, {0, 0, 2, 2}, NOTSRCCOPY);
    EXPECT_EQ(Pixel32(destination.get(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel32(destination.get(), 1, 1), 0xFFFFFFu);
    EXPECT_EQ(Pixel32(destination.get(), 2, 2), 0u);
}

TEST(PortCopy, PortsWithoutADCTakeThePixelCopy)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(4, 4, 0, &kGreyish);
    Owned<Q_Offscreen> pixels(new PixelOnlyOffscreen);
    IgnoreResult(pixels->QOffscreenInit({0, 0, 2, 2}, 0, nullptr));
    UiRecorder ui;
    source->CopyOffscreenToPortRop(pixels.get(), {0, 0, 4, 4}, {0, 0, 2, 2}, NOTSRCCOPY);
    EXPECT_EQ(Pixel32(pixels.get(), 1, 1), 0x4080C0u);  // averaged; the raster operation is ignored
    EXPECT_EQ(ui.cursors.size(), 2u);

    auto destination = MakeOffscreen(4, 4, 0);
    destination->CopyPortToOffscreen(pixels.get(), {0, 0, 2, 2}, {0, 0, 4, 4});
    EXPECT_EQ(Pixel32(destination.get(), 3, 3), 0x4080C0u);
    EXPECT_EQ(pixels->LockCount(), 0);

    PicturePort picture;
    source->CopyOffscreenToPort(&picture, {0, 0, 4, 4}, {0, 0, 4, 4});
    destination->CopyPortToOffscreen(&picture, {0, 0, 4, 4}, {0, 0, 4, 4});
    EXPECT_EQ(Pixel32(destination.get(), 3, 3), 0x4080C0u);
}

TEST(PortCopy, MaskedCopyShowsTheSourceThroughBlackMaskPixels)
{
    TestScreen screen(32);
    const RGBColor48 red = {0xFFFF, 0, 0};
    const RGBColor48 blue = {0, 0, 0xFFFF};
    const RGBColor48 white = {0xFFFF, 0xFFFF, 0xFFFF};
    auto source = MakeOffscreen(2, 1, 0, &red);
    auto destination = MakeOffscreen(4, 1, 0, &blue);
    ScreenCaps eight = ScreenCapsOfDepth(8);
    SetScreenCaps(eight);
    auto mask = MakeOffscreen(2, 1, 1, &white);
    SetScreenCaps(ScreenCapsOfDepth(32));
    mask->SetPixelColor(1, 0, {0, 0, 0});
    destination->MaskedPortCopy(source.get(), mask.get(), {0, 0, 2, 1}, {2, 0, 4, 1});
    EXPECT_EQ(Pixel32(destination.get(), 1, 0), 0x0000FFu);
    EXPECT_EQ(Pixel32(destination.get(), 2, 0), 0x0000FFu);
    EXPECT_EQ(Pixel32(destination.get(), 3, 0), 0xFF0000u);
}

TEST(PortCopy, PortToNewOffscreenCopiesASizedPort)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(3, 2, 0, &kGreyish);
    Owned<Q_Offscreen> copy(new Q_Offscreen);
    ASSERT_EQ(copy->PortToNewOffscreen(source.get()), kResultOk);
    EXPECT_EQ(BoundsSize(copy), std::make_pair(3, 2));
    EXPECT_EQ(Pixel32(copy.get(), 2, 1), 0x4080C0u);
    EXPECT_EQ(copy->LockCount(), 0);
    EXPECT_EQ(source->LockCount(), 0);
}
