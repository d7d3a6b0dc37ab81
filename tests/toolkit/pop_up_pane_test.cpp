// Pop-up panes: where the window stands (at the point grown by the margin, fitted on the screen,
// or beside an anchor), what holds while it is up, how it ends (a release inside, WM_CLOSE,
// WM_QUIT), and the pane under it, whose tracking ends (its chain too) and whose drawing resumes.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/draw/port_rect_corners.h"
#include "tests/toolkit/panel_fixture.h"
#include "toolkit/input_events.h"
#include "toolkit/message_loop.h"
#include "toolkit/pane.h"
#include "toolkit/screen_bounds.h"

namespace {

using Corners = std::array<int32_t, 4>;

// 40 x 30 when it pops up; records its releases.
class SizedPane : public Pane {
public:
    static SizedPane* Make()
    {
        auto* pane = new SizedPane;
        pane->PaneCreate(0);
        return pane;
    }

    void PaneLayout(PortRect* rect, ScrollPositions*, int32_t mode, int32_t) override
    {
        if (mode == kLayoutPopUp) *rect = {0, 0, 40, 30};
    }
    void PaneMouseUp(int32_t x, int32_t y, int32_t) override { releases.push_back({x, y}); }
    // Counts the steps that see the button held while another pane is up as a pop-up; a chain
    // that runs on under the pop-up (and would keep its timers from coming) closes it.
    void PaneTrack(int32_t x, int32_t /*y*/, int32_t modifiers, int32_t) override
    {
        constexpr int32_t kRunaway = 100;
        HWND popup = FindWindowA(nullptr, "Pop Up");
        if (popup && !(PaneFlags() & kPaneOpenPopUp) && (modifiers & kModifierLeftButton) && x != kPointerLeft &&
            ++heldStepsUnderPopUp == kRunaway)
            SendMessageA(popup, WM_CLOSE, 0, 0);
    }

    std::vector<std::array<int32_t, 2>> releases;
    int32_t heldStepsUnderPopUp = 0;

protected:
    ~SizedPane() override = default;
};

// What held while the pop-up was up.
struct Seen {
    Corners window = {0, 0, 0, 0};
    int32_t flags = 0;
    int32_t runs = 0;
    bool frameEnabled = true;
    Corners content = {0, 0, 0, 0};
};

class PopUpPaneTest : public PanelFixture {
protected:
    // Records what holds, then releases the button inside the pane.
    void AnswerByReleasingInside()
    {
        watcher_.answer = [this](HWND popup) {
            RECT placed;
            GetWindowRect(popup, &placed);
            seen_ = {{placed.left, placed.top, placed.right, placed.bottom}, pane_->PaneFlags(), ModalRunDepth(),
                     IsWindowEnabled(frame_->FrameWindow()) != 0, CornersOf(pane_->ContentRect())};
            PostMessageA(pane_->PaneWindow(), WM_LBUTTONUP, 0, Point(5, 5));
        };
    }

    void TearDown() override
    {
        pane_->PaneDestroy();
        PanelFixture::TearDown();
    }

    SizedPane* pane_ = SizedPane::Make();
    PopUpWatcher watcher_;
    Seen seen_;
};

}  // namespace

TEST_F(PopUpPaneTest, PlacedAtThePointGrownByTheMarginOrFittedOnTheScreen)
{
    AnswerByReleasingInside();
    EXPECT_EQ(pane_->PopUpPane(100, 100, 3, nullptr), kResultOk);
    EXPECT_EQ(seen_.window, (Corners{97, 97, 144, 134}));
    EXPECT_EQ(seen_.flags, kPaneOpenPopUp);
    EXPECT_EQ(seen_.runs, 1);
    EXPECT_FALSE(seen_.frameEnabled);
    EXPECT_EQ(seen_.content, (Corners{0, 0, 47, 37}));
    EXPECT_EQ(pane_->PaneFlags(), 0);
    EXPECT_EQ(CornersOf(pane_->ContentRect()), (Corners{0, 0, 0, 0})) << "the rectangles as they were";
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
    EXPECT_EQ(pane_->releases, (std::vector<std::array<int32_t, 2>>{{5, 5}}));

    PortRect screen;
    GetScreenBounds(&screen);
    EXPECT_EQ(pane_->PopUpPane(5000, 5000, 0, nullptr), kResultOk);
    EXPECT_EQ(seen_.window, (Corners{screen.right - 40, screen.bottom - 30, screen.right, screen.bottom}));

    const PortRect anchor = {200, 200, 225, 223};
    EXPECT_EQ(pane_->PopUpPane(200, 201, 3, &anchor), kResultOk);
    EXPECT_EQ(seen_.window, (Corners{226, 198, 273, 235})) << "right of the anchor";
    EXPECT_EQ(watcher_.Count(), 3);
}

TEST_F(PopUpPaneTest, WmCloseAndWmQuitEndItAndTheWindowGoes)
{
    HWND shown = nullptr;
    watcher_.answer = [&](HWND popup) {
        shown = popup;
        PopUpWatcher::Close(popup);
    };
    EXPECT_EQ(pane_->PopUpPane(10, 10, 0, nullptr), kResultOk);
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_EQ(GetCapture(), nullptr);

    watcher_.answer = [](HWND) { PostQuitMessage(7); };
    EXPECT_EQ(pane_->PopUpPane(10, 10, 0, nullptr), kResultOk);
    EXPECT_EQ(TakeQuit(), 7) << "posted again for the loops outside";
    EXPECT_EQ(pane_->PaneFlags(), 0);
    EXPECT_EQ(ModalRunDepth(), 0);
    EXPECT_EQ(watcher_.Count(), 2);

    // Tracking ended with it: a press in another pane captures the mouse again.
    auto* other = SizedPane::Make();
    window_->AddPane(other);
    SendMessageA(other->PaneWindow(), WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 3));
    EXPECT_EQ(GetCapture(), other->PaneWindow());
    PostMouse(other->PaneWindow(), WM_LBUTTONUP, 0, 3, 3);
    EXPECT_EQ(other->releases.size(), 1u);
    PumpMessages();
}

TEST_F(PopUpPaneTest, ThePaneUnderItEndsItsTrackingAndDrawsAgainAfterwards)
{
    auto* under = SizedPane::Make();
    window_->AddPane(under);
    SendMessageA(under->PaneWindow(), WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 20));
    under->BeginPaneDrawing();
    AnswerByReleasingInside();
    EXPECT_EQ(pane_->PopUpPane(10, 20, 0, nullptr), kResultOk);
    EXPECT_EQ(under->releases, (std::vector<std::array<int32_t, 2>>{{10, 20}}));
    EXPECT_EQ(under->heldStepsUnderPopUp, 0) << "the pane under the pop-up saw the button held";
    EXPECT_EQ(CurrentDrawingPane(), under);
    under->EndPaneDrawing();
    POINT corner = {10, 20};
    ClientToScreen(under->PaneWindow(), &corner);
    EXPECT_EQ(seen_.window, (Corners{corner.x, corner.y, corner.x + 40, corner.y + 30}));
    EXPECT_EQ(GetCapture(), nullptr);
    PumpMessages();
}
