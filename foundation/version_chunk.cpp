// The body of the version chunk.
#include "foundation/version_chunk.h"

#include "foundation/memory_stream.h"

ResultCode SerializeVersionChunk(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) {
        uint32_t version = kFileVersion;
        stream->StreamSetVersion(version);
        return stream->StreamTransferValue(&version, kValue32);
    }
    uint32_t version = 0;
    ResultCode result = stream->StreamTransferValue(&version, kValue32);
    if (result == kResultOk) stream->StreamSetVersion(version);
    return result;
}
