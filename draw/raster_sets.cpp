// The rasterizer sets of every pixel format in their least form: each routine draws nothing
// and answers 0, so that no face is drawn directly until the rasterizers take their place.
#include "draw/raster_procs.h"

int32_t FillPolygonPlanar(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                          int32_t, int32_t)
{
    return 0;
}
int32_t FillPolygonClippedPlanar(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                                 SpanRegion*, int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonPlanar(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                           int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonClippedPlanar(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t,
                                  const RGBColor48*, SpanRegion*, int32_t, int32_t)
{
    return 0;
}
const RasterProcSet RasterSetPlanar = {FillPolygonPlanar, FillPolygonClippedPlanar,
                                       ShadePolygonPlanar, ShadePolygonClippedPlanar};

int32_t FillPolygon4(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*, int32_t,
                     int32_t)
{
    return 0;
}
int32_t FillPolygonClipped4(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                            SpanRegion*, int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygon4(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                      int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonClipped4(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                             SpanRegion*, int32_t, int32_t)
{
    return 0;
}
const RasterProcSet RasterSet4 = {FillPolygon4, FillPolygonClipped4, ShadePolygon4,
                                  ShadePolygonClipped4};

int32_t FillPolygon8(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*, int32_t,
                     int32_t)
{
    return 0;
}
int32_t FillPolygonClipped8(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                            SpanRegion*, int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygon8(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                      int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonClipped8(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                             SpanRegion*, int32_t, int32_t)
{
    return 0;
}
const RasterProcSet RasterSet8 = {FillPolygon8, FillPolygonClipped8, ShadePolygon8,
                                  ShadePolygonClipped8};

int32_t FillPolygon16(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*, int32_t,
                      int32_t)
{
    return 0;
}
int32_t FillPolygonClipped16(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                             SpanRegion*, int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygon16(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                       int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonClipped16(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t,
                              const RGBColor48*, SpanRegion*, int32_t, int32_t)
{
    return 0;
}
const RasterProcSet RasterSet16 = {FillPolygon16, FillPolygonClipped16, ShadePolygon16,
                                   ShadePolygonClipped16};

int32_t FillPolygon24(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*, int32_t,
                      int32_t)
{
    return 0;
}
int32_t FillPolygonClipped24(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                             SpanRegion*, int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygon24(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                       int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonClipped24(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t,
                              const RGBColor48*, SpanRegion*, int32_t, int32_t)
{
    return 0;
}
const RasterProcSet RasterSet24 = {FillPolygon24, FillPolygonClipped24, ShadePolygon24,
                                   ShadePolygonClipped24};

int32_t FillPolygon32(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*, int32_t,
                      int32_t)
{
    return 0;
}
int32_t FillPolygonClipped32(Q_Offscreen*, DynamicArray*, const RGBColor48*, const RGBColor48*,
                             SpanRegion*, int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygon32(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t, const RGBColor48*,
                       int32_t, int32_t)
{
    return 0;
}
int32_t ShadePolygonClipped32(Q_Offscreen*, DynamicArray*, DynamicArray*, int32_t,
                              const RGBColor48*, SpanRegion*, int32_t, int32_t)
{
    return 0;
}
const RasterProcSet RasterSet32 = {FillPolygon32, FillPolygonClipped32, ShadePolygon32,
                                   ShadePolygonClipped32};
