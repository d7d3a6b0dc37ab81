// MemoryStream: byte transfers over a growable buffer, big-endian values, nested chunks with
// back-patched lengths, and the scrambling filter of the model file format.
#include "foundation/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/loop_turns.h"

#include "foundation/ui_services.h"

namespace {

constexpr int32_t kBufferGrowStep = 4096;
constexpr int32_t kChunkStackGrowStep = 4;
constexpr int64_t kMaxOffset = std::numeric_limits<int32_t>::max();

// The scrambling filter's key table, part of the model file format: files scrambled with any
// other table do not read back. The byte at stream offset p uses entry p mod 37; writing
// stores (plain + add) xor mask, reading recovers (stored xor mask) - add, modulo 256.
struct ScrambleKey {
    uint8_t add;
    uint8_t mask;
};
constexpr ScrambleKey kScrambleKeys[] = {
    {0x5A, 0xC3}, {0x17, 0x6E}, {0xB4, 0x29}, {0x3D, 0x91}, {0xE8, 0x4F}, {0x72, 0xA6},
    {0x0B, 0x58}, {0xC9, 0x1D}, {0x64, 0xF2}, {0x2E, 0x87}, {0x9F, 0x3A}, {0xD1, 0x6C},
    {0x46, 0xB9}, {0x83, 0x05}, {0x1C, 0xDE}, {0xF7, 0x73}, {0x38, 0x2B}, {0xAD, 0x94},
    {0x65, 0xE1}, {0x0E, 0x4A}, {0xC2, 0x8F}, {0x7B, 0x16}, {0x29, 0xD5}, {0xE4, 0x60},
    {0x93, 0x3C}, {0x4C, 0xA8}, {0xB8, 0x07}, {0x11, 0xCB}, {0xDA, 0x52}, {0x57, 0x9E},
    {0x8E, 0x21}, {0x35, 0xF9}, {0xF0, 0x6B}, {0x6A, 0x14}, {0xA3, 0xBD}, {0x26, 0x48},
    {0xCF, 0x85},
};
constexpr int64_t kScrambleKeyCount = int64_t(sizeof(kScrambleKeys) / sizeof(kScrambleKeys[0]));

int32_t KeyIndex(int64_t offset)
{
    int64_t k = offset % kScrambleKeyCount;
    return int32_t(k < 0 ? k + kScrambleKeyCount : k);
}

constexpr bool kHostLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

void ReverseBytes(uint8_t* bytes, int32_t count)
{
    for (int32_t i = 0, j = count - 1; i < j; i++, j--) {
        const uint8_t t = bytes[i];
        bytes[i] = bytes[j];
        bytes[j] = t;
    }
}

// A saved chunk context: the enclosing chunk's length and data start.
struct ChunkContext {
    int32_t length;
    int32_t start;
};

}  // namespace

MemoryStream* GlobalStream = nullptr;

MemoryStream::~MemoryStream()
{
    if (buffer_) buffer_->Destroy();
    if (chunkStack_) chunkStack_->Destroy();
}

void MemoryStream::ScrambleBytes(uint8_t* bytes, int32_t count, int64_t offset)
{
    int32_t k = KeyIndex(offset);
    for (int32_t i = 0; i < count; i++) {
        bytes[i] = uint8_t((bytes[i] + kScrambleKeys[k].add) ^ kScrambleKeys[k].mask);
        if (++k == kScrambleKeyCount) k = 0;
    }
}

void MemoryStream::UnscrambleBytes(uint8_t* bytes, int32_t count, int64_t offset)
{
    int32_t k = KeyIndex(offset);
    for (int32_t i = 0; i < count; i++) {
        bytes[i] = uint8_t((bytes[i] ^ kScrambleKeys[k].mask) - kScrambleKeys[k].add);
        if (++k == kScrambleKeyCount) k = 0;
    }
    CountTurns(count);
}

ResultCode MemoryStream::EnsureBuffer()
{
    if (!buffer_) buffer_ = NewDynamicArray(0, 1, kBufferGrowStep);
    return buffer_ ? kResultOk : kResultOutOfMemory;
}

ResultCode MemoryStream::StreamCopyTo(MemoryStream* other)
{
    if (!buffer_) return other->TransferBytes(nullptr, 0);
    // Locked, so that copying a stream into itself cannot move the bytes being copied.
    void* bytes = buffer_->ArrayLock();
    ResultCode result = other->TransferBytes(bytes, buffer_->ArrayCount());
    buffer_->ArrayUnlock();
    return result;
}

ResultCode MemoryStream::TransferBytes(void* address, int32_t count)
{
    SetCursorShape(kWaitCursor);
    if (EnsureBuffer() != kResultOk) return kResultOutOfMemory;
    if (count < 0) return kResultOutOfRange;
    auto* bytes = static_cast<uint8_t*>(address);

    if (direction_ == kStreamWriting) {
        if (position_ < 0) return kResultLocked;
        const int64_t end = int64_t(position_) + count;
        if (end > kMaxOffset) return kResultOutOfMemory;
        if (buffer_->ArrayCount() < end) {
            ResultCode result = buffer_->ArraySetCount(int32_t(end));
            if (result != kResultOk) return result;
        }
        auto* target = static_cast<uint8_t*>(buffer_->ArrayData()) + position_;
        if (count > 0) std::memmove(target, bytes, size_t(count));
        if (scramble_) ScrambleBytes(target, count, position_);
        position_ = int32_t(end);
        return kResultOk;
    }
    // A direction that is neither writing nor reading moves nothing.
    if (direction_ != kStreamReading) return kResultOk;

    int64_t end = buffer_->ArrayCount();
    if (chunkLength_ != -1 && int64_t(chunkStart_) + chunkLength_ < end) end = int64_t(chunkStart_) + chunkLength_;
    if (position_ < 0 || position_ > end) return kResultLocked;
    ResultCode result = kResultOk;
    int64_t taken = count;
    if (position_ + taken > end) {
        taken = end - position_;
        result = kResultShortRead;
    }
    if (taken > 0) {
        std::memmove(bytes, static_cast<uint8_t*>(buffer_->ArrayData()) + position_, size_t(taken));
        if (scramble_) UnscrambleBytes(bytes, int32_t(taken), position_);
        position_ += int32_t(taken);
    }
    return result;
}

ResultCode MemoryStream::TransferBytesAt(void* address, int32_t count, int32_t offset)
{
    ResultCode result = StreamSetPosition(offset);
    if (result != kResultOk) return result;
    return TransferBytes(address, count);
}

ResultCode MemoryStream::StreamSetPosition(int32_t offset)
{
    position_ = offset;
    return kResultOk;
}

ResultCode MemoryStream::StreamSetDirection(int32_t direction)
{
    direction_ = direction;
    return kResultOk;
}

ResultCode MemoryStream::StreamInsertBytes(int32_t offset, int32_t count)
{
    if (EnsureBuffer() != kResultOk) return kResultOutOfMemory;
    const int32_t size = buffer_->ArrayCount();
    if (count < 0 || offset < 0 || offset > size) return kResultOutOfRange;
    if (int64_t(size) + count > kMaxOffset) return kResultOutOfMemory;
    ResultCode result = buffer_->ArraySetCount(size + count);
    if (result != kResultOk) return result;
    auto* bytes = static_cast<uint8_t*>(buffer_->ArrayData());
    std::memmove(bytes + offset + count, bytes + offset, size_t(size - offset));
    return kResultOk;
}

ResultCode MemoryStream::StreamDeleteBytes(int32_t offset, int32_t count)
{
    if (EnsureBuffer() != kResultOk) return kResultOutOfMemory;
    if (buffer_->LockCount() > 0) return kResultLocked;
    // Only the part of the range that lies within the bytes held is deleted.
    const int32_t size = buffer_->ArrayCount();
    const int64_t first = std::max<int64_t>(offset, 0);
    const int64_t last = std::min<int64_t>(int64_t(offset) + std::max(count, 0), size);
    if (first >= last) return kResultOk;
    offset = int32_t(first);
    count = int32_t(last - first);
    auto* bytes = static_cast<uint8_t*>(buffer_->ArrayData());
    std::memmove(bytes + offset, bytes + offset + count, size_t(size - offset - count));
    return buffer_->ArraySetCount(size - count);
}

ResultCode MemoryStream::StreamSize(int32_t* size)
{
    *size = buffer_ ? buffer_->ArrayCount() : 0;
    return kResultOk;
}

ResultCode MemoryStream::StreamSetSize(int32_t size)
{
    if (EnsureBuffer() != kResultOk) return kResultOutOfMemory;
    return buffer_->ArraySetCount(size);
}

void MemoryStream::StreamInit(int32_t direction)
{
    // A stream set up again starts afresh.
    if (buffer_) buffer_->Destroy();
    if (chunkStack_) chunkStack_->Destroy();
    direction_ = direction;
    scramble_ = 0;
    position_ = 0;
    buffer_ = nullptr;
    chunkLength_ = -1;
    chunkStart_ = 0;
    chunkStack_ = nullptr;
}

void MemoryStream::StreamDestroy()
{
    delete this;
}

ResultCode MemoryStream::StreamTransferValue(void* address, int32_t sizeCode)
{
    int32_t size = 0;
    bool wireBigEndian = true;
    switch (sizeCode) {
    case kValueByte:
        return TransferBytes(address, 1);
    case kValue16: size = 2; break;
    case kValue32: size = 4; break;
    case kValue64: size = 8; break;
    case kValue16LittleEndian: size = 2; wireBigEndian = false; break;
    case kValue32LittleEndian: size = 4; wireBigEndian = false; break;
    case kValue64LittleEndian: size = 8; wireBigEndian = false; break;
    case kValueText: {
        // Length byte (0 to 255), then that many characters.
        auto* text = static_cast<uint8_t*>(address);
        if (direction_ != kStreamReading) return TransferBytes(text, 1 + text[0]);
        ResultCode result = TransferBytes(text, 1);
        if (result != kResultOk) return result;
        // Characters a short read does not reach read as zeros.
        std::memset(text + 1, 0, text[0]);
        return TransferBytes(text + 1, text[0]);
    }
    default:
        return kResultBadValueSize;
    }
    // The value travels in a copy laid out in wire order, so a written value is untouched and a
    // value read short keeps its remaining bytes where a full read would have put the others.
    uint8_t wire[8];
    std::memcpy(wire, address, size_t(size));
    const bool swap = wireBigEndian == kHostLittleEndian;
    if (swap) ReverseBytes(wire, size);
    ResultCode result = TransferBytes(wire, size);
    if (direction_ == kStreamReading) {
        if (swap) ReverseBytes(wire, size);
        std::memcpy(address, wire, size_t(size));
    }
    return result;
}

ResultCode MemoryStream::StreamTransferValueAt(void* address, int32_t sizeCode, int32_t offset)
{
    ResultCode result = StreamSetPosition(offset);
    if (result != kResultOk) return result;
    return StreamTransferValue(address, sizeCode);
}

bool MemoryStream::SaveChunkContext()
{
    if (!chunkStack_) chunkStack_ = NewDynamicArray(0, int32_t(sizeof(ChunkContext)), kChunkStackGrowStep);
    if (!chunkStack_) return false;
    if (chunkLength_ == -1) return true;
    const ChunkContext context = {chunkLength_, chunkStart_};
    return chunkStack_->Append(&context) >= 0;
}

void MemoryStream::RestoreChunkContext()
{
    ChunkContext context;
    if (chunkStack_ && chunkStack_->ArrayPop(&context)) {
        chunkLength_ = context.length;
        chunkStart_ = context.start;
    } else {
        chunkLength_ = -1;
    }
}

ChunkTag MemoryStream::StreamEnterChunk()
{
    if (direction_ != kStreamReading) return 0;
    const int32_t parentLength = chunkLength_;
    const int32_t parentStart = chunkStart_;
    if (!SaveChunkContext()) return 0;
    ChunkTag tag = 0;
    uint32_t length = 0;
    ResultCode result = StreamTransferValue(&tag, kValue32);
    if (result == kResultOk) result = StreamTransferValue(&length, kValue32);
    if (result != kResultOk || tag == 0) {
        RestoreChunkContext();
        return 0;
    }
    // The chunk ends where its length says, but never behind its parent's end or the data's.
    const int64_t stored = int64_t(position_) + length;
    int64_t end = stored;
    if (parentLength != -1 && int64_t(parentStart) + parentLength < end) end = int64_t(parentStart) + parentLength;
    int32_t size = 0;
    if (StreamSize(&size) == kResultOk && size < end) end = size;
    if (end < position_) end = position_;
    if (end != stored) chunkCut_ = true;
    chunkStart_ = position_;
    chunkLength_ = int32_t(end - position_);
    return tag;
}

ResultCode MemoryStream::StreamBeginChunk(ChunkTag tag)
{
    if (direction_ != kStreamWriting) return kResultLocked;
    if (!SaveChunkContext()) return kResultOutOfMemory;
    chunkLength_ = 0;
    uint32_t length = 0;
    ResultCode result = StreamTransferValue(&tag, kValue32);
    if (result == kResultOk) result = StreamTransferValue(&length, kValue32);
    if (result != kResultOk) {
        RestoreChunkContext();
        return result;
    }
    chunkStart_ = position_;
    return kResultOk;
}

ResultCode MemoryStream::StreamEndChunk()
{
    if (chunkLength_ == -1) return kResultLocked;
    ResultCode result = kResultOk;
    if (direction_ == kStreamWriting) {
        const int32_t end = position_;
        if (end < chunkStart_) {
            result = kResultOutOfRange;
        } else {
            uint32_t length = uint32_t(end - chunkStart_);
            chunkLength_ = int32_t(length);
            result = StreamTransferValueAt(&length, kValue32, chunkStart_ - 4);
            ResultCode moved = StreamSetPosition(end);
            if (result == kResultOk) result = moved;
            if (result == kResultOk && (length & 1)) {
                uint8_t pad = 0;
                result = TransferBytes(&pad, 1);
            }
        }
    } else {
        int64_t next = int64_t(chunkStart_) + chunkLength_ + (chunkLength_ & 1);
        result = StreamSetPosition(int32_t(next < kMaxOffset ? next : kMaxOffset));
    }
    RestoreChunkContext();
    return result;
}

int32_t MemoryStream::StreamChunkBytesLeft() const
{
    return chunkLength_ - (position_ - chunkStart_);
}
