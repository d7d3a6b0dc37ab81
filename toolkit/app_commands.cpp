// The application command message: posting it, offering commands to windows, and the menu
// refresh it asks for.
#include "toolkit/app_commands.h"

#include "foundation/dynamic_array.h"
#include "foundation/pointer_list.h"
#include "foundation/ui_services.h"
#include "toolkit/app_globals.h"
#include "toolkit/document_frame.h"
#include "toolkit/menu_bar.h"
#include "toolkit/pane.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

void PostAppCommand(int32_t code)
{
    if (HWND frame = CurrentFrameHandle()) PostMessageA(frame, AppCommandMessage, 0, LPARAM(code));
}

int32_t DispatchWindowCommand(Window* window, int32_t code, int32_t extra)
{
    if (code == kCommandClose) {
        window->CloseWindowObject();
        return 1;
    }
    if (window->IsMinimized()) return 0;
    if (code == kCommandDefault) code = kCommandPaneDefault;
    for (int32_t i = 0; i < window->PaneCount(); ++i) {
        if (const int32_t result = window->PaneAt(i)->PaneHandleCommand(code, extra)) return result;
    }
    return 0;
}

Window* ActiveDocumentWindow(DocumentFrame* frame)
{
    if (!frame) frame = GetCurrentFrame();
    if (!frame || !frame->MdiClient()) return nullptr;
    auto active = reinterpret_cast<HWND>(SendMessageA(frame->MdiClient(), WM_MDIGETACTIVE, 0, 0));
    if (!active || GetParent(active) != frame->MdiClient()) return nullptr;
    return WindowObject<Window>(active);
}

void RefreshMenusForActiveWindow()
{
    SetCursorShape(kArrowCursor);
    if (Window* window = ActiveDocumentWindow(nullptr)) {
        if (window->WindowOwner()) {
            DocumentUpdateMenus(window->WindowOwner());
        } else if (OpenDocumentList && OpenDocumentList->ArrayCount() > 0) {
            DocumentUpdateMenus(PointerAt<DocumentFrame>(OpenDocumentList, 0));
        }
        return;
    }
    if (DocumentFrame* front = FrontDocument()) {
        front->DocumentWindowNotify(nullptr, kWindowNotifyActivated);
        DocumentUpdateMenus(front);
    }
}
