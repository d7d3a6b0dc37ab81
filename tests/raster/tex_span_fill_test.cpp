// The textured span fillers: every one of the 96 table entries (and the packed column at each
// of its depth modes) against a plain pixel-by-pixel reference on random spans, over random
// destination bytes that stand as canaries around every span; and the worked cases of the wrap
// rules, the half-byte span and the 8-bit dither parity.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "raster/tex_span_fillers.h"

namespace {

struct Random {
    uint32_t state;
    uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    int32_t Below(int32_t n) { return int32_t((Next() >> 8) % uint32_t(n)); }
};

// A texture of random texels, some of them 0, with its row table.
struct Texture {
    Texture(int32_t w, int32_t h, Random& random) : width(w), height(h), texels(size_t(w) * h)
    {
        for (uint8_t& t : texels) t = random.Below(5) == 0 ? 0 : uint8_t(random.Below(216));
        for (int32_t y = 0; y < h; ++y) rows.push_back(texels.data() + size_t(y) * w);
    }
    int32_t width;
    int32_t height;
    std::vector<uint8_t> texels;
    std::vector<uint8_t*> rows;
};

// Random translation tables of every entry size.
struct Tables {
    explicit Tables(Random& random)
    {
        for (int32_t i = 0; i < 216; ++i) {
            bytesA[i] = uint8_t(random.Next() >> 24);
            bytesB[i] = uint8_t(random.Next() >> 24);
            words16[i] = uint16_t(random.Next() >> 16);
            words[i] = random.Next();
        }
    }
    uint8_t bytesA[216];
    uint8_t bytesB[216];
    uint16_t words16[216];
    uint32_t words[216];
};

// The texel index along an axis of n texels for coordinate c (in 64 bits, never wrapped).
int32_t ReferenceTexel(int64_t c, int32_t n, bool mirror)
{
    int64_t t = c >> 16;
    const int64_t period = mirror ? 2 * n : n;
    t %= period;
    if (t < 0) t += period;
    return int32_t(mirror && t >= n ? 2 * n - 1 - t : t);
}

// The reference: pixel by pixel into a copy of the destination.
// The 8-bit column's table follows the parity of `parityBase` + i, the filler's own addresses.
void ReferenceFill(int32_t row, int32_t column, int32_t depthMode, const TexSpanRecord& s, const Texture& texture,
                   uint8_t* destination, uintptr_t parityBase, int32_t planeStride, int32_t phase)
{
    const bool mirrorV = row & kTexRowMirrorV;
    const bool mirrorU = row & kTexRowMirrorU;
    const bool transparent = row & kTexRowTransparent;
    const bool stepsFirst = TexColumnStepsFirst(column);
    int64_t u = s.u;
    int64_t v = s.v;
    for (int32_t i = 0; i < s.count; ++i) {
        if (stepsFirst) {
            u += s.du;
            v += s.dv;
        }
        const uint8_t texel = texture.rows[ReferenceTexel(v, texture.height, mirrorV)][ReferenceTexel(u, texture.width, mirrorU)];
        if (!stepsFirst) {
            u += s.du;
            v += s.dv;
        }
        if (transparent && texel == 0) continue;
        const auto* bytesA = static_cast<const uint8_t*>(s.tableA);
        const auto* bytesB = static_cast<const uint8_t*>(s.tableB);
        switch (column) {
        case kTexColumnPacked: {
            const int32_t bits = depthMode == kTexDepth1Bit ? 1 : depthMode == kTexDepth2Bit ? 2 : 4;
            const int32_t perByte = 8 / bits;
            const int32_t pixel = phase + i;
            const int32_t k = pixel % perByte;
            const int32_t shift = 8 - bits * (k + 1);
            const uint8_t mask = uint8_t(((1 << bits) - 1) << shift);
            const uint8_t value = (k & 1 ? bytesB : bytesA)[texel];
            uint8_t& b = destination[pixel / perByte];
            b = uint8_t((b & ~mask) | (value & mask));
            break;
        }
        case kTexColumn8:
            destination[i] = ((parityBase + i) & 1 ? bytesB : bytesA)[texel];
            break;
        case kTexColumn16: {
            const uint16_t p = static_cast<const uint16_t*>(s.tableA)[texel];
            std::memcpy(destination + 2 * i, &p, 2);
            break;
        }
        case kTexColumn24: {
            const uint32_t p = static_cast<const uint32_t*>(s.tableA)[texel];
            for (int32_t b = 0; b < 3; ++b) destination[3 * i + b] = uint8_t(p >> (8 * b));
            break;
        }
        case kTexColumn32: {
            const uint32_t p = static_cast<const uint32_t*>(s.tableA)[texel];
            std::memcpy(destination + 4 * i, &p, 4);
            break;
        }
        default: {
            const int32_t pixel = phase + i;
            const uint32_t entry = static_cast<const uint32_t*>(s.tableA)[texel];
            const uint8_t bit = uint8_t(0x80 >> (pixel & 7));
            for (int32_t plane = 0; plane < 4; ++plane) {
                uint8_t& b = destination[plane * planeStride + pixel / 8];
                const uint8_t pattern = uint8_t(entry >> (24 - 8 * plane));
                b = uint8_t((b & ~bit) | (pattern & bit));
            }
            break;
        }
        }
    }
}

constexpr int32_t kCanaryBytes = 64;
constexpr int32_t kPlaneStride = 160;

// One random span through table entry (row, column) and through the reference; the whole buffer,
// canaries included, must agree.
void CheckRandomSpan(int32_t row, int32_t column, int32_t depthMode, Random& random)
{
    const bool masked = row & kTexRowPowerOfTwo;
    const int32_t w = masked ? 1 << random.Below(6) : 1 + random.Below(37);
    const int32_t h = masked ? 1 << random.Below(6) : 1 + random.Below(37);
    Texture texture(w, h, random);
    Tables tables(random);
    const int32_t count = 1 + random.Below(column == kTexColumnPlanar || column == kTexColumnPacked ? 120 : 60);
    std::vector<uint8_t> buffer(size_t(4 * kPlaneStride + 2 * kCanaryBytes));
    for (uint8_t& b : buffer) b = uint8_t(random.Next() >> 24);
    std::vector<uint8_t> expected = buffer;
    // Odd and even start addresses for the 8-bit dither parity.
    const int32_t offset = kCanaryBytes + random.Below(4);
    TexSpanRecord s{};
    s.count = count;
    // Coordinates over most of the 16-bit integer range, steps up to several texels either way.
    s.u = Fixed(random.Next()) >> (random.Below(2) ? 5 : 1);
    s.v = Fixed(random.Next()) >> (random.Below(2) ? 5 : 1);
    s.du = Fixed(int32_t(random.Next()) >> (10 + random.Below(8)));
    s.dv = Fixed(int32_t(random.Next()) >> (10 + random.Below(8)));
    if (random.Below(4) == 0) s.dv = 0;
    s.width = w;
    s.widthMask = w - 1;
    s.height = h;
    s.heightMask = h - 1;
    s.rows = texture.rows.data();
    s.planeStride = kPlaneStride;
    int32_t phase = 0;
    switch (column) {
    case kTexColumnPacked:
        s.tableA = tables.bytesA;
        s.tableB = tables.bytesB;
        phase = random.Below(depthMode == kTexDepth1Bit ? 8 : depthMode == kTexDepth2Bit ? 4 : 2);
        break;
    case kTexColumn8:
        s.tableA = tables.bytesA;
        s.tableB = tables.bytesB;
        break;
    case kTexColumn16:
        s.tableA = s.tableB = tables.words16;
        break;
    case kTexColumnPlanar:
        phase = random.Below(8);
        s.tableA = s.tableB = tables.words;
        break;
    default:
        s.tableA = s.tableB = tables.words;
        break;
    }
    s.destination = buffer.data() + offset;
    s.planes = s.destination;
    TexDepthMode = depthMode;
    TexBitPhase = phase;
    TexSpanTable[row * kTexColumns + column](&s);
    ReferenceFill(row, column, depthMode, s, texture, expected.data() + offset,
                  reinterpret_cast<uintptr_t>(s.destination), kPlaneStride, phase);
    ASSERT_EQ(buffer, expected) << "row " << row << " column " << column << " depth mode " << depthMode << " count "
                                << count << " phase " << phase << " texture " << w << "x" << h;
}

}  // namespace

TEST(TexSpanTable, EveryFillerMatchesTheReferenceOnRandomSpans)
{
    Random random{12345};
    for (int32_t row = 0; row < kTexRows; ++row) {
        for (int32_t column = 0; column < kTexColumns; ++column) {
            const std::vector<int32_t> modes = column == kTexColumnPacked
                                                   ? std::vector<int32_t>{kTexDepth1Bit, kTexDepth2Bit, kTexDepth4Bit}
                                                   : std::vector<int32_t>{column == kTexColumnPlanar ? kTexDepthPlanar : kTexDepth8Bit};
            for (int32_t mode : modes)
                for (int32_t trial = 0; trial < 60; ++trial) {
                    CheckRandomSpan(row, column, mode, random);
                    if (HasFatalFailure()) return;
                }
        }
    }
}

namespace {

// One 32-bit pixel from a one-row texture of n texels whose texel k is k + 1.
uint32_t SampleColumn(int32_t row, int32_t n, Fixed u)
{
    std::vector<uint8_t> texels(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) texels[size_t(k)] = uint8_t(k + 1);
    uint8_t* rows[1] = {texels.data()};
    uint32_t identity[216];
    for (uint32_t i = 0; i < 216; ++i) identity[i] = i;
    uint32_t pixel = 0xDEADBEEF;
    TexSpanRecord s{};
    s.count = 1;
    s.u = u;
    s.width = n;
    s.widthMask = n - 1;
    s.height = 1;
    s.heightMask = 0;
    s.rows = rows;
    s.tableA = s.tableB = identity;
    s.destination = reinterpret_cast<uint8_t*>(&pixel);
    TexSpanTable[row * kTexColumns + kTexColumn32](&s);
    return pixel - 1;
}

}  // namespace

TEST(TexSpanFillers, HalfATexelLeftRepeatsFromTheRightAndMirrorsBack)
{
    // u = -0.5 on a 5-texel texture: column 4 repeating; mirrored, t = 9 reads 2 x 5 - 1 - 9 = 0.
    EXPECT_EQ(SampleColumn(0, 5, Fixed(0xFFFF8000)), 4u);
    EXPECT_EQ(SampleColumn(kTexRowMirrorU, 5, Fixed(0xFFFF8000)), 0u);
    // Masked (8 texels): -0.5 is column 7, mirrored column 0; 9.0 mirrored reads 15 - 9 = 6.
    EXPECT_EQ(SampleColumn(kTexRowPowerOfTwo, 8, Fixed(0xFFFF8000)), 7u);
    EXPECT_EQ(SampleColumn(kTexRowPowerOfTwo | kTexRowMirrorU, 8, Fixed(0xFFFF8000)), 0u);
    EXPECT_EQ(SampleColumn(kTexRowPowerOfTwo | kTexRowMirrorU, 8, IntToFixed(9)), 6u);
    // Far outside: the running value is brought back by whole periods.
    EXPECT_EQ(SampleColumn(0, 5, IntToFixed(-30002)), 3u);
    EXPECT_EQ(SampleColumn(kTexRowMirrorU, 5, IntToFixed(32007)), 2u);  // t = 7 reads 9 - 7
}

TEST(TexSpanFillers, APackedSpanOfOnePixelAtPhaseOneChangesOnlyTheLowNibble)
{
    uint8_t texels[1] = {7};
    uint8_t* rows[1] = {texels};
    uint8_t tableA[216] = {};
    uint8_t tableB[216] = {};
    tableA[7] = 0xAA;
    tableB[7] = 0x55;
    uint8_t bytes[3] = {0x11, 0x23, 0x11};
    TexSpanRecord s{};
    s.count = 1;
    s.width = s.height = 1;
    s.rows = rows;
    s.tableA = tableA;
    s.tableB = tableB;
    s.destination = bytes + 1;
    TexDepthMode = kTexDepth4Bit;
    TexBitPhase = 1;
    TexSpanTable[kTexRowPowerOfTwo * kTexColumns + kTexColumnPacked](&s);
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[1], 0x25);  // position 1 is odd: table B
    EXPECT_EQ(bytes[2], 0x11);
}

TEST(TexSpanFillers, EightBitTablesFollowTheAddressParity)
{
    uint8_t texels[1] = {3};
    uint8_t* rows[1] = {texels};
    uint8_t even[216] = {};
    uint8_t odd[216] = {};
    even[3] = 0xE0;
    odd[3] = 0x0D;
    alignas(4) uint8_t line[16] = {};
    TexSpanRecord s{};
    s.count = 3;
    s.width = s.height = 1;
    s.rows = rows;
    s.tableA = even;
    s.tableB = odd;
    for (int32_t x : {10, 11}) {
        s.destination = line + x;
        TexSpanTable[kTexColumn8](&s);
    }
    EXPECT_EQ(line[10], 0xE0);
    EXPECT_EQ(line[11], 0x0D);  // the second span starts odd
    EXPECT_EQ(line[12], 0xE0);
    EXPECT_EQ(line[13], 0x0D);
    EXPECT_EQ(line[14], 0);
}

TEST(TexSpanFillers, TwentyFourBitSpansWriteThreeBytesAPixelAndTransparentTexelsNone)
{
    uint8_t texels[4] = {1, 0, 2, 0};
    uint8_t* rows[1] = {texels};
    uint32_t pixels[216] = {};
    pixels[1] = 0xFF112233;
    pixels[2] = 0xFF445566;
    std::vector<uint8_t> line(20, 0xCC);
    TexSpanRecord s{};
    s.count = 4;
    s.du = kFixedOne;
    s.width = 4;
    s.widthMask = 3;
    s.height = 1;
    s.rows = rows;
    s.tableA = s.tableB = pixels;
    s.destination = line.data() + 1;
    TexSpanTable[(kTexRowPowerOfTwo | kTexRowTransparent) * kTexColumns + kTexColumn24](&s);
    EXPECT_EQ(line, (std::vector<uint8_t>{0xCC, 0x33, 0x22, 0x11, 0xCC, 0xCC, 0xCC, 0x66, 0x55, 0x44, 0xCC, 0xCC,
                                          0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}));
    std::fill(line.begin(), line.end(), 0xCC);
    TexSpanTable[kTexRowPowerOfTwo * kTexColumns + kTexColumn24](&s);
    EXPECT_EQ(line[12], 0x00);  // texel 0 drawn in an opaque row
    EXPECT_EQ(line[13], 0xCC);  // exactly 3 x 4 bytes
}
