// The inputs of the texture mapping of sides, and the recomputation for surfaces and faces.
#include "textures/texture_mapping.h"

#include <initializer_list>

#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "foundation/service_slot.h"
#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "model/surface.h"
#include "model/units_record.h"
#include "textures/texture_record.h"

namespace {

constexpr double kInchMetres = 0.0254;

TextureMappingServices gDefaultMapping;
ServiceSlot<TextureMappingServices> gMapping(&gDefaultMapping);

}  // namespace

TextureMappingServices* InstallTextureMappingServices(TextureMappingServices* services)
{
    return gMapping.Install(services);
}

TextureMappingServices& CurrentTextureMappingServices()
{
    return gMapping.Current();
}

TextureMappingInput TextureMappingInputOf(TextureRecord* texture, const ModelObject* object)
{
    TextureMappingInput input;
    TextureItemBounds(texture, &input.textureRect, 0);
    TextureItemFrameRect(texture, &input.sizeRect, 0);
    const TextureAttributes& a = texture->attributes;
    input.realSize[0] = a[17];
    input.realSize[1] = a[18];
    input.unitCode[0] = a[15];
    input.unitCode[1] = a[16];
    input.size[0] = a[13];
    input.size[1] = a[14];
    input.factor[0] = a[11];
    input.factor[1] = a[12];
    const UnitsRecord* units = object ? object->GetUnits() : nullptr;
    input.unitMetres = units ? units->UnitsGet() : kInchMetres;
    return input;
}

void UpdateSideTextureMapping(Surface* surface)
{
    PolygonRecord* face = surface->FaceRecord();
    if (!face || !surface->Owner) return;
    const DynamicArray* polygon = face->GetFacePairs();
    if (!polygon) return;
    for (int32_t side : {kSideFront, kSideBack}) {
        TextureRecord* texture = surface->GetSurfaceSideTexture(side);
        if (!texture) continue;
        DynamicArray** output = side == kSideFront ? &surface->FrontPairs : &surface->BackPairs;
        CurrentTextureMappingServices().SetupTextureMapping(polygon, output,
                                                            TextureMappingInputOf(texture, surface->Owner));
    }
}

void RebindSurfaceTextures(ModelObject* object)
{
    ObjectGeometry* geometry = object->Geometry;
    if (!geometry || !geometry->Polygons) return;
    for (int32_t i = 0; i < geometry->PolygonCount(); ++i) {
        PolygonRecord* face = geometry->PolygonAt(i);
        for (int32_t side : {kSideFront, kSideBack}) {
            TextureRecord* texture = face->GetSideTexture(side);
            if (!texture || !texture->holder) continue;
            DynamicArray* pairs = face->GetSideVertexPairs(side);
            if (!pairs) continue;
            // The mapping is computed straight into the side's list; without a polygon to map
            // the side has no pairs.
            const DynamicArray* polygon = face->GetFacePairs();
            if (!polygon) {
                IgnoreResult(pairs->ArraySetCount(0));
                continue;
            }
            CurrentTextureMappingServices().SetupTextureMapping(polygon, &pairs, TextureMappingInputOf(texture, object));
        }
    }
    CountTurns(geometry->PolygonCount());
}
