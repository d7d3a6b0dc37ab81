// The shade level sets and their remapping to the screen's colour table.
#include "draw/shade_level_tables.h"

#include "draw/color_cube.h"
#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "foundation/dynamic_array.h"

ShadeLevelEntry* ShadeLevelSourceSet = nullptr;
ShadeLevelEntry* ShadeLevelScreenSet = nullptr;

void RemapShadeLevelTables()
{
    Q_Offscreen* device = FrontWindow();
    if (!device || device->PortDepthField() != 8) return;
    DynamicArray* colorTable = device->MatchBlock().colorTable;
    const ScreenCaps& caps = GetScreenCaps();
    // Only on such a screen were the source tables built from cube indices.
    if (!colorTable || !caps.paletteDevice || caps.sizePalette < 236) return;
    if (!ShadeLevelSourceSet || !ShadeLevelScreenSet) return;

    const auto* entries = static_cast<const ColorTableEntry*>(colorTable->ArrayLock());
    const int32_t count = colorTable->ArrayCount();
    for (int32_t level = 0; level < kShadeLevelCount; ++level) {
        for (int32_t j = kByteTables8Bit; j < kByteTables8Bit + 4; ++j) {
            const uint8_t* source = ShadeLevelSourceSet[level].ByteTables[j];
            uint8_t* screen = ShadeLevelScreenSet[level].ByteTables[j];
            if (!source || !screen) continue;
            for (int32_t i = 0; i < kColorCubeSize; ++i)
                if (source[i] < count) screen[i] = uint8_t(entries[source[i]].pixel);
        }
    }
    colorTable->ArrayUnlock();
}
