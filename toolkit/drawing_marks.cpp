// Strokes, outlines, polygons and the small marks of the toolkit, drawn with the current pen.
#include "toolkit/drawing_marks.h"

#include "draw/shapes.h"
#include "foundation/dynamic_array.h"
#include "toolkit/degree_trig.h"
#include "toolkit/shape_geometry.h"

namespace {

constexpr int32_t kHalfTurn = 180;
// The oval round a polygon's first vertex is this many pixels from it on every side.
constexpr int32_t kFirstVertexMark = 3;
constexpr int32_t kShadowInset = 2;
constexpr int32_t kSpinTop = 2;
constexpr int32_t kSpinBottom = 10;
// The rows of the spin arrow's heads: half widths from the tip inwards.
constexpr int32_t kSpinHeadRows = 3;

int32_t StepToward(int32_t from, int32_t to)
{
    return to < from ? -1 : 1;
}

void OutlineThrough(const IntPoint* points, int32_t count)
{
    MoveTo(points[0].x, points[0].y);
    for (int32_t i = 1; i < count; ++i) LineTo(points[i].x, points[i].y);
    LineTo(points[0].x, points[0].y);
}

}  // namespace

void DrawStroke(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    MoveTo(x1, y1);
    // A line leaves its end point undrawn: it goes one pixel further.
    if (y1 == y2 && x1 != x2)
        LineTo(x2 + StepToward(x1, x2), y2);
    else
        LineTo(x2, y2 + StepToward(y1, y2));
}

void FrameBetweenPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    PortRect rect;
    RectFromPoints(&rect, x1, y1, x2, y2);
    MoveTo(rect.left, rect.top);
    LineTo(rect.right, rect.top);
    LineTo(rect.right, rect.bottom);
    LineTo(rect.left, rect.bottom);
    LineTo(rect.left, rect.top);
}

void DrawRegularPolygon(int32_t count, int32_t centreX, int32_t centreY, int32_t radius,
                        int32_t startDegrees, int32_t halfStep)
{
    if (count < 1) return;
    const int32_t start = halfStep ? startDegrees - kHalfTurn / count : startDegrees;
    DynamicArray* points = RegularPolygonPoints(count, centreX, centreY, radius, start);
    if (!points) return;
    const IntPoint* vertices = points->Elements<IntPoint>();
    OutlineThrough(vertices, points->ArrayCount());
    const IntPoint first = vertices[0];
    DrawOval({first.x - kFirstVertexMark, first.y - kFirstVertexMark, first.x + kFirstVertexMark,
              first.y + kFirstVertexMark});
    points->Destroy();
}

void RotatedRect(IntPoint corners[4], int32_t x, int32_t y, int32_t width, int32_t height, int32_t offsetX,
                 int32_t offsetY, Fixed angle, int32_t mode, int32_t draw)
{
    RotatedRectCorners(corners, x, y, width, height, offsetX, offsetY, angle, mode);
    if (draw) OutlineThrough(corners, 4);
}

void ShadowBox(const PortRect& rect)
{
    EraseRect(rect);
    FrameRect(rect);
    DrawStroke(rect.left + kShadowInset, rect.bottom, rect.right, rect.bottom);
    DrawStroke(rect.right, rect.bottom, rect.right, rect.top + kShadowInset);
}

void DownMark(const PortRect& rect)
{
    const int32_t r = rect.right;
    const int32_t b = rect.bottom;
    DrawStroke(r - 9, b - 6, r - 3, b - 6);
    DrawStroke(r - 8, b - 5, r - 4, b - 5);
    DrawStroke(r - 7, b - 4, r - 5, b - 4);
    DrawStroke(r - 6, b - 3, r - 6, b - 3);
}

void RightMark(const PortRect& rect)
{
    const int32_t r = rect.right;
    const int32_t t = rect.top;
    DrawStroke(r - 7, t + 2, r - 7, t + 8);
    DrawStroke(r - 6, t + 3, r - 6, t + 7);
    DrawStroke(r - 5, t + 4, r - 5, t + 6);
    DrawStroke(r - 4, t + 5, r - 4, t + 5);
}

void SpinGlyph(const PortRect& rect)
{
    const int32_t l = rect.left;
    const int32_t t = rect.top;
    const int32_t r = rect.right - 1;
    const int32_t b = rect.bottom - 1;
    DrawStroke(l + 1, t, r - 1, t);
    DrawStroke(r, t + 1, r, b - 1);
    DrawStroke(r - 1, b, l + 1, b);
    DrawStroke(l, b - 1, l, t + 1);
    // A shaft with a head at each end.
    const int32_t centre = (rect.left + rect.right) / 2;
    const int32_t top = t + kSpinTop;
    const int32_t bottom = t + kSpinBottom;
    DrawStroke(centre, top, centre, bottom);
    for (int32_t row = 1; row < kSpinHeadRows; ++row) {
        DrawStroke(centre - row, top + row, centre + row, top + row);
        DrawStroke(centre - row, bottom - row, centre + row, bottom - row);
    }
}
