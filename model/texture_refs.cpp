// Texture reference chunks.
#include "model/texture_refs.h"

#include "model/texture_services.h"

ResultCode WriteTextureRef(MemoryStream* stream, ChunkTag tag, TextureRecord* texture)
{
    ResultCode result = stream->StreamBeginChunk(tag);
    if (result != kResultOk) return result;
    int32_t index = CurrentTextureServices().AssignTextureIndex(texture);
    result = stream->StreamTransferValue(&index, kValue32);
    const ResultCode ended = stream->StreamEndChunk();
    return result != kResultOk ? result : ended;
}

ResultCode WriteTextureRefEnd(MemoryStream* stream)
{
    const ResultCode result = stream->StreamBeginChunk(kTagTextureEnd);
    return result == kResultOk ? stream->StreamEndChunk() : result;
}

ResultCode ReadTextureIndex(MemoryStream* stream, int32_t* index)
{
    return stream->StreamTransferValue(index, kValue32);
}

TextureRecord* TextureForIndex(int32_t index)
{
    return CurrentTextureServices().NewTextureForIndex(index);
}
