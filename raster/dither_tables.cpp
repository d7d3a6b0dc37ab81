// The palette probe made beside the dither tables.
#include "raster/dither_tables.h"

#include <new>

#include "draw/q_offscreen.h"

namespace {

bool gDitherTablesBuilt = false;
Q_Offscreen* gPaletteProbe = nullptr;

}  // namespace

Q_Offscreen* PaletteProbe() { return gPaletteProbe; }

void InitDitherTables()
{
    if (gDitherTablesBuilt) return;
    gDitherTablesBuilt = true;
    gPaletteProbe = new (std::nothrow) Q_Offscreen;
    if (gPaletteProbe && gPaletteProbe->QOffscreenInit({0, 0, 1, 1}, 8, nullptr) != kResultOk) {
        gPaletteProbe->DisposeOffscreen();
        gPaletteProbe = nullptr;
    }
}

void FreeDitherTables()
{
    if (gPaletteProbe) gPaletteProbe->DisposeOffscreen();
    gPaletteProbe = nullptr;
}
