// raster-bench: times the rasterizers on a 1024 x 768 pixel buffer in memory: flat and shaded
// polygons, plain and clipped to a convex clip shape, and polygon frames (lines), small, medium
// and large squares and slivers two pixels wide and 600 rows tall (whose cost lies in their
// rows), in every pixel format; textured polygons of the same sizes in every pixel format; then
// the span writers and the textured span fillers against plain hand-written loops that write the
// same pixels. Prints one line per case: polygons per second and millions of covered (for frames,
// line) pixels per second.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "draw/color_cube.h"
#include "raster/format_direct.h"
#include "raster/format_indexed.h"
#include "raster/format_planar.h"
#include "raster/raster_polygon.h"
#include "raster/span_region.h"
#include "raster/textured_fill.h"
#include "textures/shade_level_builder.h"

using namespace raster;

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kHeight = 768;
constexpr double kSecondsPerCase = 0.15;

using Clock = std::chrono::steady_clock;

template <class F>
struct Planes {
    static constexpr int32_t kCount = 1, kBits = F::kBitsPerPixel;
};
template <>
struct Planes<Planar4> {
    static constexpr int32_t kCount = 4, kBits = 1;
};

// A pixel buffer of format F, 64-byte aligned, rows listed top to bottom.
template <class F>
class Buffer {
public:
    Buffer()
    {
        rowBytes_ = (kWidth * Planes<F>::kBits + 31) / 32 * 4;
        storage_.assign(size_t(rowBytes_) * Planes<F>::kCount * kHeight + 64, 0);
        uint8_t* base = storage_.data() + (64 - reinterpret_cast<uintptr_t>(storage_.data()) % 64) % 64;
        for (int32_t y = 0; y < kHeight; ++y) rows_.push_back(base + size_t(y) * rowBytes_ * Planes<F>::kCount);
        target_ = {rows_.data(), kWidth, kHeight, rowBytes_, 0, 0, {0, 0, kWidth, kHeight}};
    }
    const RasterTarget& Target() const { return target_; }

private:
    int32_t rowBytes_ = 0;
    std::vector<uint8_t> storage_;
    std::vector<uint8_t*> rows_;
    RasterTarget target_{};
};

// Shade tables with a value in every table, as a screen set would hold them.
class BenchShadeTables {
public:
    BenchShadeTables() : bytes_(size_t(kShadeLevelCount) * 16 * kColorCubeSize), words_(size_t(kShadeLevelCount) * 4 * kColorCubeSize),
                         halves_(size_t(kShadeLevelCount) * kColorCubeSize)
    {
        for (int32_t level = 0; level < kShadeLevelCount; ++level) {
            ShadeLevelEntry& e = entries_[level];
            std::memset(&e, 0, sizeof e);
            for (int32_t t = 0; t < 16; ++t) {
                e.ByteTables[t] = &bytes_[(size_t(level) * 16 + t) * kColorCubeSize];
                for (int32_t i = 0; i < kColorCubeSize; ++i) e.ByteTables[t][i] = uint8_t(level * 7 + t + i);
            }
            uint32_t* words = &words_[size_t(level) * 4 * kColorCubeSize];
            e.Pixels32 = words;
            e.Pixels24 = words + kColorCubeSize;
            e.PlanarPatternA = words + 2 * kColorCubeSize;
            e.PlanarPatternB = words + 3 * kColorCubeSize;
            e.Pixels16 = &halves_[size_t(level) * kColorCubeSize];
            for (int32_t i = 0; i < kColorCubeSize; ++i) {
                e.Pixels32[i] = e.Pixels24[i] = uint32_t(level * 0x080808 + i);
                e.PlanarPatternA[i] = uint32_t(i * 0x01030507u);
                e.PlanarPatternB[i] = uint32_t(i * 0x07050301u);
                e.Pixels16[i] = uint16_t(level * 0x0421 + i);
            }
        }
    }
    const ShadeLevelEntry* Levels() const { return entries_; }

private:
    std::vector<uint8_t> bytes_;
    std::vector<uint32_t> words_;
    std::vector<uint16_t> halves_;
    ShadeLevelEntry entries_[kShadeLevelCount];
};

struct Random {
    uint32_t state;
    int32_t Below(int32_t n)
    {
        state = state * 1664525u + 1013904223u;
        return int32_t((state >> 8) % uint32_t(n));
    }
};

// Clockwise quadrilaterals of about width x height pixels at random places; with `overhang` they
// reach up to a quarter of their size beyond the buffer.
std::vector<std::vector<DevicePoint>> MakePolygons(int32_t width, int32_t height, bool overhang)
{
    Random random{uint32_t(width * 7919 + height * 104729) + (overhang ? 1u : 0u)};
    std::vector<std::vector<DevicePoint>> polygons;
    const int32_t marginX = overhang ? -width / 4 : 0;
    const int32_t marginY = overhang ? -height / 4 : 0;
    for (int32_t i = 0; i < 64; ++i) {
        const int32_t x = marginX + random.Below(kWidth - width - 2 * marginX);
        const int32_t y = marginY + random.Below(kHeight - height - 2 * marginY);
        const int32_t jx = std::max(1, width / 8);
        const int32_t jy = std::max(1, height / 8);
        polygons.push_back({{x + random.Below(jx), y + random.Below(jy)},
                            {x + width - random.Below(jx), y + random.Below(jy)},
                            {x + width - random.Below(jx), y + height - random.Below(jy)},
                            {x + random.Below(jx), y + height - random.Below(jy)}});
    }
    return polygons;
}

struct Measure {
    double polygonsPerSecond;
    double pixelsPerSecond;
};

// Runs `body` over and over until kSecondsPerCase has passed; the rounds per second.
template <class Body>
double RoundsPerSecond(Body&& body)
{
    int64_t rounds = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0;
    do {
        body();
        ++rounds;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < kSecondsPerCase);
    return double(rounds) / elapsed;
}

// Runs `draw` over the polygons until kSecondsPerCase has passed.
template <class Draw>
Measure Time(const std::vector<std::vector<DevicePoint>>& polygons, int64_t pixelsPerRound, Draw&& draw)
{
    const double rounds = RoundsPerSecond([&] {
        for (const auto& p : polygons) draw(p);
    });
    return {rounds * double(polygons.size()), rounds * double(pixelsPerRound)};
}

// The pixels one round of polygons covers, plain or clipped to `clip`.
int64_t CoveredPixels(const std::vector<std::vector<DevicePoint>>& polygons, const SpanRegion* clip)
{
    int64_t total = 0;
    auto count = [&total](int32_t, int32_t left, int32_t right, Fixed, Fixed) {
        left = std::max(left, 0);
        right = std::min(right, kWidth);
        if (right > left) total += right - left;
    };
    for (const auto& p : polygons) {
        const int32_t n = int32_t(p.size());
        if (!clip) {
            ScanPolygon(IntegerEdges{p.data()}, n, 0, kHeight, count);
            continue;
        }
        FixedPoint* clipped = nullptr;
        int32_t clippedCount = 0;
        if (ClipPolygon(clip, p.data(), n, &clipped, nullptr, &clippedCount, 0) == kClipKept)
            ScanPolygon(FixedEdges{clipped, nullptr}, clippedCount, 0, kHeight, count);
    }
    return total;
}

// The line pixels of one round of polygon frames.
int64_t FramePixels(const std::vector<std::vector<DevicePoint>>& polygons)
{
    int64_t total = 0;
    for (const auto& p : polygons)
        FramePoints(p.data(), int32_t(p.size()), [&total](DevicePoint a, DevicePoint b) {
            LineDDA(IntToFixed(a.x), IntToFixed(a.y), IntToFixed(b.x), IntToFixed(b.y),
                    [&total](int32_t, int32_t, int32_t) { ++total; });
        });
    return total;
}

void Print(const char* format, const char* kind, const char* size, Measure m)
{
    std::printf("%-8s %-16s %-7s %12.0f polygons/s %9.1f Mpixels/s\n", format, kind, size, m.polygonsPerSecond,
                m.pixelsPerSecond / 1e6);
}

struct SizeCase {
    const char* name;
    int32_t width;
    int32_t height;
};
// Squares, and slivers two pixels wide and hundreds of rows tall, whose cost lies in their rows.
constexpr SizeCase kSizes[] = {{"small", 8, 8}, {"medium", 64, 64}, {"large", 400, 400}, {"sliver", 2, 600}};

template <class F>
void BenchFormat(const char* name, const BenchShadeTables& tables, const SpanRegion* clip)
{
    Buffer<F> buffer;
    const RasterTarget& t = buffer.Target();
    for (const SizeCase& s : kSizes) {
        const auto plain = MakePolygons(s.width, s.height, false);
        const auto overhanging = MakePolygons(s.width, s.height, true);
        auto flat = [&](const RasterTarget& target, const std::vector<DevicePoint>& p) {
            FillPolygonOn<F>(target, p.data(), int32_t(p.size()), 0xFFFFFFFF, 0, kOptionFill, 0);
        };
        auto flatClipped = [&](const RasterTarget& target, const std::vector<DevicePoint>& p) {
            FillPolygonClippedOn<F>(target, p.data(), int32_t(p.size()), 0xFFFFFFFF, 0, clip, kOptionFill, 0);
        };
        std::vector<Fixed> values = {IntToFixed(2), IntToFixed(20), IntToFixed(31), IntToFixed(9)};
        auto shaded = [&](const RasterTarget& target, const std::vector<DevicePoint>& p) {
            ShadePolygonOn<F>(target, {0, 0, kWidth, kHeight}, p.data(), values.data(), int32_t(p.size()),
                              tables.Levels(), 77, 0, kOptionFill, 0);
        };
        auto shadedClipped = [&](const RasterTarget& target, const std::vector<DevicePoint>& p) {
            ShadePolygonClippedOn<F>(target, p.data(), values.data(), int32_t(p.size()), tables.Levels(), 77, 0, clip,
                                     kOptionFill, 0);
        };
        auto flatHalftone = [&](const RasterTarget& target, const std::vector<DevicePoint>& p) {
            FillPolygonOn<F>(target, p.data(), int32_t(p.size()), 0xFFFFFFFF, 0, kOptionFill, 1);
        };
        auto framed = [&](const RasterTarget& target, const std::vector<DevicePoint>& p) {
            FillPolygonOn<F>(target, p.data(), int32_t(p.size()), 0, 0xFFFFFFFF, kOptionFrame, 0);
        };
        const int64_t plainPixels = CoveredPixels(plain, nullptr);
        const int64_t clippedPixels = CoveredPixels(overhanging, clip);
        auto run = [&](const char* kind, const std::vector<std::vector<DevicePoint>>& polygons, int64_t pixels,
                       auto&& draw) {
            Print(name, kind, s.name, Time(polygons, pixels, [&](const auto& p) { draw(t, p); }));
        };
        run("flat", plain, plainPixels, flat);
        run("flat half-tone", plain, plainPixels, flatHalftone);
        run("frame", plain, FramePixels(plain), framed);
        run("flat clipped", overhanging, clippedPixels, flatClipped);
        run("shaded", plain, plainPixels, shaded);
        run("shaded clipped", overhanging, clippedPixels, shadedClipped);
    }
}

// The span writers of the 8- and 32-bit formats against loops written out by hand for the same
// pixels: a solid fill, and a shaded span with the direct-colour jitter window.
void BenchSpansAgainstHandWritten(const BenchShadeTables& tables)
{
    constexpr int32_t kSpan = 600;
    constexpr int32_t kRows = 512;
    Buffer<Indexed8> b8;
    Buffer<Direct32> b32;
    const int64_t pixels = int64_t(kSpan) * kRows;
    auto time = [&](auto&& body) { return RoundsPerSecond(body) * double(pixels) / 1e6; };
    const Indexed8::Flat flat8 = Indexed8::MakeFlat(0x44332211);
    const double fill8 = time([&] {
        for (int32_t y = 0; y < kRows; ++y) Indexed8::FillSpan<false>(SpanOn(b8.Target(), y, 3, kSpan), flat8);
    });
    const double hand8 = time([&] {
        for (int32_t y = 0; y < kRows; ++y) {
            uint8_t* row = b8.Target().rows[y];
            const uint32_t w = flat8.pattern[y & 1];
            int32_t x = 3;
            for (; x < 4; ++x) row[x] = uint8_t(w >> (8 * (x & 3)));
            for (; x + 4 <= 3 + kSpan; x += 4) std::memcpy(row + x, &w, 4);
            for (; x < 3 + kSpan; ++x) row[x] = uint8_t(w >> (8 * (x & 3)));
        }
    });
    const double fill32 = time([&] {
        for (int32_t y = 0; y < kRows; ++y) Direct32::FillSpan<false>(SpanOn(b32.Target(), y, 3, kSpan), {0x00AABBCC});
    });
    const double hand32 = time([&] {
        for (int32_t y = 0; y < kRows; ++y) {
            uint32_t* p = reinterpret_cast<uint32_t*>(b32.Target().rows[y]) + 3;
            for (int32_t x = 0; x < kSpan; ++x) p[x] = 0x00AABBCC;
        }
    });
    Direct32::Ramps ramps;
    Direct32::BuildRamps(ramps, tables.Levels(), 12);
    const double shade32 = time([&] {
        for (int32_t y = 0; y < kRows; ++y)
            Direct32::ShadeSpan<false>(ShadedSpanOn(b32.Target(), y, 3, kSpan, kSpan, 0, IntToFixed(3), IntToFixed(29)),
                                       ramps);
    });
    const double handShade32 = time([&] {
        const uint32_t* ramp = ramps.ramp.Levels();
        for (int32_t y = 0; y < kRows; ++y) {
            const uint16_t* window = DitherMatrixWindows[y & 7].data();
            uint32_t* p = reinterpret_cast<uint32_t*>(b32.Target().rows[y]) + 3;
            const uint32_t step = uint32_t((IntToFixed(29) - IntToFixed(3)) / kSpan);
            uint32_t v = uint32_t(IntToFixed(3));
            for (int32_t x = 0; x < kSpan; ++x, v += step)
                p[x] = ramp[int32_t(v + window[(reinterpret_cast<uintptr_t>(p + x) >> 2) & 15]) >> 16];
        }
    });
    std::printf("\nspan writers against hand-written loops (Mpixels/s)\n");
    std::printf("8-bit    solid span      %9.1f   hand-written %9.1f\n", fill8, hand8);
    std::printf("32-bit   solid span      %9.1f   hand-written %9.1f\n", fill32, hand32);
    std::printf("32-bit   shaded span     %9.1f   hand-written %9.1f\n", shade32, handShade32);
}

// A 64 x 64 texture of random cube indices.
struct BenchTexture {
    BenchTexture() : texels(64 * 64)
    {
        Random random{4242};
        for (uint8_t& t : texels) t = uint8_t(random.Below(kColorCubeSize));
        for (int32_t y = 0; y < 64; ++y) rows.push_back(texels.data() + y * 64);
    }
    std::vector<uint8_t> texels;
    std::vector<uint8_t*> rows;
};

// Textured quadrilaterals of every size in format F: the texture turned and scaled a little, so
// that every span steps u and v both.
template <class F>
void BenchTexturedFormat(const char* name, const BenchShadeTables& tables, const BenchTexture& texture)
{
    Buffer<F> buffer;
    const RasterTarget& t = buffer.Target();
    PixelFormat format;
    format.rowTable = const_cast<uint8_t**>(t.rows);
    format.width = kWidth;
    format.height = kHeight;
    format.rowBytes = t.rowBytes;
    format.planes = Planes<F>::kCount;
    format.bitsPerPixel = Planes<F>::kBits;
    TextureSource source{};
    source.tables = tables.Levels();
    TextureSetup setup;
    if (!SetupTexturedSource(&setup, &source, texture.rows.data(), 64, 64, format)) return;
    for (const SizeCase& s : kSizes) {
        const auto polygons = MakePolygons(s.width, s.height, false);
        const int64_t pixels = CoveredPixels(polygons, nullptr);
        std::vector<FixedPoint> positions;
        std::vector<TextureCoord> coords;
        const Measure m = Time(polygons, pixels, [&](const std::vector<DevicePoint>& p) {
            positions.clear();
            coords.clear();
            for (const DevicePoint& d : p) {
                positions.push_back({IntToFixed(d.x), IntToFixed(d.y)});
                coords.push_back({IntToFixed(d.x) + IntToFixed(d.y) / 3, IntToFixed(d.y) - IntToFixed(d.x) / 4});
            }
            FillTexturedPolygonAffine(&setup, coords.data(), positions.data(), int32_t(p.size()));
        });
        Print(name, "textured", s.name, m);
    }
}

// Two textured span fillers (power-of-two repeat, 8 and 32 bits) against the same loops written
// out by hand.
void BenchTexturedSpansAgainstHandWritten(const BenchShadeTables& tables, const BenchTexture& texture)
{
    constexpr int32_t kSpan = 600;
    constexpr int32_t kRows = 512;
    Buffer<Indexed8> b8;
    Buffer<Direct32> b32;
    const ShadeLevelEntry& level = tables.Levels()[5];
    const Fixed du = 0x14C00, dv = 0x5100;
    auto time = [&](auto&& body) { return RoundsPerSecond(body) * double(kSpan) * kRows / 1e6; };
    TexSpanRecord span{};
    span.count = kSpan;
    span.du = du;
    span.dv = dv;
    span.width = span.height = 64;
    span.widthMask = span.heightMask = 63;
    span.rows = texture.rows.data();
    auto spans = [&](const auto& buffer, int32_t column, int32_t bytes, const void* a, const void* b) {
        const TexSpanFiller filler = TexSpanTable[kTexRowPowerOfTwo * kTexColumns + column];
        return time([&] {
            for (int32_t y = 0; y < kRows; ++y) {
                span.u = IntToFixed(y);
                span.v = IntToFixed(y) / 2;
                span.tableA = a;
                span.tableB = b;
                span.destination = buffer.Target().rows[y] + 3 * bytes;
                filler(&span);
            }
        });
    };
    const uint8_t* even = level.ByteTables[kByteTables8Bit];
    const uint8_t* odd = level.ByteTables[kByteTables8Bit + 1];
    const double fill8 = spans(b8, kTexColumn8, 1, even, odd);
    const double hand8 = time([&] {
        uint8_t* const* rows = texture.rows.data();
        for (int32_t y = 0; y < kRows; ++y) {
            uint8_t* p = b8.Target().rows[y] + 3;
            uint32_t u = uint32_t(IntToFixed(y)), v = uint32_t(IntToFixed(y) / 2);
            for (int32_t x = 0; x < kSpan; ++x, u += du, v += dv) {
                const uint8_t texel = rows[(v >> 16) & 63][(u >> 16) & 63];
                p[x] = ((reinterpret_cast<uintptr_t>(p + x) & 1) ? odd : even)[texel];
            }
        }
    });
    const double fill32 = spans(b32, kTexColumn32, 4, level.Pixels32, level.Pixels32);
    const double hand32 = time([&] {
        uint8_t* const* rows = texture.rows.data();
        const uint32_t* table = level.Pixels32;
        for (int32_t y = 0; y < kRows; ++y) {
            uint32_t* p = reinterpret_cast<uint32_t*>(b32.Target().rows[y]) + 3;
            uint32_t u = uint32_t(IntToFixed(y)), v = uint32_t(IntToFixed(y) / 2);
            for (int32_t x = 0; x < kSpan; ++x, u += du, v += dv) p[x] = table[rows[(v >> 16) & 63][(u >> 16) & 63]];
        }
    });
    std::printf("\ntextured span fillers against hand-written loops (Mpixels/s)\n");
    std::printf("8-bit    textured span   %9.1f   hand-written %9.1f\n", fill8, hand8);
    std::printf("32-bit   textured span   %9.1f   hand-written %9.1f\n", fill32, hand32);
}

}  // namespace

int main()
{
    BenchShadeTables tables;
    // The clip shape: an octagon a little inside the buffer, so that clipped polygons near the
    // edges are cut by slanted as well as straight edges.
    SpanRegion* whole = NewSpanRegion();
    SpanRegion* clip = NewSpanRegion();
    clip->clipped = 1;
    const DevicePoint octagon[8] = {{100, 8},           {kWidth - 100, 8}, {kWidth - 8, 100}, {kWidth - 8, kHeight - 100},
                                    {kWidth - 100, kHeight - 8}, {100, kHeight - 8}, {8, kHeight - 100}, {8, 100}};
    whole->SetRegionClipShape(clip, octagon, 8);

    std::printf("raster-bench: %d x %d pixels, polygons of about 8, 64 and 400 pixels square\n", kWidth, kHeight);
    BenchFormat<Packed4>("4-bit", tables, clip);
    BenchFormat<Planar4>("4-plane", tables, clip);
    BenchFormat<Indexed8>("8-bit", tables, clip);
    BenchFormat<Direct16>("16-bit", tables, clip);
    BenchFormat<Direct24>("24-bit", tables, clip);
    BenchFormat<Direct32>("32-bit", tables, clip);
    BenchSpansAgainstHandWritten(tables);
    const BenchTexture texture;
    std::printf("\n");
    BenchTexturedFormat<Packed4>("4-bit", tables, texture);
    BenchTexturedFormat<Planar4>("4-plane", tables, texture);
    BenchTexturedFormat<Indexed8>("8-bit", tables, texture);
    BenchTexturedFormat<Direct16>("16-bit", tables, texture);
    BenchTexturedFormat<Direct24>("24-bit", tables, texture);
    BenchTexturedFormat<Direct32>("32-bit", tables, texture);
    BenchTexturedSpansAgainstHandWritten(tables, texture);
    clip->SpanRegionFree();
    whole->SpanRegionFree();
    FreeSpareRegions();
    return 0;
}
