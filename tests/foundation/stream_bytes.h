// Test helpers: stored forms built byte by byte (tools/stored_bytes.h), the bytes a memory stream
// holds, reading streams over given bytes, and writing streams that run out of room.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "foundation/memory_stream.h"
#include "tools/stored_bytes.h"

inline Bytes Contents(const MemoryStream& stream)
{
    DynamicArray* buffer = stream.Buffer();
    if (!buffer) return {};
    const auto* data = static_cast<const uint8_t*>(buffer->ArrayData());
    return Bytes(data, data + buffer->ArrayCount());
}

// Sets the stream up for reading the given bytes from offset 0.
inline void Load(MemoryStream& stream, const Bytes& bytes)
{
    stream.StreamInit(kStreamReading);
    ASSERT_EQ(stream.StreamSetSize(int32_t(bytes.size())), kResultOk);
    if (!bytes.empty()) std::memcpy(stream.Buffer()->ArrayData(), bytes.data(), bytes.size());
}

// Sets the stream up inside a chunk "TEST" whose data are the given bytes, followed by the
// bytes of another chunk that reads must not reach.
inline void LoadInChunk(MemoryStream& stream, const Bytes& data)
{
    Bytes chunk = {'T', 'E', 'S', 'T', 0, 0, 0, uint8_t(data.size())};
    chunk.insert(chunk.end(), data.begin(), data.end());
    chunk.insert(chunk.end(), {'N', 'E', 'X', 'T', 0, 0, 0, 0});
    Load(stream, chunk);
    ASSERT_EQ(stream.StreamEnterChunk(), ChunkTagOf("TEST"));
}

inline void StartWriting(MemoryStream& stream, bool scrambled = false)
{
    stream.StreamInit(kStreamWriting);
    if (scrambled) stream.StreamScrambleOn();
}

// A writing stream with room for a number of bytes, as a full disk: a transfer that would
// pass the end writes nothing and answers a short write.
class RoomStream : public MemoryStream {
public:
    explicit RoomStream(int32_t room) : room_(room) { StartWriting(*this); }
    ResultCode TransferBytes(void* address, int32_t count) override
    {
        if (StreamIsWriting() && int64_t(StreamPosition()) + count > room_) return kResultShortRead;
        return MemoryStream::TransferBytes(address, count);
    }

private:
    int32_t room_;
};

// A write that fits its stream succeeds; with any less room it reports a failure.
template <class Write>
void ExpectEveryWriteShortOfRoomFails(Write write)
{
    MemoryStream whole;
    StartWriting(whole);
    ASSERT_EQ(write(&whole), kResultOk);
    const int32_t needed = int32_t(Contents(whole).size());
    for (int32_t room = 0; room < needed; ++room) {
        RoomStream cut(room);
        EXPECT_NE(write(&cut), kResultOk) << "room for " << room << " of " << needed << " bytes";
    }
}
