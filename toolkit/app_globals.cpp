// The show command and the current frame's MDI client.
#include "toolkit/app_globals.h"

namespace {

// Until the entry records the one it was given.
int32_t gShowCommand = SW_SHOWNORMAL;
HWND gMDIClient = nullptr;

}  // namespace

void SetShowCommand(int32_t command)
{
    gShowCommand = command;
}

int32_t ShowCommand()
{
    return gShowCommand;
}

void SetFrameWindow(HWND frame, HWND mdiClient)
{
    SetCurrentFrameHandle(frame);
    gMDIClient = mdiClient;
}

HWND MDIClientHandle()
{
    return gMDIClient;
}
