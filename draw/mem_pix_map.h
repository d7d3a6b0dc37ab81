// MemPixMap: a port whose pixels are plain memory, one byte per pixel, each an index into the
// colour cube. It has no device context: it is filled and read pixel by pixel through the
// offscreen operations, and copies to and from other ports go through the averaging copy.
// Decoded textures are kept in pixel maps, independent of the screen's format.
#pragma once

#include <cstdint>

#include "draw/q_offscreen.h"

class MemPixMap : public Q_Offscreen {
public:
    MemPixMap() = default;
    // Frees the pixel block (the base releases the row table).
    ~MemPixMap() override;

    // --- PortBase operations ---
    // The depth field (8), whatever the screen's depth.
    int32_t Depth() override { return depth_; }
    // A pixel map has no DC.
    HDC GetDrawingDC(PortRect* /*rect*/) override { return nullptr; }
    void ReleaseDrawingDC(HDC /*dc*/) override {}
    ResultCode Lock() override
    {
        AddLock();
        return kResultOk;
    }
    void Unlock() override { RemoveLock(); }

    // --- offscreen operations ---
    int32_t GetRowStride() override { return format_.rowBytes; }
    // The cube colour of the pixel; outside the bounds, cube entry 0 (white).
    void GetPixelColor(RGBColor48* colour, int32_t x, int32_t y) override;
    // Stores the cube index of the colour; nothing outside the bounds.
    void SetPixelColor(int32_t x, int32_t y, const RGBColor48& colour) override;
    uint8_t** GetRowTable() override { return format_.rowTable; }
    uint8_t* GetPixelBits() override { return format_.pixelBits; }
    // Writing: the cube's colours as the table of `depth` bits; reading appends the stream's.
    ResultCode TransferColorTable(MemoryStream* stream, DynamicArray* table, int32_t depth) override;
    // MemPixMapInit at 8 bits whatever depth is given.
    ResultCode InitNoFill(const PortRect& rect, int32_t depth, DynamicArray* table) override;
    // Writing: whole rows from the row table. Reading: rows of 1, 4 or 8 bits through the
    // table's cube indices, rows of 16, 24 or 32 bits (blue, green, red) by their colours.
    ResultCode TransferPixelRows(MemoryStream* stream, DynamicArray* table, int32_t totalBytes, int32_t rowBytes,
                                 int32_t firstRow, int32_t rows, int32_t flag, int32_t depth) override;
    void AddLock() override { ++lockCount_; }
    // An unlock without a lock leaves the count at 0.
    void RemoveLock() override
    {
        if (lockCount_ > 0) --lockCount_;
    }

    // --- set-up and disposal ---
    // Pixels for the rectangle, all 0 (white): rows of the width rounded up to 4 bytes (at least
    // 1 pixel and 1 row). May be called again: the old pixels are freed first. 0, or -1 when
    // the pixels cannot be had (the pixel map then has no rows).
    ResultCode MemPixMapInit(const PortRect& rect, int32_t depth);
    // MemPixMapInit of the source's bounds at 8 bits, then every pixel matched from the
    // source's colour; the initialisation's result.
    ResultCode MemPixMapInit8(Q_Offscreen* source);
    void DisposePixMap() { delete this; }
    void Destroy() { DisposePixMap(); }

private:
    // The pixel block: zeroed, fixed global memory (null when refused), and its release.
    static void* NewPixelBlock(size_t bytes);
    static void DisposePixelBlock(void* block);
    void FreePixels();
    bool Inside(int32_t x, int32_t y) const
    {
        return x >= 0 && y >= 0 && x < bounds_.right && y < bounds_.bottom;
    }

    void* block_ = nullptr;
};
