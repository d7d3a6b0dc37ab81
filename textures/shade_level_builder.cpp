// Building and freeing the two sets of shade level tables.
#include "textures/shade_level_builder.h"

#include <algorithm>
#include <cmath>

#include "draw/color_cube.h"
#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "textures/shade_picks.h"

namespace {

constexpr int32_t kSetGrowStep = 8;
constexpr int32_t kTableGrowStep = 8;
constexpr int32_t kPalettedCubeEntries = 236;

// The owners of the two sets' entries.
DynamicArray* gScreenSetOwner = nullptr;
DynamicArray* gSourceSetOwner = nullptr;

// The element size of each owned table, in the order of ShadeLevelEntry::owners.
constexpr int32_t TableElementSize(int32_t table)
{
    constexpr int32_t kAfterByteTables[5] = {4, 4, 4, 2, 4};
    return table < 16 ? 1 : kAfterByteTables[table - 16];
}

// Makes the entry's 21 tables of kColorCubeSize zeroed entries, each kept locked.
bool MakeEntryTables(ShadeLevelEntry& entry)
{
    for (int32_t t = 0; t < kShadeEntryTables; ++t) {
        DynamicArray* table = NewDynamicArray(kColorCubeSize, TableElementSize(t), kTableGrowStep);
        if (!table) return false;
        entry.owners[t] = table;
        void* data = table->ArrayLock();
        if (t < 16) entry.ByteTables[t] = static_cast<uint8_t*>(data);
        switch (t) {
        case 16: entry.PlanarPatternA = static_cast<uint32_t*>(data); break;
        case 17: entry.PlanarPatternB = static_cast<uint32_t*>(data); break;
        case 18: entry.Pixels32 = static_cast<uint32_t*>(data); break;
        case 19: entry.Pixels16 = static_cast<uint16_t*>(data); break;
        case 20: entry.Pixels24 = static_cast<uint32_t*>(data); break;
        default: break;
        }
    }
    return true;
}

void FreeSet(DynamicArray*& owner)
{
    if (!owner) return;
    auto* entries = static_cast<ShadeLevelEntry*>(owner->ArrayData());
    for (int32_t level = 0; level < owner->ArrayCount(); ++level)
        for (DynamicArray* table : entries[level].owners)
            if (table) table->Destroy();
    if (owner->LockCount() > 0) owner->ArrayUnlock();
    owner->Destroy();
    owner = nullptr;
}

// The byte-table group of a packed depth, or -1 for the direct-colour depths.
int32_t GroupOfDepth(int32_t depth)
{
    switch (depth) {
    case 1: return kByteTables1Bit;
    case 2: return kByteTables2Bit;
    case 4: return kByteTables4Bit;
    case 8: return kByteTables8Bit;
    default: return -1;
    }
}

// Cube colour `index` darkened to shade level `level`: each channel times (31 - level) / 31.
RGBColor48 DarkenedCubeColor(int32_t index, int32_t level)
{
    RGBColor48 c;
    ColorCubeEntry(&c, index);
    const double scale = double(kShadeLevelCount - 1 - level) / (kShadeLevelCount - 1);
    auto darken = [scale](uint16_t channel) { return uint16_t(std::trunc(channel * scale)); };
    return {darken(c.red), darken(c.green), darken(c.blue)};
}

void FillLevel(Q_Offscreen* screen, int32_t depth, bool cubeDither, int32_t count, ShadeLevelEntry& screenEntry,
               ShadeLevelEntry& sourceEntry, int32_t level)
{
    const int32_t group = GroupOfDepth(depth);
    for (int32_t i = 0; i < count; ++i) {
        const RGBColor48 c = DarkenedCubeColor(i, level);
        if (group >= 0) {
            uint8_t picks[4];
            if (group == kByteTables8Bit && cubeDither) {
                ColorToDitherQuad(c, picks);
            } else {
                const uint32_t q = screen->MatchColorDithered(c);
                picks[0] = uint8_t(q >> 24);
                picks[1] = uint8_t(q >> 16);
                picks[2] = uint8_t(q >> 8);
                picks[3] = uint8_t(q);
            }
            ArrangeDitherPicks(picks);
            for (int32_t j = 0; j < 4; ++j) {
                const uint8_t pick = ReplicatePick(picks[j], depth);
                screenEntry.ByteTables[group + j][i] = pick;
                sourceEntry.ByteTables[group + j][i] = pick;
            }
            if (group == kByteTables4Bit) {
                const uint8_t* const* source = sourceEntry.ByteTables + kByteTables4Bit;
                screenEntry.PlanarPatternA[i] = PlanarPattern(source[0][i], source[1][i]);
                screenEntry.PlanarPatternB[i] = PlanarPattern(source[2][i], source[3][i]);
            }
        }
        if (depth == 32) {
            screenEntry.Pixels32[i] = sourceEntry.Pixels32[i] = screen->ColorToPixelFill(c);
        } else if (depth == 24) {
            screenEntry.Pixels24[i] = sourceEntry.Pixels24[i] = screen->ColorToPixelFill(c);
        } else if (depth == 16) {
            screenEntry.Pixels16[i] = sourceEntry.Pixels16[i] = uint16_t(screen->ColorToPixelFill(c));
        }
    }
}

}  // namespace

void BuildShadeLevelTables()
{
    if (ShadeLevelScreenSet || gScreenSetOwner) return;
    if (!ColorCube) BuildColorCube();
    Q_Offscreen* screen = FrontWindow();
    if (!ColorCube || !screen) return;
    const int32_t count = std::min(ColorCube->ArrayCount(), kColorCubeSize);
    const ScreenCaps& caps = GetScreenCaps();
    const bool cubeDither = caps.paletteDevice && caps.sizePalette >= kPalettedCubeEntries;

    IgnoreResult(screen->Lock());
    const int32_t depth = screen->PortDepthField();
    gScreenSetOwner = NewDynamicArray(kShadeLevelCount, sizeof(ShadeLevelEntry), kSetGrowStep);
    gSourceSetOwner = NewDynamicArray(kShadeLevelCount, sizeof(ShadeLevelEntry), kSetGrowStep);
    auto lockedEntries = [](DynamicArray* owner) {
        return owner ? static_cast<ShadeLevelEntry*>(owner->ArrayLock()) : nullptr;
    };
    ShadeLevelEntry* screenSet = lockedEntries(gScreenSetOwner);
    ShadeLevelEntry* sourceSet = lockedEntries(gSourceSetOwner);
    bool made = screenSet && sourceSet;
    for (int32_t level = 0; made && level < kShadeLevelCount; ++level) {
        SetCursorShape(kWaitCursor);
        made = MakeEntryTables(screenSet[level]) && MakeEntryTables(sourceSet[level]);
        if (made) FillLevel(screen, depth, cubeDither, count, screenSet[level], sourceSet[level], level);
    }
    screen->Unlock();
    if (!made) {
        FreeSet(gScreenSetOwner);
        FreeSet(gSourceSetOwner);
        return;
    }
    ShadeLevelScreenSet = screenSet;
    ShadeLevelSourceSet = sourceSet;
    RemapShadeLevelTables();
}

void FreeShadeLevelTables()
{
    ShadeLevelScreenSet = nullptr;
    ShadeLevelSourceSet = nullptr;
    FreeSet(gScreenSetOwner);
    FreeSet(gSourceSetOwner);
}
