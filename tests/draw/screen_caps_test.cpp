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
    EXPECT_EQ(PaletteScreenDepth(), 4);
    EXPECT_EQ(PaletteScreenDepthTwin(), 4);

    caps.blockTransfer = 0;
    SetScreenCaps(caps);
    EXPECT_EQ(ScreenDepth(), 4);
    EXPECT_EQ(OffscreenScreenDepth(), 0);
    EXPECT_EQ(PaletteScreenDepth(), 0);
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
