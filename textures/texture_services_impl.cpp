// TextureLayerServices: the scene model's texture services over the texture records, the
// texture table and the texture manager.
#include "textures/texture_services_impl.h"

#include <cstdio>

#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_table.h"

namespace {

TextureLayerServices* gServices = nullptr;

}  // namespace

TextureLayerServices::~TextureLayerServices()
{
    if (ownList_) {
        ReleaseTextureRecords(ownList_);
        FreeTextureRecordList(ownList_);
    }
}

ResultCode TextureLayerServices::TextureAddObjectUser(TextureRecord* texture, ModelObject* user)
{
    return ::TextureAddObjectUser(texture, user);
}

bool TextureLayerServices::LeavesWithOthers(TextureRecord* texture, LeavingUser::List list, const void* user)
{
    if (leavingDepth_ == 0) return false;
    leaving_.push_back({texture, list, user});
    return true;
}

void TextureLayerServices::EndUsersLeaving()
{
    if (leavingDepth_ > 0 && --leavingDepth_ == 0) RemoveLeavingUsers(&leaving_);
}

void TextureLayerServices::TextureRemoveObjectUser(TextureRecord* texture, ModelObject* user)
{
    if (!LeavesWithOthers(texture, LeavingUser::kObjects, user)) ::TextureRemoveObjectUser(texture, user);
}

ResultCode TextureLayerServices::TextureAddSurfaceUser(TextureRecord* texture, Surface* user)
{
    return ::TextureAddSurfaceUser(texture, user);
}

void TextureLayerServices::TextureRemoveSurfaceUser(TextureRecord* texture, Surface* user)
{
    if (!LeavesWithOthers(texture, LeavingUser::kSurfaces, user)) ::TextureRemoveSurfaceUser(texture, user);
}

ResultCode TextureLayerServices::TextureAddElementUser(TextureRecord* texture, PolygonElement* user)
{
    return ::TextureAddElementUser(texture, user);
}

void TextureLayerServices::TextureRemoveElementUser(TextureRecord* texture, PolygonElement* user)
{
    if (!LeavesWithOthers(texture, LeavingUser::kElements, user)) ::TextureRemoveElementUser(texture, user);
}

void TextureLayerServices::SetupTextureMapping(TextureRecord* texture, const ModelObject* object,
                                               const DynamicArray* polygon, DynamicArray** output)
{
    if (texture && polygon)
        CurrentTextureMappingServices().SetupTextureMapping(polygon, output, TextureMappingInputOf(texture, object));
}

void TextureLayerServices::TextureName(const TextureRecord* texture, char* buffer, int32_t bufferSize)
{
    if (bufferSize <= 0) return;
    std::snprintf(buffer, size_t(bufferSize), "%s", texture ? texture->name : "");
}

TextureRecordList* TextureLayerServices::DocumentTextureList()
{
    if (documentList_) return documentList_;
    if (!ownList_) ownList_ = NewTextureRecordList();
    return ownList_;
}

void TextureLayerServices::BeginTextureSave(MemoryStream* stream)
{
    TextureManager* manager = CurrentTextureManager();
    TextureRecordList* list = DocumentTextureList();
    if (manager && list) ::BeginTextureSave(manager, stream, list);
}

int32_t TextureLayerServices::AssignTextureIndex(TextureRecord* texture)
{
    TextureManager* manager = CurrentTextureManager();
    return manager ? ::AssignTextureIndex(manager, texture) : kNoTextureIndex;
}

TextureRecord* TextureLayerServices::NewTextureForIndex(int32_t index)
{
    return ::NewTextureForIndex(CurrentTextureManager(), index);
}

ResultCode TextureLayerServices::CollectUsedTextures(bool readWell)
{
    return ::CollectUsedTextures(CurrentTextureManager(), nullptr,
                                 readWell ? UserRefresh::kWatched : UserRefresh::kNone);
}

ResultCode TextureLayerServices::ReadTextureTable(MemoryStream* stream)
{
    TextureManager* manager = CurrentTextureManager();
    return manager ? ::ReadTextureTable(manager, stream, 0) : kResultOk;
}

ResultCode TextureLayerServices::WriteTextureTable(MemoryStream* stream)
{
    return ::WriteTextureTable(CurrentTextureManager(), stream);
}

int32_t TextureLayerServices::TextureTableCount()
{
    return TextureTableEntriesRead();
}

void TextureLayerServices::ChargePicturesTo(PictureBudget* pictures)
{
    if (TextureManager* manager = CurrentTextureManager()) manager->pictures = pictures;
}

void TextureLayerServices::ForgetPictureBudget(const PictureBudget* pictures)
{
    TextureManager* manager = CurrentTextureManager();
    if (manager && manager->pictures == pictures) manager->pictures = nullptr;
}

TextureLayerServices& InstallTextureLayerServices()
{
    if (!gServices) gServices = new TextureLayerServices;
    InstallTextureServices(gServices);
    return *gServices;
}

void RemoveTextureLayerServices()
{
    InstallTextureServices(nullptr);
    delete gServices;
    gServices = nullptr;
}
