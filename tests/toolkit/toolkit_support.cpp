// Test support for the toolkit.
#include "tests/toolkit/toolkit_support.h"

#include <gtest/gtest.h>

#include <map>

#include "draw/current_port.h"
#include "tests/toolkit/toolkit_startup.h"
#include "toolkit/app_globals.h"
#include "toolkit/dialog_window.h"
#include "toolkit/help_call.h"
#include "toolkit/push_button.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

std::vector<HelpCallRecord> gHelpCalls;
std::map<UINT_PTR, std::function<void()>> gLaterActions;

BOOL WINAPI RecordHelpCall(HWND window, const char* file, UINT command, ULONG_PTR /*data*/)
{
    gHelpCalls.push_back({window, file ? file : "", command});
    return TRUE;
}

void CALLBACK RunLaterAction(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto entry = gLaterActions.find(id);
    if (entry == gLaterActions.end()) return;
    std::function<void()> action = std::move(entry->second);
    gLaterActions.erase(entry);
    action();
}

// The toolkit as the program starts it, once for the test program.
class ToolkitEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        SetAppInstance(instance);
        SetShowCommand(SW_SHOW);
        InstallHelpCall(RecordHelpCall);
        ASSERT_TRUE(StartToolkitForTests(instance));
    }

    void TearDown() override
    {
        StopToolkitForTests();
        InstallHelpCall(nullptr);
    }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace

TestFrame* TestFrame::Make(int32_t mode)
{
    auto* frame = new TestFrame;
    if (!frame->DocumentSetup(mode, nullptr, kDocumentWithFrame) || !frame->FrameWindow()) {
        Dispose(frame);
        return nullptr;
    }
    return frame;
}

void TestFrame::Dispose(TestFrame* frame)
{
    if (!frame) return;
    frame->DestroyDocumentFrame();
    frame->FreeDocumentFrame();
    PumpMessages();
}

void FrameFixture::SetUp()
{
    frame_ = TestFrame::Make();
    ASSERT_NE(frame_, nullptr);
}

void FrameFixture::TearDown()
{
    TestFrame::Dispose(frame_);
}

bool PumpMessages()
{
    MSG message;
    bool alive = true;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            alive = false;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return alive;
}

bool PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    bool alive = true;
    do {
        alive = PumpMessages() && alive;
        Sleep(1);
    } while (GetTickCount() - start < milliseconds);
    return alive;
}

void RunLater(DWORD delay, std::function<void()> action)
{
    const UINT_PTR id = SetTimer(nullptr, 0, delay, RunLaterAction);
    gLaterActions[id] = std::move(action);
}

namespace {

constexpr UINT kDialogPatience = 3000;

void CALLBACK CloseStuckDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND dialog = FindDialogWindoid()) {
        ADD_FAILURE() << "a dialog was still up after " << kDialogPatience << " ms";
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

}  // namespace

DialogWatchdog::DialogWatchdog() : timer_(SetTimer(nullptr, 0, kDialogPatience, CloseStuckDialog)) {}

DialogWatchdog::~DialogWatchdog()
{
    KillTimer(nullptr, timer_);
}

int32_t TakeQuit()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return -1;
    return int32_t(message.wParam);
}

std::vector<HelpCallRecord>& RecordedHelpCalls()
{
    return gHelpCalls;
}

namespace {

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM parameter)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (std::string(name) != kWindoidClassName || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    Window* window = WindowObject<Window>(hwnd);
    if (!window || !(window->Flags() & kWindowDialog)) return TRUE;
    *reinterpret_cast<HWND*>(parameter) = hwnd;
    return FALSE;
}

}  // namespace

HWND FindDialogWindoid()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

PixelPort::PixelPort(int32_t width, int32_t height, uint32_t fill) : width_(width), height_(height), fill_(fill)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    for (int32_t i = 0; i < width * height; ++i) pixels_[i] = fill;
    SetPort(dc_);
}

PixelPort::~PixelPort()
{
    SetPort(nullptr);
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

int32_t PixelPort::Count(const RECT& rect, uint32_t colour) const
{
    int32_t count = 0;
    for (int32_t y = rect.top; y < rect.bottom; ++y)
        for (int32_t x = rect.left; x < rect.right; ++x) count += Pixel(x, y) == colour;
    return count;
}

std::vector<std::array<int32_t, 2>> PixelPort::Inked() const
{
    std::vector<std::array<int32_t, 2>> inked;
    for (int32_t y = 0; y < height_; ++y)
        for (int32_t x = 0; x < width_; ++x)
            if (Pixel(x, y) != fill_) inked.push_back({x, y});
    return inked;
}

HWND DialogDefaultControl(HWND dialog)
{
    Window* window = dialog ? WindowObject<Window>(dialog) : nullptr;
    auto* pane = window && window->PaneCount() > 0 ? dynamic_cast<DialogWindow*>(window->PaneAt(0)) : nullptr;
    auto* button = pane ? dynamic_cast<PushButton*>(pane->FocusedControl()) : nullptr;
    return button ? button->Control() : nullptr;
}

void PostKey(HWND window, WPARAM key)
{
    const UINT scan = MapVirtualKeyA(UINT(key), 0);
    PostMessageA(window, WM_KEYDOWN, key, LPARAM(1 | (scan << 16)));
    PostMessageA(window, WM_KEYUP, key, LPARAM(1 | (scan << 16) | (3u << 30)));
}

LRESULT CALLBACK DropRealMouseInput(int code, WPARAM wParam, LPARAM lParam)
{
    return code < 0 ? CallNextHookEx(nullptr, code, wParam, lParam) : 1;
}
