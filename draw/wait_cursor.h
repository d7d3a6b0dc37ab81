// The cursor choice behind SetCursorShape: which cursor to show for a cursor id at a given
// time, with the animated wait cursor's delay and frame rate. Times are ticks of 16 ms.
#pragma once

#include <cstdint>

#include "foundation/ui_services.h"

using CursorId = int32_t;

constexpr CursorId kNavigationCursor = 10000;  // the program's cursor resource 10000
constexpr int32_t kWaitFrameCount = 7;
constexpr uint32_t kWaitCursorDelay = 30;      // ticks before the first frame shows
constexpr uint32_t kWaitFrameTicks = 7;        // least ticks between two frames

class CursorSequence {
public:
    static constexpr int32_t kKeep = -1;       // leave the cursor as it is
    static constexpr int32_t kShowId = -2;     // show the cursor of the id itself

    // What a request for `id` at tick `now` shows: a wait frame (0 to 6, the frame index then
    // advances), kKeep or kShowId. The first wait request after another id starts the delay.
    int32_t Step(CursorId id, uint32_t now);

    CursorId CurrentId() const { return currentId_; }
    // The wait frame the next change shows.
    int32_t Frame() const { return frame_; }
    // Back to the start: no id, frame 0.
    void Reset() { *this = CursorSequence(); }

private:
    CursorId currentId_ = 0;
    int32_t frame_ = 0;
    uint32_t firstChange_ = 0;  // the wait frames change only after this tick
    uint32_t lastChange_ = 0;
};
