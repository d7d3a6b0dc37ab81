// The turns that the loops of a model's read and of a frame's drawing take, counted where they
// are taken (and, for a call to the system's regions, what the call is handed), so that a check
// can hold the work a read or a frame did against what its budget was charged, whatever a file's
// shape: a loop whose work no budget pays for shows as turns out of all proportion to the charge.
// A loop counts its turns in one addition, when it ends or as it leaves, never one a turn, so the
// count costs the work nothing. One count serves the one thread; a check reads it before and after
// the work it holds to a budget.
#pragma once

#include <cstdint>

namespace loop_turns_detail {
inline int64_t counted = 0;
}  // namespace loop_turns_detail

// Adds the turns a loop took (or the corners and spans handed to a region call).
inline void CountTurns(int64_t turns)
{
    loop_turns_detail::counted += turns;
}

// Every turn counted since the program started.
inline int64_t TurnsCounted()
{
    return loop_turns_detail::counted;
}
