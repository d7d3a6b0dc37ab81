// JpegImageReader: header, decompression and the decoded lines handed on bottom-up as 24-bit
// rows, under the library's jump-back error handling.
#include "textures/jpeg_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "draw/screen_caps.h"
#include "foundation/loop_turns.h"
#include "foundation/ui_services.h"
#include "model/picture_budget.h"
#include "textures/jpeg_library.h"

namespace {

// A pixel's decoding costs this many units beyond those of a bitmap's pixel (7.5 ns under Wine,
// picture-bench).
constexpr int64_t kUnitsPerDecodedPixel = 1;
// A picture of many scans (progressive, or a component a scan) is taken in whole before any row
// is made: the library keeps every block of coefficients, 64 of two bytes, 32 units of four bytes.
constexpr int64_t kUnitsPerCoefficientBlock = 32;
// Taking in a block of a scan costs as much as making this many pixels: scans of one coefficient
// refined over 8192 x 8192 grey pixels take 31 ns a block under Wine (19 ns over 2048 x 2048), a
// bitmap's pixel made and copied 5.6 ns (picture-bench).
constexpr int64_t kUnitsPerScanBlock = 6;
// The turns of the decoding's loops, at 13 ns a turn under Wine (the typical turn of an honest
// read, system-weights; the times picture-bench's): a row handed on, 0.35 us; a pixel decoded and
// converted, 7.5 ns; a block of a scan taken in, 31 ns.
constexpr int64_t kTurnsPerRow = 27;
constexpr int64_t kTurnsPer8Pixels = 5;
constexpr int64_t kTurnsPerScanBlock = 3;

// The progress monitor's record, with the reader whose read it watches.
struct ScanWatch {
    jpeg_progress_mgr manager;
    JpegImageReader* reader;
};

}  // namespace

int64_t JpegImageReader::ScanRowBlocks() const
{
    // A scan of one component takes in the rows of blocks of its sampling factor at a time; one of
    // several, a row of units of blocks of each.
    if (cinfo_->comps_in_scan < 1) return 0;
    const jpeg_component_info* first = cinfo_->cur_comp_info[0];
    return cinfo_->comps_in_scan == 1 ? int64_t(first->width_in_blocks) * first->v_samp_factor
                                      : int64_t(cinfo_->MCUs_per_row) * cinfo_->blocks_in_MCU;
}

void JpegImageReader::WatchScans(j_common_ptr common)
{
    auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
    JpegImageReader* reader = reinterpret_cast<ScanWatch*>(cinfo->progress)->reader;
    std::jmp_buf& back = reinterpret_cast<JpegErrorBlock*>(cinfo->err)->jump;
    if (cinfo->input_scan_number > kJpegScanLimit) {
        reader->ReaderAlert(kJpegScanLimitMessage);
        std::longjmp(back, 1);
    }
    // The library watches its progress within each scan: a stop the user asks for in the progress
    // window ends the decoding there, without a word.
    if (ProgressUpdate(0)) {
        reader->stopped_ = true;
        std::longjmp(back, 1);
    }
    if (!reader->takingScans_) return;
    const int64_t blocks = reader->ScanRowBlocks();
    reader->scanBlocks_ += blocks;
    if (!reader->SpendOnWork(blocks * kUnitsPerScanBlock, kJpegPastBudgetMessage)) std::longjmp(back, 1);
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
    // The rows decoded and the blocks of the scans taken in, whether the decoding ended or left.
    CountTurns(int64_t(rowsDone_) * (kTurnsPerRow + linePixels_ * kTurnsPer8Pixels / 8) + scanBlocks_ * kTurnsPerScanBlock);
    rowsDone_ = 0;
    scanBlocks_ = 0;
    if (pixelAccess_) EndPixelAccess();
    pixelAccess_ = false;
    takingScans_ = false;
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
    const int64_t imageWidth = cinfo_->image_width;
    const int64_t imageHeight = cinfo_->image_height;
    if (imageWidth > kImageMaxSide || imageHeight > kImageMaxSide || imageWidth * imageHeight > kImageMaxPixels) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    colorSpace_ = cinfo_->out_color_space;
    if (colorSpace_ != JCS_GRAYSCALE && colorSpace_ != JCS_RGB) {
        ShowAlert(kJpegColorSchemeMessage);
        return kResultFailed;
    }
    // A picture of several scans keeps the coefficients of every block of every component.
    const bool manyScans = cinfo_->progressive_mode || cinfo_->comps_in_scan < cinfo_->num_components;
    int64_t blocks = 0;
    for (int32_t c = 0; manyScans && c < cinfo_->num_components; ++c)
        blocks += int64_t(cinfo_->comp_info[c].width_in_blocks) * cinfo_->comp_info[c].height_in_blocks;
    const int64_t units = PictureUnits(imageWidth, imageHeight) + imageWidth * imageHeight * kUnitsPerDecodedPixel +
                          blocks * kUnitsPerCoefficientBlock;
    if (!SpendOnPicture(units, kPicturePastBudgetMessage)) return kResultFailed;
    if (MakeOffscreen(PortRect{0, 0, int32_t(imageWidth), int32_t(imageHeight)}, depth) != kResultOk) {
        ShowAlert(kReaderMemoryMessage);
        return kResultFailed;
    }
    preferredDepth_ = 24;
    imageWidth_ = int32_t(cinfo_->image_width);
    imageHeight_ = int32_t(cinfo_->image_height);

    takingScans_ = true;
    jpeg_start_decompress(cinfo_);
    takingScans_ = false;
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

    while (rowsDone_ < height) {
        const int32_t lines =
            int32_t(jpeg_read_scanlines(cinfo_, samples_, JDIMENSION(std::min(stripRows_, height - rowsDone_))));
        if (lines < 1) return kResultFailed;
        // Within the strip the last line returned comes first: the rows go bottom-up.
        for (int32_t i = 0; i < lines; i++) ConvertLine(samples_[i], strip_ + size_t(lines - 1 - i) * size_t(rowBytes_));
        if (PutRows(height - (rowsDone_ + lines), lines, strip_, *header_) != kResultOk) {
            ReaderAlert(kReaderPixelAccessMessage);
            return kResultFailed;
        }
        rowsDone_ += lines;
        ProgressSetValue(rowsDone_);
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
