// Picture files written byte by byte: bitmap headers, colour tables and rows, and JPEG files
// through the JPEG library's compressor.
#include "tools/picture_files.h"

#include <cstdlib>
#include <iterator>

#ifdef QP_PICTURE_FILES_JPEG
#include <cstdio>

#include <jpeglib.h>
#endif

namespace {

constexpr uint32_t kRunLength8 = 1;
constexpr uint32_t kRunLength4 = 2;
constexpr int32_t kHeadersSize = 14 + 40;

void PutLittle(Bytes& bytes, uint32_t value, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// The file and info headers and a colour table of greys for a picture whose rows take `dataSize`
// bytes.
Bytes BitmapHeaders(int32_t width, int32_t height, int32_t depth, uint32_t compression, uint32_t dataSize)
{
    const uint32_t entries = depth <= 8 ? 1u << depth : 0;
    const uint32_t offset = kHeadersSize + 4 * entries;
    Bytes bytes = {'B', 'M'};
    PutLittle(bytes, offset + dataSize, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, offset, 4);
    PutLittle(bytes, 40, 4);
    PutLittle(bytes, uint32_t(width), 4);
    PutLittle(bytes, uint32_t(height), 4);
    PutLittle(bytes, 1, 2);
    PutLittle(bytes, uint32_t(depth), 2);
    PutLittle(bytes, compression, 4);
    PutLittle(bytes, dataSize, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 0, 4);
    for (uint32_t i = 0; i < entries; ++i) {
        const auto grey = uint8_t(i * 255 / (entries - 1));
        bytes.insert(bytes.end(), {grey, grey, grey, 0});
    }
    return bytes;
}

}  // namespace

Bytes RunLengthBitmap(int32_t width, int32_t height, int32_t depth, int32_t padding)
{
    constexpr uint8_t kEndOfBitmap[] = {0, 1};
    Bytes bytes = BitmapHeaders(width, height, depth, depth == 4 ? kRunLength4 : kRunLength8,
                                uint32_t(sizeof kEndOfBitmap + padding));
    bytes.insert(bytes.end(), std::begin(kEndOfBitmap), std::end(kEndOfBitmap));
    bytes.resize(bytes.size() + size_t(padding), 0);
    return bytes;
}

Bytes PlainBitmap(int32_t width, int32_t height, int32_t depth, uint8_t fill)
{
    const size_t rowBytes = (size_t(width) * size_t(depth) + 31) / 32 * 4;
    Bytes bytes = BitmapHeaders(width, height, depth, 0, uint32_t(rowBytes * size_t(height)));
    bytes.resize(bytes.size() + rowBytes * size_t(height), fill);
    return bytes;
}

#ifdef QP_PICTURE_FILES_JPEG

bool JpegFilesWritable()
{
    return true;
}

Bytes GreyJpeg(const JpegShape& shape)
{
    constexpr int32_t kQuality = 75;
    constexpr uint8_t kMiddleGrey = 128;
    std::vector<jpeg_scan_info> script = {{1, {0}, 0, 0, 0, 0}};
    for (int32_t k = 1; k <= 63 && int32_t(script.size()) < shape.scans; ++k) {
        script.push_back({1, {0}, k, k, 0, 10});
        for (int32_t al = 9; al >= 0 && int32_t(script.size()) < shape.scans; --al) script.push_back({1, {0}, k, k, al + 1, al});
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(shape.width);
    cinfo.image_height = JDIMENSION(shape.height);
    cinfo.input_components = shape.components;
    cinfo.in_color_space = shape.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kQuality, TRUE);
    if (shape.progressive) jpeg_simple_progression(&cinfo);
    if (shape.progressive && shape.components == 1 && shape.scans > 0) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    const std::vector<uint8_t> row(size_t(shape.width) * size_t(shape.components), kMiddleGrey);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[] = {const_cast<uint8_t*>(row.data())};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes file(out, out + size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return file;
}

#else

bool JpegFilesWritable()
{
    return false;
}

Bytes GreyJpeg(const JpegShape& /*shape*/)
{
    return {};
}

#endif
