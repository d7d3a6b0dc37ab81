// The picture readers and the JPEG writer on real offscreens: rows stored with SetDIBits land
// where the decoders put them, and an offscreen's picture written as a JPEG reads back.
#include <gtest/gtest.h>

#include "tests/draw/draw_support.h"
#include "tests/textures/bmp_builder.h"
#include "tests/textures/memory_image_reader.h"
#include "tests/textures/texture_test_support.h"
#include "textures/bmp_reader.h"
#include "textures/jpeg_reader.h"
#include "textures/offscreen_jpeg_writer.h"
#include "textures/offscreen_reader.h"

namespace {

// Reads the file into an offscreen; null (and the alerts) when the reader refused it.
Owned<Q_Offscreen> ReadIntoOffscreen(ImageReader* reader, ResultCode* result)
{
    *result = reader->Read(8);
    return Owned<Q_Offscreen>(reader->ImageReaderOffscreen());
}

TEST(OffscreenReader, BitmapFilesOfEveryDepthLandUprightInTheOffscreen)
{
    TestScreen screen(32);
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; i++) palette[i] = (i * 0x010203u + 0x204060u) & 0xFFFFFF;
    for (int32_t depth : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " topDown " << topDown);
            std::vector<std::vector<uint32_t>> grid(9, std::vector<uint32_t>(11));
            uint32_t v = uint32_t(depth);
            for (auto& row : grid)
                for (auto& p : row) p = ((v = v * 69069u + 1u) >> 8) % (depth <= 8 ? 1u << depth : 0x1000000u);
            const BmpLayout layout = BmpShape(11, topDown ? -9 : 9, depth, 0, palette);
            const Bytes file = MakeBmp(layout, PackRows(grid, depth, topDown));

            MemoryStream expectedStream;
            Load(expectedStream, file);
            MemoryImageReader<BmpImageReader> expected(&expectedStream);
            ASSERT_EQ(expected.Read(8), kResultOk);

            MemoryStream stream;
            Load(stream, file);
            auto* reader = new OffscreenReader<BmpImageReader>(&stream);
            ResultCode result;
            Owned<Q_Offscreen> offscreen = ReadIntoOffscreen(reader, &result);
            reader->Destroy();
            ASSERT_EQ(result, kResultOk);
            ASSERT_TRUE(offscreen);
            EXPECT_EQ(BoundsSize(offscreen), std::make_pair(11, 9));
            EXPECT_EQ(offscreen->LockCount(), 0);
            for (int32_t y = 0; y < 9; y++)
                for (int32_t x = 0; x < 11; x++) ASSERT_EQ(Pixel32(offscreen.get(), x, y), expected.At(x, y)) << x << "," << y;
        }
    }
}

TEST(OffscreenReader, RefusedFilesLeaveNoOffscreen)
{
    TestScreen screen(32);
    AlertCatcher catcher;
    const BmpLayout layout = BmpShape(4, 2);
    MemoryStream stream;
    Bytes file = MakeBmp(layout, Bytes(24, 0));
    file.resize(file.size() - 20);
    Load(stream, file);
    auto* reader = new OffscreenReader<BmpImageReader>(&stream);
    EXPECT_EQ(reader->Read(8), -1);
    EXPECT_EQ(reader->ImageReaderOffscreen(), nullptr);
    reader->Destroy();
    EXPECT_EQ(catcher.alerts, std::vector<std::string>{WithName(kBmpFormatMessage)});
}

TEST(OffscreenReader, AnOffscreenWrittenAsJpegReadsBackWithItsColours)
{
    TestScreen screen(32);
    auto picture = MakeOffscreen(24, 16, 24);
    const RGBColor48 colours[4] = {{0xFFFF, 0, 0}, {0, 0xFFFF, 0}, {0, 0, 0xFFFF}, {0xFFFF, 0xFFFF, 0xFFFF}};
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 24; x++) picture->SetPixelColor(x, y, colours[(y / 8) * 2 + x / 12]);

    MemoryStream stream;
    StartWriting(stream);
    auto* writer = new OffscreenJpegWriter(&stream, picture.get());
    ASSERT_EQ(writer->Write(), kResultOk);
    writer->Destroy();
    EXPECT_EQ(picture->LockCount(), 0);
    // The offscreen's DIB section is back in its DC.
    PortRect bounds;
    EXPECT_EQ(GetCurrentObject(picture->GetDrawingDC(&bounds), OBJ_BITMAP), picture->OffscreenBitmap());

    IgnoreResult(stream.StreamSetDirection(kStreamReading));
    IgnoreResult(stream.StreamSetPosition(0));
    auto* reader = new OffscreenReader<JpegImageReader>(&stream);
    ResultCode result;
    Owned<Q_Offscreen> decoded = ReadIntoOffscreen(reader, &result);
    reader->Destroy();
    ASSERT_EQ(result, kResultOk);
    ASSERT_TRUE(decoded);
    auto similar = [](uint32_t a, uint32_t b) {
        for (int32_t s : {0, 8, 16})
            if (std::abs(int32_t(a >> s & 255) - int32_t(b >> s & 255)) > 12) return false;
        return true;
    };
    EXPECT_TRUE(similar(Pixel32(decoded.get(), 5, 4), 0xFF0000)) << std::hex << Pixel32(decoded.get(), 5, 4);
    EXPECT_TRUE(similar(Pixel32(decoded.get(), 18, 4), 0x00FF00)) << std::hex << Pixel32(decoded.get(), 18, 4);
    EXPECT_TRUE(similar(Pixel32(decoded.get(), 5, 12), 0x0000FF)) << std::hex << Pixel32(decoded.get(), 5, 12);
    EXPECT_TRUE(similar(Pixel32(decoded.get(), 18, 12), 0xFFFFFF)) << std::hex << Pixel32(decoded.get(), 18, 12);
}

}  // namespace
