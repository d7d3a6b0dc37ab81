// The filter lists given to the file dialogs, and the files chosen in a multiple selection.
#include <gtest/gtest.h>

#include <string>

#include "foundation/dialog_filters.h"
#include "foundation/dynamic_array.h"
#include "foundation/path_record.h"
#include "foundation/root_object.h"

namespace {

const char kPlayerFilters[] =
    "Tamrix Player (*.QPY)|*.QPY|3-D Zembrix (*.ZMB)|*.ZMB|Tamrix VR (*.QVR)|*.QVR|"
    "Trekkon Pro (*.TKP)|*.TKP|Trekkon (*.TRK)|*.TRK|";

std::string Zeros(const std::string& text)
{
    std::string result = text;
    for (char& c : result) {
        if (c == '|') c = '\0';
    }
    return result + '\0';
}

}  // namespace

TEST(DialogFilters, SaveFiltersAreTheTextsWithZerosForBars)
{
    EXPECT_EQ(SaveDialogFilter("Tamrix Player (*.QPY)|*.QPY|"), std::string("Tamrix Player (*.QPY)\0*.QPY\0\0", 29));
    EXPECT_EQ(SaveDialogFilter(kPlayerFilters), Zeros(kPlayerFilters));
    EXPECT_EQ(SaveDialogFilter(""), std::string(1, '\0'));
}

TEST(DialogFilters, OpenFiltersStartWithAllSupportedTypes)
{
    EXPECT_EQ(OpenDialogFilter(kPlayerFilters, "QPY"),
              Zeros(std::string("All Supported File Types|*.QPY;*.ZMB;*.QVR;*.TKP;*.TRK|") + kPlayerFilters));
    // One pattern only: the default extension's.
    EXPECT_EQ(OpenDialogFilter("Bitmaps (*.BMP)|*.BMP|", "DIB"),
              Zeros("All Supported File Types|*.DIB|Bitmaps (*.BMP)|*.BMP|"));
    EXPECT_EQ(OpenDialogFilter("", "QPY"), Zeros("All Supported File Types|*.QPY|"));
    // Everything from an "All Files" entry on is left out, also from the pattern list.
    EXPECT_EQ(OpenDialogFilter("A (*.A)|*.A|B (*.B)|*.B|All Files (*.*)|*.*|C (*.C)|*.C|", "A"),
              Zeros("All Supported File Types|*.A;*.B|A (*.A)|*.A|B (*.B)|*.B|"));
    // A description without its pattern is dropped.
    EXPECT_EQ(OpenDialogFilter("A (*.A)|*.A|Broken", "A"), Zeros("All Supported File Types|*.A|A (*.A)|*.A|"));
}

TEST(DialogFilters, ChosenFilesBecomePathRecords)
{
    Owned<DynamicArray> paths(NewDynamicArray(0, int32_t(sizeof(PathRecord)), 4));
    const std::string one("C:\\TEX\\WOOD.BMP\0\0", 17);
    ASSERT_EQ(AppendChosenFiles(one.data(), int32_t(one.size()), paths.get()), 0);
    ASSERT_EQ(paths->ArrayCount(), 1);
    EXPECT_STREQ(paths->At<PathRecord>(0)->text, "C:\\TEX\\WOOD.BMP");
    EXPECT_EQ(paths->At<PathRecord>(0)->directoryLength, 7);

    const std::string many = std::string("C:\\TEX\0A.BMP\0B.JPG\0", 19) + std::string(300, 'L') + '\0' + "C.TLB" +
                             std::string(2, '\0');
    ASSERT_EQ(AppendChosenFiles(many.data(), int32_t(many.size()), paths.get()), 0);
    ASSERT_EQ(paths->ArrayCount(), 4);  // the overlong name is left out
    EXPECT_STREQ(paths->At<PathRecord>(1)->text, "C:\\TEX\\A.BMP");
    EXPECT_STREQ(paths->At<PathRecord>(2)->text, "C:\\TEX\\B.JPG");
    EXPECT_STREQ(paths->At<PathRecord>(3)->text, "C:\\TEX\\C.TLB");
    EXPECT_EQ(paths->At<PathRecord>(3)->extensionLength, 4);

    // A buffer without its final zero bytes is read no further than its length.
    const std::string cut("C:\\X\0A.B", 8);
    ASSERT_EQ(AppendChosenFiles(cut.data(), int32_t(cut.size()), paths.get()), 0);
    EXPECT_STREQ(paths->At<PathRecord>(4)->text, "C:\\X\\A.B");
    EXPECT_EQ(AppendChosenFiles("", 1, paths.get()), 0);
    EXPECT_EQ(paths->ArrayCount(), 5);
    // A folder that ends in "/" takes no "\" after it.
    const std::string slashed("C:/TEX/\0A.BMP\0B.JPG\0\0", 21);
    ASSERT_EQ(AppendChosenFiles(slashed.data(), int32_t(slashed.size()), paths.get()), 0);
    ASSERT_EQ(paths->ArrayCount(), 7);
    EXPECT_STREQ(paths->At<PathRecord>(5)->text, "C:/TEX/A.BMP");
    EXPECT_EQ(paths->At<PathRecord>(6)->directoryLength, 7);

    std::string filters = SaveDialogFilter(kAddTexturesFilters);
    EXPECT_EQ(filters.substr(0, 22), std::string("Bitmaps (*.BMP)\0*.BMP\0", 22));
}
