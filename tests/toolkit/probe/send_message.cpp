// send-message HWND MESSAGE WPARAM LPARAM: sends the message to a window of another program (for
// what real input cannot do, such as closing a frame that a modal window has disabled) and
// prints "result=R exists=E": the answer, and whether the window still exists afterwards.
// Numbers may be decimal or 0x-prefixed; exit code 2 when the window did not answer in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT kAnswerTimeout = 5000;  // ms

ULONG_PTR Number(const char* text)
{
    return static_cast<ULONG_PTR>(strtoull(text, nullptr, 0));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: send-message HWND MESSAGE WPARAM LPARAM\n");
        return 1;
    }
    const HWND window = reinterpret_cast<HWND>(Number(argv[1]));
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, static_cast<UINT>(Number(argv[2])), static_cast<WPARAM>(Number(argv[3])),
                             static_cast<LPARAM>(Number(argv[4])), SMTO_ABORTIFHUNG, kAnswerTimeout, &result)) {
        fprintf(stderr, "send-message: no answer\n");
        return 2;
    }
    printf("result=%lld exists=%d\n", static_cast<long long>(result), IsWindow(window) ? 1 : 0);
    return 0;
}
