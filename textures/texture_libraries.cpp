// The global texture lists, the index of the image files beside the model, the texture folder
// scan and the locking of the texture set.
#include "textures/texture_libraries.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "foundation/directory_scan.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/file_lookups.h"
#include "foundation/path_separators.h"
#include "foundation/pointer_list.h"
#include "foundation/ui_services.h"
#include "foundation/win32_services.h"
#include "textures/media_holder.h"
#include "textures/texture_manager.h"
#include "textures/texture_record.h"

DynamicArray* LibraryFileList = nullptr;
TextureRecordList* LibraryTextureList = nullptr;
TextureRecordList* EmbeddedTextureList = nullptr;
TextureRecordList* ImageResourceList = nullptr;

namespace {

constexpr int32_t kFileListGrowStep = 8;
constexpr int32_t kScanGrowStep = 4;
constexpr char kProgressTitle[] = "Tamrix Player";

void DestroyFiles(DynamicArray* files)
{
    for (int32_t i = 0; files && i < files->ArrayCount(); ++i) PointerAt<DiskFileStream>(files, i)->FileObjectDestroy();
}

// A record named name.ext for each file object, attribute 2 cleared; the file objects are
// destroyed.
void RecordsForFiles(TextureRecordList* list, DynamicArray* files, bool showProgress)
{
    for (int32_t i = 0; i < files->ArrayCount(); ++i) {
        DiskFileStream* file = PointerAt<DiskFileStream>(files, i);
        char name[kPathLength];
        file->FileNameWithExtension(name);
        if (showProgress) {
            char line[kPathLength + 16];
            std::snprintf(line, sizeof line, "Reading: %s", name);
            ProgressSetDetail(line);
            char full[kPathLength * 2];
            std::snprintf(full, sizeof full, "%s%s.%s", file->Directory(), file->Name(), file->Extension());
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA(full, &found);
            if (search != INVALID_HANDLE_VALUE) {
                ProgressSetTotal(int32_t(found.nFileSizeLow - found.nFileSizeHigh));
                FindClose(search);
            }
            ProgressSetValue(0);
            ProgressShow();
        }
        PathRecord path;
        TextureRecord* record = nullptr;
        if (file->GetPathRecord(&path) == kResultOk && CreateTextureRecord(list, name, &path, &record) == kResultOk &&
            record) {
            record->attributes[2] = 0;
        }
        file->FileObjectDestroy();
    }
    IgnoreResult(files->ArraySetCount(0));
}

// The name.ext of the indexed record's file-backed holder, cut to the name field; empty without one.
std::string IndexedFileName(TextureRecord* record)
{
    if (!record->holder || !record->holder->Item() || !record->holder->Item()->IsFileBacked()) return {};
    PathRecord path;
    GetHolderPath(record->holder, &path);
    char name[kPathLength];
    PathRecordGetName(&path, name);
    name[kTextureNameBytes - 1] = 0;
    return name;
}

}  // namespace

void InitTextureLibraries()
{
    if (LibraryFileList) return;
    LibraryFileList = NewDynamicArray(0, int32_t(sizeof(DiskFileStream*)), kFileListGrowStep);
    LibraryTextureList = NewTextureRecordList();
    EmbeddedTextureList = NewTextureRecordList();
}

void FreeTextureLibraries()
{
    DestroyFiles(LibraryFileList);
    if (LibraryFileList) LibraryFileList->Destroy();
    LibraryFileList = nullptr;
    ReleaseTextureRecords(LibraryTextureList);
    FreeTextureRecordList(LibraryTextureList);
    LibraryTextureList = nullptr;
    FreeTextureRecordList(EmbeddedTextureList);
    EmbeddedTextureList = nullptr;
}

void FreeImageResources()
{
    if (TextureManager* manager = CurrentTextureManager()) manager->imagesByName.clear();
    ReleaseTextureRecords(ImageResourceList);
    FreeTextureRecordList(ImageResourceList);
    ImageResourceList = nullptr;
}

void IndexImageResources(DiskFileStream* modelFile)
{
    FreeImageResources();
    ImageResourceList = NewTextureRecordList();
    PathRecord modelPath;
    if (!ImageResourceList || !modelFile || modelFile->GetPathRecord(&modelPath) != kResultOk) return;
    char directoryText[kPathLength];
    PathRecordGetDirectory(&modelPath, directoryText);
    PathRecord directory;
    if (SetPathRecordText(&directory, directoryText) != kResultOk) return;
    Owned<DynamicArray> files(NewDynamicArray(0, int32_t(sizeof(DiskFileStream*)), kScanGrowStep));
    if (!files) return;
    for (const char* type : {"BMP", "DIB"}) {
        ScanDirectory(&directory, "", ExtensionCode(type), files.get());
        RecordsForFiles(ImageResourceList, files.get(), false);
    }
    TextureManager* manager = CurrentTextureManager();
    for (int32_t i = 0; manager && i < TextureRecordCount(ImageResourceList); ++i) {
        TextureRecord* record = TextureRecordAt(ImageResourceList, i);
        const std::string name = IndexedFileName(record);
        if (!name.empty()) manager->imagesByName.try_emplace(FileNameKey(name.c_str()), record);
    }
}

TextureRecord* FindImageResourceByName(DiskFileStream* file)
{
    // Byte for byte: the indexed file of that name in any case, if it is spelled so.
    TextureRecord* record = FindImageResource(file);
    char wanted[kPathLength];
    file->FileNameWithExtension(wanted);
    return record && IndexedFileName(record) == wanted ? record : nullptr;
}

TextureRecord* FindImageResource(DiskFileStream* file)
{
    const TextureManager* manager = CurrentTextureManager();
    if (!manager) return nullptr;
    char wanted[kPathLength];
    file->FileNameWithExtension(wanted);
    wanted[kTextureNameBytes - 1] = 0;
    const auto indexed = manager->imagesByName.find(FileNameKey(wanted));
    return indexed == manager->imagesByName.end() ? nullptr : indexed->second;
}

ResultCode LocateMissingTextureFile(DiskFileStream* file)
{
    // A reference that could not be read leaves the file object with its bare name.ext, so the
    // file is found beside the model by that name, in any case, as the file system finds it.
    TextureRecord* record = FindImageResource(file);
    if (!record) return kResultFailed;
    PathRecord path;
    GetHolderPath(record->holder, &path);
    const ResultCode result = file->SetFileFromPathRecord(&path);
    return result == kResultOk ? file->FileDialog() : result;
}

void LockTextureSet(TextureManager* manager)
{
    if (++manager->lockDepth != 1 || !manager->holderList) return;
    for (int32_t i = 0; i < manager->holderList->ArrayCount(); ++i) {
        MediaHolder* holder = PointerAt<MediaHolder>(manager->holderList, i);
        if (holder->UseCount() > 0) holder->MediaHolderLock();
    }
}

void UnlockTextureSet(TextureManager* manager)
{
    if (--manager->lockDepth != 0 || !manager->holderList) return;
    for (int32_t i = 0; i < manager->holderList->ArrayCount(); ++i) {
        MediaHolder* holder = PointerAt<MediaHolder>(manager->holderList, i);
        if (holder->UseCount() > 0) holder->MediaHolderUnlock();
    }
}

void TextureLibraryFolder(DynamicArray* files, const char* folderName, const char* nameFilter, uint32_t typeCode)
{
    char module[kPathLength] = {};
    const DWORD length = GetModuleFileNameA(AppInstance(), module, kPathLength);
    if (length == 0 || length >= DWORD(kPathLength)) return;
    module[PathNameOffset(module, length)] = 0;
    char folder[kPathLength];
    if (std::snprintf(folder, sizeof folder, "%s%s", module, folderName) >= int(sizeof folder)) return;
    PathRecord path;
    if (SetPathRecordText(&path, folder) == kResultOk) ScanDirectory(&path, nameFilter, typeCode, files);
}

void ScanTextureLibraries(TextureRecordList* list, int32_t flag)
{
    OpenLibraryProgress();
    ProgressSetText(kProgressTitle);
    if (flag) {
        Owned<DynamicArray> files(NewDynamicArray(0, int32_t(sizeof(DiskFileStream*)), kScanGrowStep));
        for (const char* type : {"BMP", "DIB", "JPG"}) {
            if (!files) break;
            TextureLibraryFolder(files.get(), "TEXTURES", "", ExtensionCode(type));
            RecordsForFiles(list, files.get(), true);
        }
    }
    ProgressFinish();
}
