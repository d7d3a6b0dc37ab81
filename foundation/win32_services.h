// The program's instance and its current document frame, which the file dialogs and resource
// loaders of the lower layers need. The toolkit sets both at start-up and whenever the frame
// changes; until then there is no owner window and the instance is the program's module.
#pragma once

#include <windows.h>

HWND CurrentFrameHandle();
HINSTANCE AppInstance();
void SetCurrentFrameHandle(HWND frame);
void SetAppInstance(HINSTANCE instance);
