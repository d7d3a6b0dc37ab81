// BmpRunDecoder: decodes the run-length encodings of bitmap files (RLE8 and RLE4) one row at a
// time from an input buffer that may end anywhere, keeping a partly read run or escape until
// the buffer has been refilled.
#pragma once

#include <cstdint>

constexpr int32_t kBmpCompressionNone = 0;
constexpr int32_t kBmpCompressionRle8 = 1;
constexpr int32_t kBmpCompressionRle4 = 2;

class BmpRunDecoder {
public:
    // Starts a bitmap: `rowLimit` is the number of pixels a row may hold (its packed bytes for
    // RLE8, twice as many nibbles for RLE4).
    void Reset(int32_t compression, int32_t rowLimit);
    // Starts the next row at its left edge.
    void BeginRow() { x_ = 0; }
    // Decodes from input[*used] up to input[count - 1] into the row, advancing *used: 1 when
    // the row is complete, 0 when the input is used up first, -1 for a run that does not fit
    // the row. After the end-of-bitmap escape every row is complete at once.
    int32_t DecodeRow(const uint8_t* input, int32_t count, int32_t* used, uint8_t* row);
    // A run or escape is waiting for more input.
    bool Pending() const { return pending_ != Step::kNone; }
    bool EndOfBitmap() const { return endOfBitmap_; }

private:
    enum class Step : uint8_t {
        kNone,
        kRunColor,  // an encoded run of count_ pixels waits for its colour byte
        kEscape,    // a zero byte waits for the byte that says what it is
        kAbsolute,  // count_ pixels of an absolute run are still to be copied
        kSkip,      // count_ bytes (a pad byte, delta offsets) are still to be skipped
    };

    void Put(uint8_t* row, uint32_t value);
    bool Fits(int32_t pixels) const { return int64_t(x_) + pixels <= rowLimit_; }

    int32_t compression_ = kBmpCompressionRle8;
    int32_t rowLimit_ = 0;
    int32_t x_ = 0;
    Step pending_ = Step::kNone;
    uint8_t count_ = 0;
    bool padOwed_ = false;           // the absolute run ends with a pad byte
    bool completeAfterSkip_ = false; // the skipped bytes end the row (a delta)
    bool endOfBitmap_ = false;
};
