// MemPixMap's pixels: reading and writing them as colours, their image format transfers, and
// the copy of another port's pixels.
#include "draw/mem_pix_map.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "draw/color_cube.h"
#include "draw/image_format.h"
#include "draw/indexed_rows.h"
#include "draw/true_colour_rows.h"
#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"

namespace {

constexpr int32_t kLongestStoredRow = 65535;

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

}  // namespace

MemPixMap::~MemPixMap()
{
    FreePixels();
}

void MemPixMap::FreePixels()
{
    if (block_) DisposePixelBlock(block_);
    block_ = nullptr;
    format_.pixelBits = nullptr;
    format_.rowTable = nullptr;
    format_.pixelAccess = 0;
    format_.width = format_.height = format_.rowBytes = 0;
    dibBits_ = nullptr;
    if (format_.rowTableArray) IgnoreResult(format_.rowTableArray->ArraySetCount(0));
}

ResultCode MemPixMap::MemPixMapInit(const PortRect& rect, int32_t depth)
{
    FreePixels();
    InitPortFields(kPortOffscreen);
    depth_ = depth;
    globalRect_ = rect;
    destRect_ = rect;
    const int32_t width = std::max(rect.Width(), 0);
    const int32_t height = std::max(rect.Height(), 0);
    bounds_ = {0, 0, width, height};
    sized_ = 1;

    const int64_t rowBytes = (int64_t(width < 2 ? 1 : width) + 3) & ~int64_t(3);
    const int64_t rows = height < 2 ? 1 : height;
    if (rowBytes * rows > std::numeric_limits<int32_t>::max()) return kResultFailed;
    if (!format_.rowTableArray) format_.rowTableArray = NewDynamicArray(0, sizeof(uint8_t*), 1);
    if (!format_.rowTableArray || format_.rowTableArray->ArraySetCount(int32_t(rows)) != kResultOk) return kResultFailed;
    block_ = NewPixelBlock(size_t(rowBytes * rows));
    if (!block_) {
        IgnoreResult(format_.rowTableArray->ArraySetCount(0));
        return kResultFailed;
    }
    auto* pixels = static_cast<uint8_t*>(block_);
    format_.rowTable = format_.rowTableArray->Elements<uint8_t*>();
    for (int64_t i = 0; i < rows; ++i) format_.rowTable[i] = pixels + i * rowBytes;
    format_.width = int32_t(rowBytes);
    format_.height = int32_t(rows);
    format_.rowBytes = int32_t(rowBytes);
    format_.pixelBits = pixels;
    format_.planes = 1;
    format_.bitsPerPixel = depth;
    format_.pixelAccess = 1;
    dibBits_ = pixels;
    return kResultOk;
}

ResultCode MemPixMap::MemPixMapInit8(Q_Offscreen* source)
{
    PortRect bounds;
    source->GetBounds(&bounds);
    const ResultCode result = MemPixMapInit(bounds, 8);
    if (result != kResultOk) return result;
    AddLock();
    source->AddLock();
    // True-colour rows are read straight, as the system would give their pixels one by one, and
    // so are indexed rows through the cube index of each colour of their bitmap's table; other
    // pixels are asked of the source one by one.
    const PixelFormat& from = source->Format();
    const int32_t depth = format_.rowTable ? TrueColourRowsDepth(from, bounds_) : 0;
    int32_t indexed = format_.rowTable ? IndexedRowsDepth(from, bounds_) : 0;
    RGBColor48 colours[kIndexColours];
    uint8_t map[kIndexColours];
    if (indexed && source->IndexColours(colours) == 1 << indexed) {
        for (int32_t i = 0; i < 1 << indexed; ++i) map[i] = uint8_t(ColorCubeIndex(colours[i]));
    } else {
        indexed = 0;
    }
    for (int32_t y = 0; y < bounds_.bottom; ++y) {
        if (depth) {
            MatchRowToCube(from.rowTable[y], bounds_.right, depth, format_.rowTable[y]);
            continue;
        }
        if (indexed) {
            MapIndexedRow(from.rowTable[y], bounds_.right, indexed, map, format_.rowTable[y]);
            continue;
        }
        for (int32_t x = 0; x < bounds_.right; ++x) {
            RGBColor48 colour;
            source->GetPixelColor(&colour, x, y);
            SetPixelColor(x, y, colour);
        }
    }
    source->RemoveLock();
    RemoveLock();
    return kResultOk;
}

ResultCode MemPixMap::InitNoFill(const PortRect& rect, int32_t /*depth*/, DynamicArray* /*table*/)
{
    return MemPixMapInit(rect, 8);
}

void MemPixMap::GetPixelColor(RGBColor48* colour, int32_t x, int32_t y)
{
    *colour = {0, 0, 0};
    ColorCubeEntry(colour, Inside(x, y) && block_ ? format_.rowTable[y][x] : 0);
}

void MemPixMap::SetPixelColor(int32_t x, int32_t y, const RGBColor48& colour)
{
    if (Inside(x, y) && block_) format_.rowTable[y][x] = uint8_t(ColorCubeIndex(colour));
}

ResultCode MemPixMap::TransferColorTable(MemoryStream* stream, DynamicArray* table, int32_t depth)
{
    if (!stream->StreamIsWriting()) return ReadImageColorTable(stream, table);
    if (depth >= 9) return kResultOk;
    for (int32_t i = 0; i < (1 << depth); ++i) {
        RGBColor48 c = {0, 0, 0};
        ColorCubeEntry(&c, i);
        uint32_t value = uint32_t(c.red >> 8) << 16 | uint32_t(c.green >> 8) << 8 | uint32_t(c.blue >> 8);
        const ResultCode result = stream->StreamTransferValue(&value, kValue32);
        if (result != kResultOk) return result;
        if (i % 16 == 15) SetCursorShape(kWaitCursor);
    }
    return kResultOk;
}

ResultCode MemPixMap::TransferPixelRows(MemoryStream* stream, DynamicArray* table, int32_t /*totalBytes*/,
                                        int32_t rowBytes, int32_t firstRow, int32_t rows, int32_t /*flag*/,
                                        int32_t depth)
{
    if (rows <= 0) return kResultOk;
    if (!block_ || firstRow < 0 || int64_t(firstRow) + rows > format_.height || rowBytes < 0) return kResultFailed;
    AddLock();
    ResultCode result = kResultOk;
    if (stream->StreamIsWriting()) {
        const int32_t moved = std::min(rowBytes, format_.rowBytes);
        const uint8_t zeros[16] = {};
        for (int32_t i = 0; i < rows && result == kResultOk; ++i) {
            result = stream->TransferBytes(format_.rowTable[firstRow + i], moved);
            for (int32_t pad = rowBytes - moved; pad > 0 && result == kResultOk; pad -= 16)
                result = stream->TransferBytes(const_cast<uint8_t*>(zeros), std::min(pad, 16));
            if (i % 16 == 15) SetCursorShape(kWaitCursor);
        }
        RemoveLock();
        return result;
    }

    const bool indexed = depth == 1 || depth == 4 || depth == 8;
    if ((!indexed && depth != 16 && depth != 24 && depth != 32) || (indexed && !table) ||
        rowBytes > kLongestStoredRow) {
        RemoveLock();
        return kResultFailed;
    }
    // The cube index of every colour of the table; colours the table lacks are black.
    uint8_t map[256];
    std::memset(map, kColorCubeSize - 1, sizeof map);
    if (indexed) {
        const int32_t count = std::min(table->ArrayCount(), 1 << depth);
        for (int32_t i = 0; i < count; ++i) map[i] = uint8_t(ColorCubeIndex(*table->At<RGBColor48>(i)));
    }
    // The buffer holds a stored row and everything the pixels of the bounds' width read.
    const int32_t width = bounds_.right;
    const int64_t needed = std::max<int64_t>(rowBytes, ImageRowSize(width, depth));
    std::unique_ptr<uint8_t, FreeDeleter> buffer(static_cast<uint8_t*>(std::calloc(size_t(needed) + 1, 1)));
    if (!buffer) {
        RemoveLock();
        return kResultFailed;
    }
    uint8_t* row = buffer.get();
    for (int32_t i = 0; i < rows && result == kResultOk; ++i) {
        std::memset(row, 0, size_t(needed));
        result = stream->TransferBytes(row, rowBytes);
        if (result != kResultOk) break;
        uint8_t* pixels = format_.rowTable[firstRow + i];
        if (indexed) {
            MapIndexedRow(row, width, depth, map, pixels);
        } else {
            MatchRowToCube(row, width, depth, pixels);
        }
        if (i % 16 == 15) SetCursorShape(kWaitCursor);
    }
    RemoveLock();
    return result;
}
