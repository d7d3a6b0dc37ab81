// Test support: pixel buffers in every rasterizer format over plain memory, with guard bytes
// around them, their pixel formats, pixel reads, coverage maps, a checker texture, shade level
// tables filled with known values, and a small deterministic generator.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "raster/format_direct.h"
#include "raster/format_indexed.h"
#include "raster/format_planar.h"
#include "raster/raster_target.h"
#include "draw/color_cube.h"
#include "draw/raster_globals.h"
#include "textures/shade_level_builder.h"

namespace rastertest {

constexpr uint8_t kGuardByte = 0xA5;
constexpr int32_t kGuardBytes = 256;
constexpr int32_t kBufferAlignment = 64;

// Bits per pixel, planes and a name for messages, per pixel format.
template <int32_t Bits, int32_t Planes = 1>
struct FormatShape {
    static constexpr int32_t kBits = Bits, kPlanes = Planes;
};
template <class F>
struct FormatInfo;
template <>
struct FormatInfo<raster::Packed4> : FormatShape<4> { static constexpr const char* kName = "4-bit"; };
template <>
struct FormatInfo<raster::Planar4> : FormatShape<1, 4> { static constexpr const char* kName = "4-plane"; };
template <>
struct FormatInfo<raster::Indexed8> : FormatShape<8> { static constexpr const char* kName = "8-bit"; };
template <>
struct FormatInfo<raster::Direct16> : FormatShape<16> { static constexpr const char* kName = "16-bit"; };
template <>
struct FormatInfo<raster::Direct24> : FormatShape<24> { static constexpr const char* kName = "24-bit"; };
template <>
struct FormatInfo<raster::Direct32> : FormatShape<32> { static constexpr const char* kName = "32-bit"; };

// A small deterministic generator.
struct Random {
    uint32_t state;
    uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int32_t Below(int32_t n) { return int32_t(Next() % uint32_t(n)); }
};

// A width x height pixel buffer of format F, rows 32-bit aligned, the whole buffer on a 64-byte
// boundary and surrounded by guard bytes. The destination rectangle defaults to the buffer.
template <class F>
class Surface {
public:
    static constexpr int32_t kBits = FormatInfo<F>::kBits;
    static constexpr int32_t kPlanes = FormatInfo<F>::kPlanes;

    Surface(int32_t width, int32_t height, uint8_t fill = 0) : width_(width), height_(height)
    {
        rowBytes_ = ((width * kBits + 31) / 32) * 4;
        const size_t bytes = size_t(rowBytes_) * kPlanes * height;
        storage_.assign(bytes + 2 * kGuardBytes + kBufferAlignment, kGuardByte);
        uintptr_t start = reinterpret_cast<uintptr_t>(storage_.data()) + kGuardBytes;
        start = (start + kBufferAlignment - 1) & ~uintptr_t(kBufferAlignment - 1);
        base_ = reinterpret_cast<uint8_t*>(start);
        std::memset(base_, fill, bytes);
        for (int32_t y = 0; y < height; ++y) rows_.push_back(base_ + size_t(y) * rowBytes_ * kPlanes);
        target_ = {rows_.data(), width, height, rowBytes_, 0, 0, {0, 0, width, height}};
    }

    RasterTarget& Target() { return target_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    uint8_t* Base() { return base_; }
    size_t Bytes() const { return size_t(rowBytes_) * kPlanes * height_; }

    // Every byte outside the pixel buffer still holds the guard value.
    bool GuardsIntact() const
    {
        const uint8_t* begin = storage_.data();
        const uint8_t* end = begin + storage_.size();
        for (const uint8_t* p = begin; p < base_; ++p)
            if (*p != kGuardByte) return false;
        for (const uint8_t* p = base_ + Bytes(); p < end; ++p)
            if (*p != kGuardByte) return false;
        return true;
    }

    // The pixel value at (x, y): a colour index, or the colour word (three bytes at 24 bits).
    uint32_t Pixel(int32_t x, int32_t y) const
    {
        const uint8_t* row = rows_[y];
        switch (kBits) {
        case 1: {
            uint32_t c = 0;
            for (int32_t k = 0; k < kPlanes; ++k) c |= ((row[k * rowBytes_ + (x >> 3)] >> (7 - (x & 7))) & 1u) << k;
            return c;
        }
        case 4:
            return (x & 1) ? row[x >> 1] & 0xF : row[x >> 1] >> 4;
        case 8:
            return row[x];
        case 16:
            return uint32_t(row[2 * x]) | (uint32_t(row[2 * x + 1]) << 8);
        case 24:
            return uint32_t(row[3 * x]) | (uint32_t(row[3 * x + 1]) << 8) | (uint32_t(row[3 * x + 2]) << 16);
        default:
            return uint32_t(row[4 * x]) | (uint32_t(row[4 * x + 1]) << 8) | (uint32_t(row[4 * x + 2]) << 16) |
                   (uint32_t(row[4 * x + 3]) << 24);
        }
    }

    // One character per pixel: '#' where the pixel differs from `background`, '.' elsewhere.
    std::string Coverage(uint32_t background = 0) const
    {
        std::string map;
        for (int32_t y = 0; y < height_; ++y) {
            for (int32_t x = 0; x < width_; ++x) map += Pixel(x, y) != background ? '#' : '.';
            map += '\n';
        }
        return map;
    }

private:
    int32_t width_;
    int32_t height_;
    int32_t rowBytes_;
    std::vector<uint8_t> storage_;
    uint8_t* base_ = nullptr;
    std::vector<uint8_t*> rows_;
    RasterTarget target_{};
};

// The pixel format a texture setup reads for a surface.
template <class F>
PixelFormat FormatOf(Surface<F>& s)
{
    PixelFormat f;
    f.rowTable = const_cast<uint8_t**>(s.Target().rows);
    f.width = s.Width();
    f.height = s.Height();
    f.rowBytes = s.Target().rowBytes;
    f.planes = FormatInfo<F>::kPlanes;
    f.bitsPerPixel = FormatInfo<F>::kBits;
    return f;
}

// A texture of w x h cube indices: 4 x 4 cells in a checker of two ranges, each texel of a cell
// distinct, so that a shift by one texel anywhere shows.
struct CheckerTexture {
    CheckerTexture(int32_t w, int32_t h) : width(w), height(h), texels(size_t(w) * h)
    {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) texels[size_t(y) * w + x] = Texel(x, y);
            rows.push_back(texels.data() + size_t(y) * w);
        }
    }
    static uint8_t Texel(int32_t x, int32_t y) { return uint8_t(1 + ((x / 4 + y / 4) % 2) * 100 + x % 4 + 4 * (y % 4) + (x / 8) % 3); }
    int32_t width;
    int32_t height;
    std::vector<uint8_t> texels;
    std::vector<uint8_t*> rows;
};

// Shade level tables with recognisable values: byte table j of group g at level L and cube index
// i holds a pick made from (L, j, i); the 4-bit group replicates a nibble across its byte, the
// 1- and 2-bit groups are left empty as on a screen of another depth.
class FakeShadeTables {
public:
    FakeShadeTables(const FakeShadeTables&) = delete;
    FakeShadeTables& operator=(const FakeShadeTables&) = delete;
    FakeShadeTables()
    {
        storage_.resize(kShadeLevelCount);
        for (int32_t level = 0; level < kShadeLevelCount; ++level) {
            Level& s = storage_[level];
            ShadeLevelEntry& e = entries_[level];
            std::memset(&e, 0, sizeof e);
            for (int32_t j = 0; j < 4; ++j) {
                for (int32_t i = 0; i < kColorCubeSize; ++i) {
                    s.bytes8[j][i] = Pick8(level, j, i);
                    const uint8_t nibble = Pick4(level, j, i);
                    s.bytes4[j][i] = uint8_t(nibble << 4 | nibble);
                }
                e.ByteTables[kByteTables8Bit + j] = s.bytes8[j];
                e.ByteTables[kByteTables4Bit + j] = s.bytes4[j];
            }
            for (int32_t i = 0; i < kColorCubeSize; ++i) {
                s.pixels16[i] = Pixel16(level, i);
                s.pixels24[i] = Pixel24(level, i);
                s.pixels32[i] = Pixel32(level, i);
                s.planarA[i] = PlanarA(level, i);
                s.planarB[i] = PlanarB(level, i);
            }
            e.Pixels16 = s.pixels16;
            e.Pixels24 = s.pixels24;
            e.Pixels32 = s.pixels32;
            e.PlanarPatternA = s.planarA;
            e.PlanarPatternB = s.planarB;
        }
    }

    const ShadeLevelEntry* Levels() const { return entries_; }

    static uint8_t Pick8(int32_t level, int32_t table, int32_t index)
    {
        return uint8_t(1 + ((level * 4 + table + index * 7) % 250));
    }
    static uint8_t Pick4(int32_t level, int32_t table, int32_t index)
    {
        return uint8_t(1 + ((level + table * 5 + index) % 15));
    }
    static uint16_t Pixel16(int32_t level, int32_t index) { return uint16_t(0x8000 | (level << 8) | index); }
    static uint32_t Pixel24(int32_t level, int32_t index) { return 0xEE000000u | uint32_t(level << 16) | uint32_t(index) | 0x800000u; }
    static uint32_t Pixel32(int32_t level, int32_t index) { return 0x01000000u | uint32_t(level << 16) | uint32_t(index); }
    // Four plane bytes, plane 0 highest, each a pattern over the eight pixel positions of a byte.
    static uint32_t PlanarA(int32_t level, int32_t index) { return 0x9A5C3E71u ^ uint32_t(level << 8) ^ (uint32_t(index) * 0x01030507u); }
    static uint32_t PlanarB(int32_t level, int32_t index) { return 0x3C71A5E2u ^ uint32_t(level << 16) ^ (uint32_t(index) * 0x07050301u); }

private:
    struct Level {
        uint8_t bytes8[4][kColorCubeSize];
        uint8_t bytes4[4][kColorCubeSize];
        uint16_t pixels16[kColorCubeSize];
        uint32_t pixels24[kColorCubeSize];
        uint32_t pixels32[kColorCubeSize];
        uint32_t planarA[kColorCubeSize];
        uint32_t planarB[kColorCubeSize];
    };
    std::vector<Level> storage_;
    ShadeLevelEntry entries_[kShadeLevelCount];
};

}  // namespace rastertest
