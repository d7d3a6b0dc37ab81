// Panes in real windows: the tracking chain of PaneRepeatMessage steps, leaving a tracked pane,
// the one current drawing pane, painting while the owner is minimized, the offscreen link,
// scrolling, layout with the below-threshold flag, point lookup and pop-up tracking. Messages
// are checked by what the pane's own operations received.
#include <gtest/gtest.h>

#include <vector>

#include "draw/current_port.h"
#include "draw/pen_state.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "draw/shapes.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/message_loop.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

enum CallKind { kTrack, kMouseDown, kMouseUp, kDraw, kLayout };

struct Call {
    CallKind kind;
    int32_t a;  // x; the draw mode; the layout mode
    int32_t b;  // y; the horizontal position; the layout flag
    int32_t c;  // modifiers; the vertical position
    int32_t d;  // inside
    bool operator==(const Call& other) const
    {
        return kind == other.kind && a == other.a && b == other.b && c == other.c && d == other.d;
    }
};

std::ostream& operator<<(std::ostream& out, const Call& call)
{
    return out << "{" << call.kind << ", " << call.a << ", " << call.b << ", " << call.c << ", " << call.d << "}";
}

// Which part of the owner's client area a pane takes.
enum Column { kWhole, kLeftHalf, kRightHalf };

class RecordingPane : public Pane {
public:
    static RecordingPane* Make(int32_t flags, Column column)
    {
        auto* pane = new RecordingPane;
        pane->column_ = column;
        pane->PaneCreate(flags);
        return pane;
    }

    int32_t PaneWantsRepeat() override { return wantsRepeat; }
    void Draw(int32_t mode, int32_t horizontal, int32_t vertical) override
    {
        calls.push_back({kDraw, mode, horizontal, vertical, 0});
    }
    void PaneLayout(PortRect* rect, ScrollPositions*, int32_t mode, int32_t flag) override
    {
        if (mode != kLayoutBounds) calls.push_back({kLayout, mode, flag, 0, 0});
        const int32_t middle = (rect->left + rect->right) / 2;
        if (column_ == kLeftHalf) rect->right = middle;
        if (column_ == kRightHalf) rect->left = middle;
    }
    void PaneMouseDown(int32_t x, int32_t y, int32_t modifiers) override
    {
        calls.push_back({kMouseDown, x, y, modifiers, 0});
    }
    void PaneMouseUp(int32_t x, int32_t y, int32_t modifiers) override
    {
        calls.push_back({kMouseUp, x, y, modifiers, 0});
    }
    void PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside) override
    {
        calls.push_back({kTrack, x, y, modifiers, inside});
    }
    void PaneGetDocumentRect(PortRect* rect) override { *rect = document; }

    std::vector<Call> Taken(CallKind kind)
    {
        std::vector<Call> taken;
        for (const Call& call : calls)
            if (call.kind == kind) taken.push_back(call);
        calls.clear();
        return taken;
    }

    std::vector<Call> calls;
    int32_t wantsRepeat = 0;
    PortRect document = {0, 0, 0, 0};

private:
    Column column_ = kWhole;
};

Call Track(int32_t x, int32_t y, int32_t modifiers, int32_t inside)
{
    return {kTrack, x, y, modifiers, inside};
}

LPARAM Point(int32_t x, int32_t y)
{
    return LPARAM(uint32_t(uint16_t(x)) | (uint32_t(uint16_t(y)) << 16));
}

// Takes the waiting tracking step, checks that it was the only one, and dispatches it; false
// when none waits.
bool StepWaits()
{
    // A waiting WM_QUIT answers any peek, but only after the posted messages.
    MSG message;
    return PeekMessageA(&message, nullptr, PaneRepeatMessage, PaneRepeatMessage, PM_NOREMOVE) &&
           message.message == PaneRepeatMessage;
}

bool Step()
{
    if (!StepWaits()) return false;
    MSG message;
    PeekMessageA(&message, nullptr, PaneRepeatMessage, PaneRepeatMessage, PM_REMOVE);
    EXPECT_FALSE(StepWaits()) << "two steps wait";
    DispatchMessageA(&message);
    return true;
}

// Takes the first waiting message of the range and dispatches it.
void DispatchWaiting(UINT first, UINT last)
{
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, first, last, PM_REMOVE));
    DispatchMessageA(&message);
}

// Releases a button the way the queue brings the release: after the step that waits.
void Release(HWND hwnd, UINT message, int32_t x, int32_t y)
{
    PostMessageA(hwnd, message, 0, Point(x, y));
    Step();
    DispatchWaiting(message, message);
    EXPECT_TRUE(Step()) << "the release posts one more step";
    EXPECT_FALSE(Step());
}

constexpr WindowFlags kDocumentFlags = kWindowCaption | kWindowSizing | kWindowSystemMenu;
constexpr WindowSize kNoSize = {0, 0};
constexpr WindowSize kThreshold = {300, 200};
constexpr RGBColor48 kBlue = {0, 0, 0xFFFF};

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_ = TestFrame::Make();
        ASSERT_NE(frame_, nullptr);
        window_ = new Window;
        ASSERT_EQ(window_->CreateWindowObject({0, 0, 400, 300}, "Panes", kNoSize, kNoSize, kThreshold,
                                              kDocumentFlags, kWindowDestroys),
                  kResultOk);
        window_->SetWindowOwner(frame_);
        frame_->RegisterDocumentWindow(window_);
        window_->ShowWindowObject();
        // The pointer stays off the windows, so that no real motion reaches them.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }

    void TearDown() override
    {
        window_->DestroyWindowObject();
        TestFrame::Dispose(frame_);
        EXPECT_EQ(CurrentDrawingPane(), nullptr);
        EXPECT_EQ(TrackingPane(), nullptr);
    }

    RecordingPane* Add(int32_t flags, Column column)
    {
        RecordingPane* pane = RecordingPane::Make(flags, column);
        window_->AddPane(pane);
        PumpMessages();
        pane->calls.clear();
        return pane;
    }

    TestFrame* frame_ = nullptr;
    Window* window_ = nullptr;
};

TEST_F(PaneTest, AHeldButtonStepsWithoutMotionAndAMouseMessageTakesTheStepsPlace)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();
    EXPECT_EQ(reinterpret_cast<Pane*>(GetWindowLongPtrA(hwnd, 0)), pane);

    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 30));
    EXPECT_EQ(GetCapture(), hwnd);
    EXPECT_EQ(pane->Taken(kMouseDown), (std::vector<Call>{{kMouseDown, 20, 30, MK_LBUTTON, 0}}));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Step());
    EXPECT_EQ(pane->Taken(kTrack), std::vector<Call>(3, Track(20, 30, 1, 1)));

    // A move waiting when a step ends is the next step; the chain goes on from its point.
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Point(-5, 40));
    ASSERT_TRUE(Step());
    EXPECT_FALSE(Step()) << "the move took the step's place";
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    ASSERT_TRUE(Step());
    EXPECT_EQ(pane->Taken(kTrack), (std::vector<Call>{Track(20, 30, 1, 1), Track(-5, 40, 1, 0), Track(-5, 40, 1, 0)}));

    // The waiting step gives way to the release, which is tracked, and one more step shows the
    // button up; then the chain ends.
    Release(hwnd, WM_LBUTTONUP, 7, 8);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(pane->calls, (std::vector<Call>{Track(-5, 40, 1, 0), Track(7, 8, 0, 1), {kMouseUp, 7, 8, 0, 0},
                                              Track(7, 8, 0, 1)}));

    SendMessageA(hwnd, WM_RBUTTONDBLCLK, MK_RBUTTON, Point(2, 3));
    EXPECT_EQ(pane->Taken(kMouseDown),
              (std::vector<Call>{{kMouseDown, 2, 3, MK_RBUTTON | kModifierRightButton | kModifierDoubleClick, 0}}));
    EXPECT_EQ(pane->LastDownY(), 3);
    Release(hwnd, WM_RBUTTONUP, 2, 3);
}

TEST_F(PaneTest, ShiftAndCtrlFirstInTheKeyQueueChangeTheNextStep)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();

    // Shift held keeps a buttonless chain going until its release is the first key waiting.
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_SHIFT, Point(10, 10));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    ASSERT_TRUE(Step());
    PostMessageA(hwnd, WM_KEYUP, VK_SHIFT, 0);
    ASSERT_TRUE(Step());
    DispatchWaiting(WM_KEYUP, WM_KEYUP);
    ASSERT_TRUE(Step());
    EXPECT_FALSE(Step());
    EXPECT_EQ(pane->Taken(kTrack), (std::vector<Call>{Track(10, 10, 4, 1), Track(10, 10, 4, 1),
                                                      Track(10, 10, 4, 1), Track(10, 10, 0, 1)}));

    // Ctrl pressed during a button chain sets bit 8, but only when its key is the first waiting.
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 4));
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    PostMessageA(hwnd, WM_KEYDOWN, VK_CONTROL, 0);
    ASSERT_TRUE(Step());
    DispatchWaiting(WM_KEYDOWN, WM_KEYDOWN);
    ASSERT_TRUE(Step());
    DispatchWaiting(WM_KEYDOWN, WM_KEYDOWN);
    ASSERT_TRUE(Step());
    EXPECT_EQ(pane->Taken(kTrack), (std::vector<Call>{Track(3, 4, 1, 1), Track(3, 4, 1, 1), Track(3, 4, 9, 1)}));
    Release(hwnd, WM_LBUTTONUP, 3, 4);
}

TEST_F(PaneTest, APlainMoveStepsOnceUnlessThePaneWantsRepeat)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, Point(7, 8));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    EXPECT_FALSE(Step());
    EXPECT_EQ(pane->Taken(kTrack), std::vector<Call>{Track(7, 8, 0, 1)});

    pane->wantsRepeat = 1;
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, Point(7, 8));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    ASSERT_TRUE(Step());
    pane->wantsRepeat = 0;
    ASSERT_TRUE(Step());
    EXPECT_FALSE(Step());
    EXPECT_EQ(pane->Taken(kTrack).size(), 3u);
}

TEST_F(PaneTest, AStepThatTakesQuitEndsTheChainAndLeavesTheQuit)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 5));
    PostQuitMessage(9);
    ASSERT_TRUE(Step());
    EXPECT_TRUE(pane->Taken(kTrack).empty());
    EXPECT_FALSE(Step());
    EXPECT_EQ(TakeQuit(), 9);
    Release(hwnd, WM_LBUTTONUP, 5, 5);
}

TEST_F(PaneTest, APaneThatIsLeftIsToldAndNoClosedPaneStaysTracked)
{
    RecordingPane* left = Add(0, kLeftHalf);
    RecordingPane* right = Add(0, kRightHalf);
    PostMessageA(right->PaneWindow(), WM_MOUSEMOVE, 0, Point(1, 2));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    EXPECT_EQ(TrackingPane(), right);
    PostMessageA(left->PaneWindow(), WM_MOUSEMOVE, 0, Point(3, 4));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    EXPECT_EQ(right->Taken(kTrack), (std::vector<Call>{Track(1, 2, 0, 1), Track(kPointerLeft, kPointerLeft, 0, 0)}));
    EXPECT_EQ(TrackingPane(), left);

    // Hit-testing another pane's client area tells the tracked pane it was left.
    POINT inside = {5, 5};
    ClientToScreen(right->PaneWindow(), &inside);
    EXPECT_EQ(SendMessageA(right->PaneWindow(), WM_NCHITTEST, 0, Point(inside.x, inside.y)), HTCLIENT);
    EXPECT_EQ(left->Taken(kTrack).back(), Track(kPointerLeft, kPointerLeft, 0, 0));
    EXPECT_EQ(TrackingPane(), nullptr);

    PostMessageA(right->PaneWindow(), WM_MOUSEMOVE, 0, Point(1, 2));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    TellTrackingPaneLeft();
    EXPECT_EQ(right->Taken(kTrack).back(), Track(-1, -1, 0, 0));
    EXPECT_EQ(TrackingPane(), nullptr);

    PostMessageA(right->PaneWindow(), WM_MOUSEMOVE, 0, Point(1, 2));
    DispatchWaiting(WM_MOUSEMOVE, WM_MOUSEMOVE);
    window_->RemovePane(right);
    EXPECT_EQ(TrackingPane(), nullptr);
    right->PaneDestroy();
}

TEST_F(PaneTest, OnePaneDrawsAtATimeAndClosingTheCurrentPaneEndsItsDrawing)
{
    RecordingPane* left = Add(0, kLeftHalf);
    RecordingPane* right = Add(0, kRightHalf);
    left->BeginPaneDrawing();
    EXPECT_EQ(CurrentDrawingPane(), left);
    EXPECT_NE(left->PortDC(), nullptr);
    EXPECT_EQ(GetPort(), left->PortDC());

    right->BeginPaneDrawing();
    EXPECT_EQ(CurrentDrawingPane(), right);
    EXPECT_EQ(left->PortDC(), nullptr) << "the first pane's drawing ended";
    EXPECT_EQ(GetPort(), right->PortDC());
    left->EndPaneDrawing();
    EXPECT_EQ(CurrentDrawingPane(), right) << "only the current pane ends";

    POINT origin = {0, 0};
    ClientToScreenCurrentPane(&origin);
    POINT expected = {0, 0};
    ClientToScreen(right->PaneWindow(), &expected);
    EXPECT_EQ(origin.x, expected.x);
    EXPECT_EQ(origin.y, expected.y);

    window_->RemovePane(right);
    EXPECT_EQ(CurrentDrawingPane(), nullptr);
    EXPECT_EQ(GetPort(), nullptr);
    right->PaneDestroy();
}

TEST_F(PaneTest, EveryPaintIsAnsweredAlsoWhileTheOwnerIsMinimized)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();
    RECT update;
    window_->SetMinimized(1);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_TRUE(pane->Taken(kDraw).empty());
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE)) << "the update region is validated";

    window_->SetMinimized(0);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(pane->Taken(kDraw), (std::vector<Call>{{kDraw, kDrawUpdate, 0, 0, 0}}));
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
}

TEST_F(PaneTest, TheOffscreenShowsOnlyInThePaneThatLockedItLast)
{
    RecordingPane* left = Add(0, kLeftHalf);
    RecordingPane* right = Add(0, kRightHalf);
    const PortRect content = left->ContentRect();
    ASSERT_EQ(left->Lock(), kResultOk);
    EXPECT_EQ(SharedOffscreen->GetOffscreenLink(), left);
    EXPECT_EQ(SharedOffscreen->PortBounds().Width(), content.Width());
    EXPECT_EQ(SharedOffscreen->PortBounds().Height(), content.Height());
    EXPECT_EQ(window_->IsSelected(), 0);
    PenNormal();
    RGBForeColor(kBlue);
    PaintRectPolygon(content);
    left->Unlock();
    ASSERT_EQ(right->Lock(), kResultOk);
    right->Unlock();

    const COLORREF blue = RGB(0, 0, 255);
    left->BeginPaneDrawing();
    left->PaneShowLinkedOffscreen(content);
    EXPECT_NE(GetPixel(left->PortDC(), 10, 10), blue) << "the link was taken";
    left->EndPaneDrawing();
    ASSERT_EQ(left->Lock(), kResultOk);
    left->Unlock();
    left->BeginPaneDrawing();
    left->PaneShowLinkedOffscreen(content);
    EXPECT_EQ(GetPixel(left->PortDC(), 10, 10), blue);
    left->EndPaneDrawing();

    // An offscreen that went away between the lock and the unlock is not touched again.
    ASSERT_EQ(left->Lock(), kResultOk);
    SharedOffscreen->DisposeOffscreen();
    left->Unlock();
    EXPECT_EQ(SharedOffscreen, nullptr);

    // Without an offscreen that can be made, the lock fails.
    const ScreenCaps screen = GetScreenCaps();
    SetScreenCaps(ScreenCapsOfDepth(2));
    EXPECT_EQ(left->Lock(), kResultNotFound);
    EXPECT_EQ(SharedOffscreen, nullptr);
    SetScreenCaps(screen);
    ASSERT_EQ(left->Lock(), kResultOk) << "a new one is made";
    EXPECT_EQ(SharedOffscreen->GetOffscreenLink(), left);
    left->Unlock();
}

TEST_F(PaneTest, ScrollingStopsAtEitherLimitAndTheThumbTrackDoesNotRedraw)
{
    RecordingPane* plain = Add(0, kLeftHalf);
    int32_t minimum = -1;
    int32_t maximum = -1;
    plain->GetVerticalRange(&minimum, &maximum);
    EXPECT_EQ(plain->GetVerticalPosition(), 0);
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0);
    EXPECT_EQ(plain->PaneScrollBy(1, 1), 3);

    auto* pane = RecordingPane::Make(kPaneVerticalBar | kPaneHorizontalBar, kRightHalf);
    pane->document = {0, 0, 500, 700};
    window_->AddPane(pane);
    PumpMessages();
    pane->calls.clear();
    const PortRect content = pane->ContentRect();
    const PortRect range = pane->ScrollRange();
    EXPECT_EQ(range.right, 500 - content.Width());
    EXPECT_EQ(range.bottom, 700 - content.Height());
    pane->GetVerticalRange(&minimum, &maximum);
    EXPECT_EQ(maximum, range.bottom);

    EXPECT_EQ(pane->PaneScrollBy(-10, -20), 0);
    EXPECT_EQ(pane->Taken(kDraw), (std::vector<Call>{{kDraw, kDrawScrolled, 10, 20, 0}}));
    EXPECT_EQ(pane->PaneScrollBy(10, 30), 0) << "clamped at the top, but it moved";
    EXPECT_EQ(pane->GetVerticalPosition(), 0);
    EXPECT_EQ(pane->PaneScrollBy(-5, 1), 1) << "the vertical position is at its limit";
    EXPECT_EQ(pane->PaneScrollBy(1, -5), 2);
    EXPECT_EQ(pane->PaneScrollBy(1, 1), 3);
    EXPECT_EQ(pane->GetHorizontalPosition(), 0) << "neither axis moved";
    EXPECT_EQ(pane->GetVerticalPosition(), 0);
    EXPECT_EQ(pane->Taken(kDraw), (std::vector<Call>{{kDraw, kDrawScrolled, 0, 0, 0}}));

    HWND hwnd = pane->PaneWindow();
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(pane->GetVerticalPosition(), 40);
    EXPECT_TRUE(pane->Taken(kDraw).empty());
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
    EXPECT_EQ(pane->Taken(kDraw), (std::vector<Call>{{kDraw, kDrawScrolled, 0, 50, 0}}));

    pane->PaneScrollTo(100000, -3, 0);
    EXPECT_EQ(pane->GetHorizontalPosition(), range.right);
    EXPECT_EQ(pane->GetVerticalPosition(), 0);
    EXPECT_EQ(pane->Taken(kDraw), (std::vector<Call>{{kDraw, kDrawScrolled, range.right, 0, 0}}));
}

TEST_F(PaneTest, LayoutFollowsTheOwnerWithTheBelowThresholdFlag)
{
    RecordingPane* left = Add(0, kLeftHalf);
    RecordingPane* right = Add(0, kRightHalf);
    EXPECT_EQ(left->PaneRect().right, 200);
    EXPECT_EQ(right->PaneRect().left, 200);
    EXPECT_EQ(right->ContentRect().right, 200);
    EXPECT_EQ(right->CentreX(), 100);
    EXPECT_EQ(right->CentreY(), 150);
    EXPECT_EQ(window_->FindPaneAtPoint(199, 10), left);
    EXPECT_EQ(window_->FindPaneAtPoint(200, 10), right);

    PortRect owner;
    window_->GetBounds(&owner);
    ScrollPositions positions = {0, 0};
    PortRect rect = owner;
    EXPECT_EQ(right->PaneLayoutFrom(&rect, &positions, kLayoutResize, 0), 1) << "right and bottom kept";
    rect = owner;
    EXPECT_EQ(left->PaneLayoutFrom(&rect, &positions, kLayoutResize, 0), 0);
    left->calls.clear();

    window_->MoveWindowObject({0, 0, 200, 100});
    EXPECT_EQ(left->Taken(kLayout).back(), (Call{kLayout, kLayoutResize, 1, 0, 0}));
    RECT placed;
    GetClientRect(left->PaneWindow(), &placed);
    EXPECT_EQ(placed.right, 100);
    EXPECT_EQ(left->ContentRect().bottom, 100);
    window_->MoveWindowObject({0, 0, 500, 300});
    EXPECT_EQ(left->Taken(kLayout).back(), (Call{kLayout, kLayoutResize, 0, 0, 0}));
    EXPECT_EQ(left->PaneRect().right, 250);
}

TEST_F(PaneTest, APopUpEndsOnAPressOutsideOrAReleaseInside)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();
    pane->SetPaneFlags(kPaneOpenPopUp);

    StartPopUpTracking(pane);
    RunLater(0, [hwnd] { PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(-3, 10)); });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(pane->Taken(kMouseDown).empty());

    // A release outside keeps the pop-up; a release inside ends it.
    StartPopUpTracking(pane);
    RunLater(0, [hwnd] { PostMessageA(hwnd, WM_LBUTTONUP, 0, Point(500, 10)); });
    RunLater(40, [hwnd] { PostMessageA(hwnd, WM_LBUTTONUP, 0, Point(10, 10)); });
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    EXPECT_EQ(pane->Taken(kMouseUp), (std::vector<Call>{{kMouseUp, 500, 10, 0, 0}, {kMouseUp, 10, 10, 0, 0}}));
    EXPECT_EQ(GetCapture(), nullptr);
    pane->SetPaneFlags(0);
    PumpMessages();
}

}  // namespace
