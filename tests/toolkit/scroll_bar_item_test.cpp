// The pane's scroll-bar items and the control kinds that nothing in the program makes: the
// scroll-bar control, the combo box, the radius item and the frame item.
#include <algorithm>

#include "draw/current_port.h"
#include "tests/toolkit/item_fixture.h"
#include "toolkit/combo_box.h"
#include "toolkit/control_list.h"
#include "toolkit/frame_item.h"
#include "toolkit/radius_item.h"
#include "toolkit/scroll_bar_control.h"
#include "toolkit/scroll_bar_item.h"

namespace {

using ScrollBarItemTest = ItemTest;

TEST_F(ScrollBarItemTest, MessagesMoveByStepsAndRedrawExceptWhileTheThumbIsTracked)
{
    RecordingPane* pane = OpenPane(kPaneVerticalBar);
    ScrollBarItem* bar = pane->VerticalBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(pane->HorizontalBar(), nullptr);
    pane->SetVerticalRange(0, 100);
    pane->SetVerticalSteps(1, 20, 5);
    PumpMessages();
    pane->drawModes.clear();

    struct Step {
        int32_t code;
        int32_t position;
        int32_t expected;
    };
    const Step steps[] = {{SB_LINEDOWN, 0, 5},      {SB_PAGEDOWN, 0, 25},   {SB_THUMBTRACK, 60, 60},
                          {SB_THUMBPOSITION, 70, 70}, {SB_PAGEUP, 0, 50},     {SB_BOTTOM, 0, 100},
                          {SB_LINEDOWN, 0, 100},      {SB_TOP, 0, 0},         {SB_LINEUP, 0, 0}};
    for (const Step& step : steps) {
        bar->ScrollBarMessage(step.code, step.position);
        EXPECT_EQ(GetScrollPos(pane->PaneWindow(), SB_VERT), step.expected) << "code " << step.code;
    }
    EXPECT_EQ(pane->drawModes, std::vector<int32_t>(8, kDrawScrolled)) << "every step but the thumb track";

    pane->drawModes.clear();
    bar->ScrollBarMessage(SB_ENDSCROLL, 0);
    EXPECT_TRUE(pane->drawModes.empty());
    SendMessageA(pane->PaneWindow(), WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(bar->GetPosition(), 20) << "through the pane window's own message";

    window_->RemovePane(pane);
    int32_t minimum = -1;
    int32_t maximum = -1;
    bar->GetRange(&minimum, &maximum);
    EXPECT_EQ(bar->GetPosition(), 0) << "without an owner";
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0);
    bar->ScrollBarMessage(SB_LINEDOWN, 0);
    window_->AddPane(pane);  // the window destroys its panes

}

TEST_F(ScrollBarItemTest, ScrollBarControlKeepsItsValueAndRange)
{
    auto* control = new ScrollBarControl;
    control->ItemInit();
    control->ItemSetBounds({10, 10, 26, 150});
    control->SetButtonRange(0, 50);
    control->ButtonSetState(30);
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(control);
    HWND bar = control->Control();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(ControlClass(bar), "ScrollBar");
    EXPECT_EQ(GetWindowLongPtrA(bar, GWL_STYLE) & SBS_VERT, SBS_VERT);
    int minimum = -1;
    int maximum = -1;
    GetScrollRange(bar, SB_CTL, &minimum, &maximum);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 50);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 30);
    SetScrollPos(bar, SB_CTL, 12, TRUE);
    EXPECT_EQ(control->ButtonGetState(), 12);
    window_->RemovePane(pane);
    window_->AddPane(pane);
    EXPECT_EQ(GetScrollPos(control->Control(), SB_CTL), 12);
}

class CountingCombo : public ComboBox {
public:
    void ButtonPress() override { ++presses; }
    int32_t presses = 0;

protected:
    ~CountingCombo() override = default;
};

TEST_F(ScrollBarItemTest, ComboBoxListsItsEntriesInEveryControlAndPressesOnAChoice)
{
    auto* combo = new CountingCombo;
    combo->ItemInit();
    combo->ItemSetBounds({10, 10, 150, 120});
    EXPECT_EQ(combo->AddComboEntry("Flat"), kResultOk);
    EXPECT_EQ(combo->AddComboEntry("Shaded"), kResultOk);
    combo->ButtonSetState(2);
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(combo);
    HWND control = combo->Control();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(ControlClass(control), "ComboBox");
    // The combo box keeps WS_VSCROLL for its list.
    EXPECT_EQ(uint32_t(GetWindowLongPtrA(control, GWL_STYLE)) & kComboBoxStyle, kComboBoxStyle & ~WS_VSCROLL);
    EXPECT_EQ(combo->AddComboEntry("Textured"), kResultOk);
    EXPECT_EQ(SendMessageA(control, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(control, CB_GETCURSEL, 0, 0), 1);
    SendMessageA(control, CB_SETCURSEL, 2, 0);
    EXPECT_EQ(combo->ButtonGetState(), 3);
    EXPECT_EQ(combo->IsComboDropped(), 0);

    EXPECT_EQ(pane->Controls()->ControlListCommand(control, CBN_SELENDOK), 1);
    EXPECT_EQ(pane->Controls()->ControlListCommand(control, CBN_SELCHANGE), 1);
    EXPECT_EQ(combo->presses, 1);

    window_->RemovePane(pane);
    window_->AddPane(pane);
    EXPECT_EQ(SendMessageA(combo->Control(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(combo->Control(), CB_GETCURSEL, 0, 0), 2);
    char entry[32] = {};
    SendMessageA(combo->Control(), CB_GETLBTEXT, 2, LPARAM(entry));
    EXPECT_STREQ(entry, "Textured");
}

TEST_F(ScrollBarItemTest, RadiusItemAndFrameItem)
{
    auto* radius = new RadiusItem;
    radius->ItemInit();
    auto* frame = new FrameItem(COLOR_HIGHLIGHT);
    frame->ItemInit();
    frame->ItemSetBounds({2, 3, 12, 9});
    RecordingPane* pane = OpenPane();
    pane->PaneAddControl(radius);
    pane->PaneAddControl(frame);
    RECT client = {};
    GetClientRect(pane->PaneWindow(), &client);
    EXPECT_EQ(radius->FirstValue(), 8);
    EXPECT_EQ(radius->SecondValue(), 9);
    EXPECT_EQ(radius->Radius(), std::min(client.right, client.bottom) / 2);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 16, 16, WHITENESS);
    SetPort(dc);
    frame->ItemDraw();
    SetPort(nullptr);
    const COLORREF edge = GetPixel(dc, 2, 3);
    EXPECT_EQ(GetPixel(dc, 11, 8), edge);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 12, 9), RGB(255, 255, 255));
    EXPECT_EQ(edge, GetNearestColor(dc, GetSysColor(COLOR_HIGHLIGHT)));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
