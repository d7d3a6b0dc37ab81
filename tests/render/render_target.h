// Test support: a screen of a depth with its shade tables and the shared render offscreen locked
// as the published target, as the navigation pane has it during a frame, with its pixels read
// back whatever the depth, and the device rectangle a face projects to.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "draw/pen_state.h"
#include "draw/port_base.h"
#include "model/object_geometry.h"
#include "model/polygon_record.h"
#include "raster/raster_sets.h"
#include "render/device_points.h"
#include "render/face_front_end.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "tests/draw/draw_support.h"
#include "textures/shade_level_builder.h"

namespace rendertest {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr uint8_t kCanary = 0x5A;
constexpr RGBColor48 kWhite = {0xFFFF, 0xFFFF, 0xFFFF};
constexpr RGBColor48 kRed = {0xFFFF, 0, 0};
constexpr RGBColor48 kBlue = {0, 0, 0xFFFF};
constexpr uint32_t kFillOnly = 0x10;

// A screen of the depth and its offscreen, published and locked for one test.
class RenderTarget {
public:
    RenderTarget(int32_t depth, int32_t width = kWidth, int32_t height = kHeight) : screen_(depth)
    {
        InitPenState();
        InstallRendererRegionWork();
        InstallRasterSets();
        IgnoreResult(PolyRgnStartup());
        IgnoreResult(InitProjectionArrays());
        IgnoreResult(InitRasterBuffers());
        BuildShadeLevelTables();
        offscreen = MakeOffscreen(width, height, depth, &kWhite).release();
        IgnoreResult(offscreen->Activate());
        SetDirectPixelDrawing(1);
        SetViewOrigin(width / 2, height / 2);
    }
    ~RenderTarget()
    {
        IgnoreResult(offscreen->Deactivate());
        offscreen->DisposeOffscreen();
        FreeShadeLevelTables();
        FreeRasterBuffers();
        FreeProjectionArrays();
        PolyRgnShutdown();
        FreePenState();
        SetDirectPixelDrawing(0);
    }

    // Makes the offscreen the published target and current port again (pictures locked since
    // took them over).
    void Republish()
    {
        offscreen->Unlock();
        IgnoreResult(offscreen->Lock());
    }

    // The pixel value at (x, y) whatever the depth.
    uint32_t Pixel(int32_t x, int32_t y) const
    {
        GdiFlush();
        const PixelFormat& f = offscreen->Format();
        const uint8_t* row = f.rowTable[y];
        switch (f.bitsPerPixel) {
        case 4: return (x & 1) ? row[x >> 1] & 0xF : row[x >> 1] >> 4;
        case 8: return row[x];
        case 16: return uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
        case 24: return uint32_t(row[3 * x]) | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
        default: return reinterpret_cast<const uint32_t*>(row)[x];
        }
    }

    // Every byte of the pixels inside the bounds, row by row.
    std::vector<uint8_t> Image() const
    {
        GdiFlush();
        const PixelFormat& f = offscreen->Format();
        PortRect bounds;
        offscreen->GetBounds(&bounds);
        const int32_t used = (bounds.right * f.bitsPerPixel + 7) / 8;
        std::vector<uint8_t> bytes;
        for (int32_t y = 0; y < bounds.bottom; ++y) bytes.insert(bytes.end(), f.rowTable[y], f.rowTable[y] + used);
        return bytes;
    }

    void Clear()
    {
        PortRect bounds;
        offscreen->GetBounds(&bounds);
        RECT r = {bounds.left, bounds.top, bounds.right, bounds.bottom};
        FillRect(offscreen->PortDC(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        GdiFlush();
    }

    // The bytes of each row past the bounds hold the canary; PaddingIntact checks them.
    void FillPadding()
    {
        GdiFlush();
        const PixelFormat& f = offscreen->Format();
        const int32_t used = (kWidth * f.bitsPerPixel + 7) / 8;
        for (int32_t y = 0; y < f.height; ++y) std::memset(f.rowTable[y] + used, kCanary, size_t(f.rowBytes - used));
    }
    bool PaddingIntact() const
    {
        GdiFlush();
        const PixelFormat& f = offscreen->Format();
        const int32_t used = (kWidth * f.bitsPerPixel + 7) / 8;
        for (int32_t y = 0; y < f.height; ++y)
            for (int32_t b = used; b < f.rowBytes; ++b)
                if (f.rowTable[y][b] != kCanary) return false;
        return true;
    }

    Q_Offscreen* offscreen = nullptr;

private:
    TestScreen screen_;
};

// The device rectangle of a face's projected corners.
struct DeviceBox {
    int32_t left, top, right, bottom;
};

inline DeviceBox ProjectedBox(const PolygonRecord* face)
{
    const ObjectGeometry* g = face->Geometry;
    DeviceBox box = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t i = 0; i < face->VertexCount(); ++i) {
        const ScreenPoint* p = g->ScreenPoints->At<ScreenPoint>(face->IndexAt(i));
        const int32_t x = p->x + kWidth / 2;
        const int32_t y = kHeight / 2 - p->y;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    }
    return box;
}

}  // namespace rendertest
