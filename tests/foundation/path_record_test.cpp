// Splitting paths into their parts, path records, extension codes and directory components.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/dynamic_array.h"
#include "foundation/path_record.h"
#include "foundation/path_separators.h"
#include "foundation/root_object.h"

namespace {

struct Split {
    const char* path;
    int32_t directory, point, name, extension;
};

std::string Component(const DynamicArray* components, int32_t index)
{
    const auto* entry = static_cast<const uint8_t*>(components->ArrayElementAt(index));
    return std::string(reinterpret_cast<const char*>(entry + 1), entry[0]);
}

Owned<DynamicArray> Components(std::initializer_list<const char*> innermostFirst)
{
    Owned<DynamicArray> list(NewDynamicArray(0, kPathLength, 4));
    for (const char* text : innermostFirst) {
        uint8_t entry[kPathLength] = {};
        entry[0] = uint8_t(std::strlen(text));
        std::memcpy(entry + 1, text, entry[0]);
        list->Append(entry);
    }
    return list;
}

}  // namespace

TEST(PathSplit, ExtensionRule)
{
    const Split cases[] = {
        {"C:\\DIR\\FILE.TXT", 7, 11, 4, 4},
        {"C:\\DIR\\ARCHIVE.TEXT", 7, 19, 12, 0},  // four characters: part of the name
        {"C:\\DIR\\NAME.", 7, 11, 4, 1},          // a final point ends the name
        {"C:\\A.B\\FILE", 7, 11, 4, 0},           // the point lies in the directory
        {"C:\\DIR\\A.B.C", 7, 10, 3, 2},          // the last point decides
        {"FILE.BMP", 0, 4, 4, 4},
        {"NOEXT", 0, 5, 5, 0},
        {"", 0, 0, 0, 0},
        {"C:\\", 3, 3, 0, 0},
        {"C:\\DIR\\.BMP", 7, 7, 0, 4},
        {"C:\\DIR\\X.TXT\\", 13, 13, 0, 0},
        // "/" separates as "\" does, alone or mixed with it, after a drive or from the root.
        {"C:/DIR/FILE.TXT", 7, 11, 4, 4},
        {"/home/me/models/gallery.qpy", 16, 23, 7, 4},
        {"C:\\DIR/SUB\\FILE.TXT", 11, 15, 4, 4},
        {"C:/DIR\\SUB/FILE", 11, 15, 4, 0},
        {"C:/A.B/FILE", 7, 11, 4, 0},
        {"DIR/NAME.", 4, 8, 4, 1},
        {"C:/", 3, 3, 0, 0},
        {"/", 1, 1, 0, 0},
        {"C:FILE.BMP", 0, 6, 6, 4},  // no separator: the whole text names the file
    };
    for (const Split& c : cases) {
        PathParts parts = SplitPath(c.path);
        EXPECT_EQ(PathNameOffset(c.path, std::strlen(c.path)), size_t(c.directory)) << c.path;
        EXPECT_EQ(parts.directoryLength, c.directory) << c.path;
        EXPECT_EQ(parts.pointOffset, c.point) << c.path;
        EXPECT_EQ(parts.nameLength, c.name) << c.path;
        EXPECT_EQ(parts.extensionLength, c.extension) << c.path;
    }
}

TEST(PathRecord, TextNameAndDirectory)
{
    PathRecord record{};
    ASSERT_EQ(SetPathRecordText(&record, "C:\\MODELS\\HOUSE.QPY"), 0);
    EXPECT_EQ(record.directoryLength, 10);
    EXPECT_EQ(record.pointOffset, 15);
    EXPECT_EQ(record.fileNameLength, 9);
    char text[kPathLength];
    PathRecordGetName(&record, text);
    EXPECT_STREQ(text, "HOUSE.QPY");
    PathRecordGetDirectory(&record, text);
    EXPECT_STREQ(text, "C:\\MODELS\\");

    ASSERT_EQ(PathRecordSetName(&record, "WOOD.BMP"), 0);
    EXPECT_STREQ(record.text, "C:\\MODELS\\WOOD.BMP");
    EXPECT_EQ(record.nameLength, 4);
    EXPECT_EQ(record.extensionLength, 4);

    // A name that would not fit leaves the record as it was.
    PathRecord before = record;
    std::string longName(250, 'N');
    EXPECT_EQ(PathRecordSetName(&record, longName.c_str()), -1);
    EXPECT_EQ(std::memcmp(&before, &record, sizeof record), 0);
    std::string fits(259 - 10, 'N');
    EXPECT_EQ(PathRecordSetName(&record, fits.c_str()), 0);
    EXPECT_EQ(std::strlen(record.text), 259u);

    EXPECT_EQ(SetPathRecordText(&record, std::string(260, 'x').c_str()), -1);
    EXPECT_EQ(std::strlen(record.text), 259u);

    // Offsets that lie outside the text are not followed.
    record.directoryLength = 400;
    PathRecordGetName(&record, text);
    EXPECT_STREQ(text, "");
    ClearPathRecord(&record);
    EXPECT_STREQ(record.text, "");
    EXPECT_EQ(record.fileNameLength, 0);
}

TEST(PathRecord, ExtensionCodes)
{
    EXPECT_EQ(ExtensionCode("bmp"), 0x424D5000u);
    EXPECT_EQ(ExtensionCode("JpG"), 0x4A504700u);
    EXPECT_EQ(ExtensionCode("abcdef"), 0x41424344u);
    EXPECT_EQ(ExtensionCode(""), 0u);

    PathRecord record{};
    const char* models[] = {"C:\\X\\A.zmb", "A.TKP", "A.trk", "B.QVR"};
    for (const char* path : models) {
        IgnoreResult(SetPathRecordText(&record, path));
        EXPECT_EQ(IsModelFileType(&record), 1) << path;
    }
    const char* others[] = {"A.QPY", "A.BMP", "TRK", "C:\\TRK.D\\X", "A.TRKX"};
    for (const char* path : others) {
        IgnoreResult(SetPathRecordText(&record, path));
        EXPECT_EQ(IsModelFileType(&record), 0) << path;
    }

    uint32_t code = 0x12345678;
    IgnoreResult(SetPathRecordText(&record, "C:\\X\\NOEXT"));
    GetPathExtensionCode(&record, &code);
    EXPECT_EQ(code, 0x12345678u);  // left alone without an extension
    IgnoreResult(SetPathRecordText(&record, "C:\\X\\A.dib"));
    GetPathExtensionCode(&record, &code);
    EXPECT_EQ(code, 0x44494200u);
    EXPECT_EQ(SamePathName("C:\\A.BMP", "C:\\A.BMP"), 1);
    EXPECT_EQ(SamePathName("C:\\A.BMP", "C:\\a.BMP"), 0);
}

TEST(PathComponents, InnermostFirstWithTheDriveLast)
{
    Owned<DynamicArray> list(PathComponents("C:\\MODELS\\TEX\\"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->ArrayCount(), 3);
    EXPECT_EQ(list->ElementSize(), kPathLength);
    EXPECT_EQ(Component(list.get(), 0), "TEX");
    EXPECT_EQ(Component(list.get(), 1), "MODELS");
    EXPECT_EQ(Component(list.get(), 2), "C");

    list.reset(PathComponents("d:\\a\\\\b"));  // no final "\" and a doubled one
    ASSERT_EQ(list->ArrayCount(), 3);
    EXPECT_EQ(Component(list.get(), 0), "b");
    EXPECT_EQ(Component(list.get(), 2), "d");

    list.reset(PathComponents("C:\\"));
    ASSERT_EQ(list->ArrayCount(), 1);
    EXPECT_EQ(Component(list.get(), 0), "C");

    list.reset(PathComponents(""));
    EXPECT_EQ(list->ArrayCount(), 0);

    list.reset(PathComponents("REL\\DIR\\"));
    ASSERT_EQ(list->ArrayCount(), 2);
    EXPECT_EQ(Component(list.get(), 1), "REL");

    // Either separator splits; a colon names the drive only ahead of the first of them.
    const struct {
        const char* directory;
        std::vector<std::string> innermostFirst;
    } split[] = {
        {"C:/MODELS\\TEX/", {"TEX", "MODELS", "C"}},
        {"/home/me/models/", {"models", "me", "home"}},
        {"\\home\\me\\models\\", {"models", "me", "home"}},
        {"x/y:z\\w", {"w", "y:z", "x"}},
        {"x\\y:z/w", {"w", "y:z", "x"}},
    };
    for (const auto& c : split) {
        list.reset(PathComponents(c.directory));
        ASSERT_TRUE(list) << c.directory;
        std::vector<std::string> got;
        for (int32_t i = 0; i < list->ArrayCount(); ++i) got.push_back(Component(list.get(), i));
        EXPECT_EQ(got, c.innermostFirst) << c.directory;
    }

    // A component longer than one length byte can count is refused.
    std::string longDirectory = "C:\\" + std::string(256, 'L') + "\\";
    EXPECT_EQ(PathComponents(longDirectory.c_str()), nullptr);
    longDirectory = "C:\\" + std::string(255, 'L') + "\\";
    list.reset(PathComponents(longDirectory.c_str()));
    ASSERT_TRUE(list);
    EXPECT_EQ(Component(list.get(), 0).size(), 255u);
}

TEST(PathComponents, PathsAreBuiltWithinTheRecord)
{
    PathRecord record{};
    auto list = Components({"TEX", "MODELS", "Q"});
    // The file does not exist, but the path and its offsets are built.
    EXPECT_EQ(PathFromComponents(list.get(), "WOOD.BMP", &record), -1);
    EXPECT_STREQ(record.text, "Q:\\MODELS\\TEX\\WOOD.BMP");
    EXPECT_EQ(record.directoryLength, 14);
    EXPECT_EQ(record.nameLength, 4);

    auto base = Components({"MODELS", "NEW", "Q"});
    auto relative = Components({"TEX"});
    EXPECT_EQ(PathFromRelative(base.get(), relative.get(), 0, "WOOD.BMP", &record), -1);
    EXPECT_STREQ(record.text, "Q:\\NEW\\MODELS\\TEX\\WOOD.BMP");
    EXPECT_EQ(PathFromRelative(base.get(), relative.get(), 1, "WOOD.BMP", &record), -1);
    EXPECT_STREQ(record.text, "Q:\\NEW\\TEX\\WOOD.BMP");

    // Paths that would not fit fail and leave the record alone.
    std::string longName(255, 'A');
    auto deep = Components({longName.c_str(), "Q"});
    std::strcpy(record.text, "unchanged");
    EXPECT_EQ(PathFromComponents(deep.get(), "WOOD.BMP", &record), -1);
    EXPECT_STREQ(record.text, "unchanged");
    // Exactly 259 characters still fits.
    std::string shorter(254, 'A');
    deep = Components({shorter.c_str(), "Q"});
    EXPECT_EQ(PathFromComponents(deep.get(), "n", &record), -1);
    EXPECT_EQ(std::strlen(record.text), 259u);

    // No drive, ups outside the base, empty components and a wrong element size fail.
    auto empty = Components({});
    std::strcpy(record.text, "unchanged");
    EXPECT_EQ(PathFromComponents(empty.get(), "A.BMP", &record), -1);
    EXPECT_EQ(PathFromRelative(base.get(), relative.get(), 4, "A.BMP", &record), -1);
    EXPECT_EQ(PathFromRelative(base.get(), relative.get(), -1, "A.BMP", &record), -1);
    auto hollow = Components({"", "Q"});
    EXPECT_EQ(PathFromComponents(hollow.get(), "A.BMP", &record), -1);
    Owned<DynamicArray> wrong(NewDynamicArray(2, 4, 4));
    EXPECT_EQ(PathFromComponents(wrong.get(), "A.BMP", &record), -1);
    EXPECT_STREQ(record.text, "unchanged");
}
