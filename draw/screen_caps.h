// What the drawing layer knows of the screen: its depth and raster and palette capabilities as
// InitGraphics reads them, and how the system palette is read. Tests install their own values
// so that every pixel format and every palette case runs on any display.
#pragma once

#include <cstdint>

#include "draw/gdi_handles.h"

struct ScreenCaps {
    int32_t rasterCaps = 0;     // low 16 bits of RASTERCAPS
    int32_t paletteDevice = 0;  // 1 when RASTERCAPS has RC_PALETTE
    int32_t blockTransfer = 0;  // 1 when RASTERCAPS has RC_BITBLT
    int32_t bitsPerPixel = 0;   // BITSPIXEL (4 on 1 plane for a 4-plane screen)
    int32_t planes = 0;         // PLANES
    int32_t numColors = 0;      // NUMCOLORS
    int32_t sizePalette = 0;    // SIZEPALETTE, 0 on a screen without RC_PALETTE
    int32_t numReserved = 0;    // NUMRESERVED, 0 on a screen without RC_PALETTE
    int32_t colorRes = 0;       // COLORRES, 0 on a screen without RC_PALETTE
    int32_t width = 0;          // HORZRES
    int32_t height = 0;         // VERTRES
};

// The capabilities of a 1024 x 768 screen of `depth` bits on one plane that can do block
// transfers: true colour above 8 bits, a palette screen with 256 entries at 8 bits, 16 colours at
// 4. Tests and the command-line tools stand them in for the display they run on.
ScreenCaps ScreenCapsOfDepth(int32_t depth);

// Records the screen's capabilities (InitGraphics, or a test) and returns them.
void SetScreenCaps(const ScreenCaps& caps);
const ScreenCaps& GetScreenCaps();

// The screen depth in bits: planes x bits per pixel as recorded.
int32_t ScreenDepth();
// The screen depth as offscreens see it: 0 when the screen cannot do block transfers.
int32_t OffscreenScreenDepth();
// The depth palette code works with: the screen depth on a palette display, else 0 (an offscreen
// made at depth 0 takes the screen's own format). The twin answers the same.
int32_t PaletteScreenDepth();
int32_t PaletteScreenDepthTwin();

// How the capabilities of a device context are read. The default asks the system (the same
// reading InitGraphics records); tests and the tools that stand a screen in install a reader
// that answers for it.
class DeviceCapsReader {
public:
    virtual ~DeviceCapsReader() = default;
    virtual ScreenCaps ReadDeviceCaps(HDC dc) = 0;
};

// Installs a reader (null restores the system's); returns the one installed before.
DeviceCapsReader* InstallDeviceCapsReader(DeviceCapsReader* reader);
// The DC's capabilities as the installed reader answers them.
ScreenCaps ReadDeviceCaps(HDC dc);

// A reader that answers the recorded capabilities for every DC: a screen stood in by a test or
// a tool is the device of every DC made from the screen.
class RecordedCapsReader : public DeviceCapsReader {
public:
    ScreenCaps ReadDeviceCaps(HDC /*dc*/) override { return GetScreenCaps(); }
};

// One system palette entry, laid out as the system's PALETTEENTRY.
struct PaletteColor {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

// How the system palette is read. The default asks the screen; tests install a fixed palette.
class ScreenPalette {
public:
    virtual ~ScreenPalette() = default;
    // Reads `count` entries of the system palette from `first`; answers how many were read.
    virtual int32_t ReadSystemEntries(int32_t first, int32_t count, PaletteColor* entries) = 0;
    // The colours that system palette indices 0 to count - 1 show on the screen.
    virtual void ReadIndexColors(int32_t count, PaletteColor* colors) = 0;
};

// Installs a palette reader (null restores the screen's own); returns the one installed before.
ScreenPalette* InstallScreenPalette(ScreenPalette* palette);
ScreenPalette& CurrentScreenPalette();
