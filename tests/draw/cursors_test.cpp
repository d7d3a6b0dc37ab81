// SetCursorShape through the cursor services: the cursor shown, the wait cursor's frames at
// made-up times, and system cursors standing in for cursors that cannot be loaded.
#include "draw/cursors.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

uint32_t gNow = 0;

uint32_t FakeClock()
{
    return gNow;
}

HCURSOR ProgramCursor(int32_t id)
{
    return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

HCURSOR SystemCursor(const char* id)
{
    return LoadCursorA(nullptr, id);
}

class Cursors : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousServices_ = InstallUiServices(&services_);
        previousClock_ = InstallCursorClock(FakeClock);
        gNow = 5000;
    }
    void TearDown() override
    {
        FreeCursors();
        InstallCursorClock(previousClock_);
        InstallUiServices(previousServices_);
    }

    CursorUiServices services_;
    UiServices* previousServices_ = nullptr;
    CursorClock previousClock_ = nullptr;
};

}  // namespace

TEST_F(Cursors, NavigationAndOtherIdsShowAtOnce)
{
    LoadCursors(GetModuleHandleA(nullptr));
    ASSERT_NE(ProgramCursor(kNavigationCursor), nullptr);
    SetCursorShape(kNavigationCursor);
    EXPECT_EQ(GetCursor(), ProgramCursor(kNavigationCursor));
    SetCursorShape(0);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_ARROW));
    SetCursorShape(kNavigationCursor);
    SetCursorShape(4711);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_ARROW));
}

TEST_F(Cursors, WaitCursorAnimatesTheProgramsFramesInTurn)
{
    LoadCursors(GetModuleHandleA(nullptr));
    SetCursorShape(kNavigationCursor);
    for (gNow = 5000; gNow <= 5030; ++gNow) {
        SetCursorShape(kWaitCursor);
        ASSERT_EQ(GetCursor(), ProgramCursor(kNavigationCursor)) << gNow;  // unchanged for 480 ms
    }
    for (int32_t frame = 0; frame < 2 * kWaitFrameCount; ++frame) {
        const HCURSOR expected = ProgramCursor(kWaitCursor + frame % kWaitFrameCount);
        ASSERT_NE(expected, nullptr);
        SetCursorShape(kWaitCursor);
        EXPECT_EQ(GetCursor(), expected) << frame;
        for (int32_t i = 1; i < 7; ++i) {
            ++gNow;
            SetCursorShape(kWaitCursor);
            ASSERT_EQ(GetCursor(), expected) << frame;
        }
        ++gNow;
    }
}

TEST_F(Cursors, CursorsThatCannotBeLoadedFallBackToSystemCursors)
{
    // A module without the program's cursor resources.
    LoadCursors(GetModuleHandleA("kernel32.dll"));
    SetCursorShape(kNavigationCursor);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_CROSS));
    EXPECT_NE(GetCursor(), nullptr);
    SetCursorShape(kWaitCursor);
    gNow += 31;
    SetCursorShape(kWaitCursor);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_WAIT));
    EXPECT_NE(GetCursor(), nullptr);
}

TEST_F(Cursors, BeforeLoadingTheArrowStandsInForEveryCursor)
{
    SetCursorShape(kNavigationCursor);
    EXPECT_EQ(GetCursor(), SystemCursor(IDC_ARROW));
}
