// The screen's bounds on the suite's 1024 x 768 display, and the pens of dragged outlines.
#include "toolkit/screen_bounds.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "draw/current_port.h"
#include "draw/pen_state.h"
#include "toolkit/drag_outline.h"

namespace {

void ExpectRect(const PortRect& rect, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

// A memory DC as the current port for the life of a scope, with the dotted phase put back.
class MemoryPort {
public:
    MemoryPort() : dc_(CreateCompatibleDC(nullptr)), savedPhase_(DottedPenPhase) { SetPort(dc_); }
    ~MemoryPort()
    {
        SetPort(nullptr);
        DeleteObject(SelectObject(dc_, GetStockObject(BLACK_PEN)));
        DeleteObject(SelectObject(dc_, GetStockObject(BLACK_BRUSH)));
        DeleteDC(dc_);
        DottedPenPhase = savedPhase_;
    }
    MemoryPort(const MemoryPort&) = delete;
    MemoryPort& operator=(const MemoryPort&) = delete;

    HDC Handle() const { return dc_; }

private:
    HDC dc_;
    int32_t savedPhase_;
};

PenTransferMode CurrentPenMode()
{
    PenState state;
    GetPenState(&state);
    return state.mode;
}

}  // namespace

TEST(ScreenBounds, ScreenAndItsUsablePart)
{
    PortRect rect = {-1, -1, -1, -1};
    GetScreenBounds(&rect);
    ExpectRect(rect, 0, 0, 1024, 768);
    GetUsableScreenBounds(&rect);
    ExpectRect(rect, 0, 0, 800, 600);
}

TEST(DragOutline, DragPenIsBlackNotXorOrDottedByPhase)
{
    MemoryPort port;
    DottedPenPhase = 0;
    RGBForeColor({0xFFFF, 0xFFFF, 0xFFFF});
    SetDragPenMode(0);
    EXPECT_EQ(GetTextColor(port.Handle()) & 0xFFFFFF, 0u);
    EXPECT_EQ(CurrentPenMode(), 9);
    EXPECT_EQ(GetROP2(port.Handle()), R2_NOTXORPEN);
    EXPECT_EQ(OutlinePhase(), 1);

    SetDragPenMode(0);
    EXPECT_EQ(OutlinePhase(), 0);
    SetDragPenMode(1);
    EXPECT_EQ(OutlinePhase(), 0);
    EXPECT_EQ(CurrentPenMode(), kPenDotted);
    EXPECT_EQ(GetROP2(port.Handle()), R2_XORPEN);

    // Any phase that the dotted pen draws in not-xor toggles to the one it draws in xor.
    DottedPenPhase = 5;
    SetDragPenMode(0);
    SetDragPenMode(1);
    EXPECT_EQ(GetROP2(port.Handle()), R2_XORPEN);
}

TEST(DragOutline, PhaseStepsThroughEightAndKeepHoldsIt)
{
    MemoryPort port;
    DottedPenPhase = 6;
    StepOutlinePhase(0);
    EXPECT_EQ(OutlinePhase(), 7);
    EXPECT_EQ(GetROP2(port.Handle()), R2_NOTXORPEN);
    StepOutlinePhase(0);
    EXPECT_EQ(OutlinePhase(), 0);
    StepOutlinePhase(1);
    EXPECT_EQ(OutlinePhase(), 0);
}

TEST(DragOutline, ZoomLeavesTheNormalPenAndTheCurrentPort)
{
    MemoryPort port;
    PenMode(kPenDotted);
    ZoomRectOutline(4, {10, 10, 20, 20}, {100, 100, 300, 200});
    EXPECT_EQ(GetPort(), port.Handle());
    EXPECT_EQ(CurrentPenMode(), kPenCopy);
    EXPECT_EQ(GetPenPat(), kFirstStockPattern);
}
