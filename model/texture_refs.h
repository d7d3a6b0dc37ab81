// The texture reference chunks that surfaces, scene objects and polygon elements share: "TXID"
// (front side), "TXOD" (back side), each a 32-bit save index, and the closing "TATR".
#pragma once

#include <cstdint>

#include "foundation/memory_stream.h"

constexpr ChunkTag kTagFrontTexture = ChunkTagOf("TXID");
constexpr ChunkTag kTagBackTexture = ChunkTagOf("TXOD");
constexpr ChunkTag kTagTextureEnd = ChunkTagOf("TATR");

class TextureRecord;

// Writes one reference chunk holding the texture's save index (-2 for none).
ResultCode WriteTextureRef(MemoryStream* stream, ChunkTag tag, TextureRecord* texture);
// Writes the closing chunk.
ResultCode WriteTextureRefEnd(MemoryStream* stream);

// Reads the reference chunks of the enclosing chunk and calls bind (side, texture) for each
// "TXID" (side 0) and "TXOD" (side 2); other chunks are skipped. The first failing code, or 0.
template <class Bind>
ResultCode ReadTextureRefs(MemoryStream* stream, Bind bind);

ResultCode ReadTextureIndex(MemoryStream* stream, int32_t* index);
TextureRecord* TextureForIndex(int32_t index);

template <class Bind>
ResultCode ReadTextureRefs(MemoryStream* stream, Bind bind)
{
    ResultCode result = kResultOk;
    while (result == kResultOk) {
        const ChunkTag tag = stream->StreamEnterChunk();
        if (tag == 0) break;
        if (tag == kTagFrontTexture || tag == kTagBackTexture) {
            int32_t index = 0;
            result = ReadTextureIndex(stream, &index);
            if (result == kResultOk) bind(tag == kTagFrontTexture ? 0 : 2, TextureForIndex(index));
        }
        IgnoreResult(stream->StreamEndChunk());
    }
    return result;
}
