// Perspective subdivision: the pieces of a face cover each of its pixels exactly once, a receding
// floor's texels stay within one texel of exact perspective mapping (where one affine pass strays
// far), the constant-depth direction, unsigned depths, and the supporting cuts; a frame that stops
// partway leaves the pieces it does not pay for unfilled.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/textured_fill.h"
#include "render/depth_subdivision.h"
#include "render/raster_buffers.h"
#include "render/render_context.h"
#include "textures/shade_level_builder.h"

namespace {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// An 8-bit destination in plain memory.
struct Canvas {
    Canvas() : pixels(size_t(kWidth) * kHeight, 0)
    {
        for (int32_t y = 0; y < kHeight; ++y) rows.push_back(pixels.data() + size_t(y) * kWidth);
        format.rowTable = rows.data();
        format.width = kWidth;
        format.height = kHeight;
        format.rowBytes = kWidth;
        format.planes = 1;
        format.bitsPerPixel = 8;
    }
    uint8_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * kWidth + x]; }
    std::vector<uint8_t> pixels;
    std::vector<uint8_t*> rows;
    PixelFormat format;
};

// Shade tables whose 8-bit byte tables map every texel to itself.
struct IdentityTables {
    IdentityTables()
    {
        for (int32_t i = 0; i < 216; ++i) identity[i] = uint8_t(i);
        for (int32_t j = 0; j < 4; ++j) entry.ByteTables[kByteTables8Bit + j] = identity;
    }
    uint8_t identity[216];
    ShadeLevelEntry entry{};
};

// A texture whose texel is its column (or its row).
struct RampTexture {
    RampTexture(int32_t size, bool byColumn) : texels(size_t(size) * size)
    {
        for (int32_t y = 0; y < size; ++y) {
            for (int32_t x = 0; x < size; ++x) texels[size_t(y) * size + x] = uint8_t(byColumn ? x : y);
            rows.push_back(texels.data() + size_t(y) * size);
        }
    }
    std::vector<uint8_t> texels;
    std::vector<uint8_t*> rows;
};

// Points of a face in camera space (x right, y up, z forward) with their texture coordinates.
struct CameraCorner {
    double x, y, z, u, v;
};

struct Face {
    std::vector<ClipPoint3> vertices;
    std::vector<TextureCoord> coords;
};

constexpr double kFocal = 200.0;
constexpr double kDepthScale = 4194304.0;  // w = kDepthScale / z

// Projected as the renderer would: device x, y in 16.16 (whole pixels, as device points are) and
// w = scale / depth.
Face Project(const std::vector<CameraCorner>& corners)
{
    Face f;
    for (const CameraCorner& c : corners) {
        const double sx = std::lround(kWidth / 2.0 + kFocal * c.x / c.z);
        const double sy = std::lround(kHeight / 2.0 - kFocal * c.y / c.z);
        f.vertices.push_back({IntToFixed(int32_t(sx)), IntToFixed(int32_t(sy)), Fixed(uint32_t(kDepthScale / c.z))});
        f.coords.push_back({X2Fix(c.u), X2Fix(c.v)});
    }
    return f;
}

// A floor from 20 to 400 units ahead, 10 below the eye, u across and v along it.
Face Floor(double halfWidth = 60)
{
    return Project({{-halfWidth, -10, 20, 1, 1}, {-halfWidth, -10, 400, 1, 126}, {halfWidth, -10, 400, 126, 126},
                    {halfWidth, -10, 20, 126, 1}});
}

// A square floor turned 30 degrees about the vertical, so that depth changes along the rows as
// well as down them (cut across as well as into slabs).
Face TurnedFloor()
{
    std::vector<CameraCorner> corners;
    const double c = std::cos(0.5236), s = std::sin(0.5236);
    for (const auto& l : {std::make_pair(-60.0, -60.0), std::make_pair(-60.0, 60.0), std::make_pair(60.0, 60.0),
                          std::make_pair(60.0, -60.0)})
        corners.push_back({l.first * c - l.second * s, -10, 110 + l.first * s + l.second * c, 1 + (l.first + 60) / 120 * 125,
                           1 + (l.second + 60) / 120 * 125});
    return Project(corners);
}

// A wall receding to the right (constant-depth lines close to vertical).
Face Wall()
{
    return Project({{-20, 30, 15, 1, 1}, {80, 30, 300, 126, 1}, {80, -30, 300, 126, 126}, {-20, -30, 15, 1, 126}});
}

// A slanted triangle.
Face Triangle()
{
    return Project({{-30, 25, 30, 2, 3}, {40, 10, 120, 120, 20}, {-10, -35, 60, 40, 125}});
}

// Counts how often each pixel is written, and the spans.
int32_t gSpans = 0;
void CountingFiller(const TexSpanRecord* span)
{
    ++gSpans;
    for (int32_t i = 0; i < span->count; ++i) ++span->destination[i];
}

class PerspectiveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitRasterBuffers(), kResultOk); }
    void TearDown() override { FreeRasterBuffers(); }

    TextureSetup SetupFor(Canvas& canvas, RampTexture& texture, const TextureSource& source)
    {
        TextureSetup setup;
        EXPECT_TRUE(SetupTexturedSource(&setup, &source, texture.rows.data(), 128, 128, canvas.format));
        return setup;
    }

    static void Subdivide(TextureSetup* setup, Face face)
    {
        const int32_t n = int32_t(face.vertices.size());
        Fixed slope = 0;
        FindConstantDepthSlope(face.vertices.data(), n, &slope);
        SetMinimumSlabDepth(face.vertices.data(), n);
        FillTexturedPolygonPerspective(setup, face.coords.data(), face.vertices.data(), n);
    }

    IdentityTables tables;
};

}  // namespace

TEST_F(PerspectiveTest, ThePiecesOfAFaceCoverEveryPixelExactlyOnce)
{
    RampTexture texture(128, true);
    const TextureSource source{0, 0, 0, 0, 0, 0, &tables.entry, nullptr, {0, 0, 0, 0}, {0, 0, 0}};
    for (const Face& face : {Floor(), Floor(150), TurnedFloor(), Wall(), Triangle()}) {
        Canvas pieces;
        TextureSetup setup = SetupFor(pieces, texture, source);
        setup.filler = CountingFiller;
        gSpans = 0;
        Subdivide(&setup, face);
        const int32_t pieceSpans = gSpans;
        Canvas whole;
        TextureSetup wholeSetup = SetupFor(whole, texture, source);
        wholeSetup.filler = CountingFiller;
        gSpans = 0;
        FillTexturedPieceAffine(&wholeSetup, face.coords.data(), face.vertices.data(), int32_t(face.vertices.size()));
        // The face was cut into pieces; where it was cut across, rows were split among them.
        EXPECT_GE(pieceSpans, gSpans);
        int32_t covered = 0;
        for (int32_t y = 0; y < kHeight; ++y) {
            for (int32_t x = 0; x < kWidth; ++x) {
                ASSERT_LE(pieces.At(x, y), 1) << "pixel " << x << ", " << y << " drawn twice";
                ASSERT_EQ(pieces.At(x, y), whole.At(x, y)) << "pixel " << x << ", " << y;
                covered += pieces.At(x, y);
            }
        }
        EXPECT_GT(covered, 2000);
    }
}

TEST_F(PerspectiveTest, AFloorsTexelsStayWithinOneTexelOfExactPerspective)
{
    const Face floor = TurnedFloor();
    // t w and w are linear on the screen: fitted through three corners.
    double m[3][3], w[3], uw[3], vw[3];
    for (int32_t k = 0; k < 3; ++k) {
        const ClipPoint3& p = floor.vertices[k];
        m[k][0] = Fix2X(p.x);
        m[k][1] = Fix2X(p.y);
        m[k][2] = 1;
        w[k] = double(uint32_t(p.z));
        uw[k] = Fix2X(floor.coords[k].u) * w[k];
        vw[k] = Fix2X(floor.coords[k].v) * w[k];
    }
    auto det = [](const double a[3][3]) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    auto solve = [&](const double rhs[3], double out[3]) {
        for (int32_t col = 0; col < 3; ++col) {
            double a[3][3];
            for (int32_t r = 0; r < 3; ++r)
                for (int32_t k = 0; k < 3; ++k) a[r][k] = k == col ? rhs[r] : m[r][k];
            out[col] = det(a) / det(m);
        }
    };
    double pw[3], pu[3], pv[3];
    solve(w, pw);
    solve(uw, pu);
    solve(vw, pv);
    for (bool byColumn : {true, false}) {
        const double* pt = byColumn ? pu : pv;
        auto exact = [&](double x, double y) { return (pt[0] * x + pt[1] * y + pt[2]) / (pw[0] * x + pw[1] * y + pw[2]); };
        RampTexture texture(128, byColumn);
        const TextureSource source{0, 0, 0, 0, 0, 0, &tables.entry, nullptr, {0, 0, 0, 0}, {0, 0, 0}};
        // The largest error in texels, and in pixels (texels over the texels a pixel spans there).
        auto worstError = [&](bool subdivided, double* worstPixels) {
            Canvas canvas;
            TextureSetup setup = SetupFor(canvas, texture, source);
            Face face = floor;
            if (subdivided) Subdivide(&setup, face);
            else FillTexturedPieceAffine(&setup, face.coords.data(), face.vertices.data(), 4);
            // Only pixels away from the face's edges, which round either way.
            Canvas mask;
            TextureSetup maskSetup = SetupFor(mask, texture, source);
            maskSetup.filler = CountingFiller;
            FillTexturedPieceAffine(&maskSetup, face.coords.data(), face.vertices.data(), 4);
            double worst = 0;
            *worstPixels = 0;
            int32_t magnified = 0;
            for (int32_t y = 1; y + 1 < kHeight; ++y) {
                for (int32_t x = 1; x + 1 < kWidth; ++x) {
                    if (!mask.At(x, y) || !mask.At(x - 1, y) || !mask.At(x + 1, y) || !mask.At(x, y - 1) ||
                        !mask.At(x, y + 1))
                        continue;
                    const double t = exact(x + 0.5, y + 0.5);
                    const double perPixel = std::max(std::fabs(exact(x + 1.5, y + 0.5) - t), std::fabs(exact(x + 0.5, y + 1.5) - t));
                    const double error = std::fabs(canvas.At(x, y) - std::floor(t + 0.5));
                    if (perPixel <= 1) {
                        ++magnified;
                        worst = std::max(worst, error);
                    }
                    *worstPixels = std::max(*worstPixels, (error - 1) / std::max(perPixel, 1.0));
                }
            }
            EXPECT_GT(magnified, 1500);
            return worst;
        };
        double pixels = 0;
        EXPECT_LE(worstError(true, &pixels), 1.0) << (byColumn ? "u" : "v");
        // Where a pixel spans several texels the cuts keep the error to about a pixel.
        EXPECT_LE(pixels, 1.5) << (byColumn ? "u" : "v");
        EXPECT_GT(worstError(false, &pixels), 4.0) << (byColumn ? "u" : "v") << ": one affine pass should be far off";
    }
}

TEST_F(PerspectiveTest, TheConstantDepthDirection)
{
    // Depth changing only down the screen: horizontal constant-depth lines, slope 0.
    const std::vector<ClipPoint3> rows = {{0, 0, 1000}, {IntToFixed(50), 0, 1000}, {IntToFixed(50), IntToFixed(40), 200},
                                          {0, IntToFixed(40), 200}};
    Fixed slope = -1;
    EXPECT_EQ(FindConstantDepthSlope(rows.data(), 4, &slope), 0);
    EXPECT_EQ(slope, 0);
    DepthFrame frame;
    MeasureDepthFrame(rows.data(), 4, &frame);
    Fixed cut = 0;
    EXPECT_FALSE(FindCrossCutX(frame, &cut));  // rows are of one depth already
    // Depth changing only across: vertical lines.
    const std::vector<ClipPoint3> columns = {{0, 0, 1000}, {IntToFixed(50), 0, 200}, {IntToFixed(50), IntToFixed(40), 200},
                                             {0, IntToFixed(40), 1000}};
    EXPECT_EQ(FindConstantDepthSlope(columns.data(), 4, &slope), 1);
    EXPECT_EQ(slope, 0);
    // A slant of one pixel down per two across.
    const std::vector<ClipPoint3> slanted = {{0, 0, 600}, {IntToFixed(40), IntToFixed(20), 600}, {IntToFixed(40), IntToFixed(60), 200}};
    EXPECT_EQ(FindConstantDepthSlope(slanted.data(), 3, &slope), 0);
    EXPECT_EQ(slope, kFixedHalf);
    EXPECT_EQ(IsFlatDepth(rows.data(), 4), 0);
    const std::vector<ClipPoint3> flat = {{0, 0, 7}, {5, 0, 7}, {0, 5, 7}};
    EXPECT_EQ(IsFlatDepth(flat.data(), 3), 1);
}

TEST_F(PerspectiveTest, DepthsCompareUnsigned)
{
    // 0x80000000 is nearer than 0x7FFFFFFF: the slab is cut from it.
    const std::vector<ClipPoint3> v = {{0, 0, Fixed(0x7FFFFFFF)}, {IntToFixed(60), 0, Fixed(0x80000000u)},
                                       {IntToFixed(60), IntToFixed(80), Fixed(0x100000)}, {0, IntToFixed(80), Fixed(0x100000)}};
    const std::vector<TextureCoord> c(4, TextureCoord{0, 0});
    MinimumSlabDepth = 0x1000;
    uint32_t cut = 0;
    int32_t nearest = -1;
    ASSERT_EQ(FindSliceDepth(c.data(), v.data(), 4, &cut, &nearest), 1);
    EXPECT_EQ(nearest, 1);
    EXPECT_GT(cut, 0x100000u);
    EXPECT_LT(cut, 0x80000000u);
    DepthFrame frame;
    MeasureDepthFrame(v.data(), 4, &frame);
    EXPECT_EQ(frame.nearest, 1);
    EXPECT_EQ(frame.wMax, 0x80000000u);
}

TEST_F(PerspectiveTest, CutsSplitAtTheValueAndCarryTheTexture)
{
    const ClipPoint3 a = {0, 0, 4000};
    const ClipPoint3 b = {IntToFixed(100), IntToFixed(50), 1000};
    const ClipPoint3 p = DepthPointOnEdge(a, b, 2000);
    EXPECT_EQ(uint32_t(p.z), 2000u);
    EXPECT_NEAR(Fix2X(p.x), 66.667, 0.001);
    const ClipPoint3 q = XPointOnEdge(a, b, IntToFixed(40));
    EXPECT_EQ(q.x, IntToFixed(40));
    EXPECT_EQ(q.y, IntToFixed(20));
    EXPECT_EQ(uint32_t(q.z), 2800u);
    // Texture coordinates are perspective-correct: u w is linear, w halves at the middle depth.
    ClipPoint3 point;
    TextureCoord coord;
    SplitEdgeAtDepth(a, {0, 0}, b, {IntToFixed(90), 0}, 2000, &point, &coord);
    EXPECT_NEAR(Fix2X(coord.u), 90.0 * (1.0 / 2000 - 1.0 / 4000) / (1.0 / 1000 - 1.0 / 4000), 0.05);
    // From w0 = 4 000 000 at 1 000 w a pixel: (sqrt w0 - sqrt 1000) squared.
    const uint32_t next = NextSliceDepth({0, 0, 4000000}, {IntToFixed(1000), 0, 3000000});
    const double expected = (2000 - std::sqrt(1000.0)) * (2000 - std::sqrt(1000.0));
    EXPECT_NEAR(double(next), expected, expected * 0.005);
    EXPECT_EQ(NextSliceDepth({0, 0, 10}, {IntToFixed(5), 0, 20}), 19u);  // towards a nearer point
}

TEST_F(PerspectiveTest, AFaceOfEveryDepthFinishesWithinTheCutLimit)
{
    // From the eye's own plane to the horizon: the cuts stop at their limit and the rest is
    // filled in one piece, every pixel still exactly once.
    const Face face = Project({{-60, -10, 2, 1, 1}, {-60, -10, 1.0e6, 1, 126}, {60, -10, 1.0e6, 126, 126}, {60, -10, 2, 126, 1}});
    RampTexture texture(128, true);
    const TextureSource source{0, 0, 0, 0, 0, 0, &tables.entry, nullptr, {0, 0, 0, 0}, {0, 0, 0}};
    Canvas canvas;
    TextureSetup setup = SetupFor(canvas, texture, source);
    setup.filler = CountingFiller;
    gSpans = 0;
    Subdivide(&setup, face);
    EXPECT_GT(gSpans, 0);
    for (uint8_t count : canvas.pixels) ASSERT_LE(count, 1);

    // In a frame that stops partway (the rows its pieces walk, 1,031 from far above the canvas to
    // its foot, each at what a row of the textured fill costs, spent past the 16,320 pixels, 1,020
    // rows, that a view of 170 pixels stops at), the pieces not paid for are left unfilled.
    const int32_t spans = gSpans;
    Canvas stopped;
    setup = SetupFor(stopped, texture, source);
    setup.filler = CountingFiller;
    gSpans = 0;
    FrameBudget& budget = CurrentRenderContext().frameBudget;
    budget.Begin(170);
    Subdivide(&setup, face);
    EXPECT_TRUE(budget.Stopped());
    budget.End();
    EXPECT_GT(gSpans, 0);
    EXPECT_LT(gSpans, spans);
    for (uint8_t count : stopped.pixels) ASSERT_LE(count, 1);
}
