// The bitmap file reader: every depth and header form, both row orders, the run-length
// encodings with runs and escapes split across input refills, a stop, and hostile files.
#include <gtest/gtest.h>

#include "foundation/disk_file_stream.h"
#include "model/picture_budget.h"
#include "tests/foundation/file_test_support.h"
#include "tests/textures/bmp_builder.h"
#include "tests/textures/memory_image_reader.h"
#include "tests/textures/texture_test_support.h"
#include "textures/bmp_reader.h"

namespace {

using Reader = MemoryImageReader<BmpImageReader>;
using Grid = std::vector<std::vector<uint32_t>>;

const std::vector<uint32_t> kPalette16 = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                          0xFF00FF, 0xFFFFFF, 0x808080, 0x800000, 0x008000, 0x000080,
                                          0x808000, 0x008080, 0x800080, 0xC0C0C0};

std::vector<uint32_t> Palette256()
{
    std::vector<uint32_t> p(256);
    for (uint32_t i = 0; i < 256; i++) p[i] = (i << 16) | ((255 - i) << 8) | ((i * 7) & 255);
    return p;
}

struct Decoded {
    ResultCode result;
    std::vector<uint32_t> pixels;
    std::vector<std::string> alerts;
    bool made;
    int32_t width;
    int32_t height;
};

Decoded Decode(const Bytes& file)
{
    ReadInMemory<Reader> in(file);
    Reader& r = in.reader;
    const ResultCode result = r.Read(8);
    EXPECT_EQ(r.begun, r.ended);
    return {result, r.pixels, in.catcher.alerts, r.made, r.rect_.Width(), r.rect_.Height()};
}

// The file decoded from a file on disk named `name`, whose transfers cut short move nothing.
Decoded DecodeOnDisk(const Bytes& bytes, const char* name = "qpdisk.bmp")
{
    WriteWholeFile(name, std::string(bytes.begin(), bytes.end()));
    AlertCatcher catcher;
    Owned<DiskFileStream> file(new DiskFileStream);
    IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
    EXPECT_EQ(file->SetFileFromPath(name), kResultOk);
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    EXPECT_EQ(file->FileOpenStream(), kResultOk);
    Reader r(file.get());
    const ResultCode result = r.Read(8);
    file.reset();
    std::remove(name);
    return {result, r.pixels, catcher.alerts, r.made, r.rect_.Width(), r.rect_.Height()};
}

// The expected colours of a grid of indices or colours.
std::vector<uint32_t> Colors(const Grid& grid, const std::vector<uint32_t>& palette)
{
    std::vector<uint32_t> out;
    for (const auto& row : grid)
        for (uint32_t v : row) out.push_back(palette.empty() ? v : palette[v]);
    return out;
}

// A picture of `w` x `h` whose values vary in both directions, below `limit`.
Grid Pattern(int32_t w, int32_t h, uint32_t limit, uint32_t seed = 1)
{
    Grid g(size_t(h), std::vector<uint32_t>(size_t(w), 0));
    uint32_t v = seed;
    for (auto& row : g)
        for (auto& p : row) {
            v = v * 1103515245u + 12345u;
            p = (v >> 8) % limit;
        }
    return g;
}

// A 5-5-5 colour: 16-bit pixels keep the top five bits of each channel, widened again.
uint32_t To555(uint32_t c)
{
    auto w = [](uint32_t b) { return (b & 0xF8) | (b >> 5); };
    return w(c >> 16 & 255) << 16 | w(c >> 8 & 255) << 8 | w(c & 255);
}

TEST(BmpReader, UncompressedEveryDepthBothHeadersBothRowOrders)
{
    const auto palette256 = Palette256();
    for (bool os2 : {false, true}) {
        for (int32_t depth : {1, 4, 8, 16, 24, 32}) {
            if (os2 && (depth == 16 || depth == 32)) continue;
            for (bool topDown : {false, true}) {
                if (os2 && topDown) continue;
                SCOPED_TRACE(testing::Message() << "os2 " << os2 << " depth " << depth << " topDown " << topDown);
                const int32_t w = 13, h = 7;
                const std::vector<uint32_t> palette =
                    depth == 1 ? std::vector<uint32_t>{0x102030, 0xF0E0D0}
                               : depth == 4 ? kPalette16 : depth == 8 ? palette256 : std::vector<uint32_t>{};
                const Grid grid = Pattern(w, h, depth <= 8 ? 1u << depth : 0x1000000u, uint32_t(depth));
                BmpLayout layout = BmpShape(w, topDown ? -h : h, depth, 0, palette);
                layout.os2 = os2;
                const Decoded d = Decode(MakeBmp(layout, PackRows(grid, depth, topDown)));
                ASSERT_EQ(d.result, kResultOk);
                EXPECT_TRUE(d.alerts.empty());
                EXPECT_EQ(d.width, w);
                EXPECT_EQ(d.height, h);
                std::vector<uint32_t> expected = Colors(grid, palette);
                if (depth == 16)
                    for (auto& c : expected) c = To555(c);
                EXPECT_EQ(d.pixels, expected);
            }
        }
    }
}

TEST(BmpReader, RowsArePaddedToFourBytesAndStripsHandOnBottomRowsFirst)
{
    // A 24-bit file of width 3 has rows of 12 bytes: 9 data bytes and 3 pad bytes.
    const Grid grid = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0x654321, 0xABCDEF}};
    BmpLayout layout = BmpShape(3, 2);
    const Bytes pixels = PackRows(grid, 24);
    ASSERT_EQ(pixels.size(), 24u);
    EXPECT_EQ(Decode(MakeBmp(layout, pixels)).pixels, Colors(grid, {}));

    // A tall picture goes in several strips, each below 65000 bytes of packed rows.
    layout.width = 1000;
    layout.height = 100;
    const Grid tall = Pattern(1000, 100, 0x1000000u);
    ReadInMemory<Reader> in(MakeBmp(layout, PackRows(tall, 24)));
    ASSERT_EQ(in.reader.Read(8), kResultOk);
    EXPECT_EQ(in.reader.puts, 9);  // 100 rows of 3000 bytes: strips of 12 rows, 4 in the last
    EXPECT_EQ(in.reader.pixels, Colors(tall, {}));
    EXPECT_EQ(in.reader.lastHeader.bitCount, 24);
    EXPECT_EQ(in.reader.lastHeader.compression, 0u);
    EXPECT_EQ(in.reader.lastHeader.height, 100);
}

TEST(BmpReader, RowsWiderThanAStripGoOneAtATime)
{
    // 30000 pixels of 24 bits: 90000 bytes a row, more than a strip may hold; it holds one row.
    const BmpLayout layout = BmpShape(30000, 3);
    const Grid wide = Pattern(30000, 3, 0x1000000u);
    ReadInMemory<Reader> in(MakeBmp(layout, PackRows(wide, 24)));
    ASSERT_EQ(in.reader.Read(8), kResultOk);
    EXPECT_EQ(in.reader.puts, 3);
    EXPECT_EQ(in.reader.At(29999, 0), wide[0][29999]);
    EXPECT_EQ(in.reader.At(12345, 2), wide[2][12345]);
}

TEST(BmpReader, ColourTableMustEndBeforeThePixels)
{
    BmpLayout layout = BmpShape(2, 1, 8, 0, Palette256());
    const Bytes pixels = PackRows({{1, 2}}, 8);
    // With colours used 0, an 8-bit file needs a pixel offset of at least 1078.
    Bytes good = MakeBmp(layout, pixels);
    EXPECT_EQ(good[10] | good[11] << 8, 1078);
    EXPECT_EQ(Decode(good).result, kResultOk);
    layout.offsetAdjust = -1;
    const Decoded bad = Decode(MakeBmp(layout, pixels));
    EXPECT_EQ(bad.result, -1);
    EXPECT_EQ(bad.alerts, std::vector<std::string>{WithName(kBmpColorMapMessage)});
    EXPECT_FALSE(bad.made);

    // Fewer colours used need a smaller table; a hostile count cannot wrap the check around.
    layout.offsetAdjust = -4 * 246;
    layout.colorsUsed = 10;
    EXPECT_EQ(Decode(MakeBmp(layout, pixels)).result, kResultOk);
    layout.colorsUsed = 0x40000000;
    EXPECT_EQ(Decode(MakeBmp(layout, pixels)).alerts, std::vector<std::string>{WithName(kBmpColorMapMessage)});

    // OS/2 tables have three bytes an entry.
    BmpLayout os2;
    os2.os2 = true;
    os2.depth = 4;
    os2.width = 2;
    os2.palette = kPalette16;
    os2.offsetAdjust = -1;
    EXPECT_EQ(Decode(MakeBmp(os2, PackRows({{1, 2}}, 4))).alerts,
              std::vector<std::string>{WithName(kBmpColorMapMessage)});
}

TEST(BmpReader, RefusesWhatItCannotReadWithItsMessages)
{
    struct Case {
        const char* what;
        BmpLayout layout;
        const char* message;
    };
    BmpLayout badType;
    badType.type[0] = 'X';
    BmpLayout longHeader;
    longHeader.headerSize = 64;
    const Case cases[] = {
        {"type", badType, kBmpTypeMessage},
        {"header size", longHeader, kBmpFormatMessage},
        {"two bits", BmpShape(1, 1, 2), kBmpDepthMessage},
        {"no bits", BmpShape(1, 1, 0), kBmpDepthMessage},
        {"RLE8 of depth 4", BmpShape(1, 1, 4, 1), kBmpCompressionMessage},
        {"RLE4 of depth 8", BmpShape(1, 1, 8, 2), kBmpCompressionMessage},
        {"bit fields", BmpShape(1, 1, 24, 3), kBmpCompressionMessage},
        {"width 0", BmpShape(0, 1), kBmpFormatMessage},
        {"height 0", BmpShape(1, 0), kBmpFormatMessage},
        {"negative width", BmpShape(-5, 1), kBmpFormatMessage},
        {"huge width", BmpShape(0x7FFFFFFF, 1), kBmpFormatMessage},
        {"most negative height", BmpShape(1, int32_t(0x80000000u)), kBmpFormatMessage},
        {"wider than a coordinate", BmpShape(40000, 1), kBmpFormatMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Decoded d = Decode(MakeBmp(c.layout, Bytes(4, 0)));
        EXPECT_EQ(d.result, -1);
        EXPECT_EQ(d.alerts, std::vector<std::string>{WithName(c.message)});
        EXPECT_FALSE(d.made);
    }
    // A pixel offset past the end of the file, and headers cut short.
    BmpLayout ok;
    const Bytes whole = MakeBmp(ok, Bytes(4, 0));
    Bytes far = whole;
    far[11] = 0x10;
    const Decoded past = Decode(far);
    EXPECT_EQ(past.result, -1);
    EXPECT_EQ(past.alerts, std::vector<std::string>{WithName(kBmpFormatMessage)});
    for (size_t n : {0, 1, 10, 13, 14, 20, 53}) {
        const Decoded d = Decode(Bytes(whole.begin(), whole.begin() + long(n)));
        EXPECT_EQ(d.result, -1) << n;
        EXPECT_EQ(d.alerts.size(), 1u) << n;
        EXPECT_EQ(d.alerts[0], WithName(n < 2 ? kBmpTypeMessage : kBmpFormatMessage)) << n;
    }
}

TEST(BmpReader, MessagesNameTheFileBeingRead)
{
    BmpLayout layout;
    layout.depth = 2;
    const Decoded d = DecodeOnDisk(MakeBmp(layout, Bytes(4, 0)), "qpbad.bmp");
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(d.alerts, std::vector<std::string>{WithName(kBmpDepthMessage, "qpbad.bmp")});
}

TEST(BmpReader, TruncatedRowsAreRefusedButAMissingLastPadIsNot)
{
    const BmpLayout layout = BmpShape(3, 2);
    const Grid grid = {{1, 2, 3}, {4, 5, 6}};
    Bytes file = MakeBmp(layout, PackRows(grid, 24));
    file.resize(file.size() - 3);  // the last row's pad bytes
    const Decoded d = Decode(file);
    EXPECT_EQ(d.result, kResultOk);
    EXPECT_EQ(d.pixels, Colors(grid, {}));
    EXPECT_EQ(DecodeOnDisk(file).pixels, d.pixels);
    file.resize(file.size() - 1);
    const Decoded cut = Decode(file);
    EXPECT_EQ(cut.result, -1);
    EXPECT_EQ(cut.alerts, std::vector<std::string>{WithName(kBmpFormatMessage)});
    EXPECT_FALSE(cut.made);
}

TEST(BmpReader, UncompressedHeadersWithoutTheirRowsMakeNoPicture)
{
    // Headers of large pictures followed by a few bytes: refused before any memory is asked
    // for a picture; a file that holds every row (the last without its padding) still reads.
    for (int32_t depth : {1, 8, 24}) {
        for (int32_t height : {30000, -30000}) {
            const BmpLayout layout = BmpShape(30000, height, depth);
            ReadInMemory<Reader> in(MakeBmp(layout, Bytes(64, 0)));
            EXPECT_EQ(in.reader.Read(8), -1);
            EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{WithName(kBmpFormatMessage)});
            EXPECT_EQ(in.reader.madeDepth, 0) << depth;
            EXPECT_FALSE(in.reader.disposed);
        }
    }
    const BmpLayout layout = BmpShape(5, 3, 8);
    const Bytes whole = MakeBmp(layout, Bytes(2 * 8 + 5, 7));
    EXPECT_EQ(Decode(whole).result, kResultOk);
    const Decoded cut = Decode(Bytes(whole.begin(), whole.end() - 1));
    EXPECT_EQ(cut.result, -1);
    EXPECT_FALSE(cut.made);
}

TEST(BmpReader, PicturesOfMoreThanTheMostPixelsAreRefusedBeforeTheyAreMade)
{
    // A run-length header of 8193 x 8192 pixels ended at once by the end-of-bitmap escape: a
    // few bytes that would ask for a picture of 67 million pixels.
    BmpLayout layout = BmpShape(8193, 8192, 8, 1);
    ASSERT_GT(int64_t(layout.width) * layout.height, kImageMaxPixels);
    ReadInMemory<Reader> in(MakeBmp(layout, {0, 1}));
    EXPECT_EQ(in.reader.Read(8), -1);
    EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{kReaderMemoryMessage});
    EXPECT_EQ(in.reader.madeDepth, 0);
    EXPECT_FALSE(in.reader.made);
    // As wide as a picture may be, one row high, it reads.
    layout.width = kImageMaxSide;
    layout.height = 1;
    const Decoded wide = Decode(MakeBmp(layout, {0, 1}));
    EXPECT_EQ(wide.result, kResultOk);
    EXPECT_EQ(wide.width, kImageMaxSide);
}

// A picture read for a model spends on its picture budget what making it takes; past what the
// model has left, or past what a picture of its bytes may take, it is refused before it is made.
TEST(BmpReader, PicturesPastTheModelsPictureBudgetAreRefusedBeforeTheyAreMade)
{
    const Bytes small = MakeBmp(BmpShape(16, 16, 8, 1), {0, 1});
    PictureBudget budget;
    {
        ReadInMemory<Reader> in(small);
        in.reader.ChargePicturesTo(&budget);
        ASSERT_EQ(in.reader.Read(8), kResultOk);
        EXPECT_EQ(budget.Spent(), PictureUnits(16, 16));
    }
    ASSERT_TRUE(budget.Spend(budget.Allowance() - budget.Spent() - PictureUnits(16, 16) + 1));
    const Bytes large = MakeBmp(BmpShape(7100, 7100, 8, 1), {0, 1});
    for (const Bytes* file : {&small, &large}) {
        if (file == &large) budget.Begin();
        ReadInMemory<Reader> in(*file);
        in.reader.ChargePicturesTo(&budget);
        EXPECT_EQ(in.reader.Read(8), -1);
        EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{WithName(kPicturePastBudgetMessage)});
        EXPECT_EQ(in.reader.madeDepth, 0);
        EXPECT_FALSE(in.reader.made);
    }
    EXPECT_EQ(budget.Spent(), 0);
}

TEST(BmpReader, FailuresOfTheOffscreenLeaveNoPicture)
{
    BmpLayout layout;
    const Bytes file = MakeBmp(layout, Bytes(4, 0));
    {
        ReadInMemory<Reader> in(file);
        in.reader.failMake = true;
        EXPECT_EQ(in.reader.Read(8), -1);
        EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{kReaderMemoryMessage});
        EXPECT_TRUE(in.reader.disposed);
    }
    {
        ReadInMemory<Reader> in(file);
        in.reader.failAccess = true;
        EXPECT_EQ(in.reader.Read(8), -1);
        EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{WithName(kReaderPixelAccessMessage)});
        EXPECT_TRUE(in.reader.disposed);
        EXPECT_FALSE(in.reader.made);
    }
}

// --- run-length encoded files ---

Bytes Rle8Picture()
{
    // Three rows of 6 pixels, bottom row first: an encoded run with an absolute run of 3 (one pad
    // byte) after it; an absolute run of 4 (no pad) and an encoded run; a short row ended early.
    return {
        2,    7,    0, 3, 1, 2, 3, 0, 1, 9, 0, 0,  // bottom: 7 7 1 2 3 9, EOL
        0,    4,    4, 5, 6, 8, 2,    10, 0, 0,    // middle: 4 5 6 8 10 10, EOL
        3,    11,   0, 1,                          // top: 11 11 11 then EOB
    };
}

const Grid kRle8Expected = {{11, 11, 11, 0, 0, 0}, {4, 5, 6, 8, 10, 10}, {7, 7, 1, 2, 3, 9}};

TEST(BmpReader, Rle8RunsPadsAndEscapesAcrossEveryRefill)
{
    const auto palette = Palette256();
    BmpLayout layout = BmpShape(6, 3, 8, 1, palette);
    // The input buffer holds one packed row (6 bytes), so runs and escapes cross refills.
    const Decoded d = Decode(MakeBmp(layout, Rle8Picture()));
    ASSERT_EQ(d.result, kResultOk);
    EXPECT_TRUE(d.alerts.empty());
    EXPECT_EQ(d.pixels, Colors(kRle8Expected, palette));
    // From a file too, whose last refill is short of the buffer.
    EXPECT_EQ(DecodeOnDisk(MakeBmp(layout, Rle8Picture())).pixels, d.pixels);

    // Bytes after the end of the bitmap are not read; rows after it stay at colour 0.
    Bytes early = {3, 5, 0, 1, 9, 9, 9, 0, 9};
    layout.height = 3;
    layout.width = 3;
    const Decoded e = Decode(MakeBmp(layout, early));
    ASSERT_EQ(e.result, kResultOk);
    EXPECT_EQ(e.pixels, Colors({{0, 0, 0}, {0, 0, 0}, {5, 5, 5}}, palette));
    // A delta's offsets are skipped and end the row.
    const Decoded delta = Decode(MakeBmp(layout, {1, 4, 0, 2, 1, 1, 2, 6, 0, 0, 0, 1}));
    ASSERT_EQ(delta.result, kResultOk);
    EXPECT_EQ(delta.pixels, Colors({{0, 0, 0}, {6, 6, 0}, {4, 0, 0}}, palette));
}

TEST(BmpReader, AStopAskedInTheProgressWindowEndsTheDecodingWithoutAWord)
{
    // Each strip handed on is followed by a look at the progress; rows of 90000 bytes go one a
    // strip. A stop at the second look ends the read stopped, with no message and no picture.
    const Bytes file = MakeBmp(BmpShape(30000, 3), PackRows(Pattern(30000, 3, 0x1000000u), 24));
    ReadInMemory<Reader> in(file);
    in.catcher.stopAt = 2;
    EXPECT_EQ(in.reader.Read(8), kResultStopped);
    EXPECT_EQ(in.catcher.updates, 2);
    EXPECT_TRUE(in.catcher.alerts.empty());
    EXPECT_FALSE(in.reader.made);
    EXPECT_EQ(in.reader.begun, in.reader.ended);
}

TEST(BmpReader, Rle4RunsAlternateNibblesAndPadTheirBytes)
{
    const BmpLayout layout = BmpShape(8, 2, 4, 2, kPalette16);
    // An encoded run of 5 with colour byte 0x12 gives 1 2 1 2 1; an absolute run of 3 pixels is
    // two bytes and owes no pad byte, one of 5 pixels is three bytes and owes one.
    const Bytes file = {
        5, 0x12, 0, 3, 0x34, 0x50, 0, 0,           // bottom: 1 2 1 2 1 3 4 5, EOL
        0, 5, 0xAB, 0xCD, 0xE0, 0, 3, 0xF1, 0, 1,  // top: A B C D E F 1 F, EOB
    };
    const Decoded d = Decode(MakeBmp(layout, file));
    ASSERT_EQ(d.result, kResultOk) << (d.alerts.empty() ? "" : d.alerts[0]);
    EXPECT_EQ(d.pixels, Colors({{10, 11, 12, 13, 14, 15, 1, 15}, {1, 2, 1, 2, 1, 3, 4, 5}}, kPalette16));
}

TEST(BmpReader, RunLengthErrorsGiveTheirMessages)
{
    const auto palette = Palette256();
    const BmpLayout layout = BmpShape(4, 2, 8, 1, palette);
    struct Case {
        const char* what;
        Bytes data;
        const char* message;
    };
    const Case cases[] = {
        {"encoded run too long", {5, 1, 0, 0}, kBmpFormatMessage},
        {"runs add up too long", {3, 1, 2, 1, 0, 0}, kBmpFormatMessage},
        {"absolute run too long", {0, 5, 1, 2, 3, 4, 5, 0}, kBmpFormatMessage},
        {"data ends in an escape", {2, 1, 0}, kBmpUncompressMessage},
        {"data ends before its colour", {2}, kBmpUncompressMessage},
        {"data ends in an absolute run", {0, 4, 1, 2}, kBmpUncompressMessage},
        {"no end of line", {4, 1}, kBmpUncompressMessage},
        {"no data", {}, kBmpUncompressMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Decoded d = Decode(MakeBmp(layout, c.data));
        EXPECT_EQ(d.result, -1);
        EXPECT_EQ(d.alerts, std::vector<std::string>{WithName(c.message)});
        EXPECT_FALSE(d.made);
    }
}

// Every truncation and every single-byte change of sound files decodes or fails with one
// message; none reads outside a buffer (the sanitizer build checks that).
TEST(BmpReader, DamagedFilesNeverCrash)
{
    std::vector<Bytes> files;
    BmpLayout rle8 = BmpShape(6, 3, 8, 1);
    rle8.colorsUsed = 16;
    files.push_back(MakeBmp(rle8, Rle8Picture()));
    BmpLayout rle4 = BmpShape(8, 2, 4, 2);
    files.push_back(MakeBmp(rle4, {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 5, 0xAB, 0xCD, 0xE0, 0, 3, 0xF1, 0, 1}));
    BmpLayout os2;
    os2.os2 = true;
    os2.depth = 1;
    os2.width = 9;
    os2.height = 2;
    files.push_back(MakeBmp(os2, PackRows(Pattern(9, 2, 2), 1)));
    for (const Bytes& file : files) {
        for (size_t n = 0; n <= file.size(); n++) {
            const Decoded d = Decode(Bytes(file.begin(), file.begin() + long(n)));
            EXPECT_EQ(d.result == kResultOk, d.alerts.empty()) << n;
            EXPECT_LE(d.alerts.size(), 1u);
        }
        for (size_t i = 0; i < file.size(); i++) {
            for (uint8_t v : {0x00, 0x01, 0x02, 0x7F, 0x80, 0xFF}) {
                Bytes changed = file;
                changed[i] = v;
                const Decoded d = Decode(changed);
                EXPECT_EQ(d.result == kResultOk, d.alerts.empty()) << i;
                EXPECT_LE(d.alerts.size(), 1u);
                EXPECT_EQ(d.made, d.result == kResultOk);
            }
        }
    }
}

}  // namespace

namespace {

// Decodes `rows` rows of `limit` pixels, handing the decoder `piece` bytes at a time.
std::vector<Bytes> DecodeInPieces(const Bytes& data, int32_t compression, int32_t limit, int32_t rows, size_t piece)
{
    BmpRunDecoder decoder;
    decoder.Reset(compression, limit);
    std::vector<Bytes> out;
    size_t offset = 0;
    Bytes input;
    int32_t used = 0;
    for (int32_t r = 0; r < rows; r++) {
        Bytes row(size_t(limit), 0);
        decoder.BeginRow();
        for (;;) {
            if (used == int32_t(input.size())) {
                if (offset >= data.size()) return out;
                const size_t n = std::min(piece, data.size() - offset);
                input.assign(data.begin() + long(offset), data.begin() + long(offset + n));
                offset += n;
                used = 0;
            }
            const int32_t status = decoder.DecodeRow(input.data(), int32_t(input.size()), &used, row.data());
            if (status < 0) return out;
            if (status > 0) break;
        }
        out.push_back(row);
    }
    return out;
}

TEST(BmpRunDecoder, EveryPlaceWhereTheInputEndsResumesTheSameWay)
{
    const Bytes rle8 = Rle8Picture();
    const std::vector<Bytes> whole = DecodeInPieces(rle8, kBmpCompressionRle8, 6, 3, rle8.size());
    ASSERT_EQ(whole.size(), 3u);
    EXPECT_EQ(whole[0], (Bytes{7, 7, 1, 2, 3, 9}));
    for (size_t piece = 1; piece < rle8.size(); piece++)
        EXPECT_EQ(DecodeInPieces(rle8, kBmpCompressionRle8, 6, 3, piece), whole) << piece;

    const Bytes rle4 = {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 5, 0xAB, 0xCD, 0xE0, 0, 3, 0xF1, 0, 2, 5, 5};
    const std::vector<Bytes> whole4 = DecodeInPieces(rle4, kBmpCompressionRle4, 8, 2, rle4.size());
    ASSERT_EQ(whole4.size(), 2u);
    EXPECT_EQ(whole4[0], (Bytes{0x12, 0x12, 0x13, 0x45, 0, 0, 0, 0}));
    EXPECT_EQ(whole4[1], (Bytes{0xAB, 0xCD, 0xEF, 0x1F, 0, 0, 0, 0}));
    for (size_t piece = 1; piece < rle4.size(); piece++)
        EXPECT_EQ(DecodeInPieces(rle4, kBmpCompressionRle4, 8, 2, piece), whole4) << piece;
}

}  // namespace
