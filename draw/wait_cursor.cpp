// The cursor choice and the wait cursor's timing.
#include "draw/wait_cursor.h"

int32_t CursorSequence::Step(CursorId id, uint32_t now)
{
    if (id != kWaitCursor) {
        currentId_ = id;
        return kShowId;
    }
    if (currentId_ != kWaitCursor) {
        currentId_ = kWaitCursor;
        firstChange_ = now + kWaitCursorDelay;
        lastChange_ = now;
    }
    // Differences of unsigned ticks, so that the tick count may wrap around.
    const bool pastDelay = static_cast<int32_t>(now - firstChange_) > 0;
    if (!pastDelay || now - lastChange_ < kWaitFrameTicks) return kKeep;
    const int32_t shown = frame_;
    frame_ = (frame_ + 1) % kWaitFrameCount;
    lastChange_ = now;
    return shown;
}
