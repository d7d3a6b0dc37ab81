// The modifier word of the keys and buttons held, and the tests for waiting input.
#include "toolkit/input_events.h"

#include "toolkit/message_loop.h"

namespace {

// The key messages (WM_KEYDOWN to 0x108) and the mouse messages (WM_MOUSEMOVE to 0x209) that a
// flush removes.
constexpr UINT kKeyMessagesFirst = WM_KEYDOWN;
constexpr UINT kKeyMessagesLast = 0x108;
constexpr UINT kMouseMessagesFirst = WM_MOUSEMOVE;
constexpr UINT kMouseMessagesLast = 0x209;

bool KeyHeld(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

// Whether a message of the kind waits in the queue; it stays there. (A waiting WM_QUIT answers
// any filter, so the message found is checked.)
bool MessageWaits(UINT message)
{
    MSG waiting;
    return PeekMessageA(&waiting, nullptr, message, message, PM_NOREMOVE) && waiting.message == message;
}

}  // namespace

int32_t ModifierKeys()
{
    int32_t modifiers = 0;
    if (KeyHeld(VK_LBUTTON)) modifiers |= kModifierLeftButton;
    if (KeyHeld(VK_RBUTTON) || KeyHeld(VK_CONTROL)) modifiers |= kModifierCtrlOrRight;
    if (KeyHeld(VK_SHIFT)) modifiers |= kModifierShift;
    if (KeyHeld(VK_MENU)) modifiers |= kModifierAlt;
    return modifiers;
}

uint32_t EventPending(uint32_t mask)
{
    // The high word tells what is in the queue now; the low word only what arrived since the
    // last look, which misses input that an earlier peek has already seen.
    uint32_t waiting = HIWORD(GetQueueStatus(mask)) & mask;
    // A press that follows a click within the double-click time comes as WM_LBUTTONDBLCLK.
    const bool pressWaits = MessageWaits(WM_LBUTTONDOWN) || MessageWaits(WM_LBUTTONDBLCLK);
    if ((waiting & QS_MOUSEBUTTON) && !(pressWaits && MessageWaits(WM_LBUTTONUP)))
        waiting &= ~uint32_t(QS_MOUSEBUTTON);
    if ((waiting & QS_KEY) && !(MessageWaits(WM_KEYDOWN) && MessageWaits(WM_KEYUP)))
        waiting &= ~uint32_t(QS_KEY);
    if ((waiting & QS_PAINT) && !MessageWaits(WM_PAINT)) waiting &= ~uint32_t(QS_PAINT);
    return waiting;
}

void FlushInputEvents()
{
    MSG removed;
    while (PeekKeepingQuit(&removed, nullptr, kKeyMessagesFirst, kKeyMessagesLast, PM_REMOVE) ==
               kPeekedMessage &&
           PeekKeepingQuit(&removed, nullptr, kMouseMessagesFirst, kMouseMessagesLast, PM_REMOVE) ==
               kPeekedMessage) {
    }
}
