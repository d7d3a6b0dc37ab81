// The process-wide instance and current frame handles.
#include "foundation/win32_services.h"

namespace {
HWND gCurrentFrame = nullptr;
HINSTANCE gInstance = nullptr;
}  // namespace

HWND CurrentFrameHandle()
{
    return gCurrentFrame;
}

HINSTANCE AppInstance()
{
    return gInstance ? gInstance : GetModuleHandleA(nullptr);
}

void SetCurrentFrameHandle(HWND frame)
{
    gCurrentFrame = frame;
}

void SetAppInstance(HINSTANCE instance)
{
    gInstance = instance;
}
