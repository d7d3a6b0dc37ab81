// Memory pixel maps: sizes and rows, cube-indexed pixels with clipped coordinates, lock counts,
// copies from offscreens, and the image format through a stream (rows of 1 and 4 bits in the
// bit order of device-independent bitmaps, true-colour rows, and rows that read back whole).
#include "draw/mem_pix_map.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "draw/color_cube.h"
#include "draw/image_format.h"
#include "tests/draw/draw_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

Owned<MemPixMap> MakePixMap(int32_t width, int32_t height)
{
    Owned<MemPixMap> map(new MemPixMap);
    EXPECT_EQ(map->MemPixMapInit({0, 0, width, height}, 8), kResultOk);
    return map;
}

// The image header, colour map and rows of a picture, as the offscreens store them.
Bytes ImageBytes(int16_t width, int16_t height, int16_t depth, int32_t rowBytes, const std::vector<uint32_t>& colours,
                 const Bytes& rows)
{
    MemoryStream stream;
    stream.StreamInit(kStreamWriting);
    OffscreenImageHeader header;
    header.width = width;
    header.height = height;
    header.depth = depth;
    header.rowBytes = rowBytes;
    header.totalBytes = rowBytes * height;
    IgnoreResult(TransferImageHeader(&stream, &header));
    IgnoreResult(stream.StreamBeginChunk(kColorMapChunk));
    for (uint32_t c : colours) IgnoreResult(stream.StreamTransferValue(&c, kValue32));
    IgnoreResult(stream.StreamEndChunk());
    IgnoreResult(stream.StreamBeginChunk(kPixelDataChunk));
    IgnoreResult(stream.TransferBytes(const_cast<uint8_t*>(rows.data()), int32_t(rows.size())));
    IgnoreResult(stream.StreamEndChunk());
    DynamicArray* buffer = stream.Buffer();
    const auto* data = static_cast<const uint8_t*>(buffer->ArrayData());
    return Bytes(data, data + buffer->ArrayCount());
}

Owned<MemPixMap> ReadPixMap(const Bytes& bytes, ResultCode* result)
{
    MemoryStream stream;
    stream.StreamInit(kStreamReading);
    IgnoreResult(stream.StreamSetSize(int32_t(bytes.size())));
    std::memcpy(stream.Buffer()->ArrayData(), bytes.data(), bytes.size());
    Owned<MemPixMap> map(new MemPixMap);
    *result = map->ReadWriteOffscreenImage(&stream, nullptr, 0);
    return map;
}

uint8_t PixelByte(MemPixMap* map, int32_t x, int32_t y)
{
    return map->GetRowTable()[y][x];
}

}  // namespace

TEST(MemPixMap, RowsAreWholeWordsOfWhitePixels)
{
    TestScreen screen(32);
    auto map = MakePixMap(3, 2);
    EXPECT_EQ(map->GetRowStride(), 4);
    EXPECT_EQ(map->Depth(), 8);
    EXPECT_EQ(map->GetPortKind(), kPortOffscreen);
    PortRect bounds;
    EXPECT_EQ(map->GetDrawingDC(&bounds), nullptr);
    map->GetBounds(&bounds);
    EXPECT_EQ(bounds.right, 3);
    EXPECT_EQ(bounds.bottom, 2);
    const PixelFormat& format = map->Format();
    EXPECT_EQ(format.width, 4);
    EXPECT_EQ(format.height, 2);
    EXPECT_EQ(format.bitsPerPixel, 8);
    EXPECT_EQ(format.rowTable[0], map->GetPixelBits());
    EXPECT_EQ(format.rowTable[1], map->GetPixelBits() + 4);
    for (int32_t i = 0; i < 8; i++) EXPECT_EQ(map->GetPixelBits()[i], 0) << i;

    // Initialised again: new pixels, the same row table, at least one pixel and one row.
    DynamicArray* rows = format.rowTableArray;
    ASSERT_EQ(map->MemPixMapInit({10, 20, 10, 20}, 8), kResultOk);
    EXPECT_EQ(map->Format().rowTableArray, rows);
    EXPECT_EQ(map->GetRowStride(), 4);
    EXPECT_EQ(map->Format().height, 1);
    map->GetBounds(&bounds);
    EXPECT_EQ(bounds.right, 0);
    EXPECT_EQ(map->GlobalRect().left, 10);
}

TEST(MemPixMap, PixelsAreCubeIndicesAndCoordinatesAreClipped)
{
    TestScreen screen(32);
    auto map = MakePixMap(3, 2);
    map->SetPixelColor(2, 1, {0, 0, 0});
    EXPECT_EQ(PixelByte(map.get(), 2, 1), 215);
    RGBColor48 c;
    map->GetPixelColor(&c, 2, 1);
    EXPECT_EQ(c.red, 0);
    EXPECT_EQ(c.green, 0);
    EXPECT_EQ(c.blue, 0);
    map->SetPixelColor(1, 0, {0xE5E5, 0x3000, 0x9999});
    EXPECT_EQ(PixelByte(map.get(), 1, 0), 36 * 1 + 6 * 4 + 2);
    // Outside the bounds nothing is stored (not even in the padding) and white is read.
    for (const auto& [x, y] : {std::pair{3, 0}, {-1, 0}, {0, 2}, {0, -1}, {100000, 100000}}) {
        map->SetPixelColor(x, y, {0, 0, 0});
        map->GetPixelColor(&c, x, y);
        EXPECT_EQ(c.red, 0xFFFF) << x << "," << y;
    }
    EXPECT_EQ(map->GetPixelBits()[3], 0);
}

TEST(MemPixMap, LocksOnlyCountAndAnUnmatchedUnlockKeepsZero)
{
    TestScreen screen(32);
    auto map = MakePixMap(4, 4);
    IgnoreResult(map->Lock());
    map->AddLock();
    EXPECT_EQ(map->LockCount(), 2);
    map->Unlock();
    map->Unlock();
    map->Unlock();
    EXPECT_EQ(map->LockCount(), 0);
    map->AddLock();
    EXPECT_EQ(map->LockCount(), 1);
}

TEST(MemPixMap, CopiesOfOffscreensMatchEveryPixelToTheCube)
{
    TestScreen screen(32);
    auto offscreen = MakeOffscreen(6, 4, 32);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 0; x < 6; x++)
            offscreen->SetPixelColor(x, y, x < 3 ? RGBColor48{0xFFFF, 0, 0} : RGBColor48{0x3333, 0x6666, 0x9999});
    auto map = MakePixMap(6, 4);
    offscreen->CopyOffscreenToPort(map.get(), {0, 0, 6, 4}, {0, 0, 6, 4});
    auto copied = std::make_unique<MemPixMap>();
    ASSERT_EQ(copied->MemPixMapInit8(offscreen.get()), kResultOk);
    for (int32_t y = 0; y < 4; y++) {
        for (int32_t x = 0; x < 6; x++) {
            const int32_t expected = x < 3 ? 5 * 6 + 5 : 4 * 36 + 3 * 6 + 2;
            EXPECT_EQ(PixelByte(map.get(), x, y), expected) << x << "," << y;
            EXPECT_EQ(PixelByte(copied.get(), x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(map->LockCount(), 0);
    EXPECT_EQ(offscreen->LockCount(), 0);
}

TEST(MemPixMap, ImagesWrittenReadBackByteForByte)
{
    TestScreen screen(32);
    auto map = MakePixMap(5, 3);
    for (int32_t y = 0; y < 3; y++)
        for (int32_t x = 0; x < 5; x++) map->GetRowTable()[y][x] = uint8_t(y * 40 + x * 7);
    MemoryStream stream;
    stream.StreamInit(kStreamWriting);
    ASSERT_EQ(map->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk);
    IgnoreResult(stream.StreamSetDirection(kStreamReading));
    IgnoreResult(stream.StreamSetPosition(0));
    Owned<MemPixMap> back(new MemPixMap);
    ASSERT_EQ(back->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk);
    EXPECT_EQ(BoundsSize(back), std::make_pair(5, 3));
    for (int32_t y = 0; y < 3; y++)
        for (int32_t x = 0; x < 5; x++) EXPECT_EQ(PixelByte(back.get(), x, y), y * 40 + x * 7) << x << "," << y;
}

TEST(MemPixMap, IndexedRowsReadLeftmostPixelFromTheHighBits)
{
    TestScreen screen(32);
    ResultCode result;
    // 1 bit: 10 pixels 1 0 1 1 0 0 0 0 | 0 1, black and white in the table.
    auto one = ReadPixMap(ImageBytes(10, 1, 1, 2, {0x000000, 0xFFFFFF}, {0xB0, 0x40}), &result);
    ASSERT_EQ(result, kResultOk);
    const uint8_t white = 0, black = 215;
    const uint8_t expected1[10] = {white, black, white, white, black, black, black, black, black, white};
    for (int32_t x = 0; x < 10; x++) EXPECT_EQ(PixelByte(one.get(), x, 0), expected1[x]) << x;

    // 4 bits: the high nibble is the left pixel; a colour the table lacks reads black.
    auto four = ReadPixMap(ImageBytes(3, 1, 4, 2, {0x000000, 0xFF0000, 0x00FF00}, {0x12, 0x90}), &result);
    ASSERT_EQ(result, kResultOk);
    EXPECT_EQ(PixelByte(four.get(), 0, 0), 5 * 6 + 5);     // red
    EXPECT_EQ(PixelByte(four.get(), 1, 0), 5 * 36 + 5);    // green
    EXPECT_EQ(PixelByte(four.get(), 2, 0), black);         // entry 9 is missing

    // 24 bits: blue, green, red bytes, matched to the cube.
    auto deep = ReadPixMap(ImageBytes(2, 1, 24, 8, {}, {0x00, 0x00, 0xFF, 0x99, 0x66, 0x33, 0, 0}), &result);
    ASSERT_EQ(result, kResultOk);
    EXPECT_EQ(PixelByte(deep.get(), 0, 0), 5 * 6 + 5);
    EXPECT_EQ(PixelByte(deep.get(), 1, 0), 4 * 36 + 3 * 6 + 2);

    // Depths the format does not know, and indexed rows without a table, are refused.
    auto two = ReadPixMap(ImageBytes(4, 1, 2, 1, {0, 0, 0, 0}, {0}), &result);
    EXPECT_EQ(result, -1);
    Owned<MemPixMap> map(new MemPixMap);
    ASSERT_EQ(map->MemPixMapInit({0, 0, 4, 1}, 8), kResultOk);
    MemoryStream rows;
    rows.StreamInit(kStreamReading);
    IgnoreResult(rows.StreamSetSize(4));
    EXPECT_EQ(map->TransferPixelRows(&rows, nullptr, 4, 4, 0, 1, 0, 8), -1);
}

TEST(MemPixMap, IndexedImagesOfOffscreensReadBackPixelForPixel)
{
    // 1- and 4-bit offscreens (on an 8-bit screen) write their rows as the system keeps them; a
    // pixel map reads every pixel back in its place: the cube colour of the offscreen's pixel.
    TestScreen screen(8);
    for (int32_t depth : {1, 4}) {
        auto offscreen = MakeOffscreen(11, 2, depth, &kWhiteColor);
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 11; ++x)
                if ((x + y) % 3 == 0) offscreen->SetPixelColor(x, y, kBlackColor);
        MemoryStream stream;
        stream.StreamInit(kStreamWriting);
        ASSERT_EQ(offscreen->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk) << depth;
        IgnoreResult(stream.StreamSetDirection(kStreamReading));
        IgnoreResult(stream.StreamSetPosition(0));
        Owned<MemPixMap> back(new MemPixMap);
        ASSERT_EQ(back->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk) << depth;
        RGBColor48 black;
        RGBColor48 white;
        offscreen->GetPixelColor(&black, 0, 0);
        offscreen->GetPixelColor(&white, 1, 0);
        ASSERT_NE(ColorCubeIndex(black), ColorCubeIndex(white)) << depth;
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 11; ++x)
                EXPECT_EQ(PixelByte(back.get(), x, y), ColorCubeIndex((x + y) % 3 == 0 ? black : white))
                    << depth << ": " << x << "," << y;
    }
}

TEST(MemPixMap, ShortRowsStillFillTheWholeWidthFromAWideEnoughBuffer)
{
    TestScreen screen(32);
    Owned<MemPixMap> map(new MemPixMap);
    ASSERT_EQ(map->MemPixMapInit({0, 0, 12, 1}, 8), kResultOk);
    Owned<DynamicArray> table(NewDynamicArray(0, sizeof(RGBColor48), 16));
    const RGBColor48 colours[2] = {{0, 0, 0}, {0xFFFF, 0xFFFF, 0xFFFF}};
    table->Append(&colours[0]);
    table->Append(&colours[1]);
    MemoryStream rows;
    rows.StreamInit(kStreamReading);
    IgnoreResult(rows.StreamSetSize(1));
    static_cast<uint8_t*>(rows.Buffer()->ArrayData())[0] = 0xFF;
    // One stored byte for twelve 1-bit pixels: the rest of the row reads as colour 0.
    ASSERT_EQ(map->TransferPixelRows(&rows, table.get(), 1, 1, 0, 1, 0, 1), kResultOk);
    for (int32_t x = 0; x < 12; x++) EXPECT_EQ(PixelByte(map.get(), x, 0), x < 8 ? 0 : 215) << x;
}
