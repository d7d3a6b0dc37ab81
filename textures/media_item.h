// MediaItem: the supplier of a texture's picture. An item knows where the picture comes from (a
// picture handed over, embedded data in a model file, a BMP file, a JPEG file), decodes it on
// demand into an 8-bit pixel map whose sides are powers of two, and releases it again.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/path_record.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"
#include "model/picture_budget.h"

class DiskFileStream;
class ImageReader;
class MemPixMap;
class MemoryStream;
class Q_Offscreen;

// Which item class supplies a holder's picture.
using MediaKind = int32_t;
constexpr MediaKind kMediaPict = 0;          // a picture file: the plain item, which takes no file
constexpr MediaKind kMediaEmbedded = 1;      // a picture handed over while a texture table is read
constexpr MediaKind kMediaEmbeddedData = 4;  // a picture in a model file, read again when used
constexpr MediaKind kMediaBmp = 5;
constexpr MediaKind kMediaJpeg = 6;

constexpr int32_t kMediaTypeNameBytes = 32;
constexpr int32_t kMediaLabelBytes = 64;
constexpr ResultCode kResultNoPicture{-108};  // no memory for the picture, or no picture decoded

class MediaItem : public RootObject {
public:
    MediaItem() = default;

    // --- operations, in their fixed order ---
    virtual void MediaItemInit();
    // Unloads and frees the item.
    virtual void MediaItemDelete();
    // Decodes the picture; 0, or the failure.
    virtual ResultCode Load() { return kResultOk; }
    virtual void Unload() {}
    virtual int32_t Status() { return 0; }
    // Takes a picture (embedded pictures only); 0 or the failure.
    virtual ResultCode SetPicture(Q_Offscreen* /*offscreen*/) { return kResultOk; }
    // Makes the reduced levels of the picture: there is one level only.
    virtual ResultCode BuildReducedLevels() { return kResultOk; }
    // Lock and unlock the level pixmaps (UnlockAll as often as each is locked).
    virtual void Lock();
    virtual void Unlock();
    virtual void UnlockAll();
    virtual MemPixMap* Pixmap(int32_t level);
    // The picture's own size (before rounding) of the level.
    virtual void FrameRect(PortRect* rect, int32_t level);
    // The bounds of the level's pixmap, or an empty rectangle.
    virtual void Bounds(PortRect* rect, int32_t level);
    virtual void Color(RGBColor48* colour) { *colour = colour_; }
    virtual void TypeName(char* text);
    virtual void Label(char* text);
    virtual void FileName(char* text);
    // The file reference chunk "TXRF" of a file-backed item; 0.
    virtual ResultCode WriteFileRef(MemoryStream* /*stream*/) { return kResultOk; }
    // The chunk "TXPD" holding the level-0 pixmap; -1 without a picture.
    virtual ResultCode WritePixels(MemoryStream* stream);

    void Destroy() { MediaItemDelete(); }
    int32_t IsFileBacked() const { return fileBacked_; }
    void SetFileBacked(int32_t flag) { fileBacked_ = flag; }

protected:
    // Makes the level-0 pixmap from a decoded picture: its bounds rounded to powers of two,
    // the picture scaled into it; the frame keeps the picture's own size. 0, or -108.
    ResultCode MakeLevelFrom(Q_Offscreen* picture);
    void FreeLevels();

    int32_t fileBacked_ = 0;
    MemPixMap* levels_[1] = {nullptr};
    char typeName_[kMediaTypeNameBytes] = {};
    char label_[kMediaLabelBytes] = {};
    RGBColor48 colour_ = {0, 0, 0};
    PortRect frames_[1] = {{0, 0, 0, 0}};
};

// A picture handed over as an offscreen (a texture table read from memory); it stays until the
// item is deleted.
class EmbeddedPictureItem : public MediaItem {
public:
    void MediaItemInit() override;
    // Keeps a copy of the offscreen matched to the colour cube at power-of-two sides, and the
    // label "<w>h x <h>v"; 0 (also when a picture is there already), -1 without an offscreen,
    // -108 when no pixmap can be made.
    ResultCode SetPicture(Q_Offscreen* offscreen) override;
};

// The base of the items whose pictures live in files.
class FileMediaItem : public MediaItem {
public:
    void MediaItemInit() override;
    void MediaItemDelete() override;
    // The file's full path.
    void FileName(char* text) override;
    ResultCode WriteFileRef(MemoryStream* stream) override;

    // --- file operations, in their fixed order ---
    // Names the file by the path and locates it; 0 or the failure.
    virtual ResultCode SetFile(const PathRecord* path);
    virtual ResultCode GetPath(PathRecord* path);
    virtual void SetPath(const PathRecord* path);

    DiskFileStream* File() const { return file_; }

protected:
    // Loads the picture with the reader made for the opened file (null: no memory).
    ResultCode DecodeFile(ImageReader* (*makeReader)(MemoryStream* stream));

    DiskFileStream* file_ = nullptr;
    PathRecord* path_ = nullptr;
};

// A picture stored in a "TXPD" chunk of a model file: the item keeps the file's path, whether
// it was scrambled and the chunk's position, and reads the picture again when it is used.
class EmbeddedDataItem : public FileMediaItem {
public:
    void MediaItemInit() override;
    ResultCode Load() override;
    void Unload() override { FreeLevels(); }
    // The picture of its chunk, decoded by the read that found the chunk, becomes the level as a
    // load would make it, so that the file is not opened again for it; nothing changes when the
    // item is loaded. 0 or the failure.
    ResultCode SetPicture(Q_Offscreen* offscreen) override;
    // The model file's path.
    void FileName(char* text) override;
    // Stores the path: the item keeps no file object between loads.
    ResultCode SetFile(const PathRecord* path) override;
    ResultCode GetPath(PathRecord* path) override;

    void SetChunkPosition(int32_t position) { position_ = position; }
    int32_t ChunkPosition() const { return position_; }
    void SetScrambled(bool scrambled) { scrambled_ = scrambled; }

private:
    int32_t position_ = -1;
    bool scrambled_ = false;
};

class BmpFileItem : public FileMediaItem {
public:
    void MediaItemInit() override;
    ResultCode Load() override;
    void Unload() override { FreeLevels(); }
};

class JpegImageItem : public FileMediaItem {
public:
    void MediaItemInit() override;
    ResultCode Load() override;
    void Unload() override { FreeLevels(); }
};

// A new item of the kind's class (the plain item for kinds without one), not yet initialised;
// null when memory is short.
MediaItem* NewMediaItem(MediaKind kind);
