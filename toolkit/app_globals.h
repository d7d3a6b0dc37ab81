// The process-wide values of the window toolkit: the show command given at start and the
// current document frame's window and MDI client. The instance and the frame window live in
// the foundation's store (foundation/win32_services.h), which the file dialogs read too.
#pragma once

#include <windows.h>

#include <cstdint>

#include "foundation/win32_services.h"

// The nCmdShow given to the program; the entry sets SW_SHOW once start-up is over.
void SetShowCommand(int32_t command);
int32_t ShowCommand();

// Makes the frame window and its MDI client current (either may be null).
void SetFrameWindow(HWND frame, HWND mdiClient);
// The current frame's MDI client; null before a frame exists.
HWND MDIClientHandle();
