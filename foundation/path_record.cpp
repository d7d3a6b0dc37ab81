// Path records: splitting a path into directory, name and extension, extension codes, and the
// directory components that file references are stored as.
#include "foundation/path_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "foundation/dynamic_array.h"
#include "foundation/file_lookups.h"
#include "foundation/path_separators.h"

namespace {

constexpr int32_t kMaxComponentLength = 255;  // what one length byte can count

int32_t TextLength(const char* text, int32_t limit)
{
    int32_t length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

// The record's text length and directory length, clamped so that a damaged record never leads
// a reader outside its text.
int32_t RecordTextLength(const PathRecord* record)
{
    return TextLength(record->text, kPathLength - 1);
}

int32_t RecordDirectoryLength(const PathRecord* record)
{
    int32_t length = RecordTextLength(record);
    int32_t directory = record->directoryLength;
    if (directory < 0) return 0;
    return directory > length ? length : directory;
}

void StorePathParts(PathRecord* record)
{
    PathParts parts = SplitPath(record->text);
    record->directoryLength = int16_t(parts.directoryLength);
    record->pointOffset = int16_t(parts.pointOffset);
    record->nameLength = int16_t(parts.nameLength);
    record->extensionLength = int16_t(parts.extensionLength);
    record->fileNameLength = int16_t(parts.nameLength + parts.extensionLength);
}

// Appends `count` characters to a path being built; false when the path would not fit.
bool AppendText(char* path, int32_t* used, const char* text, int32_t count)
{
    if (count < 0 || *used + count > kPathLength - 1) return false;
    std::memcpy(path + *used, text, size_t(count));
    *used += count;
    path[*used] = '\0';
    return true;
}

// A stored component: its characters and length; false for an empty component or one that
// holds a zero byte (which would cut the path short).
bool ComponentAt(const DynamicArray* components, int32_t index, const char** text, int32_t* length)
{
    const auto* entry = static_cast<const uint8_t*>(components->ArrayElementAt(index));
    if (!entry) return false;
    *length = entry[0];
    *text = reinterpret_cast<const char*>(entry + 1);
    return *length > 0 && std::memchr(*text, '\0', size_t(*length)) == nullptr;
}

bool AppendComponent(DynamicArray* components, const char* text, int32_t length)
{
    if (length > kMaxComponentLength) return false;
    uint8_t entry[kPathLength] = {};
    entry[0] = uint8_t(length);
    std::memcpy(entry + 1, text, size_t(length));
    return components->Append(entry) >= 0;
}

bool CopyComponents(const DynamicArray* source, int32_t first, DynamicArray* target)
{
    for (int32_t i = first; i < source->ArrayCount(); ++i) {
        if (target->Append(source->ArrayElementAt(i)) < 0) return false;
    }
    return true;
}

}  // namespace

PathParts SplitPath(const char* text)
{
    int32_t length = TextLength(text, INT32_MAX);
    int32_t point = -1;
    for (int32_t i = length - 1; i >= 0; --i) {
        if (IsPathSeparator(text[i])) break;
        if (text[i] == '.') {
            point = i;
            break;
        }
    }
    PathParts parts{};
    if (point >= 0 && length - point - 1 <= 3) {
        parts.pointOffset = point;
        parts.extensionLength = length - point;
    } else {
        parts.pointOffset = length;
        parts.extensionLength = 0;
    }
    parts.directoryLength = int32_t(PathNameOffset(text, size_t(parts.pointOffset)));
    parts.nameLength = parts.pointOffset - parts.directoryLength;
    return parts;
}

void ClearPathRecord(PathRecord* record)
{
    *record = PathRecord{};
}

void PathRecordClear(PathRecord* record)
{
    ClearPathRecord(record);
}

void CopyPathRecord(PathRecord* destination, const PathRecord* source)
{
    *destination = *source;
}

void DeletePathRecord(PathRecord* record)
{
    delete record;
}

ResultCode SetPathRecordText(PathRecord* record, const char* text)
{
    if (!text) return kResultLocked;
    int32_t length = TextLength(text, kPathLength);
    if (length >= kPathLength) return kResultLocked;
    std::memcpy(record->text, text, size_t(length));
    std::memset(record->text + length, 0, size_t(kPathLength - length));
    StorePathParts(record);
    return kResultOk;
}

void PathRecordGetName(const PathRecord* record, char* destination)
{
    int32_t length = RecordTextLength(record);
    int32_t directory = RecordDirectoryLength(record);
    std::memcpy(destination, record->text + directory, size_t(length - directory));
    destination[length - directory] = '\0';
}

void PathRecordGetDirectory(const PathRecord* record, char* destination)
{
    int32_t directory = RecordDirectoryLength(record);
    std::memcpy(destination, record->text, size_t(directory));
    destination[directory] = '\0';
}

ResultCode PathRecordSetName(PathRecord* record, const char* name)
{
    int32_t directory = RecordDirectoryLength(record);
    int32_t length = TextLength(name, kPathLength);
    if (directory + length > kPathLength - 1) return kResultLocked;
    std::memcpy(record->text + directory, name, size_t(length));
    std::memset(record->text + directory + length, 0, size_t(kPathLength - directory - length));
    StorePathParts(record);
    return kResultOk;
}

uint32_t ExtensionCode(const char* extension)
{
    uint32_t code = 0;
    bool ended = false;
    for (int i = 0; i < 4; ++i) {
        uint8_t c = ended ? 0 : uint8_t(extension[i]);
        if (c == 0) ended = true;
        if (c >= 'a' && c <= 'z') c = uint8_t(c - 'a' + 'A');
        code = (code << 8) | c;
    }
    return code;
}

void GetPathExtensionCode(const PathRecord* record, uint32_t* destination)
{
    int32_t length = RecordTextLength(record);
    int32_t point = record->pointOffset;
    if (record->extensionLength <= 0 || point < 0 || point >= length) return;
    *destination = ExtensionCode(record->text + point + 1);
}

int32_t IsModelFileType(const PathRecord* record)
{
    uint32_t code = 0;
    GetPathExtensionCode(record, &code);
    constexpr uint32_t kModelTypes[] = {0x5A4D4200u, 0x544B5000u, 0x54524B00u, 0x51565200u};  // ZMB TKP TRK QVR
    for (uint32_t model : kModelTypes) {
        if (code == model) return 1;
    }
    return 0;
}

int32_t SamePathName(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0 ? 1 : 0;
}

DynamicArray* PathComponents(const char* directory)
{
    DynamicArray* components = NewDynamicArray(0, kPathLength, 4);
    if (!components) return nullptr;
    // Outermost first into a scratch list of (start, length) pairs, then stored innermost first.
    struct Span {
        int32_t start;
        int32_t length;
    };
    Span spans[kPathLength];
    int32_t spanCount = 0;
    int32_t length = TextLength(directory, INT32_MAX);
    int32_t start = 0;
    const char* colon = static_cast<const char*>(std::memchr(directory, ':', size_t(length)));
    const char* slash = std::find_if(directory, directory + length, IsPathSeparator);
    if (colon && colon < slash) {
        int32_t drive = int32_t(colon - directory);
        if (drive > 0) spans[spanCount++] = {0, drive};
        start = drive + 1;
    }
    bool ok = true;
    for (int32_t i = start; i <= length && ok; ++i) {
        if (i < length && !IsPathSeparator(directory[i])) continue;
        if (i > start) {
            if (spanCount == kPathLength) ok = false;
            else spans[spanCount++] = {start, i - start};
        }
        start = i + 1;
    }
    for (int32_t i = spanCount - 1; i >= 0 && ok; --i) {
        ok = AppendComponent(components, directory + spans[i].start, spans[i].length);
    }
    if (!ok) {
        components->Destroy();
        return nullptr;
    }
    return components;
}

ResultCode PathFromComponents(const DynamicArray* components, const char* fileName, PathRecord* destination,
                              FileLookups* lookups)
{
    if (!components || components->ElementSize() != kPathLength) return kResultLocked;
    int32_t count = components->ArrayCount();
    if (count < 1) return kResultLocked;
    char path[kPathLength] = {};
    int32_t used = 0;
    const char* text = nullptr;
    int32_t length = 0;
    if (!ComponentAt(components, count - 1, &text, &length)) return kResultLocked;
    if (!AppendText(path, &used, text, length) || !AppendText(path, &used, ":\\", 2)) return kResultLocked;
    for (int32_t i = count - 2; i >= 0; --i) {
        if (!ComponentAt(components, i, &text, &length)) return kResultLocked;
        if (!AppendText(path, &used, text, length) || !AppendText(path, &used, "\\", 1)) return kResultLocked;
    }
    if (!AppendText(path, &used, fileName, TextLength(fileName, kPathLength))) return kResultLocked;
    if (SetPathRecordText(destination, path) != kResultOk) return kResultLocked;
    if (lookups) return lookups->Opens(path) ? kResultOk : kResultLocked;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return kResultLocked;
    std::fclose(file);
    return kResultOk;
}

ResultCode PathFromRelative(const DynamicArray* baseComponents, const DynamicArray* relativeComponents,
                            int32_t ups, const char* fileName, PathRecord* destination, FileLookups* lookups)
{
    if (!baseComponents || baseComponents->ElementSize() != kPathLength) return kResultLocked;
    if (ups < 0 || ups > baseComponents->ArrayCount()) return kResultLocked;
    if (relativeComponents && relativeComponents->ElementSize() != kPathLength) return kResultLocked;
    Owned<DynamicArray> joined(NewDynamicArray(0, kPathLength, 4));
    if (!joined) return kResultOutOfMemory;
    if ((relativeComponents && !CopyComponents(relativeComponents, 0, joined.get())) ||
        !CopyComponents(baseComponents, ups, joined.get())) {
        return kResultOutOfMemory;
    }
    return PathFromComponents(joined.get(), fileName, destination, lookups);
}
