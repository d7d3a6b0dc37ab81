// MemoryStream: the serialising stream. One routine per record type moves its fields through
// the stream, which writes or reads according to its direction; values are big-endian and
// grouped in nested chunks (tag, 32-bit length, data, pad byte after odd data).
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/root_object.h"

// Four characters packed big-endian into one word: ChunkTagOf("FORM") == 0x464F524D.
using ChunkTag = uint32_t;
constexpr ChunkTag ChunkTagOf(const char (&text)[5])
{
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

constexpr int32_t kStreamReading = 0;
constexpr int32_t kStreamWriting = 1;

// Value size codes of StreamTransferValue.
constexpr int32_t kValueByte = 1;
constexpr int32_t kValue16 = 2;
constexpr int32_t kValue32 = 4;
constexpr int32_t kValue64 = 8;
constexpr int32_t kValueText = 16;  // length byte, then that many characters
constexpr int32_t kValue16LittleEndian = 32;
constexpr int32_t kValue32LittleEndian = 64;
constexpr int32_t kValue64LittleEndian = 128;

class MemoryStream : public RootObject {
public:
    MemoryStream() = default;
    ~MemoryStream() override;

    // --- virtual operations, in their fixed order ---
    virtual ResultCode StreamCopyTo(MemoryStream* other);
    virtual ResultCode TransferBytes(void* address, int32_t count);
    virtual ResultCode TransferBytesAt(void* address, int32_t count, int32_t offset);
    virtual ResultCode StreamSetPosition(int32_t offset);
    virtual ResultCode StreamSetDirection(int32_t direction);
    virtual ResultCode StreamInsertBytes(int32_t offset, int32_t count);
    virtual ResultCode StreamDeleteBytes(int32_t offset, int32_t count);
    virtual ResultCode StreamSize(int32_t* size);
    virtual ResultCode StreamSetSize(int32_t size);
    virtual int32_t StreamQuery() { return 0; }
    virtual int32_t StreamKind() const { return 1; }

    // --- non-virtual operations ---
    void StreamInit(int32_t direction);
    // Frees the buffer, the chunk stack and the stream object itself (heap streams only).
    void StreamDestroy();
    int32_t StreamIsWriting() const { return direction_; }
    int32_t StreamPosition() const { return position_; }
    ResultCode StreamTransferValue(void* address, int32_t sizeCode);
    ResultCode StreamTransferValueAt(void* address, int32_t sizeCode, int32_t offset);
    // Reading: enters the next chunk and returns its tag, or 0 at the end of the enclosing data.
    ChunkTag StreamEnterChunk();
    // Writing: starts a chunk with a length placeholder that StreamEndChunk fills in.
    ResultCode StreamBeginChunk(ChunkTag tag);
    ResultCode StreamEndChunk();
    int32_t StreamChunkBytesLeft() const;
    // Whether a chunk entered since the last clearing had a stored length running past its
    // parent's end or the data's (its length was cut to fit).
    bool StreamChunkCut() const { return chunkCut_; }
    void StreamClearChunkCut() { chunkCut_ = false; }
    void StreamSetVersion(uint32_t version) { fileVersion_ = version; }
    uint32_t StreamGetVersion() const { return fileVersion_; }
    void StreamScrambleOn() { scramble_ = 1; }
    void StreamScrambleOff() { scramble_ = 0; }
    bool StreamIsScrambled() const { return scramble_ != 0; }

    int32_t ChunkLength() const { return chunkLength_; }
    int32_t ChunkStart() const { return chunkStart_; }
    // The byte buffer of a memory stream (null until first use).
    DynamicArray* Buffer() const { return buffer_; }

    void Destroy() { StreamDestroy(); }

protected:
    // The scrambling filter applied in place to bytes at stream offset `offset`.
    static void ScrambleBytes(uint8_t* bytes, int32_t count, int64_t offset);
    static void UnscrambleBytes(uint8_t* bytes, int32_t count, int64_t offset);

    int32_t direction_ = kStreamReading;
    int32_t scramble_ = 0;
    int32_t position_ = 0;
    DynamicArray* buffer_ = nullptr;
    int32_t chunkLength_ = -1;
    int32_t chunkStart_ = 0;
    DynamicArray* chunkStack_ = nullptr;
    uint32_t fileVersion_ = 0;
    bool chunkCut_ = false;

private:
    ResultCode EnsureBuffer();
    bool SaveChunkContext();
    void RestoreChunkContext();
};

// The program's one global stream: made by the engine's start-up, destroyed at its shutdown.
extern MemoryStream* GlobalStream;
