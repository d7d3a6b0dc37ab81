// Pens, patterns, colours and shapes drawn into a locked 32-bit offscreen as the current port.
#include <gtest/gtest.h>

#include <functional>

#include "draw/current_port.h"
#include "draw/primitives.h"
#include "tests/draw/draw_support.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kBlue = 0x0000FF;
constexpr RGBColor48 kRed48 = {0xFFFF, 0, 0};
constexpr RGBColor48 kBlue48 = {0, 0, 0xFFFF};
constexpr RGBColor48 kBlack48 = {0, 0, 0};
constexpr RGBColor48 kWhite48 = {0xFFFF, 0xFFFF, 0xFFFF};

class Primitives : public ::testing::Test {
protected:
    static constexpr int32_t kSize = 32;

    void SetUp() override
    {
        offscreen_ = MakeOffscreen(kSize, kSize, 32, &kWhite48);
        IgnoreResult(offscreen_->Lock());  // selects its objects and makes it the current port
        ASSERT_EQ(GetPort(), dc());
        PenPat(0);
        PenNormal();
        PenSize(1, 1);
        RGBForeColor(kBlack48);
        RGBBackColor(kWhite48);
    }

    void TearDown() override
    {
        SetPort(dc());
        offscreen_->Unlock();  // puts its objects back and deletes the brush and pen made here
    }

    HDC dc() const { return offscreen_->PortDC(); }
    uint32_t Pixel(int32_t x, int32_t y) const { return Pixel32(offscreen_.get(), x, y); }

    // Every pixel of the DIB is `expected(x, y)`.
    void ExpectPixels(const std::function<uint32_t(int32_t, int32_t)>& expected)
    {
        for (int32_t y = 0; y < kSize; ++y) {
            for (int32_t x = 0; x < kSize; ++x) {
                ASSERT_EQ(Pixel(x, y), expected(x, y)) << "at " << x << ", " << y;
            }
        }
    }

    TestScreen screen_{32};
    Owned<Q_Offscreen> offscreen_;
};

// The colour a stock pattern gives pixel (x, y): 0 bits fore, 1 bits back.
uint32_t PatternPixel(const uint16_t* rows, int32_t x, int32_t y, uint32_t fore, uint32_t back)
{
    return ((rows[y & 7] >> (7 - (x & 7))) & 1) ? back : fore;
}

}  // namespace

TEST_F(Primitives, FrameRectDrawsTheOutlineOnePixelInsideRightAndBottom)
{
    RGBForeColor(kRed48);
    FrameRect({0, 0, 10, 10});
    FrameRect({14, 20, 19, 23});
    ExpectPixels([](int32_t x, int32_t y) {
        const bool first = (x < 10 && y < 10) && (x == 0 || x == 9 || y == 0 || y == 9);
        const bool second = (x >= 14 && x < 19 && y >= 20 && y < 23) && (x == 14 || x == 18 || y == 20 || y == 22);
        return first || second ? kRed : kWhite;
    });
}

TEST_F(Primitives, PaintRectPolygonFillsExactlyTheRectangleWithoutOutline)
{
    RGBForeColor(kBlue48);
    const PortRect r = {3, 5, 11, 9};
    PaintRectPolygon(r);
    PaintQuad({20, 20, 21, 22});
    ExpectPixels([&](int32_t x, int32_t y) {
        return r.Contains(x, y) || PortRect{20, 20, 21, 22}.Contains(x, y) ? kBlue : kWhite;
    });
}

TEST_F(Primitives, StockPatternsFillWithForeAndBackColours)
{
    RGBForeColor(kRed48);
    RGBBackColor(kBlue48);
    for (StockPatternIndex index : {2, 3, 4}) {
        PenPat(index);
        PaintRectPolygon({0, 0, kSize, kSize});
        const uint16_t* rows = StockPatternRows(index);
        ExpectPixels([&](int32_t x, int32_t y) { return PatternPixel(rows, x, y, kRed, kBlue); });
    }
    PenPat(5);
    PaintRectPolygon({0, 0, kSize, kSize});
    ExpectPixels([](int32_t, int32_t) { return kBlue; });
    PenPat(0);  // no pattern: solid in the fore colour
    PaintRectPolygon({0, 0, kSize, kSize});
    ExpectPixels([](int32_t, int32_t) { return kRed; });
}

TEST_F(Primitives, ColourChangesRebuildThePatternBrush)
{
    PenPat(3);
    RGBForeColor(kBlue48);
    PaintRectPolygon({0, 0, kSize, kSize});
    ExpectPixels([](int32_t x, int32_t y) { return PatternPixel(StockPatternRows(3), x, y, kBlue, kWhite); });
}

TEST_F(Primitives, PenPatOfTheCurrentIndexChangesNothing)
{
    PenPat(3);
    HGDIOBJ grey = GetStockObject(GRAY_BRUSH);
    DeleteObject(SelectObject(dc(), grey));
    PenPat(3);
    EXPECT_EQ(GetCurrentObject(dc(), OBJ_BRUSH), grey);
    EXPECT_EQ(GetPenPat(), 3);
    PenPat(4);
    EXPECT_NE(GetCurrentObject(dc(), OBJ_BRUSH), grey);
}

TEST_F(Primitives, DotPatternIsTakenByTheNextPenPat)
{
    PenPat(6);
    EXPECT_EQ(SetDotPattern(3, 0), 0xF7);
    EXPECT_EQ(GetPenPat(), -1);
    PenPat(6);
    RGBForeColor(kRed48);
    PaintRectPolygon({0, 0, kSize, kSize});
    ExpectPixels([](int32_t x, int32_t y) { return (x & 7) == 4 && (y & 7) == 7 ? kRed : kWhite; });
}

TEST_F(Primitives, OvalIsSymmetricOutlinedAndFilled)
{
    RGBForeColor(kBlue48);
    DrawOval({2, 4, 22, 18});  // brush and pen are both the fore colour
    RGBForeColor(kRed48);
    PenPat(5);                  // back-colour brush: white inside, red outline
    DrawOval({2, 4, 22, 18});
    for (int32_t y = 0; y < kSize; ++y) {
        for (int32_t x = 0; x < kSize; ++x) {
            if (!PortRect{2, 4, 22, 18}.Contains(x, y)) ASSERT_EQ(Pixel(x, y), kWhite) << x << ", " << y;
            else ASSERT_EQ(Pixel(x, y), Pixel(2 + 21 - x, 4 + 17 - y)) << x << ", " << y;
        }
    }
    EXPECT_EQ(Pixel(12, 11), kWhite);  // the centre
    EXPECT_EQ(Pixel(2, 4), kWhite);    // the corners lie outside
    EXPECT_EQ(Pixel(21, 17), kWhite);
    EXPECT_EQ(Pixel(12, 4), kRed);     // the outline touches all four sides
    EXPECT_EQ(Pixel(12, 17), kRed);
    EXPECT_EQ(Pixel(2, 11), kRed);
    EXPECT_EQ(Pixel(21, 11), kRed);
    for (int32_t x = 3; x < 21; ++x) EXPECT_NE(Pixel(x, 11), kBlue) << x;  // nothing left of the first
}

TEST_F(Primitives, LinesLeaveTheirEndPointUndrawn)
{
    RGBForeColor(kRed48);
    MoveTo(2, 5);
    LineTo(12, 5);
    MoveTo(20, 20);
    LineTo(25, 25);
    ExpectPixels([](int32_t x, int32_t y) {
        const bool horizontal = y == 5 && x >= 2 && x < 12;
        const bool diagonal = x == y && x >= 20 && x < 25;
        return horizontal || diagonal ? kRed : kWhite;
    });
}

TEST_F(Primitives, PenSizeWidensLines)
{
    RGBForeColor(kBlack48);
    PenSize(3, 1);
    MoveTo(4, 10);
    LineTo(20, 10);
    EXPECT_EQ(Pixel(10, 9), kBlack);
    EXPECT_EQ(Pixel(10, 10), kBlack);
    EXPECT_EQ(Pixel(10, 11), kBlack);
    EXPECT_EQ(Pixel(10, 12), kWhite);
}

TEST_F(Primitives, PenModesSetTheRasterOperationAndPenStyle)
{
    auto penStyle = [&] {
        LOGPEN pen{};
        GetObjectA(GetCurrentObject(dc(), OBJ_PEN), sizeof(pen), &pen);
        return pen.lopnStyle;
    };
    struct Case {
        PenTransferMode mode;
        int32_t phase;
        int rop;
        UINT style;
    };
    const Case cases[] = {{1, 0, R2_NOTXORPEN, PS_SOLID},  {9, 0, R2_NOTXORPEN, PS_SOLID},
                          {3, 0, R2_MERGEPENNOT, PS_SOLID}, {8, 0, R2_XORPEN, PS_DOT},
                          {8, 1, R2_NOTXORPEN, PS_DOT},     {7, 0, R2_COPYPEN, PS_SOLID},
                          {2, 0, R2_COPYPEN, PS_SOLID},     {0, 0, R2_COPYPEN, PS_SOLID}};
    for (const Case& c : cases) {
        DottedPenPhase = c.phase;
        PenMode(c.mode);
        EXPECT_EQ(GetROP2(dc()), c.rop) << c.mode;
        EXPECT_EQ(penStyle(), c.style) << c.mode;
    }
    DottedPenPhase = 0;

    PenMode(3);
    PenState saved;
    GetPenState(&saved);
    EXPECT_EQ(saved.mode, 3);
    PenNormal();
    EXPECT_EQ(GetROP2(dc()), R2_COPYPEN);
    SetPenState(saved);
    EXPECT_EQ(GetROP2(dc()), R2_MERGEPENNOT);
}

TEST_F(Primitives, XorModeInvertsWhatTheLineCrosses)
{
    RGBForeColor(kRed48);
    PenMode(1);  // not-xor: a red line over white stays red, over red turns white
    MoveTo(0, 3);
    LineTo(10, 3);
    EXPECT_EQ(Pixel(5, 3), kRed);
    MoveTo(0, 3);
    LineTo(10, 3);
    EXPECT_EQ(Pixel(5, 3), kWhite);
}

TEST_F(Primitives, WithoutAPortColoursAndModesAreNotRemembered)
{
    SetPort(nullptr);
    RGBForeColor(kRed48);
    PenMode(3);
    TextMode(kTextTransparent);
    FrameRect({0, 0, 4, 4});  // draws nowhere
    SetPort(dc());
    PenPat(5);
    PenPat(0);  // a solid brush in the remembered fore colour
    PaintRectPolygon({0, 0, 4, 4});
    EXPECT_EQ(Pixel(1, 1), kBlack);
    PenState state;
    GetPenState(&state);
    EXPECT_EQ(state.mode, kPenCopy);
    EXPECT_EQ(GetROP2(dc()), R2_COPYPEN);
    EXPECT_EQ(GetBkMode(dc()), OPAQUE);
}

TEST_F(Primitives, EraseRectAndTextMode)
{
    RGBForeColor(kBlue48);
    PaintRectPolygon({0, 0, kSize, kSize});
    EraseRect({4, 4, 8, 6});
    ExpectPixels([](int32_t x, int32_t y) { return PortRect{4, 4, 8, 6}.Contains(x, y) ? kWhite : kBlue; });
    TextMode(kTextTransparent);
    EXPECT_EQ(GetBkMode(dc()), TRANSPARENT);
    TextMode(4);
    EXPECT_EQ(GetBkMode(dc()), OPAQUE);
}
