// FrameBudget: what one frame may spend on drawing, against the faces it has in view. A
// see-through face or element draws again, into its own outline, what lies behind it, and each
// see-through face met there does the same, so that faces behind and inside each other, elements
// reaching past their faces and see-through objects side by side would have a small file ask one
// frame for work out of all proportion to what it shows. Each cost has an allowance that any frame
// has, and a further share for every face in view (and, for pixels, for every pixel of the view):
// the frames of honest models come well within them. Past any allowance the frame draws no more of
// what lies behind see-through faces: it goes on with each see-through face drawn as over nothing,
// and ends in time.
#pragma once

#include <cstdint>

enum class FrameCost : int32_t {
    kDrawn,        // faces and elements drawn, those drawn again included
    kPixels,       // pixels of the boxes they were drawn into
    kCornerPairs,  // corners of each face drawn or cut out times the corners of the region it is cut to
    kTakenUp,      // elements and faces of other objects the layers' walks take up
    kCount
};

// What a cost allows: this much for any frame, a further `perFaceInView` for every face and
// element in view, and `perViewPixel` for every pixel of the view.
struct FrameAllowance {
    int64_t anyFrame;
    int32_t perFaceInView;
    int32_t perViewPixel;
};

class FrameBudget {
public:
    // Starts a frame of a view of the pixels: nothing spent, nothing in view.
    void Begin(int64_t viewPixels);
    // Ends the frame: spending is free again, and what was spent stays to be seen.
    void End() { drawing_ = false; }
    bool Drawing() const { return drawing_; }

    // Faces (or elements) that came into view.
    void AddInView(int64_t faces) { inView_ += faces; }
    // Spends `amount` of the cost: false once the spending passes its allowance, and the budget
    // is passed from then on. Always true outside a frame.
    bool Spend(FrameCost cost, int64_t amount);
    // A face or element drawn: into a box of `pixels`, its `corners` cut to a region of
    // `regionCorners` (0 when it is not cut).
    void SpendOnDraw(int64_t pixels, int64_t corners, int64_t regionCorners);

    // Drawing what lies behind a see-through face or element: while any is in progress, the faces
    // drawn count as drawn again.
    void EnterBehind() { ++behind_; }
    void LeaveBehind() { --behind_; }
    // Whether what lies behind is to be drawn no further: the budget is passed.
    bool Passed() const { return passed_; }
    // Whether a drawing behind a see-through face is in progress that is to end at once.
    bool StopsBehind() const { return passed_ && behind_ > 0; }

    int64_t Spent(FrameCost cost) const { return spent_[int32_t(cost)]; }
    int64_t Allowance(FrameCost cost) const;
    int64_t InView() const { return inView_; }
    // Faces and elements drawn behind see-through ones, into their regions.
    int64_t Redrawn() const { return redrawn_; }

private:
    bool drawing_ = false;
    bool passed_ = false;
    int32_t behind_ = 0;
    int64_t viewPixels_ = 0;
    int64_t inView_ = 0;
    int64_t redrawn_ = 0;
    int64_t spent_[int32_t(FrameCost::kCount)] = {};
};
