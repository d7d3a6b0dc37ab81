// The device list that start-up makes: its screen device, lookups by point, depth updates, and
// shutdown's disposal.
#include "draw/device_list.h"

#include <gtest/gtest.h>

#include "tests/draw/draw_support.h"

TEST(WindowList, OneScreenDeviceFoundByPointAndRebuiltWhenTheDepthChanges)
{
    {
        TestScreen screen(32);
        ASSERT_EQ(CountWindowList(), 1);
        Q_Offscreen* device = FrontWindow();
        EXPECT_EQ(FindWindowAtPoint(0, 0), device);
        EXPECT_EQ(FindWindowAtPoint(1023, 767), device);
        for (const auto& [x, y] : {std::pair{1024, 10}, {10, 768}, {-1, 10}})
            EXPECT_EQ(FindWindowAtPoint(x, y), nullptr) << x << "," << y;

        const DynamicArray* tables = device->MatchBlock().redTable;
        ASSERT_NE(tables, nullptr);
        UpdateWindowListDepths();
        EXPECT_EQ(device->MatchBlock().redTable, tables);
        ScopedScreenCaps shallower(16);
        UpdateWindowListDepths();
        EXPECT_EQ(device->PortDepthField(), 16);
        EXPECT_NE(device->MatchBlock().redTable, tables);
    }
    // Shutdown disposed of the device and the list.
    EXPECT_EQ(WindowList, nullptr);
    EXPECT_EQ(CountWindowList(), 0);

    TestScreen palette(8);
    EXPECT_EQ(FrontWindow()->Format().bitsPerPixel, 8);
    EXPECT_NE(FrontWindow()->MatchBlock().matchCache, nullptr);
}
