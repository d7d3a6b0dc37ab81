// Test support for button panels and pop-up panes.
#include "tests/toolkit/panel_fixture.h"

#include <cstring>

#include "draw/current_port.h"
#include "toolkit/message_loop.h"
#include "toolkit/pane.h"
#include "toolkit/panel_hold_timer.h"

uint32_t TestClockNow = 0;

namespace {

PopUpWatcher* gWatcher = nullptr;
constexpr DWORD kAnswerDelay = 20;
constexpr DWORD kCloseTimeLimit = 500;

uint32_t TestClock()
{
    return TestClockNow;
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && gWatcher) {
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        const char* title = create->lpszName;
        if (title && HIWORD(reinterpret_cast<UINT_PTR>(title)) && std::strcmp(title, "Pop Up") == 0)
            gWatcher->Made(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool DispatchStep()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, PaneRepeatMessage, PaneRepeatMessage, PM_REMOVE)) return false;
    DispatchMessageA(&message);
    return true;
}

void PostMouse(HWND hwnd, UINT message, WPARAM keys, int32_t x, int32_t y)
{
    PostMessageA(hwnd, message, keys, Point(x, y));
    DispatchStep();
    MSG posted;
    if (PeekMessageA(&posted, hwnd, message, message, PM_REMOVE)) DispatchMessageA(&posted);
}

PopUpWatcher::PopUpWatcher() : hook_(SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId()))
{
    answer = Close;
    gWatcher = this;
}

PopUpWatcher::~PopUpWatcher()
{
    gWatcher = nullptr;
    UnhookWindowsHookEx(hook_);
}

void PopUpWatcher::Close(HWND popup)
{
    SendMessageA(popup, WM_CLOSE, 0, 0);
    RunLater(kCloseTimeLimit, [popup] {
        if (!IsWindow(popup)) return;
        ADD_FAILURE() << "WM_CLOSE left the pop-up up";
        EndModalRun();
    });
}

void PopUpWatcher::Made(HWND popup)
{
    ++count_;
    RunLater(kAnswerDelay, [action = answer, popup] {
        if (IsWindow(popup)) action(popup);
    });
}

void PanelFixture::SetUp()
{
    FrameFixture::SetUp();
    ASSERT_NE(frame_, nullptr);
    window_ = new Window;
    ASSERT_EQ(window_->CreateWindowObject({20, 20, 320, 220}, "Panels", {0, 0}, {0, 0}, {0, 0},
                                          kWindowCaption | kWindowSizing | kWindowSystemMenu, kWindowHides),
              kResultOk);
    window_->SetWindowOwner(frame_);
    frame_->RegisterDocumentWindow(window_);
    window_->ShowWindowObject();
    mouseHook_ = SetWindowsHookExA(WH_MOUSE, DropRealMouseInput, nullptr, GetCurrentThreadId());
    ASSERT_NE(mouseHook_, nullptr);
    InstallPanelClock(TestClock);
    PumpMessages();
}

void PanelFixture::TearDown()
{
    InstallPanelClock(nullptr);
    UnhookWindowsHookEx(mouseHook_);
    if (window_) window_->DestroyWindowObject();
    FrameFixture::TearDown();
    EXPECT_EQ(CurrentDrawingPane(), nullptr);
}

