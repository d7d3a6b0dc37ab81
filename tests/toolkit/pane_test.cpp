// Panes in real windows: the tracking chain of PaneRepeatMessage steps, leaving a tracked pane,
// the one current drawing pane, painting while the owner is minimized, the offscreen link,
// scrolling, layout with the below-threshold flag, point lookup and pop-up tracking. Messages
// are checked by what a recording pane's operations received.
#include <gtest/gtest.h>

#include <array>
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

namespace {

enum CallKind : int32_t { kTrack, kMouseDown, kMouseUp, kDraw, kLayout };
// What an operation received: its kind, then x, y, modifiers, inside (tracking and presses);
// mode, horizontal and vertical position (drawing); mode and flag (layout).
using Call = std::array<int32_t, 5>;
using Calls = std::vector<Call>;

Call Track(int32_t x, int32_t y, int32_t modifiers, int32_t inside)
{
    return {kTrack, x, y, modifiers, inside};
}

// The part of the owner's client area a pane takes.
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
        calls.push_back(Track(x, y, modifiers, inside));
    }
    void PaneGetDocumentRect(PortRect* rect) override { *rect = document; }

    // The calls of one kind; every call is forgotten.
    Calls Taken(CallKind kind)
    {
        Calls taken;
        for (const Call& call : calls)
            if (call[0] == kind) taken.push_back(call);
        calls.clear();
        return taken;
    }

    Calls calls;
    int32_t wantsRepeat = 0;
    PortRect document = {0, 0, 0, 0};

private:
    Column column_ = kWhole;
};

bool StepWaits()
{
    // A waiting WM_QUIT answers any peek, but only after the posted messages.
    MSG message;
    return PeekMessageA(&message, nullptr, PaneRepeatMessage, PaneRepeatMessage, PM_NOREMOVE) &&
           message.message == PaneRepeatMessage;
}

// Dispatches the waiting tracking step after checking that it was the only one; false when
// none waits.
bool Step()
{
    if (!StepWaits()) return false;
    MSG message;
    PeekMessageA(&message, nullptr, PaneRepeatMessage, PaneRepeatMessage, PM_REMOVE);
    EXPECT_FALSE(StepWaits()) << "two steps wait";
    DispatchMessageA(&message);
    return true;
}

// Dispatches the first waiting message of that kind.
void DispatchWaiting(UINT message)
{
    MSG waiting;
    ASSERT_TRUE(PeekMessageA(&waiting, nullptr, message, message, PM_REMOVE));
    DispatchMessageA(&waiting);
}

void Move(HWND hwnd, WPARAM keys, int32_t x, int32_t y)
{
    PostMessageA(hwnd, WM_MOUSEMOVE, keys, Point(x, y));
    DispatchWaiting(WM_MOUSEMOVE);
}

// Releases a button as the queue brings the release: after the step that waits.
void Release(HWND hwnd, UINT message, int32_t x, int32_t y)
{
    PostMessageA(hwnd, message, 0, Point(x, y));
    Step();
    DispatchWaiting(message);
    EXPECT_TRUE(Step()) << "the release posts one more step";
    EXPECT_FALSE(Step());
}

constexpr WindowFlags kDocumentFlags = kWindowCaption | kWindowSizing | kWindowSystemMenu;
constexpr WindowSize kNoSize = {0, 0};
constexpr WindowSize kThreshold = {300, 200};

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
        // Only what a test posts reaches the panes: the display's pointer is shared.
        hook_ = SetWindowsHookExA(WH_MOUSE, DropRealMouseInput, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(hook_);
        window_->DestroyWindowObject();
        TestFrame::Dispose(frame_);
        EXPECT_EQ(CurrentDrawingPane(), nullptr);
        EXPECT_EQ(TrackingPane(), nullptr);
    }

    RecordingPane* Add(int32_t flags, Column column, PortRect document = {0, 0, 0, 0})
    {
        RecordingPane* pane = RecordingPane::Make(flags, column);
        pane->document = document;
        window_->AddPane(pane);
        PumpMessages();
        pane->calls.clear();
        return pane;
    }

    TestFrame* frame_ = nullptr;
    Window* window_ = nullptr;
    HHOOK hook_ = nullptr;
};

TEST_F(PaneTest, AHeldButtonStepsWithoutMotionAndAMouseMessageTakesTheStepsPlace)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();
    EXPECT_EQ(reinterpret_cast<Pane*>(GetWindowLongPtrA(hwnd, 0)), pane);

    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(20, 30));
    EXPECT_EQ(GetCapture(), hwnd);
    EXPECT_EQ(pane->Taken(kMouseDown), (Calls{{kMouseDown, 20, 30, MK_LBUTTON, 0}}));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Step());
    EXPECT_EQ(pane->Taken(kTrack), Calls(3, Track(20, 30, 1, 1)));

    // A move waiting when a step ends takes the next step's place; the chain goes on from it.
    PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, Point(-5, 40));
    ASSERT_TRUE(Step());
    EXPECT_FALSE(Step());
    DispatchWaiting(WM_MOUSEMOVE);
    ASSERT_TRUE(Step());
    EXPECT_EQ(pane->Taken(kTrack), (Calls{Track(20, 30, 1, 1), Track(-5, 40, 1, 0), Track(-5, 40, 1, 0)}));

    Release(hwnd, WM_LBUTTONUP, 7, 8);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(pane->calls, (Calls{Track(-5, 40, 1, 0), Track(7, 8, 0, 1), {kMouseUp, 7, 8, 0, 0}, Track(7, 8, 0, 1)}));

    SendMessageA(hwnd, WM_RBUTTONDBLCLK, MK_RBUTTON, Point(2, 3));
    EXPECT_EQ(pane->Taken(kMouseDown),
              (Calls{{kMouseDown, 2, 3, MK_RBUTTON | kModifierRightButton | kModifierDoubleClick, 0}}));
    Release(hwnd, WM_RBUTTONUP, 2, 3);
}

TEST_F(PaneTest, KeysFirstInTheKeyQueueChangeTheNextStepAndAPlainMoveStepsOnce)
{
    RecordingPane* pane = Add(0, kWhole);
    HWND hwnd = pane->PaneWindow();

    // Shift keeps a buttonless chain going until its release is the first key waiting.
    Move(hwnd, MK_SHIFT, 10, 10);
    ASSERT_TRUE(Step());
    PostMessageA(hwnd, WM_KEYUP, VK_SHIFT, 0);
    ASSERT_TRUE(Step());
    DispatchWaiting(WM_KEYUP);
    ASSERT_TRUE(Step());
    EXPECT_FALSE(Step());
    EXPECT_EQ(pane->Taken(kTrack), (Calls{Track(10, 10, 4, 1), Track(10, 10, 4, 1), Track(10, 10, 4, 1),
                                          Track(10, 10, 0, 1)}));

    // Ctrl sets bit 8 of a button chain's step only once its key is the first waiting.
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(3, 4));
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    PostMessageA(hwnd, WM_KEYDOWN, VK_CONTROL, 0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Step());
        DispatchWaiting(WM_KEYDOWN);
    }
    ASSERT_TRUE(Step());
    EXPECT_EQ(pane->Taken(kTrack), (Calls{Track(3, 4, 1, 1), Track(3, 4, 1, 1), Track(3, 4, 9, 1)}));
    Release(hwnd, WM_LBUTTONUP, 3, 4);

    pane->calls.clear();
    Move(hwnd, 0, 7, 8);
    EXPECT_FALSE(Step()) << "no chain without a button, a key or a pane that asks for one";
    pane->wantsRepeat = 1;
    Move(hwnd, 0, 7, 8);
    ASSERT_TRUE(Step());
    pane->wantsRepeat = 0;
    ASSERT_TRUE(Step());
    EXPECT_FALSE(Step());
    EXPECT_EQ(pane->Taken(kTrack), Calls(4, Track(7, 8, 0, 1)));
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
    Move(right->PaneWindow(), 0, 1, 2);
    EXPECT_EQ(TrackingPane(), right);
    Move(left->PaneWindow(), 0, 3, 4);
    EXPECT_EQ(right->Taken(kTrack), (Calls{Track(1, 2, 0, 1), Track(kPointerLeft, kPointerLeft, 0, 0)}));
    EXPECT_EQ(TrackingPane(), left);

    // Hit-testing another pane's client area tells the tracked pane that it was left.
    POINT inside = {5, 5};
    ClientToScreen(right->PaneWindow(), &inside);
    EXPECT_EQ(SendMessageA(right->PaneWindow(), WM_NCHITTEST, 0, Point(inside.x, inside.y)), HTCLIENT);
    EXPECT_EQ(left->Taken(kTrack).back(), Track(kPointerLeft, kPointerLeft, 0, 0));
    EXPECT_EQ(TrackingPane(), nullptr);

    Move(right->PaneWindow(), 0, 1, 2);
    TellTrackingPaneLeft();
    EXPECT_EQ(right->Taken(kTrack).back(), Track(-1, -1, 0, 0));
    EXPECT_EQ(TrackingPane(), nullptr);

    Move(right->PaneWindow(), 0, 1, 2);
    window_->RemovePane(right);
    EXPECT_EQ(TrackingPane(), nullptr);
    right->PaneDestroy();
}

TEST_F(PaneTest, OnePaneDrawsAtATimeAndEveryPaintIsAnsweredAlsoWhileTheOwnerIsMinimized)
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
    window_->RemovePane(right);
    EXPECT_EQ(CurrentDrawingPane(), nullptr);
    EXPECT_EQ(GetPort(), nullptr);
    right->PaneDestroy();

    HWND hwnd = left->PaneWindow();
    RECT update;
    window_->SetMinimized(1);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_TRUE(left->Taken(kDraw).empty());
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE)) << "the update region is validated";
    window_->SetMinimized(0);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_EQ(left->Taken(kDraw), (Calls{{kDraw, kDrawUpdate, 0, 0, 0}}));
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
    RGBForeColor({0, 0, 0xFFFF});
    PaintRectPolygon(content);
    left->Unlock();
    ASSERT_EQ(right->Lock(), kResultOk);
    right->Unlock();

    const COLORREF blue = RGB(0, 0, 255);
    left->BeginPaneDrawing();
    left->PaneShowLinkedOffscreen(content);
    EXPECT_NE(GetPixel(left->PortDC(), 10, 10), blue) << "the link was taken";
    ASSERT_EQ(left->Lock(), kResultOk);
    left->Unlock();
    left->PaneShowLinkedOffscreen(content);
    EXPECT_EQ(GetPixel(left->PortDC(), 10, 10), blue);
    left->EndPaneDrawing();

    // An offscreen that went away between the lock and the unlock is not touched again.
    ASSERT_EQ(left->Lock(), kResultOk);
    SharedOffscreen->DisposeOffscreen();
    left->Unlock();

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
    EXPECT_EQ(plain->GetVerticalPosition() | minimum | maximum, 0);
    EXPECT_EQ(plain->PaneScrollBy(1, 1), 3);

    RecordingPane* pane = Add(kPaneVerticalBar | kPaneHorizontalBar, kRightHalf, {0, 0, 500, 700});
    const PortRect range = pane->ScrollRange();
    EXPECT_EQ(range.right, 500 - pane->ContentRect().Width());
    EXPECT_EQ(range.bottom, 700 - pane->ContentRect().Height());
    pane->GetVerticalRange(&minimum, &maximum);
    EXPECT_EQ(maximum, range.bottom);

    EXPECT_EQ(pane->PaneScrollBy(-10, -20), 0);
    EXPECT_EQ(pane->Taken(kDraw), (Calls{{kDraw, kDrawScrolled, 10, 20, 0}}));
    EXPECT_EQ(pane->PaneScrollBy(10, 30), 0) << "clamped at the top, but it moved";
    EXPECT_EQ(pane->PaneScrollBy(-5, 1), 1) << "the vertical position is at its limit";
    EXPECT_EQ(pane->PaneScrollBy(1, -5), 2);
    EXPECT_EQ(pane->PaneScrollBy(1, 1), 3);
    EXPECT_EQ(pane->GetHorizontalPosition() | pane->GetVerticalPosition(), 0) << "neither axis moved";
    EXPECT_EQ(pane->Taken(kDraw), (Calls{{kDraw, kDrawScrolled, 0, 0, 0}}));

    SendMessageA(pane->PaneWindow(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(pane->GetVerticalPosition(), 40);
    EXPECT_TRUE(pane->Taken(kDraw).empty());
    SendMessageA(pane->PaneWindow(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
    EXPECT_EQ(pane->Taken(kDraw), (Calls{{kDraw, kDrawScrolled, 0, 50, 0}}));
}

TEST_F(PaneTest, LayoutFollowsTheOwnerWithTheBelowThresholdFlag)
{
    RecordingPane* left = Add(0, kLeftHalf);
    RecordingPane* right = Add(0, kRightHalf);
    EXPECT_EQ(right->PaneRect().left, 200);
    EXPECT_EQ(right->ContentRect().right, 200);
    EXPECT_EQ(right->CentreY(), 150);
    EXPECT_EQ(window_->FindPaneAtPoint(199, 10), left);
    EXPECT_EQ(window_->FindPaneAtPoint(200, 10), right);
    PortRect rect;
    window_->GetBounds(&rect);
    ScrollPositions positions = {0, 0};
    EXPECT_EQ(right->PaneLayoutFrom(&rect, &positions, kLayoutResize, 0), 1) << "right and bottom kept";
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
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(-3, 10));
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(pane->Taken(kMouseDown).empty());

    // A release outside keeps the pop-up: had it ended the run, the second would still wait.
    StartPopUpTracking(pane);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, Point(500, 10));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, Point(10, 10));
    EXPECT_EQ(RunMessageLoop(kModalLoop), kLoopEndRequested);
    EXPECT_EQ(pane->Taken(kMouseUp), (Calls{{kMouseUp, 500, 10, 0, 0}, {kMouseUp, 10, 10, 0, 0}}));
    EXPECT_EQ(GetCapture(), nullptr);
    pane->SetPaneFlags(0);
}

}  // namespace
