// Covered pixels: the runs of a span left to fill (short covered gaps filled over, pixels outside
// the covering free), and the textured fill writing exactly those runs, each pixel as the whole
// fill writes it, in every pixel format.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "raster/covered_pixels.h"
#include "raster/textured_fill.h"
#include "raster_surface.h"

using namespace raster;
using rastertest::CheckerTexture;
using rastertest::FakeShadeTables;
using rastertest::FormatInfo;
using rastertest::FormatOf;
using rastertest::Surface;

namespace {

using Runs = std::vector<std::pair<int32_t, int32_t>>;

// The runs left to fill of device pixels [first, end) of row y, under a covering of row 5 from
// device x 8 to 200 with the runs given covered.
Runs RunsLeft(const Runs& covered, int32_t y, int32_t first, int32_t end)
{
    uint64_t bits[3] = {};
    for (const auto& [from, to] : covered)
        for (int32_t x = from; x < to; ++x) bits[(x - 8) / 64] |= uint64_t(1) << ((x - 8) % 64);
    Runs runs;
    ForEachUncoveredRun(CoveredPixels{bits, 3, 8, 5, 192, 1}, y, first, end,
                        [&](int32_t from, int32_t to) { runs.push_back({from, to}); });
    return runs;
}

}  // namespace

TEST(CoveredPixels, TheRunsOfASpanLeftToFill)
{
    struct Case {
        const char* what;
        Runs covered;
        int32_t first, end;
        Runs runs;
    };
    const Case cases[] = {
        {"nothing covered", {}, 20, 150, {{20, 150}}},
        {"all covered", {{8, 200}}, 20, 150, {}},
        {"covered ends", {{8, 40}, {120, 200}}, 20, 150, {{40, 120}}},
        {"a wide gap across a word", {{60, 80}}, 20, 150, {{20, 60}, {80, 150}}},
        {"a gap of 7 filled over", {{60, 67}}, 20, 150, {{20, 150}}},
        {"a gap of 8 left out", {{60, 68}}, 20, 150, {{20, 60}, {68, 150}}},
        {"narrow gaps in a row filled over", {{30, 35}, {40, 45}, {50, 90}}, 20, 150, {{20, 50}, {90, 150}}},
        {"a covered end past a narrow gap", {{30, 33}, {40, 200}}, 20, 150, {{20, 40}}},
        {"outside the covering's columns", {{8, 200}}, 0, 30, {{0, 30}}},
    };
    for (const Case& c : cases) EXPECT_EQ(RunsLeft(c.covered, 5, c.first, c.end), c.runs) << c.what;
    // Rows outside the covering are free.
    EXPECT_EQ(RunsLeft({{8, 200}}, 6, 20, 150), Runs({{20, 150}}));
}

namespace {

// A texture of 64 x 64 indices filled over an 80 x 40 square at (13, 7) with a sloped mapping (u
// and v both change along a row), whole and with pixels covered: the covered fill writes every
// pixel outside the covering as the whole fill does, and leaves many covered ones alone.
template <class F>
void CheckCoveredFill()
{
    FakeShadeTables shades;
    CheckerTexture texture(64, 64);
    const Fixed l = IntToFixed(13), t = IntToFixed(7), r = IntToFixed(93), b = IntToFixed(47);
    const FixedPoint positions[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
    const TextureCoord coords[4] = {{0, 0}, {IntToFixed(50), IntToFixed(9)}, {IntToFixed(57), IntToFixed(40)},
                                    {IntToFixed(7), IntToFixed(31)}};
    const int32_t width = 112, height = 56, words = 2;
    // Every row covered in a pattern of its own: wide and narrow runs, ends, whole rows.
    auto covered = [](int32_t x, int32_t y) {
        return y % 11 == 4 || (x + 3 * y) % 37 < 3 + y % 13 || (y % 5 == 0 && x > 70);
    };
    std::vector<uint64_t> bits(size_t(words) * height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) bits[size_t(y) * words + x / 64] |= uint64_t(covered(x, y)) << (x % 64);
    CoveredPixels pixels{bits.data(), words, 0, 0, width, height};
    Surface<F> whole(width, height), part(width, height);
    TextureSource source{};
    source.tables = &shades.Levels()[2];
    TextureSetup setup;
    for (Surface<F>* s : {&whole, &part}) {
        source.covered = s == &part ? &pixels : nullptr;
        ASSERT_TRUE(SetupTexturedSource(&setup, &source, texture.rows.data(), 64, 64, FormatOf(*s)));
        FillTexturedPolygonAffine(&setup, coords, positions, 4);
    }
    EXPECT_TRUE(part.GuardsIntact());
    int32_t wrong = 0, leftOut = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            // A covered pixel is left alone or written as the whole fill writes it.
            wrong += part.Pixel(x, y) != whole.Pixel(x, y) && !(covered(x, y) && part.Pixel(x, y) == 0);
            leftOut += covered(x, y) && whole.Pixel(x, y) != 0 && part.Pixel(x, y) == 0;
        }
    }
    EXPECT_EQ(wrong, 0) << FormatInfo<F>::kName;
    EXPECT_GT(leftOut, 500) << FormatInfo<F>::kName;
}

}  // namespace

TEST(CoveredPixels, TheTexturedFillWritesEveryPixelOutsideTheCoveringAsTheWholeFill)
{
    CheckCoveredFill<Packed4>();
    CheckCoveredFill<Planar4>();
    CheckCoveredFill<Indexed8>();
    CheckCoveredFill<Direct16>();
    CheckCoveredFill<Direct24>();
    CheckCoveredFill<Direct32>();
}
