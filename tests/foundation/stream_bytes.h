// Test helpers: the bytes a memory stream holds, and reading streams over given bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "foundation/memory_stream.h"

using Bytes = std::vector<uint8_t>;

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
