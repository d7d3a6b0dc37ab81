// Walk-path play with real input in the queue: a click (or a double-click) stops it where it
// stands, whole key presses are taken in the order they came and play goes on, WM_QUIT stops it
// and stays posted, and every point stays on screen for a tick of the system clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "player/view_base.h"
#include "player/walk_observer.h"

namespace {

// A left button or a key (F24 unless told: a key nothing reacts to) goes down or up through the
// system's input.
void SendInputEvent(DWORD type, DWORD flags, WORD key = VK_F24)
{
    INPUT input = {};
    input.type = type;
    if (type == INPUT_MOUSE) input.mi.dwFlags = flags;
    else input.ki = {key, 0, flags, 0, 0};
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

// A window of this thread with the focus and the capture, so that the system's input comes to
// the thread's queue; an observer with a path of points at x = 10, 20, 30 ...; and as its owner
// document a view that notes the point shown and the tick of each redraw command.
class PathPlay : public ::testing::Test, public ViewBase {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        SetCapture(window_);
        DrainQueue();
        ASSERT_EQ(walk_->Init(nullptr), kResultOk);
        walk_->SetOwner(this);
    }

    void TearDown() override
    {
        walk_->Free();
        ReleaseCapture();
        DestroyWindow(window_);
        DrainQueue();
    }

    int32_t ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t /*value*/) override
    {
        EXPECT_TRUE(sender == nullptr && kind == kCommandStep && code == kCodeRedrawStep && walk_->IsPlaying());
        indexes_.push_back(walk_->PathIndex());
        ticks_.push_back(GetTickCount());
        if (indexes_.size() == 1000) {
            ADD_FAILURE() << "play did not stop";
            PostQuitMessage(0);
        }
        onShown_(int32_t(indexes_.size()));
        return 0;
    }

    void Play(int32_t points, std::function<void(int32_t count)> onShown)
    {
        walk_->SetRecording(1, 1);
        for (int32_t i = walk_->PathCount(); i < points; ++i) walk_->SetAndRecord(IntToFixed(10 * (i + 1)), 0, 0, 0, 0, 0);
        walk_->SetRecording(0, 0);
        indexes_.clear();
        ticks_.clear();
        onShown_ = onShown;
        walk_->PlayPath();
        EXPECT_FALSE(walk_->IsPlaying());
    }

    HWND window_ = nullptr;
    WalkObserver* walk_ = new WalkObserver;
    std::vector<int32_t> indexes_;
    std::vector<DWORD> ticks_;
    std::function<void(int32_t count)> onShown_;
};

}  // namespace

TEST_F(PathPlay, AClickStopsPlayAtThePointShownAndPlayResumesThere)
{
    Play(3, [this](int32_t count) {
        if (count == 1) walk_->SetRecording(1, 1);  // a path that plays is neither cleared nor recorded
        if (count == 5) Click();
    });
    EXPECT_EQ(indexes_, (std::vector<int32_t>{0, 1, 2, 0, 1}));
    EXPECT_EQ(walk_->x, 20);
    EXPECT_EQ(walk_->PathCount(), 3);

    // The next click follows within the double-click time: it comes as a double-click, and it
    // stops play all the same.
    DrainQueue();
    Play(3, [](int32_t count) {
        if (count == 2) Click();
    });
    EXPECT_EQ(indexes_, (std::vector<int32_t>{1, 2}));
}

TEST_F(PathPlay, AWholeKeyPressIsTakenAndPlayGoesOn)
{
    Play(2, [](int32_t count) {
        if (count == 2) SendInputEvent(INPUT_KEYBOARD, 0);  // down only: not yet a press
        if (count == 4) SendInputEvent(INPUT_KEYBOARD, KEYEVENTF_KEYUP);
        if (count == 6) Click();
    });
    EXPECT_EQ(indexes_.size(), 6u);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));  // nothing fires later
    // Its press went with its release: one read after play would leave the key reading as held.
    DrainQueue();
    EXPECT_GE(GetKeyState(VK_F24), 0);

    // Shift, Ctrl, Ctrl let go, F24 held, Shift let go: taken in the order they came. The
    // system reads a key message's state from those taken before it: while F24's release is
    // still to come, W's press would read Ctrl as held had Ctrl's press been taken after its
    // release.
    Play(2, [](int32_t count) {
        const std::pair<WORD, DWORD> keys[] = {{VK_SHIFT, 0}, {VK_CONTROL, 0}, {VK_CONTROL, KEYEVENTF_KEYUP},
                                               {VK_F24, 0}, {VK_SHIFT, KEYEVENTF_KEYUP}};
        if (count == 2)
            for (const auto& key : keys) SendInputEvent(INPUT_KEYBOARD, key.second, key.first);
        if (count == 4) Click();
    });
    EXPECT_EQ(indexes_.size(), 4u);
    SendInputEvent(INPUT_KEYBOARD, 0, 'W');
    SendInputEvent(INPUT_KEYBOARD, KEYEVENTF_KEYUP, 'W');
    do {
        ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    } while (message.wParam != 'W');
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    SendInputEvent(INPUT_KEYBOARD, KEYEVENTF_KEYUP);
    DrainQueue();
}

TEST_F(PathPlay, QuitStopsPlayAndStaysPosted)
{
    Play(2, [](int32_t count) {
        if (count == 3) PostQuitMessage(5);
    });
    EXPECT_EQ(indexes_, (std::vector<int32_t>{0, 1, 0}));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(5));
}

TEST_F(PathPlay, EachPointStaysForATickAndAOnePointPathRepeats)
{
    constexpr DWORD kTick = 16;
    Play(1, [this](int32_t) {
        if (ticks_.back() - ticks_.front() >= 10 * kTick) Click();
    });
    ASSERT_GE(indexes_.size(), 2u);
    EXPECT_EQ(indexes_, std::vector<int32_t>(indexes_.size(), 0));
    for (size_t i = 1; i < ticks_.size(); ++i) EXPECT_GE(ticks_[i] - ticks_[i - 1], kTick) << i;
}
