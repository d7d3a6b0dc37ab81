// The file stream: transfers in 260-byte pieces through the scrambling filter, positions that
// stay in step with the file after short transfers, moving a file's tail, opening, copying,
// renaming and removing files. The files lie in the test's working directory.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "file_test_support.h"

namespace {

// Records the size of every piece that reaches the C runtime; can cut writes short.
class RecordingFile : public DiskFileStream {
public:
    int32_t FileRead(void* address, int32_t elementSize, int32_t count) override
    {
        reads.push_back(count);
        return DiskFileStream::FileRead(address, elementSize, count);
    }
    int32_t FileWrite(const void* address, int32_t elementSize, int32_t count) override
    {
        writes.push_back(count);
        if (writeLimit >= 0 && count > writeLimit) count = writeLimit;
        int32_t written = DiskFileStream::FileWrite(address, elementSize, count);
        if (writeLimit >= 0) writeLimit -= written;
        return written;
    }
    std::vector<int32_t> reads;
    std::vector<int32_t> writes;
    int32_t writeLimit = -1;
};

std::string Pattern(int32_t count, int32_t seed)
{
    std::string bytes;
    for (int32_t i = 0; i < count; ++i) bytes.push_back(char((i * 7 + seed) & 0xFF));
    return bytes;
}

class DiskFile : public ::testing::Test {
protected:
    DiskFile() : limits_(255, 255) {}
    ~DiskFile() override
    {
        for (const std::string& name : names_) std::remove(name.c_str());
    }

    // A file object naming `name` in the working directory, set to the direction.
    template <class T = DiskFileStream>
    Owned<T> Named(const std::string& name, int32_t direction)
    {
        names_.push_back(name);
        Owned<T> file(new T);
        IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
        IgnoreResult(file->SetFileFromPath(name.c_str()));
        IgnoreResult(file->StreamSetDirection(direction));
        return file;
    }

private:
    ScopedVolumeLimits limits_;
    std::vector<std::string> names_;
};

}  // namespace

TEST_F(DiskFile, PiecewiseScrambledTransferMatchesTheMemoryStream)
{
    const std::string head = Pattern(7, 3);
    const std::string data = Pattern(1000, 11);
    auto file = Named<RecordingFile>("qp_pieces.bin", kStreamWriting);
    ASSERT_EQ(file->FileOpenStream(), 0);
    file->StreamScrambleOn();
    ASSERT_EQ(file->TransferBytes(const_cast<char*>(head.data()), 7), 0);
    ASSERT_EQ(file->TransferBytes(const_cast<char*>(data.data()), 1000), 0);
    EXPECT_EQ(file->writes, (std::vector<int32_t>{7, 260, 260, 260, 220}));
    EXPECT_EQ(file->StreamPosition(), 1007);
    ASSERT_EQ(file->FileCloseStream(), 0);

    Owned<MemoryStream> memory(new MemoryStream);
    memory->StreamInit(kStreamWriting);
    memory->StreamScrambleOn();
    IgnoreResult(memory->TransferBytes(const_cast<char*>(head.data()), 7));
    IgnoreResult(memory->TransferBytes(const_cast<char*>(data.data()), 1000));
    const std::string stored = ReadWholeFile("qp_pieces.bin");
    EXPECT_EQ(stored, StreamBytes(memory.get()));
    EXPECT_NE(stored.substr(7), data);

    // Read back through the filter from an odd offset, in the same pieces.
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    ASSERT_EQ(file->FileOpenStream(), 0);
    std::string back(1000, '\0');
    ASSERT_EQ(file->TransferBytesAt(&back[0], 1000, 7), 0);
    EXPECT_EQ(back, data);
    EXPECT_EQ(file->reads, (std::vector<int32_t>{260, 260, 260, 220}));
    char one = 0;
    ASSERT_EQ(file->TransferBytesAt(&one, 1, 500), 0);
    EXPECT_EQ(one, data[493]);
}

TEST_F(DiskFile, ChunksOnAFileAreTheMemoryStreamsChunks)
{
    auto write = [](MemoryStream* stream) {
        uint32_t form = ChunkTagOf("QMDL");
        uint16_t small = 0x1234;
        uint8_t odd[3] = {1, 2, 3};
        IgnoreResult(stream->StreamBeginChunk(ChunkTagOf("FORM")));
        IgnoreResult(stream->StreamTransferValue(&form, kValue32));
        IgnoreResult(stream->StreamBeginChunk(ChunkTagOf("ODD ")));
        IgnoreResult(stream->TransferBytes(odd, 3));
        IgnoreResult(stream->StreamEndChunk());
        IgnoreResult(stream->StreamBeginChunk(ChunkTagOf("VAL ")));
        IgnoreResult(stream->StreamTransferValue(&small, kValue16));
        IgnoreResult(stream->StreamEndChunk());
        IgnoreResult(stream->StreamEndChunk());
    };
    for (int scrambled = 0; scrambled < 2; ++scrambled) {
        auto file = Named("qp_chunks.bin", kStreamWriting);
        ASSERT_EQ(file->FileOpenStream(), 0);
        Owned<MemoryStream> memory(new MemoryStream);
        memory->StreamInit(kStreamWriting);
        if (scrambled) {
            file->StreamScrambleOn();
            memory->StreamScrambleOn();
        }
        write(file.get());
        write(memory.get());
        ASSERT_EQ(file->FileCloseStream(), 0);
        EXPECT_EQ(ReadWholeFile("qp_chunks.bin"), StreamBytes(memory.get())) << scrambled;

        IgnoreResult(file->StreamSetDirection(kStreamReading));
        ASSERT_EQ(file->FileOpenStream(), 0);
        uint32_t form = 0;
        uint16_t value = 0;
        EXPECT_EQ(file->StreamEnterChunk(), ChunkTagOf("FORM"));
        IgnoreResult(file->StreamTransferValue(&form, kValue32));
        EXPECT_EQ(form, ChunkTagOf("QMDL"));
        EXPECT_EQ(file->StreamEnterChunk(), ChunkTagOf("ODD "));
        IgnoreResult(file->StreamEndChunk());
        EXPECT_EQ(file->StreamEnterChunk(), ChunkTagOf("VAL "));
        EXPECT_EQ(file->StreamTransferValue(&value, kValue16), 0);
        EXPECT_EQ(value, 0x1234);
        // Cut short by the chunk's end, the stream stays where it is and the file with it.
        EXPECT_EQ(file->StreamTransferValue(&value, kValue16), kResultShortRead);
        EXPECT_EQ(file->StreamPosition(), 34);
        IgnoreResult(file->StreamEndChunk());
        EXPECT_EQ(file->StreamEnterChunk(), 0u);
        IgnoreResult(file->StreamEndChunk());
        EXPECT_EQ(file->StreamPosition(), 34);
        ASSERT_EQ(file->StreamSetPosition(32), 0);
        value = 0;
        EXPECT_EQ(file->StreamTransferValue(&value, kValue16), 0);
        EXPECT_EQ(value, 0x1234);
    }
}

TEST_F(DiskFile, ShortTransfersKeepThePositionInStep)
{
    // "ABCD" chunk of 4 bytes, then "NEXT" holding 2 bytes, 22 bytes in all.
    WriteWholeFile("qp_short.bin", std::string("ABCD\0\0\0\x04wxyzNEXT\0\0\0\x02pq", 22));
    auto file = Named("qp_short.bin", kStreamReading);
    ASSERT_EQ(file->FileOpenStream(), 0);
    ASSERT_EQ(file->StreamEnterChunk(), ChunkTagOf("ABCD"));
    char buffer[10] = "---------";
    EXPECT_EQ(file->TransferBytes(buffer, 2), 0);
    EXPECT_EQ(file->TransferBytes(buffer, 6), 1);  // only two bytes are left in the chunk
    EXPECT_EQ(std::string(buffer, 9), "yz-------");
    EXPECT_EQ(file->StreamPosition(), 10);  // a short read moves nothing on
    EXPECT_EQ(file->TransferBytes(buffer + 2, 2), 0);
    EXPECT_EQ(std::string(buffer, 9), "yzyz-----");
    EXPECT_EQ(file->StreamPosition(), 12);
    EXPECT_EQ(file->TransferBytes(buffer, 1), 1);
    EXPECT_EQ(file->StreamPosition(), 12);
    IgnoreResult(file->StreamEndChunk());
    ASSERT_EQ(file->StreamEnterChunk(), ChunkTagOf("NEXT"));
    EXPECT_EQ(file->TransferBytes(buffer, 2), 0);
    EXPECT_EQ(std::string(buffer, 2), "pq");
    IgnoreResult(file->StreamEndChunk());

    // At the end of the file a read keeps what is there and answers 1; the stream and the file
    // stay where they were.
    ASSERT_EQ(file->StreamSetPosition(19), 0);
    EXPECT_EQ(file->TransferBytes(buffer, 8), 1);
    EXPECT_EQ(std::string(buffer, 3), "\x02pq");
    EXPECT_EQ(file->StreamPosition(), 19);
    std::memset(buffer, '-', 3);
    EXPECT_EQ(file->TransferBytes(buffer, 3), 0);
    EXPECT_EQ(std::string(buffer, 3), "\x02pq");
    EXPECT_EQ(file->TransferBytes(buffer, 8), 1);
    EXPECT_EQ(file->StreamPosition(), 22);
    IgnoreResult(file->StreamSetDirection(kStreamWriting));
    EXPECT_EQ(file->TransferBytes(const_cast<char*>("!!"), 2), 0);
    EXPECT_EQ(file->StreamSetPosition(-1), -1);
    EXPECT_EQ(file->StreamPosition(), 24);
    EXPECT_EQ(file->TransferBytes(buffer, -1), -2);
    ASSERT_EQ(file->FileCloseStream(), 0);
    EXPECT_EQ(ReadWholeFile("qp_short.bin"), std::string("ABCD\0\0\0\x04wxyzNEXT\0\0\0\x02pq!!", 24));

    // A write cut short answers 1 and leaves the position where it was: the next write goes there.
    auto cut = Named<RecordingFile>("qp_cut.bin", kStreamWriting);
    ASSERT_EQ(cut->FileOpenStream(), 0);
    cut->writeLimit = 300;
    std::string data = Pattern(600, 1);
    EXPECT_EQ(cut->TransferBytes(&data[0], 600), 1);
    EXPECT_EQ(cut->StreamPosition(), 0);
    cut->writeLimit = -1;
    EXPECT_EQ(cut->TransferBytes(const_cast<char*>("END"), 3), 0);
    EXPECT_EQ(cut->StreamPosition(), 3);
    int32_t size = 0;
    EXPECT_EQ(cut->StreamSize(&size), 0);
    EXPECT_EQ(size, 300);
    ASSERT_EQ(cut->FileCloseStream(), 0);
    EXPECT_EQ(ReadWholeFile("qp_cut.bin"), "END" + data.substr(3, 297));
}

TEST_F(DiskFile, InsertingAndDeletingMoveTheTail)
{
    auto file = Named("qp_move.bin", kStreamWriting);
    auto reset = [&](const std::string& bytes) {
        IgnoreResult(file->FileCloseStream());
        WriteWholeFile("qp_move.bin", bytes);
        IgnoreResult(file->StreamSetDirection(kStreamReading));
        ASSERT_EQ(file->FileOpenStream(), 0);
    };
    reset("0123456789");
    EXPECT_EQ(file->StreamInsertBytes(2, 3), 0);
    IgnoreResult(file->FileCloseStream());
    EXPECT_EQ(ReadWholeFile("qp_move.bin"), "0123423456789");

    reset("0123456789");
    EXPECT_EQ(file->StreamInsertBytes(8, 5), 0);  // more than the tail
    EXPECT_EQ(file->StreamInsertBytes(15, 5), 0);  // at the end: nothing
    EXPECT_EQ(file->StreamInsertBytes(16, 1), -2);
    EXPECT_EQ(file->StreamInsertBytes(-1, 1), -2);
    IgnoreResult(file->FileCloseStream());
    EXPECT_EQ(ReadWholeFile("qp_move.bin"), std::string("0123456789\0\0\00089", 15));

    reset("0123456789");
    EXPECT_EQ(file->StreamDeleteBytes(2, 3), 0);
    EXPECT_EQ(file->StreamDeleteBytes(8, 2), 0);   // the last bytes: a file never shrinks
    EXPECT_EQ(file->StreamDeleteBytes(9, 50), 0);  // clamped to the end
    IgnoreResult(file->FileCloseStream());
    EXPECT_EQ(ReadWholeFile("qp_move.bin"), "0156789789");

    // Scrambled bytes move with their meaning; the position stays where it was.
    IgnoreResult(file->FileCloseStream());
    IgnoreResult(file->StreamSetDirection(kStreamWriting));
    ASSERT_EQ(file->FileOpenStream(), 0);
    file->StreamScrambleOn();
    std::string data = Pattern(700, 5);
    ASSERT_EQ(file->TransferBytes(&data[0], 700), 0);
    ASSERT_EQ(file->StreamSetPosition(4), 0);
    EXPECT_EQ(file->StreamInsertBytes(100, 300), 0);
    EXPECT_EQ(file->StreamPosition(), 4);
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    std::string back(1000, '\0');
    EXPECT_EQ(file->TransferBytes(&back[4], 996), 0);
    EXPECT_EQ(back.substr(4, 96), data.substr(4, 96));
    EXPECT_EQ(back.substr(400, 600), data.substr(100, 600));
    EXPECT_EQ(file->StreamDeleteBytes(100, 300), 0);
    ASSERT_EQ(file->StreamSetPosition(0), 0);
    EXPECT_EQ(file->TransferBytes(&back[0], 700), 0);
    EXPECT_EQ(back.substr(0, 700), data);

    int32_t size = 0;
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(file->StreamSetSize(10), 1);
    int32_t after = 0;
    EXPECT_EQ(file->StreamSize(&after), 0);
    EXPECT_EQ(after, size);
    EXPECT_EQ(size, 1000);
}

TEST_F(DiskFile, SizeFollowsEveryWriteAndReadsGoOnAfterSeeksInPlace)
{
    auto file = Named("qp_size.bin", kStreamWriting);
    ASSERT_EQ(file->FileOpenStream(), 0);
    int32_t size = -1;
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 0);
    std::string data = Pattern(300, 3);
    ASSERT_EQ(file->TransferBytes(&data[0], 300), 0);
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 300);
    EXPECT_EQ(file->StreamInsertBytes(100, 40), 0);
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 340);
    ASSERT_EQ(file->StreamSetPosition(340), 0);
    ASSERT_EQ(file->TransferBytes(&data[0], 10), 0);
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 350);

    // Reading: the position set where it already is, and elsewhere, between transfers.
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    ASSERT_EQ(file->StreamSetPosition(0), 0);
    std::string back(100, '\0');
    ASSERT_EQ(file->TransferBytes(&back[0], 60), 0);
    ASSERT_EQ(file->StreamSetPosition(60), 0);
    ASSERT_EQ(file->TransferBytes(&back[60], 40), 0);
    EXPECT_EQ(back, data.substr(0, 100));
    ASSERT_EQ(file->StreamSetPosition(140), 0);
    ASSERT_EQ(file->TransferBytes(&back[0], 10), 0);
    EXPECT_EQ(back.substr(0, 10), data.substr(100, 10));
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 350);
    // Written meanwhile through another stream: outside a chunk the size is the file's new one.
    std::FILE* other = std::fopen("qp_size.bin", "ab");
    ASSERT_NE(other, nullptr);
    std::fputs("0123456789", other);
    std::fclose(other);
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 360);
    IgnoreResult(file->FileCloseStream());
    IgnoreResult(file->StreamSetDirection(kStreamWriting));
    ASSERT_EQ(file->FileOpenStream(), 0);  // emptied
    EXPECT_EQ(file->StreamSize(&size), 0);
    EXPECT_EQ(size, 0);
}

TEST_F(DiskFile, OpeningAndClosing)
{
    CapturedAlerts alerts;
    auto missing = Named("qp_missing.bin", kStreamReading);
    EXPECT_EQ(missing->FileOpenStream(), 1);
    EXPECT_EQ(missing->FileIsOpen(), 0);
    EXPECT_EQ(missing->FileExists(), -1);
    char byte = 0;
    EXPECT_EQ(missing->TransferBytes(&byte, 1), -1);
    int32_t size = 5;
    EXPECT_EQ(missing->StreamSize(&size), -1);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(missing->FileCloseStream(), -1);

    auto file = Named("qp_open.bin", kStreamWriting);
    ASSERT_EQ(file->FileOpenStream(), 0);
    EXPECT_EQ(file->FileIsOpen(), 1);
    EXPECT_EQ(file->FileIsReadOnly(), 0);
    EXPECT_EQ(file->FileOpenStream(), 1);
    EXPECT_EQ(alerts.texts, std::vector<std::string>{"This file is already open!"});
    FileStatus status{};
    EXPECT_EQ(file->FileStat(&status), 0);
    EXPECT_EQ(status.writable, 1);
    EXPECT_LT(uint32_t(std::time(nullptr)) - status.modifiedTime, 3600u);
    EXPECT_EQ(file->FileCloseStream(), 0);
    EXPECT_EQ(file->FileIsNamed(), 1);
    EXPECT_EQ(file->FileStat(&status), -1);
    EXPECT_EQ(file->FileExists(), 0);

    // Unnamed objects name no file.
    auto unnamed = MakeFile(kFileRead);
    EXPECT_EQ(unnamed->FileExists(), -1);
}

TEST_F(DiskFile, CopyingRenamingAndRemoving)
{
    const std::string data = Pattern(2500, 9);
    WriteWholeFile("qp_source.bin", data);
    auto source = Named("qp_source.bin", kStreamWriting);
    auto target = Named("qp_target.bin", kStreamReading);
    EXPECT_EQ(target->FileCopyFrom(source.get()), 0);
    EXPECT_EQ(ReadWholeFile("qp_target.bin"), data);
    EXPECT_EQ(source->StreamIsWriting(), 1);  // the source's direction is restored
    EXPECT_EQ(source->FileIsOpen(), 0);
    EXPECT_EQ(target->FileIsOpen(), 0);

    // Copying a file onto itself is refused and leaves it whole.
    auto same = Named("QP_SOURCE.bin", kStreamReading);
    EXPECT_EQ(same->FileCopyFrom(source.get()), -1);
    EXPECT_EQ(source->FileCopyFrom(source.get()), -1);
    EXPECT_EQ(ReadWholeFile("qp_source.bin"), data);

    // A missing source leaves the destination alone.
    auto missing = Named("qp_nosource.bin", kStreamReading);
    EXPECT_EQ(target->FileCopyFrom(missing.get()), 1);
    EXPECT_EQ(ReadWholeFile("qp_target.bin"), data);

    // Renaming: the object names the renamed file, split by the extension rule.
    Named("qp_renamed.text", kStreamReading);
    EXPECT_EQ(target->FileRename("qp_renamed.text"), 0);
    EXPECT_STREQ(target->Name(), "qp_renamed.text");
    EXPECT_EQ(target->Flags() & kFileHasExtension, 0u);
    EXPECT_EQ(ReadWholeFile("qp_renamed.text"), data);
    EXPECT_EQ(ReadWholeFile("qp_target.bin"), "<missing>");
    Named("qp_back.bin", kStreamReading);
    EXPECT_EQ(target->FileRename("qp_back.bin"), 0);
    EXPECT_STREQ(target->Name(), "qp_back");
    EXPECT_STREQ(target->Extension(), "bin");
    EXPECT_EQ(target->FileRename("sub\\x.bin"), -1);
    EXPECT_EQ(target->FileRename(""), -1);
    EXPECT_EQ(target->FileExists(), 0);

    EXPECT_EQ(target->FileRemove(), 0);
    EXPECT_EQ(target->FileExists(), -1);
    EXPECT_EQ(target->FileRemove(), -1);
}
