// Lists of file objects in name order, and the pattern of a directory scan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "file_test_support.h"
#include "foundation/directory_scan.h"
#include "foundation/pointer_list.h"

namespace {

class FileList : public ::testing::Test {
protected:
    FileList() : list(NewDynamicArray(0, int32_t(sizeof(DiskFileStream*)), 4)) {}
    ~FileList() override
    {
        for (int32_t i = 0; i < list->ArrayCount(); ++i) At(i)->FileObjectDestroy();
    }

    DiskFileStream* Make(const char* name)
    {
        DiskFileStream* file = new DiskFileStream;
        IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
        file->FileSetName(name);
        return file;
    }

    DiskFileStream* At(int32_t index) const { return PointerAt<DiskFileStream>(list.get(), index); }

    std::string Names() const
    {
        std::string names;
        for (int32_t i = 0; i < list->ArrayCount(); ++i) names += std::string(At(i)->Name()) + " ";
        return names;
    }

    ScopedVolumeLimits limits{255};
    Owned<DynamicArray> list;
};

}  // namespace

TEST_F(FileList, InsertedByNameWithEqualNamesInArrivalOrder)
{
    std::vector<DiskFileStream*> cs;
    for (const char* name : {"M", "C", "X", "A", "C", "Z", "B", "C", "a", "C"}) {
        DiskFileStream* file = Make(name);
        if (std::strcmp(name, "C") == 0) cs.push_back(file);
        EXPECT_EQ(InsertFileSorted(list.get(), file, 0), 0);
    }
    EXPECT_EQ(Names(), "A B C C C C M X Z a ");
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(At(2 + i), cs[size_t(i)]) << i;
    EXPECT_EQ(list->LockCount(), 0);
}

TEST_F(FileList, SortingStartsAtTheFirstIndex)
{
    for (const char* name : {"Z", "A", "M"}) {
        DiskFileStream* file = Make(name);
        list->Append(&file);
    }
    IgnoreResult(InsertFileSorted(list.get(), Make("B"), 1));
    EXPECT_EQ(Names(), "Z A B M ");
    IgnoreResult(InsertFileSorted(list.get(), Make("0"), 1));
    EXPECT_EQ(Names(), "Z 0 A B M ");
    IgnoreResult(InsertFileSorted(list.get(), Make("0"), 7));  // beyond the end: appended
    EXPECT_EQ(Names(), "Z 0 A B M 0 ");
}

TEST_F(FileList, ManyNamesStayOrderedAndStable)
{
    std::mt19937 random(12345);
    std::vector<std::pair<std::string, DiskFileStream*>> expected;
    for (int i = 0; i < 300; ++i) {
        std::string name(1 + random() % 3, 'a');
        for (char& c : name) c = char('a' + random() % 3);
        DiskFileStream* file = Make(name.c_str());
        expected.emplace_back(name, file);
        ASSERT_EQ(InsertFileSorted(list.get(), file, 0), 0);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ASSERT_EQ(list->ArrayCount(), 300);
    for (int32_t i = 0; i < 300; ++i) EXPECT_EQ(At(i), expected[size_t(i)].second) << i;
}

TEST(ScanPattern, DirectoryTypeAndLimits)
{
    char pattern[kPathLength];
    EXPECT_EQ(ScanPattern("C:\\PROGRAM\\TEXTURES", 0x544C4200, pattern), 0);
    EXPECT_STREQ(pattern, "C:\\PROGRAM\\TEXTURES\\*.TLB");
    EXPECT_EQ(ScanPattern("C:\\MODELS\\", 0x424D5000, pattern), 0);
    EXPECT_STREQ(pattern, "C:\\MODELS\\*.BMP");
    EXPECT_EQ(ScanPattern("/home/me/models/", 0x424D5000, pattern), 0);
    EXPECT_STREQ(pattern, "/home/me/models/*.BMP");
    EXPECT_EQ(ScanPattern("", 0x4A504720, pattern), 0);
    EXPECT_STREQ(pattern, "*.JPG ");
    std::string longest(259 - 6, 'd');
    EXPECT_EQ(ScanPattern(longest.c_str(), 0x424D5000, pattern), 0);
    EXPECT_EQ(std::strlen(pattern), 259u);
    longest.push_back('d');
    EXPECT_EQ(ScanPattern(longest.c_str(), 0x424D5000, pattern), -1);
    EXPECT_STREQ(pattern, "");
}
