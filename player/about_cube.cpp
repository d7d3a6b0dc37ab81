// The about box's cube: its corners, normals and light as the cube turns.
#include "player/about_cube.h"

#include <algorithm>

#include "render/sine_tables.h"

namespace {

constexpr int32_t kHalfEdge = 64;
constexpr int32_t kNormalLength = 256;
// The square's corners, as both caps hold them.
constexpr AboutCube::Point kSquare[AboutCube::kCornerCount] = {
    {-kHalfEdge, -kHalfEdge}, {-kHalfEdge, kHalfEdge}, {kHalfEdge, kHalfEdge}, {kHalfEdge, -kHalfEdge}};
// The normals of the unturned faces: the sides along the horizontal axes, the caps along the
// vertical axis (the top towards +z).
constexpr AboutCube::Vector kNormals[AboutCube::kFaceCount] = {
    {-kNormalLength, 0, 0}, {0, kNormalLength, 0}, {kNormalLength, 0, 0}, {0, -kNormalLength, 0},
    {0, 0, -kNormalLength}, {0, 0, kNormalLength}};
// Where the light comes from: left, above and in front.
constexpr AboutCube::Vector kLight = {-60, 110, -220};

constexpr int32_t kQ15Shift = 15;
constexpr int32_t kAngleMask = 255;
constexpr int32_t kQuarterTurn = 64;

constexpr int32_t kDarkestLevel = 27;
constexpr int32_t kIntensityShift = 11;

int32_t Sine(int32_t angle)
{
    return SineTableQ15[angle & kAngleMask];
}

int32_t Cosine(int32_t angle)
{
    return SineTableQ15[(angle + kQuarterTurn) & kAngleMask];
}

// The value times a Q15 factor, shifted arithmetically.
int32_t Scaled(int32_t value, int32_t factor)
{
    return (value * factor) >> kQ15Shift;
}

// The turn about the vertical axis: (x, y) in the horizontal plane.
AboutCube::Point Turned(int32_t x, int32_t y, int32_t turn)
{
    return {Scaled(x, Cosine(turn)) + Scaled(y, Sine(turn)), Scaled(y, Cosine(turn)) - Scaled(x, Sine(turn))};
}

}  // namespace

AboutCube::AboutCube()
{
    std::copy(kSquare, kSquare + kCornerCount, top_);
    std::copy(kSquare, kSquare + kCornerCount, bottom_);
    std::copy(kNormals, kNormals + kFaceCount, normals_);
}

void AboutCube::Turn(int32_t turn, int32_t tip)
{
    const int32_t cosine = Cosine(tip);
    const int32_t sine = Sine(tip);
    for (int32_t i = 0; i < kCornerCount; ++i) {
        const Point p = Turned(kSquare[i].x, kSquare[i].y, turn);
        top_[i] = {Scaled(p.x, cosine) - Scaled(kHalfEdge, sine), p.y};
        bottom_[i] = {Scaled(p.x, cosine) - Scaled(-kHalfEdge, sine), p.y};
    }
    for (int32_t f = 0; f < kFaceCount; ++f) {
        const Vector& n = kNormals[f];
        const Point p = Turned(n.x, n.y, turn);
        normals_[f] = {Scaled(p.x, cosine) - Scaled(n.z, sine), p.y, Scaled(p.x, sine) + Scaled(n.z, cosine)};
    }
}

void AboutCube::FaceCorners(int32_t face, Point corners[kCornerCount]) const
{
    if (face < kSideCount) {
        const int32_t next = (face + 1) % kSideCount;
        corners[0] = top_[face];
        corners[1] = top_[next];
        corners[2] = bottom_[next];
        corners[3] = bottom_[face];
    } else if (face == kBottomCap) {
        std::copy(bottom_, bottom_ + kCornerCount, corners);
    } else {
        std::reverse_copy(top_, top_ + kCornerCount, corners);
    }
}

bool AboutCube::FacesViewer(int32_t face) const
{
    Point corners[kCornerCount];
    FaceCorners(face, corners);
    // Twice the signed area with y up: negative runs clockwise.
    int64_t twice = 0;
    for (int32_t i = 0; i < kCornerCount; ++i) {
        const Point& a = corners[i];
        const Point& b = corners[(i + 1) % kCornerCount];
        twice += int64_t(a.x) * b.y - int64_t(b.x) * a.y;
    }
    return twice < 0;
}

int32_t AboutCube::Intensity(int32_t face) const
{
    const Vector& n = normals_[face];
    return std::max(0, n.x * kLight.x + n.y * kLight.y + n.z * kLight.z);
}

AboutCube::Point AboutCube::TexturePoint(int32_t face, int32_t corner)
{
    // The square corner the face's corner stands on, in the order FaceCorners walks them.
    const int32_t square = face == kTopCap ? kCornerCount - 1 - corner : corner;
    const int32_t half = kPictureSize / 2;
    return {half + kSquare[square].x, half - kSquare[square].y};
}

int32_t AboutShadeLevel(int32_t intensity)
{
    return std::clamp(kDarkestLevel - (intensity >> kIntensityShift), 0, kDarkestLevel);
}
