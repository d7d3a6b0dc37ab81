// The frame budget and its allowances.
#include "render/frame_budget.h"

namespace {

// Honest frames spend a small part of each. The first frames of the samples and benchmark scenes,
// with the player's options and blended, through both drawing paths, draw at most 0.5 faces for
// every face in view in the cities (37,600 of 75,400 in the flat city through the system's calls)
// and 1.3 in the glass sample (259 of 196, almost all behind its glass), into boxes of at most
// nine times the view's pixels, with at most 7.5 corner pairs cut for every face in view; the
// layers' walks take up a few elements and faces of other objects.
constexpr FrameAllowance kAllowances[int32_t(FrameCost::kCount)] = {
    // kDrawn: a frame of any model may draw some sixty times as much as the glass sample does;
    // a large one twice as many faces as it has in view, four times the cities' share.
    {1 << 14, 2, 0, 0},
    // kPixels: sixty-four views' worth, seven times the most the cities' frames fill.
    {0, 0, 0, 64},
    // kLinePixels
    {0, 0, 0, 8},
    // kCornerPairs: a face is cut by the region it is drawn into corner by corner; a frame may cut
    // some seven times the cities' pairs, and faces of many corners seen through each other no
    // more than that.
    {1 << 22, 64, 0, 0},
    // kTakenUp: the elements and touching faces a wall of many of them offers.
    {1 << 16, 16, 0, 0},
    // kWalked
    {1 << 20, 16, 16, 0},
    // kViewed
    {1 << 22, 16, 16, 0},
    // kOrdered
    {1 << 16, 0, 256, 0},
    // kMasked
    {1 << 20, 64, 0, 16},
};

}  // namespace

void FrameBudget::Begin(int64_t viewPixels)
{
    drawing_ = true;
    passed_ = false;
    stopped_ = false;
    behind_ = 0;
    viewPixels_ = viewPixels;
    inView_ = 0;
    tested_ = 0;
    redrawn_ = 0;
    for (int64_t& spent : spent_) spent = 0;
}

int64_t FrameBudget::Allowance(FrameCost cost) const
{
    const FrameAllowance& allowance = kAllowances[int32_t(cost)];
    return allowance.anyFrame + inView_ * allowance.perFaceInView + tested_ * allowance.perRecordTested +
           viewPixels_ * allowance.perViewPixel;
}

int64_t FrameBudget::TurnsAllowance() const
{
    int64_t sum = 0;
    for (int32_t cost = 0; cost < int32_t(FrameCost::kCount); ++cost) sum += Allowance(FrameCost(cost));
    return kStopFactor * sum;
}

bool FrameBudget::Spend(FrameCost cost, int64_t amount)
{
    if (!drawing_) return true;
    int64_t& spent = spent_[int32_t(cost)];
    spent += amount;
    const int64_t allowance = Allowance(cost);
    if (spent > allowance) passed_ = true;
    if (spent > kStopFactor * allowance) stopped_ = true;
    return !stopped_;
}

bool FrameBudget::SpendOnMask(int64_t amount)
{
    if (!drawing_) return true;
    int64_t& spent = spent_[int32_t(FrameCost::kMasked)];
    if (stopped_) return false;
    if (spent + amount > Allowance(FrameCost::kMasked)) {
        passed_ = true;
        return false;
    }
    spent += amount;
    return true;
}

bool FrameBudget::SpendOnDraw(int64_t pixels, int64_t linePixels, int64_t corners, int64_t regionCorners)
{
    if (!drawing_) return true;
    if (behind_ > 0) ++redrawn_;
    Spend(FrameCost::kDrawn, 1);
    Spend(FrameCost::kPixels, pixels);
    Spend(FrameCost::kLinePixels, linePixels);
    // A frame once stopped stays stopped: the last answer is every one's.
    return Spend(FrameCost::kCornerPairs, corners * (regionCorners > 0 ? regionCorners : 1));
}
