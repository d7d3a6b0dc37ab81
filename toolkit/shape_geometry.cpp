// Rectangles around points, circles of points, turned rectangles, dragged corners and the side
// test of two triangles.
#include "toolkit/shape_geometry.h"

#include <algorithm>
#include <cmath>

#include "foundation/dynamic_array.h"

namespace {

// How far ClampRectAround lets the rectangle reach from the point.
constexpr int32_t kClampReach = 8;
constexpr double kTwoPi = 6.283185307179586;
// The turned rectangle keeps the constants it was drawn with.
constexpr double kRotationHalfPi = 1.570196;
constexpr double kRotationTwoPi = 6.283185;
constexpr int32_t kCornerCount = 4;

int32_t Clamped(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A side code that counts as left of or on the line.
bool LeftOrOn(PointSideCode side)
{
    return side != kSideRight;
}

bool RightOrOn(PointSideCode side)
{
    return side != kSideLeft;
}

}  // namespace

void ClampRectAround(PortRect* rect, int32_t x, int32_t y)
{
    rect->left = std::max<int64_t>(rect->left, int64_t(x) - kClampReach);
    rect->right = std::min<int64_t>(rect->right, int64_t(x) + kClampReach);
    rect->top = std::max<int64_t>(rect->top, int64_t(y) - kClampReach);
    rect->bottom = std::min<int64_t>(rect->bottom, int64_t(y) + kClampReach);
}

void RectFromPoints(PortRect* rect, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    *rect = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

Fixed CirclePoints(DynamicArray* points, Fixed centreX, Fixed centreY, Fixed pointX, Fixed pointY, int32_t count)
{
    const double dx = Fix2X(pointX) - Fix2X(centreX);
    const double dy = Fix2X(pointY) - Fix2X(centreY);
    const double start = dx == 0 && dy == 0 ? 0 : std::atan2(dy, dx);
    const double radius = std::hypot(dx, dy);
    if (!points || points->ElementSize() != int32_t(sizeof(FixedPoint))) return X2Fix(start);
    IgnoreResult(points->ArraySetCount(0));
    for (int32_t k = 0; k < count; ++k) {
        const double angle = start - k * kTwoPi / count;
        const FixedPoint point = {X2Fix(Fix2X(centreX) + radius * std::cos(angle)),
                                  X2Fix(Fix2X(centreY) + radius * std::sin(angle))};
        if (points->Append(&point) < 0) break;
    }
    return X2Fix(start);
}

void RotatedRectCorners(IntPoint corners[4], int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t offsetX, int32_t offsetY, Fixed angle, int32_t mode)
{
    int64_t moveX = (mode & kRotatedNoXOffset) ? 0 : offsetX;
    int64_t moveY = (mode & kRotatedNoYOffset) ? 0 : offsetY;
    if (mode & kRotatedAtOffset) {
        moveX = int64_t(offsetX) - x;
        moveY = int64_t(offsetY) - y;
    }
    // Each corner as its steps along the width and the height from the first one.
    const double widthSteps[kCornerCount] = {0, double(width), double(width), 0};
    const double heightSteps[kCornerCount] = {0, 0, double(height), double(height)};
    double sine = 0;
    double cosine = 1;
    if (angle != 0) {
        const double turn = std::fmod(Fix2X(angle), kRotationTwoPi);
        sine = std::sin(turn);
        cosine = std::sin(turn + kRotationHalfPi);
    }
    const double keepWidth = (mode & kRotatedHeightOnly) ? 0 : 1;
    for (int32_t i = 0; i < kCornerCount; ++i) {
        const double u = widthSteps[i] * keepWidth;
        const double v = heightSteps[i];
        const double turnedX = u * cosine - v * sine;
        const double turnedY = u * sine + v * cosine;
        corners[i] = {Clamped(x + moveX + std::llround(turnedX)), Clamped(y + moveY + std::llround(turnedY))};
    }
}

void MoveQuadCorner(FixedPoint corners[4], Fixed dx, Fixed dy, int32_t corner, int32_t handleKind,
                    int32_t constrain)
{
    if (corner < 0 || corner >= kCornerCount) return;
    const bool reversed = handleKind >= kReversedHandleFirst && handleKind <= kReversedHandleLast;
    const bool previousIsVertical = ((corner & 1) == 0) != reversed;
    const int32_t previous = (corner + kCornerCount - 1) % kCornerCount;
    const int32_t next = (corner + 1) % kCornerCount;
    const int32_t vertical = previousIsVertical ? previous : next;
    const int32_t horizontal = previousIsVertical ? next : previous;
    if (constrain && previousIsVertical) dy = 0;
    if (constrain && !previousIsVertical) dx = 0;
    corners[corner].x = FixAdd(corners[corner].x, dx);
    corners[corner].y = FixAdd(corners[corner].y, dy);
    corners[vertical].x = FixAdd(corners[vertical].x, dx);
    corners[horizontal].y = FixAdd(corners[horizontal].y, dy);
}

int32_t TrianglesSameSide(const IntPoint (&first)[3], const IntPoint (&second)[3])
{
    for (int32_t edge = 0; edge < 3; ++edge) {
        const IntPoint& a = first[edge];
        const IntPoint& b = first[(edge + 1) % 3];
        bool allLeft = true;
        bool allRight = true;
        for (const IntPoint& p : second) {
            const PointSideCode side = PointSide(p.x, p.y, a.x, a.y, b.x, b.y);
            allLeft = allLeft && LeftOrOn(side);
            allRight = allRight && RightOrOn(side);
        }
        if (!allLeft && !allRight) return 0;
    }
    return 1;
}
