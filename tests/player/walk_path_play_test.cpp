// Playing the walk path with real input in the queue: a click stops it where it stands, a whole
// key press is taken and play goes on, WM_QUIT stops it and stays posted, and every point stays
// on screen for a tick of the system clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "player/view_base.h"
#include "player/walk_observer.h"

namespace {

// A left button or F24 (a key nothing reacts to) goes down or up through the system's input.
void SendInputEvent(DWORD type, DWORD flags)
{
    INPUT input = {};
    input.type = type;
    if (type == INPUT_MOUSE) {
        input.mi.dwFlags = flags;
    } else {
        input.ki.wVk = VK_F24;
        input.ki.dwFlags = flags;
    }
    SendInput(1, &input, sizeof(input));
}

void Click()
{
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
}

void DrainQueue()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// The owner document: notes the point shown with each redraw command and when.
class ShownPoints : public ViewBase {
public:
    struct Shown {
        int32_t index;
        DWORD tick;
    };

    void ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override
    {
        EXPECT_EQ(sender, nullptr);
        EXPECT_EQ(kind, kCommandStep);
        EXPECT_EQ(code, kCodeRedrawStep);
        EXPECT_TRUE(walk->IsPlaying());
        shown.push_back({walk->PathIndex(), GetTickCount()});
        if (shown.size() == kRunaway) {
            ADD_FAILURE() << "play did not stop";
            PostQuitMessage(0);
        }
        if (onShown) onShown(int32_t(shown.size()));
    }

    std::vector<int32_t> Indexes() const
    {
        std::vector<int32_t> out;
        for (const Shown& s : shown) out.push_back(s.index);
        return out;
    }

    static constexpr size_t kRunaway = 1000;
    WalkObserver* walk = nullptr;
    std::vector<Shown> shown;
    std::function<void(int32_t count)> onShown;
};

// A window of this thread with the focus and the capture, so that the system's input comes to
// the thread's queue; an observer with a path of points at x = 10, 20, 30 ...
class PathPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        SetCapture(window_);
        DrainQueue();
        walk_ = new WalkObserver;
        ASSERT_EQ(walk_->Init(nullptr), kResultOk);
        walk_->SetOwner(&document_);
        document_.walk = walk_;
    }

    void TearDown() override
    {
        walk_->Free();
        ReleaseCapture();
        DestroyWindow(window_);
        DrainQueue();
    }

    void MakePath(int32_t count)
    {
        walk_->SetRecording(1, 1);
        for (int32_t i = 0; i < count; ++i) walk_->SetAndRecord(IntToFixed(10 * (i + 1)), 0, 0, 0, 0, 0);
        walk_->SetRecording(0, 0);
    }

    HWND window_ = nullptr;
    WalkObserver* walk_ = nullptr;
    ShownPoints document_;
};

bool KeyMessageWaits()
{
    MSG message;
    return PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE);
}

}  // namespace

TEST_F(PathPlay, AClickStopsPlayAtThePointShownAndPlayResumesThere)
{
    MakePath(3);
    walk_->SetRecording(1, 0);
    document_.onShown = [this](int32_t count) {
        if (count == 1) walk_->ClearPath();  // refused while the path plays: its points stay
        if (count == 5) Click();
    };
    walk_->PlayPath();
    EXPECT_EQ(document_.Indexes(), (std::vector<int32_t>{0, 1, 2, 0, 1}));
    EXPECT_EQ(walk_->PathIndex(), 1);
    EXPECT_EQ(walk_->x, 20);
    EXPECT_FALSE(walk_->IsPlaying());
    // Nothing played was recorded or cleared, and recording is on again afterwards.
    EXPECT_EQ(walk_->PathCount(), 3);
    EXPECT_TRUE(walk_->IsRecording());

    // (A click soon after the last one at the same place would come as a double click.)
    DrainQueue();
    Sleep(GetDoubleClickTime() + 1);
    document_.shown.clear();
    document_.onShown = [](int32_t count) {
        if (count == 2) Click();
    };
    walk_->PlayPath();
    EXPECT_EQ(document_.Indexes(), (std::vector<int32_t>{1, 2}));
}

TEST_F(PathPlay, AWholeKeyPressIsTakenAndPlayGoesOn)
{
    MakePath(2);
    document_.onShown = [](int32_t count) {
        if (count == 2) SendInputEvent(INPUT_KEYBOARD, 0);  // down only: not yet a press
        if (count == 4) SendInputEvent(INPUT_KEYBOARD, KEYEVENTF_KEYUP);
        if (count == 6) Click();
    };
    walk_->PlayPath();
    EXPECT_EQ(document_.shown.size(), 6u);
    EXPECT_FALSE(KeyMessageWaits());  // neither half fires after play
}

TEST_F(PathPlay, QuitStopsPlayAndStaysPosted)
{
    MakePath(2);
    document_.onShown = [](int32_t count) {
        if (count == 3) PostQuitMessage(5);
    };
    walk_->PlayPath();
    EXPECT_EQ(document_.Indexes(), (std::vector<int32_t>{0, 1, 0}));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(5));
}

TEST_F(PathPlay, EachPointStaysForATickAndAOnePointPathRepeats)
{
    constexpr DWORD kTick = 16;
    constexpr DWORD kTicks = 10;
    MakePath(1);
    document_.onShown = [this](int32_t count) {
        if (GetTickCount() - document_.shown.front().tick >= kTicks * kTick) Click();
    };
    walk_->PlayPath();
    const auto& shown = document_.shown;
    ASSERT_GE(shown.size(), 2u);
    for (size_t i = 1; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].index, 0);
        EXPECT_GE(shown[i].tick - shown[i - 1].tick, kTick) << i;
    }
    EXPECT_LE(shown.size(), (shown.back().tick - shown.front().tick) / kTick + 1);
}
