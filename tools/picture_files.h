// Picture files written byte by byte as an attacker (or a benchmark) writes them: bitmap files of
// any declared size whose run-length rows end at once, uncompressed bitmaps of one colour, and
// JPEG files of one grey, plain or progressive, with as many scans as asked (where the JPEG
// library is there).
#pragma once

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A bitmap file of `width` x `height` pixels of 4 or 8 bits, run-length encoded, whose data end at
// once with the end-of-bitmap escape (every row is then empty), followed by `padding` zero bytes.
Bytes RunLengthBitmap(int32_t width, int32_t height, int32_t depth, int32_t padding = 0);
// An uncompressed bitmap file of `width` x `height` pixels of `depth` bits (1, 4, 8 or 24), every
// byte of its rows `fill`.
Bytes PlainBitmap(int32_t width, int32_t height, int32_t depth, uint8_t fill);

// Whether JPEG files can be written here.
bool JpegFilesWritable();
struct JpegShape {
    int32_t width = 16;
    int32_t height = 16;
    int32_t components = 3;  // 1 (grey) or 3 (colour)
    bool progressive = false;
    // A greyscale progressive script of exactly this many scans (0: the library's own script):
    // the DC, then each AC coefficient in turn, first at reduced precision and refined a bit a
    // scan.
    int32_t scans = 0;
};
// A JPEG file of one middle grey; empty where JPEG files cannot be written.
Bytes GreyJpeg(const JpegShape& shape);
