// The frame budget: its allowances grow with the faces in view and the view's pixels; a spending
// past one passes the budget for the rest of the frame, and past twice one stops the frame; draws
// behind see-through faces count as drawn again, and only those are to stop once it is passed (the
// one it passed in and those within it), each later one spending its region's share of a further
// part of every allowance;
// the occlusion walk's steps are refused, unspent, where its allowance does not reach; a pass
// that what the whole frame has in view allows was early, and a frame drawn again expecting it
// weighs its spending against that from the start.
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
    EXPECT_TRUE(budget.EnterBehind(40));
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
    EXPECT_EQ(budget.Redrawn(), 2);

    // Passed, a drawing behind a see-through face begun afresh spends its region's share of a
    // quarter of each allowance: 40 of the view's 100 pixels, a tenth of each.
    const int64_t drawn = budget.Allowance(FrameCost::kDrawn);
    EXPECT_TRUE(budget.EnterBehind(40));
    // Behind it, a further see-through face spends from the same share.
    EXPECT_TRUE(budget.EnterBehind(100));
    budget.Spend(FrameCost::kDrawn, drawn / 10 - 1);
    EXPECT_FALSE(budget.Halts());
    budget.LeaveBehind();
    budget.Spend(FrameCost::kDrawn, 1);
    EXPECT_FALSE(budget.Halts());
    budget.Spend(FrameCost::kDrawn, 1);
    EXPECT_TRUE(budget.Halts());
    budget.LeaveBehind();
    EXPECT_FALSE(budget.Halts());
    // The shares handed out cover the view once: 60 pixels are left, then none.
    EXPECT_TRUE(budget.EnterBehind(1000));
    EXPECT_FALSE(budget.Halts());
    budget.LeaveBehind();
    EXPECT_FALSE(budget.EnterBehind(1));
    EXPECT_FALSE(budget.Halts());
    EXPECT_FALSE(budget.Stopped());
    budget.End();
    EXPECT_FALSE(budget.Drawing());

    // Passed in a drawing behind a see-through face seen through another, the inner drawing ends;
    // the outer one goes on, drawing no further see-through face.
    budget.Begin(100);
    EXPECT_TRUE(budget.EnterBehind(50));
    EXPECT_TRUE(budget.EnterBehind(50));
    budget.Spend(FrameCost::kWalked, budget.Allowance(FrameCost::kWalked) + 1);
    EXPECT_TRUE(budget.Halts());
    budget.LeaveBehind();
    EXPECT_FALSE(budget.Halts());
    EXPECT_FALSE(budget.EnterBehind(10));
    budget.LeaveBehind();
    EXPECT_TRUE(budget.EnterBehind(10));
    budget.LeaveBehind();
}

TEST(FrameBudget, APassIsEarlyWhenTheWholeFrameAllowsWhatWasSpent)
{
    FrameBudget budget;
    budget.Begin(100);
    const int64_t walked = budget.Allowance(FrameCost::kWalked);
    budget.Spend(FrameCost::kWalked, walked + 1);
    EXPECT_TRUE(budget.Passed());
    EXPECT_FALSE(budget.PassedEarly());
    // Faces coming into view later raise the allowance past what was spent: the pass was early.
    budget.AddInView(1000);
    EXPECT_TRUE(budget.PassedEarly());
    const int64_t inView = budget.InView();
    const int64_t tested = budget.Tested();

    // Drawn again expecting what the whole frame has, the same spending passes nothing.
    budget.Begin(100);
    budget.Expect(inView, tested + 10);
    EXPECT_EQ(budget.InView(), 1000);
    EXPECT_EQ(budget.Tested(), 10);
    EXPECT_TRUE(budget.Spend(FrameCost::kWalked, walked + 1));
    EXPECT_FALSE(budget.Passed());
    // Faces counted up to what was expected leave the allowances as they are; beyond it, they grow.
    const int64_t drawn = budget.Allowance(FrameCost::kDrawn);
    budget.AddInView(1000);
    EXPECT_EQ(budget.Allowance(FrameCost::kDrawn), drawn);
    budget.AddInView(1);
    EXPECT_GT(budget.Allowance(FrameCost::kDrawn), drawn);
    // A new frame expects nothing.
    budget.Begin(100);
    EXPECT_EQ(budget.InView(), 0);
    EXPECT_EQ(budget.Tested(), 0);

    // A refused step of the occlusion walk past what the whole frame allows is a pass in time.
    const int64_t masked = budget.Allowance(FrameCost::kMasked);
    FrameBudget larger;
    larger.Begin(100);
    larger.AddInView(100);
    const int64_t hundredFaces = larger.Allowance(FrameCost::kMasked) - masked;
    EXPECT_TRUE(budget.SpendOnMask(masked - hundredFaces));
    EXPECT_FALSE(budget.SpendOnMask(3 * hundredFaces));
    budget.AddInView(100);
    EXPECT_FALSE(budget.PassedEarly());
    budget.AddInView(200);
    EXPECT_TRUE(budget.PassedEarly());
    // Once stopped, a frame is never early.
    budget.Spend(FrameCost::kTakenUp, 3 * budget.Allowance(FrameCost::kTakenUp));
    EXPECT_TRUE(budget.Stopped());
    EXPECT_FALSE(budget.PassedEarly());
}
