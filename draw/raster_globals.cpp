// The raster globals, the offscreen they describe and the installed rasterizer set.
#include "draw/raster_globals.h"

#include "draw/raster_procs.h"

RasterGlobals PublishedRaster;
Q_Offscreen* PublishedOffscreen = nullptr;
RasterProcSet RasterProcs = {};
