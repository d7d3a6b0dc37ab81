// OffscreenReader: a picture reader (BmpImageReader, JpegImageReader) whose pixel access goes
// to a new offscreen, the form in which the media items run the readers.
#pragma once

#include "textures/offscreen_pixel_access.h"

template <class Reader>
class OffscreenReader final : public Reader {
public:
    using Reader::Reader;

    ResultCode MakeOffscreen(const PortRect& rect, int32_t depth) override
    {
        return OffscreenPixelAccess::Make(&this->result_, rect, depth);
    }
    void DisposeOffscreen() override { OffscreenPixelAccess::Dispose(&this->result_); }
    ResultCode BeginPixelAccess() override { return access_.Begin(this->result_); }
    void EndPixelAccess() override { access_.End(); }
    ResultCode PutRows(int32_t firstLine, int32_t count, const uint8_t* bits, const DibHeaderBlock& header) override
    {
        return access_.PutRows(firstLine, count, bits, header);
    }
    int32_t Width() override { return OffscreenPixelAccess::Width(this->result_); }
    int32_t Height() override { return OffscreenPixelAccess::Height(this->result_); }

private:
    OffscreenPixelAccess access_;
};
