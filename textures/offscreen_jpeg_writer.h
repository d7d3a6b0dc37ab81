// OffscreenJpegWriter: the JPEG writer over an offscreen, whose rows it reads with GetDIBits.
#pragma once

#include "textures/jpeg_writer.h"
#include "textures/offscreen_pixel_access.h"

class OffscreenJpegWriter final : public JpegImageWriter {
public:
    using JpegImageWriter::JpegImageWriter;

protected:
    int32_t ImageWidth() override { return OffscreenPixelAccess::Width(offscreen_); }
    int32_t ImageHeight() override { return OffscreenPixelAccess::Height(offscreen_); }
    // Without access GetRow reads nothing and the writer alerts.
    void BeginRowAccess() override { IgnoreResult(access_.Begin(offscreen_)); }
    int32_t GetRow(int32_t line, uint8_t* row, DibHeaderBlock* header) override
    {
        return access_.GetRow(line, row, header);
    }
    void EndRowAccess() override { access_.End(); }

private:
    OffscreenPixelAccess access_;
};
