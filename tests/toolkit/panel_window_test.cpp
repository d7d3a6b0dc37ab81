// Button panels in real windows: rows sharing a width, the placements, the press, track and
// click protocol, the hold that pops a sub-panel up (on the test's clock, across its wrap), the
// choice made in the pop-up and where the pop-up stands, and the pixels of a drawn button.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/draw/port_rect_corners.h"
#include "tests/toolkit/panel_fixture.h"
#include "toolkit/button_item.h"
#include "toolkit/button_panel.h"
#include "toolkit/button_panel_window.h"

namespace {

using Corners = std::array<int32_t, 4>;
enum Action : int32_t { kPress, kClick, kTrack };
using Call = std::array<int32_t, 3>;  // action, index, old index (tracking)
using Calls = std::vector<Call>;

class RecordingPanel : public ButtonPanel {
public:
    void Press(int32_t index, int32_t /*modifiers*/) override { calls.push_back({kPress, index, 0}); }
    void Click(int32_t index, int32_t /*modifiers*/) override { calls.push_back({kClick, index, 0}); }
    void Track(int32_t index, int32_t oldIndex, int32_t /*modifiers*/) override
    {
        calls.push_back({kTrack, index, oldIndex});
    }

    Calls Taken()
    {
        Calls taken;
        taken.swap(calls);
        return taken;
    }

    Calls calls;
};

RecordingPanel* MakePanel(int32_t columns, const std::vector<uint8_t>& glyphs)
{
    auto* panel = new RecordingPanel;
    IgnoreResult(panel->PanelInit(columns));
    for (uint8_t glyph : glyphs) panel->PanelAddItem(glyph);
    return panel;
}

ButtonPanelWindow* MakeWindowFor(ButtonPanel* panel)
{
    auto* pane = new ButtonPanelWindow;
    pane->PaneCreate(0);
    pane->LinkPanelOwner(panel);
    return pane;
}

Corners ItemRect(const ButtonPanel& panel, int32_t index)
{
    PortRect rect;
    panel.PanelItemRect(index, &rect);
    return CornersOf(rect);
}

// A grid of four glyph buttons at the window's origin; the last has a sub-panel of three.
class PanelWindowTest : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        sub_ = MakePanel(3, {168, 170, 196});
        sub_->PanelSetItemHelp(2, "Back");
        panel_ = MakePanel(4, {160, 162, 164, 166});
        panel_->PanelSetSubPanel(3, sub_);
        pane_ = new ButtonPanelWindow;
        pane_->PaneCreate(0);
        pane_->LinkPanelOwner(panel_);
        pane_->PanelWindowSetPlacement(nullptr, kPanelAtOrigin);
        window_->AddPane(pane_);
        PumpMessages();
        hwnd_ = pane_->PaneWindow();
    }

    void TearDown() override
    {
        PanelFixture::TearDown();
        sub_->PanelDeleteItems();
    }

    static int32_t CentreX(int32_t cell) { return cell * kLargeCellWidth + kLargeCellWidth / 2; }

    RecordingPanel* panel_ = nullptr;
    RecordingPanel* sub_ = nullptr;
    ButtonPanelWindow* pane_ = nullptr;
    HWND hwnd_ = nullptr;
};

}  // namespace

TEST(ButtonPanelRows, RowsShareTheWidthAndTheFillerTakesTheSparePixels)
{
    RecordingPanel* strip = MakePanel(-12, {206, 208, 210, 1, 162, 196, 160, 164, 166, 168, 1, 170});
    ButtonPanelWindow* pane = MakeWindowFor(strip);
    PortRect rect = {0, 0, 300, 40};
    strip->PanelLayout(&rect, nullptr);
    EXPECT_EQ(CornersOf(rect), (Corners{0, 0, 300, 23}));
    EXPECT_EQ(ItemRect(*strip, 3), (Corners{75, 0, 100, 23}));
    EXPECT_EQ(ItemRect(*strip, 11), (Corners{275, 0, 300, 23}));
    rect = {0, 0, 301, 40};
    strip->PanelLayout(&rect, nullptr);
    EXPECT_EQ(ItemRect(*strip, 3), (Corners{75, 0, 101, 23}));
    EXPECT_EQ(ItemRect(*strip, 4), (Corners{101, 0, 126, 23}));
    EXPECT_EQ(ItemRect(*strip, 10), (Corners{251, 0, 276, 23}));
    pane->PaneDestroy();

    // Runs of at most four end at a break, which is a 4-pixel band; without a filler the last
    // button of a run takes the spare pixels.
    RecordingPanel* broken = MakePanel(-4, {160, 162, kGlyphRowBreak, 164, 166, 168});
    pane = MakeWindowFor(broken);
    rect = {0, 0, 101, 0};
    broken->PanelLayout(&rect, nullptr);
    EXPECT_EQ(ItemRect(*broken, 1), (Corners{50, 0, 101, 23}));
    EXPECT_EQ(ItemRect(*broken, 2), (Corners{0, 23, 101, 27}));
    EXPECT_EQ(ItemRect(*broken, 3), (Corners{0, 27, 33, 50}));
    EXPECT_EQ(ItemRect(*broken, 5), (Corners{66, 27, 101, 50}));
    EXPECT_EQ(CornersOf(rect), (Corners{0, 0, 101, 50}));
    EXPECT_EQ(broken->PanelHitTest(50, 25), -1) << "the band is no button";
    pane->PaneDestroy();

    // Zero columns: one row up to each break, nothing divided by zero.
    RecordingPanel* unlimited = MakePanel(0, {160, 162, 164, kGlyphRowBreak, 166});
    pane = MakeWindowFor(unlimited);
    rect = {0, 0, 90, 0};
    unlimited->PanelLayout(&rect, nullptr);
    EXPECT_EQ(ItemRect(*unlimited, 2), (Corners{60, 0, 90, 23}));
    EXPECT_EQ(ItemRect(*unlimited, 4), (Corners{0, 27, 90, 50}));
    pane->PaneDestroy();
}

TEST(ButtonPanelRows, PlacementCodes)
{
    ButtonPanelWindow* pane = new ButtonPanelWindow;
    pane->PanelWindowInitWith(MakePanel(2, {160, 162, 164}), 40);
    PortRect rect = {0, 0, 300, 200};
    pane->PaneLayout(&rect, nullptr, kLayoutOpen, 0);
    EXPECT_EQ(CornersOf(rect), (Corners{40, 0, 90, 46}));
    pane->PanelWindowSetPlacement(nullptr, kPanelBottomRight);
    rect = {0, 0, 300, 200};
    pane->PaneLayout(&rect, nullptr, kLayoutResize, 0);
    EXPECT_EQ(CornersOf(rect), (Corners{250, 154, 300, 200}));
    pane->PanelWindowSetPlacement(nullptr, kPanelPopUp);
    pane->PaneLayout(&rect, nullptr, kLayoutResize, 0);
    EXPECT_EQ(CornersOf(rect), (Corners{250, 154, 300, 200})) << "a pop-up's code changes nothing outside mode 4";
    pane->PaneLayout(&rect, nullptr, kLayoutPopUp, 0);
    EXPECT_EQ(CornersOf(rect), (Corners{0, 0, 47, 43}));
    pane->PaneDestroy();
}

TEST_F(PanelWindowTest, PressTrackAndReleaseOutsideEveryButton)
{
    SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(CentreX(1), 10));
    EXPECT_EQ(panel_->Taken(), (Calls{{kPress, 1, 0}}));
    EXPECT_EQ(panel_->PanelItemState(1), kButtonPressed);
    ASSERT_TRUE(DispatchStep());
    EXPECT_EQ(panel_->Taken(), (Calls{{kTrack, 1, 1}}));

    PostMouse(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, CentreX(2), 10);
    EXPECT_EQ(panel_->Taken(), (Calls{{kTrack, 1, 1}, {kTrack, 2, 1}}));
    EXPECT_EQ((std::array<int32_t, 3>{panel_->PanelItemState(1), panel_->PanelItemState(2), panel_->PanelItemState(3)}),
              (std::array<int32_t, 3>{0, 1, 0}));
    PostMouse(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, 200, 100);
    EXPECT_EQ(panel_->Taken(), (Calls{{kTrack, 2, 2}, {kTrack, -1, 2}}));
    EXPECT_EQ(panel_->FirstPressedIndex(), -1);

    PostMouse(hwnd_, WM_LBUTTONUP, 0, 200, 100);
    EXPECT_EQ(panel_->Taken(), (Calls{{kTrack, -1, -1}, {kClick, -1, 0}}));
    EXPECT_TRUE(DispatchStep()) << "the release's last step";
    EXPECT_FALSE(DispatchStep());
    EXPECT_TRUE(panel_->Taken().empty());

    // A press on a pressed button releases it.
    panel_->PanelSetItemState(0, kButtonPressed);
    SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(CentreX(0), 10));
    EXPECT_EQ(panel_->PanelItemState(0), kButtonReleased);
    PostMouse(hwnd_, WM_LBUTTONUP, 0, CentreX(0), 10);
    EXPECT_EQ(panel_->Taken(), (Calls{{kPress, 0, 0}, {kTrack, 0, 0}, {kClick, 0, 0}}));
    PumpMessages();
}

TEST_F(PanelWindowTest, AHeldButtonPopsItsSubPanelUpAfterThirtyTicksAndTakesTheChoice)
{
    PopUpWatcher watcher;
    PortRect popUp = {0, 0, 0, 0};
    watcher.answer = [&](HWND popup) {
        RECT placed;
        GetWindowRect(popup, &placed);
        popUp = {placed.left, placed.top, placed.right, placed.bottom};
        HWND pane = GetWindow(popup, GW_CHILD);
        PortRect cell;
        sub_->PanelItemRect(2, &cell);
        const int32_t x = (cell.left + cell.right) / 2;
        const int32_t y = (cell.top + cell.bottom) / 2;
        PostMessageA(pane, WM_MOUSEMOVE, MK_LBUTTON, Point(x, y));
        PostMessageA(pane, WM_LBUTTONUP, 0, Point(x, y));
    };
    TestClockNow = 1000;
    SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(CentreX(3), 10));
    ASSERT_TRUE(DispatchStep());
    TestClockNow = 1000 + 30 * 16 + 15;
    ASSERT_TRUE(DispatchStep());
    EXPECT_EQ(watcher.Count(), 0) << "30 ticks are not enough";
    TestClockNow += 1;
    ASSERT_TRUE(DispatchStep());
    EXPECT_EQ(watcher.Count(), 1);

    // Held steps: no Track for a button with a sub-panel; the pop-up's first step tells the
    // pane under it that the pointer left; the changed choice is pressed.
    EXPECT_EQ(panel_->Taken(), (Calls{{kPress, 3, 0}, {kTrack, -1, 3}, {kPress, 3, 0}}));
    EXPECT_EQ(panel_->PanelItemKind(3), 196);
    EXPECT_STREQ(panel_->PanelItemHelp(3), "Back");
    EXPECT_EQ(panel_->PanelItem(3)->Selected(), 2);
    EXPECT_EQ(sub_->FirstPressedIndex(), 2);
    EXPECT_EQ(sub_->LastPressedIndex(), 2);
    EXPECT_EQ(sub_->PanelWindow(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(DispatchStep()) << "the chain ended with the pop-up";

    // Beside a cell-sized anchor at the button: one pixel right of it, one lower than the button.
    POINT button = {3 * kLargeCellWidth, 0};
    ClientToScreen(hwnd_, &button);
    EXPECT_EQ(popUp.left, button.x + kLargeCellWidth + 1);
    EXPECT_EQ(popUp.top, button.y + 1);
    // The cells from the margin, and one pixel beyond them.
    EXPECT_EQ(popUp.Width(), 3 * kLargeCellWidth + kPanelMargin + 1);
    EXPECT_EQ(popUp.Height(), kLargeCellHeight + kPanelMargin + 1);
}

TEST_F(PanelWindowTest, TheHoldCountsTheClockAcrossItsWrapAndAShortHoldOpensNothing)
{
    PopUpWatcher watcher;
    TestClockNow = 0xFFFFFF00u;
    SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(CentreX(3), 10));
    ASSERT_TRUE(DispatchStep());
    TestClockNow += 100;
    ASSERT_TRUE(DispatchStep());
    TestClockNow += 395;
    ASSERT_TRUE(DispatchStep());
    EXPECT_EQ(watcher.Count(), 0) << "495 ms across the wrap are 30 ticks";
    TestClockNow += 1;
    ASSERT_TRUE(DispatchStep());
    EXPECT_EQ(watcher.Count(), 1);
    // Closed with WM_CLOSE: the choice stays, Press does not run again.
    EXPECT_EQ(panel_->Taken(), (Calls{{kPress, 3, 0}}));
    EXPECT_EQ(panel_->PanelItemKind(3), 168) << "the first choice, pressed for the pop-up";
    EXPECT_FALSE(DispatchStep());

    // A short hold, and a move away and back, which starts the hold again.
    TestClockNow = 5000;
    SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, Point(CentreX(3), 10));
    ASSERT_TRUE(DispatchStep());
    TestClockNow += 400;
    PostMouse(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, CentreX(2), 10);
    PostMouse(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, CentreX(3), 10);
    TestClockNow += 400;
    ASSERT_TRUE(DispatchStep());
    PostMouse(hwnd_, WM_LBUTTONUP, 0, CentreX(3), 10);
    PumpMessages();
    EXPECT_EQ(watcher.Count(), 1);
    const Calls calls = panel_->Taken();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), (Call{kClick, 3, 0}));
}

TEST(ButtonDrawing, BevelGlyphAndSubPanelMarkPixels)
{
    // The glyph of 162 (move forward) from the button font, a row per string.
    static const char* const kForward[16] = {
        "................", ".......##.......", "......####......", ".....######.....",
        "....########....", "...##########...", "..############..", ".##############.",
        "......####......", "......####......", "......####......", "......####......",
        "......####......", "......####......", "......####......", "................",
    };
    PixelPort port(64, 40);
    auto pixel = [&](int x, int y) { return port.Pixel(x, y); };

    ButtonPanel* panel = MakePanel(1, {162, 162});
    panel->PanelItem(0)->SetRect({10, 10, 35, 33});
    panel->PanelItem(1)->SetRect({0, 0, 0, 0});
    panel->PanelItem(0)->SetSubPanel(panel);
    panel->PanelDraw(0);
    EXPECT_EQ(panel->PanelItem(0)->IsDirty(), 0);

    EXPECT_EQ(pixel(9, 9), 0u) << "the frame";
    EXPECT_EQ(pixel(34, 32), 0u);
    // Greys of the panel's own, whatever the system's colours: the face, then the top, right,
    // bottom and left edges; released, then pressed.
    using Greys = std::array<uint32_t, 5>;
    auto bevel = [&] { return Greys{pixel(12, 30), pixel(20, 10), pixel(33, 20), pixel(20, 31), pixel(10, 20)}; };
    EXPECT_EQ(bevel(), (Greys{0xC0C0C0, 0xFFFFFF, 0x808080, 0x808080, 0xFFFFFF}));
    // The glyph's top-left at (10 + (24 - 16) / 2, (43 - 11) / 2 - 3) = (14, 13).
    int wrong = 0;
    for (int row = 0; row < 16; ++row) {
        // Column 15 meets the sub-panel mark.
        for (int column = 0; column < 15; ++column) {
            const bool ink = kForward[row][column] == '#';
            wrong += ink != (pixel(14 + column, 13 + row) == 0);
        }
    }
    EXPECT_EQ(wrong, 0) << "glyph pixels";
    // The sub-panel mark: a right-pointing triangle with its tip at (31, 27).
    EXPECT_EQ((std::array<uint32_t, 4>{pixel(31, 27), pixel(30, 26), pixel(29, 25), pixel(29, 29)}),
              (std::array<uint32_t, 4>{0, 0, 0, 0}));
    EXPECT_NE(pixel(31, 26), 0u);
    EXPECT_NE(pixel(32, 27), 0u);
    panel->PanelSetItemState(0, kButtonPressed);
    panel->PanelDrawDirty(0);
    EXPECT_EQ(bevel(), (Greys{0xB0B0B0, 0x808080, 0xB0B0B0, 0xB0B0B0, 0x808080}));

    // In black and white the mark is painted in a stock pattern: solid black on a released
    // button, all back colour on a pressed one, which is painted black. The pattern is solid
    // again after each mark: the next pressed button is painted black too.
    panel->PanelItem(1)->SetRect({37, 10, 62, 33});
    panel->PanelItem(1)->SetSubPanel(panel);
    using Mark = std::array<uint32_t, 3>;  // the tip, the pixel above it, the button's inside
    auto mark = [&](int button) {
        const int dx = 27 * button;
        return Mark{pixel(31 + dx, 27), pixel(31 + dx, 26), pixel(12 + dx, 30)};
    };
    panel->PanelSetItemState(0, kButtonReleased);
    panel->PanelDraw(1);
    EXPECT_EQ(mark(0), (Mark{0, 0xFFFFFF, 0xFFFFFF}));
    panel->PanelSetItemState(0, kButtonPressed);
    panel->PanelSetItemState(1, kButtonMarked);
    // A back colour of grey rather than white shows that the pattern, not a white pen, paints.
    constexpr uint32_t kGrey = 0x808080;
    SetBkColor(port.dc(), RGB(0x80, 0x80, 0x80));
    panel->PanelDraw(1);
    EXPECT_EQ(mark(0), (Mark{kGrey, 0, 0}));
    EXPECT_EQ(mark(1), (Mark{kGrey, 0, 0}));
    EXPECT_EQ((std::array<uint32_t, 2>{pixel(56, 25), pixel(56, 29)}), (std::array<uint32_t, 2>{kGrey, kGrey}));
    for (int32_t i = 0; i < 2; ++i) panel->PanelItem(i)->SetSubPanel(nullptr);
    panel->PanelDeleteItems();
}
