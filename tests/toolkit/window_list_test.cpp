// The device list that start-up makes: its screen device, lookups by point and count, depth
// updates, and shutdown's disposal.
#include "draw/device_list.h"

#include <gtest/gtest.h>

#include "tests/draw/draw_support.h"

TEST(WindowList, HoldsOneScreenDeviceOfTheScreensSize)
{
    {
        TestScreen screen(32);
        ASSERT_EQ(CountWindowList(), 1);
        Q_Offscreen* device = FrontWindow();
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->IsScreenDevice(), 1);
        EXPECT_EQ(device->PortDepthField(), 32);
        EXPECT_NE(device->MatchBlock().redTable, nullptr);
        EXPECT_EQ(FindWindowAtPoint(0, 0), device);
        EXPECT_EQ(FindWindowAtPoint(1023, 767), device);
        EXPECT_EQ(FindWindowAtPoint(1024, 10), nullptr);
        EXPECT_EQ(FindWindowAtPoint(10, 768), nullptr);
        EXPECT_EQ(FindWindowAtPoint(-1, 10), nullptr);
    }
    // Shutdown disposed of the device and the list.
    EXPECT_EQ(WindowList, nullptr);
    EXPECT_EQ(CountWindowList(), 0);
    EXPECT_EQ(FrontWindow(), nullptr);
    EXPECT_EQ(FindWindowAtPoint(0, 0), nullptr);
    DisposeWindowList();
}

TEST(WindowList, PaletteScreenDeviceGetsAMatchCache)
{
    TestScreen screen(8);
    ASSERT_EQ(CountWindowList(), 1);
    EXPECT_EQ(FrontWindow()->Format().bitsPerPixel, 8);
    EXPECT_NE(FrontWindow()->MatchBlock().matchCache, nullptr);
    EXPECT_EQ(FrontWindow()->MatchBlock().redTable, nullptr);
}

TEST(WindowList, DepthUpdateRebuildsOnlyChangedDevices)
{
    TestScreen screen(32);
    Q_Offscreen* device = FrontWindow();
    const DynamicArray* tables = device->MatchBlock().redTable;
    UpdateWindowListDepths();
    EXPECT_EQ(device->MatchBlock().redTable, tables);

    ScopedScreenCaps deeper(16);
    UpdateWindowListDepths();
    EXPECT_EQ(device->PortDepthField(), 16);
    EXPECT_NE(device->MatchBlock().redTable, tables);
}
