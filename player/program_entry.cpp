// The program's entry: start-up, the front document laid out once, the message loop, shutdown.
#include <windows.h>

#include "draw/port_base.h"
#include "foundation/ui_services.h"
#include "foundation/win32_services.h"
#include "player/application_state.h"
#include "player/event_log.h"
#include "player/player_startup.h"
#include "toolkit/app_globals.h"
#include "toolkit/document_frame.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/message_loop.h"

namespace {

// The arrow cursor.

// Sends the front document's frame the move that makes it lay itself out. A frame still waiting
// out of sight for its first window (no model was opened) comes into view first.
void LayOutFrontDocument()
{
    DocumentFrame* front = FrontDocument();
    if (!front || !front->FrameWindow()) return;
    front->UnparkFrame();
    PortRect content;
    front->GetFrameContentRect(&content);
    SendMessageA(front->FrameWindow(), WM_MOVE, 0, MAKELPARAM(content.left, content.top));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    SetApplicationStarted();
    SetAppInstance(instance);
    SetShowCommand(showCommand);
    InitMemoryWatch();
    if (!InitToolbox(instance, previous, commandLine, ShowCommand())) {
        EndMemoryWatch();
        LogEvent("exit %d", kExitStartUpFailed);
        return kExitStartUpFailed;
    }
    SetShowCommand(SW_SHOW);
    LayOutFrontDocument();
    SetFocus(CurrentFrameHandle());
    SetCursorShape(kArrowCursor);
    RunMessageLoop(0);
    ShutdownPlayerEngine();
    ShutdownToolbox();
    EndMemoryWatch();
    LogEvent("exit 0");
    return 0;
}
