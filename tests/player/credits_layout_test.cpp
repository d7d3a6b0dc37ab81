// The credits windows' geometry: the credits dialog's size from its picture and measured text (a
// text that fills its lines exactly gets one more), the picture's place (centred; cut, not
// squeezed, when clipped), the credits text bounded by its count, and the editor's rectangle,
// items and growth with its picture.
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
constexpr PictureSize kLarge = {400, 300};

TEST(CreditsDialogLayout, FollowsThePictureAndTheTextsLines)
{
    const PictureSize narrow = {200, 50};
    EXPECT_EQ(LayOutCreditsDialog(kScreen, &narrow, -1).rect.Width(), 297);
    CreditsDialogLayout layout = LayOutCreditsDialog(kScreen, &kLarge, -1);
    EXPECT_EQ(EdgesOf(layout.rect), (Edges{299, 200, 299 + 426, 200 + 367}));
    EXPECT_EQ(EdgesOf(layout.text), (Edges{13, 326, 413, 326})) << "no text: no height";
    layout = LayOutCreditsDialog(kScreen, &kLarge, 389);
    EXPECT_EQ(layout.rect.Height(), 367 + 14 + 13);
    EXPECT_EQ(EdgesOf(layout.text), (Edges{13, 326, 413, 340}));
    EXPECT_EQ(LayOutCreditsDialog(kScreen, &kLarge, 390).lines, 2);

    // 297 - 36 = 261 pixels a line: a width of exactly one line gives two.
    EXPECT_EQ(LayOutCreditsDialog(kScreen, nullptr, 260).lines, 1);
    layout = LayOutCreditsDialog(kScreen, nullptr, 261);
    EXPECT_EQ(layout.lines, 2);
    EXPECT_EQ(EdgesOf(layout.text), (Edges{13, 13, 284, 41}));
    EXPECT_EQ(LayOutCreditsDialog(kScreen, nullptr, 0).rect.Height(), 81) << "an empty text takes a line";
    EXPECT_EQ(EdgesOf(LayOutCreditsDialog(kScreen, nullptr, -1).rect), (Edges{363, 357, 660, 411}));
    // Too tall or too wide for the screen: centred, then kept 20 inside its sides and bottom and
    // 40 below its top.
    EXPECT_EQ(LayOutCreditsDialog(kScreen, nullptr, 261 * 99).rect.top, 40);
    const PictureSize wide = {1101, 10};
    EXPECT_EQ(LayOutCreditsDialog(kScreen, &wide, -1).rect.left, 20);
    EXPECT_EQ(EdgesOf(CreditsOkButtonBounds(426, 394)), (Edges{182, 353, 243, 381}));
}

TEST(CreditsDialogLayout, ALongTextShowsTheLinesThatFitAboveTheOkButton)
{
    const PictureSize wide = {1101, 10};
    const PictureSize tall = {200, 900};
    const struct {
        const PictureSize* picture;
        int32_t textWidth;
        int32_t lines;
        Edges rect;
        Edges text;
    } rows[] = {
        // 708 high: 708 - 54 - 13 leaves 45 whole lines of 14.
        {nullptr, 261 * 99, 100, {363, 40, 660, 748}, {13, 13, 284, 13 + 45 * 14}},
        // A megabyte of text, and the most the measure can give: the same window.
        {nullptr, 7000000, 7000000 / 261 + 1, {363, 40, 660, 748}, {13, 13, 284, 643}},
        {nullptr, INT32_MAX, INT32_MAX / 261 + 1, {363, 40, 660, 748}, {13, 13, 284, 643}},
        // 45 lines make it 697 high, centred at 35: its top is kept at 40 and a line goes.
        {nullptr, 261 * 44, 45, {363, 40, 660, 732}, {13, 13, 284, 13 + 44 * 14}},
        {&kLarge, 390 * 99, 100, {299, 40, 725, 748}, {13, 326, 413, 326 + 23 * 14}},
        // A picture wider than the screen: the text wraps in the 984 - 36 that the dialog keeps.
        {&wide, 261 * 99, 28, {20, 143, 1004, 625}, {13, 36, 971, 36 + 28 * 14}},
        // A picture taller than the screen leaves the text no line.
        {&tall, 261, 2, {363, 40, 660, 748}, {13, 667, 284, 667}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.textWidth);
        const CreditsDialogLayout layout = LayOutCreditsDialog(kScreen, row.picture, row.textWidth);
        EXPECT_EQ(layout.lines, row.lines);
        EXPECT_EQ(EdgesOf(layout.rect), row.rect);
        EXPECT_EQ(EdgesOf(layout.text), row.text);
        // The OK button stands below the text.
        EXPECT_GE(CreditsOkButtonBounds(layout.rect.Width(), layout.rect.Height()).top, layout.text.bottom);
    }
}

TEST(CreditsDialogLayout, APictureIsCentredAndCutWhereItIsClipped)
{
    PictureCopy copy = CreditsPictureCopy({0, 0, 297, 200}, {0, 0, 200, 50});
    EXPECT_EQ(EdgesOf(copy.target), (Edges{48, 13, 248, 63}));
    EXPECT_EQ(EdgesOf(copy.source), (Edges{0, 0, 200, 50}));
    copy = CreditsPictureCopy({0, 0, 100, 83}, {0, 0, 150, 80});
    EXPECT_EQ(EdgesOf(copy.target), (Edges{13, 13, 87, 70}));
    EXPECT_EQ(EdgesOf(copy.source), (Edges{0, 0, 74, 57}));
    EXPECT_TRUE(CreditsPictureCopy({0, 0, 20, 20}, {0, 0, 30, 30}).target.IsEmpty());
}

TEST(CreditsText, IsBoundedByItsCountAndItsFirstNul)
{
    DynamicArray* text = NewDynamicArray(12, 1, 16);
    std::memcpy(text->ArrayData(), "Made by Q!!!", 12);
    IgnoreResult(text->ArraySetCount(9));
    char* copy = CopyCreditsText(text);
    EXPECT_STREQ(copy, "Made by Q");
    std::free(copy);
    static_cast<char*>(text->ArrayData())[4] = 0;
    EXPECT_EQ(CreditsTextLength(text), 4u);
    static_cast<char*>(text->ArrayData())[0] = 0;
    EXPECT_EQ(CopyCreditsText(text), nullptr);
    text->Destroy();
}

TEST(CreditsEditorLayout, PlacesTheWindowAndItsItemsAndFollowsThePicture)
{
    EXPECT_EQ(EdgesOf(CreditsEditorRect(kScreen, nullptr)), (Edges{363, 319, 660, 458}));
    EXPECT_EQ(CreditsEditorRect(kScreen, &kLarge).Height(), 13 + 300 + 66 + 63 + 10);
    const PictureSize huge = {1100, 900};
    EXPECT_EQ(EdgesOf(CreditsEditorRect(kScreen, &huge)), (Edges{20, 40, 1004, 748}));

    const CreditsEditorPlaces places = PlaceCreditsEditorItems(297, 129);
    EXPECT_EQ(EdgesOf(places.ok), (Edges{223, 88, 284, 116}));
    EXPECT_EQ(EdgesOf(places.cancel), (Edges{149, 88, 210, 116}));
    EXPECT_EQ(EdgesOf(places.picture), (Edges{13, 88, 94, 116}));
    EXPECT_EQ(EdgesOf(places.noPicture), (Edges{13, 57, 94, 85}));
    EXPECT_EQ(EdgesOf(places.text), (Edges{13, 13, 284, 63}));

    // 101 wider and 61 taller: 50 to the left, 51 to the right, 30 up, 31 down; never below
    // 297 x 129 nor beyond the screen less its gaps.
    const PortRect start = {363, 319, 660, 448};
    EXPECT_EQ(EdgesOf(ResizedForPicture(start, {0, 0}, {101, 61}, kScreen)), (Edges{313, 289, 711, 479}));
    EXPECT_EQ(EdgesOf(ResizedForPicture({299, 163, 725, 605}, kLarge, {0, 0}, kScreen)), (Edges{499, 313, 796, 455}));
    EXPECT_EQ(EdgesOf(ResizedForPicture(start, {0, 0}, {2000, 2000}, kScreen)), (Edges{20, 40, 1004, 748}));
}

}  // namespace
