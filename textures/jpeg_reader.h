// JpegImageReader: decodes a JPEG picture from a stream, through the JPEG library, into a new
// offscreen, handing the decoded lines on as 24-bit rows. A fatal library error ends the read
// with -1 and leaves no picture.
#pragma once

#include <cstdint>

#include "textures/image_reader.h"

constexpr char kJpegColorSchemeMessage[] = "Unrecognised JPEG color scheme.";
constexpr char kJpegScanLimitMessage[] = "This JPEG picture has too many scans.  Cannot load bitmap %s";
// A picture of more scans is refused: each scan passes over the whole picture, so that a small
// file of many empty scans would otherwise keep the reader busy for minutes.
constexpr int32_t kJpegScanLimit = 500;
constexpr char kJpegColorSchemeMessageTopDown[] = "JPEG color scheme not recognized.";
constexpr char kJpegPastBudgetMessage[] =
    "This JPEG picture takes more work to decode than the model's pictures may.  Cannot load bitmap %s";

struct JpegErrorBlock;
struct jpeg_common_struct;
struct jpeg_decompress_struct;

class JpegImageReader : public ImageReader {
public:
    explicit JpegImageReader(MemoryStream* stream) : ImageReader(stream) {}

    // Decodes the stream into a new offscreen of the depth (-1: the smaller of the screen depth
    // and the preferred depth); 0, -1, or kResultStopped (and no picture) once the user asked the
    // progress window to stop.
    ResultCode Read(int32_t depth) override;

    // The colour space, width and height of the last picture read.
    int32_t OutputColorSpace() const { return colorSpace_; }
    int32_t ImageWidth() const { return imageWidth_; }
    int32_t ImageHeight() const { return imageHeight_; }

    // Converts `count` decoded lines into 24-bit rows `rowBytes` apart, first line first (the
    // reading path stores them last line first); 0, or -1 after the message for a colour
    // space other than greyscale and RGB.
    ResultCode CopyLinesTopDown(uint8_t* const* lines, int32_t count, uint8_t* rows, int32_t rowBytes);

private:
    // Everything between the library's set-up and its destruction; the library's fatal errors
    // leave it by a jump.
    ResultCode Decode(int32_t depth);
    // Releases what Decode holds, whether it ended normally or by a jump.
    void EndDecode();
    // One decoded line as a 24-bit row: a grey sample three times, RGB as blue, green, red.
    void ConvertLine(const uint8_t* line, uint8_t* row) const;
    // The library's progress monitor: past the scan limit, the message and the jump back; a look
    // at the progress window, and the jump back when the user asked it to stop; while the scans of
    // a picture of many are taken in, each row of blocks is spent on the picture budget before it
    // is decoded, and past the budget, the message and the jump back.
    static void WatchScans(jpeg_common_struct* cinfo);
    // The blocks that the next row of the scan being taken in holds.
    int64_t ScanRowBlocks() const;

    int32_t preferredDepth_ = 0;
    int32_t colorSpace_ = 0;
    int32_t imageWidth_ = 0;
    int32_t imageHeight_ = 0;
    int32_t decoderRowLength_ = 0;
    int32_t rowBytes_ = 0;
    int32_t stripRows_ = 0;
    int32_t linePixels_ = 0;  // pixels converted a line: the decoded width, at most the offscreen's
    uint8_t** samples_ = nullptr;
    uint8_t* strip_ = nullptr;
    DibHeaderBlock* header_ = nullptr;
    bool pixelAccess_ = false;
    bool takingScans_ = false;  // the library takes in the scans of a picture of many
    int32_t rowsDone_ = 0;      // rows decoded and handed on
    int64_t scanBlocks_ = 0;    // blocks of the scans taken in
    bool stopped_ = false;
    JpegErrorBlock* errors_ = nullptr;
    jpeg_decompress_struct* cinfo_ = nullptr;
};
