// Button panels without a window: the grid layout with its fillers, hit testing, the buttons'
// states and glyphs, and the choices of a sub-panel.
#include "toolkit/button_panel.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/draw/port_rect_corners.h"
#include "toolkit/button_item.h"

namespace {

using Corners = std::array<int32_t, 4>;

// A panel of the glyphs; freed with its buttons.
Owned<ButtonPanel> MakePanel(int32_t columns, const std::vector<uint8_t>& glyphs)
{
    Owned<ButtonPanel> panel(new ButtonPanel);
    EXPECT_EQ(panel->PanelInit(columns), kResultOk);
    for (uint8_t glyph : glyphs) EXPECT_GE(panel->PanelAddItem(glyph), 0);
    return panel;
}

Corners ItemRect(const ButtonPanel& panel, int32_t index)
{
    PortRect rect;
    panel.PanelItemRect(index, &rect);
    return CornersOf(rect);
}

}  // namespace

TEST(ButtonPanel, GridCellsFromTheOffsetAndTheirBounds)
{
    auto panel = MakePanel(3, {10, 11, 12, 13, 14});
    EXPECT_EQ(panel->CellWidth(), kLargeCellWidth);
    EXPECT_EQ(panel->CellHeight(), kLargeCellHeight);
    PortRect rect = {50, 50, 60, 60};
    const PortRect offset = {3, 3, 3, 3};
    panel->PanelLayout(&rect, &offset);
    EXPECT_EQ(panel->Rows(), 2);
    EXPECT_EQ(ItemRect(*panel, 4), (Corners{28, 26, 53, 49}));
    EXPECT_EQ(CornersOf(rect), (Corners{3, 3, 78, 49}));

    panel->SetLarge(0);
    EXPECT_EQ(panel->CellWidth(), kSmallCellSize);
    EXPECT_EQ(panel->CellHeight(), kSmallCellSize);
    panel->PanelLayout(&rect, nullptr);
    EXPECT_EQ(CornersOf(rect), (Corners{0, 0, 54, 36}));
}

TEST(ButtonPanel, ABlankInTheLastColumnWidensItsRowAndHides)
{
    auto panel = MakePanel(3, {10, 11, kGlyphBlank, 13, 14, 15});
    PortRect rect = {0, 0, 0, 0};
    panel->PanelLayout(&rect, nullptr);
    // Each of the other two cells widens by 25 / 2 = 12 and moves right by the widening before it.
    EXPECT_EQ(ItemRect(*panel, 0), (Corners{0, 0, 37, 23}));
    EXPECT_EQ(ItemRect(*panel, 1), (Corners{37, 0, 74, 23}));
    EXPECT_EQ(ItemRect(*panel, 2), (Corners{0, 0, 0, 0}));
    EXPECT_EQ(ItemRect(*panel, 5), (Corners{50, 23, 75, 46}));
    EXPECT_EQ(CornersOf(rect), (Corners{0, 0, 75, 46}));

    // One column: the blank is the row's only cell; nothing is divided by columns - 1.
    auto single = MakePanel(1, {10, kGlyphBlank, 12});
    single->PanelLayout(&rect, nullptr);
    EXPECT_EQ(ItemRect(*single, 1), (Corners{0, 0, 0, 0}));
    EXPECT_EQ(ItemRect(*single, 2), (Corners{0, 46, 25, 69}));
    EXPECT_EQ(CornersOf(rect), (Corners{0, 0, 25, 69}));
}

TEST(ButtonPanel, RowsWaitForAWindow)
{
    // Rows share the width of the window's pane: without one the rectangle is left as it is, for
    // zero columns too.
    for (int32_t columns : {-4, 0}) {
        auto panel = MakePanel(columns, {10, 11, 12});
        PortRect rect = {1, 2, 300, 40};
        panel->PanelLayout(&rect, nullptr);
        EXPECT_EQ(CornersOf(rect), (Corners{1, 2, 300, 40}));
        EXPECT_EQ(ItemRect(*panel, 2), (Corners{0, 0, 0, 0}));
    }
}

TEST(ButtonPanel, HitTestsTakeTheFirstButtonWithItsEdgesAndNeverBlanks)
{
    auto panel = MakePanel(4, {10, kGlyphFiller, 12, kGlyphRowBreak, kGlyphSpace});
    PortRect rect = {0, 0, 0, 0};
    panel->PanelLayout(&rect, nullptr);
    EXPECT_EQ(panel->PanelHitTest(0, 0), 0);
    // Cell 0's right edge is cell 1's left one: the first button has it.
    EXPECT_EQ(panel->PanelHitTest(25, 10), 0);
    EXPECT_EQ(panel->PanelHitTest(30, 10), -1);
    EXPECT_EQ(panel->PanelHitTest(60, 23), 2);
    EXPECT_EQ(panel->PanelHitTest(80, 10), -1);
    EXPECT_EQ(panel->PanelHitTest(10, 30), 4);
    EXPECT_EQ(panel->PanelHitTest(-1, 10), -1);
    EXPECT_EQ(panel->PanelHitTest(10, -1), -1);
    EXPECT_EQ(panel->PanelHitTest(200, 200), -1);
}

TEST(ButtonPanel, ButtonsAndTheirStates)
{
    auto panel = MakePanel(3, {10, 11, 12});
    EXPECT_EQ(panel->PanelInsertItem(1, 20), 1);
    EXPECT_EQ(panel->PanelInsertItem(9, 20), kResultOutOfRange);
    EXPECT_EQ(panel->PanelItemKind(1), 20);
    EXPECT_EQ(panel->Remove(1), kResultOk);
    EXPECT_EQ(panel->PanelItemKind(1), 11);
    EXPECT_EQ(panel->ArrayCount(), 3);
    EXPECT_EQ(panel->ElementSize(), int32_t(sizeof(ButtonItem*)));

    panel->PanelSetItemState(2, kButtonMarked);
    panel->PanelSetItemState(1, kButtonPressed);
    EXPECT_EQ(panel->FirstPressedIndex(), 1);
    EXPECT_EQ(panel->LastPressedIndex(), 2);
    panel->ReleaseAll();
    EXPECT_EQ(panel->FirstPressedIndex(), -1);

    panel->PanelSetItemHelp(0, "Zero");
    EXPECT_STREQ(panel->PanelItemHelp(0), "Zero");
    panel->PanelSetItemHelp(0, nullptr);
    EXPECT_STREQ(panel->PanelItemHelp(0), "");
    EXPECT_STREQ(panel->PanelItemHelp(7), "");
    EXPECT_EQ(panel->PanelItemState(-1), kButtonReleased);
    EXPECT_EQ(panel->PanelItemKind(3), kGlyphBlank);
    panel->PanelSetItemGlyph(9, 30);
    panel->PanelSetItemState(9, kButtonPressed);
}

TEST(ButtonPanel, ASubPanelGivesItsButtonItsChoices)
{
    auto panel = MakePanel(2, {10, 11});
    auto sub = MakePanel(3, {40, 41, 42});
    sub->PanelSetItemHelp(1, "Forty-one");
    sub->PanelSetItemState(0, kButtonPressed);
    sub->PanelSetItemState(1, kButtonPressed);
    panel->PanelSetSubPanel(1, sub.get());
    ButtonItem* button = panel->PanelItem(1);
    EXPECT_EQ(button->Glyph(), 41);
    EXPECT_STREQ(button->Help(), "Forty-one");
    EXPECT_EQ(button->Selected(), 1);

    sub->PanelSetItemState(0, kButtonReleased);
    button->ItemNextSubChoice();
    EXPECT_EQ(button->Glyph(), 42);
    EXPECT_EQ((std::array<int32_t, 3>{sub->PanelItemState(0), sub->PanelItemState(1), sub->PanelItemState(2)}),
              (std::array<int32_t, 3>{0, 0, 1}));
    button->ItemNextSubChoice();
    EXPECT_EQ(button->Selected(), 0);
    EXPECT_EQ(button->Glyph(), 40);

    auto empty = MakePanel(3, {});
    panel->PanelSetSubPanel(0, empty.get());
    panel->PanelItem(0)->ItemNextSubChoice();
    EXPECT_EQ(panel->PanelItemKind(0), 10);
}
