// The font number table and the font file's place.
#include "draw/font_faces.h"

#include "foundation/path_separators.h"

namespace {

constexpr uint8_t kAnsi = 0;
constexpr uint8_t kOem = 255;

struct NumberedFace {
    FontNumber number;
    FontFace face;
};

constexpr NumberedFace kFaces[] = {
    {1, {"MS Sans Serif", kAnsi}},
    {2, {"QMonaco", kOem}},
    {3, {"Courier", kOem}},
    {4, {"QTimes", kOem}},
    {5, {"MS Sans Serif", kAnsi}},
    {6, {"Chicago", kOem}},
    {7, {"MS Sans Serif", kAnsi}},
    {125, {"BtnFnt", kOem}},
    {126, {"VertFnt", kOem}},
};

}  // namespace

FontFace FaceForFontNumber(FontNumber number)
{
    for (const NumberedFace& entry : kFaces) {
        if (entry.number == number) return entry.face;
    }
    return kFaces[0].face;
}

std::string FontFilePathBeside(const std::string& modulePath)
{
    return modulePath.substr(0, PathNameOffset(modulePath.c_str(), modulePath.size())) + kFontFileName;
}
