// JpegImageWriter: the compressor's set-up, 24-bit rows read top row first and turned from
// blue, green, red into the library's red, green, blue, under jump-back error handling.
#include "textures/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "foundation/dynamic_array.h"
#include "foundation/path_record.h"
#include "foundation/ui_services.h"
#include "textures/jpeg_library.h"

ResultCode JpegImageWriter::Write()
{
    errors_ = NewJpegErrorBlock();
    cinfo_ = static_cast<jpeg_compress_struct*>(std::malloc(sizeof(jpeg_compress_struct)));
    if (!errors_ || !cinfo_) {
        std::free(errors_);
        std::free(cinfo_);
        errors_ = nullptr;
        cinfo_ = nullptr;
        return kResultFailed;
    }
    std::memset(cinfo_, 0, sizeof(jpeg_compress_struct));
    cinfo_->err = &errors_->manager;
    volatile ResultCode result = kResultFailed;
    volatile bool created = false;
    if (setjmp(errors_->jump) == 0) {
        jpeg_create_compress(cinfo_);
        created = true;
        result = Encode();
    }
    EndEncode();
    if (created) jpeg_destroy_compress(cinfo_);
    std::free(errors_);
    std::free(cinfo_);
    errors_ = nullptr;
    cinfo_ = nullptr;
    return result;
}

void JpegImageWriter::EndEncode()
{
    if (rowAccess_) EndRowAccess();
    rowAccess_ = false;
    if (row_) row_->Destroy();
    row_ = nullptr;
    delete header_;
    header_ = nullptr;
}

ResultCode JpegImageWriter::Encode()
{
    const int32_t width = ImageWidth();
    const int32_t height = ImageHeight();
    cinfo_->image_width = JDIMENSION(width);
    cinfo_->image_height = JDIMENSION(height);
    cinfo_->input_components = 3;
    cinfo_->in_color_space = JCS_RGB;
    UseJpegStreamDestination(cinfo_, stream_);
    jpeg_set_defaults(cinfo_);
    jpeg_start_compress(cinfo_, TRUE);

    ProgressSetTotal(height);
    const int32_t rowBytes = ((width * 24 + 31) & ~31) / 8;
    row_ = NewDynamicArray(rowBytes, 1, 1);
    header_ = new (std::nothrow) DibHeaderBlock{};
    if (!row_ || !header_) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    header_->size = kDibHeaderSize;
    header_->width = width;
    header_->height = height;
    header_->planes = 1;
    header_->bitCount = 24;
    BeginRowAccess();
    rowAccess_ = true;
    auto* row = static_cast<uint8_t*>(row_->ArrayLock());
    for (int32_t line = height - 1; line >= 0; line--) {
        if (GetRow(line, row, header_) < 1) {
            char name[kPathLength];
            StreamFileName(stream_, name);
            char text[sizeof name + 100];
            std::snprintf(text, sizeof text, kJpegInterrogateMessage, name);
            ShowAlert(text);
            row_->ArrayUnlock();
            return kResultFailed;
        }
        // The rows hold blue, green, red; the library takes red, green, blue.
        for (int32_t x = 0; x < width; x++) std::swap(row[3 * x], row[3 * x + 2]);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(cinfo_, rows, 1);
    }
    row_->ArrayUnlock();
    EndRowAccess();
    rowAccess_ = false;
    jpeg_finish_compress(cinfo_);
    return kResultOk;
}
