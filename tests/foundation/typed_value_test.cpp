// Typed values, the version chunk body and walk-path points: exact wire bytes, round trips and
// values cut short by the end of a chunk.
#include "foundation/typed_value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "foundation/fixed.h"
#include "foundation/rgb_color.h"
#include "foundation/version_chunk.h"
#include "foundation/walk_path_point.h"
#include "tests/foundation/stream_bytes.h"

namespace {

// The bytes one value of the kind is written as.
template <class T>
Bytes Written(T value, TypedValueKind kind)
{
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(SerializeTypedValue(&out, &value, kind), kResultOk);
    return Contents(out);
}

// The value read from the bytes into `start`.
template <class T>
T Read(const Bytes& bytes, TypedValueKind kind, T start)
{
    MemoryStream in;
    Load(in, bytes);
    EXPECT_EQ(SerializeTypedValue(&in, &start, kind), kResultOk);
    EXPECT_EQ(in.StreamPosition(), int32_t(bytes.size()));
    return start;
}

template <class T>
bool Same(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

struct Int4 {
    int32_t v[4];
};
struct Short3 {
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

Text MakeText(const std::string& s)
{
    Text t{};
    std::memcpy(t.c, s.c_str(), std::min<size_t>(s.size() + 1, sizeof t.c));
    return t;
}

}  // namespace

TEST(TypedValue, NumbersPointsAndRectangles)
{
    EXPECT_EQ(Written(int32_t(0x12345678), kTypedLong), (Bytes{0x12, 0x34, 0x56, 0x78}));
    EXPECT_EQ(Read(Bytes{0xFF, 0xFE, 0x00, 0x01}, kTypedLong, int32_t(0)), int32_t(0xFFFE0001));

    // Points and rectangles carry only the low halves, and reading fills only those.
    EXPECT_EQ(Written(FixedPoint{0x00012345, -1}, kTypedPoint), (Bytes{0x23, 0x45, 0xFF, 0xFF}));
    FixedPoint point = Read(Bytes{0x23, 0x45, 0xFF, 0xFF}, kTypedPoint, FixedPoint{0x7FFF0000, 0});
    EXPECT_EQ(point.x, 0x7FFF2345);
    EXPECT_EQ(point.y, 0x0000FFFF);
    const Bytes rectBytes = {0, 1, 0xFF, 0xFE, 0, 3, 0x7F, 0xFF};
    EXPECT_EQ(Written(Int4{{1, -2, 0x10003, 0x7FFF}}, kTypedRect), rectBytes);
    EXPECT_TRUE(Same(Read(rectBytes, kTypedRect, Int4{{0x00110000, 0x00220000, 0x00330000, -1}}),
                     Int4{{0x00110001, 0x0022FFFE, 0x00330003, int32_t(0xFFFF7FFF)}}));

    const Short3 shorts = {{0x0102, 0xFFFF, 0x8000}};
    const Bytes shortBytes = {1, 2, 0xFF, 0xFF, 0x80, 0};
    for (TypedValueKind kind : {kTypedShortTriple, kTypedShortTriple2}) {
        EXPECT_EQ(Written(shorts, kind), shortBytes);
        EXPECT_TRUE(Same(Read(shortBytes, kind, Short3{}), shorts));
    }
    const FixedPoint fixedPoint = {kFixedOne, -kFixedHalf};
    const Bytes fixedPointBytes = {0, 1, 0, 0, 0xFF, 0xFF, 0x80, 0};
    EXPECT_EQ(Written(fixedPoint, kTypedFixedPoint), fixedPointBytes);
    EXPECT_TRUE(Same(Read(fixedPointBytes, kTypedFixedPoint, FixedPoint{}), fixedPoint));
    const Fixed3 triple = {{0x7FFFFFFF, int32_t(0x80000000), 0x00012345}};
    const Bytes tripleBytes = {0x7F, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 1, 0x23, 0x45};
    for (TypedValueKind kind : {kTypedVector, kTypedAngles, kTypedFixedTriple}) {
        EXPECT_EQ(Written(triple, kind), tripleBytes);
        EXPECT_TRUE(Same(Read(tripleBytes, kind, Fixed3{}), triple));
    }
}

TEST(TypedValue, ColoursKeepTheirHighBytes)
{
    EXPECT_EQ(Written(RGBColor48{0x1234, 0x5678, 0x9ABC}, kTypedColor), (Bytes{0x00, 0x12, 0x56, 0x9A}));
    RGBColor48 color = Read(Bytes{0xAB, 0x12, 0x56, 0x9A}, kTypedColor, RGBColor48{1, 2, 3});
    EXPECT_TRUE(Same(color, RGBColor48{0x1200, 0x5600, 0x9A00}));  // the top byte is ignored
    EXPECT_EQ(Written(ColorCode{0x1234, 0x5678, 0x9ABC, 0xF0FF}, kTypedColorCode), (Bytes{0xF0, 0x12, 0x56, 0x9A}));
    EXPECT_TRUE(Same(Read(Bytes{0xF0, 0x12, 0x56, 0x9A}, kTypedColorCode, ColorCode{}),
                     ColorCode{0x1200, 0x5600, 0x9A00, 0xF000}));
}

TEST(TypedValue, TextsArePaddedToEvenLengths)
{
    EXPECT_EQ(Written(MakeText("abc"), kTypedText), (Bytes{3, 'a', 'b', 'c'}));
    EXPECT_EQ(Written(MakeText("ab"), kTypedText), (Bytes{2, 'a', 'b', 0}));
    EXPECT_EQ(Written(MakeText(""), kTypedText), (Bytes{0, 0}));
    EXPECT_STREQ(Read(Bytes{2, 'a', 'b', 0}, kTypedText, MakeText("zzzzzz")).c, "ab");

    // Longer than 255 characters: the first 255 go out (odd length, so no pad).
    std::string longText(300, 'q');
    for (size_t i = 0; i < longText.size(); i++) longText[i] = char('a' + i % 26);
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(SerializeTypedValue(&out, &longText[0], kTypedText), kResultOk);
    const Bytes wire = Contents(out);
    ASSERT_EQ(wire.size(), 256u);
    EXPECT_EQ(wire[0], 255);
    EXPECT_EQ(std::string(Read(wire, kTypedText, Text{}).c), longText.substr(0, 255));

    // Length-prefixed texts keep their length byte in front; lengths above 127 are lengths.
    uint8_t prefixed[256] = {200};
    std::memset(prefixed + 1, 'h', 200);
    uint8_t even[256] = {2, 'x', 'y'};
    StartWriting(out);
    EXPECT_EQ(SerializeTypedValue(&out, even, kTypedLengthText), kResultOk);
    EXPECT_EQ(SerializeTypedValue(&out, prefixed, kTypedLengthText), kResultOk);
    EXPECT_EQ(Contents(out).size(), 4u + 202u);
    MemoryStream in;
    Load(in, Contents(out));
    uint8_t back[256];
    EXPECT_EQ(SerializeTypedValue(&in, back, kTypedLengthText), kResultOk);
    EXPECT_EQ(std::memcmp(back, even, 3), 0);
    EXPECT_EQ(SerializeTypedValue(&in, back, kTypedLengthText), kResultOk);
    EXPECT_EQ(std::memcmp(back, prefixed, 201), 0);
    EXPECT_EQ(in.StreamPosition(), 206);
}

TEST(TypedValue, ValuesCutShortKeepWhatWasReadAndTextsStayTerminated)
{
    MemoryStream in;
    LoadInChunk(in, {0, 1, 0, 0, 0, 2});  // x, then the high half of y
    FixedVector3 v = {-1, -1, -1};
    EXPECT_EQ(SerializeTypedValue(&in, &v, kTypedVector), kResultShortRead);
    EXPECT_TRUE(Same(v, FixedVector3{kFixedOne, 0x0002FFFF, -1}));

    LoadInChunk(in, {0xAB, 0x12, 0x56});
    RGBColor48 color = {1, 2, 0x3303};
    EXPECT_EQ(SerializeTypedValue(&in, &color, kTypedColor), kResultShortRead);
    EXPECT_TRUE(Same(color, RGBColor48{0x1200, 0x5600, 0x3300}));  // blue's byte was not read

    LoadInChunk(in, {5, 'h', 'e', 'l'});
    Text text;
    std::memset(text.c, 'X', sizeof text.c);
    EXPECT_EQ(SerializeTypedValue(&in, &text, kTypedText), kResultShortRead);
    EXPECT_STREQ(text.c, "hel");
    LoadInChunk(in, {});
    EXPECT_EQ(SerializeTypedValue(&in, &text, kTypedText), kResultShortRead);
    EXPECT_STREQ(text.c, "");

    LoadInChunk(in, {200, 'a', 'b'});
    uint8_t prefixed[256];
    std::memset(prefixed, 'X', sizeof prefixed);
    EXPECT_EQ(SerializeTypedValue(&in, prefixed, kTypedLengthText), kResultShortRead);
    EXPECT_EQ(prefixed[2], 'b');
    for (int32_t i = 3; i <= 200; i++) ASSERT_EQ(prefixed[i], 0);
    EXPECT_EQ(prefixed[201], 'X');

    // The longest text fills the 256-byte buffer exactly, terminator included.
    Bytes full(256, 'm');
    full[0] = 255;
    std::memset(text.c, 'X', sizeof text.c);
    EXPECT_EQ(std::strlen(Read(full, kTypedText, text).c), 255u);

    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(SerializeTypedValue(&out, &v, TypedValueKind(114)), kResultBadValueSize);
    EXPECT_EQ(out.StreamPosition(), 0);
}

TEST(TypedValue, VersionChunkAndMatchWord)
{
    MemoryStream out;
    StartWriting(out);
    out.StreamSetVersion(0x03000000);
    EXPECT_EQ(SerializeVersionChunk(&out), kResultOk);
    EXPECT_EQ(Contents(out), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(out.StreamGetVersion(), 0x01000000u);
    uint32_t form = ChunkTagOf("FORM");
    EXPECT_EQ(StreamMatchWord(&out, &form), kResultOk);
    EXPECT_EQ(Contents(out), (Bytes{1, 0, 0, 0, 'F', 'O', 'R', 'M'}));

    MemoryStream in;
    Load(in, {0x01, 0x02, 0x03, 0x04, 'F', 'O', 'R', 'M', 'F', 'O', 'R', 'X', 'F', 'O'});
    EXPECT_EQ(SerializeVersionChunk(&in), kResultOk);
    EXPECT_EQ(in.StreamGetVersion(), 0x01020304u);
    EXPECT_EQ(StreamMatchWord(&in, &form), 1);
    EXPECT_EQ(StreamMatchWord(&in, &form), 0);
    EXPECT_EQ(StreamMatchWord(&in, &form), 0);  // cut short

    LoadInChunk(in, {0x02, 0x00});
    in.StreamSetVersion(7);
    EXPECT_EQ(SerializeVersionChunk(&in), kResultShortRead);
    EXPECT_EQ(in.StreamGetVersion(), 7u);
}

TEST(WalkPathPoint, AnglesTravelAsRadians)
{
    WalkPathPoint point;
    point.x = kFixedOne;
    point.y = -2 * kFixedOne;
    point.z = 0x12345;
    point.roll = 64 * kFixedOne;  // a quarter turn; roll goes first
    point.heading = -32 * kFixedOne;
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(point.Write(&out), kResultOk);
    // 64.0 x pi / 128.0 = 0x1921F (1.5708); -32.0 gives -0.7854.
    const Bytes wire = {0, 1, 0, 0, 0xFF, 0xFE, 0, 0, 0, 1, 0x23, 0x45,
                        0, 1, 0x92, 0x1F, 0, 0, 0, 0, 0xFF, 0xFF, 0x36, 0xF1};
    EXPECT_EQ(Contents(out), wire);
    EXPECT_EQ(point.roll, 64 * kFixedOne);  // writing leaves the point alone

    MemoryStream in;
    Load(in, wire);
    WalkPathPoint back;
    EXPECT_EQ(back.Write(&in), kResultOk);
    EXPECT_EQ(back.x, point.x);
    EXPECT_EQ(back.y, point.y);
    EXPECT_EQ(back.z, point.z);
    EXPECT_EQ(back.roll, 0x3FFFEC);  // the truncated pi loses a little on the way back
    EXPECT_EQ(back.pitch, 0);
    EXPECT_EQ(back.heading, int32_t(0xFFE0001E));
    // Written again, the angles give the same radians: the same bytes.
    MemoryStream again;
    StartWriting(again);
    IgnoreResult(back.Write(&again));
    EXPECT_EQ(Contents(again), wire);

    // Cut short after the position: the code says so, the angles stay near what they were.
    LoadInChunk(in, Bytes(wire.begin(), wire.begin() + 14));
    WalkPathPoint cut;
    cut.roll = 64 * kFixedOne;
    EXPECT_EQ(cut.Write(&in), kResultShortRead);
    EXPECT_EQ(cut.z, 0x12345);
    EXPECT_NEAR(cut.roll, 64 * kFixedOne, 64);
}
