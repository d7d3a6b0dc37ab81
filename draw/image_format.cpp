// The image format of offscreens: the header, its checks and the colour map.
#include "draw/image_format.h"

#include <initializer_list>

#include "foundation/dynamic_array.h"
#include "foundation/rgb_color.h"
#include "foundation/ui_services.h"

ResultCode TransferImageHeader(MemoryStream* stream, OffscreenImageHeader* header)
{
    ResultCode result = kResultOk;
    for (void* field : {static_cast<void*>(&header->width), static_cast<void*>(&header->height),
                        static_cast<void*>(&header->depth), static_cast<void*>(&header->flag)}) {
        if ((result = stream->StreamTransferValue(field, kValue16)) != kResultOk) return result;
        SetCursorShape(kWaitCursor);
    }
    if ((result = stream->StreamTransferValue(&header->rowBytes, kValue32)) != kResultOk) return result;
    return stream->StreamTransferValue(&header->totalBytes, kValue32);
}

bool ImageHeaderIsSound(const OffscreenImageHeader& header)
{
    return IsImageDepth(header.depth) && header.width >= 0 && header.height >= 0 &&
           header.rowBytes >= ImageRowSize(header.width, header.depth) &&
           header.totalBytes == int64_t(header.height) * header.rowBytes;
}

ResultCode ReadImageColorTable(MemoryStream* stream, DynamicArray* table)
{
    int32_t count = stream->StreamChunkBytesLeft() / 4;
    if (count > kMaxImageColors) count = kMaxImageColors;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t value = 0;
        const ResultCode result = stream->StreamTransferValue(&value, kValue32);
        if (result != kResultOk) return result;
        const RGBColor48 colour = {uint16_t(((value >> 16) & 0xFF) << 8), uint16_t(((value >> 8) & 0xFF) << 8),
                                   uint16_t((value & 0xFF) << 8)};
        if (table->Append(&colour) < 0) return kResultOutOfMemory;
        if (i % 16 == 15) SetCursorShape(kWaitCursor);
    }
    return kResultOk;
}

ResultCode CheckImage(MemoryStream* stream)
{
    OffscreenImageHeader header;
    const ResultCode result = TransferImageHeader(stream, &header);
    if (result != kResultOk) return result;
    if (!ImageHeaderIsSound(header)) return kResultFailed;
    return ReadImageChunks(stream, header, nullptr, [](DynamicArray*) { return kResultOk; });
}
