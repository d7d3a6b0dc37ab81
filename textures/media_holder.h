// MediaHolder: the holder of one media item, shared by every texture record that shows the same
// picture, kept in the texture manager's holder list. Its use count decides when the item's
// picture is decoded and released; the records bound to it keep it, and it goes with the last.
#pragma once

#include <cstdint>
#include <string>

#include "textures/media_item.h"

struct TextureManager;

class MediaHolder : public RootObject {
public:
    // Makes the item of the kind, marks it file-backed (kinds 4, 5, 6) and initialises it.
    explicit MediaHolder(MediaKind kind);

    // Decodes the picture (item load, then its reduced levels); the first failure, or 0.
    ResultCode MediaHolderLoad();
    void MediaHolderUnload();
    void MediaHolderLock();
    void MediaHolderUnlock();
    void MediaHolderUnlockAll();
    int32_t MediaHolderStatus();

    MemPixMap* HolderPixmap(int32_t level);
    void HolderFrameRect(PortRect* rect, int32_t level);
    void HolderBounds(PortRect* rect, int32_t level);
    RGBColor48* HolderColor(RGBColor48* colour);
    void HolderTypeName(char* text);
    void HolderLabel(char* text);
    void HolderFileName(char* text);
    ResultCode HolderWriteFileRef(MemoryStream* stream);
    ResultCode HolderWritePixels(MemoryStream* stream);
    ResultCode HolderSetPicture(Q_Offscreen* offscreen);

    MediaKind Kind() const { return kind_; }
    MediaItem* Item() const { return item_; }
    int32_t UseCount() const { return useCount_; }
    void AddUse() { ++useCount_; }
    // One use fewer, never below 0.
    void RemoveUse()
    {
        if (useCount_ > 0) --useCount_;
    }
    // What keeps the holder: the records bound to it, and a caller moving a record between holders.
    int32_t Keepers() const { return keepers_; }

private:
    friend void DestroyMediaHolder(MediaHolder* holder);
    friend void KeepHolder(MediaHolder* holder);
    friend void LetHolderGo(MediaHolder* holder);
    friend ResultCode SetHolderFile(MediaHolder* holder, const PathRecord* path);
    ~MediaHolder() override = default;

    MediaKind kind_;
    MediaItem* item_ = nullptr;
    int32_t useCount_ = 0;
    int32_t keepers_ = 0;
    std::string fileKey_;  // the key it is found by in the manager's holders of files, or empty
};

// A new holder of the kind, appended to the manager's holder list; null when it cannot be made.
MediaHolder* NewMediaHolder(TextureManager* manager, MediaKind kind);
// Deletes the item, takes the holder out of the current manager's list and index and frees it.
void DestroyMediaHolder(MediaHolder* holder);
// One more keeper of the holder (null, or no texture manager: nothing).
void KeepHolder(MediaHolder* holder);
// One keeper fewer: after the last the holder is destroyed, its picture unlocked first. Nothing
// without a texture manager: its holders went with it.
void LetHolderGo(MediaHolder* holder);

// Names the item's file by the path and locates it, and files the holder under the path's key
// (the first holder of a file stays the one found); -1 unless the item is file-backed.
ResultCode SetHolderFile(MediaHolder* holder, const PathRecord* path);
// The item's path; a cleared record unless the item is file-backed.
void GetHolderPath(MediaHolder* holder, PathRecord* path);
// The position of the picture chunk of an embedded-data holder; -1 for other kinds.
ResultCode SetEmbeddedDataPosition(MediaHolder* holder, int32_t position);
int32_t EmbeddedDataPosition(MediaHolder* holder);
// Ties an embedded-data holder to the model file: the file's path and whether it is scrambled
// (the file object itself is not kept). -1 unless the item is file-backed.
ResultCode BindEmbeddedDataFile(MediaHolder* holder, MemoryStream* modelStream);

// The holder of the manager filed under the path's key (FileNameKey: the same file however its
// name is spelled), looked up in one look; or null.
MediaHolder* FindHolderByPath(TextureManager* manager, const PathRecord* path);
// The first embedded-data holder of that chunk position and path, or null.
MediaHolder* FindEmbeddedHolder(TextureManager* manager, const PathRecord* path, int32_t position);
