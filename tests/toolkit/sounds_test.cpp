// The beep's silent kinds, the sound resources, and the memory figures in 64 bits.
#include "toolkit/sounds.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/win32_services.h"
#include "toolkit/memory_readouts.h"

namespace {

std::vector<uint32_t> gBeeps;

void RecordBeep(uint32_t type)
{
    gBeeps.push_back(type);
}

const void* LockedResource(int32_t id)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "WAVE");
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    return loaded ? LockResource(loaded) : nullptr;
}

MEMORYSTATUSEX MemoryStatus()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return status;
}

}  // namespace

TEST(Sounds, KindsZeroAndTwoAndSoundsOffAreSilent)
{
    gBeeps.clear();
    BeepCall previous = InstallBeepCall(RecordBeep);
    for (int32_t kind : {0, 1, 2, 3, -1}) PlaySoundBeep(kind);
    EXPECT_EQ(gBeeps, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
    SoundsOn = 0;
    PlaySoundBeep(1);
    SoundsOn = 1;
    EXPECT_EQ(gBeeps.size(), 3u);
    InstallBeepCall(previous);
}

TEST(Sounds, BothWaveResourcesAreLoadedAndAMissingOneStaysNull)
{
    ASSERT_EQ(LoadSoundResources(), 0);
    for (int32_t id : {128, 129}) {
        const void* data = SoundResourceData(id);
        ASSERT_NE(data, nullptr) << id;
        EXPECT_EQ(data, LockedResource(id));
        EXPECT_EQ(std::memcmp(data, "RIFF", 4), 0);
    }
    EXPECT_NE(SoundResourceData(128), SoundResourceData(129));
    FreeSoundResource();
    EXPECT_EQ(SoundResourceData(128), nullptr);

    // A module without the resources.
    SetAppInstance(GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(LoadSoundResources(), 0);
    EXPECT_EQ(SoundResourceData(128), nullptr);
    EXPECT_EQ(SoundResourceData(129), nullptr);
    SetAppInstance(nullptr);
    FreeSoundResource();
}

TEST(MemoryReadouts, FiguresAreThePhysicalAndPageFileSumsIn64Bits)
{
    const MEMORYSTATUSEX status = MemoryStatus();
    EXPECT_EQ(TotalMemory(), status.ullTotalPhys + status.ullTotalPageFile);

    // The available figure moves while the test runs: it must lie between two readings taken
    // around it, give or take what other processes do meanwhile.
    constexpr uint64_t kDrift = uint64_t(64) << 20;
    const MEMORYSTATUSEX before = MemoryStatus();
    const uint64_t available = AvailableMemory();
    const MEMORYSTATUSEX after = MemoryStatus();
    const uint64_t first = before.ullAvailPhys + before.ullAvailPageFile;
    const uint64_t second = after.ullAvailPhys + after.ullAvailPageFile;
    EXPECT_GE(available + kDrift, std::min(first, second));
    EXPECT_LE(available, std::max(first, second) + kDrift);
}
