// The small figures of the toolkit in exact pixels, and texts cut to a width or centred in a
// rectangle by their extent in the current port's font.
#include "toolkit/drawing_marks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/toolkit/panel_fixture.h"
#include "toolkit/text_fitting.h"

namespace {

using Points = std::vector<std::array<int32_t, 2>>;

// The pixels of horizontal runs, each (y, first x, last x), in rows.
Points Runs(std::initializer_list<std::array<int32_t, 3>> runs)
{
    Points points;
    for (const auto& run : runs)
        for (int32_t x = run[1]; x <= run[2]; ++x) points.push_back({x, run[0]});
    std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) {
        return a[1] != b[1] ? a[1] < b[1] : a[0] < b[0];
    });
    return points;
}

int32_t Extent(HDC dc, const std::string& text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    return size.cx;
}

}  // namespace

TEST(DrawingMarks, StrokesAndTheDownAndRightMarks)
{
    {
        PixelPort port(30, 30);
        DrawStroke(5, 6, 5, 6);
        DrawStroke(9, 2, 7, 2);
        DrawStroke(20, 9, 20, 7);
        EXPECT_EQ(port.Inked(), (Points{{7, 2}, {8, 2}, {9, 2}, {5, 6}, {20, 7}, {20, 8}, {20, 9}}));
    }
    {
        PixelPort port(30, 30);
        DownMark({0, 0, 20, 20});
        EXPECT_EQ(port.Inked(), Runs({{14, 11, 17}, {15, 12, 16}, {16, 13, 15}, {17, 14, 14}}));
    }
    {
        PixelPort port(30, 30);
        RightMark({0, 0, 20, 20});
        Points expected;
        for (int32_t y = 2; y <= 8; ++y) {
            if (y >= 2 && y <= 8) expected.push_back({13, y});
            if (y >= 3 && y <= 7) expected.push_back({14, y});
            if (y >= 4 && y <= 6) expected.push_back({15, y});
            if (y == 5) expected.push_back({16, y});
        }
        EXPECT_EQ(port.Inked(), expected);
    }
}

TEST(DrawingMarks, OutlinesBoxesPolygonsAndTheSpinGlyph)
{
    {
        PixelPort port(30, 30);
        FrameBetweenPoints(12, 8, 2, 3);
        EXPECT_EQ(port.Inked().size(), 30u);
        EXPECT_NE(port.Pixel(2, 3), 0xFFFFFFu);
        EXPECT_NE(port.Pixel(12, 8), 0xFFFFFFu);
        EXPECT_EQ(port.Pixel(7, 5), 0xFFFFFFu);
    }
    {
        PixelPort port(30, 30);
        ShadowBox({2, 2, 12, 10});
        EXPECT_EQ(port.Pixel(2, 2), 0u);
        EXPECT_EQ((std::array<uint32_t, 4>{port.Pixel(4, 10), port.Pixel(12, 10), port.Pixel(12, 4), port.Pixel(3, 10)}),
                  (std::array<uint32_t, 4>{0, 0, 0, 0xFFFFFF}));
        EXPECT_EQ(port.Pixel(12, 3), 0xFFFFFFu);
    }
    {
        PixelPort port(40, 40);
        DrawRegularPolygon(0, 20, 20, 10, 0, 0);
        EXPECT_TRUE(port.Inked().empty());
        DrawRegularPolygon(4, 20, 20, 10, 0, 0);
        EXPECT_EQ((std::array<uint32_t, 3>{port.Pixel(20, 10), port.Pixel(10, 20), port.Pixel(15, 15)}),
                  (std::array<uint32_t, 3>{0, 0, 0}));
        EXPECT_EQ(port.Pixel(20, 20), 0xFFFFFFu);
    }
    {
        PixelPort port(30, 30);
        SpinGlyph({0, 0, 21, 14});
        EXPECT_EQ(port.Pixel(0, 0), 0xFFFFFFu) << "cut corner";
        EXPECT_EQ((std::array<uint32_t, 5>{port.Pixel(1, 0), port.Pixel(20, 5), port.Pixel(10, 2), port.Pixel(10, 10),
                                           port.Pixel(8, 4)}),
                  (std::array<uint32_t, 5>{0, 0, 0, 0, 0}));
        EXPECT_EQ(port.Pixel(9, 2), 0xFFFFFFu) << "the arrow's tip";
    }
}

TEST(TextFitting, TextsCutToAWidthAndCentredInARectangle)
{
    PixelPort port(10, 10);
    const std::string text = "Walk through the model";
    char fits[64];
    std::snprintf(fits, sizeof fits, "%s", text.c_str());
    CutTextToWidth(fits, sizeof fits, Extent(port.dc(), text));
    EXPECT_EQ(std::string(fits), text) << "a text that fits keeps its end";

    const int32_t width = Extent(port.dc(), "Walk thr...");
    std::string expected = "...";
    for (size_t kept = text.size() - 1; kept > 0; --kept) {
        if (Extent(port.dc(), text.substr(0, kept) + "...") <= width) {
            expected = text.substr(0, kept) + "...";
            break;
        }
    }
    char cut[64];
    std::snprintf(cut, sizeof cut, "%s", text.c_str());
    CutTextToWidth(cut, sizeof cut, width);
    EXPECT_EQ(std::string(cut), expected);
    std::snprintf(cut, sizeof cut, "%s", text.c_str());
    CutTextToWidth(cut, sizeof cut, 0);
    EXPECT_EQ(std::string(cut), "...");
    // Long texts: at most 252 characters and the mark, within the caller's buffer.
    std::string longText(400, 'w');
    std::vector<char> buffer(longText.begin(), longText.end());
    buffer.push_back(0);
    CutTextToWidth(buffer.data(), buffer.size(), Extent(port.dc(), std::string(100, 'w')));
    EXPECT_EQ(std::string(buffer.data()).substr(std::strlen(buffer.data()) - 3), "...");
    EXPECT_LE(std::strlen(buffer.data()), kLongestCutText + 3);
    char small[5] = "Walk";
    CutTextToWidth(small, sizeof small, 1);
    EXPECT_STREQ(small, "...");

    SIZE size;
    GetTextExtentPoint32A(port.dc(), "Walk", 4, &size);
    PortRect centred;
    EXPECT_EQ(CentreTextInRect("Walk", {10, 10, 10 + size.cx + 20, 10 + size.cy + 10}, &centred), kTextFits);
    EXPECT_EQ((std::array<int32_t, 4>{centred.left, centred.top, centred.right, centred.bottom}),
              (std::array<int32_t, 4>{20, 15, 20 + size.cx, 15 + size.cy}));
    EXPECT_EQ(CentreTextInRect("Walk", {0, 0, size.cx - 1, size.cy + 4}, &centred), kTextTooWide);
    EXPECT_EQ(centred.Width(), size.cx - 1);
    EXPECT_EQ(CentreTextInRect("Walk", {0, 0, size.cx - 1, size.cy - 1}, &centred), kTextTooTall);
}
