// The naming side of the file object: set-up with kind, codes, title and type filters; names,
// extensions and directories taken from paths and put together again.
#include <algorithm>
#include <cstring>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"
#include "foundation/path_separators.h"
#include "foundation/ui_services.h"

VolumeLimits ProgramVolumeLimits;

namespace {

// The maximum name length, never more than the name field holds.
int32_t NameLimit()
{
    return std::clamp(ProgramVolumeLimits.maxNameLength, 1, kFileNameField - 1);
}

void CopyText(char* destination, int32_t field, const char* text)
{
    int32_t length = 0;
    if (text) {
        while (length < field - 1 && text[length] != '\0') ++length;
        std::memcpy(destination, text, size_t(length));
    }
    destination[length] = '\0';
}

bool Contains(const char* text, const char* lowerWord)
{
    size_t length = std::strlen(lowerWord);
    for (; *text; ++text) {
        size_t i = 0;
        while (i < length && text[i] != '\0') {
            char c = text[i];
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            if (c != lowerWord[i]) break;
            ++i;
        }
        if (i == length) return true;
    }
    return false;
}

bool WritesForKind(int32_t kind)
{
    return (kind >= kFileSave && kind <= kFileWrite) || kind == kFileWriteNoDialog;
}

bool ReadsForKind(int32_t kind)
{
    return kind == kFileOpen || kind == kFileOpenDialog || kind == kFileFromPath || kind == kFileRead;
}

}  // namespace

int32_t FileKindFromText(const char* text)
{
    if (Contains(text, "tkp")) return 1;
    if (Contains(text, "qvr")) return 2;
    if (Contains(text, "trk")) return 3;
    return 1;
}

ResultCode DiskFileStream::FileObjectInit(int32_t kindAndFlags, uint32_t typeCode, uint32_t creatorCode,
                                          const char* firstFilter, const char* title)
{
    open_ = 0;
    kind_ = kindAndFlags & 0x0F;
    dialogOption_ = (kindAndFlags & kFileDialogOption) ? 1 : 0;
    CopyText(title_, kFileNameField, title);
    SetCursorShape(kWaitCursor);
    CopyText(name_, kFileNameField, "Untitled");
    creator_ = creatorCode;
    FileSetType(typeCode);
    if (!firstFilter) firstFilter = "";
    int32_t length = int32_t(std::strlen(firstFilter));
    firstFilterLength_ = length;
    filters_ = NewDynamicArray(0, 1, 32);
    if (filters_ && filters_->ArraySetCount(length + 1) == kResultOk) {
        std::memcpy(filters_->ArrayData(), firstFilter, size_t(length) + 1);
    } else if (filters_) {
        filters_->Destroy();
        filters_ = nullptr;
    }
    StreamInit(WritesForKind(kind_) ? kStreamWriting : kStreamReading);
    return kResultOk;
}

ResultCode DiskFileStream::SetFileFromPath(const char* path)
{
    kind_ = kFileFromPath;
    IgnoreResult(StreamSetDirection(kStreamReading));
    return TakePath(path);
}

ResultCode DiskFileStream::TakePath(const char* path)
{
    PathRecord record;
    if (SetPathRecordText(&record, path) != kResultOk) return kResultLocked;
    return SetFileFromPathRecord(&record);
}

void DiskFileStream::SetExtension(const char* text, int32_t length)
{
    length = std::clamp(length, 0, kExtensionField - 1);
    std::memcpy(extension_, text, size_t(length));
    extension_[length] = '\0';
    if (extension_[0] != '\0') flags_ |= kFileHasExtension;
    else flags_ &= ~kFileHasExtension;
}

void DiskFileStream::FileSetType(uint32_t typeCode)
{
    char characters[4] = {char(typeCode >> 24), char(typeCode >> 16), char(typeCode >> 8), char(typeCode)};
    int32_t length = 0;
    while (length < kExtensionField - 1 && characters[length] != '\0') ++length;
    type_ = typeCode;
    SetExtension(characters, length);
    std::memcpy(defaultExtension_, extension_, sizeof defaultExtension_);
}

void DiskFileStream::FileTypeFromExtension()
{
    if (type_ == 0) type_ = ExtensionCode(extension_);
}

void DiskFileStream::FileAddTypeFilter(uint32_t typeCode, const char* filter)
{
    if (!(flags_ & kFileHasExtension)) FileSetType(typeCode);
    if (!filters_ || !filter) return;
    int32_t length = int32_t(std::strlen(filter));
    int32_t start = std::max(filters_->ArrayCount() - 1, 0);  // over the previous terminator
    if (filters_->ArraySetCount(start + length + 1) != kResultOk) {
        filters_->Destroy();
        filters_ = nullptr;
        return;
    }
    std::memcpy(static_cast<char*>(filters_->ArrayData()) + start, filter, size_t(length) + 1);
}

void DiskFileStream::FileSetName(const char* text)
{
    int32_t length = std::min(SplitPath(text).pointOffset, NameLimit());
    std::memcpy(name_, text, size_t(length));
    name_[length] = '\0';
    flags_ |= kFileHasName;
    named_ = 1;
}

void DiskFileStream::TakeNameAndExtension(const char* text)
{
    PathParts parts = SplitPath(text);
    FileSetName(text + parts.directoryLength);
    if (parts.extensionLength > 1) SetExtension(text + parts.pointOffset + 1, parts.extensionLength - 1);
    else SetExtension("", 0);
}

void DiskFileStream::FileGetName(char* destination) const
{
    CopyText(destination, kFileNameField, (flags_ & kFileHasName) ? name_ : "");
}

void DiskFileStream::FileAppendToName(const char* text)
{
    if (!(flags_ & kFileHasName) || !text) return;
    int32_t added = int32_t(std::strlen(text));
    if (added == 0 || added > ProgramVolumeLimits.maxExtensionLength) return;
    int32_t limit = NameLimit();
    int32_t kept = int32_t(std::strlen(name_));
    // When the name would reach the limit the text replaces its last characters instead.
    if (kept + added >= limit) kept = std::max(std::min(kept, limit) - added, 0);
    int32_t total = std::min(kept + added, limit);
    std::memcpy(name_ + kept, text, size_t(total - kept));
    name_[total] = '\0';
}

void DiskFileStream::FileNameWithExtension(char* destination) const
{
    if (!(flags_ & kFileHasName)) destination[0] = '\0';
    else if (flags_ & kFileHasExtension) std::snprintf(destination, kPathLength, "%s.%s", name_, extension_);
    else std::snprintf(destination, kPathLength, "%s", name_);
}

ResultCode DiskFileStream::FileFullPath(char* destination) const
{
    int written = -1;
    if (name_[0] != '\0') {
        written = (flags_ & kFileHasExtension)
                      ? std::snprintf(destination, kPathLength, "%s%s.%s", directory_, name_, extension_)
                      : std::snprintf(destination, kPathLength, "%s%s", directory_, name_);
    }
    if (written < 0 || written >= kPathLength) {
        destination[0] = '\0';
        return kResultLocked;
    }
    return kResultOk;
}

int32_t DiskFileStream::FileHasPath(const char* path) const
{
    PathRecord record;
    return GetPathRecord(&record) == kResultOk && std::strcmp(record.text, path) == 0 ? 1 : 0;
}

void DiskFileStream::FileSetKindAndTitle(int32_t kind, const char* title)
{
    kind_ = kind;
    CopyText(title_, kFileNameField, title);
    if (WritesForKind(kind)) IgnoreResult(StreamSetDirection(kStreamWriting));
    else if (ReadsForKind(kind)) IgnoreResult(StreamSetDirection(kStreamReading));
}

void DiskFileStream::SetDirectory(const char* directory)
{
    CopyText(directory_, kPathLength - 1, directory);
    size_t length = std::strlen(directory_);
    if (length > 0 && !IsPathSeparator(directory_[length - 1])) {
        directory_[length] = '\\';
        directory_[length + 1] = '\0';
    }
}

ResultCode DiskFileStream::GetPathRecord(PathRecord* destination) const
{
    const char* extension = (flags_ & kFileHasExtension) ? extension_ : "";
    int32_t directory = int32_t(std::strlen(directory_));
    int32_t name = int32_t(std::strlen(name_));
    int32_t afterPoint = int32_t(std::strlen(extension));
    if (directory + name + 1 + afterPoint > kPathLength - 1) return kResultLocked;
    PathRecord record{};
    std::memcpy(record.text, directory_, size_t(directory));
    std::memcpy(record.text + directory, name_, size_t(name));
    record.text[directory + name] = '.';
    std::memcpy(record.text + directory + name + 1, extension, size_t(afterPoint));
    record.directoryLength = int16_t(directory);
    record.pointOffset = int16_t(directory + name);
    record.nameLength = int16_t(name);
    record.extensionLength = int16_t(afterPoint + 1);
    record.fileNameLength = int16_t(name + afterPoint + 1);
    *destination = record;
    return kResultOk;
}

ResultCode DiskFileStream::SetFileFromPathRecord(const PathRecord* record)
{
    int32_t length = 0;
    while (length < kPathLength && record->text[length] != '\0') ++length;
    int32_t directory = record->directoryLength;
    int32_t point = record->pointOffset;
    int32_t extension = record->extensionLength;
    if (length == kPathLength || directory < 0 || point < directory || point > length || extension < 0 ||
        point + extension > length) {
        return kResultLocked;
    }
    bool addSlash = directory >= 2 && !IsPathSeparator(record->text[directory - 1]);
    if (directory + (addSlash ? 1 : 0) > kPathLength - 1) return kResultLocked;
    std::memcpy(directory_, record->text, size_t(directory));
    if (addSlash) directory_[directory++] = '\\';
    directory_[directory] = '\0';
    FileSetName(record->text + record->directoryLength);
    if (extension > 1) SetExtension(record->text + point + 1, extension - 1);
    else SetExtension("", 0);
    return kResultOk;
}
