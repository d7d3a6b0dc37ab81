// Modifier keys from the thread's key state, waiting input as the queue holds it, and the flush of
// key and mouse messages with the quit rule of peeking loops.
#include "toolkit/input_events.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A key no window of the system reacts to.
constexpr WORD kQuietKey = VK_F24;

// Removes every waiting message; answers their numbers in order.
std::vector<UINT> DrainQueue()
{
    std::vector<UINT> messages;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) messages.push_back(message.message);
    return messages;
}

void PostToThread(UINT message)
{
    PostThreadMessageA(GetCurrentThreadId(), message, 0, 0);
}

void SendMouseButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD key, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// A visible top-level window of the test thread that holds the focus and the mouse capture, so
// that input sent to the system lands in this thread's queue.
class InputWindow {
public:
    InputWindow()
    {
        window_ = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        SetCapture(window_);
        SetCursorPos(100, 100);
        UpdateWindow(window_);
        DrainQueue();
    }
    ~InputWindow()
    {
        ReleaseCapture();
        DestroyWindow(window_);
        DrainQueue();
    }
    InputWindow(const InputWindow&) = delete;
    InputWindow& operator=(const InputWindow&) = delete;

    HWND Handle() const { return window_; }

private:
    HWND window_;
};

}  // namespace

TEST(InputEvents, ModifierKeysReadTheThreadsKeyState)
{
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    struct Case {
        int key;
        int32_t modifiers;
    };
    for (const Case c :
         {Case{VK_LBUTTON, 1}, {VK_RBUTTON, 8}, {VK_CONTROL, 8}, {VK_SHIFT, 4}, {VK_MENU, 0x12}}) {
        BYTE keys[256] = {};
        keys[c.key] = 0x80;
        ASSERT_TRUE(SetKeyboardState(keys));
        EXPECT_EQ(ModifierKeys(), c.modifiers) << c.key;
    }
    BYTE all[256] = {};
    all[VK_LBUTTON] = all[VK_CONTROL] = all[VK_SHIFT] = all[VK_MENU] = 0x80;
    // A toggled key (low bit) is not held.
    all[VK_RBUTTON] = 0x01;
    SetKeyboardState(all);
    EXPECT_EQ(ModifierKeys(), 0x1F);
    BYTE none[256] = {};
    SetKeyboardState(none);
    EXPECT_EQ(ModifierKeys(), 0);
    SetKeyboardState(saved);
}

TEST(InputEvents, FlushRemovesKeyAndMouseMessagesInTurnUntilEitherRunsOut)
{
    DrainQueue();
    for (UINT message : {UINT(WM_KEYDOWN), UINT(WM_LBUTTONDOWN), UINT(WM_KEYUP), UINT(WM_APP), UINT(WM_CHAR),
                         UINT(WM_LBUTTONUP), UINT(WM_MOUSEMOVE)})
        PostToThread(message);
    FlushInputEvents();
    // Three key and three mouse messages go; the other message stays.
    EXPECT_EQ(DrainQueue(), std::vector<UINT>{WM_APP});

    // With no mouse message to go with it, the first key message goes alone.
    PostToThread(WM_KEYDOWN);
    PostToThread(WM_KEYUP);
    FlushInputEvents();
    EXPECT_EQ(DrainQueue(), std::vector<UINT>{WM_KEYUP});
}

TEST(InputEvents, FlushThatTakesTheQuitMessagePostsItAgain)
{
    DrainQueue();
    PostToThread(WM_KEYDOWN);
    PostToThread(WM_KEYUP);
    PostQuitMessage(7);
    FlushInputEvents();
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    // The mouse removal took the quit message and ended the flush; the key release still waits.
    EXPECT_EQ(message.message, UINT(WM_KEYUP));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(7));
    EXPECT_TRUE(DrainQueue().empty());
}

TEST(InputEvents, PendingPaintIsReportedUntilTheWindowIsValid)
{
    InputWindow window;
    InvalidateRect(window.Handle(), nullptr, FALSE);
    EXPECT_EQ(EventPending(QS_PAINT), uint32_t(QS_PAINT));
    EXPECT_EQ(EventPending(QS_PAINT | QS_KEY), uint32_t(QS_PAINT));
    ValidateRect(window.Handle(), nullptr);
    EXPECT_EQ(EventPending(QS_PAINT), 0u);
}

TEST(InputEvents, PendingClickNeedsPressAndReleaseAndStaysSeen)
{
    InputWindow window;
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON), 0u);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON), uint32_t(QS_MOUSEBUTTON));
    // Looked at once (and peeked at) already, the click is still waiting and still reported.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON | QS_KEY), uint32_t(QS_MOUSEBUTTON));
    DrainQueue();
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON), 0u);
}

TEST(InputEvents, PendingKeyNeedsPressAndReleaseAndStaysSeen)
{
    InputWindow window;
    SendKey(kQuietKey, 0);
    EXPECT_EQ(EventPending(QS_KEY), 0u);
    SendKey(kQuietKey, KEYEVENTF_KEYUP);
    EXPECT_EQ(EventPending(QS_KEY), uint32_t(QS_KEY));
    EXPECT_EQ(EventPending(QS_KEY | QS_MOUSEBUTTON), uint32_t(QS_KEY));
    DrainQueue();
    EXPECT_EQ(EventPending(QS_KEY), 0u);
}
