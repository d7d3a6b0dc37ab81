// The hook through which every help call goes, and the help file's path.
#include "toolkit/help_call.h"

#include <cstdio>

#include "foundation/path_separators.h"
#include "toolkit/app_globals.h"

namespace {

HelpCall gHelpCall = WinHelpA;

}  // namespace

HelpCall InstallHelpCall(HelpCall call)
{
    HelpCall previous = gHelpCall;
    gHelpCall = call ? call : WinHelpA;
    return previous;
}

BOOL CallHelp(HWND window, const char* file, UINT command, ULONG_PTR data)
{
    return gHelpCall(window, file, command, data);
}

void HelpFilePath(char* path, size_t size)
{
    if (size == 0) return;
    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(AppInstance(), module, sizeof module);
    if (length == 0 || length >= sizeof module) {
        path[0] = '\0';
        return;
    }
    module[PathNameOffset(module, length)] = '\0';
    const int written = std::snprintf(path, size, "%s%s", module, kHelpFileName);
    if (written < 0 || size_t(written) >= size) path[0] = '\0';
}
