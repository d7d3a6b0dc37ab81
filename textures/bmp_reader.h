// BmpImageReader: decodes a Windows or OS/2 bitmap file (1, 4, 8, 16, 24 or 32 bits per pixel,
// uncompressed, RLE8 or RLE4, bottom-up or top-down) into a new offscreen of the file's depth,
// handing the rows on in strips. Every refusal is shown to the user naming the file.
#pragma once

#include <cstdint>

#include "textures/bmp_run_decoder.h"
#include "textures/image_reader.h"

constexpr char kBmpTypeMessage[] = "This is not a BMP type we recognize.  Cannot load bitmap %s";
constexpr char kBmpFormatMessage[] = "Unrecognized BMP format.  Cannot load bitmap %s";
constexpr char kBmpColorMapMessage[] = "This bitmap has an invalid color map.  Cannot load bitmap %s";
constexpr char kBmpDepthMessage[] =
    "This bitmap is a color depth (bits per pixel) that we do not support.  Cannot load bitmap %s";
constexpr char kBmpCompressionMessage[] = "This compression mode is not supported.  Cannot load bitmap %s";
constexpr char kBmpUncompressMessage[] = "An error occurred while uncompressing.  Cannot load bitmap %s";

class BmpImageReader : public ImageReader {
public:
    explicit BmpImageReader(MemoryStream* stream) : ImageReader(stream) {}

    // Reads the file into a new offscreen (the depth argument is not used: the offscreen takes
    // the file's depth); 0, or -1 after the message, or kResultStopped once the user asked the
    // progress window to stop, with no result left.
    ResultCode Read(int32_t depth) override;

private:
    // Reads the info header and the colour table into the header block; 0 or -1 after the
    // message. `pixelOffset` is the file header's offset of the pixel data.
    ResultCode ReadInfoHeader(DibHeaderBlock* header, uint32_t pixelOffset);
    // Reads the rows from the stream's position into the result offscreen; 0, -1, or
    // kResultStopped when the user stopped it.
    ResultCode ReadPixels(DibHeaderBlock* header, int32_t pixelOffset, bool topDown);
    // Decodes one compressed row, refilling the input buffer as it runs out; 0 or -1.
    ResultCode DecodeRow(uint8_t* row);
    // Reads up to `count` bytes, never past the stream's end (a transfer cut short there would
    // move nothing); the number read (0 at the end or on a stream error).
    int32_t ReadSome(void* address, int32_t count);

    int32_t streamSize_ = 0;  // the stream's size, asked as the read begins
    int32_t compression_ = kBmpCompressionNone;
    BmpRunDecoder decoder_;
    uint8_t* input_ = nullptr;
    int32_t inputSize_ = 0;
    int32_t inputCount_ = 0;
    int32_t inputUsed_ = 0;
};
