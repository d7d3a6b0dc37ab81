// The drawing layer's start-up and shutdown.
#include "draw/graphics.h"

#include <windows.h>

#include "draw/cursors.h"
#include "draw/fonts.h"
#include "draw/pen_state.h"
#include "draw/port_base.h"
#include "draw/program_palette.h"
#include "draw/region_work_services.h"
#include "foundation/service_slot.h"

ScreenCaps ReadScreenCaps(HDC dc)
{
    ScreenCaps caps;
    const int rasterCaps = GetDeviceCaps(dc, RASTERCAPS);
    caps.rasterCaps = rasterCaps & 0xFFFF;
    caps.blockTransfer = (rasterCaps & RC_BITBLT) ? 1 : 0;
    caps.paletteDevice = (rasterCaps & RC_PALETTE) ? 1 : 0;
    caps.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL);
    caps.planes = GetDeviceCaps(dc, PLANES);
    caps.numColors = GetDeviceCaps(dc, NUMCOLORS);
    if (caps.paletteDevice) {
        caps.sizePalette = GetDeviceCaps(dc, SIZEPALETTE);
        caps.numReserved = GetDeviceCaps(dc, NUMRESERVED);
        caps.colorRes = GetDeviceCaps(dc, COLORRES);
    }
    caps.width = GetDeviceCaps(dc, HORZRES);
    caps.height = GetDeviceCaps(dc, VERTRES);
    if (caps.planes * caps.bitsPerPixel == 4) {
        caps.bitsPerPixel = 4;
        caps.planes = 1;
    }
    return caps;
}

namespace {

class SystemCapsReader : public DeviceCapsReader {
public:
    ScreenCaps ReadDeviceCaps(HDC dc) override { return ReadScreenCaps(dc); }
};

SystemCapsReader gSystemCapsReader;
ServiceSlot<DeviceCapsReader> gCapsReader(&gSystemCapsReader);

}  // namespace

DeviceCapsReader* InstallDeviceCapsReader(DeviceCapsReader* reader)
{
    return gCapsReader.Install(reader);
}

ScreenCaps ReadDeviceCaps(HDC dc)
{
    return gCapsReader.Current().ReadDeviceCaps(dc);
}

void InitGraphics(HINSTANCE instance)
{
    HDC screen = PrepareWindowDC(nullptr);
    SetPolyFillMode(screen, WINDING);
    SetROP2(screen, R2_COPYPEN);
    SetScreenCaps(ReadScreenCaps(screen));
    ReleasePortDC(nullptr, screen);

    LoadCursors(instance);
    LoadFontFile(instance);
    CreateProgramPalette();
    CurrentRegionWorkServices().PolyRgnStartup();
    InitPenState();
}

void ShutdownGraphics()
{
    FreeCursors();
    UnloadFontFile();
    DisposeProgramPalette();
    CurrentRegionWorkServices().PolyRgnShutdown();
    FreePenState();
}
