// The about box's cube: which faces look at the viewer as it turns, the light on them, the shade
// levels of the textured faces and the texture points of the corners.
#include <gtest/gtest.h>

#include "player/about_cube.h"

namespace {

TEST(AboutCube, UnturnedTheBottomCapAloneLooksAtTheViewerInTheLight)
{
    const AboutCube cube;
    for (int32_t face = 0; face < AboutCube::kFaceCount; ++face)
        EXPECT_EQ(cube.FacesViewer(face), face == AboutCube::kBottomCap) << face;
    // (0, 0, -256) . (-60, 110, -220); the top cap turns away from the light.
    EXPECT_EQ(cube.Intensity(AboutCube::kBottomCap), 56320);
    EXPECT_EQ(cube.Intensity(AboutCube::kTopCap), 0);
    AboutCube::Point corners[AboutCube::kCornerCount];
    cube.FaceCorners(AboutCube::kBottomCap, corners);
    EXPECT_EQ(corners[0].x, -64);
    EXPECT_EQ(corners[0].y, -64);
    EXPECT_EQ(corners[2].x, 64);
    EXPECT_EQ(corners[2].y, 64);
}

TEST(AboutCube, TippedAQuarterTheFirstSideLooksAtTheViewer)
{
    AboutCube cube;
    cube.Turn(0, 64);
    EXPECT_TRUE(cube.FacesViewer(0));
    for (int32_t face = 1; face < AboutCube::kFaceCount; ++face) EXPECT_FALSE(cube.FacesViewer(face)) << face;
    EXPECT_EQ(cube.Normal(0).z, -256);
    EXPECT_EQ(cube.Intensity(0), 56320);
    // Its top corners stand left of its bottom corners (sine 32767 of 32768, shifts rounding
    // down).
    AboutCube::Point corners[AboutCube::kCornerCount];
    cube.FaceCorners(0, corners);
    EXPECT_EQ(corners[0].x, -63);
    EXPECT_EQ(corners[3].x, 64);
}

TEST(AboutCube, ThroughAWholeTurnTheFacesSeenAreThoseWhoseNormalPointsAtTheViewer)
{
    AboutCube cube;
    for (int32_t frame = 1; frame <= 256; ++frame) {
        cube.Turn((2 * frame) % 256, frame % 256);
        int32_t seen = 0;
        for (int32_t face = 0; face < AboutCube::kFaceCount; ++face) {
            const int32_t depth = cube.Normal(face).z;
            if (cube.FacesViewer(face)) {
                ++seen;
                EXPECT_LT(depth, 0) << "frame " << frame << " face " << face;
            } else {
                EXPECT_GT(depth, -8) << "frame " << frame << " face " << face;
            }
        }
        EXPECT_GE(seen, 1);
        EXPECT_LE(seen, 3);
    }
}

TEST(AboutCube, ShadeLevelsRunFrom27UnlitToTheBrightestNeverBelowIt)
{
    EXPECT_EQ(AboutShadeLevel(0), 27);
    EXPECT_EQ(AboutShadeLevel(2047), 27);
    EXPECT_EQ(AboutShadeLevel(2048), 26);
    EXPECT_EQ(AboutShadeLevel(56320), 0);
    EXPECT_EQ(AboutShadeLevel(64819), 0);
}

TEST(AboutCube, EachFaceCarriesTheWholePictureCornerForCorner)
{
    // A side and the bottom cap: (64 + x, 64 - y) of the square's corners in order.
    for (int32_t face : {0, 3, AboutCube::kBottomCap}) {
        EXPECT_EQ(AboutCube::TexturePoint(face, 0).x, 0);
        EXPECT_EQ(AboutCube::TexturePoint(face, 0).y, 128);
        EXPECT_EQ(AboutCube::TexturePoint(face, 2).x, 128);
        EXPECT_EQ(AboutCube::TexturePoint(face, 2).y, 0);
    }
    // The top cap walks its square backwards, and its texture points with it.
    EXPECT_EQ(AboutCube::TexturePoint(AboutCube::kTopCap, 0).x, 128);
    EXPECT_EQ(AboutCube::TexturePoint(AboutCube::kTopCap, 0).y, 128);
    EXPECT_EQ(AboutCube::TexturePoint(AboutCube::kTopCap, 3).x, 0);
    EXPECT_EQ(AboutCube::TexturePoint(AboutCube::kTopCap, 3).y, 128);
}

}  // namespace
