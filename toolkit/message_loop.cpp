// The message loop, the modal runs, the keyboard pre-translation of frames and the quit rule of
// the peeking loops.
#include "toolkit/message_loop.h"

PeekResult PeekKeepingQuit(MSG* message, HWND window, UINT first, UINT last, UINT flags)
{
    if (!PeekMessageA(message, window, first, last, flags)) return kPeekedNothing;
    if (message->message != WM_QUIT || !(flags & PM_REMOVE)) return kPeekedMessage;
    PostQuitMessage(int(message->wParam));
    return kPeekedQuit;
}
