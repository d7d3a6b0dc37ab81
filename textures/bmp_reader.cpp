// BmpImageReader: file header, info header (Windows or OS/2 form), colour table, then the rows,
// uncompressed or run-length encoded, in strips of bottom-up rows.
#include "textures/bmp_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "foundation/loop_turns.h"
#include "foundation/memory_stream.h"
#include "foundation/ui_services.h"
#include "model/picture_budget.h"

namespace {

// The turns of the rows' loop, at 13 ns a turn under Wine (the typical turn of an honest read,
// system-weights; the times picture-bench's): a row decoded and its part of its strip's call to the
// system, 50 to 90 ns; a pixel decoded, 2.7 to 3.5 ns.
constexpr int64_t kTurnsPerRow = 6;
constexpr int64_t kPixelsPerTurn = 4;

constexpr int32_t kFileHeaderSize = 14;
constexpr int32_t kWindowsHeaderSize = 40;
constexpr int32_t kOs2HeaderSize = 12;

bool KnownType(const uint8_t type[2])
{
    return (type[0] == 'B' && type[1] == 'M') || (type[0] == 'I' && type[1] == 'C') ||
           (type[0] == 'P' && type[1] == 'T');
}

// Bytes of a row of `width` pixels of `depth` bits, padded to 4 bytes.
int64_t PaddedRowBytes(int64_t width, int32_t depth)
{
    return ((width * depth + 31) & ~int64_t(31)) / 8;
}

bool DepthAllowsCompression(int32_t depth, int32_t compression)
{
    switch (depth) {
    case 4: return compression == kBmpCompressionNone || compression == kBmpCompressionRle4;
    case 8: return compression == kBmpCompressionNone || compression == kBmpCompressionRle8;
    default: return compression == kBmpCompressionNone;
    }
}

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
using Block = std::unique_ptr<uint8_t, FreeDeleter>;

}  // namespace

int32_t BmpImageReader::ReadSome(void* address, int32_t count)
{
    const int32_t left = std::clamp(streamSize_ - stream_->StreamPosition(), 0, count);
    return left > 0 && stream_->TransferBytes(address, left) == kResultOk ? left : 0;
}

ResultCode BmpImageReader::Read(int32_t /*depth*/)
{
    if (stream_->StreamSize(&streamSize_) != kResultOk) streamSize_ = 0;
    uint8_t type[2] = {};
    if (ReadSome(type, 2) != 2 || !KnownType(type)) {
        ReaderAlert(kBmpTypeMessage);
        return kResultFailed;
    }
    uint32_t fileSize = 0;
    uint16_t reserved = 0;
    uint32_t pixelOffset = 0;
    ResultCode result = stream_->StreamTransferValue(&fileSize, kValue32LittleEndian);
    if (result == kResultOk) result = stream_->StreamTransferValue(&reserved, kValue16LittleEndian);
    if (result == kResultOk) result = stream_->StreamTransferValue(&reserved, kValue16LittleEndian);
    if (result == kResultOk) result = stream_->StreamTransferValue(&pixelOffset, kValue32LittleEndian);
    if (result != kResultOk) {
        ReaderAlert(kBmpFormatMessage);
        return kResultFailed;
    }

    std::unique_ptr<DibHeaderBlock> header(new (std::nothrow) DibHeaderBlock{});
    if (!header) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    if (ReadInfoHeader(header.get(), pixelOffset) != kResultOk) return kResultFailed;

    // The rows handed on are always uncompressed.
    compression_ = int32_t(header->compression);
    header->compression = 0;
    const int32_t bits = header->bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        ReaderAlert(kBmpDepthMessage);
        return kResultFailed;
    }
    if (!DepthAllowsCompression(bits, compression_)) {
        ReaderAlert(kBmpCompressionMessage);
        return kResultFailed;
    }
    // A negative height marks rows stored top row first.
    const bool topDown = header->height < 0;
    const int64_t width = header->width;
    const int64_t height = topDown ? -int64_t(header->height) : header->height;
    if (width < 1 || height < 1 || width > kImageMaxSide || height > kImageMaxSide ||
        pixelOffset > uint32_t(std::numeric_limits<int32_t>::max())) {
        ReaderAlert(kBmpFormatMessage);
        return kResultFailed;
    }

    // Uncompressed rows must all be there (the last one without its padding) before a picture is
    // made for them: a header alone never asks for the memory of a whole picture.
    int32_t size = 0;
    if (compression_ == kBmpCompressionNone &&
        (stream_->StreamSize(&size) != kResultOk ||
         int64_t(pixelOffset) + (height - 1) * PaddedRowBytes(width, bits) + (width * bits + 7) / 8 > size)) {
        ReaderAlert(kBmpFormatMessage);
        return kResultFailed;
    }

    if (width * height > kImageMaxPixels) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    if (!SpendOnPicture(PictureUnits(width, height), kPicturePastBudgetMessage)) return kResultFailed;
    if (MakeOffscreen(PortRect{0, 0, int32_t(width), int32_t(height)}, bits) != kResultOk) {
        ShowAlert(kReaderMemoryMessage);
        DisposeOffscreen();
        return kResultFailed;
    }
    header->width = int32_t(width);
    header->height = int32_t(height);
    const ResultCode read = ReadPixels(header.get(), int32_t(pixelOffset), topDown);
    if (read != kResultOk) {
        DisposeOffscreen();
        return read == kResultStopped ? kResultStopped : kResultFailed;
    }
    return kResultOk;
}

ResultCode BmpImageReader::ReadInfoHeader(DibHeaderBlock* header, uint32_t pixelOffset)
{
    uint32_t size = 0;
    ResultCode result = stream_->StreamTransferValue(&size, kValue32LittleEndian);
    if (result == kResultOk && size == kWindowsHeaderSize) {
        const struct {
            void* field;
            int32_t code;
        } fields[] = {
            {&header->width, kValue32LittleEndian},         {&header->height, kValue32LittleEndian},
            {&header->planes, kValue16LittleEndian},        {&header->bitCount, kValue16LittleEndian},
            {&header->compression, kValue32LittleEndian},   {&header->imageSize, kValue32LittleEndian},
            {&header->xPelsPerMeter, kValue32LittleEndian}, {&header->yPelsPerMeter, kValue32LittleEndian},
            {&header->colorsUsed, kValue32LittleEndian},    {&header->colorsImportant, kValue32LittleEndian},
        };
        for (const auto& f : fields) {
            if (result == kResultOk) result = stream_->StreamTransferValue(f.field, f.code);
        }
    } else if (result == kResultOk && size == kOs2HeaderSize) {
        int16_t width = 0;
        int16_t height = 0;
        result = stream_->StreamTransferValue(&width, kValue16LittleEndian);
        if (result == kResultOk) result = stream_->StreamTransferValue(&height, kValue16LittleEndian);
        if (result == kResultOk) result = stream_->StreamTransferValue(&header->planes, kValue16LittleEndian);
        if (result == kResultOk) result = stream_->StreamTransferValue(&header->bitCount, kValue16LittleEndian);
        header->width = width;
        header->height = height;
    } else {
        result = kResultFailed;
    }
    if (result != kResultOk) {
        ReaderAlert(kBmpFormatMessage);
        return kResultFailed;
    }
    header->size = kWindowsHeaderSize;

    const int32_t bits = header->bitCount;
    if (bits < 9) {
        // The colour table must end before the pixels begin.
        const int64_t entries = int64_t(1) << bits;
        const int64_t used = size == kOs2HeaderSize || header->colorsUsed == 0 ? entries : header->colorsUsed;
        const int64_t tableEnd = size == kOs2HeaderSize ? kFileHeaderSize + kOs2HeaderSize + 3 * entries
                                                        : kFileHeaderSize + kWindowsHeaderSize + 4 * used;
        if (int64_t(pixelOffset) < tableEnd) {
            ReaderAlert(kBmpColorMapMessage);
            return kResultFailed;
        }
        const int32_t entrySize = size == kOs2HeaderSize ? 3 : 4;
        for (int64_t i = 0; i < entries; i++) {
            uint8_t entry[4] = {};
            ReadSome(entry, entrySize);
            std::memcpy(header->colors[i], entry, 3);
            header->colors[i][3] = 0;
        }
    }
    // Every table entry handed on was read; an image of more than 8 bits has none.
    header->colorsUsed = 0;
    header->colorsImportant = 0;
    header->imageSize = 0;
    return kResultOk;
}

ResultCode BmpImageReader::ReadPixels(DibHeaderBlock* header, int32_t pixelOffset, bool topDown)
{
    const int32_t depth = header->bitCount;
    const int64_t fileWidth = header->width;
    const int64_t width = Width();
    const int64_t height = Height();
    header->width = int32_t(width);
    header->height = int32_t(height);
    const int64_t fileRowBytes = PaddedRowBytes(fileWidth, depth);
    const int64_t stride = PaddedRowBytes(width, depth);
    const int64_t packed = (fileWidth * depth + 7) / 8;
    const bool compressed = compression_ != kBmpCompressionNone;

    // Rows are handed on in strips, whatever their encoding: each strip is a call to the system,
    // dear on screens of 8 bits (one a row took 0.16 ms there).
    int64_t strip = height;
    while (strip > 1 && strip * packed >= kStripByteLimit) strip /= 2;
    Block buffer;
    for (;;) {
        buffer.reset(static_cast<uint8_t*>(std::calloc(size_t(strip * stride), 1)));
        if (buffer || strip == 1) break;
        strip /= 2;
    }
    Block input;
    if (compressed) {
        input.reset(static_cast<uint8_t*>(std::calloc(size_t(packed), 1)));
        input_ = input.get();
        inputSize_ = int32_t(packed);
        inputCount_ = 0;
        inputUsed_ = 0;
        const int32_t rowLimit = int32_t(compression_ == kBmpCompressionRle4 ? 2 * packed : packed);
        decoder_.Reset(compression_, rowLimit);
    }
    if (!buffer || (compressed && !input)) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    if (BeginPixelAccess() != kResultOk) {
        ReaderAlert(kReaderPixelAccessMessage);
        return kResultFailed;
    }

    ResultCode result = kResultOk;
    const int64_t readBytes = std::min(fileRowBytes, stride);
    int64_t rowsLeft = height;
    int64_t fileRow = 0;
    while (rowsLeft > 0 && result == kResultOk) {
        const int64_t rows = std::min(rowsLeft, strip);
        for (int64_t i = 0; i < rows && result == kResultOk; i++, fileRow++) {
            if (i % 16 == 0) SetCursorShape(kWaitCursor);
            // The buffer holds its rows bottom row first.
            uint8_t* row = buffer.get() + (topDown ? rows - 1 - i : i) * stride;
            if (compressed) {
                std::memset(row, 0, size_t(stride));
                result = DecodeRow(row);
                continue;
            }
            const int64_t at = pixelOffset + fileRow * fileRowBytes;
            // A last row that lacks its padding still reads.
            if (at > std::numeric_limits<int32_t>::max() || stream_->StreamSetPosition(int32_t(at)) != kResultOk ||
                ReadSome(row, int32_t(readBytes)) < packed) {
                ReaderAlert(kBmpFormatMessage);
                result = kResultFailed;
            }
        }
        if (result != kResultOk) break;
        const int64_t first = topDown ? rowsLeft - rows : height - rowsLeft;
        if (PutRows(int32_t(first), int32_t(rows), buffer.get(), *header) != kResultOk) {
            ReaderAlert(kReaderPixelAccessMessage);
            result = kResultFailed;
            break;
        }
        rowsLeft -= rows;
        ProgressSetValue(stream_->StreamPosition());
        // A stop the user asks for in the progress window ends the decoding, without a word.
        if (ProgressUpdate(0)) result = kResultStopped;
    }
    CountTurns(fileRow * kTurnsPerRow + fileRow * width / kPixelsPerTurn);
    EndPixelAccess();
    input_ = nullptr;
    return result;
}

ResultCode BmpImageReader::DecodeRow(uint8_t* row)
{
    decoder_.BeginRow();
    for (;;) {
        if (inputUsed_ == inputCount_ && !decoder_.EndOfBitmap()) {
            inputUsed_ = 0;
            inputCount_ = ReadSome(input_, inputSize_);
            if (inputCount_ == 0) {
                ReaderAlert(kBmpUncompressMessage);
                return kResultFailed;
            }
        }
        const int32_t status = decoder_.DecodeRow(input_, inputCount_, &inputUsed_, row);
        if (status > 0) return kResultOk;
        if (status < 0) {
            ReaderAlert(kBmpFormatMessage);
            return kResultFailed;
        }
    }
}
