// The toolkit's window tests run on a Wine desktop of their own. The foreground window, the
// keyboard focus, the pointer and the key states belong to a desktop, and the other programs of
// the suite take the foreground of theirs (each one that builds the program palette brings its
// hidden palette window to the foreground): on the shared desktop a test's dialog would lose its
// focus, and the keys posted to it would go nowhere.
#include <windows.h>

#include <cstdio>

namespace {

// Before main, while the thread has no window yet and may still change its desktop.
const bool gOnOwnDesktop = [] {
    char name[64];
    snprintf(name, sizeof(name), "qp-toolkit-tests-%lu", GetCurrentProcessId());
    HDESK desktop = CreateDesktopA(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    return desktop && SetThreadDesktop(desktop);
}();

}  // namespace
