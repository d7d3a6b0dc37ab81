// The texture layer's services that the scene model calls: user registration at a texture, the
// save indices that texture references store in model files, the texture table of a model file
// and the texture mapping of sides and polygon elements. The texture layer installs its implementation at start-up;
// until then there are no textures: no record is made for a save index, nothing is registered
// and the texture table is skipped.
#pragma once

#include <cstdint>

#include "foundation/result_code.h"

class DynamicArray;
class MemoryStream;
class ModelObject;
class PictureBudget;
class PolygonElement;
class Surface;
class TextureRecord;

class TextureServices {
public:
    virtual ~TextureServices() = default;

    // The user lists of a texture (one entry per side a user binds it to).
    virtual ResultCode TextureAddObjectUser(TextureRecord* /*texture*/, ModelObject* /*user*/) { return kResultOk; }
    virtual void TextureRemoveObjectUser(TextureRecord* /*texture*/, ModelObject* /*user*/) {}
    virtual ResultCode TextureAddSurfaceUser(TextureRecord* /*texture*/, Surface* /*user*/) { return kResultOk; }
    virtual void TextureRemoveSurfaceUser(TextureRecord* /*texture*/, Surface* /*user*/) {}
    virtual ResultCode TextureAddElementUser(TextureRecord* /*texture*/, PolygonElement* /*user*/) { return kResultOk; }
    virtual void TextureRemoveElementUser(TextureRecord* /*texture*/, PolygonElement* /*user*/) {}
    // Between these (nested), users leave their textures together, as a tree of objects is
    // destroyed: they may be taken off the user lists all at once at the end, rather than each
    // found in its list as it leaves.
    virtual void BeginUsersLeaving() {}
    virtual void EndUsersLeaving() {}
    // The name of a texture into a buffer of the given size ("" without one).
    virtual void TextureName(const TextureRecord* texture, char* buffer, int32_t bufferSize);

    // Save numbering of one model file: reset before it is read or written, an index per
    // referenced texture when writing (-2 for none), a record per index when reading.
    virtual void BeginTextureSave(MemoryStream* /*stream*/) {}
    virtual int32_t AssignTextureIndex(TextureRecord* /*texture*/) { return -2; }
    virtual TextureRecord* NewTextureForIndex(int32_t /*index*/) { return nullptr; }
    // Closes the numbering of a read. After one that went well every user it recorded takes its
    // texture, the progress window looked at as they go: kResultStopped when the user stopped the
    // read there, else 0. After one that failed the users are left as they are: its model goes.
    virtual ResultCode CollectUsedTextures(bool /*readWell*/) { return kResultOk; }
    // The body of the "TXTB" chunk: reads the texture table; writing writes nothing.
    virtual ResultCode ReadTextureTable(MemoryStream* /*stream*/) { return kResultOk; }
    // Writes the "TXTB" chunk of the textures numbered since BeginTextureSave (nothing when
    // there are none).
    virtual ResultCode WriteTextureTable(MemoryStream* /*stream*/) { return kResultOk; }
    // Entries of the texture table last read.
    virtual int32_t TextureTableCount() { return 0; }
    // Every picture decoded from now on spends on the budget (null: on none), that of the model
    // whose file is read, until another is named or this one is forgotten as its model goes.
    virtual void ChargePicturesTo(PictureBudget* /*pictures*/) {}
    virtual void ForgetPictureBudget(const PictureBudget* /*pictures*/) {}

    // Texture mapping of a surface's sides and of the faces of an object.
    virtual void UpdateSideTextureMapping(Surface* /*surface*/) {}
    virtual void RebindSurfaceTextures(ModelObject* /*object*/) {}
    // The texture coordinates of a polygon (FixedPoint in its own plane) showing the texture on
    // a part of the object, into `*output` (made when null).
    virtual void SetupTextureMapping(TextureRecord* /*texture*/, const ModelObject* /*object*/,
                                     const DynamicArray* /*polygon*/, DynamicArray** /*output*/)
    {
    }
};

// Installs the services (null restores the defaults); returns the ones installed before.
TextureServices* InstallTextureServices(TextureServices* services);
TextureServices& CurrentTextureServices();
