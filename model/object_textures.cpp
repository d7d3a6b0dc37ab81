// Textures of a whole scene object, its "PLTX" chunk, and the refresh of its boxes.
#include <initializer_list>

#include "model/model_object.h"
#include "model/object_geometry.h"
#include "model/texture_refs.h"
#include "model/texture_services.h"

TextureRecord* ModelObject::GetObjectTexture(int32_t side) const
{
    if (IsRoot()) return nullptr;
    return side == kSideFront ? FrontTexture : BackTexture;
}

void ModelObject::BindObjectTexture(TextureRecord* texture, int32_t side)
{
    if (IsNewRoot()) return;
    TextureServices& textures = CurrentTextureServices();
    for (int32_t which : {kSideFront, kSideBack}) {
        if (side != kSideBoth && side != which) continue;
        TextureRecord*& stored = which == kSideFront ? FrontTexture : BackTexture;
        if (stored == texture) continue;
        if (stored) textures.TextureRemoveObjectUser(stored, this);
        // A picture that cannot be loaded leaves the texture bound without it.
        if (texture) IgnoreResult(textures.TextureAddObjectUser(texture, this));
        stored = texture;
    }
}

void ModelObject::SetSurfaceTexture(TextureRecord* texture, int32_t side)
{
    BindObjectTexture(texture, side);
    RebindSurfaceTextures();
}

void ModelObject::RebindSurfaceTextures()
{
    CurrentTextureServices().RebindSurfaceTextures(this);
}

void ModelObject::GetObjectTextureName(int32_t side, char* buffer, int32_t bufferSize) const
{
    if (IsRoot()) return;
    CurrentTextureServices().TextureName(GetObjectTexture(side), buffer, bufferSize);
}

void ModelObject::UpdateObjectBoxes(ModelObject* ancestor)
{
    // The sphere bounds filed for the children appended next change.
    if (ancestor) ancestor->DropSiblingIndex();
    ShortBox local = kEmptyShortBox;
    ShortBox world = kEmptyShortBox;
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        ObjectGeometry* record = GeometryAt(i);
        record->ComputeBounds(1);
        record->ExtendBox(&local, 1);
    }
    for (int32_t i = 0; i < GeometryCount(); ++i) {
        ObjectGeometry* record = GeometryAt(i);
        record->ComputeBounds(2);
        record->ExtendBox(&world, 2);
    }
    LocalBox = local;
    WorldBox = world;
}

ResultCode ModelObject::StreamObjectTextureRef(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        ResultCode result = kResultOk;
        if (FrontTexture) result = WriteTextureRef(stream, kTagFrontTexture, FrontTexture);
        if (BackTexture && result == kResultOk) result = WriteTextureRef(stream, kTagBackTexture, BackTexture);
        if (result == kResultOk) result = WriteTextureRefEnd(stream);
        return result;
    }
    return ReadTextureRefs(stream, [this](int32_t side, TextureRecord* texture) { BindObjectTexture(texture, side); });
}
