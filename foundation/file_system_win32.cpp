// What the file object asks of the system: the volume's limits and the system version, the
// Windows directory, the program's own file, directories that must exist, the identity of an open
// file, and the scan of a directory for files of one type.
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstring>

#include "foundation/directory_scan.h"
#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/win32_services.h"

namespace {

bool IsDirectory(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ResultCode VolumeCapabilities()
{
    DWORD maxComponent = 0;
    DWORD systemFlags = 0;
    if (GetVolumeInformationA(nullptr, nullptr, 0, nullptr, &maxComponent, &systemFlags, nullptr, 0)) {
        int32_t length = int32_t(std::min<DWORD>(maxComponent, kFileNameField - 1));
        ProgramVolumeLimits.maxNameLength = length;
        ProgramVolumeLimits.maxExtensionLength = length;
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version)) {
        bool nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        ProgramVolumeLimits.platform = nt ? 2 : 1;
        ProgramVolumeLimits.explorerDialogs = (!nt || version.dwMajorVersion > 3) ? 1 : 0;
    }
    return kResultOk;
}

bool DiskFileStream::OpenFileIdentity(FileIdentity* identity) const
{
    if (!file_) return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
    BY_HANDLE_FILE_INFORMATION information;
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information)) return false;
    identity->volume = information.dwVolumeSerialNumber;
    identity->number = uint64_t(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
    return true;
}

ResultCode DiskFileStream::WindowsDirectory()
{
    char path[kPathLength];
    UINT length = GetWindowsDirectoryA(path, kPathLength);
    if (length == 0 || length >= UINT(kPathLength - 1)) return kResultLocked;
    SetDirectory(path);
    return kResultOk;
}

ResultCode DiskFileStream::SetFileToProgram()
{
    char path[kPathLength];
    DWORD length = GetModuleFileNameA(AppInstance(), path, kPathLength);
    if (length == 0 || length >= DWORD(kPathLength)) return kResultLocked;
    return TakePath(path);
}

ResultCode DiskFileStream::EnsureDirectory()
{
    if (IsDirectory(directory_)) return kResultOk;
    Owned<DynamicArray> components(PathComponents(directory_));
    if (!components || components->ArrayCount() == 0) return kResultLocked;
    // The outermost component is the drive letter.
    const auto* drive = static_cast<const uint8_t*>(components->ArrayElementAt(components->ArrayCount() - 1));
    char letter = char(drive[1]);
    if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
    if (drive[0] != 1 || letter < 'A' || letter > 'Z') return kResultLocked;
    char path[kPathLength] = {letter, ':', '\\', '\0'};
    if (!IsDirectory(path)) return kResultLocked;
    size_t used = 3;
    // Inwards, each missing level is created.
    for (int32_t i = components->ArrayCount() - 2; i >= 0; --i) {
        const auto* entry = static_cast<const uint8_t*>(components->ArrayElementAt(i));
        if (used + entry[0] + 1 > size_t(kPathLength - 1)) return kResultLocked;
        std::memcpy(path + used, entry + 1, entry[0]);
        used += entry[0];
        path[used++] = '\\';
        path[used] = '\0';
        if (!IsDirectory(path) && !CreateDirectoryA(path, nullptr)) return kResultLocked;
    }
    return kResultOk;
}

ResultCode DiskFileStream::DirectoryExists()
{
    if ((flags_ & kFileHasName) && name_[0] != '\0') {
        char name[kPathLength];
        FileNameWithExtension(name);
        size_t length = std::strlen(directory_);
        if (length + std::strlen(name) + 1 > size_t(kPathLength - 1)) return kResultLocked;
        std::snprintf(directory_ + length, size_t(kPathLength) - length, "%s\\", name);
        name_[0] = '\0';
        flags_ &= ~(kFileHasName | kFileHasExtension);
        extension_[0] = '\0';
    }
    return IsDirectory(directory_) ? kResultOk : kResultLocked;
}

int32_t ScanDirectory(const PathRecord* directory, const char* priorityName, uint32_t typeCode, DynamicArray* list)
{
    if (!list) return -1;
    char pattern[kPathLength];
    PathRecord record;
    if (ScanPattern(directory->text, typeCode, pattern) != kResultOk ||
        SetPathRecordText(&record, pattern) != kResultOk) {
        return list->ArrayCount();
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return list->ArrayCount();
    int32_t first = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || PathRecordSetName(&record, found.cFileName) != kResultOk) {
            continue;
        }
        auto* file = new DiskFileStream;
        IgnoreResult(file->FileObjectInit(kFileReference, 0, 0, "", ""));
        if (file->SetFileFromPathRecord(&record) != kResultOk) {
            file->FileObjectDestroy();
            continue;
        }
        file->FileTypeFromExtension();
        ResultCode inserted;
        char upper[kFileNameField];
        std::snprintf(upper, sizeof upper, "%s", file->Name());
        for (char* c = upper; *c; ++c) {
            if (*c >= 'a' && *c <= 'z') *c = char(*c - 'a' + 'A');
        }
        if (priorityName && std::strcmp(upper, priorityName) == 0) {
            inserted = list->Insert(0, &file);
            first = 1;
        } else {
            inserted = InsertFileSorted(list, file, first);
        }
        if (inserted < 0) file->FileObjectDestroy();
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return list->ArrayCount();
}
