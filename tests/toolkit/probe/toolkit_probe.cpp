// The toolkit probe: a program that starts the toolkit as the player does, shows a document with
// two windows of coloured test panes and logs, one flushed line each, everything its panes,
// dialogs and frame receive, so that the end-to-end checks (tests/toolkit/e2e) can drive it with
// real input and compare what it did. Keys pressed in a pane start the dialog and pop-up menu
// scenarios; the document has menus built in code (menu_scenarios.cpp). What real input cannot do
// comes from the command line:
//   --drop NAME...   drops the names on the frame once the program is ready.
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "draw/port_base.h"
#include "draw/screen_caps.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "foundation/win32_services.h"
#include "tests/toolkit/probe/probe_log.h"
#include "tests/toolkit/probe/menu_scenarios.h"
#include "tests/toolkit/probe/progress_scenarios.h"
#include "tests/toolkit/probe/panel_scenarios.h"
#include "tests/toolkit/probe/help_bar_scenarios.h"
#include "tests/toolkit/toolkit_startup.h"
#include "toolkit/alert.h"
#include "toolkit/app_globals.h"
#include "toolkit/document_frame.h"
#include "toolkit/help_call.h"
#include "toolkit/menu_bar.h"
#include "toolkit/message_loop.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

// Document windows: caption, sizing frame and system menu; MDI children.
constexpr WindowFlags kDocumentWindowFlags = kWindowCaption | kWindowSizing | kWindowSystemMenu;
constexpr WindowSize kMinimumWindowSize = {120, 80};
constexpr WindowSize kNoThreshold = {0, 0};
// The player window's set-up mode.
constexpr int32_t kPlayerSetupMode = 7;
// How often the dialog watcher looks (ms).
constexpr UINT kWatchInterval = 25;
// How long a document window stays minimized before it is restored (ms).
constexpr UINT kMinimizedTime = 300;
constexpr int32_t kMaxPanes = 3;

constexpr char kQuestionText[] = "Probe question: go on?";
constexpr char kAlertText[] = "Probe alert.";
constexpr char kInnerAlertText[] = "Probe alert over the question.";

// A window's "HWND@left,top,right,bottom" in screen coordinates: its client area, or with
// `whole` its window rectangle.
void FormatTarget(char* text, size_t size, HWND hwnd, bool whole)
{
    RECT rect = {0, 0, 0, 0};
    if (whole) {
        GetWindowRect(hwnd, &rect);
    } else {
        GetClientRect(hwnd, &rect);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    snprintf(text, size, "%llu@%ld,%ld,%ld,%ld", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)),
             rect.left, rect.top, rect.right, rect.bottom);
}

int FrameEnabled()
{
    return IsWindowEnabled(CurrentFrameHandle()) ? 1 : 0;
}

// --- the test panes ---

enum class PaneSide { kWhole, kLeft, kRight };

class ProbePane;
ProbePane* Panes[kMaxPanes];
int32_t PaneCount = 0;
WNDPROC PanePaintProc = nullptr;

void AskProbeQuestion();
void ShowProbeAlert();
void AskQuestionWithInnerAlert();
void MinimizeAndRestore(Window* window);

class ProbePane : public Pane {
public:
    ProbePane(char name, COLORREF colour, PaneSide side) : name_(name), colour_(colour), side_(side) {}

    int32_t Paints() const { return paints_; }
    void CountPaint() { Log("WM_PAINT pane=%c n=%d", name_, ++paints_); }

    void Draw(int32_t mode, int32_t /*horizontal*/, int32_t /*vertical*/) override
    {
        Log("DRAW pane=%c mode=%d inpaint=%d", name_, mode, IsInPaint());
        PortRect bounds;
        HDC dc = GetDrawingDC(&bounds);
        if (!dc) return;
        const RECT content = {contentRect_.left, contentRect_.top, contentRect_.right, contentRect_.bottom};
        HBRUSH brush = CreateSolidBrush(colour_);
        FillRect(dc, &content, brush);
        DeleteObject(brush);
    }

    void PaneLayout(PortRect* rect, ScrollPositions* /*positions*/, int32_t /*mode*/, int32_t /*flag*/) override
    {
        const int32_t middle = (rect->left + rect->right) / 2;
        if (side_ == PaneSide::kLeft) rect->right = middle;
        if (side_ == PaneSide::kRight) rect->left = middle;
    }

    void PaneMouseDown(int32_t x, int32_t y, int32_t modifiers) override
    {
        Log("MOUSEDOWN pane=%c x=%d y=%d mods=%d", name_, x, y, modifiers);
    }

    void PaneMouseUp(int32_t x, int32_t y, int32_t modifiers) override
    {
        Log("MOUSEUP pane=%c x=%d y=%d mods=%d", name_, x, y, modifiers);
    }

    void PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside) override
    {
        Log("TRACK pane=%c x=%d y=%d mods=%d inside=%d", name_, x, y, modifiers, inside);
        Pane::PaneTrack(x, y, modifiers, inside);
    }

    int32_t PaneKeyDown(int32_t key, int32_t modifiers) override
    {
        Log("KEYDOWN pane=%c key=%d mods=%d", name_, key, modifiers);
        switch (key) {
        case 'Q': AskProbeQuestion(); return 1;
        case 'A': ShowProbeAlert(); return 1;
        case 'N': AskQuestionWithInnerAlert(); return 1;
        case 'M': MinimizeAndRestore(owner_); return 1;
        case 'U': TrackProbePopUp(this); return 1;
        case 'P': OpenPanelScenario(owner_->WindowOwner(), Log); return 1;
        default: return RunProgressScenario(key, Log);
        }
    }

    int32_t PaneHandleCommand(int32_t code, int32_t extra) override
    {
        Log("COMMAND pane=%c code=%d extra=%d", name_, code, extra);
        return 0;
    }

    void PaneHelpAtPoint(int32_t /*x*/, int32_t /*y*/, int32_t /*modifiers*/) override
    {
        char text[32];
        snprintf(text, sizeof(text), "Help of pane %c.", name_);
        ShowPaneHelp(text);
    }

private:
    char name_;
    COLORREF colour_;
    PaneSide side_;
    int32_t paints_ = 0;
};

// Counts the WM_PAINT messages of a pane window before its own procedure handles them.
LRESULT CALLBACK CountingPaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        for (int32_t i = 0; i < PaneCount; ++i) {
            if (Panes[i]->PaneWindow() == hwnd) Panes[i]->CountPaint();
        }
    }
    return CallWindowProcA(PanePaintProc, hwnd, message, wParam, lParam);
}

// --- the document ---

class ProbePlayerWindow : public DocumentFrame {};

class ProbeDocument : public DocumentFrame {
public:
    int32_t DocumentBuildMenus(int32_t /*mode*/, DiskFileStream* /*file*/) override { return BuildProbeMenus(this); }
    void DocumentDisposeMenus() override { DisposeProbeMenus(); }

    void DocumentWindowNotify(Window* window, int32_t code) override
    {
        HWND hwnd = window ? window->GetWindowHandle() : nullptr;
        Log("NOTIFY window=%llu code=%d", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), code);
    }
};

ProbeDocument* Document = nullptr;
Window* DocumentWindows[2] = {};

Window* MakeDocumentWindow(const char* title, const PortRect& content, WindowKind kind)
{
    Window* window = new Window;
    window->SetWindowOwner(Document);
    Document->RegisterDocumentWindow(window);
    if (window->CreateWindowObject(content, title, kMinimumWindowSize, {kNoSizeLimit, kNoSizeLimit},
                                   kNoThreshold, kDocumentWindowFlags, kind) != kResultOk) {
        Log("FAILED window %s", title);
        return nullptr;
    }
    return window;
}

void AddProbePane(Window* window, char name, COLORREF colour, PaneSide side)
{
    ProbePane* pane = new ProbePane(name, colour, side);
    pane->PaneCreate(0);
    window->AddPane(pane);
    PanePaintProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(pane->PaneWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingPaneProc)));
    Panes[PaneCount++] = pane;
}

// Two windows side by side in the frame: the first (hidden when closed) with a red and a green
// pane, the second (closing the document when closed) with a blue one.
bool BuildDocument()
{
    Document = new ProbeDocument;
    if (!Document->DocumentSetup(kPlayerSetupMode, nullptr, kDocumentWithFrame)) return false;
    DocumentWindows[0] = MakeDocumentWindow("Probe window 1", {10, 40, 330, 260}, kWindowHides);
    DocumentWindows[1] = MakeDocumentWindow("Probe window 2", {360, 40, 600, 260}, kWindowClosesDocument);
    if (!DocumentWindows[0] || !DocumentWindows[1]) return false;
    AddProbePane(DocumentWindows[0], 'A', RGB(200, 40, 40), PaneSide::kLeft);
    AddProbePane(DocumentWindows[0], 'B', RGB(40, 160, 60), PaneSide::kRight);
    AddProbePane(DocumentWindows[1], 'C', RGB(50, 70, 200), PaneSide::kWhole);
    DocumentWindows[0]->ShowWindowObject();
    DocumentWindows[1]->ShowWindowObject();
    return true;
}

// --- dialogs ---

// Reports each change in the number of dialogs up: the top one's rectangle (where the pointer
// goes before keys) and whether the frame is enabled meanwhile.
struct DialogCount {
    HWND top;
    int32_t count;
};

BOOL CALLBACK CountDialog(HWND hwnd, LPARAM parameter)
{
    auto* dialogs = reinterpret_cast<DialogCount*>(parameter);
    char className[64];
    if (!IsWindowVisible(hwnd) || !GetClassNameA(hwnd, className, sizeof(className)) ||
        strcmp(className, kWindoidClassName) != 0) {
        return TRUE;
    }
    Window* window = WindowObject<Window>(hwnd);
    if (!window || !(window->Flags() & kWindowDialog)) return TRUE;
    if (!dialogs->top || hwnd == GetActiveWindow()) dialogs->top = hwnd;
    ++dialogs->count;
    return TRUE;
}

int32_t DialogsUp = 0;
bool InnerAlertWanted = false;

void ShowInnerAlert()
{
    const int32_t result = ShowAlertDialog(kInnerAlertText);
    Log("INNER_ALERT result=%d frame_enabled=%d", result, FrameEnabled());
}

void WatchDialogs()
{
    DialogCount dialogs = {nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountDialog, reinterpret_cast<LPARAM>(&dialogs));
    if (dialogs.count == DialogsUp) return;
    DialogsUp = dialogs.count;
    if (dialogs.top) {
        char target[96];
        FormatTarget(target, sizeof(target), dialogs.top, true);
        Log("DIALOG count=%d top=%s frame_enabled=%d", dialogs.count, target, FrameEnabled());
    } else {
        Log("DIALOG count=0 frame_enabled=%d", FrameEnabled());
    }
    if (InnerAlertWanted && dialogs.count == 1) {
        InnerAlertWanted = false;
        ShowInnerAlert();
    }
}

void AskProbeQuestion()
{
    const int32_t result = AskQuestion(kQuestionText, "OK", "Cancel", kQuestionFocusFirst);
    Log("QUESTION result=%d frame_enabled=%d", result, FrameEnabled());
}

void ShowProbeAlert()
{
    const int32_t result = ShowAlertDialog(kAlertText);
    Log("ALERT result=%d frame_enabled=%d", result, FrameEnabled());
}

// The question, and over it (once it is up) an alert.
void AskQuestionWithInnerAlert()
{
    InnerAlertWanted = true;
    AskProbeQuestion();
}

// --- minimizing ---

Window* MinimizedWindow = nullptr;

void CALLBACK RestoreMinimized(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    Window* window = MinimizedWindow;
    MinimizedWindow = nullptr;
    if (!window) return;
    SendMessageA(MDIClientHandle(), WM_MDIRESTORE, reinterpret_cast<WPARAM>(window->GetWindowHandle()), 0);
    for (int32_t i = 0; i < window->PaneCount(); ++i) {
        InvalidateRect(window->PaneAt(i)->PaneWindow(), nullptr, FALSE);
    }
    Log("RESTORED iconic=%d minimized=%d", IsIconic(window->GetWindowHandle()) ? 1 : 0,
        window->IsMinimized());
}

void MinimizeAndRestore(Window* window)
{
    SendMessageA(window->GetWindowHandle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    Log("MINIMIZED iconic=%d minimized=%d", IsIconic(window->GetWindowHandle()) ? 1 : 0,
        window->IsMinimized());
    MinimizedWindow = window;
    SetTimer(nullptr, 0, kMinimizedTime, RestoreMinimized);
}

// --- dropped files, help and the open command ---

// The command line's names after --drop, in order.
int DropCount = 0;
char** DropNames = nullptr;

void DropNamesOnFrame()
{
    size_t bytes = sizeof(DROPFILES) + 1;
    for (int i = 0; i < DropCount; ++i) bytes += strlen(DropNames[i]) + 1;
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    if (!memory) return;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* name = reinterpret_cast<char*>(drop + 1);
    for (int i = 0; i < DropCount; ++i) {
        const size_t length = strlen(DropNames[i]) + 1;
        memcpy(name, DropNames[i], length);
        name += length;
    }
    GlobalUnlock(memory);
    Log("DROP count=%d", DropCount);
    PostMessageA(CurrentFrameHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

class ProbeFrameServices : public FrameServices {
public:
    void OpenModelFile(DiskFileStream* file, int32_t mode) override
    {
        char path[kPathLength];
        if (file->FileFullPath(path) != kResultOk) path[0] = 0;
        Log("OPEN mode=%d path=%s", mode, path);
        file->FileObjectDestroy();
    }
    void ShowAbout(int32_t mode) override { Log("ABOUT mode=%d", mode); }
};

BOOL LogHelpCall(HWND window, const char* file, UINT command, ULONG_PTR data)
{
    Log("HELP window=%llu command=%u data=%llu file=%s",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), command,
        static_cast<unsigned long long>(data), file);
    return TRUE;
}

// --- ready ---

bool ReadyPrinted = false;

void PrintReady()
{
    char frame[96], client[96], windows[2][96], panes[kMaxPanes][96];
    FormatTarget(frame, sizeof(frame), CurrentFrameHandle(), true);
    FormatTarget(client, sizeof(client), MDIClientHandle(), false);
    for (int i = 0; i < 2; ++i) {
        FormatTarget(windows[i], sizeof(windows[i]), DocumentWindows[i]->GetWindowHandle(), false);
    }
    for (int i = 0; i < PaneCount; ++i) FormatTarget(panes[i], sizeof(panes[i]), Panes[i]->PaneWindow(), false);
    Log("READY frame=%s mdiclient=%s window1=%s window2=%s paneA=%s paneB=%s paneC=%s", frame, client,
        windows[0], windows[1], panes[0], panes[1], panes[2]);
    LogHelpBarReady();
}

// Runs whenever the thread is idle, in the main loop and in modal runs alike.
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD)
{
    if (!ReadyPrinted) {
        for (int32_t i = 0; i < PaneCount; ++i) {
            if (Panes[i]->Paints() == 0) return;
        }
        ReadyPrinted = true;
        PrintReady();
        if (DropCount > 0) DropNamesOnFrame();
    }
    WatchDialogs();
    WatchMenus();
    WatchHelpBar();
}

// --- start-up and shutdown, in the player's order ---

bool StartToolkit(HINSTANCE instance)
{
    if (!StartToolkitForTests(instance)) return false;
    DocumentFrame* player = new ProbePlayerWindow;
    if (!player->DocumentSetup(kPlayerSetupMode, nullptr, kDocumentWithFrame)) return false;
    player->UnregisterDocument();
    return true;
}

// The frame lays itself out once, as the player's entry has it do.
void LayOutFrontDocument()
{
    DocumentFrame* front = FrontDocument();
    if (!front) return;
    PortRect content;
    front->GetFrameContentRect(&content);
    SendMessageA(front->FrameWindow(), WM_MOVE, 0, MAKELPARAM(content.left, content.top));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    for (int i = 1; i < __argc; ++i) {
        if (strcmp(__argv[i], "--drop") == 0) {
            DropNames = __argv + i + 1;
            DropCount = __argc - i - 1;
            break;
        }
    }
    SetAppInstance(instance);
    SetShowCommand(showCommand);
    if (!StartToolkit(instance)) {
        Log("FAILED start-up");
        return 1;
    }
    ProbeFrameServices frameServices;
    InstallFrameServices(&frameServices);
    InstallHelpCall(LogHelpCall);
    if (!BuildDocument()) {
        Log("FAILED document");
        return 1;
    }
    SetShowCommand(SW_SHOW);
    LayOutFrontDocument();
    SetFocus(CurrentFrameHandle());
    SetCursorShape(0);
    const UINT_PTR watch = SetTimer(nullptr, 0, kWatchInterval, Watch);

    const int32_t ending = RunMessageLoop(0);
    Log("LOOP ended=%d", ending);

    KillTimer(nullptr, watch);
    InstallHelpCall(nullptr);
    InstallFrameServices(nullptr);
    StopToolkitForTests();
    Log("EXIT code=0");
    return 0;
}
