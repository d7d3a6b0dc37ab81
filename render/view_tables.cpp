// The observer's view tables: the reciprocal tables of the projection scale, the viewport
// corners and the power-of-two view and guard pyramids.
#include "render/observer.h"

#include <cmath>
#include <cstdlib>

#include "raster/device_point_list.h"

namespace {

constexpr int32_t kTable1Entries = 8192;
constexpr int32_t kTable2Entries = 2048;
constexpr int32_t kTable3Entries = 1024;
constexpr int32_t kTable4Entries = 128;

int32_t PlaneLength(int32_t shiftA, int32_t shiftB)
{
    const double a = std::ldexp(1.0, 2 * shiftA);
    const double b = std::ldexp(1.0, 2 * shiftB);
    const double length = std::ceil(std::sqrt(a + b));
    return int32_t(length);
}

// The shift pair of the side planes for a half-extent of the view.
void SideShifts(int32_t scale, int32_t extent, int16_t* depthShift, int16_t* sideShift)
{
    if (scale <= extent) {
        const uint32_t q = uint32_t((int64_t(scale) + extent - 1) / scale);
        *depthShift = int16_t(BitLength(q - 1) + 8);
        *sideShift = 8;
    } else {
        const uint32_t q = uint32_t(scale / extent);
        *depthShift = 8;
        *sideShift = int16_t(BitLength(q) + 7);
    }
}

}  // namespace

ResultCode Observer::AllocViewBuffers()
{
    recipTable1 = static_cast<uint32_t*>(std::calloc(kTable1Entries, sizeof(uint32_t)));
    recipTable2 = static_cast<uint16_t*>(std::calloc(kTable2Entries, sizeof(uint16_t)));
    recipTable3 = static_cast<uint16_t*>(std::calloc(kTable3Entries, sizeof(uint16_t)));
    recipTable4 = static_cast<uint16_t*>(std::calloc(kTable4Entries, sizeof(uint16_t)));
    return recipTable1 && recipTable2 && recipTable3 && recipTable4 ? kResultOk : kResultOutOfMemory;
}

void Observer::FreeViewBuffers()
{
    std::free(recipTable1);
    std::free(recipTable2);
    std::free(recipTable3);
    std::free(recipTable4);
    recipTable1 = nullptr;
    recipTable2 = recipTable3 = recipTable4 = nullptr;
}

void Observer::BuildReciprocalTables()
{
    if (zoomNum <= 0 || zoomDen <= 0 || width <= 0 || height <= 0) return;
    if (!recipTable1 || !recipTable2 || !recipTable3 || !recipTable4) return;
    // Extreme lens ratios are held within the scale's range.
    int64_t s = int64_t(zoomNum) * width * 2 / zoomDen;
    if (s > kMaxProjectionScale) s = kMaxProjectionScale;
    if (s < 1) s = 1;
    if (s == scale) return;
    scale = int16_t(s);
    const uint32_t big = uint32_t(s) << 16;
    recipTable1[0] = big;
    for (int32_t i = 1; i < kTable1Entries; ++i) recipTable1[i] = big / uint32_t(i);
    for (int32_t k = 0; k < kTable2Entries; ++k) recipTable2[k] = uint16_t(big / uint32_t(8192 + 4 * k));
    for (int32_t k = 0; k < kTable3Entries; ++k) recipTable3[k] = uint16_t(big / uint32_t(16384 + 16 * k));
    for (int32_t k = 0; k < kTable4Entries; ++k) recipTable4[k] = uint16_t(big / uint32_t(32768 + 256 * k));
}

void Observer::SetViewportCorners(int32_t w, int32_t h)
{
    if (!corners || corners->ArraySetCount(4) != kResultOk) return;
    DevicePoint* points = corners->Elements<DevicePoint>();
    points[0] = {-w, -h};
    points[1] = {w, -h};
    points[2] = {w, h};
    points[3] = {-w, h};
}

void Observer::BuildViewPyramid()
{
    if (zoomNum <= 0 || zoomDen <= 0 || width <= 0 || height <= 0 || scale < 1) return;
    SideShifts(scale, width, &xShiftDepth, &xShiftSide);
    SideShifts(scale, height, &zShiftDepth, &zShiftSide);
    xPlaneLength = PlaneLength(xShiftDepth, xShiftSide);
    zPlaneLength = PlaneLength(zShiftDepth, zShiftSide);
    const uint32_t q = uint32_t((int32_t(scale) + 0x7CFF) / scale);
    guardShiftDepth = int16_t(BitLength(q - 1) + 8 < 14 ? BitLength(q - 1) + 8 : 14);
    guardShiftSide = 8;
    guardPlaneLength = PlaneLength(guardShiftSide, guardShiftDepth);
    xEdge = int32_t((int64_t(scale) << xShiftDepth) / (int64_t(1) << xShiftSide));
    zEdge = int32_t((int64_t(scale) << zShiftDepth) / (int64_t(1) << zShiftSide));
}

void Observer::SetViewportSize(int32_t w, int32_t h)
{
    const bool changed = w != width || h != height;
    width = w;
    height = h;
    SetViewportCorners(w, h);
    BuildReciprocalTables();
    BuildViewPyramid();
    if (changed) BumpSerial();
}

void Observer::SetViewZoom(int16_t numerator, int16_t denominator)
{
    if (numerator <= 0 || denominator <= 0) return;
    const bool changed = numerator != zoomNum || denominator != zoomDen;
    zoomNum = numerator;
    zoomDen = denominator;
    BuildReciprocalTables();
    BuildViewPyramid();
    if (changed) BumpSerial();
}
