// The screen's bounds on the suite's 1024 x 768 display, and the pens of dragged outlines.
#include "toolkit/screen_bounds.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "draw/current_port.h"
#include "draw/pen_state.h"
#include "toolkit/drag_outline.h"

TEST(ScreenBounds, ScreenAndItsUsablePart)
{
    using Corners = std::array<int32_t, 4>;
    PortRect rect = {-1, -1, -1, -1};
    GetScreenBounds(&rect);
    EXPECT_EQ((Corners{rect.left, rect.top, rect.right, rect.bottom}), (Corners{0, 0, 1024, 768}));
    GetUsableScreenBounds(&rect);
    EXPECT_EQ((Corners{rect.left, rect.top, rect.right, rect.bottom}), (Corners{0, 0, 800, 600}));
}

TEST(DragOutline, PenIsBlackNotXorOrDottedByAPhaseOfEightSteps)
{
    HDC dc = CreateCompatibleDC(nullptr);
    SetPort(dc);
    RGBForeColor({0xFFFF, 0xFFFF, 0xFFFF});
    DottedPenPhase = 6;
    StepOutlinePhase(0);
    StepOutlinePhase(1);
    EXPECT_EQ(GetROP2(dc), R2_NOTXORPEN);
    // Phase 7 toggles to 0, where the dotted pen draws in xor.
    SetDragPenMode(0);
    EXPECT_EQ(GetTextColor(dc) & 0xFFFFFF, 0u);
    EXPECT_EQ(GetROP2(dc), R2_NOTXORPEN);
    SetDragPenMode(1);
    EXPECT_EQ(GetROP2(dc), R2_XORPEN);
    // Steps wrap from 7 to 0.
    DottedPenPhase = 7;
    StepOutlinePhase(0);
    EXPECT_EQ(OutlinePhase(), 0);

    ZoomRectOutline(4, {10, 10, 20, 20}, {100, 100, 300, 200});
    EXPECT_EQ(GetPort(), dc);
    PenState pen;
    GetPenState(&pen);
    EXPECT_EQ(pen.mode, kPenCopy);
    SetPort(nullptr);
    DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN)));
    DeleteDC(dc);
}
