// The wait cursor's timing and the cursor choice, with made-up tick counts.
#include "draw/wait_cursor.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Calls Step(id) at every tick from `from` to `to` and lists the (tick, result) of every call
// that changed the cursor.
std::vector<std::pair<uint32_t, int32_t>> Changes(CursorSequence& sequence, CursorId id, uint32_t from,
                                                  uint32_t to)
{
    std::vector<std::pair<uint32_t, int32_t>> changes;
    for (uint32_t now = from; now != to + 1; ++now) {
        const int32_t step = sequence.Step(id, now);
        if (step != CursorSequence::kKeep) changes.emplace_back(now, step);
    }
    return changes;
}

}  // namespace

TEST(CursorSequence, WaitCursorWaitsThirtyTicksThenChangesEverySeventh)
{
    CursorSequence sequence;
    const auto changes = Changes(sequence, kWaitCursor, 1000, 1031 + 7 * 8);
    // 480 ms of nothing, then one frame per 112 ms, the seven frames in turn and round again.
    const std::vector<std::pair<uint32_t, int32_t>> expected = {
        {1031, 0}, {1038, 1}, {1045, 2}, {1052, 3}, {1059, 4}, {1066, 5}, {1073, 6}, {1080, 0}, {1087, 1}};
    EXPECT_EQ(changes, expected);
    EXPECT_EQ(sequence.CurrentId(), kWaitCursor);
    EXPECT_EQ(sequence.Frame(), 2);
}

TEST(CursorSequence, OtherIdsShowAtOnceAndRestartTheDelayButNotTheFrame)
{
    CursorSequence sequence;
    EXPECT_EQ(sequence.Step(kNavigationCursor, 5), CursorSequence::kShowId);
    EXPECT_EQ(sequence.CurrentId(), kNavigationCursor);
    Changes(sequence, kWaitCursor, 10, 48);  // frames 0 and 1 shown at 41 and 48
    EXPECT_EQ(sequence.Frame(), 2);

    EXPECT_EQ(sequence.Step(0, 50), CursorSequence::kShowId);
    EXPECT_EQ(sequence.CurrentId(), 0);
    const auto changes = Changes(sequence, kWaitCursor, 60, 91);
    const std::vector<std::pair<uint32_t, int32_t>> expected = {{91, 2}};
    EXPECT_EQ(changes, expected);
}

TEST(CursorSequence, SparseCallsChangeOncePastTheDelay)
{
    CursorSequence sequence;
    EXPECT_EQ(sequence.Step(kWaitCursor, 200), CursorSequence::kKeep);
    EXPECT_EQ(sequence.Step(kWaitCursor, 230), CursorSequence::kKeep);  // not later than t0 + 30
    EXPECT_EQ(sequence.Step(kWaitCursor, 500), 0);
    EXPECT_EQ(sequence.Step(kWaitCursor, 506), CursorSequence::kKeep);
    EXPECT_EQ(sequence.Step(kWaitCursor, 507), 1);
}

TEST(CursorSequence, TickCountWrapsAround)
{
    CursorSequence sequence;
    const uint32_t start = 0xFFFFFFF0u;
    EXPECT_EQ(sequence.Step(kWaitCursor, start), CursorSequence::kKeep);
    EXPECT_EQ(sequence.Step(kWaitCursor, 0x00000005u), CursorSequence::kKeep);
    EXPECT_EQ(sequence.Step(kWaitCursor, start + 31), 0);
    EXPECT_EQ(sequence.Step(kWaitCursor, start + 37), CursorSequence::kKeep);
    EXPECT_EQ(sequence.Step(kWaitCursor, start + 38), 1);
}

TEST(CursorSequence, ResetStartsAgainAtTheFirstFrame)
{
    CursorSequence sequence;
    Changes(sequence, kWaitCursor, 0, 40);
    EXPECT_EQ(sequence.Frame(), 2);
    sequence.Reset();
    EXPECT_EQ(sequence.Frame(), 0);
    EXPECT_EQ(sequence.CurrentId(), 0);
}
