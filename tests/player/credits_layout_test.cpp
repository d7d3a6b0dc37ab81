// The credits windows' geometry: the credits dialog's size from its picture and measured text
// (a text that fills its lines exactly still gets one more), its centring, its OK button, the
// picture's place (centred, and cut rather than squeezed when clipped), the credits text bounded
// by its count, and the editor's rectangle, items and growth with its picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "foundation/dynamic_array.h"
#include "player/credits_layout.h"
#include "player/credits_text.h"

namespace {

using Edges = std::vector<int32_t>;

Edges EdgesOf(const PortRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

constexpr PortRect kScreen = {0, 0, 1024, 768};

TEST(CreditsDialogLayout, APictureWidensTheDialogOnlyBeyondTheBaseWidth)
{
    const PictureSize narrow = {200, 50};
    CreditsDialogLayout layout = LayOutCreditsDialog(kScreen, &narrow, -1);
    EXPECT_EQ(layout.rect.Width(), 297);
    EXPECT_EQ(layout.rect.Height(), 54 + 13 + 50);

    const PictureSize large = {400, 300};
    layout = LayOutCreditsDialog(kScreen, &large, -1);
    EXPECT_EQ(EdgesOf(layout.rect), (Edges{299, 200, 299 + 426, 200 + 367}));
    EXPECT_EQ(layout.lines, 0);
    // Without a text the item stands below the picture with no height.
    EXPECT_EQ(EdgesOf(layout.text), (Edges{13, 326, 413, 326}));

    // With a text of one line: 14 for the line and 13 below it.
    layout = LayOutCreditsDialog(kScreen, &large, 100);
    EXPECT_EQ(layout.rect.Height(), 367 + 14 + 13);
    EXPECT_EQ(EdgesOf(layout.text), (Edges{13, 326, 413, 340}));
}

TEST(CreditsDialogLayout, ATextThatFillsItsLinesExactlyGetsOneMore)
{
    // 297 - 36 = 261 pixels a line.
    EXPECT_EQ(LayOutCreditsDialog(kScreen, nullptr, 260).lines, 1);
    EXPECT_EQ(LayOutCreditsDialog(kScreen, nullptr, 261).lines, 2);
    EXPECT_EQ(LayOutCreditsDialog(kScreen, nullptr, 522).lines, 3);
    const CreditsDialogLayout two = LayOutCreditsDialog(kScreen, nullptr, 261);
    EXPECT_EQ(two.rect.Height(), 54 + 2 * 14 + 13);
    EXPECT_EQ(EdgesOf(two.text), (Edges{13, 13, 284, 41}));
    // A wide picture widens the lines: 426 - 36 = 390.
    const PictureSize large = {400, 300};
    EXPECT_EQ(LayOutCreditsDialog(kScreen, &large, 389).lines, 1);
    EXPECT_EQ(LayOutCreditsDialog(kScreen, &large, 390).lines, 2);
}

TEST(CreditsDialogLayout, EmptyAndMissingTextsDiffer)
{
    // No picture and no text: the OK button alone.
    const CreditsDialogLayout bare = LayOutCreditsDialog(kScreen, nullptr, -1);
    EXPECT_EQ(EdgesOf(bare.rect), (Edges{363, 357, 660, 411}));
    EXPECT_EQ(bare.lines, 0);
    EXPECT_EQ(bare.text.Height(), 0);
    // An empty text still takes a line.
    const CreditsDialogLayout empty = LayOutCreditsDialog(kScreen, nullptr, 0);
    EXPECT_EQ(empty.lines, 1);
    EXPECT_EQ(empty.rect.Height(), 81);
    // A long text runs off the screen's top and bottom, centred.
    const CreditsDialogLayout tall = LayOutCreditsDialog(kScreen, nullptr, 261 * 99);
    EXPECT_EQ(tall.rect.Height(), 54 + 100 * 14 + 13);
    EXPECT_EQ(tall.rect.top, (768 - 1467) / 2);
    EXPECT_LT(tall.rect.top, 0);
}

TEST(CreditsDialogLayout, APictureWiderThanTheScreenCentresTowardZero)
{
    const PictureSize wide = {1101, 10};
    const CreditsDialogLayout layout = LayOutCreditsDialog(kScreen, &wide, -1);
    // (1024 - 1127) / 2 truncates to -51, not -52.
    EXPECT_EQ(layout.rect.left, -51);
    EXPECT_EQ(layout.rect.Width(), 1127);
}

TEST(CreditsDialogLayout, TheOkButtonStandsCentredOnTheBottomMargin)
{
    EXPECT_EQ(EdgesOf(CreditsOkButtonBounds(297, 54)), (Edges{118, 13, 179, 41}));
    EXPECT_EQ(EdgesOf(CreditsOkButtonBounds(426, 394)), (Edges{182, 353, 243, 381}));
    EXPECT_EQ(EdgesOf(CreditsTextStartBounds(426)), (Edges{13, 13, 413, 63}));
}

TEST(CreditsPicturePlace, ANarrowPictureIsCentredBetweenTheMargins)
{
    const PictureCopy copy = CreditsPictureCopy({0, 0, 297, 200}, {0, 0, 200, 50});
    // 271 available: moved right by (271 - 200) / 2 = 35.
    EXPECT_EQ(EdgesOf(copy.target), (Edges{48, 13, 248, 63}));
    EXPECT_EQ(EdgesOf(copy.source), (Edges{0, 0, 200, 50}));
    // One exactly as wide as the margins leave stays at the left margin.
    EXPECT_EQ(EdgesOf(CreditsPictureCopy({0, 0, 297, 200}, {0, 0, 271, 50}).target), (Edges{13, 13, 284, 63}));
}

TEST(CreditsPicturePlace, AClippedPictureIsCutNotSqueezed)
{
    // 74 pixels between the side margins and 57 between the top and bottom ones.
    const PictureCopy copy = CreditsPictureCopy({0, 0, 100, 83}, {0, 0, 150, 80});
    EXPECT_EQ(EdgesOf(copy.target), (Edges{13, 13, 87, 70}));
    EXPECT_EQ(EdgesOf(copy.source), (Edges{0, 0, 74, 57}));
    // Nothing left between the margins: nothing to copy.
    EXPECT_TRUE(CreditsPictureCopy({0, 0, 20, 20}, {0, 0, 30, 30}).target.IsEmpty());
}

DynamicArray* TextArray(const char* text, size_t count, size_t stored)
{
    DynamicArray* array = NewDynamicArray(int32_t(stored), 1, 16);
    std::memcpy(array->ArrayData(), text, stored);
    array->ArraySetCount(int32_t(count));
    return array;
}

TEST(CreditsText, IsBoundedByItsCountAndItsFirstNul)
{
    // No terminator: the bytes after the count are not the text's.
    DynamicArray* unterminated = TextArray("Made by Q!!!", 9, 12);
    EXPECT_EQ(CreditsTextLength(unterminated), 9u);
    char* copy = CopyCreditsText(unterminated);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, "Made by Q");
    std::free(copy);
    unterminated->Destroy();

    DynamicArray* terminated = TextArray("Made\0by Q", 9, 9);
    EXPECT_EQ(CreditsTextLength(terminated), 4u);
    terminated->Destroy();

    DynamicArray* empty = TextArray("\0", 1, 1);
    EXPECT_EQ(CopyCreditsText(empty), nullptr);
    empty->Destroy();
    EXPECT_EQ(CreditsTextLength(nullptr), 0u);
}

TEST(CreditsEditorLayout, TheRectangleFollowsThePictureAndKeepsInsideTheScreen)
{
    // 297 x 129, centred, then 10 lower at the bottom.
    EXPECT_EQ(EdgesOf(CreditsEditorRect(kScreen, nullptr)), (Edges{363, 319, 660, 458}));
    const PictureSize large = {400, 300};
    const PortRect withPicture = CreditsEditorRect(kScreen, &large);
    EXPECT_EQ(withPicture.Width(), 426);
    EXPECT_EQ(withPicture.Height(), 13 + 300 + 66 + 63 + 10);
    // A picture larger than the screen: 20 from the sides and the bottom, 40 from the top.
    const PictureSize huge = {1100, 900};
    EXPECT_EQ(EdgesOf(CreditsEditorRect(kScreen, &huge)), (Edges{20, 40, 1004, 748}));
}

TEST(CreditsEditorLayout, ButtonsStandOnTheBottomRowAndTheFieldAtTheTop)
{
    const CreditsEditorPlaces places = PlaceCreditsEditorItems(297, 129);
    EXPECT_EQ(EdgesOf(places.ok), (Edges{223, 88, 284, 116}));
    EXPECT_EQ(EdgesOf(places.cancel), (Edges{149, 88, 210, 116}));
    EXPECT_EQ(EdgesOf(places.picture), (Edges{13, 88, 94, 116}));
    EXPECT_EQ(EdgesOf(places.noPicture), (Edges{13, 57, 94, 85}));
    EXPECT_EQ(EdgesOf(places.text), (Edges{13, 13, 284, 63}));
}

TEST(CreditsEditorLayout, AChangeOfPictureGrowsOrShrinksTheWindowOnEachSide)
{
    const PortRect start = {363, 319, 660, 448};
    // 101 wider and 61 taller: 50 to the left, 51 to the right, 30 up, 31 down.
    EXPECT_EQ(EdgesOf(ResizedForPicture(start, {0, 0}, {101, 61}, kScreen)), (Edges{313, 289, 711, 479}));
    // Never below 297 x 129.
    const PortRect large = {299, 163, 725, 605};
    EXPECT_EQ(EdgesOf(ResizedForPicture(large, {400, 300}, {0, 0}, kScreen)), (Edges{499, 313, 796, 455}));
    // Never beyond the screen less its gaps.
    EXPECT_EQ(EdgesOf(ResizedForPicture(start, {0, 0}, {2000, 2000}, kScreen)), (Edges{20, 40, 1004, 748}));
}

}  // namespace
