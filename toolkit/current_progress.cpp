// The current progress window, the nesting of its opens and finishes, and the message pump of
// its updates.
#include "toolkit/current_progress.h"

#include <windows.h>

#include <new>

#include "toolkit/message_loop.h"
#include "toolkit/progress_window.h"
#include "toolkit/window_classes.h"

namespace {

ProgressWindow* gCurrent = nullptr;
int32_t gNesting = 0;

constexpr UINT kPumpFlags = PM_REMOVE | PM_NOYIELD;

// Dispatches every waiting message, offering each to the dialog manager of the window that is
// current when it comes; no windoid moves, sizes or restacks meanwhile. A WM_QUIT ends the pump
// (it is posted again) and asks the load to stop: true then.
bool PumpMessages()
{
    const int32_t locked = WindoidPositionLock();
    SetWindoidPositionLock(1);
    bool quit = false;
    MSG message;
    for (;;) {
        const PeekResult peeked = PeekKeepingQuit(&message, nullptr, 0, 0, kPumpFlags);
        if (peeked == kPeekedNothing) break;
        if (peeked == kPeekedQuit) {
            if (gCurrent) gCurrent->RequestStop();
            quit = true;
            break;
        }
        HWND dialog = gCurrent ? gCurrent->PaneWindow() : nullptr;
        if (dialog && IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A pump nested in another's handler leaves the outer pump's lock in place.
    SetWindoidPositionLock(locked);
    return quit;
}

}  // namespace

ProgressWindow* CurrentProgressWindow()
{
    return gCurrent;
}

int32_t ProgressNestingDepth()
{
    return gNesting;
}

int32_t OpenProgressWindow(int32_t mode)
{
    if (gCurrent) {
        ++gNesting;
        return -1;
    }
    auto* window = new (std::nothrow) ProgressWindow;
    if (!window) return 0;
    if (window->CreateProgressWindoid(mode) != kResultOk) {
        window->CloseDialog();
        return 0;
    }
    gCurrent = window;
    gNesting = 0;
    return 0;
}

void SetProgressTitle(const char* text)
{
    if (gCurrent) gCurrent->SetProgressTitle(text);
}

void SetProgressMessage(const char* text)
{
    if (gCurrent) gCurrent->SetMessage(text);
}

void SetProgressDetail(const char* text)
{
    if (gCurrent) gCurrent->SetDetail(text);
}

void SetProgressTotal(int32_t total)
{
    if (gCurrent) gCurrent->SetTotal(total);
}

void SetProgressValue(int32_t value)
{
    if (gCurrent) gCurrent->SetValue(value);
}

int32_t CurrentProgressValue()
{
    return gCurrent ? gCurrent->Value() : 0;
}

void ShowProgressWindow()
{
    if (!gCurrent) return;
    gCurrent->LayOutAndShow();
    PumpMessages();
}

int32_t UpdateProgressWindow(int32_t increment)
{
    if (!gCurrent) return 0;
    if (gCurrent->StopRequested()) return 1;
    gCurrent->AdvanceBar(increment);
    const bool quit = PumpMessages();
    return quit || (gCurrent && gCurrent->StopRequested()) ? 1 : 0;
}

void ShowProgressCredits(Q_Offscreen* picture, const DynamicArray* text)
{
    if (!gCurrent) return;
    gCurrent->ShowCredits(picture, text);
    gCurrent->SetValue(gCurrent->Value() - 1);
    UpdateProgressWindow(0);
}

void FinishProgressWindow()
{
    ProgressWindow* window = gCurrent;
    if (!window) return;
    if (gNesting > 0) {
        --gNesting;
        return;
    }
    // Nothing reaches the window through these operations once it is finishing.
    gCurrent = nullptr;
    window->AwaitAcknowledgement();
    window->CloseDialog();
}

void ProgressGetMessage(char* buffer, size_t size)
{
    if (gCurrent) gCurrent->CopyMessage(buffer, size);
}

void ProgressSetCounter(const char* text)
{
    if (gCurrent) gCurrent->SetCounter(text);
}
