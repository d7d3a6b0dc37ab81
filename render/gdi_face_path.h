// The GDI face path: a face drawn with the system's polygon calls into the current port, its
// device polygon first cut by the region's trapezoid form; and the pick test, which instead of
// drawing keeps the identity of the last face drawn under the pick point.
#pragma once

#include <cstdint>

#include "foundation/rgb_color.h"
#include "render/face_front_end.h"

class DynamicArray;
class SpanRegion;

// The pick state: on only inside PickFaceAt.
extern int32_t PickMode;
extern int32_t PickX;
extern int32_t PickY;
extern FaceIdentity PickCurrent;  // the face being drawn
extern FaceIdentity PickHit;      // the last face found under the point

// The outline list: the clipped outline of the face being drawn (8-byte points).
DynamicArray* GdiOutlineList();
void FreeGdiOutlineList();

// The outline DrawFaceGDI fills and frames for a face's device polygon in the region: the polygon
// cut by the region's trapezoid form where the region is clipped, the corners of the cut rounded
// to whole pixels, else the polygon itself; closed by repeating its first corner, in the outline
// list. Null when nothing is left.
const DynamicArray* SystemFaceOutline(SpanRegion* region, const DynamicArray* points);

// Draws (or, in pick mode, tests) one face, its device polygon `points` cut to the region as
// `outline` (SystemFaceOutline). Options: 8 fill, 4 frame; the pen mode (0 none) and the patterns
// (stock pattern indices, 0 none). 1 when drawn, 0 when the frame's budget refused it.
int32_t DrawFaceGDI(SpanRegion* region, const DynamicArray* points, const DynamicArray* outline, const RGBColor48* fill,
                    const RGBColor48* frame, int32_t options, int32_t penMode, int32_t fillPattern, int32_t framePattern);
// Polygon with a null pen (the current brush fills it), and Polyline, in the current port.
void FillDevicePolygon(const DynamicArray* points);
void FrameDevicePolygon(const DynamicArray* points);

// A view that can draw itself; PickFaceAt asks it for one frame.
class PickableView {
public:
    virtual ~PickableView() = default;
    virtual int32_t DrawView(int32_t a, int32_t kind, int32_t code, int32_t value) = 0;
};

// Draws the view once in pick mode at the port point (x, y) and hands back the identity of the
// frontmost face there (the empty identity when there is none); the view's result.
int32_t PickFaceAt(PickableView* view, int32_t x, int32_t y, FaceIdentity* identity);
