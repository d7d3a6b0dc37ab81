// Cursor loading and SetCursorShape.
#include "draw/cursors.h"

#include <windows.h>

namespace {

struct ProgramCursors {
    HCURSOR navigation = nullptr;
    bool navigationOwned = false;
    HCURSOR arrow = nullptr;
    HCURSOR systemWait = nullptr;
    HCURSOR cross = nullptr;
    HCURSOR waitFrames[kWaitFrameCount] = {};
    bool waitFrameOwned[kWaitFrameCount] = {};
};

ProgramCursors gCursors;
CursorSequence gSequence;

uint32_t SystemTicks()
{
    return GetTickCount() / 16;
}

CursorClock gClock = SystemTicks;

// The program's cursor resource, or the fallback when it cannot be loaded; `owned` tells
// whether it came from the program.
HCURSOR LoadOwnCursor(HINSTANCE instance, int32_t id, HCURSOR fallback, bool* owned)
{
    HCURSOR cursor = LoadCursorA(instance, MAKEINTRESOURCEA(id));
    *owned = cursor != nullptr;
    return cursor ? cursor : fallback;
}

void Show(HCURSOR cursor)
{
    if (!cursor) cursor = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(cursor);
}

}  // namespace

void LoadCursors(HINSTANCE instance)
{
    gCursors.systemWait = LoadCursorA(nullptr, IDC_WAIT);
    gCursors.cross = LoadCursorA(nullptr, IDC_CROSS);
    gCursors.arrow = LoadCursorA(nullptr, IDC_ARROW);
    gCursors.navigation = LoadOwnCursor(instance, kNavigationCursor, gCursors.cross, &gCursors.navigationOwned);
    for (int32_t i = 0; i < kWaitFrameCount; ++i) {
        gCursors.waitFrames[i] =
            LoadOwnCursor(instance, kWaitCursor + i, gCursors.systemWait, &gCursors.waitFrameOwned[i]);
    }
    gSequence.Reset();
}

void FreeCursors()
{
    if (gCursors.navigationOwned) DestroyCursor(gCursors.navigation);
    for (int32_t i = 0; i < kWaitFrameCount; ++i) {
        if (gCursors.waitFrameOwned[i]) DestroyCursor(gCursors.waitFrames[i]);
    }
    gCursors = ProgramCursors();
    gSequence.Reset();
}

CursorClock InstallCursorClock(CursorClock clock)
{
    CursorClock previous = gClock;
    gClock = clock ? clock : SystemTicks;
    return previous;
}

void CursorUiServices::SetCursorShape(int32_t shape)
{
    const int32_t step = gSequence.Step(shape, gClock());
    if (step == CursorSequence::kKeep) return;
    if (step != CursorSequence::kShowId) {
        Show(gCursors.waitFrames[step]);
    } else {
        Show(shape == kNavigationCursor ? gCursors.navigation : gCursors.arrow);
    }
}
