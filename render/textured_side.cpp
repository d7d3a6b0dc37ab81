// Textured face sides: the texture source and the side's draw.
#include "render/textured_side.h"

#include <algorithm>

#include "draw/mem_pix_map.h"
#include "draw/q_offscreen.h"
#include "draw/shade_level_tables.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "raster/device_point_list.h"
#include "raster/textured_fill.h"
#include "render/device_points.h"
#include "render/face_front_end.h"
#include "render/frame_budget.h"
#include "render/projection.h"
#include "render/textured_polygon.h"
#include "textures/texture_record.h"

bool TextureIsUsable(TextureRecord* texture)
{
    return TextureItemProperty(texture, 0) != nullptr;
}

int32_t TextureFlipHeight(TextureRecord* texture)
{
    PortRect bounds;
    TextureItemBounds(texture, &bounds, 0);
    const Fixed height = FixMul(IntToFixed(bounds.Height()), texture->attributes.FactorV());
    return int32_t((int64_t(height) + kFixedHalf) >> 16);
}

const ShadeLevelEntry* SideShadeTables(TextureRecord* texture, int32_t level)
{
    if (!ShadeLevelScreenSet) return nullptr;
    if (texture->attributes.Shaded() == 0) return ShadeLevelScreenSet;
    return ShadeLevelScreenSet + std::clamp<int32_t>(level, 0, kShadeLevelCount - 1);
}

bool FillTextureSource(TextureSource* source, TextureRecord* texture, int32_t ownPass, const ShadeLevelEntry* tables)
{
    const TextureAttributes& a = texture->attributes;
    source->transparent = a.Transparent();
    source->extra = a.SourceWord();
    source->flipU = ownPass ? !a.FlipU() : a.FlipU();
    source->flipV = a.FlipV();
    source->mirrorU = a.MirrorU();
    source->mirrorV = a.MirrorV();
    source->tables = tables;
    source->pixels = TextureItemProperty(texture, 0);
    TextureItemBounds(texture, &source->bounds, 0);
    TextureItemColor(texture, &source->colour);
    return source->pixels != nullptr;
}

bool TexturedSidePaintsOutline(PolygonRecord* face, int32_t ownPass)
{
    const int32_t side = ownPass ? kSideFront : kSideBack;
    TextureRecord* texture = face->GetSideTexture(side);
    const Q_Offscreen* destination = SharedOffscreen;
    if (!texture || !destination || !face->ClipRef) return false;
    MemPixMap* pixels = TextureItemProperty(texture, 0);
    const DynamicArray* pairs = ProjectedSidePairs(face, side);
    if (!pixels || !pairs || pairs->ArrayCount() < face->ClipRef->ArrayCount()) return false;
    PortRect bounds;
    pixels->GetBounds(&bounds);
    // The fill's own set-up decides whether it draws the picture into that destination.
    TextureSource source = {};
    source.tables = ShadeLevelScreenSet;
    TextureSetup setup;
    return SetupTexturedSource(&setup, &source, pixels->GetRowTable(), bounds.right, bounds.bottom,
                               destination->Format());
}

int32_t DrawTexturedFaceSide(PolygonRecord* face, ObjectGeometry* geometry, SpanRegion* region, int32_t ownPass,
                             const CoveredPixels* paintedLater)
{
    const int32_t side = ownPass ? kSideFront : kSideBack;
    TextureRecord* texture = face->GetSideTexture(side);
    Q_Offscreen* destination = SharedOffscreen;
    ModelObject* object = geometry->Owner;
    if (!texture || !destination || !region || !object || !geometry->ScreenPoints || !object->ProjectedPoints)
        return 0;
    TextureSource source;
    const int32_t level = ownPass ? face->FrontShadeEntry : face->BackShadeEntry;
    if (!FillTextureSource(&source, texture, ownPass, SideShadeTables(texture, level))) return 0;
    source.covered = paintedLater;
    DevicePointList* points = nullptr;
    DynamicArray* records = nullptr;
    DynamicArray* coords = nullptr;
    BuildTexturedDevicePoly(geometry->ScreenPoints, object->ProjectedPoints, ProjectedSidePairs(face, side),
                            face->ClipRef, TextureFlipHeight(texture), ownPass ? 0 : 1, &points, &records, &coords);
    if (!points || !records || !coords || points->ArrayCount() < 3) return 0;
    if (!SpendOnFace(points, region, false, kTexturedRowPixels)) return 0;
    DrawTexturedPolygons(destination, coords, points, records, region, &source);
    return 1;
}
