// The frame budget: its allowances grow with the faces in view and the view's pixels; a spending
// past one passes the budget for the rest of the frame; draws behind see-through faces count as
// drawn again, and only those are to stop once it is passed.
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
    budget.AddInView(1000);
    EXPECT_GT(budget.Allowance(FrameCost::kDrawn), drawn);
    EXPECT_EQ(budget.Allowance(FrameCost::kPixels), pixels);
    FrameBudget larger;
    larger.Begin(2 * 640 * 480);
    EXPECT_GT(larger.Allowance(FrameCost::kPixels), pixels);

    // Up to the allowance, and no further.
    EXPECT_TRUE(budget.Spend(FrameCost::kTakenUp, budget.Allowance(FrameCost::kTakenUp)));
    EXPECT_FALSE(budget.Passed());
    EXPECT_FALSE(budget.Spend(FrameCost::kTakenUp, 1));
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.Spend(FrameCost::kDrawn, 1));
    // A new frame starts afresh.
    budget.Begin(640 * 480);
    EXPECT_FALSE(budget.Passed());
    EXPECT_EQ(budget.InView(), 0);
}

TEST(FrameBudget, DrawsBehindSeeThroughFacesAreRedrawnAndStopOncePassed)
{
    FrameBudget budget;
    budget.Begin(100);
    budget.SpendOnDraw(10, 4, 0);
    budget.EnterBehind();
    budget.SpendOnDraw(10, 4, 6);
    EXPECT_EQ(budget.Spent(FrameCost::kDrawn), 2);
    EXPECT_EQ(budget.Redrawn(), 1);
    EXPECT_EQ(budget.Spent(FrameCost::kPixels), 20);
    // A face cut to a region: its corners times the region's.
    EXPECT_EQ(budget.Spent(FrameCost::kCornerPairs), 4 + 24);
    EXPECT_FALSE(budget.StopsBehind());
    budget.SpendOnDraw(budget.Allowance(FrameCost::kPixels), 4, 0);
    EXPECT_TRUE(budget.StopsBehind());
    budget.LeaveBehind();
    // The walk over the records goes on.
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.StopsBehind());
    budget.End();
    EXPECT_FALSE(budget.Drawing());
    EXPECT_EQ(budget.Redrawn(), 2);
}
