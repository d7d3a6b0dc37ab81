// BmpRunDecoder: RLE8 and RLE4 rows, resumable at every input byte.
#include "textures/bmp_run_decoder.h"

void BmpRunDecoder::Reset(int32_t compression, int32_t rowLimit)
{
    compression_ = compression;
    rowLimit_ = rowLimit;
    x_ = 0;
    pending_ = Step::kNone;
    count_ = 0;
    padOwed_ = false;
    completeAfterSkip_ = false;
    endOfBitmap_ = false;
}

void BmpRunDecoder::Put(uint8_t* row, uint32_t value)
{
    if (compression_ == kBmpCompressionRle8) {
        row[x_] = uint8_t(value);
    } else {
        // Two pixels a byte, the left one in the high nibble.
        uint8_t& byte = row[x_ >> 1];
        byte = (x_ & 1) ? uint8_t((byte & 0xF0) | (value & 0x0F)) : uint8_t((byte & 0x0F) | (value << 4));
    }
    ++x_;
}

int32_t BmpRunDecoder::DecodeRow(const uint8_t* input, int32_t count, int32_t* used, uint8_t* row)
{
    if (endOfBitmap_) return 1;
    int32_t at = *used;
    const bool rle4 = compression_ == kBmpCompressionRle4;
    int32_t result = 0;
    while (at < count) {
        const uint8_t byte = input[at++];
        switch (pending_) {
        case Step::kNone:
            if (byte > 0) {
                if (!Fits(byte)) {
                    result = -1;
                    break;
                }
                count_ = byte;
                pending_ = Step::kRunColor;
            } else {
                pending_ = Step::kEscape;
            }
            continue;
        case Step::kRunColor:
            // RLE4 runs alternate the colour byte's high and low nibbles, high first.
            for (int32_t k = 0; k < count_; k++) Put(row, rle4 ? ((k & 1) ? byte & 0x0F : byte >> 4) : byte);
            pending_ = Step::kNone;
            continue;
        case Step::kEscape:
            if (byte == 0 || byte == 1) {
                // End of line, end of bitmap.
                pending_ = Step::kNone;
                endOfBitmap_ = byte == 1;
                x_ = 0;
                result = 1;
                break;
            }
            if (byte == 2) {
                // A delta: its offsets are skipped and end the row.
                pending_ = Step::kSkip;
                count_ = 2;
                completeAfterSkip_ = true;
                continue;
            }
            if (!Fits(byte)) {
                result = -1;
                break;
            }
            pending_ = Step::kAbsolute;
            count_ = byte;
            // The run's bytes are padded to an even number.
            padOwed_ = rle4 ? (((byte + 1) / 2) & 1) != 0 : (byte & 1) != 0;
            continue;
        case Step::kAbsolute:
            Put(row, rle4 ? byte >> 4 : byte);
            --count_;
            if (rle4 && count_ > 0) {
                Put(row, byte & 0x0F);
                --count_;
            }
            if (count_ == 0) {
                pending_ = padOwed_ ? Step::kSkip : Step::kNone;
                count_ = 1;
                completeAfterSkip_ = false;
            }
            continue;
        case Step::kSkip:
            if (--count_ > 0) continue;
            pending_ = Step::kNone;
            if (completeAfterSkip_) {
                completeAfterSkip_ = false;
                x_ = 0;
                result = 1;
                break;
            }
            continue;
        }
        break;
    }
    *used = at;
    return result;
}
