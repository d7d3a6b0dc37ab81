// Moving rectangles into bounds and beside an anchor.
#include "toolkit/rect_placement.h"

namespace {

void OffsetRect(PortRect* rect, int32_t dx, int32_t dy)
{
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
}

}  // namespace

void ConstrainRectInside(PortRect* rect, const PortRect& bounds)
{
    if (rect->top < bounds.top) OffsetRect(rect, 0, bounds.top - rect->top);
    if (rect->bottom > bounds.bottom) OffsetRect(rect, 0, bounds.bottom - rect->bottom);
    if (rect->left < bounds.left) OffsetRect(rect, bounds.left - rect->left, 0);
    if (rect->right > bounds.right) OffsetRect(rect, bounds.right - rect->right, 0);
}

void PlaceRectBeside(PortRect* rect, const PortRect& bounds, const PortRect& anchor)
{
    const PortRect right = {anchor.right + 1, bounds.top, bounds.right, bounds.bottom};
    const PortRect left = {bounds.left, bounds.top, anchor.left - 1, bounds.bottom};
    const PortRect below = {bounds.left, anchor.bottom + 1, bounds.right, bounds.bottom};
    const PortRect above = {bounds.left, bounds.top, bounds.right, anchor.top - 1};
    const PortRect* space = &bounds;
    if (right.Width() > rect->Width())
        space = &right;
    else if (left.Width() > rect->Width())
        space = &left;
    else if (below.Height() > rect->Height())
        space = &below;
    else if (above.Height() > rect->Height())
        space = &above;
    ConstrainRectInside(rect, *space);
}
