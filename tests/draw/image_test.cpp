// The image format of offscreens through a memory stream: round trips at 8 and 32 bits, and
// image bodies that are refused before any pixel is written, by the read and by the check.
#include <gtest/gtest.h>

#include <cstring>

#include "draw/image_format.h"
#include "model/read_budget.h"
#include "tests/draw/draw_support.h"
#include "tests/draw/ui_recorder.h"
#include "tests/foundation/stream_bytes.h"

namespace {

// A chunk whose length field may be given a value other than its data's length.
Bytes ChunkOfLength(const char (&tag)[5], const Bytes& data, int64_t length)
{
    return Tag(tag) + Word32(uint32_t(length)) + data + Bytes(data.size() % 2, 0);
}

// The colour table of three entries most bodies carry: red, green, blue.
const Bytes kRedGreenBlue = {0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF};

// Width, height, depth, row and total bytes, colour table and rows.
struct Body {
    int32_t width = 2;
    int32_t height = 2;
    int32_t depth = 8;
    int32_t rowBytes = 4;
    int64_t total = 8;
    Bytes colours = kRedGreenBlue;
    Bytes rows = {0, 1, 0, 0, 2, 0, 0, 0};
    bool withMap = true;
    int64_t dataLength = -1;

    Bytes Encode() const
    {
        const Bytes map = withMap ? Chunk("CMAP", colours) : Bytes();
        return I16(width) + I16(height) + I16(depth) + I16(0) + I32(rowBytes) + I32(total) + map +
               ChunkOfLength("DATA", rows, dataLength < 0 ? int64_t(rows.size()) : dataLength);
    }
};

// An offscreen of 3 x 3 white pixels for bodies to be read into.
class ImageRead : public testing::Test {
protected:
    ImageRead() : screen_(32), offscreen_(MakeOffscreen(3, 3, 0, &kWhite)) {}

    ResultCode Read(const Body& body, DynamicArray* table = nullptr)
    {
        Load(stream_, body.Encode());
        return offscreen_->ReadWriteOffscreenImage(&stream_, table, 0);
    }
    void ExpectUntouched()
    {
        EXPECT_EQ(BoundsSize(offscreen_), std::make_pair(3, 3));
        EXPECT_EQ(offscreen_->PortDC(), dc_);
        EXPECT_EQ(Pixel32(offscreen_.get(), 0, 0), 0xFFFFFFu);
    }

    static constexpr RGBColor48 kWhite = {0xFFFF, 0xFFFF, 0xFFFF};
    TestScreen screen_;
    Owned<Q_Offscreen> offscreen_;
    HDC dc_ = offscreen_->PortDC();
    MemoryStream stream_;
};

}  // namespace

TEST_F(ImageRead, ColourMapAndRowsBecomePixels)
{
    Load(stream_, Body().Encode());
    EXPECT_EQ(CheckImage(&stream_), kResultOk);
    ASSERT_EQ(Read(Body()), kResultOk);
    EXPECT_EQ(BoundsSize(offscreen_), std::make_pair(2, 2));
    EXPECT_EQ(offscreen_->PortDepthField(), 8);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 0), 0x00FF00u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 1), 0x0000FFu);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 1), 0xFF0000u);
}

// Rows of every depth as device-independent rows: the leftmost pixel in the high bits of a
// byte, and blue, green, red for 24 bits.
TEST_F(ImageRead, RowsOfEveryDepthInTheirStoredOrder)
{
    // Pixels 1 0 1 1 0 0 0 0 | 0 1 over black and white.
    ASSERT_EQ(Read(Body{10, 1, 1, 4, 4, {0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF}, {0xB0, 0x40, 0xFF, 0xFF}}), kResultOk);
    EXPECT_EQ(offscreen_->PortDepthField(), 1);
    const bool white[10] = {true, false, true, true, false, false, false, false, false, true};
    for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(Pixel32(offscreen_.get(), x, 0), white[x] ? 0xFFFFFFu : 0u) << x;

    ASSERT_EQ(Read(Body{3, 1, 4, 2, 2, kRedGreenBlue, {0x12, 0x00}}), kResultOk);  // green, blue | red
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 0), 0x0000FFu);
    EXPECT_EQ(Pixel32(offscreen_.get(), 2, 0), 0xFF0000u);

    const Bytes deep = {0x30, 0x20, 0x10, 0x60, 0x50, 0x40, 0, 0, 0x90, 0x80, 0x70, 0xC0, 0xB0, 0xA0, 0, 0};
    ASSERT_EQ(Read(Body{2, 2, 24, 8, 16, {}, deep}), kResultOk);
    EXPECT_EQ(offscreen_->PortDepthField(), 24);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 0), 0x102030u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 0), 0x405060u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 1), 0x708090u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 1), 0xA0B0C0u);
}

TEST_F(ImageRead, LongRowsAreSkippedAndUnknownChunksIgnored)
{
    Body body;
    body.rowBytes = 40;
    body.total = 80;
    body.rows.assign(80, 0);
    body.rows[1] = 2;
    body.rows[40] = 1;
    Bytes encoded = body.Encode();
    const Bytes junk = Chunk("JUNK", {1, 2, 3});
    encoded.insert(encoded.begin() + 16, junk.begin(), junk.end());
    Load(stream_, encoded);
    ASSERT_EQ(offscreen_->ReadWriteOffscreenImage(&stream_, nullptr, 0), kResultOk);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 0), 0x0000FFu);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 1), 0x00FF00u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 1), 0xFF0000u);
}

TEST_F(ImageRead, ShortColourMapIsPaddedWithBlack)
{
    Body body;
    body.colours.resize(8);  // red and green only
    body.rows = {1, 2, 0, 0, 200, 0, 0, 0};
    ASSERT_EQ(Read(body), kResultOk);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 0), 0u);
    EXPECT_EQ(Pixel32(offscreen_.get(), 0, 1), 0u);
}

TEST_F(ImageRead, CallersTableStandsInForTheColourMap)
{
    Body body;
    body.withMap = false;
    EXPECT_EQ(Read(body), -1);
    ExpectUntouched();
    Owned<DynamicArray> table(NewDynamicArray(0, sizeof(RGBColor48), 16));
    for (RGBColor48 c : {RGBColor48{0, 0, 0}, RGBColor48{0xFF00, 0xFF00, 0}}) table->Append(&c);
    ASSERT_EQ(Read(body, table.get()), kResultOk);
    EXPECT_EQ(Pixel32(offscreen_.get(), 1, 0), 0xFFFF00u);
}

TEST_F(ImageRead, NonZeroFlagReadsNothing)
{
    Load(stream_, Body().Encode());
    EXPECT_EQ(offscreen_->ReadWriteOffscreenImage(&stream_, nullptr, 1), 1);
    EXPECT_EQ(stream_.StreamPosition(), 0);
    ExpectUntouched();
}

TEST_F(ImageRead, HostileBodiesAreRefusedBeforeAnyPixelIsWritten)
{
    // The check that makes no offscreen refuses just what the read refuses.
    auto refused = [&](auto change) {
        Body body;
        change(body);
        Load(stream_, body.Encode());
        const bool checkRefuses = CheckImage(&stream_) != kResultOk;
        const ResultCode result = Read(body);
        ExpectUntouched();
        EXPECT_EQ(checkRefuses, result != kResultOk);
        return result != kResultOk;
    };
    EXPECT_TRUE(refused([](Body& b) { b.withMap = false; }));
    for (int32_t depth : {0, 2, 3, 15, 64, -8})
        EXPECT_TRUE(refused([&](Body& b) { b.depth = depth; })) << depth;
    EXPECT_TRUE(refused([](Body& b) { b.width = -2; }));
    EXPECT_TRUE(refused([](Body& b) { b.height = -2, b.total = -8; }));
    EXPECT_TRUE(refused([](Body& b) { b.rowBytes = 1, b.total = 2; }));        // rows shorter than the width
    EXPECT_TRUE(refused([](Body& b) { b.rowBytes = -4, b.total = -8; }));
    EXPECT_TRUE(refused([](Body& b) { b.total = 6; }));                        // not height x row bytes
    EXPECT_TRUE(refused([](Body& b) { b.rows.resize(7); }));                   // fewer rows than stated
    EXPECT_TRUE(refused([](Body& b) { b.rows.resize(6), b.dataLength = 4000; }));  // a length past the end
    EXPECT_TRUE(refused([](Body& b) { b.width = 30000, b.rowBytes = 30000, b.total = 60000; }));
    EXPECT_TRUE(refused([](Body& b) { b.height = 32767, b.rowBytes = 0x40000000, b.total = 0xC0000000; }));

    Bytes header = Body().Encode();
    header.resize(10);
    Load(stream_, header);
    EXPECT_NE(CheckImage(&stream_), kResultOk);
    Load(stream_, header);
    EXPECT_NE(offscreen_->ReadWriteOffscreenImage(&stream_, nullptr, 0), kResultOk);
    ExpectUntouched();
}

// An image read for a model spends on its picture budget what making it takes, its rows' bytes
// paying for more; one that the budget refuses is refused with the alert before it is made.
TEST_F(ImageRead, ImagesSpendOnTheModelsPictureBudgetBeforeTheyAreMade)
{
    PictureBudget budget;
    Load(stream_, Body().Encode());
    ASSERT_EQ(offscreen_->ReadWriteOffscreenImage(&stream_, nullptr, 0, &budget), kResultOk);
    EXPECT_EQ(budget.Spent(), PictureUnits(2, 2));
    EXPECT_EQ(budget.BytesRead(), 8);

    // Rows of no pixels, as many as an image may have, stored in no bytes: two more fit what the
    // model has left, the third is refused.
    Body rows;
    rows.width = 0;
    rows.height = 32767;
    rows.rowBytes = 0;
    rows.total = 0;
    rows.rows.clear();
    ASSERT_TRUE(budget.Spend(budget.Allowance() - budget.Spent() - 2 * PictureUnits(0, 32767)));
    UiRecorder ui;
    for (int32_t i = 0; i < 2; ++i) {
        Load(stream_, rows.Encode());
        ASSERT_EQ(offscreen_->ReadWriteOffscreenImage(&stream_, nullptr, 0, &budget), kResultOk) << i;
    }
    offscreen_.reset(new Q_Offscreen);
    ASSERT_EQ(offscreen_->QOffscreenInit({0, 0, 3, 3}, 0, &kWhite), kResultOk);
    dc_ = offscreen_->PortDC();
    Load(stream_, rows.Encode());
    EXPECT_EQ(offscreen_->ReadWriteOffscreenImage(&stream_, nullptr, 0, &budget), kResultPastBudget);
    ExpectUntouched();
    EXPECT_EQ(ui.alerts, std::vector<std::string>{kEmbeddedPicturePastBudgetMessage});
    EXPECT_EQ(budget.Spent(), budget.Allowance());
}

TEST(ImageRoundTrip, ThirtyTwoBitsThroughAMemoryStream)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(5, 3, -1);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x)
            source->SetPixelColor(x, y, {uint16_t(x * 0x3300), uint16_t(y * 0x5500), 0x1200});
    MemoryStream stream;
    StartWriting(stream);
    ASSERT_EQ(source->ReadWriteOffscreenImage(&stream, nullptr, 7), kResultOk);

    const Bytes bytes = Contents(stream);
    // width 5, height 3, depth 32, flag 7, 128 bytes a row (32 pixels), 384 bytes in all
    const Bytes header = {0, 5, 0, 3, 0, 32, 0, 7, 0, 0, 0, 128, 0, 0, 1, 128,
                          'C', 'M', 'A', 'P', 0, 0, 0, 0, 'D', 'A', 'T', 'A', 0, 0, 1, 128};
    ASSERT_EQ(bytes.size(), header.size() + 384);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 32), header);
    // Row 1, pixel 2: blue, green, red, 0.
    const size_t pixel = 32 + 128 + 2 * 4;
    EXPECT_EQ(Bytes(bytes.begin() + pixel, bytes.begin() + pixel + 4), (Bytes{0x12, 0x55, 0x66, 0}));

    auto copy = MakeOffscreen(1, 1, 0);
    Load(stream, bytes);
    ASSERT_EQ(copy->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk);
    EXPECT_EQ(copy->PortDepthField(), 32);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(Pixel32(copy.get(), x, y), Pixel32(source.get(), x, y));
}

TEST(ImageRoundTrip, EightBitsKeepTheirIndicesAndColours)
{
    TestScreen screen(8);
    auto source = MakeOffscreen(6, 2, 8);
    ASSERT_EQ(source->Format().bitsPerPixel, 8);
    // Colours only the cube has: pixel 10 + their cube index.
    source->SetPixelColor(0, 0, {0x9999, 0x3333, 0});  // cube index 2 * 36 + 4 * 6 + 5
    source->SetPixelColor(5, 1, {0x3333, 0x6666, 0});  // cube index 4 * 36 + 3 * 6 + 5
    MemoryStream stream;
    StartWriting(stream);
    ASSERT_EQ(source->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk);

    const Bytes bytes = Contents(stream);
    const size_t map = 16 + 8;  // header, then the CMAP chunk's data
    ASSERT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 24), (Bytes{'C', 'M', 'A', 'P', 0, 0, 4, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + map + 4 * 111, bytes.begin() + map + 4 * 112), (Bytes{0, 0x99, 0x33, 1}));
    const size_t rows = map + 1024 + 8;
    EXPECT_EQ(bytes[rows], 111);
    EXPECT_EQ(bytes[rows + 32 + 5], 177);
    ASSERT_EQ(bytes.size(), rows + 64);

    auto copy = MakeOffscreen(1, 1, 8);
    Load(stream, bytes);
    ASSERT_EQ(copy->ReadWriteOffscreenImage(&stream, nullptr, 0), kResultOk);
    ASSERT_EQ(copy->Format().bitsPerPixel, 8);
    for (int32_t y = 0; y < 2; ++y)
        EXPECT_EQ(std::memcmp(copy->GetRowTable()[y], source->GetRowTable()[y], 32), 0) << y;
}

TEST(ImageRoundTrip, WritingWithTheCallersTableLeavesOutTheColourMap)
{
    TestScreen screen(32);
    auto source = MakeOffscreen(2, 1, -1);
    Owned<DynamicArray> table(NewDynamicArray(0, sizeof(RGBColor48), 16));
    MemoryStream stream;
    StartWriting(stream);
    ASSERT_EQ(source->ReadWriteOffscreenImage(&stream, table.get(), 0), kResultOk);
    const Bytes bytes = Contents(stream);
    EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.begin() + 20), (Bytes{'D', 'A', 'T', 'A'}));
}
