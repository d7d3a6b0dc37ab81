// Test helpers: JPEG files made at test time with the library's own memory destination, in
// every colour space and coding the readers must meet.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using Bytes = std::vector<uint8_t>;

struct JpegLayout {
    int32_t width = 16;
    int32_t height = 16;
    J_COLOR_SPACE space = JCS_RGB;  // of the samples given: 1 (grey), 3 (RGB) or 4 (CMYK) a pixel
    bool progressive = false;
    int32_t quality = 90;
};

// Compresses samples given top row first.
inline Bytes MakeJpeg(const JpegLayout& layout, const std::vector<uint8_t>& samples)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(layout.width);
    cinfo.image_height = JDIMENSION(layout.height);
    cinfo.input_components = layout.space == JCS_GRAYSCALE ? 1 : layout.space == JCS_CMYK ? 4 : 3;
    cinfo.in_color_space = layout.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, layout.quality, TRUE);
    if (layout.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = size_t(layout.width) * size_t(cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + cinfo.next_scanline * stride;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes file(out, out + size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return file;
}
