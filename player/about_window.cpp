// The about window's start-up choice of form, its clock and the message step both loops take.
#include "player/about_window.h"

#include <windows.h>

#include "foundation/disk_file_stream.h"
#include "foundation/process_state.h"
#include "player/about_loop.h"
#include "player/event_log.h"
#include "toolkit/message_loop.h"

namespace {

// The platform id of the NT line, which shows the short window.
constexpr int32_t kPlatformNt = VER_PLATFORM_WIN32_NT;
// A tick count in 16 ms units spans 28 bits.
constexpr uint32_t kUnitShift = 4;
constexpr uint32_t kUnitLength = 1u << kUnitShift;
constexpr uint32_t kUnitMask = 0xFFFFFFFFu >> kUnitShift;
// The key and mouse-button messages.
constexpr UINT kKeyMessagesFirst = WM_KEYDOWN;
constexpr UINT kKeyMessagesLast = 0x108;
constexpr UINT kButtonMessagesFirst = WM_LBUTTONDOWN;
constexpr UINT kButtonMessagesLast = 0x209;

bool IsKeyOrButton(UINT message)
{
    return (message >= kKeyMessagesFirst && message <= kKeyMessagesLast) ||
           (message >= kButtonMessagesFirst && message <= kButtonMessagesLast);
}

// The release of a key or button, which may have been pressed before the window opened (the key
// that chose the menu item): it never closes the window.
bool IsRelease(UINT message)
{
    return message == WM_KEYUP || message == WM_SYSKEYUP || message == WM_LBUTTONUP || message == WM_RBUTTONUP ||
           message == WM_MBUTTONUP;
}

uint32_t SystemTicks()
{
    return GetTickCount();
}

AboutTickSource gTickSource = SystemTicks;

}  // namespace

void ShowStartupAbout()
{
    ShowAboutForm(kAboutAtStartUp);
}

bool ShortAboutPlatform()
{
    return ProgramVolumeLimits.platform == kPlatformNt;
}

void ShowAboutForm(int32_t mode)
{
    if (ShortAboutPlatform())
        ShowShortAboutWindow(mode);
    else
        ShowAboutBox(mode);
}

AboutTickSource InstallAboutTickSource(AboutTickSource source)
{
    const AboutTickSource previous = gTickSource;
    gTickSource = source ? source : SystemTicks;
    return previous;
}

int32_t AboutWindowRunning()
{
    return AboutWindowCount > 0 ? 1 : 0;
}

uint32_t AboutTicks()
{
    return gTickSource();
}

uint32_t AboutUnitsBetween(uint32_t start, uint32_t now)
{
    return ((now >> kUnitShift) - (start >> kUnitShift)) & kUnitMask;
}

AboutInput TakeAboutInput()
{
    MSG message;
    switch (PeekKeepingQuit(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
    case kPeekedNothing:
        return AboutInput::kNothing;
    case kPeekedQuit:
        return AboutInput::kEnds;
    case kPeekedMessage:
        break;
    }
    if (IsKeyOrButton(message.message)) return IsRelease(message.message) ? AboutInput::kTaken : AboutInput::kEnds;
    if (message.message != WM_MOUSEMOVE) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return AboutInput::kTaken;
}

void AboutWaitForNextUnit(uint32_t now)
{
    const DWORD untilNextUnit = kUnitLength - (now & (kUnitLength - 1));
    MsgWaitForMultipleObjects(0, nullptr, FALSE, untilNextUnit, QS_ALLINPUT);
}

void LogAboutShown(const char* form, int32_t mode, HWND window)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    LogEvent("about %s %d %ld,%ld,%ld,%ld", form, int(mode), client.left, client.top, client.right, client.bottom);
}

void LogAboutClosed(const char* form)
{
    LogEvent("about-closed %s", form);
}
