// Progress scenarios of the toolkit probe. A key in a pane runs a loader of 200 steps that calls
// the progress services as the lower layers do, logging each step and its result; a timer logs
// each change of the progress window's message line (so that "Finished loading." shows in the
// log), and a message hook logs the clicks and keys that a pump takes from the progress window,
// with the step under way, so that the checks can tell in which step a stop took effect.
//
//   LOAD start kind=K / LOAD step=N result=R / LOAD end result=R steps=N frame_enabled=E window_up=U
//   PROGRESS window=.. button=.. bar=..   (after the first show; CREDITS the same after credits)
//   PROGRESS_MESSAGE text=T / INPUT message=M key=K step=N / STAGE ... / ALERT_DONE frame_enabled=E
#include "tests/toolkit/probe/progress_scenarios.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "toolkit/app_globals.h"
#include "toolkit/progress_window.h"
#include "toolkit/push_button.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

constexpr int32_t kLoadSteps = 200;
constexpr DWORD kStepTime = 40;  // ms of work per step
constexpr int32_t kStoppedResult = -2;
constexpr int32_t kCreditsStep = 20;
constexpr int32_t kAlertStep = 30;
constexpr int32_t kStageStep = 40;
constexpr int32_t kStageSteps = 20;
constexpr int32_t kStageTotal = 101;
constexpr int32_t kStageValueStep = 5;
constexpr UINT kWatchInterval = 25;
constexpr size_t kTextSize = 256;

constexpr PortRect kPictureBounds = {0, 0, 120, 40};
constexpr RGBColor48 kPictureColour = {0xFFFF, 0xCCCC, 0};
constexpr char kCreditsText[] = "Probe credits: pictures and models by the toolkit probe.";
// Bytes that follow the credits text in its block but are not part of it.
constexpr char kBeyondText[] = " NOT PART OF THE CREDITS";
constexpr char kAlertText[] = "Probe alert during the load.";

enum class Extra { kNone, kCredits, kStage, kAlert };

ProbeLog gLog = nullptr;
int32_t gStep = 0;
HHOOK gInputHook = nullptr;
char gLastMessage[kTextSize] = {};

BOOL CALLBACK FindProgressProc(HWND hwnd, LPARAM parameter)
{
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    Window* window = std::strcmp(name, kWindoidClassName) == 0 ? WindowObject<Window>(hwnd) : nullptr;
    if (!window || window->PaneCount() == 0) return TRUE;
    auto* progress = dynamic_cast<ProgressWindow*>(window->PaneAt(0));
    if (!progress) return TRUE;
    *reinterpret_cast<ProgressWindow**>(parameter) = progress;
    return FALSE;
}

// The progress window that is up, current or finishing.
ProgressWindow* FindProgressWindow()
{
    ProgressWindow* found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindProgressProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

int FrameEnabled()
{
    return IsWindowEnabled(CurrentFrameHandle()) ? 1 : 0;
}

// "HWND@l,t,r,b" with a rectangle in screen coordinates.
void FormatScreenRect(char* text, size_t size, HWND hwnd, const RECT& rect)
{
    std::snprintf(text, size, "%llu@%ld,%ld,%ld,%ld", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)),
                  rect.left, rect.top, rect.right, rect.bottom);
}

// The window (its whole rectangle), its button and its bar on the screen.
void LogProgressWindow(const char* tag)
{
    ProgressWindow* progress = FindProgressWindow();
    if (!progress) return;
    char window[96], button[96] = "none", bar[96];
    RECT rect;
    GetWindowRect(progress->Windoid()->GetWindowHandle(), &rect);
    FormatScreenRect(window, sizeof window, progress->Windoid()->GetWindowHandle(), rect);
    if (progress->Button() && progress->Button()->Control()) {
        HWND control = progress->Button()->Control();
        GetWindowRect(control, &rect);
        FormatScreenRect(button, sizeof button, control, rect);
    }
    const PortRect& bounds = progress->Bar();
    rect = {bounds.left, bounds.top, bounds.right, bounds.bottom};
    MapWindowPoints(progress->PaneWindow(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    FormatScreenRect(bar, sizeof bar, progress->PaneWindow(), rect);
    gLog("%s window=%s button=%s bar=%s", tag, window, button, bar);
}

void CALLBACK WatchMessageLine(HWND, UINT, UINT_PTR, DWORD)
{
    char message[kTextSize] = {};
    if (ProgressWindow* progress = FindProgressWindow()) progress->CopyMessage(message, sizeof message);
    if (std::strcmp(message, gLastMessage) == 0) return;
    std::snprintf(gLastMessage, sizeof gLastMessage, "%s", message);
    gLog("PROGRESS_MESSAGE text=%s", message);
}

LRESULT CALLBACK WatchInput(int code, WPARAM removal, LPARAM parameter)
{
    const auto* message = reinterpret_cast<const MSG*>(parameter);
    if (code == HC_ACTION && removal == PM_REMOVE &&
        (message->message == WM_LBUTTONUP || message->message == WM_KEYDOWN)) {
        ProgressWindow* progress = FindProgressWindow();
        HWND windoid = progress ? progress->Windoid()->GetWindowHandle() : nullptr;
        if (windoid && (message->hwnd == windoid || IsChild(windoid, message->hwnd)))
            gLog("INPUT message=%s key=%d step=%d", message->message == WM_KEYDOWN ? "keydown" : "buttonup",
                 int(message->wParam), gStep);
    }
    return CallNextHookEx(gInputHook, code, removal, parameter);
}

// A picture and a text (stored without a terminator, other bytes after it) shown as credits.
void ShowProbeCredits(Q_Offscreen** picture, DynamicArray** text)
{
    *picture = new Q_Offscreen;
    if ((*picture)->QOffscreenInit(kPictureBounds, -1, &kPictureColour) != kResultOk) {
        (*picture)->DisposeOffscreen();
        *picture = nullptr;
    }
    const size_t length = std::strlen(kCreditsText);
    *text = NewDynamicArray(int32_t(length + sizeof kBeyondText - 1), 1, 16);
    if (*text) {
        std::memcpy((*text)->ArrayData(), kCreditsText, length);
        std::memcpy(static_cast<char*>((*text)->ArrayData()) + length, kBeyondText, sizeof kBeyondText - 1);
        IgnoreResult((*text)->ArraySetCount(int32_t(length)));
    }
    ProgressShowCredits(*picture, *text);
    LogProgressWindow("CREDITS");
}

// A stage inside the load, as the texture adder runs inside the model reader.
void RunStage()
{
    const int32_t opened = OpenTextureProgress();
    ProgressSetText("Tamrix Player");
    ProgressSetTotal(kStageTotal);
    ProgressSetValue(0);
    ProgressSetMessage("Adding BMP file \"wall.bmp\"...");
    ProgressShow();
    for (int32_t i = 1; i <= kStageSteps; ++i) {
        Sleep(kStepTime);
        ProgressSetValue(i * kStageValueStep);
        const int32_t stopped = ProgressUpdate(0);
        gLog("STAGE step=%d result=%d", i, stopped);
        if (stopped) break;
    }
    ProgressFinish();
    gLog("STAGE end opened=%d window_up=%d", opened, FindProgressWindow() ? 1 : 0);
}

void RunLoad(int32_t key, Extra extra)
{
    gLog("LOAD start kind=%c", char(key));
    gInputHook = SetWindowsHookExA(WH_GETMESSAGE, WatchInput, nullptr, GetCurrentThreadId());
    const UINT_PTR watch = SetTimer(nullptr, 0, kWatchInterval, WatchMessageLine);
    Q_Offscreen* picture = nullptr;
    DynamicArray* text = nullptr;

    OpenProgress();
    ProgressSetText("Tamrix Player");
    ProgressSetMessage("Reading: probe.qpy");
    ProgressSetTotal(kLoadSteps);
    ProgressSetValue(0);
    ProgressShow();
    LogProgressWindow("PROGRESS");
    int32_t result = 0;
    int32_t steps = 0;
    for (gStep = 1; gStep <= kLoadSteps && result == 0; ++gStep) {
        Sleep(kStepTime);
        if (extra == Extra::kCredits && gStep == kCreditsStep) ShowProbeCredits(&picture, &text);
        if (extra == Extra::kStage && gStep == kStageStep) RunStage();
        if (extra == Extra::kAlert && gStep == kAlertStep) {
            ShowAlert(kAlertText);
            gLog("ALERT_DONE frame_enabled=%d", FrameEnabled());
        }
        ProgressSetValue(gStep);
        const int32_t stopped = ProgressUpdate(0);
        gLog("LOAD step=%d result=%d", gStep, stopped);
        steps = gStep;
        if (stopped) result = kStoppedResult;
    }
    ProgressFinish();

    KillTimer(nullptr, watch);
    UnhookWindowsHookEx(gInputHook);
    gInputHook = nullptr;
    if (picture) picture->DisposeOffscreen();
    DestroyArray(text);
    gLog("LOAD end result=%d steps=%d frame_enabled=%d window_up=%d", result, steps, FrameEnabled(),
         FindProgressWindow() ? 1 : 0);
}

}  // namespace

int32_t RunProgressScenario(int32_t key, ProbeLog log)
{
    gLog = log;
    switch (key) {
    case 'L': RunLoad(key, Extra::kNone); return 1;
    case 'C': RunLoad(key, Extra::kCredits); return 1;
    case 'S': RunLoad(key, Extra::kStage); return 1;
    case 'E': RunLoad(key, Extra::kAlert); return 1;
    default: return 0;
    }
}
