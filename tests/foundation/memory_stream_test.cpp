// MemoryStream: exact bytes of values and chunks, short and hostile reads, the scrambling
// filter, and byte insertion and deletion.
#include "foundation/memory_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/ui_services.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr ChunkTag kTest = ChunkTagOf("TEST");
constexpr ChunkTag kForm = ChunkTagOf("FORM");
constexpr ChunkTag kInner = ChunkTagOf("INNR");

Bytes Contents(const MemoryStream& stream)
{
    DynamicArray* buffer = stream.Buffer();
    if (!buffer) return {};
    const auto* data = static_cast<const uint8_t*>(buffer->ArrayData());
    return Bytes(data, data + buffer->ArrayCount());
}

// A reading stream over the given bytes.
void Load(MemoryStream& stream, const Bytes& bytes)
{
    stream.StreamInit(kStreamReading);
    ASSERT_EQ(stream.StreamSetSize(int32_t(bytes.size())), kResultOk);
    if (!bytes.empty()) std::memcpy(stream.Buffer()->ArrayData(), bytes.data(), bytes.size());
}

class CursorCounter : public UiServices {
public:
    void SetCursorShape(int32_t shape) override { shapes.push_back(shape); }
    std::vector<int32_t> shapes;
};

// A chunk with three data bytes and one pad byte, as the format lays it out.
const Bytes kTestChunk = {'T', 'E', 'S', 'T', 0, 0, 0, 3, 'a', 'b', 'c', 0};

}  // namespace

TEST(MemoryStream, ValuesAreBigEndianUnlessAskedOtherwise)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    uint16_t v16 = 0x1234;
    uint32_t v32 = 0x89ABCDEF;
    double v64 = 1.5;  // 3F F8 00 00 00 00 00 00
    uint64_t le64 = 0x0102030405060708;
    uint8_t byte = 0xFE;
    EXPECT_EQ(out.StreamTransferValue(&v16, kValue16), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&v16, kValue16LittleEndian), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&v32, kValue32), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&v32, kValue32LittleEndian), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&v64, kValue64), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&le64, kValue64LittleEndian), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&byte, kValueByte), kResultOk);
    EXPECT_EQ(v16, 0x1234);  // written values are left as they were
    EXPECT_EQ(v32, 0x89ABCDEFu);
    EXPECT_EQ(Contents(out), (Bytes{0x12, 0x34, 0x34, 0x12, 0x89, 0xAB, 0xCD, 0xEF, 0xEF, 0xCD, 0xAB, 0x89,
                                    0x3F, 0xF8, 0, 0, 0, 0, 0, 0, 8, 7, 6, 5, 4, 3, 2, 1, 0xFE}));
    EXPECT_EQ(out.StreamPosition(), 29);

    MemoryStream in;
    Load(in, Contents(out));
    uint16_t r16a = 0, r16b = 0;
    uint32_t r32a = 0, r32b = 0;
    double r64 = 0;
    uint64_t rle = 0;
    uint8_t rbyte = 0;
    EXPECT_EQ(in.StreamTransferValue(&r16a, kValue16), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r16b, kValue16LittleEndian), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r32a, kValue32), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r32b, kValue32LittleEndian), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r64, kValue64), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&rle, kValue64LittleEndian), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&rbyte, kValueByte), kResultOk);
    EXPECT_EQ(r16a, 0x1234);
    EXPECT_EQ(r16b, 0x1234);
    EXPECT_EQ(r32a, 0x89ABCDEFu);
    EXPECT_EQ(r32b, 0x89ABCDEFu);
    EXPECT_EQ(r64, 1.5);
    EXPECT_EQ(rle, 0x0102030405060708u);
    EXPECT_EQ(rbyte, 0xFE);
}

TEST(MemoryStream, UnknownSizeCodesMoveNothing)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    uint64_t v = 0;
    for (int32_t code : {0, 3, 5, 7, 9, 15, 17, 31, 33, 100, 127, 129, 256, -1, -1111})
        EXPECT_EQ(out.StreamTransferValue(&v, code), kResultBadValueSize) << code;
    EXPECT_EQ(out.StreamPosition(), 0);
    EXPECT_TRUE(Contents(out).empty());
}

TEST(MemoryStream, LengthPrefixedTexts)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    uint8_t empty[256] = {0};
    EXPECT_EQ(out.StreamTransferValue(empty, kValueText), kResultOk);
    EXPECT_EQ(out.StreamPosition(), 1);
    // A length byte above 127 is a length, not a negative number.
    uint8_t text[256];
    text[0] = 200;
    for (int32_t i = 1; i <= 200; i++) text[i] = uint8_t('A' + i % 26);
    EXPECT_EQ(out.StreamTransferValue(text, kValueText), kResultOk);
    EXPECT_EQ(out.StreamPosition(), 202);

    MemoryStream in;
    Load(in, Contents(out));
    uint8_t back[256];
    std::memset(back, 0x55, sizeof back);
    EXPECT_EQ(in.StreamTransferValue(back, kValueText), kResultOk);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(in.StreamTransferValue(back, kValueText), kResultOk);
    EXPECT_EQ(std::memcmp(back, text, 201), 0);

    // Cut short: the characters that are not there read as zeros.
    MemoryStream cut;
    Load(cut, {250, 'x', 'y'});
    std::memset(back, 0x55, sizeof back);
    EXPECT_EQ(cut.StreamTransferValue(back, kValueText), kResultShortRead);
    EXPECT_EQ(back[1], 'x');
    EXPECT_EQ(back[2], 'y');
    for (int32_t i = 3; i <= 250; i++) ASSERT_EQ(back[i], 0) << i;
    EXPECT_EQ(back[251], 0x55);
}

TEST(MemoryStream, ChunkWithOddLengthIsPadded)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(out.StreamBeginChunk(kTest), kResultOk);
    EXPECT_EQ(out.ChunkLength(), 0);
    EXPECT_EQ(out.ChunkStart(), 8);
    uint8_t data[3] = {'a', 'b', 'c'};
    EXPECT_EQ(out.TransferBytes(data, 3), kResultOk);
    EXPECT_EQ(out.StreamChunkBytesLeft(), -3);
    EXPECT_EQ(out.StreamEndChunk(), kResultOk);
    EXPECT_EQ(out.ChunkLength(), -1);
    EXPECT_EQ(Contents(out), kTestChunk);
    EXPECT_EQ(out.StreamPosition(), 12);

    MemoryStream in;
    Load(in, Contents(out));
    EXPECT_EQ(in.StreamEnterChunk(), kTest);
    EXPECT_EQ(in.ChunkLength(), 3);
    EXPECT_EQ(in.StreamChunkBytesLeft(), 3);
    uint8_t first = 0;
    EXPECT_EQ(in.TransferBytes(&first, 1), kResultOk);
    EXPECT_EQ(first, 'a');
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);  // skips the rest and the pad byte
    EXPECT_EQ(in.StreamPosition(), 12);
    EXPECT_EQ(in.ChunkLength(), -1);
    EXPECT_EQ(in.StreamEnterChunk(), 0u);  // end of the data
    EXPECT_EQ(in.ChunkLength(), -1);
}

TEST(MemoryStream, NestedChunksArePatchedAtTheirOwnStarts)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    uint32_t formType = ChunkTagOf("QMDL");
    uint16_t word = 0xBEEF;
    uint8_t odd = 0x7A;
    ASSERT_EQ(out.StreamBeginChunk(kForm), kResultOk);
    out.StreamTransferValue(&formType, kValue32);
    ASSERT_EQ(out.StreamBeginChunk(kInner), kResultOk);
    out.StreamTransferValue(&word, kValue16);
    ASSERT_EQ(out.StreamBeginChunk(kTest), kResultOk);
    out.StreamTransferValue(&odd, kValueByte);
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    EXPECT_EQ(out.ChunkLength(), 0) << "the inner chunk's context is back";
    EXPECT_EQ(out.ChunkStart(), 20);
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    ASSERT_EQ(out.StreamBeginChunk(kTest), kResultOk);  // empty chunk
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    EXPECT_EQ(out.ChunkLength(), -1);
    const Bytes expected = {'F', 'O', 'R', 'M', 0, 0, 0, 0x20, 'Q', 'M', 'D', 'L',
                            'I', 'N', 'N', 'R', 0, 0, 0, 0x0C, 0xBE, 0xEF,
                            'T', 'E', 'S', 'T', 0, 0, 0, 1, 0x7A, 0,
                            'T', 'E', 'S', 'T', 0, 0, 0, 0};
    EXPECT_EQ(Contents(out), expected);

    MemoryStream in;
    Load(in, expected);
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    uint32_t type = 0;
    in.StreamTransferValue(&type, kValue32);
    EXPECT_EQ(type, formType);
    std::vector<ChunkTag> tags;
    while (ChunkTag tag = in.StreamEnterChunk()) {
        tags.push_back(tag);
        in.StreamEndChunk();
    }
    EXPECT_EQ(tags, (std::vector<ChunkTag>{kInner, kTest}));
    EXPECT_EQ(in.ChunkLength(), 0x20);  // the FORM is still current
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);
    EXPECT_EQ(in.StreamPosition(), 40);
    EXPECT_EQ(in.ChunkLength(), -1);
}

TEST(MemoryStream, EnteringAtTheEndOfAChunkLeavesItCurrent)
{
    // FORM of 14 bytes: an odd chunk of 5 bytes and its pad; then the FORM's own pad is absent
    // (length even) and the data goes on with another top-level chunk.
    const Bytes data = {'F', 'O', 'R', 'M', 0, 0, 0, 14, 'T', 'E', 'S', 'T', 0, 0, 0, 5, 1, 2, 3, 4, 5, 0,
                        'T', 'E', 'S', 'T', 0, 0, 0, 1, 9, 0};
    MemoryStream in;
    Load(in, data);
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    ASSERT_EQ(in.StreamEnterChunk(), kTest);
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);
    EXPECT_EQ(in.StreamPosition(), 22);
    EXPECT_EQ(in.StreamEnterChunk(), 0u);
    EXPECT_EQ(in.ChunkLength(), 14);
    EXPECT_EQ(in.ChunkStart(), 8);
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);
    EXPECT_EQ(in.StreamPosition(), 22);
    ASSERT_EQ(in.StreamEnterChunk(), kTest);
    uint8_t value = 0;
    EXPECT_EQ(in.TransferBytes(&value, 1), kResultOk);
    EXPECT_EQ(value, 9);
}

TEST(MemoryStream, ShortReadsStopAtTheChunkEnd)
{
    const Bytes data = {'T', 'E', 'S', 'T', 0, 0, 0, 6, 1, 2, 3, 4, 5, 6, 0xAA, 0xBB, 0xCC, 0xDD};
    MemoryStream in;
    Load(in, data);
    ASSERT_EQ(in.StreamEnterChunk(), kTest);
    uint32_t word = 0;
    EXPECT_EQ(in.StreamTransferValue(&word, kValue32), kResultOk);
    EXPECT_EQ(word, 0x01020304u);
    // Two bytes left of four: both are read, into the value's high half.
    word = 0x11223344;
    EXPECT_EQ(in.StreamTransferValue(&word, kValue32), kResultShortRead);
    EXPECT_EQ(word, 0x05063344u);
    EXPECT_EQ(in.StreamPosition(), 14);
    uint8_t bytes[4] = {0, 0, 0, 0};
    EXPECT_EQ(in.TransferBytes(bytes, 4), kResultShortRead);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(in.StreamPosition(), 14);
    EXPECT_EQ(in.TransferBytes(bytes, 0), kResultOk);

    // Positions outside the data read nothing.
    in.StreamSetPosition(15);
    EXPECT_EQ(in.TransferBytes(bytes, 1), kResultLocked);
    in.StreamSetPosition(-3);
    EXPECT_EQ(in.TransferBytes(bytes, 4), kResultLocked);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(in.StreamPosition(), -3);
    in.StreamSetPosition(12);
    EXPECT_EQ(in.TransferBytes(bytes, -1), kResultOutOfRange);
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);
    EXPECT_EQ(in.StreamPosition(), 14);

    // Outside any chunk the data's end bounds the read.
    EXPECT_EQ(in.TransferBytes(bytes, 8), kResultShortRead);
    EXPECT_EQ(bytes[3], 0xDD);
    EXPECT_EQ(in.StreamPosition(), 18);
}

TEST(MemoryStream, HostileChunkLengthsStayInsideTheirParentAndTheData)
{
    {  // A length that would wrap to a negative 32-bit number.
        const Bytes data = {'T', 'E', 'S', 'T', 0xFF, 0xFF, 0xFF, 0xF0, 1, 2, 3, 4, 5};
        MemoryStream in;
        Load(in, data);
        ASSERT_EQ(in.StreamEnterChunk(), kTest);
        EXPECT_EQ(in.ChunkLength(), 5);
        EXPECT_EQ(in.StreamChunkBytesLeft(), 5);
        uint8_t bytes[16] = {0};
        EXPECT_EQ(in.TransferBytes(bytes, 16), kResultShortRead);
        EXPECT_EQ(bytes[4], 5);
        EXPECT_EQ(bytes[5], 0);
        EXPECT_EQ(in.StreamEndChunk(), kResultOk);
        EXPECT_EQ(in.ChunkLength(), -1);
        EXPECT_EQ(in.StreamEnterChunk(), 0u);
    }
    {  // 0xFFFFFFFF must not read as "outside any chunk".
        const Bytes data = {'F', 'O', 'R', 'M', 0, 0, 0, 12, 'T', 'E', 'S', 'T', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
        MemoryStream in;
        Load(in, data);
        ASSERT_EQ(in.StreamEnterChunk(), kForm);
        ASSERT_EQ(in.StreamEnterChunk(), kTest);
        EXPECT_EQ(in.ChunkLength(), 4);
        EXPECT_EQ(in.StreamEndChunk(), kResultOk);
        EXPECT_EQ(in.ChunkLength(), 12);
        EXPECT_EQ(in.StreamEnterChunk(), 0u);
        EXPECT_EQ(in.StreamEndChunk(), kResultOk);
        EXPECT_EQ(in.ChunkLength(), -1);
    }
    {  // A child longer than its parent ends with the parent; the sibling behind stays unread.
        const Bytes data = {'F', 'O', 'R', 'M', 0, 0, 0, 12, 'I', 'N', 'N', 'R', 0, 0, 0, 40, 1, 2, 3, 4,
                            'T', 'E', 'S', 'T', 0, 0, 0, 2, 7, 7};
        MemoryStream in;
        Load(in, data);
        ASSERT_EQ(in.StreamEnterChunk(), kForm);
        ASSERT_EQ(in.StreamEnterChunk(), kInner);
        EXPECT_EQ(in.ChunkLength(), 4);
        uint8_t bytes[8] = {0};
        EXPECT_EQ(in.TransferBytes(bytes, 8), kResultShortRead);
        EXPECT_EQ(in.StreamPosition(), 20);
        EXPECT_EQ(bytes[4], 0);
        in.StreamEndChunk();
        EXPECT_EQ(in.StreamEnterChunk(), 0u);
        in.StreamEndChunk();
        EXPECT_EQ(in.StreamEnterChunk(), kTest);
    }
    {  // A header cut short, and a tag of zero, read as the end without entering anything.
        MemoryStream in;
        Load(in, {'F', 'O', 'R', 'M', 0, 0, 0, 14, 0, 0, 0, 0, 0, 0, 0, 2, 1, 2, 'T', 'E', 'S', 'T'});
        ASSERT_EQ(in.StreamEnterChunk(), kForm);
        EXPECT_EQ(in.StreamEnterChunk(), 0u);
        EXPECT_EQ(in.ChunkLength(), 14);
        in.StreamEndChunk();
        EXPECT_EQ(in.ChunkLength(), -1);
        EXPECT_EQ(in.StreamEnterChunk(), 0u);
        EXPECT_EQ(in.ChunkLength(), -1);
    }
}

TEST(MemoryStream, ChunkOperationsRefuseTheWrongDirection)
{
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    EXPECT_EQ(out.StreamEnterChunk(), 0u);
    EXPECT_EQ(out.StreamEndChunk(), kResultLocked);  // not inside a chunk
    EXPECT_TRUE(Contents(out).empty());

    MemoryStream in;
    Load(in, kTestChunk);
    EXPECT_EQ(in.StreamBeginChunk(kTest), kResultLocked);
    EXPECT_EQ(in.StreamPosition(), 0);
    EXPECT_EQ(in.ChunkLength(), -1);

    MemoryStream odd;
    odd.StreamInit(7);
    uint8_t byte = 1;
    EXPECT_EQ(odd.TransferBytes(&byte, 1), kResultLocked);
    EXPECT_EQ(odd.StreamPosition(), 0);
}

TEST(MemoryStream, ScramblingDependsOnlyOnTheOffset)
{
    // The key table is part of the file format: these bytes must never change.
    MemoryStream out;
    out.StreamInit(kStreamWriting);
    out.StreamScrambleOn();
    EXPECT_TRUE(out.StreamIsScrambled());
    uint32_t form = kForm, length = 12, type = ChunkTagOf("QMDL");
    out.StreamTransferValue(&form, kValue32);
    out.StreamTransferValue(&length, kValue32);
    out.StreamTransferValue(&type, kValue32);
    EXPECT_EQ(Contents(out), (Bytes{0x63, 0x08, 0x2F, 0x1B, 0xA7, 0xD4, 0x53, 0xC8, 0x47, 0xFC, 0xD9, 0x71}));
    uint16_t late = 0x1234;
    out.StreamSetPosition(35);  // the key table wraps after entry 36
    out.StreamTransferValue(&late, kValue16);
    EXPECT_EQ(Contents(out)[35], 0x70);
    EXPECT_EQ(Contents(out)[36], 0x86);

    // One transfer of 1000 bytes equals 1000 transfers of one byte at their own offsets.
    Bytes plain(1000);
    for (size_t i = 0; i < plain.size(); i++) plain[i] = uint8_t(i * 7 + 3);
    MemoryStream whole, single;
    whole.StreamInit(kStreamWriting);
    single.StreamInit(kStreamWriting);
    whole.StreamScrambleOn();
    single.StreamScrambleOn();
    whole.StreamSetPosition(3);
    whole.TransferBytes(plain.data(), 1000);
    for (int32_t i = 999; i >= 0; i--) single.TransferBytesAt(&plain[size_t(i)], 1, 3 + i);
    const Bytes stored = Contents(whole);
    EXPECT_EQ(stored, Contents(single));
    EXPECT_NE(Bytes(stored.begin() + 3, stored.end()), plain);

    // Reading back any part at its own offset recovers the plain bytes.
    MemoryStream in;
    Load(in, stored);
    in.StreamScrambleOn();
    Bytes back(501);
    EXPECT_EQ(in.TransferBytesAt(back.data(), 501, 400), kResultOk);
    EXPECT_EQ(back, Bytes(plain.begin() + 397, plain.begin() + 898));
}

TEST(MemoryStream, ScrambledChunksAtOddOffsetsReadBackPlain)
{
    // The same records written plain and scrambled, starting at an odd offset: back-patched
    // lengths and pad bytes go through the filter at their own offsets.
    auto write = [](MemoryStream& s) {
        uint8_t lead = 0x99;
        s.TransferBytes(&lead, 1);
        s.StreamBeginChunk(kForm);
        uint32_t value = 0xCAFEF00D;
        s.StreamTransferValue(&value, kValue32);
        s.StreamBeginChunk(kTest);
        uint8_t three[3] = {1, 2, 3};
        s.TransferBytes(three, 3);
        s.StreamEndChunk();
        s.StreamEndChunk();
    };
    MemoryStream plain, scrambled;
    plain.StreamInit(kStreamWriting);
    scrambled.StreamInit(kStreamWriting);
    scrambled.StreamScrambleOn();
    write(plain);
    write(scrambled);
    const Bytes expected = {0x99, 'F', 'O', 'R', 'M', 0, 0, 0, 16, 0xCA, 0xFE, 0xF0, 0x0D,
                            'T', 'E', 'S', 'T', 0, 0, 0, 3, 1, 2, 3, 0};
    EXPECT_EQ(Contents(plain), expected);
    ASSERT_EQ(Contents(scrambled).size(), expected.size());

    MemoryStream in;
    Load(in, Contents(scrambled));
    in.StreamScrambleOn();
    Bytes back(expected.size());
    EXPECT_EQ(in.TransferBytes(back.data(), int32_t(back.size())), kResultOk);
    EXPECT_EQ(back, expected);

    in.StreamSetPosition(1);
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    ASSERT_EQ(in.StreamEnterChunk(), 0xCAFEF00Du);  // the value reads as a tag here
    in.StreamEndChunk();
    in.StreamEndChunk();
    EXPECT_EQ(in.StreamPosition(), 25);
}

TEST(MemoryStream, InsertAndDeleteBytes)
{
    MemoryStream s;
    Load(s, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(s.StreamInsertBytes(2, 3), kResultOk);
    Bytes after = Contents(s);
    ASSERT_EQ(after.size(), 9u);
    EXPECT_EQ(Bytes(after.begin() + 5, after.end()), (Bytes{3, 4, 5, 6}));
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 2), (Bytes{1, 2}));
    EXPECT_EQ(s.StreamInsertBytes(10, 1), kResultOutOfRange);
    EXPECT_EQ(s.StreamInsertBytes(0, -1), kResultOutOfRange);
    EXPECT_EQ(s.StreamDeleteBytes(2, 3), kResultOk);
    EXPECT_EQ(Contents(s), (Bytes{1, 2, 3, 4, 5, 6}));

    // Ranges reaching outside the data are cut to the part inside it.
    EXPECT_EQ(s.StreamDeleteBytes(4, 100), kResultOk);
    EXPECT_EQ(Contents(s), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(s.StreamDeleteBytes(-2, 3), kResultOk);
    EXPECT_EQ(Contents(s), (Bytes{2, 3, 4}));
    EXPECT_EQ(s.StreamDeleteBytes(-10, 3), kResultOk);
    EXPECT_EQ(s.StreamDeleteBytes(7, 3), kResultOk);
    EXPECT_EQ(s.StreamDeleteBytes(1, -3), kResultOk);
    EXPECT_EQ(s.StreamDeleteBytes(1, 0x7FFFFFFF), kResultOk);
    EXPECT_EQ(Contents(s), (Bytes{2}));

    s.Buffer()->ArrayLock();
    EXPECT_EQ(s.StreamDeleteBytes(0, 1), kResultLocked);
    EXPECT_EQ(Contents(s), (Bytes{2}));
    s.Buffer()->ArrayUnlock();
}

TEST(MemoryStream, SizeCopyAndBufferGrowth)
{
    MemoryStream s;
    s.StreamInit(kStreamWriting);
    int32_t size = -1;
    EXPECT_EQ(s.StreamSize(&size), kResultOk);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(s.StreamKind(), 1);
    EXPECT_EQ(s.StreamQuery(), 0);
    Bytes data(10000);
    for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t(i ^ (i >> 8));
    EXPECT_EQ(s.TransferBytes(data.data(), 10000), kResultOk);
    EXPECT_EQ(s.Buffer()->Capacity(), 12288);
    EXPECT_EQ(s.Buffer()->GrowStep(), 4096);
    // Writing behind the end extends the data.
    uint8_t tail = 0xEE;
    EXPECT_EQ(s.TransferBytesAt(&tail, 1, 10005), kResultOk);
    s.StreamSize(&size);
    EXPECT_EQ(size, 10006);

    MemoryStream copy;
    copy.StreamInit(kStreamWriting);
    copy.TransferBytes(&tail, 1);
    EXPECT_EQ(s.StreamCopyTo(&copy), kResultOk);
    Bytes copied = Contents(copy);
    ASSERT_EQ(copied.size(), 10007u);
    EXPECT_EQ(Bytes(copied.begin() + 1, copied.begin() + 10001), data);

    // Copying a stream into itself at its end would move the bytes it copies: refused.
    EXPECT_EQ(s.StreamCopyTo(&s), kResultLocked);
    s.StreamSetPosition(0);
    EXPECT_EQ(s.StreamCopyTo(&s), kResultOk);
    EXPECT_EQ(s.StreamSetSize(3), kResultOk);
    EXPECT_EQ(Contents(s), Bytes(data.begin(), data.begin() + 3));
    EXPECT_EQ(s.StreamSetSize(-1), kResultOutOfRange);
}

TEST(MemoryStream, EveryTransferAdvancesTheWaitCursor)
{
    CursorCounter counter;
    UiServices* previous = InstallUiServices(&counter);
    MemoryStream s;
    s.StreamInit(kStreamWriting);
    uint32_t v = 1;
    s.StreamBeginChunk(kTest);
    s.StreamTransferValue(&v, kValue32);
    s.StreamEndChunk();
    InstallUiServices(previous);
    EXPECT_EQ(counter.shapes, (std::vector<int32_t>{128, 128, 128, 128}));
}

TEST(MemoryStream, HeapStreamsAreOwnedAndDestroyed)
{
    Owned<MemoryStream> s(new MemoryStream);
    s->StreamInit(kStreamWriting);
    s->StreamBeginChunk(kTest);
    s->StreamBeginChunk(kInner);
    EXPECT_NE(s->Buffer(), nullptr);
    s->StreamSetVersion(0x01020304);
    EXPECT_EQ(s->StreamGetVersion(), 0x01020304u);
    EXPECT_EQ(s->StreamIsWriting(), 1);
}
