// OffscreenPixelAccess: how the picture readers and the JPEG writer reach an offscreen's
// pixels: its DIB section, taken out of its memory DC (the placeholder bitmap goes in) while
// rows are stored with SetDIBits or read with GetDIBits.
#pragma once

#include <cstdint>

#include "draw/port_base.h"
#include "textures/image_reader.h"

class Q_Offscreen;

class OffscreenPixelAccess {
public:
    // A new offscreen of the rectangle and depth (no fill) in `result`; 0, or -1 (`result` then
    // holds what was made, or null).
    static ResultCode Make(Q_Offscreen** result, const PortRect& rect, int32_t depth);
    static void Dispose(Q_Offscreen** result);
    static int32_t Width(const Q_Offscreen* offscreen);
    static int32_t Height(const Q_Offscreen* offscreen);

    // Takes the offscreen's DC, locks it and selects the placeholder in place of its DIB
    // section; 0, or -1 with nothing held.
    ResultCode Begin(Q_Offscreen* offscreen);
    // Selects the DIB section back, unlocks and hands the DC back.
    void End();
    // Stores bottom-up rows from scan line `first`; 0, or -1 when fewer rows were stored.
    ResultCode PutRows(int32_t first, int32_t count, const uint8_t* bits, const DibHeaderBlock& header);
    // Reads scan line `line` as the header asks; the number of lines read.
    int32_t GetRow(int32_t line, uint8_t* row, DibHeaderBlock* header);

private:
    Q_Offscreen* offscreen_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
};
