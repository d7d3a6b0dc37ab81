// Pixels that drawing still to come is sure to paint over, one bit per pixel, and the runs of a
// span that lie outside them: the textured fill writes only those runs, the rest being painted
// again later anyway.
#pragma once

#include <cstdint>

#include "foundation/loop_turns.h"

struct CoveredPixels {
    const uint64_t* bits = nullptr;  // rows of wordsPerRow words, bit b of word w is pixel 64 w + b
    int32_t wordsPerRow = 0;
    int32_t left = 0;  // the device point of bit 0 of the first row
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Covered gaps narrower than this are written over rather than split around: each run a span is
// split into costs a span's set-up.
constexpr int32_t kShortestSkippedRun = 8;

// Calls emit(from, to) for the runs of device pixels [first, end) of row y that have pixels the
// covering leaves free, in order; a run may include covered gaps narrower than
// kShortestSkippedRun. Pixels outside the covering's rows and columns are free.
template <class Emit>
void ForEachUncoveredRun(const CoveredPixels& covered, int32_t y, int32_t first, int32_t end, Emit emit)
{
    const int32_t row = y - covered.top;
    const int32_t from = first - covered.left;
    const int32_t to = end - covered.left;
    if (row < 0 || row >= covered.height || from < 0 || to > covered.width) {
        emit(first, end);
        return;
    }
    const uint64_t* bits = covered.bits + int64_t(row) * covered.wordsPerRow;
    // The first pixel at or after x (below `to`) whose bit is `value`, else `to`; the words it
    // reads counted as it leaves.
    auto next = [&](int32_t x, bool value) {
        int32_t read = 1;
        for (; x < to; ++read) {
            const uint64_t word = value ? bits[x >> 6] : ~bits[x >> 6];
            const uint64_t ahead = word >> (x & 63);
            if (ahead != 0) {
                CountTurns(read);
                const int32_t found = x + __builtin_ctzll(ahead);
                return found < to ? found : to;
            }
            x = (x | 63) + 1;
        }
        CountTurns(read);
        return to;
    };
    int32_t start = next(from, false);
    while (start < to) {
        int32_t stop = next(start, true);
        int32_t resume = next(stop, false);
        while (resume < to && resume - stop < kShortestSkippedRun) {
            stop = next(resume, true);
            resume = next(stop, false);
        }
        emit(start + covered.left, stop + covered.left);
        start = resume;
    }
}
