// The image format in which offscreens and pixel maps store their pixels inside a stream: a
// header (width, height, depth and flag as 16-bit values, row bytes and total bytes as 32-bit
// values), a "CMAP" chunk of 0x00RRGGBB colours and a "DATA" chunk of rows, top row first.
#pragma once

#include <cstdint>

#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "foundation/rgb_color.h"
#include "foundation/root_object.h"
#include "foundation/ui_services.h"

struct OffscreenImageHeader {
    int16_t width = 0;
    int16_t height = 0;
    int16_t depth = 0;
    uint16_t flag = 0;
    int32_t rowBytes = 0;    // distance between rows in the stream
    int32_t totalBytes = 0;  // height x row bytes
};

constexpr ChunkTag kColorMapChunk = ChunkTagOf("CMAP");
constexpr ChunkTag kPixelDataChunk = ChunkTagOf("DATA");
constexpr int32_t kMaxImageColors = 256;

constexpr bool IsImageDepth(int32_t depth)
{
    return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// The bytes of one row of `width` pixels of `depth` bits.
constexpr int64_t ImageRowSize(int64_t width, int32_t depth)
{
    return (width * depth + 7) / 8;
}

// Moves the header fields through the stream in its direction; the stream's result.
ResultCode TransferImageHeader(MemoryStream* stream, OffscreenImageHeader* header);
// Whether a header read from a stream describes an image that can be read: a known depth, no
// negative size, rows long enough for the width, and the total equal to height x row bytes.
bool ImageHeaderIsSound(const OffscreenImageHeader& header);
// Reads the colours of a "CMAP" chunk (at most 256) and appends them to `table` as RGBColor48,
// each 8-bit channel in the high byte.
ResultCode ReadImageColorTable(MemoryStream* stream, DynamicArray* table);

// Reads the chunks that follow a sound header: "CMAP" into a colour table of its own (else the
// rows use `table`), then "DATA", which `readRows`(colour table) reads once the chunk is known to
// hold every row. The first result that is not 0, else 0.
template <typename ReadRows>
ResultCode ReadImageChunks(MemoryStream* stream, const OffscreenImageHeader& header, DynamicArray* table,
                           ReadRows readRows)
{
    Owned<DynamicArray> colours;
    DynamicArray* colourTable = table;
    ResultCode result = kResultOk;
    while (const ChunkTag tag = stream->StreamEnterChunk()) {
        if (tag == kColorMapChunk) {
            colours.reset(NewDynamicArray(0, sizeof(RGBColor48), 16));
            if (!colours) {
                result = kResultOutOfMemory;
            } else {
                result = ReadImageColorTable(stream, colours.get());
                colourTable = colours.get();
            }
        } else if (tag == kPixelDataChunk) {
            if (!colourTable || stream->StreamChunkBytesLeft() < header.totalBytes)
                result = kResultFailed;
            else
                result = readRows(colourTable);
        }
        IgnoreResult(stream->StreamEndChunk());
        if (result != kResultOk) return result;
        SetCursorShape(kWaitCursor);
    }
    return kResultOk;
}

// Whether an image reads, as an offscreen would read it, without making one: its header, its
// colours and the length of its rows. 0, -1 or the stream's result.
ResultCode CheckImage(MemoryStream* stream);
