// The image format's header on the wire, the checks a header read from a file must pass, and
// the reading of its colour map.
#include "draw/image_format.h"

#include <gtest/gtest.h>

#include "foundation/dynamic_array.h"
#include "foundation/rgb_color.h"
#include "tests/foundation/stream_bytes.h"

TEST(ImageHeader, FieldsAreBigEndianInOrder)
{
    MemoryStream stream;
    StartWriting(stream);
    OffscreenImageHeader header = {100, 20, 8, 3, 128, 2560};  // width, height, depth, flag, row and total bytes
    ASSERT_EQ(TransferImageHeader(&stream, &header), kResultOk);
    EXPECT_EQ(Contents(stream), (Bytes{0, 100, 0, 20, 0, 8, 0, 3, 0, 0, 0, 128, 0, 0, 0x0A, 0}));

    OffscreenImageHeader read;
    Load(stream, Contents(stream));
    ASSERT_EQ(TransferImageHeader(&stream, &read), kResultOk);
    EXPECT_EQ(read.width, 100);
    EXPECT_EQ(read.totalBytes, 2560);
    Load(stream, {0, 100, 0, 20});
    EXPECT_NE(TransferImageHeader(&stream, &read), kResultOk);
}

TEST(ImageHeader, OnlySoundHeadersAreRead)
{
    const OffscreenImageHeader good = {100, 20, 8, 0, 128, 2560};
    EXPECT_TRUE(ImageHeaderIsSound(good));
    for (int16_t depth : {1, 4, 16, 24, 32}) {
        OffscreenImageHeader h = good;
        h.depth = depth;
        h.rowBytes = int32_t(ImageRowSize(100, depth));
        h.totalBytes = 20 * h.rowBytes;
        EXPECT_TRUE(ImageHeaderIsSound(h)) << depth;
    }
    OffscreenImageHeader empty;
    empty.depth = 32;
    EXPECT_TRUE(ImageHeaderIsSound(empty));

    auto bad = [&](auto change) {
        OffscreenImageHeader h = good;
        change(h);
        return !ImageHeaderIsSound(h);
    };
    for (int16_t depth : {0, 2, 3, 15, 64, -8})
        EXPECT_TRUE(bad([&](OffscreenImageHeader& h) { h.depth = depth; })) << depth;
    EXPECT_TRUE(bad([](OffscreenImageHeader& h) { h.width = -1; }));
    EXPECT_TRUE(bad([](OffscreenImageHeader& h) { h.height = -20, h.totalBytes = -2560; }));
    EXPECT_TRUE(bad([](OffscreenImageHeader& h) { h.rowBytes = 99, h.totalBytes = 1980; }));
    EXPECT_TRUE(bad([](OffscreenImageHeader& h) { h.rowBytes = -128, h.totalBytes = -2560; }));
    EXPECT_TRUE(bad([](OffscreenImageHeader& h) { h.totalBytes = 2559; }));
    // A product that wraps in 32 bits is not the total.
    EXPECT_TRUE(bad([](OffscreenImageHeader& h) { h.height = 32767, h.rowBytes = 0x40000000, h.totalBytes = int32_t(0xC0000000); }));
}

TEST(ImageHeader, ColourMapTakesWholeEntriesUpTo256)
{
    MemoryStream stream;
    LoadInChunk(stream, {0x00, 0x12, 0x34, 0x56, 0xFF, 0xFF, 0x80, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xAA, 0xBB});
    Owned<DynamicArray> table(NewDynamicArray(0, sizeof(RGBColor48), 16));
    ASSERT_EQ(ReadImageColorTable(&stream, table.get()), kResultOk);
    ASSERT_EQ(table->ArrayCount(), 3);
    const RGBColor48* c = table->Elements<RGBColor48>();
    EXPECT_EQ(c[0].red, 0x1200);
    EXPECT_EQ(c[0].green, 0x3400);
    EXPECT_EQ(c[0].blue, 0x5600);
    EXPECT_EQ(c[1].red, 0xFF00);  // the top byte is not a channel
    EXPECT_EQ(c[1].blue, 0x0100);
    EXPECT_EQ(c[2].blue, 0xFF00);

    Bytes chunk = {'C', 'M', 'A', 'P', 0, 0, 0x04, 0xB0};
    chunk.resize(chunk.size() + 4 * 300, 0x7F);
    Load(stream, chunk);
    ASSERT_EQ(stream.StreamEnterChunk(), kColorMapChunk);
    table.reset(NewDynamicArray(0, sizeof(RGBColor48), 16));
    ASSERT_EQ(ReadImageColorTable(&stream, table.get()), kResultOk);
    EXPECT_EQ(table->ArrayCount(), 256);
}
