// The faces behind the font numbers, and where the program's font file lies.
#pragma once

#include <cstdint>
#include <string>

using FontNumber = int16_t;

// Style bits of a font request.
constexpr int32_t kFontBold = 1;
constexpr int32_t kFontItalic = 2;
constexpr int32_t kFontUnderline = 4;

constexpr FontNumber kSystemFontNumber = 0;  // the stock system font; no font is made
constexpr FontNumber kButtonFontNumber = 125;

struct FontFace {
    const char* face;
    uint8_t charset;  // 0 ANSI_CHARSET, 255 OEM_CHARSET
};

// The face and character set of a font number; numbers outside the table get the program's
// usual face, "MS Sans Serif".
FontFace FaceForFontNumber(FontNumber number);

constexpr const char kFontFileName[] = "QPLAYX.FON";

// The font file's path: the module path cut back to its last backslash, the file name appended
// (just the file name when the module path has no folder).
std::string FontFilePathBeside(const std::string& modulePath);
