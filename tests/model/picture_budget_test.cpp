// The picture budget of a model: its fixed units and those its picture bytes pay for, a file's
// bytes counted once whatever path names it, what one picture may take, and the read's turn limit.
#include <gtest/gtest.h>

#include "model/picture_budget.h"
#include "model/read_budget.h"

TEST(PictureBudget, AModelSpendsItsOwnUnitsAndMoreForEveryByteOfItsPictures)
{
    PictureBudget budget;
    EXPECT_EQ(budget.Allowance(), kPictureUnitsOfAnyModel);
    ASSERT_TRUE(budget.Spend(kPictureUnitsOfAnyModel - 10));
    EXPECT_FALSE(budget.Spend(11));
    EXPECT_EQ(budget.Spent(), kPictureUnitsOfAnyModel - 10);
    budget.AddBytes(2);
    EXPECT_TRUE(budget.Spend(10 + 2 * kPictureUnitsPerByte));
    EXPECT_FALSE(budget.Spend(1));
    EXPECT_FALSE(budget.Spend(-1));

    // A file's bytes count once, however many paths name it; another file on another volume
    // with the same number is another file.
    budget.Begin();
    EXPECT_EQ(budget.Spent(), 0);
    budget.AddFileBytes({1, 7}, 1000);
    budget.AddFileBytes({1, 7}, 1000);
    EXPECT_EQ(budget.BytesRead(), 1000);
    budget.AddFileBytes({2, 7}, 500);
    EXPECT_EQ(budget.BytesRead(), 1500);
    // Where the system numbers no file, files of other sizes are other files.
    budget.AddFileBytes({3, 0}, 10);
    budget.AddFileBytes({3, 0}, 20);
    budget.AddFileBytes({3, 0}, 20);
    EXPECT_EQ(budget.BytesRead(), 1530);
    budget.Begin();
    budget.AddFileBytes({1, 7}, 1000);
    EXPECT_EQ(budget.BytesRead(), 1000) << "a new read counts the file again";
}

TEST(PictureBudget, APictureTakesItsOwnUnitsAndMoreForItsBytes)
{
    PictureBudget budget;
    EXPECT_FALSE(budget.SpendOnPicture(kPictureUnitsOfAnyPicture + 1, 0));
    EXPECT_EQ(budget.Spent(), 0);
    EXPECT_TRUE(budget.SpendOnPicture(kPictureUnitsOfAnyPicture + kPictureUnitsPerByte, 1));
    // Within a picture's own, but past what the model's pictures have left.
    ASSERT_TRUE(budget.Spend(budget.Allowance() - budget.Spent()));
    EXPECT_FALSE(budget.SpendOnPicture(1, 0));

    // 400 textures of 256 x 256 pixels, as honest models have them, fit with no bytes to pay
    // for them; the runs of a kilobyte declaring 8192 x 8192, or 5000 x 5000 a dozen times, do
    // not.
    budget.Begin();
    for (int32_t i = 0; i < 400; ++i) ASSERT_TRUE(budget.SpendOnPicture(PictureUnits(256, 256), 0)) << i;
    EXPECT_GE(budget.Allowance() - budget.Spent(), budget.Spent() / 2);
    budget.Begin();
    budget.AddBytes(1024);
    EXPECT_FALSE(budget.SpendOnPicture(PictureUnits(8192, 8192), 1024));
    int32_t made = 0;
    while (made < 12 && budget.SpendOnPicture(PictureUnits(5000, 5000), 1024)) ++made;
    EXPECT_EQ(made, 9);
}

TEST(PictureBudget, TheReadsTurnLimitAllowsATurnForEveryUnitItsPicturesSpent)
{
    ReadBudget read;
    const int64_t empty = read.TurnLimit();
    ASSERT_TRUE(read.Pictures().Spend(1000));
    read.Pictures().AddBytes(24);
    EXPECT_EQ(read.TurnLimit(), empty + 1000);
}
