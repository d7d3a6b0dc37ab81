// Picture bitmaps: resource bitmaps into offscreens at their size and depth, drawing stretched
// into the current port, picture files (not decoded), and what an active picture switches.
#include "draw/picture_bitmap.h"

#include <gtest/gtest.h>

#include "draw/current_port.h"
#include "tests/draw/draw_support.h"

namespace {

// Pixel (x, y) of the test bitmap 105 (pictures/make_picture.py).
uint32_t PicturePixel(int32_t x, int32_t y)
{
    return uint32_t(40 * x + 10) << 16 | uint32_t(80 * y + 20) << 8 | 200u;
}

}  // namespace

TEST(PictureBitmap, ResourcePicturesFillAnOffscreenOfTheirSize)
{
    TestScreen screen(32);
    Owned<Q_Offscreen> offscreen(new Q_Offscreen);
    // A negative resource number counts as positive.
    ASSERT_EQ(LoadPictureResource(offscreen.get(), -105, 32), kResultOk);
    EXPECT_EQ(BoundsSize(offscreen), std::make_pair(5, 3));
    EXPECT_EQ(offscreen->LockCount(), 0);
    for (int32_t y = 0; y < 3; y++)
        for (int32_t x = 0; x < 5; x++) EXPECT_EQ(Pixel32(offscreen.get(), x, y), PicturePixel(x, y)) << x << "," << y;

    // A missing resource leaves the offscreen as it was.
    EXPECT_EQ(LoadPictureResource(offscreen.get(), 104, 32), -1);
    EXPECT_EQ(BoundsSize(offscreen).first, 5);
    EXPECT_EQ(Pixel32(offscreen.get(), 4, 2), PicturePixel(4, 2));
}

TEST(PictureBitmap, DepthZeroMakesAOneBitOffscreen)
{
    TestScreen screen(8);
    Owned<Q_Offscreen> offscreen(new Q_Offscreen);
    ASSERT_EQ(LoadPictureResource(offscreen.get(), 105, 0), kResultOk);
    EXPECT_EQ(offscreen->PortDepthField(), 1);
    EXPECT_EQ(offscreen->Format().bitsPerPixel, 1);
}

TEST(PictureBitmap, DrawsStretchedIntoTheCurrentPort)
{
    TestScreen screen(32);
    Owned<PictureBitmap> picture(new PictureBitmap);
    picture->InitPicture(0);
    EXPECT_EQ(picture->HasPictureBitmap(), -1);
    ASSERT_EQ(picture->LoadPictureBitmap(105), kResultOk);
    EXPECT_EQ(picture->HasPictureBitmap(), kResultOk);
    EXPECT_EQ(picture->KindWord(), 0);
    EXPECT_EQ(BoundsSize(picture), std::make_pair(5, 3));
    PortRect bounds;
    EXPECT_EQ(picture->GetDrawingDC(&bounds), nullptr);

    auto offscreen = MakeOffscreen(12, 8, 32);
    IgnoreResult(offscreen->Lock());
    picture->DrawPicture({1, 1, 11, 7});
    offscreen->Unlock();
    for (int32_t y = 0; y < 6; y++)
        for (int32_t x = 0; x < 10; x++)
            EXPECT_EQ(Pixel32(offscreen.get(), x + 1, y + 1), PicturePixel(x / 2, y / 2)) << x << "," << y;
}

TEST(PictureBitmap, PictureFilesGiveAWhiteOffscreenOfNoSize)
{
    TestScreen screen(32);
    MemoryStream stream;
    stream.StreamInit(kStreamReading);
    IgnoreResult(stream.StreamSetSize(700));
    Owned<Q_Offscreen> offscreen(new Q_Offscreen);
    ASSERT_EQ(ReadPictFile(offscreen.get(), &stream, 32), kResultOk);
    PortRect bounds;
    offscreen->GetBounds(&bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.right, 0);
    EXPECT_EQ(bounds.bottom, 0);
    EXPECT_EQ(stream.StreamPosition(), 512);

    MemoryStream writing;
    writing.StreamInit(kStreamWriting);
    EXPECT_EQ(PictToOffscreen(offscreen.get(), &writing, 0, 32), -1);
    EXPECT_EQ(TransferPictHeader(&writing), kResultOk);
    int32_t size = 0;
    IgnoreResult(writing.StreamSize(&size));
    EXPECT_EQ(size, 512);
    EXPECT_EQ(TransferPictChunk(&writing), -1);
    IgnoreResult(writing.StreamSize(&size));
    EXPECT_EQ(size, 520);
    const auto* bytes = static_cast<const uint8_t*>(writing.Buffer()->ArrayData());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 512, 4), "PICT");
}

TEST(PictureBitmap, AnActivePictureDrawsWithPolygonCallsAndHoldsTheStartupOffscreen)
{
    TestScreen screen(32);
    Q_Offscreen* startup = new Q_Offscreen;
    ASSERT_EQ(startup->QOffscreenInit({0, 0, 32, 32}, -1, nullptr), kResultOk);
    StartupOffscreen = startup;
    SetGdiOnlyDrawing(0);
    Owned<PictureBitmap> picture(new PictureBitmap);
    picture->InitPicture(0);
    EXPECT_EQ(picture->GetPortKind(), kPortPicture);
    EXPECT_EQ(picture->KindWord(), 3);
    EXPECT_EQ(picture->Activate(), -1);  // no bitmap
    EXPECT_EQ(GetGdiOnlyDrawing(), 1);
    EXPECT_EQ(startup->LockCount(), 1);
    EXPECT_EQ(picture->Deactivate(), kResultOk);
    EXPECT_EQ(GetGdiOnlyDrawing(), 0);
    EXPECT_EQ(startup->LockCount(), 0);
    startup->DisposeOffscreen();
    EXPECT_EQ(StartupOffscreen, nullptr);
}
