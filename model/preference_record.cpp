// The preferences carried in a model file, kept as their stored bytes.
#include "model/preference_record.h"

#include "foundation/memory_stream.h"
#include "foundation/pointer_list.h"
#include "model/read_limits.h"

ResultCode PreferenceRecord::Write(MemoryStream* stream)
{
    if (stream->StreamIsWriting()) return Bytes ? Bytes->Write(stream) : kResultOk;
    DestroyArray(Bytes);
    Bytes = NewDynamicArray(BytesLeftToRead(stream), 1, 16);
    return Bytes ? Bytes->Write(stream) : kResultOutOfMemory;
}

void PreferenceRecord::Free()
{
    DestroyArray(Bytes);
    delete this;
}
