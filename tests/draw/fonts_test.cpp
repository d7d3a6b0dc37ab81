// Fonts by number from the program's font file: faces, the cache, the button glyphs as drawn.
#include "draw/fonts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "draw/current_port.h"
#include "draw/primitives.h"
#include "tests/draw/draw_support.h"

namespace {

using Glyph = std::vector<std::string>;

// The glyphs of the button font's source, by character code.
std::map<int, Glyph> ButtonGlyphSource()
{
    std::ifstream in(QP_SOURCE_DIR "/resources/fonts/btnfnt.txt");
    std::map<int, Glyph> glyphs;
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 6, "glyph ") != 0) continue;
        Glyph& rows = glyphs[std::stoi(line.substr(6))];
        for (int i = 0; i < 16 && std::getline(in, line); ++i) rows.push_back(line);
    }
    return glyphs;
}

std::string FaceOf(HDC dc)
{
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    return face;
}

class Fonts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { LoadFontFile(GetModuleHandleA(nullptr)); }
    static void TearDownTestSuite() { UnloadFontFile(); }

    void SetUp() override
    {
        offscreen_ = MakeOffscreen(48, 24, 32, &kWhite);
        IgnoreResult(offscreen_->Lock());  // the current port, with the system font selected
        RGBForeColor({0, 0, 0});
        TextMode(kTextTransparent);
    }
    void TearDown() override
    {
        SetPort(dc());
        offscreen_->Unlock();
    }

    HDC dc() const { return offscreen_->PortDC(); }
    uint32_t Pixel(int32_t x, int32_t y) const { return Pixel32(offscreen_.get(), x, y); }
    void Erase() const { EraseRect({0, 0, 48, 24}); }

    // The 16 x 16 cell at (left, top) as rows of '#' (black) and '.'.
    Glyph Cell(int32_t left, int32_t top) const
    {
        Glyph rows;
        for (int32_t y = top; y < top + 16; ++y) {
            std::string row;
            for (int32_t x = left; x < left + 16; ++x) row += Pixel(x, y) == 0 ? '#' : '.';
            rows.push_back(row);
        }
        return rows;
    }

    static constexpr RGBColor48 kWhite = {0xFFFF, 0xFFFF, 0xFFFF};
    TestScreen screen_{32};
    Owned<Q_Offscreen> offscreen_;
};

}  // namespace

TEST_F(Fonts, FontFileBesideTheProgramLoads)
{
    EXPECT_EQ(FontFileLoaded(), 1);
}

TEST_F(Fonts, EveryNumberThatTheProgramUsesGetsItsFace)
{
    const std::pair<FontNumber, const char*> faces[] = {
        {1, "MS Sans Serif"}, {5, "MS Sans Serif"}, {7, "MS Sans Serif"}, {125, "BtnFnt"}};
    for (const auto& [number, face] : faces) {
        for (int32_t style : {0, kFontBold}) {
            UseTextFont(number, number == 125 ? 16 : 10, style);
            EXPECT_EQ(FaceOf(dc()), face) << number;
        }
    }
    EXPECT_EQ(GetFont(kSystemFontNumber, 12, 0), GetStockObject(SYSTEM_FONT));
}

TEST_F(Fonts, ButtonGlyphsMeasureSixteenBySixteen)
{
    UseTextFont(kButtonFontNumber, 16, 0);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc(), &metrics);
    EXPECT_EQ(metrics.tmCharSet, OEM_CHARSET);
    EXPECT_EQ(metrics.tmHeight, 16);
    for (const auto& [code, rows] : ButtonGlyphSource()) {
        const char character = char(code);
        SIZE size{};
        GetTextExtentPoint32A(dc(), &character, 1, &size);
        EXPECT_EQ(size.cx, 16) << code;
        EXPECT_EQ(size.cy, 16) << code;
        INT width = 0;
        GetCharWidthA(dc(), UINT(code), UINT(code), &width);
        EXPECT_EQ(width, 16) << code;
    }
}

TEST_F(Fonts, ButtonGlyphsDrawAsTheirSourceShowsThem)
{
    const std::map<int, Glyph> glyphs = ButtonGlyphSource();
    const int expectedCodes[] = {160, 162, 164, 166, 168, 170, 196, 206, 208, 210};
    ASSERT_EQ(glyphs.size(), std::size(expectedCodes));
    UseTextFont(kButtonFontNumber, 16, 0);
    for (int code : expectedCodes) {
        ASSERT_EQ(glyphs.count(code), 1u) << code;
        Erase();
        DrawChar(char(code), {5, 3});
        EXPECT_EQ(Cell(5, 3), glyphs.at(code)) << code;
    }
}

TEST_F(Fonts, ClippedTextStopsAtTheRectangle)
{
    UseTextFont(kButtonFontNumber, 16, 0);
    const char stops[] = "\xD0\xD0";
    DrawTextClipped(stops, 0, 2, {0, 0, 20, 16});
    // The second stop glyph starts at x 16 with its square from x 19: only column 19 shows.
    for (int32_t y = 0; y < 24; ++y) {
        for (int32_t x = 0; x < 48; ++x) {
            const bool first = x >= 3 && x <= 12 && y >= 3 && y <= 12;
            const bool second = x == 19 && y >= 3 && y <= 12;
            ASSERT_EQ(Pixel(x, y), first || second ? 0u : 0xFFFFFFu) << x << ", " << y;
        }
    }
    Erase();
    DrawTextAt(stops, 1, 1, {30, 2});
    EXPECT_EQ(Cell(30, 2), ButtonGlyphSource().at(208));
}

TEST_F(Fonts, CacheMakesEachTripleOnce)
{
    HFONT bold12 = GetFont(1, 12, kFontBold);
    ASSERT_NE(bold12, nullptr);
    EXPECT_EQ(GetFont(1, 12, kFontBold), bold12);
    HFONT other = GetFont(5, 12, kFontBold);  // another number, the same face: another font
    EXPECT_NE(other, bold12);
    EXPECT_NE(GetFont(1, 12, 0), bold12);
    EXPECT_NE(GetFont(1, 13, kFontBold), bold12);
    EXPECT_EQ(GetFont(1, 12, kFontBold), bold12);  // found in the cache, not as the last one
    EXPECT_EQ(GetFont(5, 12, kFontBold), other);
}

TEST_F(Fonts, StyleBitsMakeBoldItalicAndUnderlinedFonts)
{
    struct Case {
        int32_t style;
        LONG weight;
        BYTE italic;
        BYTE underlined;
    };
    for (const Case& c : {Case{0, FW_NORMAL, 0, 0}, Case{kFontBold, FW_BOLD, 0, 0}, Case{kFontItalic, FW_NORMAL, 1, 0},
                          Case{kFontUnderline, FW_NORMAL, 0, 1}}) {
        LOGFONTA font{};
        GetObjectA(GetFont(7, 14, c.style), sizeof(font), &font);
        EXPECT_EQ(font.lfHeight, -14);
        EXPECT_EQ(font.lfWeight, c.style & kFontBold ? FW_BOLD : 0) << c.style;
        EXPECT_EQ(font.lfItalic, c.italic) << c.style;
        EXPECT_EQ(font.lfUnderline, c.underlined) << c.style;
        EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
        SelectObject(dc(), GetFont(7, 14, c.style));
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc(), &metrics);
        EXPECT_EQ(metrics.tmWeight, c.weight) << c.style;
        EXPECT_EQ(metrics.tmUnderlined != 0, c.underlined != 0) << c.style;
    }
}

TEST_F(Fonts, TextWidthMeasuresInTheScreensFontNotThePorts)
{
    UseTextFont(kButtonFontNumber, 16, 0);
    const char text[] = "xx\xD0\xD0\xD0";
    HDC screen = GetDC(nullptr);
    SIZE expected{};
    GetTextExtentPoint32A(screen, text + 2, 3, &expected);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(TextWidth(text, 2, 3), expected.cx);
    EXPECT_NE(TextWidth(text, 2, 3), 48);
}
