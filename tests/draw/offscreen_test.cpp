// Offscreens: bitmap sizes and row tables per depth, locking and publication, resizing, disposal
// and re-initialisation, registration as the render offscreen.
#include "draw/q_offscreen.h"

#include <gtest/gtest.h>

#include <string>

#include "draw/bitmap_format.h"
#include "draw/current_port.h"
#include "draw/raster_procs.h"
#include "tests/draw/draw_support.h"
#include "tests/draw/ui_recorder.h"

namespace {

struct FormatCase {
    int32_t screen;     // screen depth
    int32_t requested;  // depth asked of the offscreen
    int32_t bits;       // bits per pixel of its bitmap
};

class OffscreenFormat : public testing::TestWithParam<FormatCase> {};

// A stand-in for the rasterizer layer's choice, installed for every test: one set for every
// format of 4 bits or more, recording the format it was asked for.
int32_t gAskedPlanes = 0;
int32_t gAskedBits = 0;

int32_t FillNothing(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*, int32_t, int32_t)
{
    return 0;
}

int32_t NoShading(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*, int32_t, int32_t)
{
    return 0;
}

const RasterProcSet kStandInSet = {&FillNothing, nullptr, nullptr, nullptr};

const RasterProcSet* StandInChoice(int32_t planes, int32_t bitsPerPixel)
{
    gAskedPlanes = planes;
    gAskedBits = bitsPerPixel;
    return planes * bitsPerPixel >= 4 ? &kStandInSet : nullptr;
}

class StandInChoiceInstalled : public testing::Environment {
public:
    void SetUp() override { InstallRasterSetChoice(StandInChoice); }
    void TearDown() override { InstallRasterSetChoice(nullptr); }
};
testing::Environment* const kStandInChoice = testing::AddGlobalTestEnvironment(new StandInChoiceInstalled);

}  // namespace

TEST_P(OffscreenFormat, WidthIsPaddedAndRowsAreListedTopDown)
{
    const FormatCase c = GetParam();
    TestScreen screen(c.screen);
    for (const auto& [width, bitmapWidth] : {std::pair{100, 128}, {24, 32}, {25, 64}, {0, 32}}) {
        auto offscreen = MakeOffscreen(width, 3, c.requested);
        const PixelFormat& format = offscreen->Format();
        EXPECT_EQ(format.width, bitmapWidth) << width;
        EXPECT_EQ(format.height, 3);
        EXPECT_EQ(format.bitsPerPixel, c.bits);
        EXPECT_EQ(format.planes, 1);
        EXPECT_EQ(format.rowBytes, bitmapWidth * c.bits / 8);
        EXPECT_EQ(offscreen->GetRowStride(), bitmapWidth * c.bits / 8);
        ASSERT_EQ(format.pixelAccess, 1);
        ASSERT_EQ(offscreen->GetRowTable(), format.rowTable);
        EXPECT_EQ(format.rowTable[0], offscreen->DibBits());
        EXPECT_EQ(format.rowTable[1], format.rowTable[0] + format.rowBytes);
        EXPECT_EQ(format.rowTable[2], format.rowTable[0] + 2 * format.rowBytes);
        EXPECT_EQ(offscreen->PortDepthField(), c.requested);
        EXPECT_EQ(BoundsSize(offscreen), std::make_pair(width, 3));
        EXPECT_EQ(offscreen->HasRasterizers(), c.bits == 1 ? 0 : 1);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPixelFormat, OffscreenFormat,
                         testing::Values(FormatCase{8, 1, 1}, FormatCase{4, 4, 4}, FormatCase{8, 8, 8},
                                         FormatCase{8, 16, 8}, FormatCase{16, 8, 16},
                                         FormatCase{24, 1, 24}, FormatCase{32, 4, 32}),
                         [](const testing::TestParamInfo<FormatCase>& info) {
                             return "Screen" + std::to_string(info.param.screen) + "Asked" +
                                    std::to_string(info.param.requested);
                         });

TEST(Offscreen, EmptyRectangleGivesOneRowOfThirtyTwoPixels)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(0, 0, 0);
    EXPECT_EQ(offscreen->Format().width, 32);
    EXPECT_EQ(offscreen->Format().height, 1);
    EXPECT_EQ(BoundsSize(offscreen), std::make_pair(0, 0));
}

TEST(Offscreen, ScreenDepthRequestRecordsTheScreenDepth)
{
    TestScreen screen(16);
    auto offscreen = MakeOffscreen(4, 4, -1);
    EXPECT_EQ(offscreen->PortDepthField(), 16);
    EXPECT_EQ(offscreen->Format().bitsPerPixel, 16);
}

TEST(Offscreen, PaletteDepthRequestGivesTheScreensOwnFormat)
{
    for (int32_t depth : {8, 16, 32}) {
        TestScreen screen(depth);
        auto offscreen = MakeOffscreen(32, 32, PaletteScreenDepth());
        EXPECT_EQ(offscreen->Format().bitsPerPixel, depth);
        EXPECT_EQ(offscreen->HasRasterizers(), 1);
    }
}

TEST(Offscreen, FillColourPaintsEveryPixel)
{
    TestScreen screen(32);
    const RGBColor48 teal = {0x1000, 0x8000, 0x8000};
    auto offscreen = MakeOffscreen(5, 2, 0, &teal);
    EXPECT_EQ(Pixel32(offscreen.get(), 0, 0), 0x108080u);
    EXPECT_EQ(Pixel32(offscreen.get(), 4, 1), 0x108080u);
    EXPECT_EQ(offscreen->LockCount(), 0);
}

TEST(Offscreen, NestedLocksPublishOnceAndSetBlackOnWhite)
{
    TestScreen screen(32);
    auto first = MakeOffscreen(10, 10, 0);
    auto second = MakeOffscreen(20, 20, 0);
    SetPort(nullptr);

    IgnoreResult(first->Lock());
    EXPECT_EQ(GetPort(), first->PortDC());
    EXPECT_EQ(PublishedOffscreen, first.get());
    EXPECT_EQ(PublishedRaster.rowTable, first->Format().rowTable);
    EXPECT_EQ(PublishedRaster.width, 32);
    EXPECT_NE(PublishedRaster.redTable, nullptr);

    IgnoreResult(second->Lock());
    EXPECT_EQ(PublishedOffscreen, second.get());
    SetTextColor(second->PortDC(), RGB(1, 2, 3));
    SetBkColor(second->PortDC(), RGB(4, 5, 6));
    IgnoreResult(first->Lock());  // nested: only counts, and sets black on white in the current port
    EXPECT_EQ(first->LockCount(), 2);
    EXPECT_EQ(GetTextColor(second->PortDC()) & 0xFFFFFF, RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(second->PortDC()) & 0xFFFFFF, RGB(255, 255, 255));
    EXPECT_EQ(PublishedOffscreen, second.get());
    EXPECT_EQ(GetPort(), second->PortDC());

    first->Unlock();
    EXPECT_EQ(first->LockCount(), 1);
    EXPECT_NE(PublishedRaster.redTable, nullptr);
    second->Unlock();
    EXPECT_EQ(GetPort(), first->PortDC());
    first->Unlock();
    EXPECT_EQ(GetPort(), nullptr);
    EXPECT_EQ(PublishedRaster.redTable, nullptr);
    first->Unlock();  // unbalanced: ignored
    EXPECT_EQ(first->LockCount(), 0);
}

TEST(Offscreen, RasterizerSetIsTheInstalledChoiceForTheFormat)
{
    TestScreen screen(8);
    const RasterProcSet before = {nullptr, nullptr, &NoShading, nullptr};
    RasterProcs = before;
    auto indexed = MakeOffscreen(8, 8, 8);
    EXPECT_EQ(gAskedPlanes, 1);
    EXPECT_EQ(gAskedBits, 8);
    EXPECT_EQ(indexed->HasRasterizers(), 1);
    EXPECT_EQ(RasterProcs.FillPolygon, kStandInSet.FillPolygon);
    EXPECT_EQ(RasterProcs.ShadePolygon, nullptr);
    // A format the choice has no set for leaves the installed set alone.
    RasterProcs = before;
    auto mono = MakeOffscreen(8, 8, 1);
    EXPECT_EQ(gAskedBits, 1);
    EXPECT_EQ(mono->HasRasterizers(), 0);
    EXPECT_EQ(RasterProcs.ShadePolygon, &NoShading);
    // With no choice installed no format has a set.
    const RasterSetChoice standIn = InstallRasterSetChoice(nullptr);
    EXPECT_EQ(standIn, &StandInChoice);
    EXPECT_EQ(ChooseRasterSet(1, 8), nullptr);
    auto unchosen = MakeOffscreen(8, 8, 8);
    EXPECT_EQ(unchosen->HasRasterizers(), 0);
    EXPECT_EQ(RasterProcs.ShadePolygon, &NoShading);
    InstallRasterSetChoice(standIn);
}

TEST(Offscreen, NoRasterizersWithoutAScreenDevice)
{
    ScopedScreenCaps caps(32);
    auto offscreen = MakeOffscreen(8, 8, 0);
    EXPECT_EQ(offscreen->Format().pixelAccess, 1);
    EXPECT_EQ(offscreen->HasRasterizers(), 0);
    EXPECT_EQ(offscreen->MatchBlock().redTable, nullptr);
}

TEST(Offscreen, BorrowsTheLargestScreenDevicesBlock)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(8, 8, 0);
    EXPECT_EQ(offscreen->MatchBlock().redTable, screen.device->MatchBlock().redTable);
    EXPECT_EQ(offscreen->MatchBlock().matchCache, nullptr);
    // The lookup gives the offscreen's own rectangle a row when it has no height, else a column
    // when it has no width; its bounds stay as they were.
    auto flat = MakeOffscreen(8, 0, 0);
    EXPECT_EQ(flat->GlobalRect().bottom, 1);
    EXPECT_EQ(flat->GlobalRect().right, 8);
    EXPECT_EQ(BoundsSize(flat), std::make_pair(8, 0));
    auto thin = MakeOffscreen(0, 8, 0);
    EXPECT_EQ(thin->GlobalRect().right, 1);
    EXPECT_EQ(thin->GlobalRect().bottom, 8);
}

TEST(Offscreen, ResizeWhileLockedAlertsAndResizes)
{
    TestScreen screen(32);
    UiRecorder ui;
    auto offscreen = MakeOffscreen(8, 8, 0);
    IgnoreResult(offscreen->Lock());
    EXPECT_EQ(offscreen->OffscreenResize({0, 0, 40, 3}), kResultOk);
    offscreen->Unlock();
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0], "Q_Offscreen is locked in Resize().");
    EXPECT_EQ(offscreen->Format().width, 64);
    EXPECT_EQ(offscreen->Format().height, 3);
    EXPECT_EQ(PublishedOffscreen, offscreen.get());
}

TEST(Offscreen, ScreenDeviceKeepsItsBitmapOnResize)
{
    TestScreen screen(16);
    EXPECT_EQ(screen.device->IsScreenDevice(), 1);
    EXPECT_EQ(screen.device->Format().width, 32);
    EXPECT_EQ(screen.device->PortDepthField(), 16);
    EXPECT_EQ(BoundsSize(screen.device), std::make_pair(1024, 768));
    EXPECT_EQ(screen.device->OffscreenResize({0, 0, 100, 100}), -1);
    EXPECT_EQ(screen.device->Format().width, 32);
}

TEST(Offscreen, ScreenDeviceTakesSizeAndDepthFromItsMemoryDC)
{
    // The DC answers a 640 x 480 screen of 16 bits while the recorded screen has 32.
    class SmallScreen : public DeviceCapsReader {
    public:
        ScreenCaps ReadDeviceCaps(HDC dc) override
        {
            asked = dc;
            ScreenCaps caps = ScreenCapsOfDepth(16);
            caps.width = 640;
            caps.height = 480;
            return caps;
        }
        HDC asked = nullptr;
    } small;
    TestScreen screen(32);
    DeviceCapsReader* previous = InstallDeviceCapsReader(&small);
    Owned<Q_Offscreen> device(new Q_Offscreen);
    ASSERT_EQ(device->OffscreenFromPort(nullptr), kResultOk);
    InstallDeviceCapsReader(previous);
    EXPECT_EQ(small.asked, device->PortDC());
    EXPECT_EQ(BoundsSize(device), std::make_pair(640, 480));
    EXPECT_EQ(device->GlobalRect().right, 640);
    EXPECT_EQ(device->PortDepthField(), 16);
    EXPECT_EQ(device->Format().bitsPerPixel, 32);  // its bitmap has the recorded screen's depth
}

TEST(Offscreen, FailedResizeLeavesNoPixelPointer)
{
    ScreenCaps caps = ScreenCapsOfDepth(32);
    TestScreen screen(caps);
    auto offscreen = MakeOffscreen(8, 8, 0);
    IgnoreResult(offscreen->Lock());
    offscreen->Unlock();
    caps.bitsPerPixel = 2;  // a depth no bitmap can be made for
    SetScreenCaps(caps);
    EXPECT_EQ(offscreen->OffscreenResize({0, 0, 100, 20}), -1);
    const PixelFormat& format = offscreen->Format();
    EXPECT_EQ(format.pixelAccess, 0);
    EXPECT_EQ(format.pixelBits, nullptr);
    EXPECT_EQ(format.rowTable, nullptr);
    EXPECT_EQ(offscreen->GetPixelBits(), nullptr);
    EXPECT_EQ(offscreen->HasRasterizers(), 0);
    EXPECT_EQ(PublishedOffscreen, offscreen.get());
    EXPECT_EQ(PublishedRaster.pixelBits, nullptr);
    EXPECT_EQ(PublishedRaster.pixelAccess, 0);
    EXPECT_EQ(format.width, 100);  // the one-bit format of the bounds
    EXPECT_EQ(format.rowBytes, 12);
}

TEST(Offscreen, DisposalClearsEveryReferenceToIt)
{
    TestScreen screen(32);
    auto* offscreen = new Q_Offscreen;
    ASSERT_EQ(offscreen->QOffscreenInit({0, 0, 8, 8}, 0, nullptr), kResultOk);
    HDC before = reinterpret_cast<HDC>(0x4321);
    SetPort(before);
    IgnoreResult(offscreen->Activate());  // registered and locked: current port and published
    StartupOffscreen = offscreen;
    EXPECT_EQ(SharedOffscreen, offscreen);
    EXPECT_EQ(GetPort(), offscreen->PortDC());
    DynamicArray* redTable = screen.device->MatchBlock().redTable;
    EXPECT_EQ(redTable->LockCount(), 1);

    offscreen->DisposeOffscreen();
    EXPECT_EQ(SharedOffscreen, nullptr);
    EXPECT_EQ(StartupOffscreen, nullptr);
    EXPECT_EQ(PublishedOffscreen, nullptr);
    EXPECT_EQ(PublishedRaster.rowTable, nullptr);
    EXPECT_EQ(PublishedRaster.pixelBits, nullptr);
    EXPECT_EQ(PublishedRaster.redTable, nullptr);
    EXPECT_EQ(GetPort(), before);
    EXPECT_EQ(redTable->LockCount(), 0);
    SetPort(nullptr);
}

TEST(Offscreen, ActivateReplacesTheRenderOffscreenButNeverItself)
{
    TestScreen screen(32);
    auto* first = new Q_Offscreen;
    auto* second = new Q_Offscreen;
    IgnoreResult(first->QOffscreenInit({0, 0, 8, 8}, 0, nullptr));
    IgnoreResult(second->QOffscreenInit({0, 0, 8, 8}, 0, nullptr));
    IgnoreResult(first->Activate());
    IgnoreResult(first->Deactivate());
    IgnoreResult(first->Activate());
    EXPECT_EQ(SharedOffscreen, first);
    EXPECT_EQ(first->LockCount(), 1);
    IgnoreResult(first->Activate());  // already registered: not disposed
    EXPECT_EQ(SharedOffscreen, first);
    EXPECT_EQ(first->LockCount(), 2);
    IgnoreResult(second->Activate());  // disposes the first
    EXPECT_EQ(SharedOffscreen, second);
    IgnoreResult(second->Deactivate());
    EXPECT_EQ(SharedOffscreen, nullptr);
    EXPECT_EQ(second->LockCount(), 0);
    second->DisposeOffscreen();
}

TEST(Offscreen, ReinitialisingReleasesTheOldDCAndBitmap)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(8, 8, 0);
    HDC oldDC = offscreen->PortDC();
    PortRect ignored;
    HBITMAP oldBitmap = static_cast<HBITMAP>(GetCurrentObject(offscreen->GetDrawingDC(&ignored), OBJ_BITMAP));
    DynamicArray* rows = offscreen->Format().rowTableArray;
    ASSERT_EQ(offscreen->QOffscreenInit({0, 0, 40, 2}, 0, nullptr), kResultOk);
    EXPECT_EQ(GetObjectType(oldDC), 0u);
    EXPECT_EQ(GetObjectType(oldBitmap), 0u);
    EXPECT_EQ(offscreen->Format().rowTableArray, rows);  // the row table is reused
    EXPECT_EQ(offscreen->Format().height, 2);
    EXPECT_EQ(rows->ArrayCount(), 2);
}

TEST(Offscreen, PixelColoursRoundTripThroughTheDC)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(4, 4, 0);
    offscreen->SetPixelColor(2, 1, {0x1234, 0xABCD, 0xFF00});
    EXPECT_EQ(Pixel32(offscreen.get(), 2, 1), 0x12ABFFu);
    RGBColor48 read;
    offscreen->GetPixelColor(&read, 2, 1);
    EXPECT_EQ(read.red, 0x1212);
    EXPECT_EQ(read.green, 0xABAB);
    EXPECT_EQ(read.blue, 0xFFFF);
}

TEST(BitmapFormat, UndescribableBitmapGivesTheOneBitFormatOfTheBounds)
{
    TestScreen screen(16);
    auto offscreen = MakeOffscreen(100, 20, 0);
    DynamicArray* rows = offscreen->Format().rowTableArray;
    EXPECT_EQ(ReadBitmapFormat(offscreen.get(), offscreen->PortDC(), nullptr), 1);
    const PixelFormat& format = offscreen->Format();
    EXPECT_EQ(format.width, 100);
    EXPECT_EQ(format.height, 20);
    EXPECT_EQ(format.rowBytes, 12);
    EXPECT_EQ(format.planes, 1);
    EXPECT_EQ(format.bitsPerPixel, 1);
    EXPECT_EQ(format.rowTableArray, rows);
    EXPECT_EQ(rows->ArrayCount(), 20);
    EXPECT_EQ(format.rowTable[19], format.rowTable[0] + 19 * 12);
}

TEST(BitmapFormat, ProbeFindsTheBytesOfAPixel)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(8, 4, 0);
    uint8_t* row = offscreen->GetRowTable()[3];
    EXPECT_EQ(ProbePixelMemory(offscreen->PortDC(), 5, 3, 4, row + 5 * 4), 1);
    EXPECT_EQ(ProbePixelMemory(offscreen->PortDC(), 5, 3, 8, row + 6 * 4), 0);
    EXPECT_EQ(ProbePixelMemory(offscreen->PortDC(), 5, 3, 4, nullptr), 0);
}
