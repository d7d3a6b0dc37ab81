// The message loop, the modal runs, the keyboard pre-translation of frames and the quit rule of
// the peeking loops.
#include "toolkit/message_loop.h"

#include <cstring>

#include "toolkit/app_commands.h"
#include "toolkit/app_globals.h"
#include "toolkit/help_call.h"
#include "toolkit/menu_bar.h"
#include "toolkit/menu_item.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

// A modal run under way; the innermost one is the head of the chain.
struct ModalRun {
    ModalRun* outer;
    int32_t endRequested;
};

ModalRun* gInnermostRun = nullptr;
int32_t gModalRunDepth = 0;

// The thread message that wakes a modal run's loop once its end request is set. It carries no
// window, so it reaches the loop whether or not a frame exists.
constexpr UINT kWakeMessage = AppCommandMessage;
constexpr LPARAM kWakeCode = kCommandClose;

constexpr size_t kClassNameLength = 32;

struct KeyCharacter {
    WPARAM key;
    WPARAM character;
};

// The keys whose menu characters differ from their key codes; letters and digits are their
// upper-case characters already.
constexpr KeyCharacter kKeyCharacters[] = {
    {VK_BACK, VK_BACK},    {VK_DELETE, VK_BACK},  {VK_OEM_1, ';'},      {VK_OEM_PLUS, '='},
    {VK_OEM_COMMA, ','},   {VK_OEM_MINUS, '-'},   {VK_OEM_PERIOD, '.'}, {VK_OEM_2, '/'},
    {VK_OEM_4, '['},       {VK_OEM_6, ']'},
};

bool KeyHeld(int key)
{
    return GetKeyState(key) < 0;
}

bool IsClass(HWND hwnd, const char* name)
{
    char className[kClassNameLength + 1] = {};
    return GetClassNameA(hwnd, className, sizeof className) && std::strcmp(className, name) == 0;
}

// The pre-translation the active window asks for: menu keys and the MDI system keys for a
// document frame, the dialog manager's keys for a dialog windoid. 1 when it took the message.
int32_t Pretranslate(MSG* message)
{
    HWND active = GetActiveWindow();
    if (!active) return 0;
    if (IsClass(active, kFrameClassName)) {
        if (HandleMenuKey(CurrentFrameHandle(), message)) return 1;
        return message->wParam != 0 && MDIClientHandle() && TranslateMDISysAccel(MDIClientHandle(), message);
    }
    if (!IsClass(active, kWindoidClassName)) return 0;
    Window* window = WindowObject<Window>(active);
    if (!window || !(window->Flags() & kWindowDialog)) return 0;
    Pane* pane = window->FindPaneAtPoint(0, 0);
    return pane && pane->PaneWindow() && IsDialogMessageA(pane->PaneWindow(), message);
}

}  // namespace

int32_t RunMessageLoop(int32_t modal)
{
    const bool isModal = (modal & kModalLoop) != 0;
    ModalRun run = {gInnermostRun, 0};
    if (isModal) {
        gInnermostRun = &run;
        ++gModalRunDepth;
    }
    int32_t ending = kLoopQuit;
    MSG message;
    for (;;) {
        if (run.endRequested) {
            ending = kLoopEndRequested;
            break;
        }
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The loops outside a modal run must end too.
            if (isModal) PostQuitMessage(int(message.wParam));
            break;
        }
        if (got < 0) break;
        if (!message.hwnd && message.message == kWakeMessage && message.lParam == kWakeCode) continue;
        if (!Pretranslate(&message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (isModal) {
        gInnermostRun = run.outer;
        --gModalRunDepth;
    }
    return ending;
}

void EndModalRun()
{
    if (!gInnermostRun) return;
    gInnermostRun->endRequested = 1;
    PostThreadMessageA(GetCurrentThreadId(), kWakeMessage, 0, kWakeCode);
}

int32_t ModalRunDepth()
{
    return gModalRunDepth;
}

int32_t HandleMenuKey(HWND frame, MSG* message)
{
    if (message->message != WM_KEYDOWN) return 0;
    const WPARAM key = message->wParam;
    if (key != VK_F1 && key != VK_BACK && key != VK_DELETE && !(key > VK_SPACE && KeyHeld(VK_CONTROL)))
        return 0;
    for (const KeyCharacter& entry : kKeyCharacters) {
        if (entry.key == key) message->wParam = entry.character;
    }
    if (key == VK_F1 && frame) {
        char path[MAX_PATH];
        HelpFilePath(path, sizeof path);
        CallHelp(frame, path, HELP_INDEX, 0);
    }
    const int32_t modifiers = (KeyHeld(VK_SHIFT) ? kMenuKeyShift : 0) | (KeyHeld(VK_CONTROL) ? kMenuKeyCtrl : 0) |
                              (KeyHeld(VK_MENU) ? kMenuKeyAlt : 0);
    const int32_t id = FindMenuKeyEquivalent(MenuBarList, int32_t(message->wParam), modifiers);
    if (!id) return 0;
    HMENU bar = GetMenu(frame);
    HiliteMenuItem(frame, bar, UINT(id), MF_BYCOMMAND | MF_HILITE);
    PostMessageA(frame, WM_COMMAND, WPARAM(LOWORD(id)), 0);
    HiliteMenuItem(frame, bar, UINT(id), MF_BYCOMMAND | MF_UNHILITE);
    return 1;
}

PeekResult PeekKeepingQuit(MSG* message, HWND window, UINT first, UINT last, UINT flags)
{
    if (!PeekMessageA(message, window, first, last, flags)) return kPeekedNothing;
    if (message->message != WM_QUIT || !(flags & PM_REMOVE)) return kPeekedMessage;
    PostQuitMessage(int(message->wParam));
    return kPeekedQuit;
}
