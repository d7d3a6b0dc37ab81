// JpegImageWriter: encodes an offscreen's picture as a JPEG onto a stream through the JPEG
// library, top row first. The rows come from the row operations, which the offscreen writer
// (OffscreenJpegWriter) takes from the offscreen's bitmap.
#pragma once

#include <cstdint>

#include "foundation/root_object.h"
#include "textures/image_reader.h"

constexpr char kJpegInterrogateMessage[] =
    "Cannot interrogate the driver for bitmap data.  Cannot write bitmap %s";

class MemoryStream;
class Q_Offscreen;
class DynamicArray;
struct JpegErrorBlock;
struct jpeg_compress_struct;

class JpegImageWriter : public RootObject {
public:
    JpegImageWriter(MemoryStream* stream, Q_Offscreen* offscreen) : stream_(stream), offscreen_(offscreen) {}

    using RootObject::Write;
    // Encodes the picture onto the stream; 0, or -1 after the message.
    ResultCode Write();
    // Frees the writer; the stream and the offscreen stay with their owners.
    void Destroy() { delete this; }

protected:
    // --- row access, in their fixed order ---
    // The picture's size in pixels.
    virtual int32_t ImageWidth() = 0;
    virtual int32_t ImageHeight() = 0;
    virtual void BeginRowAccess() = 0;
    // Copies scan line `line` (0 is the bottom row) into `row` as the header asks; the number
    // of lines copied.
    virtual int32_t GetRow(int32_t line, uint8_t* row, DibHeaderBlock* header) = 0;
    virtual void EndRowAccess() = 0;

    MemoryStream* stream_;
    Q_Offscreen* offscreen_;

private:
    ResultCode Encode();
    void EndEncode();

    DynamicArray* row_ = nullptr;
    DibHeaderBlock* header_ = nullptr;
    bool rowAccess_ = false;
    JpegErrorBlock* errors_ = nullptr;
    jpeg_compress_struct* cinfo_ = nullptr;
};
