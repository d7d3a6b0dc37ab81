// ImageReader: the base of the picture file decoders. A reader decodes its stream into a new
// offscreen through its pixel-access operations; the offscreen versions of those operations
// come from OffscreenReader (textures/offscreen_reader.h).
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "foundation/root_object.h"

class MemoryStream;
class PictureBudget;
class Q_Offscreen;

// The header that travels with rows of pixels: a 40-byte device-independent bitmap header and
// 256 colour entries (blue, green, red, 0), laid out as the system's BITMAPINFO.
struct DibHeaderBlock {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
    uint8_t colors[256][4];
};
static_assert(sizeof(DibHeaderBlock) == 1064, "a bitmap header with 256 colours");

constexpr int32_t kDibHeaderSize = 40;
// Strips of rows handed on at once hold less than this many bytes of pixels.
constexpr int64_t kStripByteLimit = 65000;
// The largest width or height a reader accepts: pixel coordinates are 16-bit values further on.
constexpr int32_t kImageMaxSide = 32767;
// The most pixels a reader makes a picture of (8192 x 8192; textures are used at 1024 x 1024 at
// most): a few bytes of header would otherwise ask for gigabytes and a decode of minutes. A
// larger picture is refused as one whose offscreen cannot be had.
constexpr int64_t kImageMaxPixels = int64_t(1) << 26;

// The alert every reader shows when a buffer or the offscreen cannot be had.
constexpr char kReaderMemoryMessage[] = "There is not enough memory allocated to complete this operation.";
constexpr char kReaderPixelAccessMessage[] =
    "An error occurred while getting the bitmap.  You may need to restart Windows, or perhaps use a "
    "different video driver.  Cannot load bitmap %s";

// The name.ext of the file a stream reads or writes, or an empty text unless the stream is a
// disk file; `name` holds kPathLength bytes.
void StreamFileName(MemoryStream* stream, char* name);

class ImageReader : public RootObject {
public:
    explicit ImageReader(MemoryStream* stream) : stream_(stream) {}

    // --- operations, in their fixed order ---
    // Decodes the stream; the base reads nothing and answers 0.
    virtual ResultCode Read(int32_t /*depth*/) { return kResultOk; }
    // Makes the result offscreen for the rectangle at the depth; 0 or -1.
    virtual ResultCode MakeOffscreen(const PortRect& rect, int32_t depth) = 0;
    // Disposes the result and forgets it.
    virtual void DisposeOffscreen() = 0;
    // Prepares the result for PutRows; 0 or -1.
    virtual ResultCode BeginPixelAccess() = 0;
    virtual void EndPixelAccess() = 0;
    // Stores `count` bottom-up rows of `bits`, as the header describes them, from scan line
    // `firstLine` (0 is the bottom row); 0, or -1 when fewer rows were stored.
    virtual ResultCode PutRows(int32_t firstLine, int32_t count, const uint8_t* bits,
                               const DibHeaderBlock& header) = 0;
    // The result's size in pixels.
    virtual int32_t Width() = 0;
    virtual int32_t Height() = 0;

    // The decoded picture, or null; the reader never disposes a picture once it was read.
    Q_Offscreen* ImageReaderOffscreen() const { return result_; }
    // The picture read spends on the model's picture budget (null: on none) before it is made,
    // and the decoding's work on it as it is done.
    void ChargePicturesTo(PictureBudget* pictures) { pictures_ = pictures; }
    // Frees the reader; the stream and a result stay with their owners.
    void Destroy() { delete this; }

protected:
    // Shows the message with the stream's file name (name.ext; empty unless the stream is a
    // disk file) in place of its %s.
    void ReaderAlert(const char* format) const;
    // Spends the units that making the stream's picture takes, or the units of work done for
    // it, on the picture budget, if there is one: false, after the message naming the file, when
    // the budget refuses them.
    bool SpendOnPicture(int64_t units, const char* message) const;
    bool SpendOnWork(int64_t units, const char* message) const;

    MemoryStream* stream_;
    Q_Offscreen* result_ = nullptr;
    PictureBudget* pictures_ = nullptr;
};
