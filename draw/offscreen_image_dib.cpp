// The offscreen's side of the image format: its colour table and pixel rows taken from and put
// into its bitmap with GetDIBits and SetDIBits, in blocks of rows.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "draw/image_format.h"
#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/rgb_color.h"
#include "foundation/ui_services.h"

namespace {

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// A bottom-up header of the bitmap's size at `depth` bits.
BitmapInfo256 RowsInfo(const PixelFormat& format, int32_t depth)
{
    BitmapInfo256 info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = format.width;
    info.header.biHeight = format.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = WORD(depth);
    info.header.biCompression = BI_RGB;
    return info;
}

int32_t DibStride(int32_t width, int32_t depth)
{
    return int32_t(((int64_t(width) * depth + 31) / 32) * 4);
}

// A buffer of up to `rows` rows of `stride` bytes; the row count is halved until it can be had.
class RowBuffer {
public:
    RowBuffer(int32_t rows, int32_t stride) : stride_(stride)
    {
        for (rows_ = std::max(rows, 1); rows_ > 0; rows_ /= 2) {
            memory_ = GlobalAlloc(GMEM_FIXED, SIZE_T(rows_) * SIZE_T(stride));
            if (memory_) break;
        }
    }
    ~RowBuffer()
    {
        if (memory_) GlobalFree(memory_);
    }
    RowBuffer(const RowBuffer&) = delete;
    RowBuffer& operator=(const RowBuffer&) = delete;

    int32_t Rows() const { return memory_ ? rows_ : 0; }
    uint8_t* Data() const { return static_cast<uint8_t*>(memory_); }
    // Row i of a bottom-up block of n rows, counted from the block's top.
    uint8_t* TopRow(int32_t i, int32_t n) const { return Data() + SIZE_T(n - 1 - i) * SIZE_T(stride_); }

private:
    int32_t stride_;
    int32_t rows_ = 0;
    HGLOBAL memory_ = nullptr;
};

}  // namespace

ResultCode Q_Offscreen::TransferColorTable(MemoryStream* stream, DynamicArray* table, int32_t depth)
{
    if (!stream->StreamIsWriting()) return ReadImageColorTable(stream, table);
    if (depth >= 9) return kResultOk;
    BitmapInfo256 info = RowsInfo(format_, depth);
    RowBuffer line(1, DibStride(format_.width, depth));
    if (!line.Rows() || !GetDIBits(dc_, bitmap_, 0, 1, line.Data(), reinterpret_cast<BITMAPINFO*>(&info),
                                   DIB_RGB_COLORS))
        return kResultFailed;
    for (int32_t i = 0; i < (1 << depth); ++i) {
        const RGBQUAD& c = info.colors[i];
        uint32_t value = uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
        const ResultCode result = stream->StreamTransferValue(&value, kValue32);
        if (result != kResultOk) return result;
        if (i % 16 == 15) SetCursorShape(kWaitCursor);
    }
    return kResultOk;
}

ResultCode Q_Offscreen::TransferPixelRows(MemoryStream* stream, DynamicArray* table, int32_t /*totalBytes*/,
                                          int32_t rowBytes, int32_t firstRow, int32_t rows, int32_t /*flag*/,
                                          int32_t depth)
{
    const int32_t rowSize = int32_t(ImageRowSize(format_.width, depth));
    const bool writing = stream->StreamIsWriting();
    if (writing && rowBytes < rowSize) return kResultFailed;
    if (rows <= 0) return kResultOk;
    if (firstRow < 0 || firstRow + rows > format_.height) return kResultFailed;

    BitmapInfo256 info = RowsInfo(format_, depth);
    if (!writing && depth <= 8) {
        // Colours the table does not have stay black.
        const int32_t count = table ? std::min(table->ArrayCount(), 1 << depth) : 0;
        for (int32_t i = 0; i < count; ++i) {
            const RGBColor48& c = *table->At<RGBColor48>(i);
            info.colors[i] = {BYTE(c.blue >> 8), BYTE(c.green >> 8), BYTE(c.red >> 8), 0};
        }
    }
    const int32_t stride = DibStride(format_.width, depth);
    RowBuffer buffer(rows, stride);
    if (!buffer.Rows()) return kResultFailed;
    const int32_t moved = writing ? rowSize : std::min(rowSize, rowBytes);
    const uint8_t zeros[16] = {};

    for (int32_t top = firstRow; top < firstRow + rows; top += buffer.Rows()) {
        const int32_t n = std::min(buffer.Rows(), firstRow + rows - top);
        const UINT startScan = UINT(format_.height - top - n);  // bottom-up scan lines
        if (writing) {
            if (GetDIBits(dc_, bitmap_, startScan, n, buffer.Data(), reinterpret_cast<BITMAPINFO*>(&info),
                          DIB_RGB_COLORS) == 0)
                return kResultFailed;
        } else {
            std::memset(buffer.Data(), 0, SIZE_T(n) * SIZE_T(stride));
        }
        for (int32_t i = 0; i < n; ++i) {
            ResultCode result = stream->TransferBytes(buffer.TopRow(i, n), moved);
            if (result != kResultOk) return result;
            if (writing) {
                for (int32_t pad = rowBytes - rowSize; pad > 0 && result == kResultOk; pad -= 16)
                    result = stream->TransferBytes(const_cast<uint8_t*>(zeros), std::min(pad, 16));
            } else if (rowBytes > moved) {
                result = stream->StreamSetPosition(stream->StreamPosition() + (rowBytes - moved));
            }
            if (result != kResultOk) return result;
            if ((top + i) % 16 == 15) SetCursorShape(kWaitCursor);
        }
        if (!writing && SetDIBits(dc_, bitmap_, startScan, n, buffer.Data(),
                                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0)
            return kResultFailed;
    }
    return kResultOk;
}
