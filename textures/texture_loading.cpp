// Making texture records and binding their pictures: by file type, from embedded data, as
// embedded pictures; the forwarders to the holder; and the adding of texture source files.
#include <cstdio>
#include <cstring>
#include <new>

#include "draw/q_offscreen.h"
#include "foundation/disk_file_stream.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "textures/media_holder.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"
#include "textures/texture_table.h"

namespace {

constexpr uint32_t kAnyCode = 0x3F3F3F3F;  // "????"
constexpr char kProgressTitle[] = "Tamrix Player";

MediaKind KindOfFileType(uint32_t code)
{
    if (code == ExtensionCode("PIC")) return kMediaPict;
    if (code == ExtensionCode("JPG")) return kMediaJpeg;
    if (code == ExtensionCode("BMP") || code == ExtensionCode("DIB")) return kMediaBmp;
    return -1;
}

uint32_t FileTypeOf(const PathRecord* path)
{
    uint32_t code = 0;
    GetPathExtensionCode(path, &code);
    return code;
}

}  // namespace

ResultCode LoadTextureByFileType(TextureRecord* record, const PathRecord* path)
{
    const MediaKind kind = KindOfFileType(FileTypeOf(path));
    if (kind < 0) return kResultFailed;
    TextureManager* manager = CurrentTextureManager();
    MediaHolder* holder = FindHolderByPath(manager, path);
    ResultCode result = kResultOk;
    bool made = false;
    if (!holder) {
        holder = NewMediaHolder(manager, kind);
        if (!holder) return kResultFailed;
        made = true;
        result = SetHolderFile(holder, path);
    }
    if (result == kResultOk) {
        SetTextureHolder(record, holder);
    } else if (made) {
        DestroyMediaHolder(holder);
    }
    return result;
}

ResultCode LoadTextureFromFileObject(TextureRecord* record, DiskFileStream* file)
{
    PathRecord* path = new (std::nothrow) PathRecord;
    if (!path) return kResultFailed;
    ResultCode result = file->GetPathRecord(path);
    if (result == kResultOk) result = LoadTextureByFileType(record, path);
    delete path;
    return result;
}

ResultCode CreateTextureRecord(TextureRecordList* list, const char* name, const PathRecord* path,
                               TextureRecord** out)
{
    const bool listed = FindTextureByName(list, name) != nullptr;
    TextureRecord* record = new (std::nothrow) TextureRecord(list);
    if (!record) {
        if (out) *out = nullptr;
        return kResultFailed;
    }
    SetTextureName(record, name);
    const ResultCode result = LoadTextureByFileType(record, path);
    if (listed) {
        MakeUniqueTextureName(record);
        if (out) *out = record;
        return kResultOk;
    }
    if (result != kResultOk) {
        DestroyTextureRecord(record);
        record = nullptr;
    }
    if (out) *out = record;
    return result;
}

ResultCode BindEmbeddedTextureData(TextureRecord* record, MemoryStream* modelFile, int32_t position)
{
    if (!modelFile || modelFile->StreamKind() != 2) return kResultFailed;
    PathRecord path;
    ResultCode result = static_cast<DiskFileStream*>(modelFile)->GetPathRecord(&path);
    if (result != kResultOk) return result;
    TextureManager* manager = CurrentTextureManager();
    MediaHolder* holder = FindEmbeddedHolder(manager, &path, position);
    bool made = false;
    if (!holder) {
        holder = NewMediaHolder(manager, kMediaEmbeddedData);
        if (!holder) return kResultFailed;
        made = true;
        result = SetEmbeddedDataPosition(holder, position);
        if (result == kResultOk) result = BindEmbeddedDataFile(holder, modelFile);
    }
    if (result == kResultOk) {
        SetTextureHolder(record, holder);
    } else if (made) {
        DestroyMediaHolder(holder);
    }
    return result;
}

ResultCode MakeEmbeddedPictureTexture(TextureRecord* record)
{
    MediaHolder* holder = NewMediaHolder(CurrentTextureManager(), kMediaEmbedded);
    if (!holder) return kResultFailed;
    SetTextureHolder(record, holder);
    return kResultOk;
}

void AssignTextureFrom(TextureRecord* record, TextureRecord* source)
{
    MediaHolder* holder = source->holder;
    if (!holder || !holder->Item() || !holder->Item()->IsFileBacked()) return;
    if (holder->Kind() == kMediaEmbeddedData) {
        SetTextureHolder(record, holder);
    } else {
        PathRecord path;
        GetHolderPath(holder, &path);
        // A file that cannot be had leaves the record without a picture.
        IgnoreResult(LoadTextureByFileType(record, &path));
    }
    std::memcpy(record->name, source->name, sizeof record->name);
    record->attributes = source->attributes;
    // A picture that cannot be loaded leaves the texture without it.
    if (TextureInUse(record) && record->holder && record->holder->UseCount() == 0) IgnoreResult(LoadTextureMedia(record));
    IgnoreResult(RefreshTextureUsers(record, false));  // not watched: never stopped
}

// --- forwarders ---

MemPixMap* TextureItemProperty(TextureRecord* record, int32_t level)
{
    return record && record->holder ? record->holder->HolderPixmap(level) : nullptr;
}

RGBColor48* TextureItemColor(TextureRecord* record, RGBColor48* colour)
{
    *colour = {0, 0, 0};
    return record && record->holder ? record->holder->HolderColor(colour) : colour;
}

void TextureItemTypeName(TextureRecord* record, char* text)
{
    text[0] = 0;
    if (record && record->holder) record->holder->HolderTypeName(text);
}

void TextureItemLabel(TextureRecord* record, char* text)
{
    text[0] = 0;
    if (record && record->holder) record->holder->HolderLabel(text);
}

void TextureItemFileName(TextureRecord* record, char* text)
{
    text[0] = 0;
    if (record && record->holder) record->holder->HolderFileName(text);
}

int32_t TextureItemStatus(TextureRecord* record)
{
    return record && record->holder ? record->holder->MediaHolderStatus() : 0;
}

void TextureItemBounds(TextureRecord* record, PortRect* rect, int32_t level)
{
    *rect = {0, 0, 0, 0};
    if (record && record->holder) record->holder->HolderBounds(rect, level);
}

void TextureItemFrameRect(TextureRecord* record, PortRect* rect, int32_t level)
{
    *rect = {0, 0, 0, 0};
    if (record && record->holder) record->holder->HolderFrameRect(rect, level);
}

ResultCode TextureItemQuery(TextureRecord* record, MemoryStream* stream)
{
    return record && record->holder ? record->holder->HolderWriteFileRef(stream) : kResultOk;
}

ResultCode TextureItemWriteData(TextureRecord* record, MemoryStream* stream)
{
    return record && record->holder ? record->holder->HolderWritePixels(stream) : kResultFailed;
}

ResultCode LoadTextureMedia(TextureRecord* record)
{
    return record && record->holder ? record->holder->MediaHolderLoad() : kResultFailed;
}

void UnloadTextureMedia(TextureRecord* record)
{
    if (record && record->holder) record->holder->MediaHolderUnload();
}

ResultCode SetTexturePicture(TextureRecord* record, Q_Offscreen* offscreen)
{
    return record && record->holder ? record->holder->HolderSetPicture(offscreen) : kResultFailed;
}

// --- adding texture sources ---

ResultCode AddTextureFile(TextureRecordList* list, const PathRecord* path)
{
    ++TextureAddingDepth;
    OpenTextureProgress();
    ProgressSetText(kProgressTitle);
    ProgressSetTotal(101);
    ProgressSetValue(0);
    const uint32_t code = FileTypeOf(path);
    char name[kPathLength];
    PathRecordGetName(path, name);
    char line[kPathLength + 40];
    auto announce = [&](const char* format) {
        std::snprintf(line, sizeof line, format, name);
        ProgressSetMessage(line);
        ProgressShow();
    };
    ResultCode result = kResultOk;
    if (code == ExtensionCode("PIC")) {
        announce("Adding PICT file \"%s\"...");
        result = CreateTextureRecord(list, name, path, nullptr);
    } else if (code == ExtensionCode("BMP") || code == ExtensionCode("JPG")) {
        announce(code == ExtensionCode("BMP") ? "Adding BMP file \"%s\"..." : "Adding JPEG file \"%s\"...");
        ProgressSetValue(50);
        ProgressUpdate(0);
        result = CreateTextureRecord(list, name, path, nullptr);
    } else if (IsModelFileType(path) || code == ExtensionCode("TKB") || code == ExtensionCode("TLB")) {
        announce(IsModelFileType(path) ? "Adding Player model \"%s\"..." : "Adding Player library \"%s\"...");
        DiskFileStream* file = new (std::nothrow) DiskFileStream;
        result = kResultFailed;
        if (file) {
            IgnoreResult(file->FileObjectInit(kFileOpen, kAnyCode, kAnyCode, "", ""));
            IgnoreResult(file->StreamSetDirection(kStreamReading));
            result = file->SetFileFromPathRecord(path);
            if (result == kResultOk) result = file->FileOpenStream();
            if (result == kResultOk) {
                TextureManager* manager = CurrentTextureManager();
                BeginTextureSave(manager, file, list);
                result = TextureTableChunk(manager, file);
                IgnoreResult(CollectUsedTextures(manager, file, UserRefresh::kWhole));  // not watched: never stopped
                IgnoreResult(file->FileCloseStream());
            }
            file->FileObjectDestroy();
        }
    }
    ProgressSetValue(102);
    ProgressUpdate(0);
    ProgressFinish();
    --TextureAddingDepth;
    return result;
}

ResultCode AddTextureFiles(TextureRecordList* list, const DynamicArray* paths)
{
    ResultCode result = kResultOk;
    for (int32_t i = 0; paths && i < paths->ArrayCount() && result == kResultOk; ++i)
        result = AddTextureFile(list, paths->At<PathRecord>(i));
    if (result != kResultOk) ShowAlert("Couldn't load all the textures.  Memory may be low.");
    return result;
}
