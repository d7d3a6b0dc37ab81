// Typed values, the version chunk body and walk-path points: exact wire bytes, round trips and
// values cut short by the end of a chunk.
#include "foundation/typed_value.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/fixed.h"
#include "foundation/memory_stream.h"
#include "foundation/rgb_color.h"
#include "foundation/version_chunk.h"
#include "foundation/walk_path_point.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Contents(const MemoryStream& stream)
{
    DynamicArray* buffer = stream.Buffer();
    if (!buffer) return {};
    const auto* data = static_cast<const uint8_t*>(buffer->ArrayData());
    return Bytes(data, data + buffer->ArrayCount());
}

void Load(MemoryStream& stream, const Bytes& bytes)
{
    stream.StreamInit(kStreamReading);
    ASSERT_EQ(stream.StreamSetSize(int32_t(bytes.size())), kResultOk);
    if (!bytes.empty()) std::memcpy(stream.Buffer()->ArrayData(), bytes.data(), bytes.size());
}

// The bytes one value of the kind is written as.
template <class T>
Bytes Written(T value, TypedValueKind kind)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(SerializeTypedValue(&out, &value, kind), kResultOk);
    return Contents(out);
}

// The value read from the bytes into `start`, and the read's code.
template <class T>
T Read(const Bytes& bytes, TypedValueKind kind, T start, ResultCode expected = kResultOk)
{
    MemoryStream in;
    Load(in, bytes);
    EXPECT_EQ(SerializeTypedValue(&in, &start, kind), expected);
    return start;
}

// A reading stream positioned inside a chunk whose data are the given bytes.
void LoadInChunk(MemoryStream& stream, const Bytes& data)
{
    Bytes chunk = {'T', 'E', 'S', 'T', 0, 0, 0, uint8_t(data.size())};
    chunk.insert(chunk.end(), data.begin(), data.end());
    chunk.insert(chunk.end(), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE});  // the next chunk's bytes
    Load(stream, chunk);
    ASSERT_EQ(stream.StreamEnterChunk(), ChunkTagOf("TEST"));
}

struct Rect32 {
    int32_t v[4];
};
struct Shorts {
    uint16_t v[3];
};
struct Fixed3 {
    Fixed v[3];
};
struct ColorCode {
    uint16_t red, green, blue, code;
};
struct Text {
    char c[256];
};

}  // namespace

TEST(TypedValue, NumbersPointsAndRectangles)
{
    EXPECT_EQ(Written(int32_t(0x12345678), kTypedLong), (Bytes{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(Read(Bytes{0xFF, 0xFE, 0x00, 0x01}, kTypedLong, int32_t(0)), int32_t(0xFFFE0001));

    FixedPoint point = {0x00012345, -1};
    EXPECT_EQ(Written(point, kTypedPoint), (Bytes{0x23, 0x45, 0xFF, 0xFF}));
    FixedPoint readPoint = Read(Bytes{0x23, 0x45, 0xFF, 0xFF}, kTypedPoint, FixedPoint{0x7FFF0000, 0});
    EXPECT_EQ(readPoint.x, 0x7FFF2345);
    EXPECT_EQ(readPoint.y, 0x0000FFFF);

    Rect32 rect = {{1, -2, 0x10003, 0x7FFF}};
    const Bytes rectBytes = {0, 1, 0xFF, 0xFE, 0, 3, 0x7F, 0xFF};
    EXPECT_EQ(Written(rect, kTypedRect), rectBytes);
    Rect32 readRect = Read(rectBytes, kTypedRect, Rect32{{0x00110000, 0x00220000, 0x00330000, -1}});
    EXPECT_EQ(readRect.v[0], 0x00110001);
    EXPECT_EQ(readRect.v[1], 0x0022FFFE);
    EXPECT_EQ(readRect.v[2], 0x00330003);
    EXPECT_EQ(readRect.v[3], int32_t(0xFFFF7FFF));

    Shorts shorts = {{0x0102, 0xFFFF, 0x8000}};
    for (TypedValueKind kind : {kTypedShortTriple, kTypedShortTriple2}) {
        EXPECT_EQ(Written(shorts, kind), (Bytes{1, 2, 0xFF, 0xFF, 0x80, 0}));
        Shorts back = Read(Written(shorts, kind), kind, Shorts{});
        EXPECT_EQ(std::memcmp(&back, &shorts, sizeof shorts), 0);
    }
}

TEST(TypedValue, FixedTriplesAndPoints)
{
    FixedPoint point = {kFixedOne, -kFixedHalf};
    EXPECT_EQ(Written(point, kTypedFixedPoint), (Bytes{0, 1, 0, 0, 0xFF, 0xFF, 0x80, 0}));
    FixedPoint readPoint = Read(Written(point, kTypedFixedPoint), kTypedFixedPoint, FixedPoint{});
    EXPECT_EQ(readPoint.x, point.x);
    EXPECT_EQ(readPoint.y, point.y);

    Fixed3 triple = {{0x7FFFFFFF, int32_t(0x80000000), 0x00012345}};
    const Bytes tripleBytes = {0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 1, 0x23, 0x45};
    for (TypedValueKind kind : {kTypedVector, kTypedAngles, kTypedFixedTriple}) {
        EXPECT_EQ(Written(triple, kind), tripleBytes);
        Fixed3 back = Read(tripleBytes, kind, Fixed3{});
        EXPECT_EQ(std::memcmp(&back, &triple, sizeof triple), 0);
    }
}

TEST(TypedValue, ColoursKeepTheirHighBytes)
{
    RGBColor48 color = {0x1234, 0x5678, 0x9ABC};
    EXPECT_EQ(Written(color, kTypedColor), (Bytes{0x00, 0x12, 0x56, 0x9A}));
    RGBColor48 readColor = Read(Bytes{0x00, 0x12, 0x56, 0x9A}, kTypedColor, RGBColor48{1, 2, 3});
    EXPECT_EQ(readColor.red, 0x1200);
    EXPECT_EQ(readColor.green, 0x5600);
    EXPECT_EQ(readColor.blue, 0x9A00);
    // The top byte of a plain colour is ignored when read.
    readColor = Read(Bytes{0xAB, 0xFF, 0x00, 0x01}, kTypedColor, RGBColor48{});
    EXPECT_EQ(readColor.red, 0xFF00);
    EXPECT_EQ(readColor.blue, 0x0100);

    ColorCode withCode = {0x1234, 0x5678, 0x9ABC, 0xF0FF};
    EXPECT_EQ(Written(withCode, kTypedColorCode), (Bytes{0xF0, 0x12, 0x56, 0x9A}));
    ColorCode readCode = Read(Bytes{0xF0, 0x12, 0x56, 0x9A}, kTypedColorCode, ColorCode{});
    EXPECT_EQ(readCode.red, 0x1200);
    EXPECT_EQ(readCode.green, 0x5600);
    EXPECT_EQ(readCode.blue, 0x9A00);
    EXPECT_EQ(readCode.code, 0xF000);
}

TEST(TypedValue, TerminatedTextsArePaddedToEvenLengths)
{
    auto text = [](const std::string& s) {
        Text t{};
        std::memcpy(t.c, s.c_str(), std::min<size_t>(s.size() + 1, sizeof t.c));
        return t;
    };
    EXPECT_EQ(Written(text("abc"), kTypedText), (Bytes{3, 'a', 'b', 'c'}));
    EXPECT_EQ(Written(text("ab"), kTypedText), (Bytes{2, 'a', 'b', 0}));
    EXPECT_EQ(Written(text(""), kTypedText), (Bytes{0, 0}));
    Text back = Read(Bytes{2, 'a', 'b', 0}, kTypedText, text("zzzzzz"));
    EXPECT_STREQ(back.c, "ab");

    // Longer than 255 characters: the first 255 go out (odd length, so no pad).
    std::string longText(300, 'q');
    for (size_t i = 0; i < longText.size(); i++) longText[i] = char('a' + i % 26);
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    std::vector<char> source(longText.begin(), longText.end());
    source.push_back(0);
    EXPECT_EQ(SerializeTypedValue(&out, source.data(), kTypedText), kResultOk);
    Bytes wire = Contents(out);
    ASSERT_EQ(wire.size(), 256u);
    EXPECT_EQ(wire[0], 255);
    EXPECT_EQ(std::string(wire.begin() + 1, wire.end()), longText.substr(0, 255));
    back = Read(wire, kTypedText, Text{});
    EXPECT_EQ(std::string(back.c), longText.substr(0, 255));
}

TEST(TypedValue, TextsCutShortStayTerminated)
{
    MemoryStream in;
    LoadInChunk(in, {5, 'h', 'e', 'l'});
    Text text;
    std::memset(text.c, 'X', sizeof text.c);
    EXPECT_EQ(SerializeTypedValue(&in, &text, kTypedText), kResultShortRead);
    EXPECT_STREQ(text.c, "hel");

    LoadInChunk(in, {});
    std::memset(text.c, 'X', sizeof text.c);
    EXPECT_EQ(SerializeTypedValue(&in, &text, kTypedText), kResultShortRead);
    EXPECT_STREQ(text.c, "");

    // The longest text fills the 256-byte buffer exactly, terminator included.
    Bytes full(256, 'm');
    full[0] = 255;
    Text longest;
    std::memset(longest.c, 'X', sizeof longest.c);
    longest = Read(full, kTypedText, longest);
    EXPECT_EQ(std::strlen(longest.c), 255u);

    // Length-prefixed texts cut short: characters not there read as zeros.
    LoadInChunk(in, {200, 'a', 'b'});
    uint8_t prefixed[256];
    std::memset(prefixed, 'X', sizeof prefixed);
    EXPECT_EQ(SerializeTypedValue(&in, prefixed, kTypedLengthText), kResultShortRead);
    EXPECT_EQ(prefixed[0], 200);
    EXPECT_EQ(prefixed[2], 'b');
    for (int32_t i = 3; i <= 200; i++) ASSERT_EQ(prefixed[i], 0);
    EXPECT_EQ(prefixed[201], 'X');
}

TEST(TypedValue, LengthPrefixedTexts)
{
    uint8_t odd[256] = {3, 'x', 'y', 'z'};
    uint8_t even[256] = {2, 'x', 'y'};
    uint8_t high[256] = {200};
    std::memset(high + 1, 'h', 200);
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(SerializeTypedValue(&out, odd, kTypedLengthText), kResultOk);
    EXPECT_EQ(SerializeTypedValue(&out, even, kTypedLengthText), kResultOk);
    EXPECT_EQ(SerializeTypedValue(&out, high, kTypedLengthText), kResultOk);
    Bytes wire = Contents(out);
    ASSERT_EQ(wire.size(), 4u + 4u + 202u);
    EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 8), (Bytes{3, 'x', 'y', 'z', 2, 'x', 'y', 0}));

    MemoryStream in;
    Load(in, wire);
    uint8_t back[256];
    EXPECT_EQ(SerializeTypedValue(&in, back, kTypedLengthText), kResultOk);
    EXPECT_EQ(std::memcmp(back, odd, 4), 0);
    EXPECT_EQ(SerializeTypedValue(&in, back, kTypedLengthText), kResultOk);
    EXPECT_EQ(std::memcmp(back, even, 3), 0);
    EXPECT_EQ(SerializeTypedValue(&in, back, kTypedLengthText), kResultOk);
    EXPECT_EQ(std::memcmp(back, high, 201), 0);
    EXPECT_EQ(in.StreamPosition(), int32_t(wire.size()));
}

TEST(TypedValue, ValuesCutByTheChunkEndKeepWhatWasRead)
{
    MemoryStream in;
    LoadInChunk(in, {0, 1, 0, 0, 0, 2});  // x, then the high half of y
    FixedVector3 v = {-1, -1, -1};
    EXPECT_EQ(SerializeTypedValue(&in, &v, kTypedVector), kResultShortRead);
    EXPECT_EQ(v.x, kFixedOne);
    EXPECT_EQ(v.y, int32_t(0x0002FFFF));
    EXPECT_EQ(v.z, -1);
    EXPECT_EQ(in.StreamPosition(), 14);

    LoadInChunk(in, {0x00, 0x12, 0x56});
    RGBColor48 color = {1, 2, 3};
    EXPECT_EQ(SerializeTypedValue(&in, &color, kTypedColor), kResultShortRead);
    EXPECT_EQ(color.red, 1);  // a colour is only taken whole
    EXPECT_EQ(color.blue, 3);

    MemoryStream out;
    out.StreamInit(kStreamWriting);
    int32_t value = 5;
    EXPECT_EQ(SerializeTypedValue(&out, &value, TypedValueKind(114)), kResultBadValueSize);
    EXPECT_EQ(SerializeTypedValue(&out, &value, TypedValueKind(100)), kResultBadValueSize);
    EXPECT_EQ(out.StreamPosition(), 0);
}

TEST(VersionChunk, WritesTheCurrentVersionAndReadsAnyWord)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    out.StreamSetVersion(0x03000000);
    EXPECT_EQ(SerializeVersionChunk(&out), kResultOk);
    EXPECT_EQ(Contents(out), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(out.StreamGetVersion(), 0x01000000u);

    MemoryStream in;
    Load(in, {0x01, 0x02, 0x03, 0x04});
    EXPECT_EQ(SerializeVersionChunk(&in), kResultOk);
    EXPECT_EQ(in.StreamGetVersion(), 0x01020304u);

    LoadInChunk(in, {0x02, 0x00});
    in.StreamSetVersion(7);
    EXPECT_EQ(SerializeVersionChunk(&in), kResultShortRead);
    EXPECT_EQ(in.StreamGetVersion(), 7u);
}

TEST(StreamMatchWord, ComparesWhenReadingAndWritesWhenWriting)
{
    uint32_t form = ChunkTagOf("FORM");
    MemoryStream in;
    Load(in, {'F', 'O', 'R', 'M', 'F', 'O', 'R', 'X', 'F', 'O'});
    EXPECT_EQ(StreamMatchWord(&in, &form), 1);
    EXPECT_EQ(StreamMatchWord(&in, &form), 0);
    EXPECT_EQ(StreamMatchWord(&in, &form), 0);  // cut short

    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(StreamMatchWord(&out, &form), kResultOk);
    EXPECT_EQ(Contents(out), (Bytes{'F', 'O', 'R', 'M'}));
}

TEST(WalkPathPoint, AnglesTravelAsRadians)
{
    WalkPathPoint point;
    point.x = kFixedOne;
    point.y = -2 * kFixedOne;
    point.z = 0x12345;
    point.heading = 64 * kFixedOne;  // a quarter turn
    point.pitch = 0;
    point.roll = -32 * kFixedOne;
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(point.Write(&out), kResultOk);
    // 64.0 x pi / 128.0 = 0x1921F (1.5708); -32.0 gives -0.7854.
    EXPECT_EQ(Contents(out), (Bytes{0, 1, 0, 0, 0xFF, 0xFE, 0, 0, 0, 1, 0x23, 0x45,
                                    0, 1, 0x92, 0x1F, 0, 0, 0, 0, 0xFF, 0xFF, 0x36, 0xF1}));
    EXPECT_EQ(point.heading, 64 * kFixedOne);  // writing leaves the point alone

    MemoryStream in;
    Load(in, Contents(out));
    WalkPathPoint back;
    EXPECT_EQ(back.Write(&in), kResultOk);
    EXPECT_EQ(back.x, point.x);
    EXPECT_EQ(back.y, point.y);
    EXPECT_EQ(back.z, point.z);
    EXPECT_EQ(back.heading, 0x3FFFEB);  // the round trip loses the truncated bits of pi
    EXPECT_EQ(back.pitch, 0);
    EXPECT_EQ(back.roll, int32_t(0xFFE0001F));

    // Cut short after the position: the code says so, the angles stay near what they were.
    const Bytes wire = Contents(out);
    LoadInChunk(in, Bytes(wire.begin(), wire.begin() + 14));
    WalkPathPoint cut;
    cut.heading = 64 * kFixedOne;
    EXPECT_EQ(cut.Write(&in), kResultShortRead);
    EXPECT_EQ(cut.z, 0x12345);
    EXPECT_NEAR(cut.heading, 64 * kFixedOne, 64);
}
