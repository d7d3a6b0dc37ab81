// The face drawing front end: every face reaches the pixels here. It turns the face's vertices
// into a device point list, counts the face, records its identity for picking, and hands it to
// the system's polygon calls (a region without rows) or to the polygon routines of the published
// raster target's pixel format (a region with rows), clipped when the region holds a clip shape.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"
#include "foundation/rgb_color.h"
#include "raster/device_point_list.h"
#include "render/screen_bins.h"

class DynamicArray;
class ModelObject;
class ObjectGeometry;
class PolygonElement;
class SpanRegion;

// Options of a face.
constexpr int32_t kFaceFrame = 4;
constexpr int32_t kFaceFill = 8;
constexpr int32_t kFaceMatchColours = 16;

// Per-vertex intensities (16.16 shade levels, one per corner) and the colour whose ramp they
// pick from.
struct FaceShadeRecord {
    const DynamicArray* values;
    uint8_t rampByte;
};

// The face being drawn: its object and geometry record, the polygon element (null for a face of
// the object itself), the face number (-1 for the background) and the side (0 or 2; -1).
struct FaceIdentity {
    ModelObject* object;
    ObjectGeometry* geometry;
    const PolygonElement* element;
    int32_t face;
    int32_t side;
};

constexpr FaceIdentity kEmptyFaceIdentity = {nullptr, nullptr, nullptr, -1, -1};

// The order flag: non-zero walks the vertices in stored order, zero in reverse. Colours may be
// null. Returns the drawing routine's result (1 when anything was drawn).
int32_t DrawPolygonFace(SpanRegion* region, const DynamicArray* vertices, int32_t options, const FaceShadeRecord* shade,
                        int32_t pattern, int32_t framePattern, const RGBColor48* fill, const RGBColor48* frame,
                        int32_t order, const FaceIdentity* identity);
int32_t DrawIndexedPolygonFace(SpanRegion* region, const DynamicArray* vertices, const DynamicArray* indices,
                               int32_t options, const FaceShadeRecord* shade, int32_t pattern, int32_t framePattern,
                               const RGBColor48* fill, const RGBColor48* frame, int32_t order,
                               const FaceIdentity* identity);
// Through the system's polygon calls only, filled with the WINDING rule.
int32_t DrawPolygonFaceWinding(SpanRegion* region, const DynamicArray* vertices, int32_t options, int32_t unused,
                               const FaceShadeRecord* shade, int32_t pattern, int32_t framePattern,
                               const RGBColor48* fill, const RGBColor48* frame, int32_t order,
                               const FaceIdentity* identity);

// The number of faces drawn so far, through either path (it wraps).
uint32_t FacesDrawn();

// Counting of the faces drawn, textured ones included, and of the pixels they cover (each face's
// device polygon cut to the published target's bounds and to its region's clip shape), for the
// renderer's benchmark; off unless switched on, and cleared when switched.
void SetFaceAreaCounting(int32_t on);
uint64_t FaceAreaDrawn();
uint64_t FacesCounted();
// Spends a face about to be drawn on the frame's budget: the pixels of the box of its points
// within the region and its rows, each at `rowPixels` more (what a row costs its fill, of
// frame_budget.h), the pixels of its frame's lines when it is `framed`, and its corners cut to the
// region's (unless `cornersSpent`, its cut made beforehand); false when it is not to be drawn, the
// frame having stopped. Every face drawn spends
// here, through the two entries or (a textured side) directly, and is counted for the benchmark
// meanwhile.
bool SpendOnFace(const DevicePointList* points, const SpanRegion* region, bool framed, int64_t rowPixels,
                 bool cornersSpent = false);
// Whether the box of device pixels (from left to right and top to bottom, both ends included)
// meets the bounds of the region's shape; true for a region without one.
bool BoxMeetsRegion(int64_t left, int64_t top, int64_t right, int64_t bottom, const SpanRegion* region);
// The pixels of the box of the region's shape; for a region without one, as many as any view has.
int64_t RegionBoxPixels(const SpanRegion* region);
// The box, right and bottom excluded, of the boxes that meet the region: a box of device pixels
// (right and bottom excluded) meets it just where BoxMeetsRegion finds it to meet the region's
// bounds. False for a region without one.
bool RegionReach(const SpanRegion* region, PixelRect* box);
// Whether the polygon may reach into the region: false when its box, widened by the slack of the
// fillers' edges and the frame lines along them, lies wholly outside the region's bounds (nothing
// of it would be drawn there).
bool PolygonMeetsRegion(const DevicePointList* points, const SpanRegion* region);
// The region cut by the polygon (SpanRegionIntersectPolygon), its cut spent on the frame's
// budget beforehand; null when nothing is left, or when the frame has stopped.
SpanRegion* CutRegion(SpanRegion* region, const DevicePointList* points);

// The rows a new region gets: the published target's height while faces are drawn straight into
// its pixels (direct pixel drawing on, the system's calls not forced, no pick in progress, and the
// target has a rasterizer set), else 0.
int32_t DirectDrawingRows();

// Start-up and exit of the front end's work objects: the work region, the rectangle and device
// point lists, the outline list and the clipper's lists. Start-up also installs the region row
// query; both are also reached through the drawing layer's region work services.
ResultCode PolyRgnStartup();
void PolyRgnShutdown();
void InstallRendererRegionWork();
