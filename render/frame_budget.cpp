// The frame budget and its allowances.
#include "render/frame_budget.h"

namespace {

// Honest frames spend a part of each, at most a half: measured on the first frames and the
// most spent of twenty turned frames of every sample and benchmark scene, of the cities of a
// million faces (grouped, flat and on a ground; from their own eyes, along a street, across the
// roofs and from afar with the whole city in view) and of the largest honest models
// (tools/honest_models.h: the forest of 14,000 trees and the town of glass of 930 blocks also
// from above and from among their trees and in a lobby), at 640x480 and 1920x1200, through both
// drawing paths, with the player's options and blended. Past twice an allowance a frame stops:
// each is set so that a frame that spends up to that ends in time at every window size, 4096x4096
// included.
constexpr FrameAllowance kAllowances[int32_t(FrameCost::kCount)] = {
    // kDrawn: the faces drawn behind glass grow with the panes they show through. A town's towers
    // glazed all round show the town through two panes at once: the towns of 50 to 930 blocks
    // draw 2.3 faces for every face in view, most of them behind the glass; a museum's glass cases
    // and the doorways between its rooms, 4.0 (33,017 drawn with 8,308 in view from its first
    // room). A frame of any model may draw 65,536, a large one six times as many faces as it has
    // in view.
    {1 << 16, 6, 0, 0},
    // kPixels: forty-eight views' worth and 384 for every face in view, each face's rows at what a
    // row costs its fill: the forest of 14,000 trees, its faces mostly slivers of cones whose rows
    // cost more than their pixels, spends 138 million at 1920x1200 from its own eye (1.2 million
    // faces in view, 0.25 of it) and 106 million from among its trees (300,000 in view, 0.48); the
    // cities' boxes come to 16.6 views at most. Twice the views' worth is 1.6 billion pixels at
    // 4096x4096, which the dearest fills (textured, at 4 bits) write in 5.6 s, under half the time
    // such a window may take, and 200 million in a window maximized on a 1920x1200 screen, some
    // 0.7 s of textured fills under Wine; twice a face's 384, 2.5 us.
    {0, 384, 0, 48},
    // kLinePixels: thirty-two views' worth and 256 pixels for every face in view, a line through
    // the system's calls at seven pixels (frame_budget.h): the forest of 14,000 trees framed
    // through the system's calls at 1920x1200 spends at most 0.41 of it. Twice the views' worth is
    // 1.1 billion at 4096x4096, some 3.5 s of the system's steep lines under Wine.
    {0, 256, 0, 32},
    // kCornerPairs: a face is cut by the region it is drawn into corner by corner; at most 0.12 of
    // it (the honest landscape of a million faces at 1920x1200), and faces of many corners seen
    // through each other no more than that.
    {1 << 22, 64, 0, 0},
    // kSystemSpans: the system's fill of an outline crossing its rows many times over (a comb of a
    // thousand teeth) builds a region of every span, some 5 us each under Wine, where convex faces
    // cost it one span a row; the outline of a face of a few pixels cut to the view's region may
    // fold back over a row, two spans more, and the forest of 14,000 trees seen from above at
    // 1920x1200 has 27,000 such faces, 0.42 of it. Twice it is some 1.3 s of such fills.
    {1 << 17, 0, 0, 0},
    // kTakenUp: the elements and touching faces a wall of many of them offers (honest frames take
    // up a few dozen).
    {1 << 16, 16, 0, 0},
    // kWalked: a draw list walked once and the faces of each record drawn once, more behind
    // see-through faces: the records and faces filed by the tiles of the view and those found
    // there (and the corners of a face looked at where they are not). Behind glass the walk grows
    // with the faces drawn there, some five and a half places for each (the town of 50 blocks,
    // 1.77 million with 323,000 drawn and 98,000 in view from its own eye at 640x480), and a frame
    // may draw six times the faces it has in view (kDrawn): 0.42 of it there, at most 0.22 where
    // little shows through glass (an independent forest of 14,000 trees on 16 patches).
    {1 << 20, 32, 16, 0},
    // kViewed: a record's test, its points twice and its faces once, and the corners the view's
    // planes cut: at most 0.25 of it (the forest of 14,000 trees from its own eye).
    {1 << 22, 16, 16, 0},
    // kOrdered: the sort's passes over a record, its contacts and the correction's looks at it: at
    // most 49 for every record tested in the cities (the city on a ground seen whole from afar,
    // 8.1 million for 166,666 records), 109 in the honest groups nested four deep, 195 in an
    // independent stadium of 110,000 seats seen whole from above (its seats' spheres each meet
    // dozens of others, every meeting a contact the correction reads), 0.38 of it; the passes grow
    // as the logarithm of the records.
    {1 << 16, 0, 512, 0},
    // kMasked: words of the mask (64 pixels each) tested and marked, and corners boxed: at most 0.39
    // of it (the forest of 14,000 trees from its own eye, 45 million). Twice the views' worth is
    // 540 million words at 4096x4096, some 3 s at the 5 to 8 ns a word costs where its rows are
    // short.
    {1 << 20, 96, 0, 16},
};

}  // namespace

void FrameBudget::Begin(int64_t viewPixels)
{
    drawing_ = true;
    passed_ = false;
    stopped_ = false;
    behind_ = 0;
    passedBehind_ = 0;
    shared_ = false;
    pastShare_ = false;
    sharePixelsLeft_ = viewPixels;
    viewPixels_ = viewPixels;
    inView_ = 0;
    tested_ = 0;
    expectedInView_ = 0;
    expectedTested_ = 0;
    maskRefusedAt_ = 0;
    redrawn_ = 0;
    for (int64_t& spent : spent_) spent = 0;
    for (int64_t& met : met_) met = 0;
}

int64_t FrameBudget::Allowance(FrameCost cost) const
{
    const FrameAllowance& allowance = kAllowances[int32_t(cost)];
    return allowance.anyFrame + InView() * allowance.perFaceInView + Tested() * allowance.perRecordTested +
           viewPixels_ * allowance.perViewPixel;
}

bool FrameBudget::PassedEarly() const
{
    if (!passed_ || stopped_ || maskRefusedAt_ > Allowance(FrameCost::kMasked)) return false;
    for (int32_t cost = 0; cost < int32_t(FrameCost::kCount); ++cost) {
        if (spent_[cost] > Allowance(FrameCost(cost))) return false;
    }
    return true;
}

int64_t FrameBudget::TurnsAllowance() const
{
    int64_t sum = 0;
    for (int32_t cost = 0; cost < int32_t(FrameCost::kCount); ++cost) sum += Allowance(FrameCost(cost));
    return kStopFactor * sum;
}

void FrameBudget::Pass()
{
    if (passed_) return;
    passed_ = true;
    passedBehind_ = behind_;
}

bool FrameBudget::EnterBehind(int64_t regionPixels)
{
    if (passed_ && !shared_) {
        if (behind_ > 0) return false;
        const int64_t pixels = std::min(std::max<int64_t>(regionPixels, 0), sharePixelsLeft_);
        if (pixels == 0) return false;
        sharePixelsLeft_ -= pixels;
        for (int32_t cost = 0; cost < int32_t(FrameCost::kCount); ++cost)
            share_[cost] = spent_[cost] + Allowance(FrameCost(cost)) * pixels / (kPassedGlassPart * viewPixels_);
        shared_ = true;
        pastShare_ = false;
    }
    ++behind_;
    return true;
}

void FrameBudget::LeaveBehind()
{
    if (--behind_ > 0) return;
    shared_ = false;
    pastShare_ = false;
}

void FrameBudget::Weigh(FrameCost cost)
{
    const int64_t allowance = Allowance(cost);
    met_[int32_t(cost)] = allowance;
    const int64_t spent = spent_[int32_t(cost)];
    if (shared_ && spent > share_[int32_t(cost)]) pastShare_ = true;
    if (spent > allowance) Pass();
    if (spent > kStopFactor * allowance) stopped_ = true;
}

bool FrameBudget::MaskAllows(int64_t amount)
{
    const int32_t k = int32_t(FrameCost::kMasked);
    met_[k] = Allowance(FrameCost::kMasked);
    if (spent_[k] + amount <= met_[k]) return true;
    maskRefusedAt_ = std::max(maskRefusedAt_, spent_[k] + amount);
    Pass();
    return false;
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
