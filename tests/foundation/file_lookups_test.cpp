// File name keys and a read's look-ups: the spellings the system takes for one file share a key
// and no other spellings do, and each key is asked of the system once until the look-ups are
// cleared.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "foundation/file_lookups.h"
#include "foundation/loop_turns.h"
#include "foundation/system_weights.h"
#include "tests/foundation/file_test_support.h"

TEST(FileNameKey, SpellingsOfOneFileShareAKeyAndNoOthers)
{
    struct Row {
        const char* path;
        const char* key;
    };
    const Row rows[] = {
        {"C:\\Models\\Wood.bmp", "C:\\MODELS\\WOOD.BMP"},
        {"c:/models/wood.BMP", "C:\\MODELS\\WOOD.BMP"},
        {"C:\\models\\.\\.\\wood.bmp", "C:\\MODELS\\WOOD.BMP"},
        {"C:\\models\\\\\\wood.bmp", "C:\\MODELS\\WOOD.BMP"},
        {"C:\\models\\./wood.bmp", "C:\\MODELS\\WOOD.BMP"},
        {"C:\\models\\.", "C:\\MODELS\\"},
        // Two separators begin a network path; a folder ".." and names beginning with a point are
        // names of their own; letters beyond ASCII stay as they are.
        {"\\\\server\\share\\a.bmp", "\\\\SERVER\\SHARE\\A.BMP"},
        {"C:\\models\\..\\wood.bmp", "C:\\MODELS\\..\\WOOD.BMP"},
        {"C:\\models\\.wood.bmp", "C:\\MODELS\\.WOOD.BMP"},
        {"C:\\models\\..wood\\.x", "C:\\MODELS\\..WOOD\\.X"},
        {"C:\\m\xE9t\xC9\\a.bmp", "C:\\M\xE9T\xC9\\A.BMP"},
        {".\\wood.bmp", "WOOD.BMP"},
        {"", ""},
    };
    for (const Row& row : rows) {
        const int64_t before = TurnsCounted();
        EXPECT_EQ(FileNameKey(row.path), row.key) << row.path;
        EXPECT_EQ(TurnsCounted() - before, int64_t(std::string(row.path).size())) << row.path;
    }
}

TEST(FileNameKey, NamesOfTheSystemsDevicesAreNoFiles)
{
    for (const char* device : {"CON", "con.bmp", "C:\\models\\Nul.bmp", "C:/x/aux.x.bmp", "PRN  .bmp", "COM1.bmp",
                               "lpt9.jpg", "CONIN$.bmp", "conout$", "CLOCK$.dib", "D:com3.bmp"})
        EXPECT_TRUE(NamesADevice(device)) << device;
    for (const char* file : {"", "C:\\CON\\wood.bmp", "console.bmp", "COM0.bmp", "COM10.bmp", "LPT.bmp", "nul_.bmp",
                             "xcon.bmp", "C:\\models\\", "CONIN.bmp"})
        EXPECT_FALSE(NamesADevice(file)) << file;
    FileLookups lookups;
    EXPECT_FALSE(lookups.Opens("NUL.BMP"));
    EXPECT_EQ(lookups.Asked(), 0);
}

TEST(FileLookups, EachKeyIsAskedOfTheSystemOnceUntilCleared)
{
    const std::string name = "qp_lookup.bin";
    WriteWholeFile(name, "picture");
    FileLookups lookups;
    const int64_t before = TurnsCounted();
    EXPECT_TRUE(lookups.Opens(name.c_str()));
    // The key, the device test and the folders' count each pass over the name once.
    EXPECT_EQ(TurnsCounted() - before, kFileLookupTurns + 3 * int64_t(name.size()));
    EXPECT_TRUE(lookups.Opens("QP_LOOKUP.BIN"));
    EXPECT_TRUE(lookups.Opens("./qp_Lookup.bin"));
    EXPECT_FALSE(lookups.Opens("qp_nothing.bin"));
    EXPECT_FALSE(lookups.Opens("QP_NOTHING.bin"));
    EXPECT_EQ(lookups.Asked(), 2);
    EXPECT_EQ(lookups.Weight(), 2);
    // A name past the first folders on its way weighs a look-up more for each further folder: the
    // drive and thirteen folders, six past the eighth.
    std::string deep = "C:";
    for (int32_t folder = 0; folder < kFoldersOfAnyLookup + 5; ++folder) deep += "\\qp_nowhere";
    EXPECT_FALSE(lookups.Opens((deep + "\\x.bmp").c_str()));
    EXPECT_FALSE(lookups.Opens((deep + "\\.\\X.BMP").c_str()));
    EXPECT_EQ(lookups.Asked(), 3);
    EXPECT_EQ(lookups.Weight(), 2 + 1 + 6);
    EXPECT_EQ(kFoldersOfAnyLookup, 8);

    // The answers stand for the read, whatever became of the file; a new read asks again.
    std::remove(name.c_str());
    EXPECT_TRUE(lookups.Opens(name.c_str()));
    lookups.Clear();
    EXPECT_EQ(lookups.Asked(), 0);
    EXPECT_EQ(lookups.Weight(), 0);
    EXPECT_FALSE(lookups.Opens(name.c_str()));
    EXPECT_EQ(lookups.Asked(), 1);
}
