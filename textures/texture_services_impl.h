// TextureLayerServices: the texture layer's answers to the scene model (users of textures, the
// save numbering and the texture table of model files, the texture mapping of sides), installed
// at engine start-up (InstallTextureLayerServices) over the program's texture manager.
#pragma once

#include <vector>

#include "model/texture_services.h"
#include "textures/texture_mapping.h"
#include "textures/texture_record.h"

class TextureRecordList;

class TextureLayerServices : public TextureServices {
public:
    ~TextureLayerServices() override;

    ResultCode TextureAddObjectUser(TextureRecord* texture, ModelObject* user) override;
    void TextureRemoveObjectUser(TextureRecord* texture, ModelObject* user) override;
    ResultCode TextureAddSurfaceUser(TextureRecord* texture, Surface* user) override;
    void TextureRemoveSurfaceUser(TextureRecord* texture, Surface* user) override;
    ResultCode TextureAddElementUser(TextureRecord* texture, PolygonElement* user) override;
    void TextureRemoveElementUser(TextureRecord* texture, PolygonElement* user) override;
    void BeginUsersLeaving() override { ++leavingDepth_; }
    void EndUsersLeaving() override;
    void TextureName(const TextureRecord* texture, char* buffer, int32_t bufferSize) override;

    // The numbering runs over the document's texture list (SetDocumentTextureList), or over
    // the services' own list when no document gave one.
    void BeginTextureSave(MemoryStream* stream) override;
    int32_t AssignTextureIndex(TextureRecord* texture) override;
    TextureRecord* NewTextureForIndex(int32_t index) override;
    ResultCode CollectUsedTextures(bool readWell) override;
    ResultCode ReadTextureTable(MemoryStream* stream) override;
    ResultCode WriteTextureTable(MemoryStream* stream) override;
    int32_t TextureTableCount() override;
    void ChargePicturesTo(PictureBudget* pictures) override;
    void ForgetPictureBudget(const PictureBudget* pictures) override;

    void UpdateSideTextureMapping(Surface* surface) override { ::UpdateSideTextureMapping(surface); }
    void RebindSurfaceTextures(ModelObject* object) override { ::RebindSurfaceTextures(object); }
    void SetupTextureMapping(TextureRecord* texture, const ModelObject* object, const DynamicArray* polygon,
                             DynamicArray** output) override;

    // The texture list of the document read or written next (null: the services' own).
    void SetDocumentTextureList(TextureRecordList* list) { documentList_ = list; }
    // The list the numbering runs over.
    TextureRecordList* DocumentTextureList();

private:
    // While users leave together, keeps the user to be taken off the record's list with the
    // others, and answers true.
    bool LeavesWithOthers(TextureRecord* texture, LeavingUser::List list, const void* user);

    // The users that left since BeginUsersLeaving, while it is in force.
    int32_t leavingDepth_ = 0;
    std::vector<LeavingUser> leaving_;
    TextureRecordList* documentList_ = nullptr;
    TextureRecordList* ownList_ = nullptr;
};

// The program's services object, installed as the scene model's texture services.
TextureLayerServices& InstallTextureLayerServices();
// Restores the scene model's defaults and releases the own list's records.
void RemoveTextureLayerServices();
