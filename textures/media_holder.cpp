// MediaHolder: the item made by kind, the forwarders to its operations, and the manager's
// searches over its holder list.
#include "textures/media_holder.h"

#include <new>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/loop_turns.h"
#include "foundation/pointer_list.h"
#include "textures/texture_manager.h"

namespace {

FileMediaItem* FileItemOf(MediaHolder* holder)
{
    MediaItem* item = holder ? holder->Item() : nullptr;
    return item && item->IsFileBacked() ? static_cast<FileMediaItem*>(item) : nullptr;
}

// Takes an embedded-data holder out of the manager's index of chunk positions.
void ForgetEmbeddedPosition(MediaHolder* holder)
{
    TextureManager* manager = CurrentTextureManager();
    if (!manager || !holder->Item()) return;
    const int32_t position = EmbeddedDataPosition(holder);
    if (position == -1) return;
    const auto range = manager->embeddedByPosition.equal_range(position);
    for (auto entry = range.first; entry != range.second; ++entry) {
        if (entry->second == holder) {
            manager->embeddedByPosition.erase(entry);
            return;
        }
    }
}

// Takes the holder out of the manager's index of files.
void ForgetFileKey(MediaHolder* holder, std::string* key)
{
    TextureManager* manager = CurrentTextureManager();
    if (!manager || key->empty()) return;
    const auto filed = manager->holdersByFile.find(*key);
    if (filed != manager->holdersByFile.end() && filed->second == holder) manager->holdersByFile.erase(filed);
    key->clear();
}

}  // namespace

MediaHolder::MediaHolder(MediaKind kind) : kind_(kind)
{
    item_ = NewMediaItem(kind);
    if (!item_) return;
    item_->SetFileBacked(kind == kMediaEmbeddedData || kind == kMediaBmp || kind == kMediaJpeg ? 1 : 0);
    item_->MediaItemInit();
}

MediaHolder* NewMediaHolder(TextureManager* manager, MediaKind kind)
{
    MediaHolder* holder = new (std::nothrow) MediaHolder(kind);
    if (!holder) return nullptr;
    if (!holder->Item() || !manager || !manager->holderList || manager->holderList->Append(&holder) < 0) {
        DestroyMediaHolder(holder);
        return nullptr;
    }
    return holder;
}

void DestroyMediaHolder(MediaHolder* holder)
{
    if (!holder) return;
    ForgetEmbeddedPosition(holder);
    ForgetFileKey(holder, &holder->fileKey_);
    if (holder->item_) holder->item_->MediaItemDelete();
    holder->item_ = nullptr;
    TextureManager* manager = CurrentTextureManager();
    if (manager && manager->holderList) {
        // Holders mostly go in the reverse of the order they came, as their records do.
        const int32_t index = FindLastPointer(manager->holderList, holder);
        if (index >= 0) IgnoreResult(manager->holderList->Remove(index));
    }
    delete holder;
}

void KeepHolder(MediaHolder* holder)
{
    if (holder && CurrentTextureManager()) ++holder->keepers_;
}

void LetHolderGo(MediaHolder* holder)
{
    // Without the manager its holders are gone already.
    if (!holder || !CurrentTextureManager() || --holder->keepers_ > 0) return;
    holder->MediaHolderUnlockAll();
    DestroyMediaHolder(holder);
}

ResultCode MediaHolder::MediaHolderLoad()
{
    if (!item_) return kResultFailed;
    ResultCode result = item_->Load();
    if (result == kResultOk) result = item_->BuildReducedLevels();
    return result;
}

void MediaHolder::MediaHolderUnload()
{
    if (item_) item_->Unload();
}

void MediaHolder::MediaHolderLock()
{
    if (item_) item_->Lock();
}

void MediaHolder::MediaHolderUnlock()
{
    if (item_) item_->Unlock();
}

void MediaHolder::MediaHolderUnlockAll()
{
    if (item_) item_->UnlockAll();
}

int32_t MediaHolder::MediaHolderStatus()
{
    return item_ ? item_->Status() : 0;
}

MemPixMap* MediaHolder::HolderPixmap(int32_t level)
{
    return item_ ? item_->Pixmap(level) : nullptr;
}

void MediaHolder::HolderFrameRect(PortRect* rect, int32_t level)
{
    *rect = {0, 0, 0, 0};
    if (item_) item_->FrameRect(rect, level);
}

void MediaHolder::HolderBounds(PortRect* rect, int32_t level)
{
    *rect = {0, 0, 0, 0};
    if (item_) item_->Bounds(rect, level);
}

RGBColor48* MediaHolder::HolderColor(RGBColor48* colour)
{
    *colour = {0, 0, 0};
    if (item_) item_->Color(colour);
    return colour;
}

void MediaHolder::HolderTypeName(char* text)
{
    text[0] = 0;
    if (item_) item_->TypeName(text);
}

void MediaHolder::HolderLabel(char* text)
{
    text[0] = 0;
    if (item_) item_->Label(text);
}

void MediaHolder::HolderFileName(char* text)
{
    text[0] = 0;
    if (item_) item_->FileName(text);
}

ResultCode MediaHolder::HolderWriteFileRef(MemoryStream* stream)
{
    return item_ ? item_->WriteFileRef(stream) : kResultFailed;
}

ResultCode MediaHolder::HolderWritePixels(MemoryStream* stream)
{
    return item_ ? item_->WritePixels(stream) : kResultFailed;
}

ResultCode MediaHolder::HolderSetPicture(Q_Offscreen* offscreen)
{
    return item_ ? item_->SetPicture(offscreen) : kResultFailed;
}

ResultCode SetHolderFile(MediaHolder* holder, const PathRecord* path)
{
    FileMediaItem* item = FileItemOf(holder);
    if (!item) return kResultFailed;
    const ResultCode result = item->SetFile(path);
    ForgetFileKey(holder, &holder->fileKey_);
    TextureManager* manager = CurrentTextureManager();
    if (result == kResultOk && manager) {
        holder->fileKey_ = FileNameKey(path->text);
        manager->holdersByFile.try_emplace(holder->fileKey_, holder);
    }
    return result;
}

void GetHolderPath(MediaHolder* holder, PathRecord* path)
{
    // A path that does not fit a record leaves it empty, as a holder without a file does.
    FileMediaItem* item = FileItemOf(holder);
    if (!item || item->GetPath(path) != kResultOk) ClearPathRecord(path);
}

ResultCode SetEmbeddedDataPosition(MediaHolder* holder, int32_t position)
{
    if (!holder || holder->Kind() != kMediaEmbeddedData) return kResultFailed;
    ForgetEmbeddedPosition(holder);
    static_cast<EmbeddedDataItem*>(holder->Item())->SetChunkPosition(position);
    TextureManager* manager = CurrentTextureManager();
    if (manager && position != -1) manager->embeddedByPosition.emplace(position, holder);
    return kResultOk;
}

int32_t EmbeddedDataPosition(MediaHolder* holder)
{
    if (!holder || holder->Kind() != kMediaEmbeddedData) return -1;
    return static_cast<EmbeddedDataItem*>(holder->Item())->ChunkPosition();
}

ResultCode BindEmbeddedDataFile(MediaHolder* holder, MemoryStream* modelStream)
{
    FileMediaItem* item = FileItemOf(holder);
    if (!item || !modelStream || modelStream->StreamKind() != 2) return kResultFailed;
    PathRecord path;
    ResultCode result = static_cast<DiskFileStream*>(modelStream)->GetPathRecord(&path);
    if (result != kResultOk) return result;
    if (item->File()) {
        result = item->SetFile(&path);
        if (result != kResultOk) return result;
    }
    item->SetPath(&path);
    if (holder->Kind() == kMediaEmbeddedData)
        static_cast<EmbeddedDataItem*>(item)->SetScrambled(modelStream->StreamIsScrambled());
    return kResultOk;
}

MediaHolder* FindHolderByPath(TextureManager* manager, const PathRecord* path)
{
    if (!manager || path->text[0] == 0) return nullptr;
    const auto filed = manager->holdersByFile.find(FileNameKey(path->text));
    return filed == manager->holdersByFile.end() ? nullptr : filed->second;
}

MediaHolder* FindEmbeddedHolder(TextureManager* manager, const PathRecord* path, int32_t position)
{
    if (!manager || !manager->holderList) return nullptr;
    // Holders of one chunk position in files of one path are rare: the first in the list is taken.
    MediaHolder* found = nullptr;
    int32_t foundAt = -1;  // its place in the list, looked up only when a second one matches
    int32_t candidates = 0;
    const auto range = manager->embeddedByPosition.equal_range(position);
    for (auto entry = range.first; entry != range.second; ++entry, ++candidates) {
        MediaHolder* holder = entry->second;
        PathRecord own;
        GetHolderPath(holder, &own);
        if (!SamePathName(own.text, path->text)) continue;
        if (!found) {
            found = holder;
            continue;
        }
        if (foundAt < 0) foundAt = manager->holderList->ArrayFind(&found);
        const int32_t at = manager->holderList->ArrayFind(&holder);
        if (at < foundAt) {
            found = holder;
            foundAt = at;
        }
    }
    CountTurns(candidates);
    return found;
}
