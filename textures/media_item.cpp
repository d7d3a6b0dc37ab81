// MediaItem and its classes: the level pixmap made from a decoded picture, embedded pictures,
// and the items that decode BMP files, JPEG files and pictures embedded in model files.
#include "textures/media_item.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "draw/mem_pix_map.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "draw/true_colour_rows.h"
#include "foundation/disk_file_stream.h"
#include "foundation/file_lookups.h"
#include "foundation/loop_turns.h"
#include "foundation/process_state.h"
#include "foundation/system_weights.h"
#include "foundation/ui_services.h"
#include "model/read_budget.h"
#include "textures/bmp_reader.h"
#include "textures/jpeg_reader.h"
#include "textures/offscreen_reader.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"

namespace {

constexpr ChunkTag kTagPixelData = ChunkTagOf("TXPD");
constexpr ChunkTag kTagFileRef = ChunkTagOf("TXRF");
constexpr uint32_t kAnyCode = 0x3F3F3F3F;  // "????"

ImageReader* MakeBmpReader(MemoryStream* stream)
{
    return new (std::nothrow) OffscreenReader<BmpImageReader>(stream);
}

ImageReader* MakeJpegReader(MemoryStream* stream)
{
    return new (std::nothrow) OffscreenReader<JpegImageReader>(stream);
}

// The picture budget that the texture set's pictures spend on, or null.
PictureBudget* TextureSetPictures()
{
    const TextureManager* manager = CurrentTextureManager();
    return manager ? manager->pictures : nullptr;
}

// Spends the opening of the file by its name on the budget: false, its alert shown, when the
// budget has not that much left.
bool SpendOnOpening(PictureBudget* pictures, const DiskFileStream* file)
{
    CountTurns(kFileLookupTurns);
    if (!pictures || pictures->Spend(kUnitsPerFileOpen)) return true;
    char name[kPathLength];
    file->FileNameWithExtension(name);
    char text[sizeof name + sizeof kFileOpenPastBudgetMessage];
    std::snprintf(text, sizeof text, kFileOpenPastBudgetMessage, name);
    ShowAlert(text);
    return false;
}

}  // namespace

// --- MediaItem ---

void MediaItem::MediaItemInit()
{
    levels_[0] = nullptr;
    frames_[0] = {0, 0, 0, 0};
}

void MediaItem::MediaItemDelete()
{
    Unload();
    // An embedded picture is never unloaded: its pixels go with the item.
    FreeLevels();
    delete this;
}

void MediaItem::FreeLevels()
{
    if (levels_[0]) levels_[0]->DisposePixMap();
    levels_[0] = nullptr;
}

void MediaItem::Lock()
{
    if (levels_[0]) IgnoreResult(levels_[0]->Lock());
}

void MediaItem::Unlock()
{
    if (levels_[0]) levels_[0]->Unlock();
}

void MediaItem::UnlockAll()
{
    if (!levels_[0]) return;
    for (int32_t n = levels_[0]->LockCount(); n > 0; --n) levels_[0]->Unlock();
}

MemPixMap* MediaItem::Pixmap(int32_t level)
{
    return level == 0 ? levels_[0] : nullptr;
}

void MediaItem::FrameRect(PortRect* rect, int32_t level)
{
    *rect = level == 0 ? frames_[0] : PortRect{0, 0, 0, 0};
}

void MediaItem::Bounds(PortRect* rect, int32_t level)
{
    *rect = {0, 0, 0, 0};
    if (MemPixMap* pixmap = Pixmap(level)) pixmap->GetBounds(rect);
}

void MediaItem::TypeName(char* text)
{
    std::memcpy(text, typeName_, sizeof typeName_);
}

void MediaItem::Label(char* text)
{
    std::memcpy(text, label_, sizeof label_);
}

void MediaItem::FileName(char* text)
{
    std::strcpy(text, "blah");
}

ResultCode MediaItem::WritePixels(MemoryStream* stream)
{
    if (!levels_[0]) return kResultFailed;
    ResultCode result = stream->StreamBeginChunk(kTagPixelData);
    if (result != kResultOk) return result;
    result = levels_[0]->ReadWriteOffscreenImage(stream, nullptr, 0);
    const ResultCode ended = stream->StreamEndChunk();
    return result != kResultOk ? result : ended;
}

ResultCode MediaItem::MakeLevelFrom(Q_Offscreen* picture)
{
    PortRect source;
    picture->GetBounds(&source);
    const PortRect target = {source.left, source.top, source.left + TextureSide(source.Width()),
                             source.top + TextureSide(source.Height())};
    if (LowMemoryLevel != 0) return kResultNoPicture;
    MemPixMap* pixmap = new (std::nothrow) MemPixMap;
    if (!pixmap) return kResultNoPicture;
    if (pixmap->MemPixMapInit(target, 8) != kResultOk) {
        pixmap->DisposePixMap();
        return kResultNoPicture;
    }
    IgnoreResult(picture->Lock());
    IgnoreResult(pixmap->Lock());
    picture->CopyOffscreenToPort(pixmap, source, target);
    pixmap->Unlock();
    picture->Unlock();
    frames_[0] = source;
    levels_[0] = pixmap;
    return kResultOk;
}

// --- EmbeddedPictureItem ---

void EmbeddedPictureItem::MediaItemInit()
{
    MediaItem::MediaItemInit();
    std::snprintf(typeName_, sizeof typeName_, "%s", "Embed");
}

ResultCode EmbeddedPictureItem::SetPicture(Q_Offscreen* offscreen)
{
    if (levels_[0]) return kResultOk;
    if (!offscreen) return kResultFailed;
    PortRect source;
    offscreen->GetBounds(&source);
    const PortRect target = {source.left, source.top, source.left + TextureSide(source.Width()),
                             source.top + TextureSide(source.Height())};
    ResultCode result = kResultNoPicture;
    // A picture whose sides are powers of two already, in the true colour that the copy would be
    // made in, would be copied pixel for pixel: it is matched to the cube as it is.
    const int32_t copyDepth = OffscreenScreenDepth();
    const bool asItIs = target.right == source.right && target.bottom == source.bottom && copyDepth >= 9 &&
                        offscreen->Format().bitsPerPixel == copyDepth &&
                        TrueColourRowsDepth(offscreen->Format(), source) != 0;
    Q_Offscreen* scaled = asItIs ? nullptr : new (std::nothrow) Q_Offscreen;
    Q_Offscreen* matched = asItIs ? offscreen : nullptr;
    if (scaled && scaled->QOffscreenInit(target, 8, nullptr) == kResultOk) {
        IgnoreResult(offscreen->Lock());
        IgnoreResult(scaled->Lock());
        offscreen->CopyOffscreenToPort(scaled, source, target);
        scaled->Unlock();
        offscreen->Unlock();
        matched = scaled;
    }
    if (matched) {
        MemPixMap* pixmap = new (std::nothrow) MemPixMap;
        if (pixmap && pixmap->MemPixMapInit8(matched) == kResultOk) {
            frames_[0] = source;
            levels_[0] = pixmap;
            result = kResultOk;
        } else if (pixmap) {
            pixmap->DisposePixMap();
        }
    }
    if (scaled) scaled->DisposeOffscreen();
    std::snprintf(label_, sizeof label_, "%d%s x %d%s", int(source.Width()), "h", int(source.Height()), "v");
    return result;
}

// --- FileMediaItem ---

void FileMediaItem::MediaItemInit()
{
    MediaItem::MediaItemInit();
    file_ = new (std::nothrow) DiskFileStream;
    if (file_) IgnoreResult(file_->FileObjectInit(kFileReference, 0, 0, "", ""));
    path_ = new (std::nothrow) PathRecord;
    if (path_) ClearPathRecord(path_);
}

void FileMediaItem::MediaItemDelete()
{
    if (file_) file_->FileObjectDestroy();
    file_ = nullptr;
    delete path_;
    path_ = nullptr;
    MediaItem::MediaItemDelete();
}

void FileMediaItem::FileName(char* text)
{
    text[0] = 0;
    if (file_) IgnoreResult(file_->FileFullPath(text));
}

ResultCode FileMediaItem::WriteFileRef(MemoryStream* stream)
{
    if (!file_) return kResultOk;
    file_->SetFileAttribute(stream->StreamKind() == 2 ? static_cast<DiskFileStream*>(stream) : nullptr);
    ResultCode result = stream->StreamBeginChunk(kTagFileRef);
    if (result == kResultOk) {
        result = file_->Write(stream);
        const ResultCode ended = stream->StreamEndChunk();
        if (result == kResultOk) result = ended;
    }
    file_->SetFileAttribute(nullptr);
    return result;
}

ResultCode FileMediaItem::SetFile(const PathRecord* path)
{
    if (!file_) return kResultFailed;
    const ResultCode result = file_->SetFileFromPathRecord(path);
    return result == kResultOk ? file_->FileDialog() : result;
}

ResultCode FileMediaItem::GetPath(PathRecord* path)
{
    if (!file_) {
        ClearPathRecord(path);
        return kResultFailed;
    }
    return file_->GetPathRecord(path);
}

void FileMediaItem::SetPath(const PathRecord* path)
{
    if (path_) CopyPathRecord(path_, path);
}

ResultCode FileMediaItem::DecodeFile(ImageReader* (*makeReader)(MemoryStream* stream))
{
    if (!file_) return kResultFailed;
    if (levels_[0]) return kResultOk;
    char path[kPathLength];
    if (file_->FileFullPath(path) != kResultOk || NamesADevice(path)) return kResultNotFound;
    PictureBudget* pictures = TextureSetPictures();
    if (!SpendOnOpening(pictures, file_)) return kResultPastBudget;
    IgnoreResult(file_->StreamSetDirection(kStreamReading));
    ResultCode result = file_->FileOpenStream();
    if (result != kResultOk) return result;
    // The file's bytes pay for pictures of the model, once for a file however many paths name it.
    FileIdentity identity;
    int32_t size = 0;
    if (pictures && file_->OpenFileIdentity(&identity) && file_->StreamSize(&size) == kResultOk)
        pictures->AddFileBytes(identity, size);
    ImageReader* reader = makeReader(file_);
    Q_Offscreen* picture = nullptr;
    if (reader) {
        reader->ChargePicturesTo(pictures);
        result = reader->Read(8);
        picture = reader->ImageReaderOffscreen();
        reader->Destroy();
    }
    result = picture ? MakeLevelFrom(picture) : kResultNoPicture;
    if (picture) picture->DisposeOffscreen();
    const ResultCode closed = file_->FileCloseStream();
    return result != kResultOk ? result : closed;
}

// --- EmbeddedDataItem ---

void EmbeddedDataItem::MediaItemInit()
{
    MediaItem::MediaItemInit();
    path_ = new (std::nothrow) PathRecord;
    if (path_) ClearPathRecord(path_);
    file_ = nullptr;
    std::snprintf(typeName_, sizeof typeName_, "%s", "Embed");
}

void EmbeddedDataItem::FileName(char* text)
{
    text[0] = 0;
    if (path_) std::snprintf(text, kPathLength, "%s", path_->text);
}

ResultCode EmbeddedDataItem::SetFile(const PathRecord* path)
{
    SetPath(path);
    return path_ ? kResultOk : kResultFailed;
}

ResultCode EmbeddedDataItem::GetPath(PathRecord* path)
{
    if (!path_) {
        ClearPathRecord(path);
        return kResultFailed;
    }
    CopyPathRecord(path, path_);
    return kResultOk;
}

ResultCode EmbeddedDataItem::SetPicture(Q_Offscreen* offscreen)
{
    if (levels_[0]) return kResultOk;
    return offscreen ? MakeLevelFrom(offscreen) : kResultFailed;
}

ResultCode EmbeddedDataItem::Load()
{
    if (!path_ || path_->text[0] == 0 || position_ == -1) return kResultFailed;
    if (levels_[0]) return kResultOk;
    Owned<DiskFileStream> file(new (std::nothrow) DiskFileStream);
    if (!file) return kResultNoPicture;
    IgnoreResult(file->FileObjectInit(kFileOpen, kAnyCode, kAnyCode, "", ""));
    ResultCode result = file->SetFileFromPathRecord(path_);
    if (result == kResultOk) result = file->FileDialog();
    if (result == kResultOk && !SpendOnOpening(TextureSetPictures(), file.get())) return kResultPastBudget;
    IgnoreResult(file->StreamSetDirection(kStreamReading));
    if (result == kResultOk) result = file->FileOpenStream();
    if (result != kResultOk) return result;
    if (scrambled_) file->StreamScrambleOn();

    Q_Offscreen* picture = new (std::nothrow) Q_Offscreen;
    if (!picture) {
        IgnoreResult(file->FileCloseStream());
        return kResultNoPicture;
    }
    result = file->StreamSetPosition(position_);
    if (result == kResultOk) {
        if (file->StreamEnterChunk() == kTagPixelData) {
            result = picture->ReadWriteOffscreenImage(file.get(), nullptr, 0, TextureSetPictures());
            IgnoreResult(file->StreamEndChunk());
        } else {
            result = kResultFailed;
        }
    }
    if (result == kResultOk) result = MakeLevelFrom(picture);
    picture->DisposeOffscreen();
    file->StreamScrambleOff();
    IgnoreResult(file->FileCloseStream());
    return result;
}

// --- BmpFileItem and JpegImageItem ---

void BmpFileItem::MediaItemInit()
{
    FileMediaItem::MediaItemInit();
    std::snprintf(typeName_, sizeof typeName_, "%s", "BMP");
}

ResultCode BmpFileItem::Load()
{
    return DecodeFile(MakeBmpReader);
}

void JpegImageItem::MediaItemInit()
{
    FileMediaItem::MediaItemInit();
    std::snprintf(typeName_, sizeof typeName_, "%s", "JPEG");
}

ResultCode JpegImageItem::Load()
{
    return DecodeFile(MakeJpegReader);
}

MediaItem* NewMediaItem(MediaKind kind)
{
    switch (kind) {
    case kMediaEmbedded: return new (std::nothrow) EmbeddedPictureItem;
    case kMediaEmbeddedData: return new (std::nothrow) EmbeddedDataItem;
    case kMediaBmp: return new (std::nothrow) BmpFileItem;
    case kMediaJpeg: return new (std::nothrow) JpegImageItem;
    default: return new (std::nothrow) MediaItem;
    }
}
