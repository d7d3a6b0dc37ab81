// Test helpers: a picture reader whose pixel access keeps the decoded rows in memory as
// 0xRRGGBB values, so that the decoders run (and are checked) without any offscreen.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "textures/image_reader.h"

// The colour of pixel x of a bottom-up device-independent bitmap row as 0xRRGGBB.
inline uint32_t DibPixel(const uint8_t* row, int32_t x, const DibHeaderBlock& header)
{
    auto entry = [&](uint32_t i) {
        return uint32_t(header.colors[i][2]) << 16 | uint32_t(header.colors[i][1]) << 8 | header.colors[i][0];
    };
    switch (header.bitCount) {
    case 1: return entry((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return entry(x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
    case 8: return entry(row[x]);
    case 16: {
        const uint32_t v = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
        auto scale = [](uint32_t five) { return (five << 3) | (five >> 2); };
        return scale((v >> 10) & 31) << 16 | scale((v >> 5) & 31) << 8 | scale(v & 31);
    }
    case 24: return uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
    case 32: return uint32_t(row[4 * x + 2]) << 16 | uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
    default: return 0xDEADBEEF;
    }
}

template <class Reader>
class MemoryImageReader : public Reader {
public:
    using Reader::Reader;

    ResultCode MakeOffscreen(const PortRect& rect, int32_t depth) override
    {
        if (failMake) return kResultFailed;
        rect_ = rect;
        madeDepth = depth;
        made = true;
        pixels.assign(size_t(rect.Width()) * size_t(rect.Height()), 0xFF00FF);
        return kResultOk;
    }
    void DisposeOffscreen() override
    {
        disposed = true;
        made = false;
        pixels.clear();
    }
    ResultCode BeginPixelAccess() override
    {
        ++begun;
        return failAccess ? kResultFailed : kResultOk;
    }
    void EndPixelAccess() override { ++ended; }
    ResultCode PutRows(int32_t firstLine, int32_t count, const uint8_t* bits, const DibHeaderBlock& header) override
    {
        ++puts;
        const int32_t stride = ((header.width * header.bitCount + 31) & ~31) / 8;
        for (int32_t i = 0; i < count; i++) {
            const int32_t line = firstLine + i;
            if (line < 0 || line >= rect_.Height()) return kResultFailed;
            const int32_t y = rect_.Height() - 1 - line;  // scan line 0 is the bottom row
            for (int32_t x = 0; x < rect_.Width(); x++)
                pixels[size_t(y) * size_t(rect_.Width()) + size_t(x)] = DibPixel(bits + i * stride, x, header);
        }
        lastHeader = header;
        return kResultOk;
    }
    int32_t Width() override { return rect_.Width(); }
    int32_t Height() override { return rect_.Height(); }

    uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(rect_.Width()) + size_t(x)]; }

    PortRect rect_ = {0, 0, 0, 0};
    std::vector<uint32_t> pixels;
    DibHeaderBlock lastHeader{};
    int32_t madeDepth = 0;
    bool made = false;
    bool disposed = false;
    bool failMake = false;
    bool failAccess = false;
    int32_t begun = 0;
    int32_t ended = 0;
    int32_t puts = 0;
};
