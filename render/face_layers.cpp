// Faces drawn in layers: what lies behind a see-through face or element, clipped to it and
// blended with it, then the face itself, then the polygon elements of its surface and of the
// faces lying against it.
#include "render/face_layers.h"

#include <algorithm>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_element.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "raster/span_region.h"
#include "render/device_points.h"
#include "render/face_colours.h"
#include "render/face_front_end.h"
#include "render/frame_budget.h"
#include "render/frame_render.h"
#include "render/list_walks.h"
#include "render/observer.h"
#include "render/projection.h"
#include "render/render_context.h"
#include "render/textured_polygon.h"
#include "render/textured_side.h"
#include "textures/texture_record.h"

namespace {

constexpr uint32_t kSolidFrom = 0xF000;   // opacities from here on are drawn solid
constexpr uint32_t kFramedBelow = 0x1000;  // opacities below this are only ever framed
constexpr uint32_t kOpaque = 0xFFFF;
constexpr int32_t kFaceOptions = kFaceFrame | kFaceFill | kFaceMatchColours;

ObjectGeometry* GeometryOf(const ModelObject* object)
{
    return object ? object->GeometryAt(0) : nullptr;
}

// One face or element drawn in layers: the record it is (or lies on), the record handed in to be
// drawn, the element (null for the face itself), its opacity and its colour before blending.
struct Layer {
    PolygonRecord* face;
    PolygonRecord* carrier;
    PolygonElement* element;
    uint32_t opacity;
    RGBColor48 colour;
};

// The side index (0 or 1) of the per-side lists seen in a pass.
int32_t PassSide(int32_t ownPass)
{
    return ownPass ? 0 : 1;
}

// Faces seen from inside walk their corners in reverse.
int32_t PassOrder(int32_t ownPass)
{
    return ownPass ? 0 : 1;
}

DevicePointList* DevicePolygon(const Layer& f, int32_t order)
{
    if (f.element) return BuildDevicePoly(f.element->ScreenPoints, order);
    return BuildIndexedDevicePoly(f.face->Geometry->ScreenPoints, f.face->ClipRef, order);
}

// The budget of the frame being drawn, in the context the renderer works in.
FrameBudget& Budget()
{
    return CurrentRenderContext().frameBudget;
}

// Whether the object behind a face of a record seen from inside, drawn up to that record, would
// only draw again what the walk drawing the record has just drawn into the face's part of the view
// (WalkDrewBehind): faces then replace the pixels under them, so the walk's drawing already holds
// there what drawing it again would leave.
bool DrawnBehindAlready(const Layer& f, Observer* o, int32_t ownPass, const FaceBehind& behind, uint32_t blendColour,
                        uint32_t blendCoverage)
{
    return ownPass && !f.element && behind.ownerBehind == f.face->Geometry && FacesReplacePixels(o) &&
           WalkDrewBehind(behind.objectBehind, behind.ownerBehind, blendColour, blendCoverage);
}

// Renders what shows through the layer, into its region: the object behind (up to the owner
// behind), unless drawn there already, then the touching faces, each clipped to its own face.
void DrawBehind(const Layer& f, Observer* o, SpanRegion* region, int32_t ownPass, const FaceBehind& behind,
                uint32_t blendColour, uint32_t blendCoverage)
{
    if (behind.drawBehind && behind.objectBehind &&
        !DrawnBehindAlready(f, o, ownPass, behind, blendColour, blendCoverage))
        RenderModel(behind.objectBehind, o, region, behind.ownerBehind, nullptr, blendColour, blendCoverage);
    const DynamicArray* contacts = behind.contacts;
    if (!contacts) return;
    FrameBudget& budget = Budget();
    // The same face named again straight after itself would draw the same pixels again.
    const FaceEntry* last = nullptr;
    auto touching = [&](int32_t index) {
        if (!budget.Spend(FrameCost::kTakenUp, 1) || budget.Halts()) return;
        const FaceEntry* entry = contacts->At<FaceEntry>(index);
        if (!entry || !entry->Face) return;
        const bool again = last && last->Face == entry->Face && last->Object == entry->Object;
        last = entry;
        if (again) return;
        PolygonRecord* clip = entry->Face->FaceRecord();
        ObjectGeometry* geometry = GeometryOf(entry->Object);
        if (clip && geometry) RenderModel(geometry, o, region, behind.ownerBehind, clip, blendColour, blendCoverage);
    };
    if (f.element) {
        const DynamicArray* overlaps = f.element->OverlapLists[PassSide(ownPass)];
        int32_t k = 0;
        for (; k < ListCount(overlaps) && !budget.Halts(); ++k) touching(*overlaps->At<int32_t>(k));
        CountTurns(k);
        return;
    }
    const int32_t first = std::min(behind.contactCount, contacts->ArrayCount()) - 1;
    int32_t i = first;
    for (; i >= 0 && !budget.Halts(); --i) touching(i);
    CountTurns(first - i);
}

// The element's texture on the side seen in this pass, into the shared offscreen clipped to the
// region; 0 when there was nothing to draw.
int32_t DrawTexturedElementSide(PolygonElement* element, SpanRegion* region, int32_t ownPass)
{
    TextureRecord* texture = element->Texture;
    Q_Offscreen* destination = SharedOffscreen;
    if (!texture || !destination) return 0;
    TextureSource source;
    const int32_t level = ownPass ? element->FrontShade : element->BackShade;
    if (!FillTextureSource(&source, texture, ownPass, SideShadeTables(texture, level))) return 0;
    DevicePointList* points = nullptr;
    DynamicArray* records = nullptr;
    DynamicArray* coords = nullptr;
    BuildElementTexturedDevicePoly(element->ScreenPoints, element->ProjectedPoints, element->MappingListB,
                                   TextureFlipHeight(texture), PassOrder(ownPass), &points, &records, &coords);
    if (!points || !records || !coords || points->ArrayCount() < 3) return 0;
    if (!SpendOnFace(points, region, false, kTexturedRowPixels)) return 0;
    DrawTexturedPolygons(destination, coords, points, records, region, &source);
    return 1;
}

// Steps of DrawFace for a face or an element.
int32_t DrawLayer(const Layer& f, Observer* o, SpanRegion* region, int32_t ownPass, const FaceBehind& behind,
                  int32_t stage, uint32_t blendColour, uint32_t blendCoverage)
{
    const int32_t passSide = PassSide(ownPass);
    const int32_t order = PassOrder(ownPass);
    const bool hiddenLine = o->Option(kOptionHiddenLine);
    const int32_t side = ownPass ? kSideFront : kSideBack;
    TextureRecord* texture = f.element ? f.element->Texture : f.face->GetSideTexture(side);
    const bool textured = SideTextureShown(texture, o, region);
    const bool seeThroughTexture = textured && texture->attributes.Transparent() != 0;

    // The colour, and the blend handed to what lies behind.
    uint32_t a = f.opacity;
    RGBColor48 colour = hiddenLine ? kWhiteColor : f.colour;
    uint32_t passColour = 0;
    uint32_t passCoverage = 0;
    const uint32_t t = BlendCoverage(blendCoverage);
    if (t < kNothingInFront) {
        const RGBColor48 share = AddShare(kBlackColor, colour, a);
        passColour = PackBlendColour(share);
        passCoverage = PackBlendCoverage(share, a);
    } else if (t > kOpaqueInFront) {
        a = kOpaque;
        colour = UnpackBlendColour(blendColour, blendCoverage);
    } else {
        const uint32_t k = ((t ^ 0xFFFF) * a + 0x7FFF) >> 16;
        colour = AddShare(UnpackBlendColour(blendColour, blendCoverage), colour, k);
        passColour = PackBlendColour(colour);
        passCoverage = PackBlendCoverage(colour, std::min<uint32_t>(0xFFFF, t + k));
    }
    const RGBColor48 edge = hiddenLine || o->Option(kOptionBlackEdges) ? kBlackColor : ThreeQuarters(colour);

    // What lies behind, clipped to the layer's polygon. Where that region is empty nothing behind
    // is drawn, nor the texture and elements over the layer; the layer itself still is. Where the
    // frame's budget leaves nothing to draw it with, the layer is drawn opaque, as over nothing,
    // and so is one whose drawing behind the budget cut short.
    bool regionEmpty = false;
    FrameBudget& budget = Budget();
    if (a < kSolidFrom && (!textured || seeThroughTexture)) {
        if (budget.Halts()) {
            a = kOpaque;
        } else if (!behind.objectBehind && !behind.contacts) {
            if (f.element && stage != kStageFace) return 1;
            a = kOpaque;
        } else if (SpanRegion* cut = CutRegion(region, DevicePolygon(f, order))) {
            if (budget.EnterBehind(RegionBoxPixels(cut))) {
                DrawBehind(f, o, cut, ownPass, behind, passColour, passCoverage);
                const Surface* surface = f.carrier->FaceSurface;
                const int32_t farList = ownPass ? 2 : 0;
                const bool farLayer =
                    surface && (surface->Elements[farList] || surface->SideCounters[farList][passSide]);
                if (stage != kStageFar && farLayer && !budget.Halts())
                    DrawFaceLayers(f.carrier, o, cut, ownPass, kStageFar, passColour, passCoverage);
                if (budget.Halts()) a = kOpaque;
                budget.LeaveBehind();
            } else {
                a = kOpaque;
            }
            cut->SpanRegionFree();
        } else {
            regionEmpty = true;
        }
    }

    // The layer in its colour, unless its texture covers it all.
    ObjectGeometry* g = f.face->Geometry;
    if (!textured || (seeThroughTexture && a >= kFramedBelow)) {
        // Filled under a texture, the face is not framed; drawn by its edges alone, it is.
        int32_t options = o->drawFlags & kFaceOptions;
        if (textured) options &= ~kFaceFrame;
        int32_t pattern = 0;
        bool drawn = true;
        if (a < kFramedBelow) {
            drawn = o->Option(kOptionFrameSeeThrough);
            options = kFaceFrame;
        } else if (a < kSolidFrom) {
            if (o->Option(kOptionFill) && !o->Option(kOptionBlend) && !hiddenLine) {
                pattern = 1;
            } else {
                drawn = o->Option(kOptionFrameSeeThrough);
                options = kFaceFrame;
            }
        }
        const FaceIdentity identity = {g->Owner, g, f.element, f.face->FaceIndex, side};
        if (drawn && f.element) {
            DrawPolygonFace(region, f.element->ScreenPoints, options, nullptr, pattern, 1, &colour, &edge, order,
                            &identity);
        } else if (drawn) {
            FaceShadeRecord shade = {nullptr, 0};
            if (!hiddenLine && o->Option(kOptionVertexShading) && f.face->GetSideAttribute(side) == 1)
                shade = {ProjectedSideValues(f.face, side),
                         ownPass ? f.face->FrontColourIndex : f.face->BackColourIndex};
            DrawIndexedPolygonFace(region, g->ScreenPoints, f.face->ClipRef, options, shade.values ? &shade : nullptr,
                                   pattern, 1, &colour, &edge, order, &identity);
        }
    }

    if (regionEmpty) return 0;
    // The textured side over it.
    if (textured) {
        if (f.element) {
            DrawTexturedElementSide(f.element, region, ownPass);
        } else {
            DrawTexturedFaceSide(f.face, g, region, ownPass, nullptr);
        }
    }
    return 1;
}

// The visible elements of one of the surface's element lists, lying on `carrier`; last to first
// in the far stage.
void DrawElements(Surface* surface, int32_t list, int32_t clipCode, PolygonRecord* carrier, Observer* o,
                  SpanRegion* region, int32_t ownPass, int32_t stage, uint32_t blendColour, uint32_t blendCoverage)
{
    DynamicArray* elements = surface->Elements[list];
    if (!elements || elements->ArrayCount() == 0) return;
    const FaceBehind behind = FindFaceBehind(carrier, o, ownPass);
    FrameBudget& budget = Budget();
    elements->ArrayLock();
    const int32_t count = elements->ArrayCount();
    int32_t k = 0;
    for (; k < count && budget.Spend(FrameCost::kTakenUp, 1) && !budget.Halts(); ++k) {
        PolygonElement* element = PointerAt<PolygonElement>(elements, stage == kStageFar ? count - 1 - k : k);
        // An element that cannot reach into the region draws nothing there, nor behind it; its
        // corners, read to tell, are spent beforehand.
        if (element && ElementVisibility(element, o, clipCode) &&
            budget.Spend(FrameCost::kTakenUp, ListCount(element->ScreenPoints)) &&
            PolygonMeetsRegion(BuildDevicePoly(element->ScreenPoints, PassOrder(ownPass)), region))
            DrawElementFace(element, o, region, ownPass, behind, carrier, stage, blendColour, blendCoverage);
    }
    CountTurns(k);
    elements->ArrayUnlock();
}

}  // namespace

bool SideTextureShown(TextureRecord* texture, const Observer* o, const SpanRegion* region)
{
    if (!texture || !o->Option(kOptionTextures) || !o->Option(kOptionFill) || o->Option(kOptionHiddenLine) ||
        region->rowCount == 0)
        return false;
    return TextureIsUsable(texture);
}

FaceBehind FindFaceBehind(PolygonRecord* face, Observer* o, int32_t ownPass)
{
    FaceBehind behind = {nullptr, nullptr, nullptr, 0, 1};
    Surface* surface = face->FaceSurface;
    ObjectGeometry* own = face->Geometry;
    if (!ownPass) {
        // Seen from outside, the object's own inside and the faces touching it show through
        // only with the option.
        if (o->Option(kOptionSeeOwnInside)) {
            if (own) {
                behind.objectBehind = own;
                own->InsideSerial = o->Serial();
            }
            if (surface && surface->SideContacts[1]) {
                behind.contacts = surface->SideContacts[1];
                behind.contactCount = surface->SideContacts[1]->ArrayCount();
            }
        }
        behind.drawBehind = surface ? surface->BackUncovered : 1;
        return behind;
    }
    if (surface && surface->SideContacts[0]) {
        behind.contacts = surface->SideContacts[0];
        behind.contactCount = surface->LeadingContacts;
        behind.objectBehind = GeometryOf(surface->DisplayParent);
        behind.ownerBehind = GeometryOf(surface->DisplayOwner);
    } else {
        behind.objectBehind = own ? GeometryOf(own->Owner->FirstNonGroupParent()) : nullptr;
        behind.ownerBehind = own;
    }
    if (!o->Option(kOptionSeeTouching)) {
        behind.contacts = nullptr;
        behind.contactCount = 0;
    }
    if (!o->Option(kOptionSeeEnclosing)) {
        behind.objectBehind = nullptr;
    } else if (!o->Option(kOptionFill) && behind.ownerBehind && behind.ownerBehind->InsideSerial == o->Serial()) {
        behind.objectBehind = nullptr;
    }
    behind.drawBehind = surface ? surface->FrontUncovered : 1;
    return behind;
}

int32_t DrawFaceLayers(PolygonRecord* face, Observer* o, SpanRegion* region, int32_t ownPass, int32_t stage,
                       uint32_t blendColour, uint32_t blendCoverage)
{
    if (stage == kStageFace) {
        const FaceBehind behind = FindFaceBehind(face, o, ownPass);
        if (!DrawFace(face, o, region, ownPass, behind, face, stage, blendColour, blendCoverage)) return 0;
    }
    Surface* surface = face->FaceSurface;
    if (!surface) return 1;
    const int32_t passSide = PassSide(ownPass);
    const int32_t list = ownPass ? stage : 2 - stage;

    // The faces of other objects lying against this one, and their elements of this layer.
    const DynamicArray* contacts = surface->SideContacts[passSide];
    if (contacts && surface->SideCounters[list][passSide] != 0) {
        SpanRegion* cut = nullptr;
        if (ownPass)
            cut = CutRegion(region,
                            BuildIndexedDevicePoly(face->Geometry->ScreenPoints, face->ClipRef, PassOrder(ownPass)));
        SpanRegion* within = ownPass ? cut : region;
        FrameBudget& budget = Budget();
        int32_t i = 0;
        for (; within && i < contacts->ArrayCount() && budget.Spend(FrameCost::kTakenUp, 1) && !budget.Halts(); ++i) {
            const FaceEntry entry = *contacts->At<FaceEntry>(i);
            ObjectGeometry* geometry = GeometryOf(entry.Object);
            PolygonRecord* touching = entry.Face ? entry.Face->FaceRecord() : nullptr;
            if (!geometry || !touching || !RenderObjectVisibility(geometry, o)) continue;
            const int32_t inside = ownPass && i >= surface->LeadingContacts ? 1 : 0;
            if (stage == kStageFace && !touching->Clipped && touching->ColourCode < kSolidFrom)
                DrawFace(touching, o, within, inside, FindFaceBehind(touching, o, inside), touching, stage, blendColour,
                         blendCoverage);
            DrawElements(entry.Face, inside ? stage : 2 - stage, geometry->ClipCode, touching, o, within, inside, stage,
                         blendColour, blendCoverage);
        }
        CountTurns(i);
        if (cut) cut->SpanRegionFree();
    }

    // The face's own elements of this layer.
    DrawElements(surface, list, face->Geometry->ClipCode, face, o, region, ownPass, stage, blendColour, blendCoverage);
    return 1;
}

int32_t DrawFace(PolygonRecord* face, Observer* o, SpanRegion* region, int32_t ownPass, const FaceBehind& behind,
                 PolygonRecord* owner, int32_t stage, uint32_t blendColour, uint32_t blendCoverage)
{
    const bool lit = o->Option(kOptionLitColours);
    const RGBColor48 colour =
        ownPass ? (lit ? face->FrontLit : face->FrontColour) : (lit ? face->BackLit : face->BackColour);
    const Layer layer = {face, owner, nullptr, face->ColourCode, colour};
    return DrawLayer(layer, o, region, ownPass, behind, stage, blendColour, blendCoverage);
}

int32_t ElementVisibility(PolygonElement* element, Observer* o, int32_t clipCode)
{
    const uint16_t serial = o->Serial();
    if (element->VisSerial == serial) return element->Visible;
    if (element->UserValue != 0 || !element->WorldVertices || element->WorldVertices->ArrayCount() < 3) {
        element->VisSerial = serial;
        element->Visible = 0;
        return 0;
    }
    // Its points transformed, looked at and projected, spent beforehand (the cuts of the view's
    // planes are spent as they are made); once the frame has stopped it is left to the next frame.
    if (!Budget().Spend(FrameCost::kViewed, 3 * int64_t(element->WorldVertices->ArrayCount()))) return 0;
    element->VisSerial = serial;
    element->Visible = 0;
    TransformVertices(o, element->WorldVertices, element->ProjectedVertices);
    // An element reaching beyond its object's sphere may lie partly behind the eye even where
    // the sphere does not: it is clipped against every plane then.
    const DynamicArray* camera = element->ProjectedVertices;
    int32_t i = 0;
    for (; clipCode == 0 && i < camera->ArrayCount(); ++i)
        if (camera->At<CameraVertex>(i)->y <= 0) clipCode = kClipRight | kClipTop | kClipLeft | kClipBottom;
    CountTurns(i);
    if (!ProjectElement(o, element, clipCode)) {
        // A projection that its cuts' spending stopped is made again by the next frame.
        if (Budget().Stopped()) element->VisSerial = kUnfinishedSerial;
        return 0;
    }
    ProjectVertices(o, element->ProjectedVertices, element->ScreenPoints, element->ProjectedPoints, nullptr, nullptr);
    element->Visible = 1;
    Budget().AddInView(1);
    return 1;
}

int32_t DrawElementFace(PolygonElement* element, Observer* o, SpanRegion* region, int32_t ownPass,
                        const FaceBehind& behind, PolygonRecord* owner, int32_t stage, uint32_t blendColour,
                        uint32_t blendCoverage)
{
    const bool lit = o->Option(kOptionLitColours);
    const RGBColor48 colour = lit ? (ownPass ? element->FrontLitColour : element->BackLitColour) : element->Colour;
    const Layer layer = {owner, owner, element, element->ColourCode, colour};
    FaceBehind through = behind;
    through.drawBehind = element->SideUncovered[PassSide(ownPass)];
    return DrawLayer(layer, o, region, ownPass, through, stage, blendColour, blendCoverage);
}
