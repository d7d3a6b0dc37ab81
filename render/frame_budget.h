// FrameBudget: what one frame may spend, against the faces it has in view and the pixels of its
// view. Every step of a frame spends on it where it is done, before the work wherever the work can
// be refused: the records tested against the view and projected, the draw order's sort and
// correction, the occlusion walk's tests and marks, the records and faces the drawing walks pass
// over, every face and element drawn (opaque or not) with the pixels and rows of its box, its
// frame's lines and the corners it is cut by, the perspective fill's cuts and the rows of its
// pieces, and the elements and touching faces the layers take up. Each cost has an allowance that
// any frame has, and a further share for every face in view, for every record tested against the
// view (the records a frame walks, sorts and orders are those it tests, each once) and for every
// pixel of the view: the frames of honest models come well within them.
//
// Two tiers, because the work a small file can ask of a frame grows in two ways. A see-through
// face or element draws again what lies behind it, and each see-through face met there does the
// same, so that the drawing multiplies with every level; past any allowance the budget is passed,
// and that drawing ends: the frame goes on, each later see-through face drawing what lies behind
// it within its share of a further part of every allowance and drawn opaque, as over nothing,
// past it, and still shows every face it has in view. A pass is weighed against what the whole
// frame allows: a frame that passed while faces were still coming into view, yet spent within
// what all it had in view allows, is drawn again expecting that from the start (PassedEarly). Drawing each face once is bounded by the
// faces in view but not by the pixels (ten thousand faces filling the view fill it ten thousand
// times), so past kStopFactor times any allowance the frame stops: nothing more is drawn, what was
// drawn stays, and the rest of the view shows the background (or the faces drawn before there).
// The frame is not marked to be drawn again: the next frame spends the same and stops alike.
//
// The occlusion walk goes from the nearest record to the farthest, and the tests that cost it
// most are those that find a record painted over whole; past its allowance it ends (the budget
// is passed), and the records it has not reached, all lying farther than those it has, are left
// out of the frame.
#pragma once

#include <algorithm>
#include <cstdint>

enum class FrameCost : int32_t {
    kDrawn,        // faces and elements drawn, those drawn again included
    kPixels,       // pixels and rows of the boxes they are drawn into
    kLinePixels,   // pixels of the lines that frame them, each a row of its own where a line is steep
    kCornerPairs,  // corners of each face drawn or cut out times the corners of the region it is cut to
    kSystemSpans,  // spans beyond one a row in the outlines handed to the system's polygon calls
    kTakenUp,      // elements and faces of other objects the layers' walks take up
    kWalked,       // records and faces the drawing walks pass over
    kViewed,       // records tested against the view, vertices and faces projected
    kOrdered,      // records sorted, contacts read and places the draw order's correction looks at
    kMasked,       // rows and words the occlusion walks test and mark, faces they look at, corners they box
    kCount
};

// What a cost allows before the budget is passed: this much for any frame, a further
// `perFaceInView` for every face and element in view, `perRecordTested` for every record tested
// against the view, and `perViewPixel` for every pixel of the view.
struct FrameAllowance {
    int64_t anyFrame;
    int32_t perFaceInView;
    int32_t perRecordTested;
    int32_t perViewPixel;
};

// Past this many times an allowance the frame stops.
constexpr int64_t kStopFactor = 2;
// Once the budget is passed, drawings behind see-through faces may spend this part of every
// allowance more, in all: each the share its region's box has of the view's pixels, until the
// boxes handed out cover the view once.
constexpr int64_t kPassedGlassPart = 4;  // a quarter

// What a row of each fill costs beside its pixels, in the kPixels cost's own pixels (a pixel of
// the dearest fill, a textured one at 32 bits: some 3.3 ns under Wine), as raster-bench times its
// slivers (two pixels wide and 600 rows tall) against its large squares and render-frame slivers
// filling a view of 1920 x 1200: a row of the textured fill hands its span to the filler with the
// span's texture steps (35 to 58 ns), one of the flat fill or of the system's polygon fill walks
// its edges (7 to 13 ns), one of the shaded fill its values too (16 ns).
constexpr int64_t kFlatRowPixels = 4;
constexpr int64_t kShadedRowPixels = 5;
constexpr int64_t kTexturedRowPixels = 16;
constexpr int64_t kSystemRowPixels = 4;
// A pixel of a line drawn through the system's calls costs as many as this of one drawn straight
// into the pixels: 23 ns at 16 and 32 bits under Wine, where the rasterizers' lines take 3 ns.
constexpr int64_t kSystemLinePixels = 7;

class FrameBudget {
public:
    // Starts a frame of a view of the pixels: nothing spent, nothing in view.
    void Begin(int64_t viewPixels);
    // Ends the frame: spending is free again, and what was spent stays to be seen.
    void End() { drawing_ = false; }
    bool Drawing() const { return drawing_; }

    // What an earlier drawing of the same frame found the whole frame to have: faces in view and
    // records tested. Each allowance is weighed from the start against at least these, however few
    // have come into view so far.
    void Expect(int64_t inView, int64_t tested)
    {
        expectedInView_ = inView;
        expectedTested_ = tested;
    }
    // Faces (or elements) that came into view.
    void AddInView(int64_t faces) { inView_ += faces; }
    // Records about to be tested against the view for a draw list (or, collecting bounds, taken
    // into it whole).
    void AddTested(int64_t records) { tested_ += records; }
    // Spends `amount` of the cost on work about to be done: false when the work is refused, the
    // frame having stopped (this spending or an earlier one took it past kStopFactor times an
    // allowance). Always true outside a frame.
    bool Spend(FrameCost cost, int64_t amount)
    {
        if (!drawing_) return true;
        const int32_t k = int32_t(cost);
        spent_[k] += amount;
        // An allowance only grows through a frame: within one already met nothing is passed.
        if (spent_[k] > met_[k] || (shared_ && spent_[k] > share_[k])) Weigh(cost);
        return !stopped_;
    }
    // Spends on a step of the occlusion walk: false, with nothing spent, when the frame has
    // stopped or the step would take the walk past its allowance (which passes the budget).
    bool SpendOnMask(int64_t amount)
    {
        if (!drawing_) return true;
        const int32_t k = int32_t(FrameCost::kMasked);
        if (stopped_ || (spent_[k] + amount > met_[k] && !MaskAllows(amount))) return false;
        spent_[k] += amount;
        return true;
    }
    // A face or element about to be drawn: into a box of `pixels` (its rows included), framed by
    // lines of `linePixels`, its `corners` cut to a region of `regionCorners` (0 when it is not
    // cut). False when it is not to be drawn.
    bool SpendOnDraw(int64_t pixels, int64_t linePixels, int64_t corners, int64_t regionCorners);

    // Drawing what lies behind a see-through face or element, into a region of `regionPixels`
    // (its box): while any is in progress, the faces drawn count as drawn again. Once the budget is
    // passed, each such drawing begun afresh may spend its region's share of a further part of
    // every allowance (kPassedGlassPart), the part handed out at most once over the view; false,
    // nothing entered, when nothing of it is left or the drawing around it was in progress as the
    // budget was passed (the face is then drawn opaque).
    bool EnterBehind(int64_t regionPixels);
    void LeaveBehind();
    // Whether the budget is passed: drawing behind see-through faces ends where it passes, and
    // later drawings behind them spend from their shares alone.
    bool Passed() const { return passed_; }
    // Whether the frame has stopped: nothing more is drawn.
    bool Stopped() const { return stopped_; }
    // Whether the budget was passed while the faces in view were still coming in, yet no cost is
    // past what the whole frame allows at its end: the pass was weighed against too little, and
    // the frame is to be drawn again, expecting what this drawing found (never so once stopped).
    bool PassedEarly() const;
    // Whether the drawing in progress is to end at once: the frame has stopped, or the budget was
    // passed in the drawing behind a see-through face in progress or one within it (those around
    // it go on, drawing no further see-through face but opaque), or this drawing spent past its
    // share.
    bool Halts() const
    {
        return stopped_ || (passed_ && behind_ > 0 && (shared_ ? pastShare_ : behind_ >= passedBehind_));
    }

    int64_t Spent(FrameCost cost) const { return spent_[int32_t(cost)]; }
    int64_t Allowance(FrameCost cost) const;
    // What the frame may spend of every cost before it stops, summed: the loop turns a frame may
    // take, each cost being spent at the grain at which its loops count their turns.
    int64_t TurnsAllowance() const;
    // The faces in view and the records tested that the allowances are weighed against.
    int64_t InView() const { return std::max(inView_, expectedInView_); }
    int64_t Tested() const { return std::max(tested_, expectedTested_); }
    // Faces and elements drawn behind see-through ones, into their regions.
    int64_t Redrawn() const { return redrawn_; }

private:
    // Holds what is spent of the cost against its allowance now, which `met_` keeps.
    void Weigh(FrameCost cost);
    // Passes the budget, where the drawings behind see-through faces in progress stand.
    void Pass();
    // Whether the walk's allowance, worked out again, reaches to `amount` more: if not, the budget
    // is passed.
    bool MaskAllows(int64_t amount);

    bool drawing_ = false;
    bool passed_ = false;
    bool stopped_ = false;
    int32_t behind_ = 0;
    int32_t passedBehind_ = 0;  // the drawings behind see-through faces in progress as it passed
    // Whether the drawing behind a see-through face in progress spends from a share, its share of
    // each cost (what may be spent in all before it is past it) and whether it went past it, and
    // the view's pixels not yet handed out in shares.
    bool shared_ = false;
    bool pastShare_ = false;
    int64_t share_[int32_t(FrameCost::kCount)] = {};
    int64_t sharePixelsLeft_ = 0;
    int64_t viewPixels_ = 0;
    int64_t inView_ = 0;
    int64_t tested_ = 0;
    int64_t expectedInView_ = 0;
    int64_t expectedTested_ = 0;
    int64_t maskRefusedAt_ = 0;  // what the occlusion walk would have come to at the step refused
    int64_t redrawn_ = 0;
    int64_t spent_[int32_t(FrameCost::kCount)] = {};
    int64_t met_[int32_t(FrameCost::kCount)] = {};  // an allowance each has reached this frame
};
