// The global texture lists, the index of the image files beside the model, the texture folder
// scan and the locking of the texture set.
#include "textures/texture_libraries.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "foundation/directory_scan.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
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

// Names compared as the file system does: letters in either case are the same.
bool SameFileName(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(*a) != lower(*b)) return false;
        if (*a == 0) return true;
    }
}

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

bool SameBytes(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

// The first indexed record whose file-backed holder's file name (name.ext, cut to the name
// field) is the file object's name.ext by `same`.
TextureRecord* FindIndexedFile(DiskFileStream* file, bool (*same)(const char*, const char*))
{
    char wanted[kPathLength];
    file->FileNameWithExtension(wanted);
    for (int32_t i = 0; i < TextureRecordCount(ImageResourceList); ++i) {
        TextureRecord* record = TextureRecordAt(ImageResourceList, i);
        if (!record->holder || !record->holder->Item() || !record->holder->Item()->IsFileBacked()) continue;
        PathRecord path;
        GetHolderPath(record->holder, &path);
        char name[kPathLength];
        PathRecordGetName(&path, name);
        name[kTextureNameBytes - 1] = 0;
        if (same(name, wanted)) return record;
    }
    return nullptr;
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
}

TextureRecord* FindImageResourceByName(DiskFileStream* file)
{
    return FindIndexedFile(file, SameBytes);
}

ResultCode LocateMissingTextureFile(DiskFileStream* file)
{
    // A reference that could not be read leaves the file object with its bare name.ext, so the
    // file is found beside the model by that name, in any case, as the file system finds it.
    TextureRecord* record = FindIndexedFile(file, SameFileName);
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
