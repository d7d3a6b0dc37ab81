// The walk view's button panel in a real window, driven through its window's mouse messages: the
// strip it takes, motion buttons stepping the eye on the press and on every tracking call, the
// release ending the motion, a drag off the panel, Home, the path buttons with and without a
// path (a click that stops play pressing nothing afterwards).
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "foundation/process_state.h"
#include "player/command_tags.h"
#include "player/navigation_pane.h"
#include "player/navigation_panel.h"
#include "player/player_document.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "tests/foundation/beep_recorder.h"
#include "tests/player/walk_view_fixture.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/app_commands.h"
#include "toolkit/button_item.h"
#include "toolkit/input_events.h"
#include "toolkit/window.h"

namespace {

// A client width that twelve buttons do not divide: 12 x 33 + 7.
constexpr int32_t kClientWidth = 403;
constexpr int32_t kClientHeight = 280;

class NavigationPanelTest : public WalkViewFixture {
public:
    void SetUp() override
    {
        WalkViewFixture::SetUp();
        window_ = document_.window = MakeWindow({0, 0, kClientWidth, kClientHeight});
        ASSERT_NE(window_, nullptr);
        MakeView(new RecordingView);
        window_->ShowWindowObject();
        // The client area made exactly kClientWidth wide.
        RECT client;
        GetClientRect(window_->GetWindowHandle(), &client);
        RECT outer;
        GetWindowRect(window_->GetWindowHandle(), &outer);
        MoveWindow(window_->GetWindowHandle(), 0, 0, outer.right - outer.left + kClientWidth - client.right,
                   outer.bottom - outer.top + kClientHeight - client.bottom, TRUE);
        PumpMessages();
        panel_ = view_->Panel();
        ASSERT_NE(panel_, nullptr);
        buttons_ = panel_->NavigationButtons();
        ASSERT_NE(buttons_, nullptr);
        hwnd_ = panel_->PaneWindow();
        ASSERT_NE(hwnd_, nullptr);
        view_->Taken();
        document_.Taken();
    }

    // The commands that reached the document.
    int32_t Redraws() const { return int32_t(document_.commands.size()); }

    LPARAM Centre(int32_t index) const
    {
        PortRect rect;
        buttons_->PanelItemRect(index, &rect);
        return Point((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }

    void Down(LPARAM at) { SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, at); }
    void Up(LPARAM at) { SendMessageA(hwnd_, WM_LBUTTONUP, 0, at); }
    // A tracking call while the button is held, as the repeat chain makes it.
    void Repeat(LPARAM at) { SendMessageA(hwnd_, PaneRepeatMessage, MK_LBUTTON, at); }

    std::array<int32_t, kPanelButtonCount> States() const
    {
        std::array<int32_t, kPanelButtonCount> states{};
        for (int32_t i = 0; i < kPanelButtonCount; ++i) states[i] = buttons_->PanelItemState(i);
        return states;
    }

    void RecordPath(int32_t points)
    {
        observer_->SetRecording(1, 1);
        for (int32_t i = 1; i <= points; ++i) observer_->SetAndRecord(IntToFixed(10 * i), 0, 0, 0, 0, 0);
        observer_->SetRecording(0, 0);
    }

    NavigationPanel* panel_ = nullptr;
    NavigationButtonPanel* buttons_ = nullptr;
    HWND hwnd_ = nullptr;
};

constexpr std::array<int32_t, kPanelButtonCount> kStopOnly = {1};
constexpr std::array<int32_t, kPanelButtonCount> kPauseOnly = {0, 0, 1};
constexpr std::array<int32_t, kPanelButtonCount> kNonePressed = {};

TEST_F(NavigationPanelTest, TheStripRunsAlongTheWindowsBottomAndTheFirstFillerTakesTheSparePixels)
{
    const int32_t strip = GetSystemMetrics(SM_CYVTHUMB);
    const PortRect& place = panel_->PaneRect();
    EXPECT_EQ((std::array<int32_t, 4>{place.left, place.top, place.right, place.bottom}),
              (std::array<int32_t, 4>{0, kClientHeight - strip, kClientWidth, kClientHeight}));
    EXPECT_EQ(view_->Navigation()->PaneRect().bottom, place.top) << "the navigation pane ends where the strip starts";
    // 33 pixels each; the first filler 33 + 7, and everything after it 7 further right.
    const int32_t width = kClientWidth / kPanelButtonCount;
    const int32_t spare = kClientWidth % kPanelButtonCount;
    for (int32_t i = 0; i < kPanelButtonCount; ++i) {
        PortRect rect;
        buttons_->PanelItemRect(i, &rect);
        const int32_t left = i * width + (i > kPanelFirstFiller ? spare : 0);
        const int32_t right = (i + 1) * width + (i >= kPanelFirstFiller ? spare : 0);
        EXPECT_EQ((std::array<int32_t, 4>{rect.left, rect.top, rect.right, rect.bottom}),
                  (std::array<int32_t, 4>{left, 0, right, strip}))
            << i;
    }
    EXPECT_EQ(buttons_->PanelItemKind(kPanelTurnLeft), 160);
    EXPECT_STREQ(buttons_->PanelItemHelp(kPanelHome), "Press the Home button to move back to the center of the world.");
    EXPECT_EQ(States(), kStopOnly);
    EXPECT_EQ(panel_->Spare(), 0);
    panel_->SetSpare(-7);
    EXPECT_EQ(panel_->Spare(), -7);
}

TEST_F(NavigationPanelTest, MotionButtonsStepOnThePressAndEveryTrackingCallAndTheirReleaseEndsTheMotion)
{
    // Heading 0: forward runs along y.
    observer_->SetObserverAngles(0, 0, 0);
    const ShortVector3 eye = {observer_->x, observer_->y, observer_->z};
    // Forward pressed and released without moving: one step of 20, then the path-controls change.
    Down(Centre(kPanelForward));
    EXPECT_EQ(observer_->y, eye.y + 20);
    EXPECT_EQ(observer_->x, eye.x);
    EXPECT_EQ(buttons_->PanelItemState(kPanelForward), kButtonPressed);
    EXPECT_EQ(Redraws(), 1) << "the view passed the redraw up at once";
    Up(Centre(kPanelForward));
    PumpMessages();
    EXPECT_EQ(observer_->y, eye.y + 20) << "no step after the release";
    EXPECT_EQ(view_->Taken(), (Commands{{kCommandStep, kCodeRedrawStep, 0}, {kCommandViewChange, kCodePathControls, 0}}));
    EXPECT_EQ(States(), kStopOnly);

    // Turn Left held: a heading step of 4 on the press and on each of three tracking calls.
    Down(Centre(kPanelTurnLeft));
    for (int i = 0; i < 3; ++i) Repeat(Centre(kPanelTurnLeft));
    Up(Centre(kPanelTurnLeft));
    PumpMessages();
    EXPECT_EQ(observer_->heading, 16);
    EXPECT_EQ(view_->Taken().size(), 4u + 1u);

    // Dragged from Up off the panel: every button released, no step off it; the release ends
    // the motion.
    Down(Centre(kPanelUp));
    SendMessageA(hwnd_, WM_MOUSEMOVE, MK_LBUTTON, Point(5, -20));
    EXPECT_EQ(States(), kNonePressed);
    EXPECT_EQ(observer_->z, eye.z + 10);
    view_->Taken();
    Up(Point(5, -20));
    EXPECT_EQ(view_->Taken(), (Commands{{kCommandViewChange, kCodePathControls, 0}}));

    // Home posts CTRO on the press and is released like the motion buttons.
    Down(Centre(kPanelHome));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, frame_->FrameWindow(), AppCommandMessage, AppCommandMessage, PM_REMOVE));
    EXPECT_EQ(int32_t(message.lParam), kCommandTagGoToStart);
    Up(Centre(kPanelHome));
    EXPECT_EQ(buttons_->PanelItemState(kPanelHome), kButtonReleased);
    EXPECT_EQ(view_->Taken(), (Commands{{kCommandViewChange, kCodePathControls, 0}}));
}

TEST_F(NavigationPanelTest, PathButtonsShowTheirStateBeepWithoutAPathAndStopRewindsWithoutMoving)
{
    BeepRecorder beeps;
    for (int32_t button : {kPanelPlay, kPanelPause}) {
        Down(Centre(button));
        EXPECT_EQ(buttons_->PanelItemState(button), kButtonPressed);
        Up(Centre(button));
        EXPECT_EQ(States(), kStopOnly) << button;
    }
    EXPECT_EQ(beeps.beeps, (std::vector<int32_t>{1, 1}));

    RecordPath(3);
    observer_->SetRecording(1, 0);
    observer_->GoToPathPoint(2);
    Down(Centre(kPanelPause));
    Up(Centre(kPanelPause));
    EXPECT_EQ(States(), kPauseOnly);
    view_->Taken();
    Down(Centre(kPanelStop));
    Up(Centre(kPanelStop));
    EXPECT_EQ(States(), kStopOnly);
    EXPECT_EQ(observer_->PathIndex(), 0);
    EXPECT_FALSE(observer_->IsRecording());
    EXPECT_EQ(observer_->PathCount(), 3 + 1) << "recording went off without clearing the path";
    EXPECT_EQ(observer_->x, 30) << "the eye stays";
    EXPECT_EQ(view_->Taken(), (Commands{{kCommandStep, kCodeRedrawStep, 0}}));
    EXPECT_EQ(beeps.beeps.size(), 2u);
}

NavigationPanelTest* gPlaying = nullptr;
// The redraw of a playing path after which a click comes (through the system's input, to the
// panel), and after which play is ended by a quit instead, as a test that fails and does not hang.
int32_t gClickAfter = 0;
constexpr int32_t kQuitAfter = 40;

void ClickDuringPlay()
{
    const int32_t redraws = gPlaying->Redraws();
    if (redraws == kQuitAfter) {
        ADD_FAILURE() << "play went on";
        PostQuitMessage(0);
    }
    if (redraws != gClickAfter) return;
    EXPECT_EQ(gPlaying->States()[kPanelPlay], kButtonPressed) << "Play shows while the path plays";
    SetCapture(gPlaying->hwnd_);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof(input));
    }
}

TEST_F(NavigationPanelTest, PlayRunsInsideTheClickAndTheClickThatStopsItPressesNothing)
{
    RecordPath(4);
    // The pointer over Play, and on the third point shown a click there: it stops play.
    PortRect play;
    buttons_->PanelItemRect(kPanelPlay, &play);
    POINT at = {(play.left + play.right) / 2, (play.top + play.bottom) / 2};
    ClientToScreen(hwnd_, &at);
    SetCursorPos(at.x, at.y);
    gPlaying = this;
    gClickAfter = 3;
    document_.onCommand = ClickDuringPlay;
    Down(Centre(kPanelPlay));
    Up(Centre(kPanelPlay));
    EXPECT_EQ(Redraws(), 3);
    EXPECT_EQ(observer_->PathIndex(), 2) << "stopped at the point shown";
    EXPECT_EQ(States(), kPauseOnly) << "Pause shows after play";
    EXPECT_EQ(WalkPathPlayCount, 0);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, hwnd_, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_NOREMOVE));
    PumpFor(100);
    EXPECT_EQ(Redraws(), 3) << "the click started no play again";
    EXPECT_EQ(States(), kPauseOnly);
    document_.onCommand = nullptr;
    gPlaying = nullptr;
}

TEST_F(NavigationPanelTest, TheViewMakesAButtonPanelWindowAndLetsItGo)
{
    auto* pane = static_cast<ButtonPanelWindow*>(view_->MakePane(view_, kPaneButtonPanelWindow));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(view_->ButtonPanelPane(), pane);
    EXPECT_EQ(view_->MakePane(view_, 39), nullptr);
    // Made current after a view of another kind, the view gives it to the button panel window.
    const int32_t panes = window_->PaneCount();
    view_->AttachView(kAttachOtherKind);
    EXPECT_EQ(window_->PaneCount(), panes + 1);
    EXPECT_EQ(window_->PaneAt(panes), pane);
    // Freed, the view leaves its panes to their window, and they call no view afterwards.
    view_->Free();
    view_ = nullptr;
    const int16_t y = observer_->y;
    Down(Centre(kPanelForward));
    Up(Centre(kPanelForward));
    EXPECT_EQ(observer_->y, y);
}

}  // namespace
