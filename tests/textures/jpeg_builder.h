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
    // Greyscale only: a progressive script of exactly this many scans (the DC, then each AC
    // coefficient in turn, first at 10 bits of reduced precision and refined a bit a scan).
    int32_t scans = 0;
};

// The scan script of JpegLayout::scans.
inline std::vector<jpeg_scan_info> ScanScript(int32_t scans)
{
    std::vector<jpeg_scan_info> script = {{1, {0}, 0, 0, 0, 0}};
    for (int32_t k = 1; k <= 63 && int32_t(script.size()) < scans; k++) {
        script.push_back({1, {0}, k, k, 0, 10});
        for (int32_t al = 9; al >= 0 && int32_t(script.size()) < scans; al--) script.push_back({1, {0}, k, k, al + 1, al});
    }
    return script;
}

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
    const std::vector<jpeg_scan_info> script = ScanScript(layout.scans);
    if (layout.scans > 0) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = int(script.size());
    }
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
