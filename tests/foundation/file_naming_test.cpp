// The naming side of the file object: set-up, names cut to the limits, paths split and put
// together again, type filters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "file_test_support.h"

namespace {

constexpr uint32_t kTypeQPY = 0x51505900;
constexpr uint32_t kTypeTRK = 0x54524B00;

std::string FilterText(const DiskFileStream& file)
{
    DynamicArray* filters = file.FilterTexts();
    return std::string(static_cast<const char*>(filters->ArrayData()), size_t(filters->ArrayCount()));
}

}  // namespace

TEST(FileNaming, SetUpFromKindCodesFilterAndTitle)
{
    Owned<DiskFileStream> file(new DiskFileStream);
    EXPECT_EQ(file->FileObjectInit(kFileOpenDialog | kFileDialogOption, kTypeQPY, 0x51506C79,
                                   "Tamrix Player (*.QPY)|*.QPY|", "Open"),
              kResultOk);
    EXPECT_EQ(file->Kind(), 6);
    EXPECT_EQ(file->DialogOption(), 1);
    EXPECT_STREQ(file->Title(), "Open");
    EXPECT_STREQ(file->Name(), "Untitled");
    EXPECT_EQ(file->FileIsNamed(), 0);
    EXPECT_EQ(NameWithExtension(*file), "");  // no name given yet
    EXPECT_STREQ(file->Extension(), "QPY");
    EXPECT_STREQ(file->DefaultExtension(), "QPY");
    EXPECT_EQ(file->Flags(), kFileHasExtension);
    EXPECT_EQ(file->FileGetType(), kTypeQPY);
    EXPECT_EQ(file->CreatorCode(), 0x51506C79u);
    EXPECT_EQ(file->StreamIsWriting(), 0);
    EXPECT_EQ(file->StreamKind(), 2);
    EXPECT_EQ(file->StreamQuery(), 0);
    EXPECT_EQ(FilterText(*file), std::string("Tamrix Player (*.QPY)|*.QPY|\0", 29));
    EXPECT_EQ(file->FirstFilterLength(), 28);

    // Later filters go behind the first one; the extension stays.
    file->FileAddTypeFilter(kTypeTRK, "Trekkon (*.TRK)|*.TRK|");
    EXPECT_EQ(FilterText(*file), std::string("Tamrix Player (*.QPY)|*.QPY|Trekkon (*.TRK)|*.TRK|\0", 51));
    EXPECT_EQ(file->FirstFilterLength(), 28);
    EXPECT_STREQ(file->Extension(), "QPY");

    // Writing kinds write; a four-character type keeps three characters as the extension.
    for (int32_t kind : {1, 2, 3, 4, 12}) {
        EXPECT_EQ(MakeFile(kind, 0x3F3F3F3F)->StreamIsWriting(), 1) << kind;
    }
    auto untyped = MakeFile(kFileReference);
    EXPECT_STREQ(untyped->Extension(), "");
    EXPECT_EQ(untyped->Flags(), 0u);
    EXPECT_STREQ(MakeFile(kFileWrite, 0x3F3F3F3F)->Extension(), "???");
    untyped->FileAddTypeFilter(kTypeTRK, "Trekkon (*.TRK)|*.TRK|");
    EXPECT_STREQ(untyped->Extension(), "TRK");
    EXPECT_EQ(FilterText(*untyped), std::string("Trekkon (*.TRK)|*.TRK|\0", 23));
}

TEST(FileNaming, NamesAreCutToTheLimits)
{
    auto file = MakeFile(kFileReference);
    file->FileSetName("LONGFILENAME");  // start-up limits: 8 and 3
    EXPECT_STREQ(file->Name(), "LONGFILE");
    EXPECT_EQ(file->FileIsNamed(), 1);
    EXPECT_EQ(file->Flags() & kFileHasName, kFileHasName);
    file->FileSetName("A.TXT");
    EXPECT_STREQ(file->Name(), "A");
    file->FileSetName("ARCHIVE.TEXT");
    EXPECT_STREQ(file->Name(), "ARCHIVE.");

    // A volume that allows longer names than the field holds is clamped to the field.
    ScopedVolumeLimits limits(100000);
    std::string longName(300, 'N');
    file->FileSetName(longName.c_str());
    EXPECT_EQ(std::strlen(file->Name()), 255u);
    char name[kFileNameField];
    file->FileGetName(name);
    EXPECT_EQ(std::strlen(name), 255u);
}

TEST(FileNaming, AppendingToTheName)
{
    ScopedVolumeLimits limits(8);
    auto file = MakeFile(kFileReference);
    file->FileAppendToName("1");
    EXPECT_STREQ(file->Name(), "Untitled");  // no name given yet: nothing happens
    file->FileSetName("AB");
    file->FileAppendToName("123");
    EXPECT_STREQ(file->Name(), "AB123");
    file->FileAppendToName("1234");  // longer than an extension: ignored
    file->FileAppendToName("");
    EXPECT_STREQ(file->Name(), "AB123");
    file->FileAppendToName("XYZ");  // would reach 8: replaces the last characters
    EXPECT_STREQ(file->Name(), "ABXYZ");
    file->FileSetName("ABCDEFGH");
    file->FileAppendToName("9");
    EXPECT_STREQ(file->Name(), "ABCDEFG9");
}

TEST(FileNaming, FullPathsSplitAndJoined)
{
    ScopedVolumeLimits limits(255, 255);
    auto file = MakeFile(kFileSaveDialog);
    ASSERT_EQ(file->SetFileFromPath("C:\\DIR\\FILE.TXT"), 0);
    EXPECT_EQ(file->Kind(), kFileFromPath);
    EXPECT_EQ(file->StreamIsWriting(), 0);
    EXPECT_STREQ(file->Directory(), "C:\\DIR\\");
    EXPECT_STREQ(file->Name(), "FILE");
    EXPECT_STREQ(file->Extension(), "TXT");
    char path[kPathLength];
    EXPECT_EQ(file->FileFullPath(path), 0);
    EXPECT_STREQ(path, "C:\\DIR\\FILE.TXT");
    EXPECT_EQ(NameWithExtension(*file), "FILE.TXT");
    EXPECT_EQ(file->FileHasPath("C:\\DIR\\FILE.TXT"), 1);
    EXPECT_EQ(file->FileHasPath("C:\\DIR\\FILE.TX"), 0);

    IgnoreResult(file->SetFileFromPath("C:\\DIR\\ARCHIVE.TEXT"));
    EXPECT_STREQ(file->Name(), "ARCHIVE.TEXT");
    EXPECT_EQ(file->Flags() & kFileHasExtension, 0u);
    EXPECT_EQ(NameWithExtension(*file), "ARCHIVE.TEXT");

    IgnoreResult(file->SetFileFromPath("C:\\A.B\\FILE"));
    EXPECT_STREQ(file->Directory(), "C:\\A.B\\");
    EXPECT_STREQ(file->Name(), "FILE");
    EXPECT_EQ(file->Flags() & kFileHasExtension, 0u);

    // A path named with "/" keeps its form and splits as with "\".
    ASSERT_EQ(file->SetFileFromPath("/home/me/models/gallery.qpy"), 0);
    EXPECT_STREQ(file->Directory(), "/home/me/models/");
    EXPECT_EQ(NameWithExtension(*file), "gallery.qpy");
    EXPECT_EQ(file->FileFullPath(path), 0);
    EXPECT_STREQ(path, "/home/me/models/gallery.qpy");
    file->SetDirectory("D:/TEX/");
    EXPECT_STREQ(file->Directory(), "D:/TEX/");

    // Without an extension the record still ends in a point, with extension length 1, and
    // reading the record back gives the file without an extension again.
    IgnoreResult(file->SetFileFromPath("C:\\DIR\\NAME."));
    EXPECT_STREQ(file->Name(), "NAME");
    PathRecord record;
    ASSERT_EQ(file->GetPathRecord(&record), 0);
    EXPECT_STREQ(record.text, "C:\\DIR\\NAME.");
    EXPECT_EQ(record.extensionLength, 1);
    EXPECT_EQ(record.fileNameLength, 5);
    EXPECT_EQ(record.pointOffset, 11);
    auto copy = MakeFile(kFileReference);
    ASSERT_EQ(copy->SetFileFromPathRecord(&record), 0);
    EXPECT_EQ(NameWithExtension(*copy), "NAME");
    EXPECT_EQ(copy->FileFullPath(path), 0);
    EXPECT_STREQ(path, "C:\\DIR\\NAME");

    // A record whose directory lacks its final "\" gets one.
    PathRecord bare{};
    std::strcpy(bare.text, "C:\\DIRX.BMP");
    bare.directoryLength = 6;
    bare.pointOffset = 7;
    bare.extensionLength = 4;
    ASSERT_EQ(copy->SetFileFromPathRecord(&bare), 0);
    EXPECT_STREQ(copy->Directory(), "C:\\DIR\\");
    EXPECT_STREQ(copy->Name(), "X");
    EXPECT_STREQ(copy->Extension(), "BMP");

    // Offsets outside the text are refused and change nothing.
    bare.pointOffset = 40;
    EXPECT_EQ(copy->SetFileFromPathRecord(&bare), -1);
    bare.pointOffset = 7;
    bare.directoryLength = -1;
    EXPECT_EQ(copy->SetFileFromPathRecord(&bare), -1);
    EXPECT_STREQ(copy->Directory(), "C:\\DIR\\");
}

TEST(FileNaming, ComposedPathsStayWithinTheirBuffers)
{
    ScopedVolumeLimits limits(255, 255);
    auto file = MakeFile(kFileReference);
    file->SetDirectory(("C:\\" + std::string(240, 'D')).c_str());
    EXPECT_EQ(std::strlen(file->Directory()), 244u);
    file->FileSetName(std::string(20, 'N').c_str());
    file->FileSetType(0x424D5000);
    char path[kPathLength] = "x";
    EXPECT_EQ(file->FileFullPath(path), -1);
    EXPECT_STREQ(path, "");
    PathRecord record{};
    EXPECT_EQ(file->GetPathRecord(&record), -1);
    EXPECT_EQ(file->FileHasPath(""), 0);
    file->FileSetName(std::string(10, 'N').c_str());  // 244 + 10 + 4 = 258
    EXPECT_EQ(file->FileFullPath(path), 0);
    EXPECT_EQ(std::strlen(path), 258u);
    EXPECT_EQ(file->GetPathRecord(&record), 0);

    auto unnamed = MakeFile(kFileReference);
    unnamed->FileSetName("");
    EXPECT_EQ(unnamed->FileFullPath(path), -1);
    EXPECT_EQ(unnamed->SetFileFromPath(std::string(300, 'p').c_str()), -1);
}

TEST(FileNaming, KindsFromTextAndDirections)
{
    EXPECT_EQ(FileKindFromText("C:\\Walk.Qvr"), 2);
    EXPECT_EQ(FileKindFromText("qvr-trk"), 2);  // tested in the order TKP, QVR, TRK
    EXPECT_EQ(FileKindFromText("house.qpy"), 1);

    auto file = MakeFile(kFileReference);
    file->FileSetKindAndTitle(kFileWriteNoDialog, "Save As");
    EXPECT_EQ(file->StreamIsWriting(), 1);
    file->FileSetKindAndTitle(kFileReference, std::string(400, 't').c_str());
    EXPECT_EQ(file->StreamIsWriting(), 1);  // kind 11 keeps the direction
    EXPECT_EQ(std::strlen(file->Title()), 255u);
    file->FileSetKindAndTitle(kFileFromPath, "Open");
    EXPECT_EQ(file->StreamIsWriting(), 0);
}
