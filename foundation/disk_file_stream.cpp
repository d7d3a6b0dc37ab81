// The stream side of the file object: transfers in pieces through one 260-byte buffer and the
// scrambling filter, positions, moving a file's tail, opening, closing, removing, renaming and
// copying files.
#include "foundation/disk_file_stream.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"

namespace {

constexpr int32_t kPieceLength = 260;     // one transfer buffer per call
constexpr int32_t kCopyBlock = 1024;      // file copies move blocks of this size
constexpr int64_t kMoveBlockLimit = 65536;

bool SeekTo(std::FILE* file, int64_t offset)
{
    return offset >= 0 && offset <= INT32_MAX && std::fseek(file, long(offset), SEEK_SET) == 0;
}

// Byte-wise comparison without regard to ASCII case, as the file system compares names.
bool SamePathIgnoringCase(const char* a, const char* b)
{
    for (;; ++a, ++b) {
        int ca = uint8_t(*a), cb = uint8_t(*b);
        if (ca >= 'a' && ca <= 'z') ca -= 'a' - 'A';
        if (cb >= 'a' && cb <= 'z') cb -= 'a' - 'A';
        if (ca == '/') ca = '\\';
        if (cb == '/') cb = '\\';
        if (ca != cb) return false;
        if (ca == 0) return true;
    }
}

}  // namespace

DiskFileStream::~DiskFileStream()
{
    if (file_) std::fclose(file_);
    file_ = nullptr;
    open_ = 0;
    if (filters_) filters_->Destroy();
    filters_ = nullptr;
}

void DiskFileStream::FileObjectDestroy()
{
    StreamDestroy();
}

int32_t DiskFileStream::FileRead(void* address, int32_t elementSize, int32_t count)
{
    if (!file_ || elementSize <= 0 || count <= 0) return 0;
    return int32_t(std::fread(address, size_t(elementSize), size_t(count), file_));
}

int32_t DiskFileStream::FileWrite(const void* address, int32_t elementSize, int32_t count)
{
    if (!file_ || elementSize <= 0 || count <= 0) return 0;
    knownSize_ = -1;
    return int32_t(std::fwrite(address, size_t(elementSize), size_t(count), file_));
}

int32_t DiskFileStream::ReadPieces(uint8_t* address, int32_t count, int64_t offset)
{
    uint8_t piece[kPieceLength];
    int32_t done = 0;
    while (done < count) {
        int32_t length = std::min(count - done, kPieceLength);
        int32_t got = FileRead(piece, 1, length);
        if (got <= 0) break;
        if (scramble_) UnscrambleBytes(piece, got, offset + done);
        std::memcpy(address + done, piece, size_t(got));
        done += got;
        if (got < length) break;
    }
    return done;
}

int32_t DiskFileStream::WritePieces(const uint8_t* address, int32_t count, int64_t offset)
{
    uint8_t piece[kPieceLength];
    int32_t done = 0;
    while (done < count) {
        int32_t length = std::min(count - done, kPieceLength);
        std::memcpy(piece, address + done, size_t(length));
        if (scramble_) ScrambleBytes(piece, length, offset + done);
        int32_t put = FileWrite(piece, 1, length);
        if (put > 0) done += put;
        if (put < length) break;
    }
    return done;
}

ResultCode DiskFileStream::TransferBytes(void* address, int32_t count)
{
    if (direction_ != kStreamReading && direction_ != kStreamWriting) return kResultOk;
    if (count < 0) return kResultOutOfRange;
    if (!file_ || position_ < 0) return kResultLocked;
    if (count == 0) return kResultOk;
    auto* bytes = static_cast<uint8_t*>(address);
    int32_t wanted = count;
    if (direction_ == kStreamReading && chunkLength_ != -1) {
        int64_t left = int64_t(chunkStart_) + chunkLength_ - position_;
        if (left < 0) return kResultLocked;
        if (left < wanted) wanted = int32_t(left);
    }
    int32_t moved = direction_ == kStreamWriting ? WritePieces(bytes, wanted, position_)
                                                 : ReadPieces(bytes, wanted, position_);
    // A transfer cut short (by the file's end, a failed write or the chunk's end) answers 1 and
    // leaves the position where it was, and the file back there with it; the bytes read stay in
    // the caller's buffer. Nothing moved at all leaves the C runtime its read-ahead.
    if (moved != count) {
        if (moved != 0) SeekTo(file_, position_);
        return kResultShortRead;
    }
    position_ += moved;
    return kResultOk;
}

ResultCode DiskFileStream::StreamSetPosition(int32_t offset)
{
    // The file stands where the stream does (see TransferBytes); a seek in place would only
    // cost the C runtime its read-ahead, as at the end of every chunk read through.
    if (file_ && offset == position_) return kResultOk;
    if (!file_ || !SeekTo(file_, offset)) return kResultLocked;
    position_ = offset;
    return kResultOk;
}

ResultCode DiskFileStream::StreamSetDirection(int32_t direction)
{
    if (direction == direction_) return kResultOk;
    direction_ = direction;
    // The C runtime needs a seek between reading and writing the same file.
    if (file_) SeekTo(file_, position_);
    return kResultOk;
}

ResultCode DiskFileStream::StreamSize(int32_t* size)
{
    *size = 0;
    if (!file_) return kResultLocked;
    // Outside every chunk the file is asked again: another stream may have written it since.
    if (knownSize_ < 0 || chunkLength_ == -1) {
        if (std::fseek(file_, 0, SEEK_END) != 0) return kResultLocked;
        const long end = std::ftell(file_);
        if (end < 0 || end > INT32_MAX || !SeekTo(file_, position_)) return kResultLocked;
        knownSize_ = end;
    }
    *size = int32_t(knownSize_);
    return kResultOk;
}

ResultCode DiskFileStream::StreamSetSize(int32_t /*size*/)
{
    return kResultShortRead;
}

bool DiskFileStream::MoveFileBytes(int64_t from, int64_t to, int64_t length, int64_t block)
{
    if (length <= 0) return true;
    block = std::min({block, length, kMoveBlockLimit});
    Owned<DynamicArray> scratch(NewDynamicArray(int32_t(block), 1, 1));
    if (!scratch || !scratch->ArrayData()) return false;
    auto* buffer = static_cast<uint8_t*>(scratch->ArrayLock());
    bool ok = true;
    for (int64_t done = 0; done < length && ok;) {
        int64_t piece = std::min(block, length - done);
        // Moving up, the last block goes first so that no byte is overwritten before it moved.
        int64_t offset = to > from ? length - done - piece : done;
        ok = SeekTo(file_, from + offset) && ReadPieces(buffer, int32_t(piece), from + offset) == piece &&
             SeekTo(file_, to + offset) && WritePieces(buffer, int32_t(piece), to + offset) == piece;
        done += piece;
    }
    scratch->ArrayUnlock();
    return ok;
}

ResultCode DiskFileStream::StreamInsertBytes(int32_t offset, int32_t count)
{
    int32_t size = 0;
    ResultCode result = StreamSize(&size);
    if (result != kResultOk) return result;
    if (offset < 0 || offset > size || count < 0) return kResultOutOfRange;
    if (count == 0 || offset == size) return kResultOk;
    if (int64_t(size) + count > INT32_MAX) return kResultOutOfRange;
    bool ok = MoveFileBytes(offset, int64_t(offset) + count, size - offset, count);
    SeekTo(file_, position_);
    return ok ? kResultOk : kResultShortRead;
}

ResultCode DiskFileStream::StreamDeleteBytes(int32_t offset, int32_t count)
{
    int32_t size = 0;
    ResultCode result = StreamSize(&size);
    if (result != kResultOk) return result;
    if (offset < 0) offset = 0;
    if (count <= 0 || offset >= size) return kResultOk;
    count = int32_t(std::min<int64_t>(count, size - offset));
    bool ok = MoveFileBytes(int64_t(offset) + count, offset, size - offset - count, count);
    SeekTo(file_, position_);
    return ok ? kResultOk : kResultShortRead;
}

ResultCode DiskFileStream::FileOpenStream()
{
    if (open_) {
        ShowAlert("This file is already open!");
        return kResultShortRead;
    }
    char path[kPathLength];
    if (FileFullPath(path) != kResultOk) return kResultShortRead;
    readOnly_ = 0;
    if (direction_ == kStreamWriting) {
        file_ = std::fopen(path, "wb+");
    } else {
        file_ = std::fopen(path, "rb+");
        if (!file_) {
            file_ = std::fopen(path, "rb");
            if (file_) readOnly_ = 1;
        }
    }
    if (!file_) return kResultShortRead;
    knownSize_ = -1;
    position_ = 0;
    chunkLength_ = -1;
    chunkStart_ = 0;
    if (chunkStack_) IgnoreResult(chunkStack_->ArraySetCount(0));
    open_ = 1;
    return kResultOk;
}

ResultCode DiskFileStream::FileCloseStream()
{
    if (!file_) return kResultLocked;
    named_ = 1;
    open_ = 0;
    int closed = std::fclose(file_);
    file_ = nullptr;
    return closed == 0 ? kResultOk : kResultLocked;
}

ResultCode DiskFileStream::FileStat(FileStatus* destination)
{
    if (!file_) return kResultLocked;
    struct stat status {};
    if (fstat(fileno(file_), &status) != 0) return kResultLocked;
    destination->writable = (status.st_mode & S_IWRITE) ? 1 : 0;
    destination->modifiedTime = uint32_t(status.st_mtime);
    return kResultOk;
}

ResultCode DiskFileStream::FileExists()
{
    char path[kPathLength];
    if (!(flags_ & kFileHasName) || FileFullPath(path) != kResultOk) return kResultLocked;
    std::FILE* file = std::fopen(path, "r");
    if (!file) return kResultLocked;
    std::fclose(file);
    return kResultOk;
}

ResultCode DiskFileStream::FileRemove()
{
    char path[kPathLength];
    if (FileFullPath(path) != kResultOk) return kResultLocked;
    return std::remove(path) == 0 ? kResultOk : kResultLocked;
}

ResultCode DiskFileStream::FileRename(const char* newName)
{
    char from[kPathLength];
    char to[kPathLength];
    if (!newName || !*newName || std::strpbrk(newName, "\\/:") || FileFullPath(from) != kResultOk) {
        return kResultLocked;
    }
    int written = std::snprintf(to, sizeof to, "%s%s", directory_, newName);
    if (written < 0 || written >= kPathLength) return kResultLocked;
    if (std::rename(from, to) != 0) return kResultLocked;
    // The object now names the renamed file, split by the extension rule.
    TakeNameAndExtension(newName);
    return kResultOk;
}

ResultCode DiskFileStream::FileCopyFrom(DiskFileStream* source)
{
    char target[kPathLength];
    char from[kPathLength];
    if (!source || source == this || FileFullPath(target) != kResultOk ||
        source->FileFullPath(from) != kResultOk || SamePathIgnoringCase(target, from)) {
        return kResultLocked;
    }
    std::snprintf(referenceName_, sizeof referenceName_, "%s", name_);
    int32_t sourceDirection = source->StreamIsWriting();
    // The source is opened first, so that a missing source leaves the destination alone.
    IgnoreResult(source->StreamSetDirection(kStreamReading));
    ResultCode result = source->FileOpenStream();
    if (result != kResultOk) {
        IgnoreResult(source->StreamSetDirection(sourceDirection));
        return result;
    }
    IgnoreResult(StreamSetDirection(kStreamWriting));
    result = FileOpenStream();
    if (result != kResultOk) {
        IgnoreResult(source->FileCloseStream());
        IgnoreResult(source->StreamSetDirection(sourceDirection));
        return result;
    }
    int32_t size = 0;
    result = source->StreamSize(&size);
    Owned<DynamicArray> scratch(NewDynamicArray(kCopyBlock, 1, 1));
    if (!scratch || !scratch->ArrayData()) result = kResultLocked;
    for (int32_t done = 0; result == kResultOk && done < size;) {
        int32_t length = std::min(kCopyBlock, size - done);
        void* buffer = scratch->ArrayData();
        result = source->TransferBytes(buffer, length);
        if (result == kResultOk) result = TransferBytes(buffer, length);
        done += length;
    }
    IgnoreResult(source->FileCloseStream());
    ResultCode closed = FileCloseStream();
    if (result == kResultOk) result = closed;
    if (result != kResultOk) IgnoreResult(FileRemove());
    IgnoreResult(source->StreamSetDirection(sourceDirection));
    return result;
}
