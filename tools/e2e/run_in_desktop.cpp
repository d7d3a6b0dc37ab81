// run-in-desktop DESKTOP [--command-line TEXT] PROGRAM [ARGUMENT...]: runs the program on the
// named desktop (made when it does not exist) and ends with its exit code. The arguments reach the
// program quoted, each as it was given; --command-line TEXT hands it TEXT as it stands instead,
// after the program's quoted name (for command lines that no quoting of arguments gives).
// The foreground window, the keyboard focus, the pointer position and the key states belong to a
// desktop, so a program driven by an end-to-end check keeps its input while other programs of the
// same Wine server take the foreground of theirs. Its windows still show on the X display as any
// others do. Exit code 125 when the desktop or the process could not be made.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kLaunchFailed = 125;

// Appends the argument quoted so that the program's argument parsing gets it back unchanged.
void AppendQuoted(std::string& line, const char* argument)
{
    if (!line.empty()) line += ' ';
    line += '"';
    size_t backslashes = 0;
    for (const char* c = argument; *c; ++c) {
        if (*c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(*c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += *c;
    }
    // Backslashes before the closing quote are doubled.
    line.append(2 * backslashes, '\\');
    line += '"';
}

}  // namespace

int main(int argc, char** argv)
{
    const bool raw = argc >= 3 && std::strcmp(argv[2], "--command-line") == 0;
    const int program = raw ? 4 : 2;
    if (argc < program + 1 || (raw && argc != program + 1)) {
        fprintf(stderr, "usage: run-in-desktop DESKTOP [--command-line TEXT] PROGRAM [ARGUMENT...]\n");
        return kLaunchFailed;
    }
    HDESK desktop = CreateDesktopA(argv[1], nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) {
        fprintf(stderr, "run-in-desktop: no desktop %s (error %lu)\n", argv[1], GetLastError());
        return kLaunchFailed;
    }
    std::string line;
    AppendQuoted(line, argv[program]);
    if (raw) {
        line += ' ';
        line += argv[program - 1];  // TEXT comes right before the program
    }
    for (int i = program + 1; i < argc; ++i) AppendQuoted(line, argv[i]);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = argv[1];
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "run-in-desktop: cannot start %s (error %lu)\n", argv[program], GetLastError());
        CloseDesktop(desktop);
        return kLaunchFailed;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = kLaunchFailed;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseDesktop(desktop);
    return static_cast<int>(code);
}
