// FPTH: the stored reference to another file. It holds the file's name, its directory as
// components, and the path relative to a base file (normally the model file), so that a model
// moved together with its textures still finds them.
//
//   name            length-prefixed text: name.ext
//   count           signed 16-bit, then that many length-prefixed components, innermost first,
//                   the last one the drive letter without its colon
//   ups             signed 16-bit: innermost directories of the base to drop (0 and nothing
//                   further without a base)
//   relative count  signed 16-bit, then that many components not shared with the base
#include <cstring>

#include "foundation/disk_file_stream.h"
#include "foundation/dynamic_array.h"

namespace {

constexpr ChunkTag kFilePathTag = ChunkTagOf("FPTH");
// A path of kPathLength characters holds at most this many components ("X:\a\b\...").
constexpr int32_t kMaxComponents = kPathLength / 2;

ResultCode TransferCount(MemoryStream* stream, int16_t* count)
{
    return stream->StreamTransferValue(count, kValue16);
}

ResultCode WriteComponents(MemoryStream* stream, const DynamicArray* components, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        ResultCode result = stream->StreamTransferValue(components->ArrayElementAt(i), kValueText);
        if (result != kResultOk) return result;
    }
    return kResultOk;
}

bool SameComponent(const void* a, const void* b)
{
    const auto* left = static_cast<const uint8_t*>(a);
    const auto* right = static_cast<const uint8_t*>(b);
    size_t length = 1 + size_t(left[0] > right[0] ? left[0] : right[0]);
    return std::memcmp(left, right, length) == 0;
}

// Reads a count and that many components; null for a count out of range, a short read or an
// empty component.
DynamicArray* ReadComponents(MemoryStream* stream)
{
    int16_t count = 0;
    if (TransferCount(stream, &count) != kResultOk || count < 0 || count > kMaxComponents) return nullptr;
    Owned<DynamicArray> components(NewDynamicArray(0, kPathLength, 4));
    if (!components) return nullptr;
    uint8_t entry[kPathLength];
    for (int32_t i = 0; i < count; ++i) {
        std::memset(entry, 0, sizeof entry);
        if (stream->StreamTransferValue(entry, kValueText) != kResultOk || entry[0] == 0) return nullptr;
        if (components->Append(entry) < 0) return nullptr;
    }
    return components.release();
}

// A stored name must be a plain file name: not empty, no zero byte, no directory part.
bool ValidFileName(const char* stored, char* name)
{
    auto length = uint8_t(stored[0]);
    if (length == 0) return false;
    std::memcpy(name, stored + 1, length);
    name[length] = '\0';
    return std::strlen(name) == length && !std::strpbrk(name, "\\/:");
}

}  // namespace

ResultCode DiskFileStream::Write(MemoryStream* stream)
{
    if (!stream) return kResultLocked;
    return stream->StreamIsWriting() ? WriteReference(stream) : ReadReference(stream);
}

ResultCode DiskFileStream::WriteReference(MemoryStream* stream)
{
    PathRecord record;
    if (GetPathRecord(&record) != kResultOk || record.fileNameLength > 255) return kResultLocked;
    referenceName_[0] = char(record.fileNameLength);
    std::memcpy(referenceName_ + 1, record.text + record.directoryLength, size_t(record.fileNameLength));
    Owned<DynamicArray> components(PathComponents(directory_));
    if (!components || components->ArrayCount() > kMaxComponents) return kResultLocked;
    Owned<DynamicArray> baseComponents;
    if (referenceBase_) {
        baseComponents.reset(PathComponents(referenceBase_->directory_));
        if (!baseComponents) return kResultLocked;
    }

    ResultCode result = stream->StreamBeginChunk(kFilePathTag);
    if (result != kResultOk) return result;
    int16_t count = int16_t(components->ArrayCount());
    result = stream->StreamTransferValue(referenceName_, kValueText);
    if (result == kResultOk) result = TransferCount(stream, &count);
    if (result == kResultOk) result = WriteComponents(stream, components.get(), count);
    if (result == kResultOk && !baseComponents) {
        int16_t none = 0;
        result = TransferCount(stream, &none);
    } else if (result == kResultOk) {
        // Drop the components shared with the base, comparing from the outermost ends.
        int32_t own = count;
        int32_t base = baseComponents->ArrayCount();
        while (own > 0 && base > 0 &&
               SameComponent(components->ArrayElementAt(own - 1), baseComponents->ArrayElementAt(base - 1))) {
            --own;
            --base;
        }
        int16_t ups = int16_t(base);
        int16_t relative = int16_t(own);
        result = TransferCount(stream, &ups);
        if (result == kResultOk) result = TransferCount(stream, &relative);
        if (result == kResultOk) result = WriteComponents(stream, components.get(), own);
    }
    ResultCode ended = stream->StreamEndChunk();
    return result != kResultOk ? result : ended;
}

ResultCode DiskFileStream::ReadReference(MemoryStream* stream)
{
    kind_ = kFileReference;
    ChunkTag tag;
    while ((tag = stream->StreamEnterChunk()) != 0 && tag != kFilePathTag) IgnoreResult(stream->StreamEndChunk());
    if (tag == 0) return kResultLocked;

    ResultCode result = kResultLocked;
    char name[kFileNameField];
    std::memset(referenceName_, 0, sizeof referenceName_);
    if (stream->StreamTransferValue(referenceName_, kValueText) == kResultOk && ValidFileName(referenceName_, name)) {
        PathRecord record;
        Owned<DynamicArray> components(ReadComponents(stream));
        if (components && PathFromComponents(components.get(), name, &record, lookups_) == kResultOk &&
            SetFileFromPathRecord(&record) == kResultOk) {
            result = kResultOk;
        } else if (components && referenceBase_) {
            int16_t ups = 0;
            Owned<DynamicArray> baseComponents(PathComponents(referenceBase_->directory_));
            Owned<DynamicArray> relative;
            if (baseComponents && TransferCount(stream, &ups) == kResultOk && ups >= 0 &&
                ups <= baseComponents->ArrayCount()) {
                relative.reset(ReadComponents(stream));
            }
            if (relative && PathFromRelative(baseComponents.get(), relative.get(), ups, name, &record, lookups_) == kResultOk &&
                SetFileFromPathRecord(&record) == kResultOk) {
                result = kResultOk;
            }
        }
        if (result != kResultOk) {
            // Found nowhere: the object keeps the bare name.ext, without a directory.
            directory_[0] = '\0';
            TakeNameAndExtension(name);
        }
    }
    IgnoreResult(stream->StreamEndChunk());
    FileTypeFromExtension();
    return result;
}
