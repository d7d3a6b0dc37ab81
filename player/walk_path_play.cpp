// Playing the walk path: each point shown through the owner document and held for a tick of the
// system clock, while the queue is watched for the input that ends play or is passed over.
#include <windows.h>

#include "foundation/walk_path_point.h"
#include "model/walk_record.h"
#include "player/view_base.h"
#include "player/walk_observer.h"
#include "toolkit/input_events.h"
#include "toolkit/message_loop.h"

namespace {

// How long each point stays on screen at least: one tick of the system clock.
constexpr DWORD kPointMilliseconds = 16;

constexpr UINT kPeekFlags = PM_REMOVE | PM_NOYIELD;

// Takes the key messages from the queue in the order they came, up to the last WM_KEYUP among
// them; false when a peek took WM_QUIT instead (posted again). The system reads a key's state
// from the messages taken, in the order taken: each key's presses, repeats included, go before
// its release, so that no released key reads as held after play (taken by kind, Shift's press
// with Ctrl's release and Ctrl's press with Shift's release left Ctrl held). Presses after the
// last release wait for their own.
bool TakeKeyPresses()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYUP, WM_KEYUP, PM_NOREMOVE)) {
        const PeekResult taken = PeekKeepingQuit(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, kPeekFlags);
        if (taken == kPeekedQuit) return false;
        if (taken == kPeekedNothing) break;
    }
    return true;
}

}  // namespace

void WalkObserver::PlayPoints()
{
    const int32_t count = walk_->PathCount();
    int32_t index = walk_->PathIndex;
    if (index < 0 || index >= count) index = 0;
    for (;;) {
        walk_->PathIndex = int16_t(index);
        const WalkPathPoint* point = walk_->PathPoint(index);
        SetAndRecord(point->x, point->y, point->z, point->roll, point->pitch, point->heading);
        ownerDocument_->ViewCommand(nullptr, kCommandStep, kCodeRedrawStep, 0);
        if (!HoldPoint(GetTickCount())) return;
        index = index + 1 < count ? index + 1 : 0;
    }
}

bool WalkObserver::HoldPoint(uint32_t shownAt)
{
    for (;;) {
        MSG message;
        if (PeekKeepingQuit(&message, nullptr, WM_QUIT, WM_QUIT, kPeekFlags) == kPeekedQuit) return false;
        const uint32_t pending = EventPending(QS_KEY | QS_MOUSEBUTTON);
        if (pending & QS_KEY) {
            if (!TakeKeyPresses()) return false;
            continue;
        }
        if (pending & QS_MOUSEBUTTON) return false;
        const DWORD held = GetTickCount() - shownAt;
        if (held >= kPointMilliseconds) return true;
        // Woken early by new input, which the next round looks at.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPointMilliseconds - held, QS_KEY | QS_MOUSEBUTTON);
    }
}
