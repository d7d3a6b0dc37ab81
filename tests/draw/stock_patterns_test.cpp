// The stock patterns, the dot pattern and the font table and font file place.
#include "draw/stock_patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/font_faces.h"

namespace {

std::vector<uint16_t> Rows(StockPatternIndex index)
{
    const uint16_t* rows = StockPatternRows(index);
    return rows ? std::vector<uint16_t>(rows, rows + 8) : std::vector<uint16_t>();
}

}  // namespace

TEST(StockPatterns, TableAndIndexRange)
{
    EXPECT_EQ(Rows(1), std::vector<uint16_t>(8, 0x00));
    EXPECT_EQ(Rows(2), (std::vector<uint16_t>{0xFF, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF, 0x55}));
    EXPECT_EQ(Rows(3), (std::vector<uint16_t>{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}));
    EXPECT_EQ(Rows(4), (std::vector<uint16_t>{0x00, 0x55, 0x00, 0x55, 0x00, 0x55, 0x00, 0x55}));
    EXPECT_EQ(Rows(5), std::vector<uint16_t>(8, 0xFF));
    EXPECT_EQ(StockPatternRows(0), nullptr);
    EXPECT_EQ(StockPatternRows(7), nullptr);
    EXPECT_EQ(StockPatternRows(-1), nullptr);
}

TEST(StockPatterns, DotPatternPutsOneDotPerCall)
{
    EXPECT_EQ(MakeDotPattern(3, 0), 0xF7);
    EXPECT_EQ(Rows(6), (std::vector<uint16_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF7}));
    EXPECT_EQ(MakeDotPattern(8 + 0, 16 + 7), 0xFE);  // only the low three bits count
    EXPECT_EQ(Rows(6), (std::vector<uint16_t>{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(MakeDotPattern(-1, -1), 0x7F);         // x AND 7 = 7, row 7 - 7 = 0
    EXPECT_EQ(Rows(6)[0], 0x7F);
}

TEST(FontFaces, NumbersNameTheirFacesAndCharacterSets)
{
    for (FontNumber number : {1, 5, 7}) {
        EXPECT_STREQ(FaceForFontNumber(number).face, "MS Sans Serif");
        EXPECT_EQ(FaceForFontNumber(number).charset, 0);
    }
    EXPECT_STREQ(FaceForFontNumber(125).face, "BtnFnt");
    EXPECT_EQ(FaceForFontNumber(125).charset, 255);
    EXPECT_STREQ(FaceForFontNumber(126).face, "VertFnt");
    EXPECT_STREQ(FaceForFontNumber(3).face, "Courier");
    EXPECT_EQ(FaceForFontNumber(3).charset, 255);
    EXPECT_STREQ(FaceForFontNumber(99).face, "MS Sans Serif");
}

TEST(FontFaces, FontFileLiesBesideTheModuleWhateverThePathLength)
{
    EXPECT_EQ(FontFilePathBeside("C:\\Program Files\\Player\\qplayer.exe"), "C:\\Program Files\\Player\\QPLAYX.FON");
    EXPECT_EQ(FontFilePathBeside("qplayer.exe"), "QPLAYX.FON");
    EXPECT_EQ(FontFilePathBeside("/opt/player/qplayer.exe"), "/opt/player/QPLAYX.FON");
    EXPECT_EQ(FontFilePathBeside(""), "QPLAYX.FON");
    const std::string deep = "D:\\" + std::string(300, 'd') + "\\" + std::string(40, 'e') + "\\";
    EXPECT_EQ(FontFilePathBeside(deep + "qplayer.exe"), deep + "QPLAYX.FON");
}
