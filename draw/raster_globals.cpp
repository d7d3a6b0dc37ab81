// The raster globals, the offscreen they describe, the installed rasterizer set and the choice
// of a set for a pixel format.
#include "draw/raster_globals.h"

#include "draw/raster_procs.h"

RasterGlobals PublishedRaster;
Q_Offscreen* PublishedOffscreen = nullptr;
RasterProcSet RasterProcs = {};

namespace {

const RasterProcSet* NoRasterSet(int32_t, int32_t)
{
    return nullptr;
}

RasterSetChoice gRasterSetChoice = NoRasterSet;

}  // namespace

RasterSetChoice InstallRasterSetChoice(RasterSetChoice choice)
{
    const RasterSetChoice previous = gRasterSetChoice;
    gRasterSetChoice = choice ? choice : NoRasterSet;
    return previous;
}

const RasterProcSet* ChooseRasterSet(int32_t planes, int32_t bitsPerPixel)
{
    return gRasterSetChoice(planes, bitsPerPixel);
}
