// The recorded screen capabilities and the depths derived from them.
#include <gtest/gtest.h>

#include "tests/draw/screen_support.h"

TEST(ScreenCaps, DepthsFollowPlanesBitsAndBlockTransfer)
{
    ScreenCaps caps = ScreenCapsOfDepth(4);
    caps.planes = 4;
    caps.bitsPerPixel = 1;
    ScopedScreenCaps screen(caps);
    EXPECT_EQ(ScreenDepth(), 4);
    EXPECT_EQ(OffscreenScreenDepth(), 4);

    caps.blockTransfer = 0;
    SetScreenCaps(caps);
    EXPECT_EQ(ScreenDepth(), 4);
    EXPECT_EQ(OffscreenScreenDepth(), 0);
}

TEST(ScreenCaps, PaletteDepthIsTheScreenDepthOnPaletteDisplaysOnly)
{
    for (int32_t depth : {4, 8, 16, 32}) {
        ScopedScreenCaps screen(depth);
        const int32_t expected = depth == 8 ? 8 : 0;
        EXPECT_EQ(PaletteScreenDepth(), expected) << depth;
        EXPECT_EQ(PaletteScreenDepthTwin(), expected) << depth;
    }
    ScreenCaps caps = ScreenCapsOfDepth(8);
    caps.blockTransfer = 0;
    ScopedScreenCaps noBlockTransfer(caps);
    EXPECT_EQ(PaletteScreenDepth(), 8);
}

TEST(ScreenCaps, ScopeRestoresThePreviousCapabilities)
{
    {
        ScopedScreenCaps outer(16);
        {
            ScopedScreenCaps inner(24);
            EXPECT_EQ(ScreenDepth(), 24);
        }
        EXPECT_EQ(ScreenDepth(), 16);
    }
}
