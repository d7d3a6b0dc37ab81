// The current progress window, the nesting of its opens and finishes, and the message pump of
// its updates.
#include "toolkit/current_progress.h"

#include <windows.h>

#include <new>

#include "toolkit/app_commands.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/message_loop.h"
#include "toolkit/progress_window.h"
#include "toolkit/window_classes.h"

namespace {

ProgressWindow* gCurrent = nullptr;
int32_t gNesting = 0;

uint32_t SystemClock()
{
    return GetTickCount();
}

ProgressClock gClock = SystemClock;

// What a pump takes as it comes: sent messages, input, paints and timers.
constexpr UINT kTakeInput = PM_REMOVE | PM_NOYIELD | PM_QS_SENDMESSAGE | PM_QS_INPUT | PM_QS_PAINT | (QS_TIMER << 16);
// Then the posted messages (WM_QUIT among them), each looked at before it is taken.
constexpr UINT kPosted = PM_NOYIELD | PM_QS_POSTMESSAGE;

// Whether a pump watches for the stop command: the pumps of the updates do, the pump of a show
// does not (a press during a show has left its result value already).
enum class StopWatch { kIgnore, kWatch };

// The stop command that the Stop or Cancel button posts to the frame. A modal run's wake carries
// the same code with no window: a dialog dismissed during the load asks for no stop.
bool IsStopCommand(const MSG& message)
{
    return message.message == AppCommandMessage && message.hwnd && message.lParam == kCommandClose;
}

// The next message for the pump that began at the tick count `began`: input, paints and timers
// first, then the messages posted before the pump began (to the tick: a handler that posts its
// next message at every step cannot keep the pump going), and a stop command posted since, which
// a press the pump dispatched has posted. A WM_QUIT is taken and posted again.
PeekResult NextPumpMessage(MSG* message, DWORD began, StopWatch watch)
{
    if (PeekMessageA(message, nullptr, 0, 0, kTakeInput)) return kPeekedMessage;
    if (!PeekMessageA(message, nullptr, 0, 0, kPosted | PM_NOREMOVE)) return kPeekedNothing;
    if (message->message == WM_QUIT || int32_t(message->time - began) <= 0)
        return PeekKeepingQuit(message, nullptr, 0, 0, kPosted | PM_REMOVE);
    if (watch == StopWatch::kWatch &&
        PeekMessageA(message, nullptr, AppCommandMessage, AppCommandMessage, kPosted | PM_NOREMOVE) &&
        IsStopCommand(*message) &&
        PeekMessageA(message, nullptr, AppCommandMessage, AppCommandMessage, kPosted | PM_REMOVE))
        return kPeekedMessage;
    return kPeekedNothing;
}

// Dispatches the waiting messages (NextPumpMessage), offering each to the dialog manager of the
// window that is current when it comes; no windoid moves, sizes or restacks meanwhile. Watching,
// a stop command taken sets the current window's stop result before it is dispatched. A WM_QUIT
// ends the pump (it is posted again) and asks the load to stop: true then.
bool PumpMessages(StopWatch watch)
{
    const int32_t locked = WindoidPositionLock();
    SetWindoidPositionLock(1);
    bool quit = false;
    const DWORD began = GetTickCount();
    MSG message;
    for (;;) {
        const PeekResult peeked = NextPumpMessage(&message, began, watch);
        if (peeked == kPeekedNothing) break;
        if (peeked == kPeekedQuit) {
            if (gCurrent) gCurrent->RequestStop();
            quit = true;
            break;
        }
        if (watch == StopWatch::kWatch && gCurrent && IsStopCommand(message)) gCurrent->TakeStopCommand();
        HWND dialog = gCurrent ? gCurrent->PaneWindow() : nullptr;
        if (dialog && IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A pump nested in another's handler leaves the outer pump's lock in place.
    SetWindoidPositionLock(locked);
    if (gCurrent) gCurrent->Pumped(gClock());
    return quit;
}

// Lays out the credits that wait, when a layout of them is due (or at once): true when it did.
bool LayOutWaitingCredits(bool atOnce)
{
    const uint32_t began = gClock();
    if (!(atOnce ? gCurrent->CreditsWaiting() : gCurrent->CreditsLayoutIsDue(began))) return false;
    gCurrent->LayOutCredits();
    gCurrent->CreditsLaidOut(began, gClock());
    return true;
}

}  // namespace

ProgressClock InstallProgressClock(ProgressClock clock)
{
    const ProgressClock previous = gClock;
    gClock = clock ? clock : SystemClock;
    return previous;
}

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
        gCurrent->PumpAtNextUpdate();
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
    PumpMessages(StopWatch::kIgnore);
    if (gCurrent) gCurrent->PumpAtNextUpdate();
}

int32_t UpdateProgressWindow(int32_t increment)
{
    if (!gCurrent) return 0;
    if (gCurrent->StopRequested()) return 1;
    gCurrent->AdvanceBar(increment);
    if (!gCurrent->PumpIsDue(gClock())) return 0;
    LayOutWaitingCredits(false);
    // The help bar's memory gauge is refreshed at the pump's pace: asking the system for its
    // memory figures at every update would cost as much as the redraws the pace saves.
    UpdateMemoryReadout();
    const bool quit = PumpMessages(StopWatch::kWatch);
    return quit || (gCurrent && gCurrent->StopRequested()) ? 1 : 0;
}

void ShowProgressCredits(Q_Offscreen* picture, const DynamicArray* text)
{
    if (!gCurrent) return;
    gCurrent->SetCredits(picture, text);
    if (!LayOutWaitingCredits(false)) return;
    gCurrent->SetValue(gCurrent->Value() - 1);
    gCurrent->PumpAtNextUpdate();
    UpdateProgressWindow(0);
}

int32_t FinishProgressWindow()
{
    ProgressWindow* window = gCurrent;
    if (!window) return 0;
    // The last look: a press of the button, a key or a close that came since the last pump is
    // taken before the window goes, and never lost with it.
    bool quit = !window->StopRequested() && PumpMessages(StopWatch::kWatch);
    // A handler of the pump may have finished the window itself.
    if (gCurrent != window) return quit ? 1 : 0;
    if (gNesting > 0) {
        --gNesting;
        window->PumpAtNextUpdate();
        return quit || window->StopRequested() ? 1 : 0;
    }
    // The credits the load ended with are laid out, whatever the pace, before the notice; what
    // the user did meanwhile is taken as at the last look.
    if (!quit && !window->StopRequested() && LayOutWaitingCredits(true)) {
        quit = PumpMessages(StopWatch::kWatch);
        if (gCurrent != window) return quit ? 1 : 0;
    }
    const int32_t stopped = quit || window->StopRequested() ? 1 : 0;
    // Nothing reaches the window through these operations once it is finishing.
    gCurrent = nullptr;
    window->AwaitAcknowledgement();
    window->CloseDialog();
    return stopped;
}

void ProgressGetMessage(char* buffer, size_t size)
{
    if (gCurrent) gCurrent->CopyMessage(buffer, size);
}

void ProgressSetCounter(const char* text)
{
    if (gCurrent) gCurrent->SetCounter(text);
}
