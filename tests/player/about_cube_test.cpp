// The about box's cube: which faces look at the viewer as it turns, the light on them and the
// shade levels of the textured faces.
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

}  // namespace
