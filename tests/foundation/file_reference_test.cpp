// FPTH chunks: the exact bytes of a stored file reference, and hostile references that fail
// cleanly, leaving the file object named by its bare name.
#include <gtest/gtest.h>

#include <string>

#include "file_test_support.h"

namespace {

std::string Chunk(const std::string& tag, const std::string& body)
{
    std::string bytes = tag;
    uint32_t length = uint32_t(body.size());
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(char(length >> shift));
    bytes += body;
    if (body.size() & 1) bytes.push_back('\0');
    return bytes;
}

std::string Text(const std::string& text)
{
    return std::string(1, char(text.size())) + text;
}

std::string Word(int32_t value)
{
    return {char(value >> 8), char(value)};
}

Owned<MemoryStream> ReadingStream(const std::string& bytes)
{
    Owned<MemoryStream> stream(new MemoryStream);
    stream->StreamInit(kStreamWriting);
    IgnoreResult(stream->TransferBytes(const_cast<char*>(bytes.data()), int32_t(bytes.size())));
    IgnoreResult(stream->StreamSetDirection(kStreamReading));
    IgnoreResult(stream->StreamSetPosition(0));
    return stream;
}

class FileReference : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = MakeFile(kFileReference);
        base = MakeFile(kFileReference);
        IgnoreResult(base->SetFileFromPath("Q:\\MODELS\\HOUSE.QPY"));
    }

    // Reads the bytes as a reference with the base set; the file object starts named KEEP.ME.
    ResultCode Read(const std::string& bytes)
    {
        IgnoreResult(file->SetFileFromPath("Q:\\OLD\\KEEP.ME"));
        file->SetFileAttribute(base.get());
        auto stream = ReadingStream(bytes);
        ResultCode result = file->Write(stream.get());
        position = stream->StreamPosition();
        return result;
    }

    std::string NameAndDirectory() const
    {
        char name[kPathLength];
        file->FileNameWithExtension(name);
        return std::string(file->Directory()) + "|" + name;
    }

    Owned<DiskFileStream> file;
    Owned<DiskFileStream> base;
    int32_t position = 0;
};

}  // namespace

TEST_F(FileReference, WrittenBytesWithAndWithoutABase)
{
    IgnoreResult(file->SetFileFromPath("C:\\MODELS\\TEX\\WOOD.BMP"));
    IgnoreResult(base->SetFileFromPath("C:\\MODELS\\HOUSE.QPY"));
    Owned<MemoryStream> stream(new MemoryStream);
    stream->StreamInit(kStreamWriting);
    ASSERT_EQ(file->Write(stream.get()), 0);
    std::string absolute = Text("WOOD.BMP") + Word(3) + Text("TEX") + Text("MODELS") + Text("C");
    EXPECT_EQ(StreamBytes(stream.get()), Chunk("FPTH", absolute + Word(0)));

    file->SetFileAttribute(base.get());
    IgnoreResult(stream->StreamSetPosition(0));
    IgnoreResult(stream->StreamSetSize(0));
    ASSERT_EQ(file->Write(stream.get()), 0);
    EXPECT_EQ(StreamBytes(stream.get()), Chunk("FPTH", absolute + Word(0) + Word(1) + Text("TEX")));

    // Named with "/", alone or mixed with "\", the same file and base are stored alike.
    IgnoreResult(file->SetFileFromPath("C:/MODELS/TEX/WOOD.BMP"));
    IgnoreResult(base->SetFileFromPath("C:/MODELS\\HOUSE.QPY"));
    IgnoreResult(stream->StreamSetPosition(0));
    IgnoreResult(stream->StreamSetSize(0));
    ASSERT_EQ(file->Write(stream.get()), 0);
    EXPECT_EQ(StreamBytes(stream.get()), Chunk("FPTH", absolute + Word(0) + Word(1) + Text("TEX")));

    // A base deeper than the file: ups counts the base's own directories.
    IgnoreResult(base->SetFileFromPath("C:\\MODELS\\HOUSE\\ROOMS\\A.QPY"));
    IgnoreResult(stream->StreamSetPosition(0));
    IgnoreResult(stream->StreamSetSize(0));
    ASSERT_EQ(file->Write(stream.get()), 0);
    EXPECT_EQ(StreamBytes(stream.get()), Chunk("FPTH", absolute + Word(2) + Word(1) + Text("TEX")));

    // Components differ by case: nothing is shared below the drive.
    IgnoreResult(base->SetFileFromPath("C:\\Models\\A.QPY"));
    IgnoreResult(stream->StreamSetPosition(0));
    IgnoreResult(stream->StreamSetSize(0));
    ASSERT_EQ(file->Write(stream.get()), 0);
    EXPECT_EQ(StreamBytes(stream.get()),
              Chunk("FPTH", absolute + Word(1) + Word(2) + Text("TEX") + Text("MODELS")));

    // A file without extension is stored with its point; an odd body gets its pad byte.
    IgnoreResult(file->SetFileFromPath("C:\\XY\\AB"));
    file->SetFileAttribute(nullptr);
    IgnoreResult(stream->StreamSetPosition(0));
    IgnoreResult(stream->StreamSetSize(0));
    ASSERT_EQ(file->Write(stream.get()), 0);
    EXPECT_EQ(StreamBytes(stream.get()), Chunk("FPTH", Text("AB.") + Word(2) + Text("XY") + Text("C") + Word(0)));
    EXPECT_EQ(StreamBytes(stream.get()).size(), 8u + 13u + 1u);
}

TEST_F(FileReference, FoundNowhereGivesTheBareName)
{
    std::string body = Text("WOOD.BMP") + Word(3) + Text("TEX") + Text("MODELS") + Text("Q") + Word(0) + Word(1) +
                       Text("TEX");
    std::string bytes = Chunk("NAME", "xyz") + Chunk("FPTH", body) + Chunk("NEXT", "");
    EXPECT_EQ(Read(bytes), -1);
    EXPECT_EQ(NameAndDirectory(), "|WOOD.BMP");
    EXPECT_EQ(file->Kind(), kFileReference);
    EXPECT_EQ(file->FileGetType(), 0x424D5000u);
    // Reading stopped behind the FPTH chunk.
    EXPECT_EQ(position, int32_t(Chunk("NAME", "xyz").size() + Chunk("FPTH", body).size()));

    // Without any FPTH chunk nothing is named.
    EXPECT_EQ(Read(Chunk("NAME", "xyz")), -1);
    EXPECT_EQ(NameAndDirectory(), "Q:\\OLD\\|KEEP.ME");
}

TEST_F(FileReference, HostileFieldsFailCleanly)
{
    const std::string name = Text("WOOD.BMP");
    const std::string tail = Word(0) + Word(1) + Text("TEX");
    const std::string comps = Text("TEX") + Text("MODELS") + Text("Q");
    struct Case {
        const char* what;
        std::string body;
        const char* named;  // directory|name.ext afterwards
    };
    const Case cases[] = {
        {"negative count", name + Word(-1) + comps + tail, "|WOOD.BMP"},
        {"huge count", name + Word(0x7FFF) + comps + tail, "|WOOD.BMP"},
        {"count past the chunk", name + Word(9) + comps, "|WOOD.BMP"},
        {"empty component", name + Word(3) + Text("TEX") + Text("") + Text("Q") + tail, "|WOOD.BMP"},
        {"component past the chunk", name + Word(1) + std::string(1, char(0xFF)) + "ABC", "|WOOD.BMP"},
        {"negative ups", name + Word(3) + comps + Word(-2) + Word(1) + Text("TEX"), "|WOOD.BMP"},
        {"ups beyond the base", name + Word(3) + comps + Word(3) + Word(1) + Text("TEX"), "|WOOD.BMP"},
        {"negative relative count", name + Word(3) + comps + Word(0) + Word(-1), "|WOOD.BMP"},
        {"huge relative count", name + Word(3) + comps + Word(0) + Word(0x7FFF) + Text("TEX"), "|WOOD.BMP"},
        {"missing ups", name + Word(3) + comps, "|WOOD.BMP"},
        {"overlong path", name + Word(3) + Text(std::string(200, 'a')) + Text(std::string(200, 'b')) + Text("Q") + tail,
         "|WOOD.BMP"},
        {"empty name", Text("") + Word(3) + comps + tail, "Q:\\OLD\\|KEEP.ME"},
        {"name with a directory", Text("..\\..\\WOOD.BMP") + Word(3) + comps + tail, "Q:\\OLD\\|KEEP.ME"},
        {"name with a zero byte", Text(std::string("WO\0D.BMP", 8)) + Word(3) + comps + tail, "Q:\\OLD\\|KEEP.ME"},
        {"name past the chunk", std::string(1, char(0xC8)) + "WOOD", "Q:\\OLD\\|KEEP.ME"},
        {"nothing at all", "", "Q:\\OLD\\|KEEP.ME"},
    };
    for (const Case& c : cases) {
        std::string bytes = Chunk("FPTH", c.body) + Chunk("NEXT", "ab");
        EXPECT_EQ(Read(bytes), -1) << c.what;
        EXPECT_EQ(NameAndDirectory(), c.named) << c.what;
        EXPECT_EQ(position, int32_t(Chunk("FPTH", c.body).size())) << c.what;
    }

    // A length that claims far more than the data holds ends at the data's end.
    std::string lying = "FPTH" + std::string("\xFF\xFF\xFF\xF0", 4) + name + Word(3) + comps;
    EXPECT_EQ(Read(lying), -1);
    EXPECT_EQ(NameAndDirectory(), "|WOOD.BMP");
}
