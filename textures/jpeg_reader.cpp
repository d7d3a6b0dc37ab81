// JpegImageReader: header, decompression and the decoded lines handed on bottom-up as 24-bit
// rows, under the library's jump-back error handling.
#include "textures/jpeg_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "draw/screen_caps.h"
#include "foundation/ui_services.h"
#include "textures/jpeg_library.h"

namespace {

// The progress monitor's record, with the reader whose read it watches.
struct ScanWatch {
    jpeg_progress_mgr manager;
    JpegImageReader* reader;
};

}  // namespace

void JpegImageReader::WatchScans(j_common_ptr common)
{
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    JpegImageReader* reader = reinterpret_cast<ScanWatch*>(cinfo->progress)->reader;
    if (cinfo->input_scan_number > kJpegScanLimit) {
        reader->ReaderAlert(kJpegScanLimitMessage);
    } else if (ProgressUpdate(0)) {
        // The library watches its progress within each scan: a stop the user asks for in the
        // progress window ends the decoding there, without a word.
        reader->stopped_ = true;
    } else {
        return;
    }
    std::longjmp(reinterpret_cast<JpegErrorBlock*>(cinfo->err)->jump, 1);
}

ResultCode JpegImageReader::Read(int32_t depth)
{
    errors_ = NewJpegErrorBlock();
    cinfo_ = static_cast<jpeg_decompress_struct*>(std::malloc(sizeof(jpeg_decompress_struct)));
    if (!errors_ || !cinfo_) {
        std::free(errors_);
        std::free(cinfo_);
        errors_ = nullptr;
        cinfo_ = nullptr;
        return kResultFailed;
    }
    std::memset(cinfo_, 0, sizeof(jpeg_decompress_struct));
    cinfo_->err = &errors_->manager;
    ScanWatch watch = {};
    watch.manager.progress_monitor = WatchScans;
    watch.reader = this;
    volatile ResultCode result = kResultFailed;
    volatile bool created = false;
    if (setjmp(errors_->jump) == 0) {
        jpeg_create_decompress(cinfo_);
        created = true;
        cinfo_->progress = &watch.manager;
        result = Decode(depth);
    }
    EndDecode();
    if (result != kResultOk) DisposeOffscreen();
    if (created) jpeg_destroy_decompress(cinfo_);
    std::free(errors_);
    std::free(cinfo_);
    errors_ = nullptr;
    cinfo_ = nullptr;
    return stopped_ ? kResultStopped : ResultCode(result);
}

void JpegImageReader::EndDecode()
{
    if (pixelAccess_) EndPixelAccess();
    pixelAccess_ = false;
    std::free(strip_);
    strip_ = nullptr;
    delete header_;
    header_ = nullptr;
    samples_ = nullptr;  // the library's image pool owns them
}

ResultCode JpegImageReader::Decode(int32_t depth)
{
    UseJpegStreamSource(cinfo_, stream_);
    jpeg_read_header(cinfo_, TRUE);

    if (depth == -1) depth = std::min(ScreenDepth(), preferredDepth_);
    ProgressSetTotal(int32_t(cinfo_->image_height));
    ProgressSetValue(0);
    ProgressShow();
    if (cinfo_->image_width > JDIMENSION(kImageMaxSide) || cinfo_->image_height > JDIMENSION(kImageMaxSide) ||
        int64_t(cinfo_->image_width) * cinfo_->image_height > kImageMaxPixels ||
        MakeOffscreen(PortRect{0, 0, int32_t(cinfo_->image_width), int32_t(cinfo_->image_height)}, depth) !=
            kResultOk) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    preferredDepth_ = 24;
    colorSpace_ = cinfo_->out_color_space;
    imageWidth_ = int32_t(cinfo_->image_width);
    imageHeight_ = int32_t(cinfo_->image_height);

    jpeg_start_decompress(cinfo_);
    decoderRowLength_ = cinfo_->output_components * int32_t(cinfo_->output_width);
    header_ = new (std::nothrow) DibHeaderBlock{};
    if (!header_) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    const int32_t width = Width();
    const int32_t height = Height();
    linePixels_ = std::min(int32_t(cinfo_->output_width), width);
    header_->size = kDibHeaderSize;
    header_->width = width;
    header_->height = height;
    header_->planes = 1;
    header_->bitCount = 24;
    // Rows of the strip are padded to 4 bytes, as the bitmap calls read them.
    rowBytes_ = ((24 * width + 31) & ~31) / 8;
    stripRows_ = std::max(height, 1);
    while (stripRows_ > 1 && int64_t(stripRows_) * rowBytes_ >= kStripByteLimit) stripRows_ /= 2;
    for (;;) {
        strip_ = static_cast<uint8_t*>(std::calloc(size_t(stripRows_) * size_t(rowBytes_) + 1, 1));
        if (strip_ || stripRows_ == 1) break;
        stripRows_ /= 2;
    }
    if (!strip_) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    samples_ = (*cinfo_->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo_), JPOOL_IMAGE,
                                            JDIMENSION(std::max(decoderRowLength_, 1)), JDIMENSION(stripRows_));
    if (BeginPixelAccess() != kResultOk) {
        ReaderAlert(kReaderPixelAccessMessage);
        return kResultFailed;
    }
    pixelAccess_ = true;

    int32_t row = 0;
    while (row < height) {
        const int32_t lines = int32_t(jpeg_read_scanlines(cinfo_, samples_, JDIMENSION(std::min(stripRows_, height - row))));
        if (lines < 1) return kResultFailed;
        if (colorSpace_ != JCS_GRAYSCALE && colorSpace_ != JCS_RGB) {
            ShowAlert(kJpegColorSchemeMessage);
            return kResultFailed;
        }
        // Within the strip the last line returned comes first: the rows go bottom-up.
        for (int32_t i = 0; i < lines; i++) ConvertLine(samples_[i], strip_ + size_t(lines - 1 - i) * size_t(rowBytes_));
        if (PutRows(height - (row + lines), lines, strip_, *header_) != kResultOk) {
            ReaderAlert(kReaderPixelAccessMessage);
            return kResultFailed;
        }
        row += lines;
        ProgressSetValue(row);
        if (ProgressUpdate(0)) {
            stopped_ = true;
            return kResultFailed;
        }
    }
    EndDecode();
    jpeg_finish_decompress(cinfo_);
    return kResultOk;
}

void JpegImageReader::ConvertLine(const uint8_t* line, uint8_t* row) const
{
    const int32_t pixels = linePixels_;
    if (colorSpace_ == JCS_GRAYSCALE) {
        for (int32_t x = 0; x < pixels; x++) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = line[x];
        return;
    }
    for (int32_t x = 0; x < pixels; x++) {
        row[3 * x] = line[3 * x + 2];
        row[3 * x + 1] = line[3 * x + 1];
        row[3 * x + 2] = line[3 * x];
    }
}

ResultCode JpegImageReader::CopyLinesTopDown(uint8_t* const* lines, int32_t count, uint8_t* rows, int32_t rowBytes)
{
    if (colorSpace_ != JCS_GRAYSCALE && colorSpace_ != JCS_RGB) {
        ShowAlert(kJpegColorSchemeMessageTopDown);
        return kResultFailed;
    }
    for (int32_t i = 0; i < count; i++) ConvertLine(lines[i], rows + size_t(i) * size_t(rowBytes));
    return kResultOk;
}
