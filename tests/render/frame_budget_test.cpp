// The frame budget: its allowances grow with the faces in view and the view's pixels; a spending
// past one passes the budget for the rest of the frame, and past twice one stops the frame; draws
// behind see-through faces count as drawn again, and only those are to stop once it is passed;
// the occlusion walk's steps are refused, unspent, where its allowance does not reach.
#include <gtest/gtest.h>

#include "render/frame_budget.h"

TEST(FrameBudget, AllowancesGrowWithTheFacesInViewAndThePassedBudgetStays)
{
    FrameBudget budget;
    // Outside a frame every spending is free.
    EXPECT_TRUE(budget.Spend(FrameCost::kDrawn, int64_t(1) << 40));
    EXPECT_FALSE(budget.Passed());

    budget.Begin(640 * 480);
    EXPECT_EQ(budget.Spent(FrameCost::kDrawn), 0);
    const int64_t drawn = budget.Allowance(FrameCost::kDrawn);
    const int64_t pixels = budget.Allowance(FrameCost::kPixels);
    const int64_t ordered = budget.Allowance(FrameCost::kOrdered);
    budget.AddInView(1000);
    EXPECT_GT(budget.Allowance(FrameCost::kDrawn), drawn);
    EXPECT_GT(budget.Allowance(FrameCost::kPixels), pixels);
    EXPECT_EQ(budget.Allowance(FrameCost::kOrdered), ordered);
    FrameBudget larger;
    larger.Begin(2 * 640 * 480);
    EXPECT_GT(larger.Allowance(FrameCost::kPixels), pixels);

    // Up to the allowance the budget holds; past it the budget is passed, and the work goes on up
    // to twice the allowance, past which the frame stops and every spending is refused.
    const int64_t takenUp = budget.Allowance(FrameCost::kTakenUp);
    EXPECT_TRUE(budget.Spend(FrameCost::kTakenUp, takenUp));
    EXPECT_FALSE(budget.Passed());
    EXPECT_TRUE(budget.Spend(FrameCost::kTakenUp, 1));
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.Halts());
    EXPECT_TRUE(budget.Spend(FrameCost::kTakenUp, takenUp - 1));
    EXPECT_FALSE(budget.Stopped());
    EXPECT_FALSE(budget.Spend(FrameCost::kTakenUp, 1));
    EXPECT_TRUE(budget.Stopped());
    EXPECT_TRUE(budget.Halts());
    EXPECT_FALSE(budget.Spend(FrameCost::kDrawn, 1));
    EXPECT_FALSE(budget.SpendOnDraw(1, 0, 3, 0));
    // The turns a frame may take: twice every allowance.
    int64_t sum = 0;
    for (int32_t cost = 0; cost < int32_t(FrameCost::kCount); ++cost) sum += budget.Allowance(FrameCost(cost));
    EXPECT_EQ(budget.TurnsAllowance(), 2 * sum);
    // A new frame starts afresh.
    budget.Begin(640 * 480);
    EXPECT_FALSE(budget.Passed());
    EXPECT_FALSE(budget.Stopped());
    EXPECT_EQ(budget.InView(), 0);

    // The occlusion walk's steps: refused, and not spent, where they would pass its allowance,
    // which passes the budget but never stops the frame.
    const int64_t masked = budget.Allowance(FrameCost::kMasked);
    EXPECT_TRUE(budget.SpendOnMask(masked - 1));
    EXPECT_FALSE(budget.Passed());
    EXPECT_FALSE(budget.SpendOnMask(2));
    EXPECT_EQ(budget.Spent(FrameCost::kMasked), masked - 1);
    EXPECT_TRUE(budget.SpendOnMask(1));
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.Stopped());
}

TEST(FrameBudget, DrawsBehindSeeThroughFacesAreRedrawnAndStopOncePassed)
{
    FrameBudget budget;
    budget.Begin(100);
    budget.SpendOnDraw(10, 0, 4, 0);
    budget.EnterBehind();
    budget.SpendOnDraw(10, 7, 4, 6);
    EXPECT_EQ(budget.Spent(FrameCost::kDrawn), 2);
    EXPECT_EQ(budget.Redrawn(), 1);
    EXPECT_EQ(budget.Spent(FrameCost::kPixels), 20);
    EXPECT_EQ(budget.Spent(FrameCost::kLinePixels), 7);
    // A face cut to a region: its corners times the region's.
    EXPECT_EQ(budget.Spent(FrameCost::kCornerPairs), 4 + 24);
    EXPECT_FALSE(budget.Halts());
    budget.SpendOnDraw(budget.Allowance(FrameCost::kPixels), 0, 4, 0);
    EXPECT_TRUE(budget.Halts());
    budget.LeaveBehind();
    // The walk over the records goes on.
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.Halts());
    budget.End();
    EXPECT_FALSE(budget.Drawing());
    EXPECT_EQ(budget.Redrawn(), 2);
}
