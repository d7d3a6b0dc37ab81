// The JPEG reader and writer: colour order, greyscale, progressive coding, truncated and empty
// data, CMYK refused, library errors and stops that end a read, and pictures larger than one
// block.
#include <gtest/gtest.h>

#include <cstdlib>

#include "model/picture_budget.h"
#include "tests/textures/jpeg_builder.h"
#include "tests/textures/memory_image_reader.h"
#include "tests/textures/texture_test_support.h"
#include "textures/jpeg_reader.h"
#include "textures/jpeg_writer.h"

namespace {

using Reader = MemoryImageReader<JpegImageReader>;

// A writer whose rows come from a picture in memory (0xRRGGBB, top row first).
class MemoryJpegWriter : public JpegImageWriter {
public:
    MemoryJpegWriter(MemoryStream* stream, int32_t width, int32_t height, std::vector<uint32_t> pixels)
        : JpegImageWriter(stream, nullptr), width_(width), height_(height), pixels_(std::move(pixels))
    {
    }

    int32_t failAtLine = -1;
    std::vector<int32_t> lines;
    int32_t begun = 0;
    int32_t ended = 0;

protected:
    int32_t ImageWidth() override { return width_; }
    int32_t ImageHeight() override { return height_; }
    void BeginRowAccess() override { ++begun; }
    void EndRowAccess() override { ++ended; }
    int32_t GetRow(int32_t line, uint8_t* row, DibHeaderBlock* header) override
    {
        lines.push_back(line);
        if (line == failAtLine) return 0;
        EXPECT_EQ(header->bitCount, 24);
        EXPECT_EQ(header->height, height_);
        // The whole padded row is written, as the system's row copy writes it.
        const int32_t rowBytes = ((header->width * 24 + 31) & ~31) / 8;
        std::memset(row, 0xEE, size_t(rowBytes));
        const int32_t y = height_ - 1 - line;
        for (int32_t x = 0; x < width_; x++) {
            const uint32_t c = pixels_[size_t(y * width_ + x)];
            row[3 * x] = uint8_t(c);
            row[3 * x + 1] = uint8_t(c >> 8);
            row[3 * x + 2] = uint8_t(c >> 16);
        }
        return 1;
    }

private:
    int32_t width_;
    int32_t height_;
    std::vector<uint32_t> pixels_;
};

Bytes WritePicture(int32_t width, int32_t height, const std::vector<uint32_t>& pixels)
{
    MemoryStream stream;
    StartWriting(stream);
    MemoryJpegWriter writer(&stream, width, height, pixels);
    EXPECT_EQ(writer.Write(), kResultOk);
    EXPECT_EQ(writer.begun, 1);
    EXPECT_EQ(writer.ended, 1);
    return Contents(stream);
}

struct Decoded {
    ResultCode result;
    std::vector<uint32_t> pixels;
    std::vector<std::string> alerts;
    bool made;
    bool disposed;
    int32_t width;
    int32_t height;
    int32_t colorSpace;
};

Decoded Decode(const Bytes& file)
{
    ReadInMemory<Reader> in(file);
    Reader& r = in.reader;
    const ResultCode result = r.Read(8);
    EXPECT_EQ(r.begun, r.ended);
    return {result, r.pixels, in.catcher.alerts, r.made, r.disposed, r.Width(), r.Height(), r.OutputColorSpace()};
}

bool Near(uint32_t a, uint32_t b, int32_t tolerance)
{
    for (int32_t shift : {0, 8, 16})
        if (std::abs(int32_t(a >> shift & 255) - int32_t(b >> shift & 255)) > tolerance) return false;
    return true;
}

// Four flat quadrants: red, green, blue, white.
std::vector<uint32_t> Quadrants(int32_t w, int32_t h)
{
    std::vector<uint32_t> p;
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++)
            p.push_back(y < h / 2 ? (x < w / 2 ? 0xFF0000 : 0x00FF00) : (x < w / 2 ? 0x0000FF : 0xFFFFFF));
    return p;
}

TEST(Jpeg, WrittenColoursReadBackInTheirPlaces)
{
    const int32_t w = 32, h = 32;
    const Bytes file = WritePicture(w, h, Quadrants(w, h));
    ASSERT_GT(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    const Decoded d = Decode(file);
    ASSERT_EQ(d.result, kResultOk);
    EXPECT_TRUE(d.alerts.empty());
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    EXPECT_EQ(d.colorSpace, JCS_RGB);
    // A red picture decodes red: the middle of each quadrant keeps its colour.
    EXPECT_TRUE(Near(d.pixels[8 * w + 8], 0xFF0000, 12)) << std::hex << d.pixels[8 * w + 8];
    EXPECT_TRUE(Near(d.pixels[8 * w + 24], 0x00FF00, 12)) << std::hex << d.pixels[8 * w + 24];
    EXPECT_TRUE(Near(d.pixels[24 * w + 8], 0x0000FF, 12)) << std::hex << d.pixels[24 * w + 8];
    EXPECT_TRUE(Near(d.pixels[24 * w + 24], 0xFFFFFF, 12)) << std::hex << d.pixels[24 * w + 24];
}

TEST(Jpeg, WriterTakesRowsTopFirstAndReportsAFailedRow)
{
    // A 3-pixel-wide picture: rows of 12 bytes (the sanitizer build checks the buffer's size).
    MemoryStream stream;
    StartWriting(stream);
    MemoryJpegWriter writer(&stream, 3, 4, std::vector<uint32_t>(12, 0x336699));
    ASSERT_EQ(writer.Write(), kResultOk);
    EXPECT_EQ(writer.lines, (std::vector<int32_t>{3, 2, 1, 0}));
    const Decoded d = Decode(Contents(stream));
    ASSERT_EQ(d.result, kResultOk);
    for (uint32_t p : d.pixels) EXPECT_TRUE(Near(p, 0x336699, 6)) << std::hex << p;

    AlertCatcher catcher;
    MemoryStream failing;
    StartWriting(failing);
    MemoryJpegWriter bad(&failing, 3, 4, std::vector<uint32_t>(12, 0));
    bad.failAtLine = 1;
    EXPECT_EQ(bad.Write(), -1);
    EXPECT_EQ(bad.lines, (std::vector<int32_t>{3, 2, 1}));
    EXPECT_EQ(bad.ended, 1);
    EXPECT_EQ(catcher.alerts, std::vector<std::string>{WithName(kJpegInterrogateMessage)});
}

TEST(Jpeg, StreamsThatCannotTakeTheBytesEndTheWriteWithTheLibraryMessage)
{
    AlertCatcher catcher;
    MemoryStream stream;
    stream.StreamInit(kStreamReading);  // a reading stream moves nothing out
    MemoryJpegWriter writer(&stream, 8, 8, std::vector<uint32_t>(64, 0));
    EXPECT_EQ(writer.Write(), -1);
    EXPECT_EQ(writer.begun, writer.ended);
    ASSERT_EQ(catcher.alerts.size(), 1u);
    EXPECT_EQ(catcher.alerts[0], "Output file write error --- out of disk space?\n");
}

TEST(Jpeg, LargePicturesCrossManyBlocks)
{
    const int32_t w = 160, h = 120;
    std::vector<uint32_t> noise(size_t(w * h));
    uint32_t v = 7;
    for (auto& p : noise) p = (v = v * 1664525u + 1013904223u) >> 8;
    const Bytes file = WritePicture(w, h, noise);
    EXPECT_GT(file.size(), 2u * 4096u);
    const Decoded d = Decode(file);
    ASSERT_EQ(d.result, kResultOk);
    ASSERT_EQ(d.pixels.size(), size_t(w * h));

    // The same picture decoded by the library straight from memory gives the same pixels.
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, const_cast<uint8_t*>(file.data()), (unsigned long)file.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    std::vector<uint8_t> line(size_t(w) * 3);
    for (int32_t y = 0; y < h; y++) {
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&cinfo, &row, 1);
        for (int32_t x = 0; x < w; x++) {
            const uint32_t expected = uint32_t(line[3 * x]) << 16 | uint32_t(line[3 * x + 1]) << 8 | line[3 * x + 2];
            ASSERT_EQ(d.pixels[size_t(y * w + x)], expected) << x << "," << y;
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

TEST(Jpeg, GreyscaleBecomesGreyAndProgressiveMatchesBaseline)
{
    JpegLayout layout{16, 16, JCS_GRAYSCALE};
    std::vector<uint8_t> grey;
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++) grey.push_back(uint8_t(x * 16));
    const Decoded g = Decode(MakeJpeg(layout, grey));
    ASSERT_EQ(g.result, kResultOk);
    EXPECT_EQ(g.colorSpace, JCS_GRAYSCALE);
    for (size_t i = 0; i < g.pixels.size(); i++) {
        const uint32_t p = g.pixels[i];
        EXPECT_EQ(p >> 16 & 255, p & 255);
        EXPECT_EQ(p >> 8 & 255, p & 255);
        EXPECT_NEAR(int32_t(p & 255), grey[i], 6);
    }

    JpegLayout colour{40, 24};
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < colour.height; y++)
        for (int32_t x = 0; x < colour.width; x++) rgb.insert(rgb.end(), {uint8_t(x * 6), uint8_t(y * 10), 200});
    const Decoded baseline = Decode(MakeJpeg(colour, rgb));
    colour.progressive = true;
    const Bytes progressiveFile = MakeJpeg(colour, rgb);
    const Decoded progressive = Decode(progressiveFile);
    ASSERT_EQ(baseline.result, kResultOk);
    ASSERT_EQ(progressive.result, kResultOk);
    EXPECT_TRUE(progressive.alerts.empty());
    EXPECT_EQ(progressive.pixels, baseline.pixels);

    // A fatal library error after the offscreen was made leaves no picture.
    Bytes broken = progressiveFile;
    for (size_t i = 0; i + 1 < broken.size(); i++) {
        if (broken[i] == 0xFF && broken[i + 1] == 0xDA) {
            // The first scan's spectral end: a DC scan may not reach into the AC coefficients.
            const size_t components = broken[i + 4];
            broken[i + 5 + 2 * components + 1] = 5;
            break;
        }
    }
    const Decoded bad = Decode(broken);
    EXPECT_EQ(bad.result, -1);
    EXPECT_TRUE(bad.disposed);
    EXPECT_FALSE(bad.made);
    EXPECT_EQ(bad.alerts, std::vector<std::string>{"Invalid progressive parameters Ss=0 Se=5 Ah=0 Al=1\n"});
}

TEST(Jpeg, TruncatedDataDecodesToAFullPictureWithTheLibraryWarning)
{
    const int32_t w = 64, h = 64;
    const Bytes file = WritePicture(w, h, Quadrants(w, h));
    // Cut in the middle of the coded data, after the headers.
    size_t scan = 0;
    while (scan + 1 < file.size() && !(file[scan] == 0xFF && file[scan + 1] == 0xDA)) scan++;
    const Decoded d = Decode(Bytes(file.begin(), file.begin() + long((scan + file.size()) / 2)));
    ASSERT_EQ(d.result, kResultOk) << testing::PrintToString(d.alerts);
    EXPECT_EQ(d.width, w);
    EXPECT_EQ(d.height, h);
    ASSERT_FALSE(d.alerts.empty());
    EXPECT_EQ(d.alerts[0], "Premature end of JPEG file\n");
    // What was there decodes as before.
    EXPECT_TRUE(Near(d.pixels[8 * w + 8], 0xFF0000, 12));
}

TEST(Jpeg, RefusedPicturesLeaveNothingBehind)
{
    // CMYK: refused with the colour-scheme message before the offscreen is made.
    const JpegLayout cmyk{16, 16, JCS_CMYK};
    const Decoded c = Decode(MakeJpeg(cmyk, std::vector<uint8_t>(16 * 16 * 4, 40)));
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.alerts, std::vector<std::string>{kJpegColorSchemeMessage});
    EXPECT_TRUE(c.disposed);
    EXPECT_FALSE(c.made);

    const Decoded empty = Decode({});
    EXPECT_EQ(empty.result, -1);
    EXPECT_EQ(empty.alerts, std::vector<std::string>{"Empty input file\n"});
    EXPECT_FALSE(empty.made);

    const Decoded garbage = Decode({'B', 'M', 1, 2, 3});
    EXPECT_EQ(garbage.result, -1);
    EXPECT_EQ(garbage.alerts, std::vector<std::string>{"Not a JPEG file: starts with 0x42 0x4d\n"});
}

TEST(Jpeg, PicturesOfMoreThanTheMostPixelsAreRefusedBeforeTheyAreMade)
{
    // A small picture whose frame header claims 8193 x 8192 pixels: refused before a picture
    // of 67 million pixels is made, and before the missing data would be decoded as grey.
    JpegLayout layout;
    Bytes file = MakeJpeg(layout, std::vector<uint8_t>(16 * 16 * 3, 90));
    size_t frame = 2;
    while (frame + 9 < file.size() && !(file[frame] == 0xFF && file[frame + 1] == 0xC0)) frame++;
    ASSERT_LT(frame + 9, file.size());
    file[frame + 5] = 0x20;  // height 8192
    file[frame + 6] = 0x00;
    file[frame + 7] = 0x20;  // width 8193
    file[frame + 8] = 0x01;
    const Decoded d = Decode(file);
    EXPECT_EQ(d.result, -1);
    EXPECT_EQ(d.alerts, std::vector<std::string>{kReaderMemoryMessage});
    EXPECT_FALSE(d.made);
    EXPECT_EQ(d.width, 0);
}

TEST(Jpeg, PicturesOfMoreScansThanTheLimitAreRefused)
{
    JpegLayout layout;
    layout.space = JCS_GRAYSCALE;
    layout.scans = kJpegScanLimit;
    const std::vector<uint8_t> grey(16 * 16, 100);
    const Decoded whole = Decode(MakeJpeg(layout, grey));
    EXPECT_EQ(whole.result, kResultOk);
    EXPECT_TRUE(whole.alerts.empty());
    EXPECT_TRUE(Near(whole.pixels[0], 0x646464, 2)) << std::hex << whole.pixels[0];

    // One scan more: refused before any row is decoded, with the picture disposed.
    layout.scans = kJpegScanLimit + 1;
    const Decoded refused = Decode(MakeJpeg(layout, grey));
    EXPECT_EQ(refused.result, -1);
    EXPECT_EQ(refused.alerts, std::vector<std::string>{WithName(kJpegScanLimitMessage)});
    EXPECT_TRUE(refused.disposed);
    EXPECT_FALSE(refused.made);
}

// A progressive picture spends the arrays of its coefficients before it is made, and every row of
// blocks of every scan as it is taken in: past what the model's pictures have left it is refused
// in the middle of its scans, with the picture disposed.
TEST(Jpeg, ScansSpendOnTheModelsPictureBudgetAsTheyAreTakenIn)
{
    JpegLayout layout;
    layout.space = JCS_GRAYSCALE;
    layout.scans = kJpegScanLimit;
    const Bytes file = MakeJpeg(layout, std::vector<uint8_t>(16 * 16, 100));
    // 16 x 16 pixels of one component: 4 blocks, taken in 2 at a time by each scan.
    const int64_t made = PictureUnits(16, 16) + 16 * 16 + 4 * 32;
    PictureBudget budget;
    {
        ReadInMemory<Reader> in(file);
        in.reader.ChargePicturesTo(&budget);
        ASSERT_EQ(in.reader.Read(8), kResultOk);
        EXPECT_GE(budget.Spent(), made + kJpegScanLimit * 4 * 6);
        EXPECT_LE(budget.Spent(), made + (kJpegScanLimit + 1) * 6 * 6);
    }
    budget.Begin();
    ASSERT_TRUE(budget.Spend(budget.Allowance() - made - 100 * 4 * 6));
    ReadInMemory<Reader> in(file);
    in.reader.ChargePicturesTo(&budget);
    EXPECT_EQ(in.reader.Read(8), -1);
    EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{WithName(kJpegPastBudgetMessage)});
    EXPECT_TRUE(in.reader.disposed);
    EXPECT_FALSE(in.reader.made);
}

TEST(Jpeg, AStopAskedInTheProgressWindowEndsTheDecodingWithoutAWord)
{
    // The picture's scans are watched as the library reads them, and its rows as they are handed
    // on: a stop at any of those looks, the first, one within the scans or the last, after the
    // rows, ends the read stopped, with no message and the picture disposed.
    JpegLayout layout;
    layout.space = JCS_GRAYSCALE;
    layout.scans = 40;
    const Bytes file = MakeJpeg(layout, std::vector<uint8_t>(16 * 16, 100));
    ReadInMemory<Reader> whole(file);
    ASSERT_EQ(whole.reader.Read(8), kResultOk);
    const int32_t looks = whole.catcher.updates;
    ASSERT_GT(looks, layout.scans);
    for (const int32_t stop : {1, looks / 2, looks}) {
        SCOPED_TRACE(stop);
        ReadInMemory<Reader> in(file);
        in.catcher.stopAt = stop;
        EXPECT_EQ(in.reader.Read(8), kResultStopped);
        EXPECT_EQ(in.catcher.updates, stop);
        EXPECT_TRUE(in.catcher.alerts.empty());
        EXPECT_TRUE(in.reader.disposed);
        EXPECT_FALSE(in.reader.made);
        EXPECT_EQ(in.reader.begun, in.reader.ended);
    }
}

TEST(Jpeg, FailuresOfThePixelAccessEndItAndDisposeThePicture)
{
    const Bytes file = WritePicture(8, 8, std::vector<uint32_t>(64, 0x808080));
    for (bool failAccess : {true, false}) {
        struct FailingReader : Reader {
            using Reader::Reader;
            ResultCode PutRows(int32_t, int32_t, const uint8_t*, const DibHeaderBlock&) override { return kResultFailed; }
        };
        ReadInMemory<FailingReader> in(file);
        in.reader.failAccess = failAccess;
        EXPECT_EQ(in.reader.Read(8), -1);
        EXPECT_EQ(in.reader.ended, failAccess ? 0 : 1);
        EXPECT_TRUE(in.reader.disposed);
        EXPECT_EQ(in.catcher.alerts, std::vector<std::string>{WithName(kReaderPixelAccessMessage)});
    }
}

// Every truncation and many single-byte changes of a sound file decode or fail without a
// crash or a read outside a buffer.
TEST(Jpeg, DamagedFilesNeverCrash)
{
    JpegLayout layout{24, 8, JCS_RGB, true};  // progressive
    std::vector<uint8_t> rgb(size_t(layout.width * layout.height * 3));
    for (size_t i = 0; i < rgb.size(); i++) rgb[i] = uint8_t(i * 37);
    const Bytes file = MakeJpeg(layout, rgb);
    for (size_t n = 0; n < file.size(); n += 7) {
        const Decoded d = Decode(Bytes(file.begin(), file.begin() + long(n)));
        if (d.result != kResultOk) {
            EXPECT_FALSE(d.made);
        }
    }
    for (size_t i = 0; i < file.size(); i += 3) {
        Bytes changed = file;
        changed[i] ^= 0x5A;
        const Decoded d = Decode(changed);
        if (d.result != kResultOk) {
            EXPECT_FALSE(d.made);
        }
    }
}

}  // namespace
