// Icon palettes: the predefined palettes, radio choice of cells told to the target, the commands
// that restore the previous cell and step a sub-panel, the mask palette that keeps one cell on,
// and the click count of a double click through a real window.
#include "toolkit/icon_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/toolkit/panel_fixture.h"
#include "toolkit/button_item.h"
#include "toolkit/button_panel_window.h"

namespace {

using Choice = std::array<int32_t, 3>;    // kind, modifiers, clicks
using Command = std::array<int32_t, 4>;   // sender is the palette, kind, code, value

class RecordingTarget : public PaletteTarget {
public:
    void PaletteChoice(int32_t kind, int32_t modifiers, int32_t clicks) override
    {
        choices.push_back({kind, modifiers, clicks});
    }
    void PaletteCommand(ButtonPanel* sender, int32_t kind, int32_t code, int32_t value) override
    {
        commands.push_back({sender == expectedSender, kind, code, value});
    }

    std::vector<Choice> choices;
    std::vector<Command> commands;
    ButtonPanel* expectedSender = nullptr;
};

std::vector<int32_t> States(const ButtonPanel& panel)
{
    std::vector<int32_t> states;
    for (int32_t i = 0; i < panel.ArrayCount(); ++i) states.push_back(panel.PanelItemState(i));
    return states;
}

std::vector<int32_t> Kinds(const ButtonPanel& panel)
{
    std::vector<int32_t> kinds;
    for (int32_t i = 0; i < panel.ArrayCount(); ++i) kinds.push_back(panel.PanelItemKind(i));
    return kinds;
}

// Shows the palette in a panel window at the window's origin; the window frees it.
HWND Show(Window* window, ButtonPanel* palette)
{
    auto* pane = new ButtonPanelWindow;
    pane->PaneCreate(0);
    pane->LinkPanelOwner(palette);
    pane->PanelWindowSetPlacement(nullptr, kPanelAtOrigin);
    window->AddPane(pane);
    PumpMessages();
    return pane->PaneWindow();
}

void Click(HWND pane, UINT down, int32_t cell)
{
    const int32_t x = cell * kLargeCellWidth + kLargeCellWidth / 2;
    SendMessageA(pane, down, MK_LBUTTON, Point(x, 10));
    PostMouse(pane, WM_LBUTTONUP, 0, x, 10);
    PumpMessages();
}

}  // namespace

TEST(IconPalette, ThePredefinedPalettes)
{
    struct Expected {
        IconPaletteKind kind;
        int32_t columns;
        std::vector<int32_t> kinds;
        std::vector<int32_t> states;
    };
    const Expected expected[] = {
        {IconPaletteKind::kThreeCells, 3, {0x60, 0x5F, 0x5E}, {0, 0, 0}},
        {IconPaletteKind::kFiveCells, 5, {0x27, 0x26, 0x25, 0x24, 0x23}, {1, 0, 0, 0, 0}},
        {IconPaletteKind::kTwoCells, 2, {0x8A, 0x39}, {1, 0}},
        {IconPaletteKind::kOtherTwoCells, 2, {0x65, 0x55}, {1, 0}},
    };
    for (const Expected& palette : expected) {
        Owned<IconPalette> made(MakeIconPalette(palette.kind));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->Columns(), palette.columns);
        EXPECT_EQ(Kinds(*made), palette.kinds);
        EXPECT_EQ(States(*made), palette.states);
        EXPECT_EQ(made->Target(), nullptr);
    }
    Owned<MaskPalette> mask(MakeMaskPalette());
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(Kinds(*mask), (std::vector<int32_t>{0x46, 0x44, 0x45}));
    EXPECT_EQ(States(*mask), (std::vector<int32_t>{1, 1, 1}));
    EXPECT_EQ(mask->Mask(), 7u);
}

TEST(IconPalette, CellsAreChosenLikeRadioButtonsAndThePreviousOneComesBack)
{
    Owned<IconPalette> palette(MakeIconPalette(IconPaletteKind::kFiveCells));
    RecordingTarget target;
    palette->SetPaletteTarget(&target);

    palette->PaletteCommand(2, kPaletteSelect);
    EXPECT_EQ(target.choices, (std::vector<Choice>{{0x25, 0, 1}}));
    EXPECT_EQ(States(*palette), (std::vector<int32_t>{0, 0, 1, 0, 0}));
    EXPECT_EQ(palette->PreviousIndex(), 2);
    palette->PaletteCommand(4, kPaletteSelect);
    EXPECT_EQ(palette->EarlierIndex(), 2);
    EXPECT_EQ(palette->FirstPressedKind(0), 0x23);
    EXPECT_EQ(palette->FirstPressedKind(5), 0);

    // A tool taken for a moment: the previous cell comes back and is told.
    palette->PaletteCellPressed(1, 0);
    palette->PaletteCommand(1, kPaletteRestore);
    EXPECT_EQ(States(*palette), (std::vector<int32_t>{0, 0, 0, 0, 1}));
    EXPECT_EQ(target.choices.back(), (Choice{0x23, 0, 1}));
    EXPECT_EQ(palette->PreviousIndex(), 1);

    // Two groups: cells 0-2 and the rest.
    palette->SetTwoGroups(1);
    palette->PaletteCellPressed(0, 0);
    EXPECT_EQ(States(*palette), (std::vector<int32_t>{1, 0, 0, 0, 1}));
    palette->PaletteCellPressed(3, 0);
    EXPECT_EQ(States(*palette), (std::vector<int32_t>{1, 0, 0, 1, 0}));
}

TEST(IconPalette, ACellStepsThroughItsSubPanel)
{
    Owned<IconPalette> palette(MakeIconPalette(IconPaletteKind::kTwoCells));
    Owned<IconPalette> sub(MakeIconPalette(IconPaletteKind::kThreeCells));
    sub->PanelSetItemState(0, kButtonPressed);
    palette->PanelSetSubPanel(0, sub.get());
    RecordingTarget target;
    palette->SetPaletteTarget(&target);
    EXPECT_EQ(sub->Target(), &target);
    EXPECT_EQ(palette->PanelItemKind(0), 0x60);

    palette->PaletteCommand(0, kPaletteNextSubChoice);
    EXPECT_EQ(palette->PanelItemKind(0), 0x5F);
    EXPECT_EQ(States(*sub), (std::vector<int32_t>{0, 1, 0}));
    EXPECT_EQ(target.choices, (std::vector<Choice>{{0x5F, 0, 1}}));
    // Without a sub-panel code 3 restores the previous cell.
    palette->PaletteCommand(1, kPaletteNextSubChoice);
    EXPECT_EQ(target.choices.back(), (Choice{0x5F, 0, 1}));
    EXPECT_EQ(palette->PreviousIndex(), 1);
}

TEST_F(PanelFixture, TheMaskPaletteKeepsOneCellOn)
{
    MaskPalette* mask = MakeMaskPalette();
    RecordingTarget target;
    target.expectedSender = mask;
    mask->SetPaletteTarget(&target);
    HWND pane = Show(window_, mask);
    Click(pane, WM_LBUTTONDOWN, 0);
    EXPECT_EQ(mask->Mask(), 3u);
    Click(pane, WM_LBUTTONDOWN, 1);
    EXPECT_EQ(mask->Mask(), 1u);
    Click(pane, WM_LBUTTONDOWN, 2);
    EXPECT_EQ(mask->Mask(), 1u) << "the last cell stays on";
    EXPECT_EQ(States(*mask), (std::vector<int32_t>{0, 0, 1}));
    Click(pane, WM_LBUTTONDOWN, 0);
    EXPECT_EQ(mask->Mask(), 5u);
    EXPECT_EQ(target.commands, (std::vector<Command>(4, Command{1, kMaskCommandKind, kMaskChangedCode, 0})));
    EXPECT_TRUE(target.choices.empty());
}

TEST_F(PanelFixture, ADoubleClickTellsTwoClicks)
{
    IconPalette* palette = MakeIconPalette(IconPaletteKind::kFiveCells);
    RecordingTarget target;
    palette->SetPaletteTarget(&target);
    HWND pane = Show(window_, palette);
    Click(pane, WM_LBUTTONDOWN, 3);
    Click(pane, WM_LBUTTONDBLCLK, 3);
    EXPECT_EQ(target.choices, (std::vector<Choice>{{0x24, MK_LBUTTON, 1}, {0x24, MK_LBUTTON | 0x10000, 2}}));
    EXPECT_EQ(States(*palette), (std::vector<int32_t>{0, 0, 0, 1, 0}));
}
