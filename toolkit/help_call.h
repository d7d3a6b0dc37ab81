// Every call of the system help viewer goes through one hook, so that tests record the calls
// instead of starting a viewer.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr char kHelpFileName[] = "QPLAY.HLP";

using HelpCall = BOOL(WINAPI*)(HWND window, const char* file, UINT command, ULONG_PTR data);

// Installs the call (null restores WinHelpA); returns the one installed before.
HelpCall InstallHelpCall(HelpCall call);
BOOL CallHelp(HWND window, const char* file, UINT command, ULONG_PTR data);

// The help file beside the program: the module's path cut after its last backslash, then
// kHelpFileName; an empty text when it does not fit.
void HelpFilePath(char* path, size_t size);
