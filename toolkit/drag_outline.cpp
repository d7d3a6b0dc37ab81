// Outlines drawn in not-xor and dotted pens, and the dotted phase they step through (the drawing
// layer's DottedPenPhase, which its dotted pen mode reads).
#include "toolkit/drag_outline.h"

#include "draw/current_port.h"
#include "draw/pen_state.h"
#include "draw/shapes.h"

namespace {

constexpr PenTransferMode kDragNotXor = 9;
constexpr StockPatternIndex kZoomPattern = 3;
constexpr int32_t kOutlinePhases = 8;

int32_t Interpolate(int32_t from, int32_t to, int32_t step, int32_t steps)
{
    return int32_t(from + (int64_t(to) - from) * step / steps);
}

}  // namespace

void SetDragPenMode(int32_t mode)
{
    RGBForeColor(kBlackColor);
    if (mode == 0) {
        DottedPenPhase = DottedPenPhase ? 0 : 1;
        PenMode(kDragNotXor);
    } else {
        PenMode(kPenDotted);
    }
}

void ZoomRectOutline(int32_t steps, const PortRect& from, const PortRect& to)
{
    HDC dc = PrepareWindowDC(nullptr);
    if (!dc) return;
    PortBase screen;
    screen.SetPortDC(dc);
    screen.SelectPortObjects();
    SetPort(dc);
    PenMode(kPenNotXor);
    PenPat(kZoomPattern);
    for (int32_t i = 0; i < steps; ++i) {
        const PortRect outline = {
            Interpolate(from.left, to.left, i, steps), Interpolate(from.top, to.top, i, steps),
            Interpolate(from.right, to.right, i, steps), Interpolate(from.bottom, to.bottom, i, steps)};
        FrameRect(outline);
        FrameRect(outline);
    }
    PenMode(kPenCopy);
    PenPat(kFirstStockPattern);
    screen.RestorePortObjects();
    ReleasePortDC(nullptr, dc);
}

void StepOutlinePhase(int32_t keep)
{
    PenMode(kPenNotXor);
    if (!keep) DottedPenPhase = (DottedPenPhase + 1) % kOutlinePhases;
}

int32_t OutlinePhase()
{
    return DottedPenPhase;
}
