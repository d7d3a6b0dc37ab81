// MemoryStream: exact bytes of values and chunks, short and hostile reads, the scrambling
// filter, and byte insertion and deletion.
#include "foundation/memory_stream.h"

#include <gtest/gtest.h>

#include "foundation/ui_services.h"
#include "tests/foundation/stream_bytes.h"

namespace {

constexpr ChunkTag kTest = ChunkTagOf("TEST");
constexpr ChunkTag kForm = ChunkTagOf("FORM");
constexpr ChunkTag kInner = ChunkTagOf("INNR");

class CursorCounter : public UiServices {
public:
    void SetCursorShape(int32_t shape) override { shapes.push_back(shape); }
    std::vector<int32_t> shapes;
};

}  // namespace

TEST(MemoryStream, ValuesAreBigEndianUnlessAskedOtherwise)
{
    MemoryStream out;
    StartWriting(out);
    uint16_t v16 = 0x1234;
    uint32_t v32 = 0x89ABCDEF;
    uint64_t v64 = 0x0102030405060708;
    uint8_t byte = 0xFE;
    for (int32_t code : {kValue16, kValue16LittleEndian}) EXPECT_EQ(out.StreamTransferValue(&v16, code), kResultOk);
    for (int32_t code : {kValue32, kValue32LittleEndian}) EXPECT_EQ(out.StreamTransferValue(&v32, code), kResultOk);
    for (int32_t code : {kValue64, kValue64LittleEndian}) EXPECT_EQ(out.StreamTransferValue(&v64, code), kResultOk);
    EXPECT_EQ(out.StreamTransferValue(&byte, kValueByte), kResultOk);
    EXPECT_EQ(v32, 0x89ABCDEFu);  // written values are left as they were
    const Bytes expected = {0x12, 0x34, 0x34, 0x12, 0x89, 0xAB, 0xCD, 0xEF, 0xEF, 0xCD, 0xAB, 0x89,
                            1, 2, 3, 4, 5, 6, 7, 8, 8, 7, 6, 5, 4, 3, 2, 1, 0xFE};
    EXPECT_EQ(Contents(out), expected);

    MemoryStream in;
    Load(in, expected);
    uint16_t r16[2] = {};
    uint32_t r32[2] = {};
    uint64_t r64[2] = {};
    EXPECT_EQ(in.StreamTransferValue(&r16[0], kValue16), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r16[1], kValue16LittleEndian), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r32[0], kValue32), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r32[1], kValue32LittleEndian), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r64[0], kValue64), kResultOk);
    EXPECT_EQ(in.StreamTransferValue(&r64[1], kValue64LittleEndian), kResultOk);
    for (uint16_t r : r16) EXPECT_EQ(r, v16);
    for (uint32_t r : r32) EXPECT_EQ(r, v32);
    for (uint64_t r : r64) EXPECT_EQ(r, v64);

    for (int32_t code : {0, 3, 5, 7, 9, 15, 17, 33, 127, 129, -1})
        EXPECT_EQ(out.StreamTransferValue(&v64, code), kResultBadValueSize) << code;
    EXPECT_EQ(out.StreamPosition(), 29);
}

TEST(MemoryStream, LengthPrefixedTextsUseAnUnsignedLengthByte)
{
    MemoryStream out;
    StartWriting(out);
    uint8_t empty[256] = {0};
    uint8_t text[256] = {200};
    for (int32_t i = 1; i <= 200; i++) text[i] = uint8_t('A' + i % 26);
    EXPECT_EQ(out.StreamTransferValue(empty, kValueText), kResultOk);
    EXPECT_EQ(out.StreamPosition(), 1);
    EXPECT_EQ(out.StreamTransferValue(text, kValueText), kResultOk);
    EXPECT_EQ(out.StreamPosition(), 202);

    MemoryStream in;
    Load(in, Contents(out));
    uint8_t back[256];
    EXPECT_EQ(in.StreamTransferValue(back, kValueText), kResultOk);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(in.StreamTransferValue(back, kValueText), kResultOk);
    EXPECT_EQ(std::memcmp(back, text, 201), 0);

    // Cut short: the characters that are not there read as zeros.
    Load(in, {250, 'x', 'y'});
    std::memset(back, 0x55, sizeof back);
    EXPECT_EQ(in.StreamTransferValue(back, kValueText), kResultShortRead);
    EXPECT_EQ(back[2], 'y');
    for (int32_t i = 3; i <= 250; i++) ASSERT_EQ(back[i], 0) << i;
    EXPECT_EQ(back[251], 0x55);
}

TEST(MemoryStream, NestedChunksArePatchedAtTheirOwnStartsAndPadded)
{
    MemoryStream out;
    StartWriting(out);
    uint32_t formType = ChunkTagOf("QMDL");
    uint16_t word = 0xBEEF;
    uint8_t odd = 0x7A;
    ASSERT_EQ(out.StreamBeginChunk(kForm), kResultOk);
    IgnoreResult(out.StreamTransferValue(&formType, kValue32));
    ASSERT_EQ(out.StreamBeginChunk(kInner), kResultOk);
    IgnoreResult(out.StreamTransferValue(&word, kValue16));
    ASSERT_EQ(out.StreamBeginChunk(kTest), kResultOk);
    IgnoreResult(out.StreamTransferValue(&odd, kValueByte));
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    EXPECT_EQ(out.ChunkStart(), 20);  // the inner chunk is current again
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    ASSERT_EQ(out.StreamBeginChunk(kTest), kResultOk);
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    ASSERT_EQ(out.StreamEndChunk(), kResultOk);
    EXPECT_EQ(out.ChunkLength(), -1);
    EXPECT_EQ(out.StreamEndChunk(), kResultLocked);  // not inside a chunk: nothing written
    const Bytes expected = {'F', 'O', 'R', 'M', 0, 0, 0, 0x20, 'Q', 'M', 'D', 'L',
                            'I', 'N', 'N', 'R', 0, 0, 0, 0x0C, 0xBE, 0xEF,
                            'T', 'E', 'S', 'T', 0, 0, 0, 1, 0x7A, 0,
                            'T', 'E', 'S', 'T', 0, 0, 0, 0};
    EXPECT_EQ(Contents(out), expected);

    MemoryStream in;
    Load(in, expected);
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    uint32_t type = 0;
    IgnoreResult(in.StreamTransferValue(&type, kValue32));
    EXPECT_EQ(type, formType);
    std::vector<ChunkTag> tags;
    while (ChunkTag tag = in.StreamEnterChunk()) {
        tags.push_back(tag);
        IgnoreResult(in.StreamEndChunk());  // skips what was not read, nested chunks and pad bytes included
    }
    EXPECT_EQ(tags, (std::vector<ChunkTag>{kInner, kTest}));
    EXPECT_EQ(in.ChunkLength(), 0x20);  // the FORM is still current
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);
    EXPECT_EQ(in.StreamPosition(), 40);
    EXPECT_EQ(in.ChunkLength(), -1);
    EXPECT_EQ(in.StreamEnterChunk(), 0u);
    EXPECT_EQ(in.StreamBeginChunk(kTest), kResultLocked);  // reading streams write nothing
}

TEST(MemoryStream, EnteringAtTheEndOfAChunkLeavesItCurrent)
{
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
    EXPECT_EQ(in.StreamEndChunk(), kResultOk);
    ASSERT_EQ(in.StreamEnterChunk(), kTest);
    uint8_t value = 0;
    EXPECT_EQ(in.TransferBytes(&value, 1), kResultOk);
    EXPECT_EQ(value, 9);
}

TEST(MemoryStream, ShortReadsStopAtTheChunkEnd)
{
    MemoryStream in;
    LoadInChunk(in, {1, 2, 3, 4, 5, 6});
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

    // Positions outside the data, and negative counts, read nothing.
    for (int32_t position : {15, -3, -0x7FFFFFFF}) {
        IgnoreResult(in.StreamSetPosition(position));
        EXPECT_EQ(in.TransferBytes(bytes, 4), kResultLocked);
    }
    EXPECT_EQ(in.TransferBytesAt(bytes, -1, 8), kResultOutOfRange);
    EXPECT_EQ(bytes[0], 0);

    // Outside any chunk the data's end bounds the read.
    IgnoreResult(in.StreamEndChunk());
    EXPECT_EQ(in.StreamPosition(), 14);
    EXPECT_EQ(in.TransferBytes(bytes, 4), kResultOk);
    EXPECT_EQ(in.TransferBytes(bytes, 8), kResultShortRead);
    EXPECT_EQ(in.StreamPosition(), 22);
}

TEST(MemoryStream, HostileChunkLengthsStayInsideTheirParentAndTheData)
{
    MemoryStream in;
    // A length that would wrap to a negative 32-bit number ends at the data's end.
    Load(in, {'T', 'E', 'S', 'T', 0xFF, 0xFF, 0xFF, 0xF0, 1, 2, 3, 4, 5});
    ASSERT_EQ(in.StreamEnterChunk(), kTest);
    EXPECT_EQ(in.ChunkLength(), 5);
    uint8_t bytes[16] = {0};
    EXPECT_EQ(in.TransferBytes(bytes, 16), kResultShortRead);
    EXPECT_EQ(bytes[4], 5);
    EXPECT_EQ(bytes[5], 0);
    IgnoreResult(in.StreamEndChunk());
    EXPECT_EQ(in.StreamEnterChunk(), 0u);

    // 0xFFFFFFFF must not read as "outside any chunk"; a child longer than its parent ends with
    // the parent, and the chunk behind the parent is not read into.
    Load(in, {'F', 'O', 'R', 'M', 0, 0, 0, 12, 'T', 'E', 'S', 'T', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4,
              'I', 'N', 'N', 'R', 0, 0, 0, 2, 7, 7});
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    ASSERT_EQ(in.StreamEnterChunk(), kTest);
    EXPECT_EQ(in.ChunkLength(), 4);
    EXPECT_EQ(in.TransferBytes(bytes, 8), kResultShortRead);
    EXPECT_EQ(in.StreamPosition(), 20);
    IgnoreResult(in.StreamEndChunk());
    EXPECT_EQ(in.ChunkLength(), 12);
    EXPECT_EQ(in.StreamEnterChunk(), 0u);
    IgnoreResult(in.StreamEndChunk());
    EXPECT_EQ(in.StreamEnterChunk(), kInner);

    // A tag of zero reads as the end without entering anything.
    Load(in, {'F', 'O', 'R', 'M', 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 2, 1, 2});
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    EXPECT_EQ(in.StreamEnterChunk(), 0u);
    EXPECT_EQ(in.ChunkLength(), 10);
    IgnoreResult(in.StreamEndChunk());
    EXPECT_EQ(in.ChunkLength(), -1);
}

TEST(MemoryStream, ScramblingDependsOnlyOnTheOffset)
{
    // The key table is part of the file format: these bytes must never change.
    MemoryStream out;
    StartWriting(out, true);
    uint32_t header[3] = {kForm, 12, ChunkTagOf("QMDL")};
    for (uint32_t& word : header) IgnoreResult(out.StreamTransferValue(&word, kValue32));
    uint16_t late = 0x1234;
    IgnoreResult(out.StreamTransferValueAt(&late, kValue16, 35));  // the key table wraps after entry 36
    Bytes stored = Contents(out);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 12),
              (Bytes{0x63, 0x08, 0x2F, 0x1B, 0xA7, 0xD4, 0x53, 0xC8, 0x47, 0xFC, 0xD9, 0x71}));
    EXPECT_EQ(Bytes(stored.begin() + 35, stored.end()), (Bytes{0x70, 0x86}));

    // One transfer of 1000 bytes equals 1000 transfers of one byte at their own offsets.
    Bytes plain(1000);
    for (size_t i = 0; i < plain.size(); i++) plain[i] = uint8_t(i * 7 + 3);
    MemoryStream whole, single;
    StartWriting(whole, true);
    StartWriting(single, true);
    IgnoreResult(whole.TransferBytesAt(plain.data(), 1000, 3));
    for (int32_t i = 999; i >= 0; i--) IgnoreResult(single.TransferBytesAt(&plain[size_t(i)], 1, 3 + i));
    stored = Contents(whole);
    EXPECT_EQ(stored, Contents(single));
    EXPECT_NE(Bytes(stored.begin() + 3, stored.end()), plain);

    MemoryStream in;
    Load(in, stored);
    in.StreamScrambleOn();
    Bytes back(501);
    EXPECT_EQ(in.TransferBytesAt(back.data(), 501, 400), kResultOk);
    EXPECT_EQ(back, Bytes(plain.begin() + 397, plain.begin() + 898));
}

TEST(MemoryStream, ScrambledChunksAtOddOffsetsReadBackPlain)
{
    // Back-patched lengths and pad bytes go through the filter at their own offsets.
    auto write = [](MemoryStream& s) {
        uint8_t three[3] = {1, 2, 3};
        uint32_t value = 0xCAFEF00D;
        IgnoreResult(s.TransferBytes(three, 1));
        IgnoreResult(s.StreamBeginChunk(kForm));
        IgnoreResult(s.StreamTransferValue(&value, kValue32));
        IgnoreResult(s.StreamBeginChunk(kTest));
        IgnoreResult(s.TransferBytes(three, 3));
        IgnoreResult(s.StreamEndChunk());
        IgnoreResult(s.StreamEndChunk());
    };
    MemoryStream plain, scrambled;
    StartWriting(plain);
    StartWriting(scrambled, true);
    write(plain);
    write(scrambled);
    const Bytes expected = {1, 'F', 'O', 'R', 'M', 0, 0, 0, 16, 0xCA, 0xFE, 0xF0, 0x0D,
                            'T', 'E', 'S', 'T', 0, 0, 0, 3, 1, 2, 3, 0};
    EXPECT_EQ(Contents(plain), expected);

    MemoryStream in;
    Load(in, Contents(scrambled));
    in.StreamScrambleOn();
    Bytes back(expected.size());
    EXPECT_EQ(in.TransferBytes(back.data(), int32_t(back.size())), kResultOk);
    EXPECT_EQ(back, expected);
    IgnoreResult(in.StreamSetPosition(1));
    ASSERT_EQ(in.StreamEnterChunk(), kForm);
    IgnoreResult(in.StreamEndChunk());
    EXPECT_EQ(in.StreamPosition(), 25);
}

TEST(MemoryStream, InsertAndDeleteBytesStayWithinTheData)
{
    MemoryStream s;
    Load(s, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(s.StreamInsertBytes(2, 3), kResultOk);
    Bytes after = Contents(s);
    EXPECT_EQ(Bytes(after.begin() + 5, after.end()), (Bytes{3, 4, 5, 6}));
    EXPECT_EQ(s.StreamInsertBytes(10, 1), kResultOutOfRange);
    EXPECT_EQ(s.StreamInsertBytes(0, -1), kResultOutOfRange);
    EXPECT_EQ(s.StreamDeleteBytes(2, 3), kResultOk);
    EXPECT_EQ(Contents(s), (Bytes{1, 2, 3, 4, 5, 6}));
    // Ranges reaching outside the data are cut to the part inside it.
    EXPECT_EQ(s.StreamDeleteBytes(4, 100), kResultOk);
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

TEST(MemoryStream, CopiesGrowthAndTheWaitCursor)
{
    CursorCounter counter;
    UiServices* previous = InstallUiServices(&counter);
    MemoryStream s;
    StartWriting(s);
    Bytes data(10000);
    for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t(i ^ (i >> 8));
    EXPECT_EQ(s.TransferBytes(data.data(), 10000), kResultOk);
    EXPECT_EQ(s.Buffer()->Capacity(), 12288);
    InstallUiServices(previous);
    EXPECT_EQ(counter.shapes, (std::vector<int32_t>{128}));

    MemoryStream copy;
    StartWriting(copy);
    IgnoreResult(copy.TransferBytes(data.data(), 1));
    EXPECT_EQ(s.StreamCopyTo(&copy), kResultOk);
    const Bytes copied = Contents(copy);
    EXPECT_EQ(Bytes(copied.begin() + 1, copied.end()), data);
    // Copying a stream into itself at its end would move the bytes being copied: refused.
    EXPECT_EQ(s.StreamCopyTo(&s), kResultLocked);
    IgnoreResult(s.StreamSetPosition(0));
    EXPECT_EQ(s.StreamCopyTo(&s), kResultOk);
    EXPECT_EQ(Contents(s), data);

    // A direction that is neither reading nor writing moves nothing and answers 0, for raw
    // bytes, values and texts alike; the caller's bytes stay as they were.
    MemoryStream odd;
    odd.StreamInit(7);
    const Bytes before = data;
    EXPECT_EQ(odd.TransferBytes(data.data(), 4), kResultOk);
    uint32_t value = 0x12345678;
    EXPECT_EQ(odd.StreamTransferValue(&value, kValue32), kResultOk);
    EXPECT_EQ(value, 0x12345678u);
    uint8_t text[] = {3, 'a', 'b', 'c'};
    EXPECT_EQ(odd.StreamTransferValue(text, kValueText), kResultOk);
    EXPECT_EQ(Bytes(text, text + 4), (Bytes{3, 'a', 'b', 'c'}));
    EXPECT_EQ(data, before);
    EXPECT_EQ(odd.StreamPosition(), 0);
    int32_t size = -1;
    IgnoreResult(odd.StreamSize(&size));
    EXPECT_EQ(size, 0);
}
