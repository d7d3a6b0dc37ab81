// The beep's silent kinds, the sound resources, and the memory figures in 64 bits.
#include "toolkit/sounds.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "foundation/win32_services.h"
#include "toolkit/memory_readouts.h"

namespace {

std::vector<uint32_t> gBeeps;

}  // namespace

TEST(Sounds, KindsZeroAndTwoAndSoundsOffAreSilent)
{
    gBeeps.clear();
    BeepCall previous = InstallBeepCall([](uint32_t type) { gBeeps.push_back(type); });
    for (int32_t kind : {0, 1, 2, 3, -1}) PlaySoundBeep(kind);
    SoundsOn = 0;
    PlaySoundBeep(1);
    SoundsOn = 1;
    InstallBeepCall(previous);
    EXPECT_EQ(gBeeps, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST(Sounds, BothWaveResourcesAreLoadedAndAMissingOneStaysNull)
{
    ASSERT_EQ(LoadSoundResources(), 0);
    for (int32_t id : {128, 129}) {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "WAVE");
        ASSERT_NE(SoundResourceData(id), nullptr);
        EXPECT_EQ(SoundResourceData(id), LockResource(LoadResource(nullptr, found)));
    }
    FreeSoundResource();
    EXPECT_EQ(SoundResourceData(128), nullptr);

    SetAppInstance(GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(LoadSoundResources(), 0);
    EXPECT_EQ(SoundResourceData(128), nullptr);
    SetAppInstance(nullptr);
}

TEST(MemoryReadouts, FiguresArePhysicalPlusPageFileIn64Bits)
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    EXPECT_EQ(TotalMemory(), status.ullTotalPhys + status.ullTotalPageFile);
    // The available figure moves meanwhile; other processes may take or free up to 64 MB.
    const int64_t available = int64_t(status.ullAvailPhys + status.ullAvailPageFile);
    EXPECT_NEAR(double(AvailableMemory()), double(available), double(64 << 20));
}
