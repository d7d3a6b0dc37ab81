// What a stream really has left to read.
#include "model/read_limits.h"

#include "foundation/memory_stream.h"

int32_t BytesLeftToRead(MemoryStream* stream)
{
    int32_t size = 0;
    if (stream->StreamSize(&size) != kResultOk) return 0;
    int64_t left = int64_t(size) - stream->StreamPosition();
    if (stream->ChunkLength() != -1) {
        const int64_t inChunk = stream->StreamChunkBytesLeft();
        if (inChunk < left) left = inChunk;
    }
    return left > 0 ? int32_t(left) : 0;
}

bool CountFits(MemoryStream* stream, int32_t count, int32_t recordBytes)
{
    return count >= 0 && int64_t(count) * recordBytes <= BytesLeftToRead(stream);
}
