// Modifier keys from the thread's key state, waiting input as the queue holds it, and the flush of
// key and mouse messages with the quit rule of peeking loops.
#include "toolkit/input_events.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Removes and dispatches every waiting message (so that paint requests are met); answers their
// numbers in order.
std::vector<UINT> DrainQueue()
{
    std::vector<UINT> messages;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        messages.push_back(message.message);
        DispatchMessageA(&message);
    }
    return messages;
}

void Post(std::initializer_list<UINT> messages)
{
    for (UINT message : messages) PostThreadMessageA(GetCurrentThreadId(), message, 0, 0);
}

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

}  // namespace

TEST(InputEvents, ModifierKeysReadTheThreadsKeyState)
{
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    for (const auto& [key, modifiers] : {std::pair{VK_LBUTTON, 1}, {VK_RBUTTON, 8}, {VK_CONTROL, 8},
                                         {VK_SHIFT, 4}, {VK_MENU, 0x12}, {VK_CAPITAL, 0}}) {
        BYTE keys[256] = {};
        keys[key] = 0x80;
        keys[VK_SHIFT] |= 0x01;  // toggled, not held
        ASSERT_TRUE(SetKeyboardState(keys));
        EXPECT_EQ(ModifierKeys(), modifiers) << key;
    }
    SetKeyboardState(saved);
}

TEST(InputEvents, FlushRemovesKeyAndMouseMessagesInTurnUntilEitherRunsOut)
{
    DrainQueue();
    Post({WM_KEYDOWN, WM_LBUTTONDOWN, WM_KEYUP, WM_APP, WM_CHAR, WM_LBUTTONUP, WM_MOUSEMOVE});
    FlushInputEvents();
    EXPECT_EQ(DrainQueue(), std::vector<UINT>{WM_APP});
    // The mouse removal takes the quit message, posts it again and ends the flush.
    Post({WM_KEYDOWN, WM_KEYUP});
    PostQuitMessage(7);
    FlushInputEvents();
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_KEYUP, WM_KEYUP, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, WPARAM(7));
    EXPECT_TRUE(DrainQueue().empty());
}

TEST(InputEvents, PendingInputNeedsBothHalvesAndStaysSeen)
{
    // A window of this thread with the focus and the capture receives the system's input.
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    EXPECT_EQ(EventPending(QS_PAINT | QS_KEY), uint32_t(QS_PAINT));
    ValidateRect(window, nullptr);
    EXPECT_EQ(EventPending(QS_PAINT), 0u);
    SetForegroundWindow(window);
    SetFocus(window);
    SetCapture(window);
    DrainQueue();

    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    SendInputEvent(INPUT_KEYBOARD, 0);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON | QS_KEY), 0u);
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON | QS_KEY), uint32_t(QS_MOUSEBUTTON));
    SendInputEvent(INPUT_KEYBOARD, KEYEVENTF_KEYUP);
    // Looked at and peeked at already, the click is still reported, and so is the key.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON | QS_KEY), uint32_t(QS_MOUSEBUTTON | QS_KEY));
    DrainQueue();
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON | QS_KEY), 0u);
    ReleaseCapture();
    DestroyWindow(window);
    DrainQueue();
}

TEST(InputEvents, AClickWithinTheDoubleClickTimeIsPendingInputToo)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "QpDoubleClicks";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                  200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    SetCapture(window);
    DrainQueue();

    // The first click is taken, as the button that started a loop takes its own.
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    DrainQueue();
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON), 0u);
    SendInputEvent(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(EventPending(QS_MOUSEBUTTON), uint32_t(QS_MOUSEBUTTON));
    EXPECT_EQ(DrainQueue(), (std::vector<UINT>{WM_LBUTTONDBLCLK, WM_LBUTTONUP}))
        << "the second click came as a double-click";
    ReleaseCapture();
    DestroyWindow(window);
    UnregisterClassA(windowClass.lpszClassName, nullptr);
    DrainQueue();
}
