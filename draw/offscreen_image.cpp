// Reading and writing an offscreen's whole image through its transfer operations.
#include "draw/q_offscreen.h"

#include "draw/image_format.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "model/read_budget.h"

int32_t Q_Offscreen::ImageDepth() const
{
    if (IsImageDepth(depth_)) return depth_;
    return format_.planes * format_.bitsPerPixel;
}

ResultCode Q_Offscreen::ReadWriteOffscreenImage(MemoryStream* stream, DynamicArray* table, int32_t flag,
                                                PictureBudget* pictures)
{
    OffscreenImageHeader header;
    ResultCode result = kResultOk;
    if (stream->StreamIsWriting()) {
        const int32_t depth = ImageDepth();
        const int32_t width = globalRect_.Width();
        const int32_t height = globalRect_.Height();
        if (!IsImageDepth(depth) || width < 0 || width > INT16_MAX || height < 0 || height > INT16_MAX)
            return kResultFailed;
        header.width = int16_t(width);
        header.height = int16_t(height);
        header.depth = int16_t(depth);
        header.flag = uint16_t(flag);
        const int64_t rowBytes = ImageRowSize(format_.width, depth);
        if (rowBytes * height > INT32_MAX) return kResultFailed;
        header.rowBytes = int32_t(rowBytes);
        header.totalBytes = header.height * header.rowBytes;
        if ((result = TransferImageHeader(stream, &header)) != kResultOk) return result;
        if (!table) {
            if ((result = stream->StreamBeginChunk(kColorMapChunk)) != kResultOk) return result;
            result = TransferColorTable(stream, nullptr, depth);
            const ResultCode ended = stream->StreamEndChunk();
            if (result == kResultOk) result = ended;
            if (result != kResultOk) return result;
        }
        SetCursorShape(kWaitCursor);
        if ((result = stream->StreamBeginChunk(kPixelDataChunk)) != kResultOk) return result;
        result = TransferPixelRows(stream, table, header.totalBytes, header.rowBytes, 0, header.height,
                                   flag, depth);
        const ResultCode ended = stream->StreamEndChunk();
        return result != kResultOk ? result : ended;
    }

    if (flag) return kResultNothingDone;
    if ((result = TransferImageHeader(stream, &header)) != kResultOk) return result;
    // Nothing of the offscreen changes before the whole body is known to be readable.
    if (!ImageHeaderIsSound(header)) return kResultFailed;
    return ReadImageChunks(stream, header, table, [&](DynamicArray* colours) {
        // The rows are all there: their bytes pay for the pixels they make.
        if (pictures) {
            pictures->AddBytes(header.totalBytes);
            if (!pictures->SpendOnPicture(PictureUnits(header.width, header.height), header.totalBytes)) {
                ShowAlert(kEmbeddedPicturePastBudgetMessage);
                return kResultPastBudget;
            }
        }
        const ResultCode made = InitNoFill({0, 0, header.width, header.height}, header.depth, colours);
        if (made != kResultOk) return made;
        return TransferPixelRows(stream, colours, header.totalBytes, header.rowBytes, 0, header.height, flag,
                                 header.depth);
    });
}
