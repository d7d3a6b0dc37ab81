// Frame rendering: the frame, the walk over the registered records, the visibility cache and
// the flat faces with their colour rules.
#include <windows.h>

#include "render/frame_render.h"

#include <algorithm>
#include <vector>

#include "draw/pen_state.h"
#include "draw/q_offscreen.h"
#include "draw/raster_globals.h"
#include "draw/shapes.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "raster/span_region.h"
#include "render/device_points.h"
#include "render/draw_order.h"
#include "render/face_colours.h"
#include "render/face_front_end.h"
#include "render/face_layers.h"
#include "render/gdi_face_path.h"
#include "render/list_walks.h"
#include "render/observer.h"
#include "render/occlusion_mask.h"
#include "render/projection.h"
#include "render/record_prefetch.h"
#include "render/render_context.h"
#include "render/textured_side.h"
#include "textures/texture_record.h"

namespace {

constexpr int16_t kObjectsPerPoll = 25;
constexpr uint32_t kWaitCursorTicks = 29;  // 16 ms ticks before the wait cursor shows
constexpr int32_t kFaceOptions = kFaceFrame | kFaceFill | kFaceMatchColours;

// The screen box of a record is widened by this many pixels before it is looked up: the fillers'
// edges and the frame lines along them stay within it.
constexpr int32_t kBoxSlack = 2;
// How many places ahead a walk over a draw list reads the records' state.
constexpr int32_t kStateAhead = 16;

uint32_t Ticks()
{
    return GetTickCount() >> 4;
}

// The budget of the frame being drawn, in the context the renderer works in.
FrameBudget& Budget()
{
    return CurrentRenderContext().frameBudget;
}

// Counts the record; every 25 records polls for an interrupt and shows the wait cursor once the
// frame is slow. True when the frame is to stop here (the eye's own cell is always drawn).
bool FrameStops(const ObjectGeometry* geometry, Observer* o)
{
    bool stop = false;
    if (++o->objectCounter >= kObjectsPerPoll) {
        o->objectCounter = 0;
        if (o->interruptible && InterruptRequested()) stop = true;
        if (Ticks() - o->frameStart > kWaitCursorTicks) SetCursorShape(kWaitCursor);
    }
    if ((o->abortFlag || stop || LowMemoryLevel) && geometry != o->cell) {
        o->abortFlag = 1;
        return true;
    }
    return false;
}

// The record's faces join those the frame has in view as the record passes the view test, whether
// or not they are projected: the allowances are those of what the frame holds in view, never less
// for the records and faces that nearer ones paint over and that are left out.
void CountInView(const ObjectGeometry* g)
{
    CurrentRenderContext().frameBudget.AddInView(ListCount(g->Polygons));
}

// The world root fills the viewport with its colour.
void DrawBackground(ObjectGeometry* g, Observer* o, SpanRegion* region, uint32_t blendColour, uint32_t blendCoverage)
{
    RGBColor48 fill = kWhiteColor;
    if (!o->Option(kOptionHiddenLine)) {
        // The root's own colour field (its colour query answers black for every root).
        fill = g->Owner->FrontColour;
        if (o->Option(kOptionBlend)) fill = BlendedColour(fill, blendColour, blendCoverage, true);
    }
    const FaceIdentity identity = {g->Owner, g, nullptr, -1, -1};
    DrawPolygonFace(region, o->corners, (o->drawFlags & kFaceMatchColours) | kFaceFill, nullptr, 0, 1, &fill, &kBlackColor,
                    0, &identity);
}

// The face in its colour, with the options given (the frame bit dropped under a texture).
int32_t DrawFlatFace(PolygonRecord* r, ObjectGeometry* g, Observer* o, SpanRegion* region, int32_t ownPass,
                     uint32_t blendColour, uint32_t blendCoverage, int32_t options)
{
    const int32_t side = ownPass ? kSideFront : kSideBack;
    RGBColor48 colour = kWhiteColor;
    RGBColor48 edge = kBlackColor;
    FaceShadeRecord shade = {nullptr, 0};
    if (!o->Option(kOptionHiddenLine)) {
        const bool lit = o->Option(kOptionLitColours);
        colour = ownPass ? (lit ? r->FrontLit : r->FrontColour) : (lit ? r->BackLit : r->BackColour);
        if (o->Option(kOptionBlend)) colour = BlendedColour(colour, blendColour, blendCoverage, false);
        if (!o->Option(kOptionBlackEdges)) edge = ThreeQuarters(colour);
        if (o->Option(kOptionVertexShading) && r->GetSideAttribute(side) == 1) {
            shade = {ProjectedSideValues(r, side), ownPass ? r->FrontColourIndex : r->BackColourIndex};
        }
    }
    const FaceIdentity identity = {g->Owner, g, nullptr, r->FaceIndex, side};
    return DrawIndexedPolygonFace(region, g->ScreenPoints, r->ClipRef, options, shade.values ? &shade : nullptr, 0,
                                  1, &colour, &edge, ownPass ? 0 : 1, &identity);
}

// A face is drawn in layers when it is not opaque, or when faces of other objects lie against it
// on the side seen or it carries elements in its own plane.
bool DrawnInLayers(const PolygonRecord* r, int32_t ownPass)
{
    if (r->ColourCode <= 0xEFFF) return true;
    const Surface* s = r->FaceSurface;
    const int32_t side = ownPass ? 0 : 1;
    return s && (s->SideContacts[side] || s->SideCounters[kStageFace][side] || s->Elements[kStageFace]);
}

// Elements, or layers of faces lying against it, above the face on the side seen.
bool HasNearLayer(const PolygonRecord* r, int32_t ownPass)
{
    const Surface* s = r->FaceSurface;
    const int32_t list = ownPass ? 0 : 2;
    return s && (s->Elements[list] || s->SideCounters[list][ownPass ? 0 : 1]);
}

// An opaque face side: in its colour, or with its texture (over its colour where the texture is
// transparent), the texture leaving out the pixels painted later (or null). The drawing routine's
// result (1 when anything was drawn).
int32_t DrawFaceSide(PolygonRecord* r, ObjectGeometry* g, Observer* o, SpanRegion* region, int32_t ownPass,
                     uint32_t blendColour, uint32_t blendCoverage, const CoveredPixels* paintedLater)
{
    const int32_t options = o->drawFlags & kFaceOptions;
    TextureRecord* texture = r->GetSideTexture(ownPass ? kSideFront : kSideBack);
    if (!SideTextureShown(texture, o, region))
        return DrawFlatFace(r, g, o, region, ownPass, blendColour, blendCoverage, options);
    if (texture->attributes.Transparent())
        DrawFlatFace(r, g, o, region, ownPass, blendColour, blendCoverage, options & ~kFaceFrame);
    return DrawTexturedFaceSide(r, g, region, ownPass, paintedLater);
}

// The corners of the outline whose inside a face painting its outline paints in the region: its
// device polygon straight into the pixels, which the rasterizers cut to the region's shape pixel
// by pixel; through the system's calls the polygon cut by the region's rows as the system's path
// cuts it, the corners of the cut rounded to whole pixels, so that the mask's margin keeps within
// what the fill covers along the region's outline as along the face's own edges. None when the cut
// leaves nothing.
struct PaintedOutline {
    const DevicePoint* corners;
    int32_t count;
};

// What making the outline costs beyond the device polygon: through the system's calls the
// polygon's corners, twice, and the region's rows it is cut by.
int64_t PaintedOutlineCost(const DevicePointList* points, const SpanRegion* region)
{
    return region->rowCount != 0 ? 0 : 2 * int64_t(points->ArrayCount()) + region->TrapezoidCount();
}

PaintedOutline PaintedOutlineOf(const DevicePointList* points, SpanRegion* region)
{
    if (region->rowCount != 0) return {points->Elements<DevicePoint>(), points->ArrayCount()};
    const DynamicArray* outline = SystemFaceOutline(region, points);
    // The system's outline is closed by its first corner repeated.
    if (!outline || outline->ArrayCount() < 2) return {nullptr, 0};
    return {outline->Elements<DevicePoint>(), outline->ArrayCount() - 1};
}

// A face of a registered record that, drawn in the records' pass, paints every pixel inside its
// outline: drawn whole (not in layers) and filled, in its colour, over its colour under a
// transparent texture, or with a texture that the fill draws. `plain`: the record is known to have
// no face drawn in layers.
bool PaintsOutline(PolygonRecord* r, Observer* o, SpanRegion* region, bool plain)
{
    if (!r || r->Clipped || r->Facing != kFacingBehind || !r->ClipRef || (!plain && DrawnInLayers(r, 0)))
        return false;
    TextureRecord* texture = r->GetSideTexture(kSideBack);
    if (!SideTextureShown(texture, o, region) || texture->attributes.Transparent()) return true;
    return TexturedSidePaintsOutline(r, 0);
}

// Whether the records' pass draws the face in layers or with layers over it.
bool HasLayers(const PolygonRecord* r)
{
    return DrawnInLayers(r, 0) || HasNearLayer(r, 0);
}

// The lists of a face's surface that the records' pass draws into the whole region: it sees the
// face's back side, whose lists run from the far side up, and draws what lies behind a
// see-through face and the layers on its far side clipped to the face.
constexpr int32_t kRecordsSide = 1;
constexpr int32_t kRecordsFaceList = 2 - kStageFace;
constexpr int32_t kRecordsNearList = 2 - kStageNear;

// How far what the records' pass draws for a face (or a record) may reach: within its outline,
// beyond it only by the face's own elements above it and in its plane, or by the faces of other
// objects lying against it on the side seen with their elements, anywhere.
constexpr uint8_t kReachOutline = 0;
constexpr uint8_t kReachElements = 1;
constexpr uint8_t kReachAnywhere = 2;

uint8_t FaceReach(const PolygonRecord* r)
{
    const Surface* s = r->FaceSurface;
    if (!s) return kReachOutline;
    if (s->SideContacts[kRecordsSide] &&
        (s->SideCounters[kRecordsFaceList][kRecordsSide] || s->SideCounters[kRecordsNearList][kRecordsSide]))
        return kReachAnywhere;
    return s->Elements[kRecordsFaceList] || s->Elements[kRecordsNearList] ? kReachElements : kReachOutline;
}

// Whether the records' pass may draw beyond the face's outline.
bool MayDrawBeyondOutline(const PolygonRecord* r)
{
    return FaceReach(r) != kReachOutline;
}

// The holder's layering serial, which dates what a record keeps of its faces' layers (0, never
// a record's date, without a holder).
uint32_t LayeringSerialOf(const Observer* o)
{
    return o->owner ? o->owner->LayeringSerial : 0;
}

// Reads what the record's faces draw in the records' pass (HasFaceLayers, ReachesBeyondFaces),
// kept in the record until the holder's layering changes: spent, never refused (the answer is
// needed and grows with the record alone).
void ReadFaceLayers(ObjectGeometry* g, uint32_t layering)
{
    if (layering != 0 && g->LayeringSerial == layering) return;
    const int32_t count = ListCount(g->Polygons);
    Budget().Spend(FrameCost::kWalked, count);
    bool layers = false;
    uint8_t reach = kReachOutline;
    int32_t k = 0;
    for (; k < count && reach != kReachAnywhere; ++k) {
        const PolygonRecord* r = g->PolygonAt(k);
        if (!r || !HasLayers(r)) continue;
        layers = true;
        reach = std::max(reach, FaceReach(r));
    }
    CountTurns(k);
    g->HasFaceLayers = layers ? 1 : 0;
    g->ReachesBeyondFaces = reach;
    g->LayeringSerial = layering;
}

// Whether the record is known to have no face drawn in layers or with layers over it: the
// records' pass draws each face whole.
bool DrawsFacesWhole(ObjectGeometry* g, uint32_t layering)
{
    ReadFaceLayers(g, layering);
    return !g->HasFaceLayers;
}

// How far what the records' pass draws for the record may reach (kReachOutline: within its faces'
// outlines). Framed, or collecting bounds, a face drawn in layers reaches anywhere: what lies
// behind a see-through face then leaves marks on its records that later faces read, and every
// face is visited.
uint8_t RecordReach(ObjectGeometry* g, const Observer* o)
{
    ReadFaceLayers(g, LayeringSerialOf(o));
    if (!o->Option(kOptionFill) || o->Option(kOptionCollectBounds))
        return g->HasFaceLayers ? kReachAnywhere : kReachOutline;
    return g->ReachesBeyondFaces;
}

// Whether all that the records' pass draws for the record stays inside its faces' outlines, and
// so inside its screen box: no face of it may draw beyond its outline.
bool DrawsWithinItsBox(ObjectGeometry* g, const Observer* o)
{
    return RecordReach(g, o) == kReachOutline;
}

// The box of screen points (x, y up from the view centre) in device pixels, right and bottom
// exclusive, widened by the slack of the fillers' edges.
struct DeviceBox {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

DeviceBox ScreenBoxOnDevice(int32_t originX, int32_t originY, int32_t minimumX, int32_t minimumY, int32_t maximumX,
                            int32_t maximumY)
{
    // Screen y grows upwards; device y downwards.
    return {originX + minimumX - kBoxSlack, originY - maximumY - kBoxSlack, originX + maximumX + 1 + kBoxSlack,
            originY - minimumY + 1 + kBoxSlack};
}

// Whether the mask covers the box of screen points (an empty box is covered by nothing), the test
// spent on the frame's budget beforehand: `*refused` is set, and nothing tested, when the walk's
// allowance does not reach to it.
bool CoversScreenBox(const OcclusionMask& occlusion, int32_t originX, int32_t originY, int32_t minimumX,
                     int32_t minimumY, int32_t maximumX, int32_t maximumY, bool* refused)
{
    if (minimumX > maximumX || minimumY > maximumY) return false;
    const DeviceBox box = ScreenBoxOnDevice(originX, originY, minimumX, minimumY, maximumX, maximumY);
    if (!Budget().SpendOnMask(occlusion.TestCost(box.left, box.top, box.right, box.bottom))) {
        *refused = true;
        return false;
    }
    return occlusion.Covers(box.left, box.top, box.right, box.bottom);
}

// The box of the screen points of a face's drawn corners (at least one).
struct ScreenBox {
    int32_t minimumX;
    int32_t minimumY;
    int32_t maximumX;
    int32_t maximumY;
};

ScreenBox FaceScreenBox(const ScreenPoint* points, const DynamicArray* corners)
{
    const int32_t count = corners->ArrayCount();
    const ScreenPoint& first = points[DrawnIndexAt(corners, 0)];
    ScreenBox box = {first.x, first.y, first.x, first.y};
    for (int32_t c = 1; c < count; ++c) {
        const ScreenPoint& p = points[DrawnIndexAt(corners, c)];
        box.minimumX = std::min(box.minimumX, p.x);
        box.maximumX = std::max(box.maximumX, p.x);
        box.minimumY = std::min(box.minimumY, p.y);
        box.maximumY = std::max(box.maximumY, p.y);
    }
    CountTurns(count);
    return box;
}

// Whether the screen box, on the device, meets the bounds of the region's shape.
bool ScreenBoxMeetsRegion(int32_t originX, int32_t originY, int32_t minimumX, int32_t minimumY, int32_t maximumX,
                          int32_t maximumY, const SpanRegion* region)
{
    const DeviceBox box = ScreenBoxOnDevice(originX, originY, minimumX, minimumY, maximumX, maximumY);
    return BoxMeetsRegion(box.left, box.top, box.right - 1, box.bottom - 1, region);
}

// Whether the face, drawn into a part of the view, may reach into it: its box meets the bounds of
// the region's shape. Its corners are walked, spent beforehand; once the frame has stopped it is
// not drawn.
bool FaceMeetsRegion(const ObjectGeometry* g, const PolygonRecord* r, const SpanRegion* region, int32_t originX,
                     int32_t originY)
{
    const DynamicArray* corners = r->ClipRef;
    if (!corners || corners->ArrayCount() == 0 || !g->ScreenPoints) return true;
    if (!Budget().Spend(FrameCost::kWalked, corners->ArrayCount())) return false;
    const ScreenBox box = FaceScreenBox(g->ScreenPoints->Elements<ScreenPoint>(), corners);
    return ScreenBoxMeetsRegion(originX, originY, box.minimumX, box.minimumY, box.maximumX, box.maximumY, region);
}

// Lists of fewer places than this are walked whole by every drawing into a part of the view, as
// are all lists drawn into a part whose box holds more than a quarter of the view's pixels.
constexpr int32_t kFiledFrom = 4;
constexpr int64_t kFiledPartsBelow = 4;

// The view's size in device pixels.
void ViewSize(int32_t* width, int32_t* height)
{
    const PortRect port = PublishedOffscreen ? PublishedOffscreen->PortBounds() : PortRect{0, 0, 0, 0};
    *width = port.right;
    *height = port.bottom;
}

// The places of the list filed by the tiles of the view in this frame, filed at the first drawing
// into a small part of the view that asks, with `reachOf` telling where each place may draw; the
// looks at each place spent beforehand and the entries filed after. Null for a list of fewer than
// kFiledFrom places, for a region whose box holds more than 1 / kFiledPartsBelow of the view,
// outside a frame, or once the frame has stopped.
template <class ReachOf>
const ScreenBins* FiledPlaces(const void* list, int32_t count, const SpanRegion* region, ReachOf reachOf)
{
    FrameBudget& budget = Budget();
    if (count < kFiledFrom || !budget.Drawing()) return nullptr;
    int32_t width = 0;
    int32_t height = 0;
    ViewSize(&width, &height);
    if (RegionBoxPixels(region) > int64_t(width) * height / kFiledPartsBelow) return nullptr;
    auto& filed = CurrentRenderContext().filedPlaces;
    const auto known = filed.find(list);
    if (known != filed.end()) return &known->second;
    if (!budget.Spend(FrameCost::kWalked, count)) return nullptr;
    ScreenBins& bins = filed[list];
    budget.Spend(FrameCost::kWalked, bins.File(width, height, count, reachOf) - count);
    return &bins;
}

// The faces of a record filed by the tiles of the view for a pass (see FiledPlaces; those of the
// records' pass under the record, those of its own pass under its face list): a face of the pass
// may draw within its box, a face without corners or drawn in layers or with layers over it
// anywhere, any other nowhere.
const ScreenBins* FiledFaces(ObjectGeometry* g, int32_t ownPass, const SpanRegion* region, int32_t originX,
                             int32_t originY)
{
    if (!g->ScreenPoints) return nullptr;
    const ScreenPoint* points = g->ScreenPoints->Elements<ScreenPoint>();
    const uint8_t facing = ownPass ? kFacingNormalSide : kFacingBehind;
    const void* key = ownPass ? static_cast<const void*>(g->Polygons) : g;
    int64_t corners = 0;
    const ScreenBins* bins = FiledPlaces(key, ListCount(g->Polygons), region, [&](int32_t k, PixelRect* box) {
        const PolygonRecord* r = g->PolygonAt(k);
        if (!r || r->Clipped || r->Facing != facing || (!ownPass && !r->ClipRef)) return PlaceReach::kNowhere;
        if (!r->ClipRef || r->ClipRef->ArrayCount() == 0 || DrawnInLayers(r, ownPass) || HasNearLayer(r, ownPass))
            return PlaceReach::kAnywhere;
        corners += r->ClipRef->ArrayCount();
        const ScreenBox s = FaceScreenBox(points, r->ClipRef);
        const DeviceBox d = ScreenBoxOnDevice(originX, originY, s.minimumX, s.minimumY, s.maximumX, s.maximumY);
        *box = {d.left, d.top, d.right, d.bottom};
        return PlaceReach::kWithinBox;
    });
    Budget().Spend(FrameCost::kWalked, corners);
    return bins;
}

// Leaves the record's faces from the face `from` on out of the frame.
void LeaveOutFaces(ObjectGeometry* g, int32_t from)
{
    const int32_t count = ListCount(g->Polygons);
    for (int32_t k = from; k < count; ++k) {
        if (PolygonRecord* r = g->PolygonAt(k)) r->Occluded = 1;
    }
    CountTurns(count - from);
}

// Marks the faces of a record seen whole, about to be drawn in the records' pass, whose screen
// boxes the mask covers; a face that may draw beyond its outline is never marked (`plain`: the
// record is known to have no face drawn in layers). The faces of a record cut by the view's
// planes are all drawn. False when the walk's allowance ran out before every face was
// looked at: those it did not reach are left out.
bool MarkOccludedFaces(ObjectGeometry* g, const OcclusionMask& occlusion, int32_t originX, int32_t originY,
                       bool plain)
{
    const DynamicArray* polygons = g->Polygons;
    const ScreenPoint* points = g->ScreenPoints->Elements<ScreenPoint>();
    const int32_t count = polygons->ArrayCount();
    for (int32_t k = 0; k < count; ++k) {
        PolygonRecord* r = g->PolygonAt(k);
        if (!r) continue;
        r->Occluded = 0;
        if (g->ClipCode != 0 || r->Clipped || r->Facing != kFacingBehind || !r->ClipRef ||
            (!plain && MayDrawBeyondOutline(r)))
            continue;
        const int32_t corners = r->ClipRef->ArrayCount();
        if (corners == 0) continue;
        bool refused = !Budget().SpendOnMask(corners);
        if (!refused) {
            const ScreenBox box = FaceScreenBox(points, r->ClipRef);
            r->Occluded = CoversScreenBox(occlusion, originX, originY, box.minimumX, box.minimumY, box.maximumX,
                                          box.maximumY, &refused)
                              ? 1
                              : 0;
        }
        if (refused) {
            CountTurns(k);
            LeaveOutFaces(g, k);
            return false;
        }
    }
    CountTurns(count);
    return true;
}

// Whether the record, drawn into a part of the view, may draw there: seen whole in the view
// pyramid and drawing nothing beyond its faces, its screen box holds every pixel it draws, and
// where that box lies outside the region's bounds it draws nothing there.
bool RecordMeetsRegion(ObjectGeometry* g, const SpanRegion* region, const Observer* o, int32_t originX,
                       int32_t originY)
{
    if (g->ClipCode != 0 || ScreenBoxMeetsRegion(originX, originY, g->ScreenMinimum[0], g->ScreenMinimum[2],
                                                 g->ScreenMaximum[0], g->ScreenMaximum[2], region))
        return true;
    return !DrawsWithinItsBox(g, o);
}

// Widens the record's screen box by the boxes of the elements that the records' pass draws over
// its faces seen, projected now where they are not yet (as drawing them would): the faces and
// elements looked at spent beforehand. False when the frame has stopped.
bool WidenByElements(ObjectGeometry* g, Observer* o, ScreenBox* box)
{
    FrameBudget& budget = Budget();
    const int32_t count = ListCount(g->Polygons);
    if (!ProjectPendingFaces(g, o) || !budget.Spend(FrameCost::kWalked, count)) return false;
    for (int32_t k = 0; k < count; ++k) {
        const PolygonRecord* r = g->PolygonAt(k);
        if (!r || r->Clipped || r->Facing != kFacingBehind || !r->FaceSurface) continue;
        for (const int32_t list : {kRecordsFaceList, kRecordsNearList}) {
            const DynamicArray* elements = r->FaceSurface->Elements[list];
            const int32_t n = ListCount(elements);
            if (!budget.Spend(FrameCost::kWalked, n)) return false;
            for (int32_t e = 0; e < n; ++e) {
                PolygonElement* element = PointerAt<PolygonElement>(elements, e);
                if (!element || !ElementVisibility(element, o, g->ClipCode)) continue;
                const DynamicArray* points = element->ScreenPoints;
                const int32_t corners = ListCount(points);
                for (int32_t c = 0; c < corners; ++c) {
                    const ScreenPoint& p = *points->At<ScreenPoint>(c);
                    box->minimumX = std::min(box->minimumX, p.x);
                    box->maximumX = std::max(box->maximumX, p.x);
                    box->minimumY = std::min(box->minimumY, p.y);
                    box->maximumY = std::max(box->maximumY, p.y);
                }
                CountTurns(corners);
            }
            CountTurns(n);
        }
    }
    CountTurns(count);
    return true;
}

// The records of a draw list filed by the tiles of the view (see FiledPlaces): a record that
// RecordMeetsRegion finds to meet any part of the view reaches anywhere, one whose elements alone
// may draw beyond its faces within its screen box widened by theirs, any other within its screen
// box.
const ScreenBins* FiledRecords(DynamicArray* list, int32_t count, const SpanRegion* region, Observer* o,
                               int32_t originX, int32_t originY)
{
    ObjectGeometry* const* records = list->Elements<ObjectGeometry*>();
    return FiledPlaces(list, count, region, [&](int32_t i, PixelRect* box) {
        ObjectGeometry* g = records[i];
        const uint8_t reach = g->ClipCode != 0 ? kReachAnywhere : RecordReach(g, o);
        ScreenBox s = {g->ScreenMinimum[0], g->ScreenMinimum[2], g->ScreenMaximum[0], g->ScreenMaximum[2]};
        if (reach == kReachAnywhere || (reach == kReachElements && !WidenByElements(g, o, &s)))
            return PlaceReach::kAnywhere;
        const DeviceBox d = ScreenBoxOnDevice(originX, originY, s.minimumX, s.minimumY, s.maximumX, s.maximumY);
        *box = {d.left, d.top, d.right, d.bottom};
        return PlaceReach::kWithinBox;
    });
}

// Marks the records of a sorted draw list whose screen boxes the records after them paint over
// whole, and the faces of the others whose own screen boxes they paint over. The list is walked
// from its end; a record is marked when the faces met so far cover its box, else its faces are
// tested and then join them. Only records seen whole in the view pyramid and drawing nothing
// beyond their own faces are marked: their screen box holds every pixel they draw. Every test and
// every face joining the mask is spent on the frame's budget beforehand; where the walk's
// allowance does not reach, the walk ends, and the records it has not reached, all lying farther
// than those it has, are marked too: they are left out of the frame.
void MarkOccludedRecords(DynamicArray* list, Observer* o, SpanRegion* region)
{
    const int32_t count = list->ArrayCount();
    ObjectGeometry** records = list->Elements<ObjectGeometry*>();
    RenderContext& context = CurrentRenderContext();
    context.markedList = nullptr;
    if (!FacesReplacePixels(o)) {
        for (int32_t i = 0; i < count; ++i) records[i]->Occluded = 0;
        CountTurns(count);
        return;
    }
    // The pixels painted by the records drawn after the one being looked at, and the marks each
    // record's faces made anew.
    OcclusionMask& occlusion = context.occlusion;
    const PortRect port = PublishedOffscreen->PortBounds();
    occlusion.Reset(port.left, port.top, port.right, port.bottom);
    context.recordMarks.assign(size_t(count), {0, 0});
    context.markedList = list;
    int32_t originX = 0;
    int32_t originY = 0;
    GetViewOrigin(&originX, &originY);
    const uint32_t layering = LayeringSerialOf(o);
    FrameBudget& budget = Budget();
    // Where the walk ended: the records before it are left out.
    int32_t end = -1;
    for (int32_t i = count - 1; i >= 0 && end < 0; --i) {
        FacesReadAhead(records, count, i, -1);
        ObjectGeometry* g = records[i];
        g->Occluded = 0;
        bool refused = false;
        if (g->ClipCode == 0 &&
            CoversScreenBox(occlusion, originX, originY, g->ScreenMinimum[0], g->ScreenMinimum[2], g->ScreenMaximum[0],
                            g->ScreenMaximum[2], &refused) &&
            DrawsWithinItsBox(g, o)) {
            g->Occluded = 1;
            continue;
        }
        DynamicArray* polygons = g->Polygons;
        if (refused) {
            end = i + 1;
            continue;
        }
        if (!polygons || g->PassDepth != 0 || !g->ScreenPoints) continue;
        if (!ProjectPendingFaces(g, o)) {
            end = i + 1;
            continue;
        }
        const bool plain = DrawsFacesWhole(g, layering);
        if (!MarkOccludedFaces(g, occlusion, originX, originY, plain)) end = i;
        const size_t marksFrom = occlusion.MarksMade();
        const int32_t faces = polygons->ArrayCount();
        for (int32_t k = 0; k < faces && end < 0; ++k) {
            PolygonRecord* r = g->PolygonAt(k);
            // A face already painted over adds nothing to the mask.
            if (!r || r->Occluded || !PaintsOutline(r, o, region, plain)) continue;
            const DevicePointList* points = BuildIndexedDevicePoly(g->ScreenPoints, r->ClipRef, 1);
            if (!points) continue;
            if (!budget.SpendOnMask(PaintedOutlineCost(points, region))) {
                end = i;
                continue;
            }
            const PaintedOutline outline = PaintedOutlineOf(points, region);
            if (budget.SpendOnMask(occlusion.CoverCost(outline.corners, outline.count)))
                occlusion.CoverPolygon(outline.corners, outline.count);
            else
                end = i;
        }
        CountTurns(faces);
        context.recordMarks[size_t(i)] = {marksFrom, occlusion.MarksMade()};
    }
    // The records the walk did not reach are left out; where it ended within a record's faces,
    // those it reached are drawn as it marked them.
    for (int32_t i = 0; i < end; ++i) records[i]->Occluded = 1;
    CountTurns(count + std::max(end, 0));
}

// Makes the record's draw list for the frame: its visible members, sorted far to near with the
// order corrected, and those painted over marked. A list whose making the frame's stop cut short
// is left to be made again by the next frame.
void MakeDrawList(ObjectGeometry* g, Observer* o, SpanRegion* region)
{
    DynamicArray* members = g->Members;
    DynamicArray* list = g->DrawList;
    FrameBudget& budget = Budget();
    g->DrawSerial = o->Serial();
    IgnoreResult(list->ArraySetCount(0));
    members->ArrayLock();
    ObjectGeometry* const* records = members->Elements<ObjectGeometry*>();
    const int32_t count = members->ArrayCount();
    budget.AddTested(count);
    VisibilityReadAhead readAhead(records, count, o);
    int32_t i = 0;
    for (; i < count && !budget.Stopped(); ++i) {
        readAhead.Before(i);
        ObjectGeometry* member = records[i];
        if (o->Option(kOptionCollectBounds) || RecordVisibility(member, o)) list->Append(&member);
    }
    CountTurns(i);
    members->ArrayUnlock();
    if (list->ArrayCount() > 1 && !budget.Stopped()) {
        StableSortDrawList(list);
        RefineDrawOrder(list, members, o);
    }
    if (!budget.Stopped()) MarkOccludedRecords(list, o, region);
    // The whole sorted list counts, however much of it a first, narrowed draw reached.
    g->DrawCount = list->ArrayCount();
    if (budget.Stopped()) g->DrawSerial = kUnfinishedSerial;
}

// What a drawing of a draw list into a part of the view leaves out: for each place found, whether
// its record is passed over, and the range of `faces` holding the faces of its record left out
// (rising).
struct HiddenPlaces {
    std::vector<uint8_t> records;
    std::vector<std::pair<int32_t, int32_t>> ranges;
    std::vector<int32_t> faces;
};

// Of the record's faces in the region (with its faces filed, only those in the tiles of the
// region's box), adds to `faces` those whose screen boxes the mask covers, drawing nothing beyond
// their outlines in a record seen whole in the view pyramid; then marks the others that paint
// their outlines into the mask (a record drawn from inside draws nothing in the records' pass).
// The faces looked at, the tests and the marks, the mask's work, are spent as they are made.
// False when the frame stopped.
bool MarkPaintedFaces(ObjectGeometry* g, Observer* o, SpanRegion* region, const PixelRect& reach, int32_t originX,
                      int32_t originY, OcclusionMask* mask, std::vector<int32_t>* faces)
{
    if (!g->Polygons || g->PassDepth != 0 || !g->ScreenPoints) return true;
    if (!ProjectPendingFaces(g, o)) return false;
    FrameBudget& budget = Budget();
    const bool plain = DrawsFacesWhole(g, LayeringSerialOf(o));
    const int32_t count = g->Polygons->ArrayCount();
    const ScreenBins* bins = FiledFaces(g, 0, region, originX, originY);
    std::vector<int32_t> found;
    if (!budget.Spend(FrameCost::kMasked, bins ? bins->Find(reach, count, &found) : count)) return false;
    const int32_t places = bins ? int32_t(found.size()) : count;
    const ScreenPoint* points = g->ScreenPoints->Elements<ScreenPoint>();
    const size_t first = faces->size();
    int32_t k = 0;
    for (; k < places && g->ClipCode == 0; ++k) {
        const int32_t index = bins ? found[size_t(k)] : k;
        const PolygonRecord* r = g->PolygonAt(index);
        if (!r || r->Clipped || r->Facing != kFacingBehind || !r->ClipRef || r->ClipRef->ArrayCount() == 0 ||
            (!plain && MayDrawBeyondOutline(r)))
            continue;
        const ScreenBox s = FaceScreenBox(points, r->ClipRef);
        const DeviceBox box = ScreenBoxOnDevice(originX, originY, s.minimumX, s.minimumY, s.maximumX, s.maximumY);
        if (!budget.Spend(FrameCost::kMasked, r->ClipRef->ArrayCount() +
                                                  mask->TestCost(box.left, box.top, box.right, box.bottom)))
            return false;
        if (mask->Covers(box.left, box.top, box.right, box.bottom)) faces->push_back(index);
    }
    CountTurns(k);
    // A face painted over adds nothing to the mask.
    size_t next = first;
    for (k = 0; k < places; ++k) {
        const int32_t index = bins ? found[size_t(k)] : k;
        if (next < faces->size() && (*faces)[next] == index) {
            ++next;
            continue;
        }
        PolygonRecord* r = g->PolygonAt(index);
        if (!PaintsOutline(r, o, region, plain)) continue;
        const DevicePointList* points = BuildIndexedDevicePoly(g->ScreenPoints, r->ClipRef, 1);
        if (!points) continue;
        if (!budget.Spend(FrameCost::kMasked, PaintedOutlineCost(points, region))) break;
        const PaintedOutline outline = PaintedOutlineOf(points, region);
        if (!budget.Spend(FrameCost::kMasked, mask->CoverCost(outline.corners, outline.count))) break;
        mask->CoverPolygon(outline.corners, outline.count);
    }
    CountTurns(k);
    return k == places;
}

// A drawing into a part of the view whose box holds more pixels than this leaves out none of its
// records: the mask it tests them with keeps within a size of its own, whatever the view's.
constexpr int64_t kMostPartMaskPixels = int64_t(1) << 20;
// Through the system's calls a face marks its cut to the part's outline only a pixel within that
// outline, and a record's box, at least a pixel wide, reaches the fillers' slack beyond its faces:
// no record can lie under the marks of a part whose box is narrower than this either way (the
// panes of far glass, a pixel or two across), and none is tested there.
constexpr int64_t kLeastSystemPartSide = 2 * kBoxSlack + 4;

// Finds, of the places found for a drawing of a draw list into a part of the view, those whose
// records draw nothing there (RecordMeetsRegion) and, where faces paint over what lies under them
// straight into the pixels, the records and faces that records drawn after them in the same
// drawing paint over whole: seen whole in the view pyramid and drawing nothing beyond their faces,
// with their screen boxes under the faces of the records nearer than them. The places are walked
// from the nearest with a mask over the region's box, each record tested, then its faces, and then
// they join the mask, the work spent as it is done; where the frame stops the walk ends, the
// places not reached left to be drawn whole.
void FindHiddenPlaces(ObjectGeometry* const* drawn, const std::vector<int32_t>& found, Observer* o,
                      SpanRegion* region, const PixelRect& reach, int32_t originX, int32_t originY,
                      HiddenPlaces* hidden)
{
    const int32_t places = int32_t(found.size());
    hidden->records.assign(size_t(places), 0);
    hidden->ranges.assign(size_t(places), {0, 0});
    hidden->faces.clear();
    const int64_t width = std::max(reach.right - reach.left, 0);
    const int64_t height = std::max(reach.bottom - reach.top, 0);
    FrameBudget& budget = Budget();
    OcclusionMask& mask = CurrentRenderContext().partOcclusion;
    // The mask cleared, word by word.
    const int64_t words = height * ((width + OcclusionMask::kWordBits - 1) / OcclusionMask::kWordBits);
    const bool tested = FacesReplacePixels(o) && width * height <= kMostPartMaskPixels &&
                        (region->rowCount != 0 || std::min(width, height) >= kLeastSystemPartSide) &&
                        budget.Spend(FrameCost::kMasked, words);
    if (tested) mask.Reset(reach.left, reach.top, reach.right, reach.bottom);
    int32_t k = places - 1;
    for (; k >= 0; --k) {
        ObjectGeometry* g = drawn[found[size_t(k)]];
        if (!RecordMeetsRegion(g, region, o, originX, originY)) {
            hidden->records[size_t(k)] = 1;
            continue;
        }
        if (!tested) continue;
        if (g->ClipCode == 0 && DrawsWithinItsBox(g, o) && g->ScreenMinimum[0] <= g->ScreenMaximum[0] &&
            g->ScreenMinimum[2] <= g->ScreenMaximum[2]) {
            const DeviceBox box = ScreenBoxOnDevice(originX, originY, g->ScreenMinimum[0], g->ScreenMinimum[2],
                                                    g->ScreenMaximum[0], g->ScreenMaximum[2]);
            if (!budget.Spend(FrameCost::kMasked, mask.TestCost(box.left, box.top, box.right, box.bottom))) break;
            if (mask.Covers(box.left, box.top, box.right, box.bottom)) {
                hidden->records[size_t(k)] = 1;
                continue;
            }
        }
        const int32_t first = int32_t(hidden->faces.size());
        const bool marked = MarkPaintedFaces(g, o, region, reach, originX, originY, &mask, &hidden->faces);
        hidden->ranges[size_t(k)] = {first, int32_t(hidden->faces.size())};
        if (!marked) break;
    }
    CountTurns(places - std::max(k, 0));
}

}  // namespace

bool FacesReplacePixels(const Observer* o)
{
    return PublishedOffscreen && !PickMode && o->Option(kOptionFill) && !o->Option(kOptionBlend) &&
           !o->Option(kOptionCollectBounds);
}

int32_t RenderObjectVisibility(ObjectGeometry* g, Observer* o)
{
    return RecordVisibility(g, o) && ProjectPendingFaces(g, o) ? 1 : 0;
}

int32_t RecordVisibility(ObjectGeometry* g, Observer* o)
{
    if (FrameStops(g, o)) {
        g->Visible = 0;
        return 0;
    }
    const uint16_t serial = o->Serial();
    if (g->VisSerial == serial) return g->Visible;
    // The test, spent beforehand; once the frame has stopped the record is left to the next frame.
    FrameBudget& budget = Budget();
    if (!budget.Spend(FrameCost::kViewed, 1)) return 0;
    g->VisSerial = serial;
    g->Visible = 0;
    g->FacesPending = 0;
    g->PointsPending = 0;
    // The sphere first: most records of a large scene fail it, and it reads the record alone.
    const int32_t code = SphereVisibility(o, g->WorldCentre.x, g->WorldCentre.y, g->WorldCentre.z, g->WorldRadius,
                                          &g->CentreDepth);
    if (code == kInvisible) return 0;
    ModelObject* object = g->Owner;
    if (object->Hidden) return 0;
    g->ClipCode = int8_t(code);
    if (!object->MakeProjectionLists() || !object->WorldVertices) return 0;
    DynamicArray* camera = object->ProjectedFaces;
    const DynamicArray* world = object->WorldVertices;
    if (!g->ScreenPoints) g->ScreenPoints = NewDynamicArray(0, int32_t(sizeof(ScreenPoint)), 32);
    if (!g->ScreenPoints) return 0;
    // What a refused projection leaves is made again by the next frame.
    const auto refused = [g] {
        g->VisSerial = kUnfinishedSerial;
        return 0;
    };
    CountInView(g);
    // Faces cut by the view's planes decide whether anything is left; the others wait until the
    // record is drawn. So do the points of a record whose object has no other record sharing
    // its camera vertices: the screen box alone is made now.
    const int64_t points = world->ArrayCount();
    if (code == 0) {
        g->FacesPending = 1;
        if (object->GeometryCount() == 1) {
            if (!budget.Spend(FrameCost::kViewed, points)) return refused();
            g->PointsPending = 1;
            ProjectVerticesBox(o, world, g->ScreenMinimum, g->ScreenMaximum);
            g->Visible = 1;
            return 1;
        }
    }
    // The points transformed and projected, and the faces cut by the view's planes (their cuts
    // spent as they are made).
    if (!budget.Spend(FrameCost::kViewed, 2 * points + (code != 0 ? ListCount(g->Polygons) : 0))) return refused();
    TransformVertices(o, world, camera);
    if (code != 0 && !ProjectPolygons(o, g->Polygons, world, camera, code))
        return budget.Stopped() ? refused() : 0;
    ProjectVertices(o, camera, g->ScreenPoints, object->ProjectedPoints, g->ScreenMinimum, g->ScreenMaximum);
    g->Visible = 1;
    return 1;
}

bool ProjectPendingFaces(ObjectGeometry* g, Observer* o)
{
    if (!g->FacesPending || g->VisSerial != o->Serial() || !g->Visible) return true;
    ModelObject* object = g->Owner;
    const int64_t points = g->PointsPending ? 2 * ListCount(object->WorldVertices) : 0;
    if (!Budget().Spend(FrameCost::kViewed, points + ListCount(g->Polygons))) return false;
    g->FacesPending = 0;
    if (g->PointsPending) {
        g->PointsPending = 0;
        TransformVertices(o, object->WorldVertices, object->ProjectedFaces);
        ProjectVertices(o, object->ProjectedFaces, g->ScreenPoints, object->ProjectedPoints, g->ScreenMinimum,
                        g->ScreenMaximum);
    }
    ProjectPolygons(o, g->Polygons, object->WorldVertices, object->ProjectedFaces, 0);
    return true;
}

void DrawObjectFaces(ObjectGeometry* g, Observer* o, SpanRegion* region, int32_t ownPass, uint32_t blendColour,
                     uint32_t blendCoverage, bool leaveOutOccluded, const CoveredPixels* paintedLater,
                     const LeftOutFaces& leftOut)
{
    if (FrameStops(g, o)) return;
    if (g->PassDepth != 0 && !ownPass) return;
    if (ownPass) ++g->PassDepth;
    if (o->Option(kOptionCollectBounds)) {
        ShortBox bounds = {o->boundsMin, o->boundsMax};
        UniteShortBox(bounds, g->WorldBox);
        o->boundsMin = bounds.minimum;
        o->boundsMax = bounds.maximum;
    }
    // Records taken only to collect bounds have no projection of this frame to draw from. The
    // faces walked over are spent beforehand.
    DynamicArray* polygons = g->Polygons;
    FrameBudget& budget = Budget();
    if (polygons && g->VisSerial == o->Serial() && g->Visible && ProjectPendingFaces(g, o)) {
        const uint8_t facing = ownPass ? kFacingNormalSide : kFacingBehind;
        // In the records' pass, a record known to have no face drawn in layers or with layers over
        // it draws each face whole.
        const bool plain = !ownPass && DrawsFacesWhole(g, LayeringSerialOf(o));
        // Drawn into a part of the view (behind a see-through face, or within a face), the faces
        // drawn whole whose boxes lie outside that part draw nothing there, and are passed over;
        // those drawn in layers or with layers over them may draw beyond their outline and are
        // always drawn. Of a record of many faces, only those filed in the tiles of that part are
        // walked, and of those only the faces whose boxes (found as they were filed) meet it.
        const bool partOfView = region->clipped != 0;
        int32_t originX = 0;
        int32_t originY = 0;
        if (partOfView) GetViewOrigin(&originX, &originY);
        const int32_t count = polygons->ArrayCount();
        const ScreenBins* bins = partOfView ? FiledFaces(g, ownPass, region, originX, originY) : nullptr;
        PixelRect reach = {0, 0, 0, 0};
        if (bins && !RegionReach(region, &reach)) bins = nullptr;
        std::vector<int32_t> found;
        // The faces walked over, spent beforehand.
        const int64_t walked = bins ? bins->Find(reach, count, &found) : count;
        const int32_t places = bins ? int32_t(found.size()) : count;
        if (budget.Spend(FrameCost::kWalked, walked)) {
            polygons->ArrayLock();
            const int32_t* leftOutFace = leftOut.first;
            int32_t k = 0;
            for (; k < places && !budget.Halts(); ++k) {
                const int32_t index = bins ? found[size_t(k)] : k;
                while (leftOutFace < leftOut.last && *leftOutFace < index) ++leftOutFace;
                if (leftOutFace < leftOut.last && *leftOutFace == index) continue;
                PolygonRecord* r = g->PolygonAt(index);
                if (!r || r->Clipped || r->Facing != facing || (leaveOutOccluded && r->Occluded)) continue;
                const bool layered = !plain && DrawnInLayers(r, ownPass);
                const bool nearLayer = !plain && HasNearLayer(r, ownPass);
                if (partOfView && !bins && !layered && !nearLayer && !FaceMeetsRegion(g, r, region, originX, originY))
                    continue;
                const int32_t drawn =
                    layered ? DrawFaceLayers(r, o, region, ownPass, kStageFace, blendColour, blendCoverage)
                            : DrawFaceSide(r, g, o, region, ownPass, blendColour, blendCoverage,
                                           plain ? paintedLater : nullptr);
                if (drawn && nearLayer)
                    DrawFaceLayers(r, o, region, ownPass, kStageNear, blendColour, blendCoverage);
            }
            CountTurns(k);
            polygons->ArrayUnlock();
        }
    }
    if (ownPass && g->PassDepth > 0) --g->PassDepth;
}

void RenderModel(ObjectGeometry* g, Observer* o, SpanRegion* region, ObjectGeometry* stopAt, PolygonRecord* clipFace,
                 uint32_t blendColour, uint32_t blendCoverage)
{
    RenderContext& context = CurrentRenderContext();
    FrameBudget& budget = context.frameBudget;
    if (!g || context.renderDepth > kMaxRenderDepth || budget.Halts()) return;
    const CountRaised depth(context.renderDepth);  // a nested call counts for its length
    SpanRegion* clipRegion = nullptr;
    if (g->Owner->IsWorldRoot()) {
        if (o->Option(kOptionFill)) DrawBackground(g, o, region, blendColour, blendCoverage);
    } else {
        if (!RenderObjectVisibility(g, o)) return;
        if (clipFace) {
            if (clipFace->Geometry && !ProjectPendingFaces(clipFace->Geometry, o)) return;
            if (clipFace->Clipped || !clipFace->Geometry || !clipFace->Geometry->ScreenPoints) return;
            clipRegion =
                CutRegion(region, BuildIndexedDevicePoly(clipFace->Geometry->ScreenPoints, clipFace->ClipRef, 1));
            if (!clipRegion) return;
            region = clipRegion;
        }
        DrawObjectFaces(g, o, region, 1, blendColour, blendCoverage, false, nullptr, kNoFacesLeftOut);
    }
    DynamicArray* members = g->Members;
    DynamicArray* list = g->DrawList;
    if (members && list && members->ArrayCount() > 0) {
        if (g->DrawSerial != o->Serial()) MakeDrawList(g, o, region);
        // Records painted over by later ones are left out of the frame's own drawing of the list,
        // and straight into the pixels the pixels that later records paint over out of the
        // others' textured faces; drawings of part of it (behind see-through faces) leave out what
        // is painted over within them (FindHiddenPlaces); picks draw every record whole.
        const bool leaveOutOccluded = context.renderDepth == 1 && !stopAt && !clipFace && FacesReplacePixels(o);
        OcclusionMask& occlusion = context.occlusion;
        // The marks of the walk that made this list, while no other walk has reset the mask (the
        // system's calls draw no textures to leave them out of).
        const bool takesMarksBack = leaveOutOccluded && region->rowCount != 0 && context.markedList == list &&
                                    context.recordMarks.size() == size_t(list->ArrayCount());
        const uint32_t resets = occlusion.Resets();
        // Drawn into a part of the view, the records whose boxes lie outside it are passed over.
        const bool partOfView = region->clipped != 0;
        int32_t originX = 0;
        int32_t originY = 0;
        if (partOfView) GetViewOrigin(&originX, &originY);
        list->ArrayLock();
        const int32_t count = std::min(g->DrawCount, list->ArrayCount());
        ObjectGeometry* const* drawn = list->Elements<ObjectGeometry*>();
        // Drawn into a part of the view, a long list walks only the records filed in the tiles of
        // that part, up to the record it stops at.
        const ScreenBins* bins =
            partOfView ? FiledRecords(list, count, region, o, originX, originY) : nullptr;
        PixelRect reach = {0, 0, 0, 0};
        if (bins && !RegionReach(region, &reach)) bins = nullptr;
        int32_t limit = count;
        if (bins && stopAt) {
            const int32_t at = stopAt->DrawIndex;
            if (at >= 0 && at < count && drawn[at] == stopAt)
                limit = at;
            else
                bins = nullptr;
        }
        std::vector<int32_t> found;
        // The records walked over, spent beforehand.
        const int64_t walked = bins ? bins->Find(reach, limit, &found) : count;
        const int32_t places = bins ? int32_t(found.size()) : count;
        int32_t k = 0;
        ListWalkScope walk(g, blendColour, blendCoverage);
        if (budget.Spend(FrameCost::kWalked, walked)) {
            // Of the records found, those that draw nothing in the part of the view or that nearer
            // ones found with them paint over are passed over.
            HiddenPlaces hidden;
            if (bins) FindHiddenPlaces(drawn, found, o, region, reach, originX, originY, &hidden);
            for (; k < places && !budget.Halts(); ++k) {
                const int32_t i = bins ? found[size_t(k)] : k;
                if (k + kStateAhead < places)
                    PrefetchRecordState(drawn[bins ? found[size_t(k + kStateAhead)] : k + kStateAhead]);
                ObjectGeometry* member = drawn[i];
                if (member == stopAt) break;
                if (leaveOutOccluded && member->Occluded) continue;
                if (bins ? hidden.records[size_t(k)] != 0
                         : partOfView && !RecordMeetsRegion(member, region, o, originX, originY))
                    continue;
                CoveredPixels paintedLater;
                const bool leavesOut = takesMarksBack && occlusion.Resets() == resets;
                if (leavesOut) {
                    // What the records after this one paint over.
                    occlusion.Uncover(context.recordMarks[size_t(i)].first, context.recordMarks[size_t(i)].second);
                    paintedLater = occlusion.Pixels();
                }
                LeftOutFaces leftOut = kNoFacesLeftOut;
                if (bins) {
                    const auto& range = hidden.ranges[size_t(k)];
                    leftOut = {hidden.faces.data() + range.first, hidden.faces.data() + range.second};
                }
                walk.Drawing(member);
                DrawObjectFaces(member, o, region, 0, blendColour, blendCoverage, leaveOutOccluded,
                                leavesOut ? &paintedLater : nullptr, leftOut);
            }
        }
        CountTurns(k);
        if (takesMarksBack) context.markedList = nullptr;
        list->ArrayUnlock();
    }
    if (clipRegion) clipRegion->SpanRegionFree();
}

namespace {

// Draws the view from the observer's cell and the records near it into the frame's region.
void DrawView(Observer* o, const Q_Offscreen* target, const PortRect& port, SpanRegion* region)
{
    if (!o->Option(kOptionFill)) {
        RGBBackColor(kWhiteColor);
        EraseRect(port);
        // The erase lands before the rasterizers write the same pixels.
        GdiFlush();
    }
    SpanRegion* frame = target ? region->SpanRegionFromRect(port.left, port.top, port.right, port.bottom) : nullptr;
    if (frame && o->cell) {
        if (o->Option(kOptionDither)) PenPat(7);
        if (o->Option(kOptionCollectBounds)) {
            o->boundsMin = {16383, 16383, 16383};
            o->boundsMax = {-16383, -16383, -16383};
        }
        RenderModel(o->cell, o, frame, nullptr, nullptr, 0, 0);
        if (DynamicArray* nearby = o->nearby) {
            nearby->ArrayLock();
            const int32_t count = nearby->ArrayCount();
            for (int32_t i = 0; i < count; ++i)
                RenderModel(PointerAt<ObjectGeometry>(nearby, i), o, frame, nullptr, nullptr, 0, 0);
            CountTurns(count);
            nearby->ArrayUnlock();
        }
        if (o->Option(kOptionDither)) PenPat(1);
    }
    if (frame) frame->SpanRegionFree();
}

}  // namespace

void RenderFrameTimed(Observer* o, int16_t interruptible, int32_t)
{
    SpanRegion* region = NewSpanRegion();
    if (!region) return;
    o->frameStart = Ticks();
    o->abortFlag = 0;
    o->objectCounter = 0;
    o->interruptible = interruptible;
    const Q_Offscreen* target = PublishedOffscreen;
    const PortRect port = target ? target->PortBounds() : PortRect{0, 0, 0, 0};
    const int64_t viewPixels = int64_t(port.right - port.left) * (port.bottom - port.top);
    RenderContext& context = CurrentRenderContext();
    FrameBudget& budget = context.frameBudget;
    budget.Begin(viewPixels);
    // A frame of the view last drawn whole tests and projects nothing again: it starts with the
    // faces that frame had in view.
    if (context.wholeObserver == o && context.wholeSerial == o->Serial()) budget.AddInView(context.wholeInView);
    DrawView(o, target, port, region);
    if (budget.PassedEarly() && !o->abortFlag) {
        // Passed against the faces in view so far, not against what the whole frame allows: drawn
        // once more from the start, tested and projected anew, its allowances those of the whole
        // frame throughout.
        const int64_t inView = budget.InView();
        const int64_t tested = budget.Tested();
        o->BumpSerial();
        budget.Begin(viewPixels);
        context.filedPlaces.clear();
        context.convexRecords.clear();
        budget.Expect(inView, tested);
        DrawView(o, target, port, region);
    }
    const bool whole = !budget.Stopped() && !o->abortFlag;
    context.wholeObserver = whole ? o : nullptr;
    context.wholeSerial = o->Serial();
    context.wholeInView = budget.InView();
    budget.End();
    context.filedPlaces.clear();
    context.convexRecords.clear();
    region->SpanRegionFree();
    if (o->abortFlag) o->BumpSerial();
}
