// The program palette and the colour-match blocks of screen devices.
#include "draw/program_palette.h"

#include <windows.h>

#include <cstring>

#include "draw/color_cube.h"
#include "draw/device_list.h"
#include "draw/q_offscreen.h"
#include "draw/screen_caps.h"
#include "draw/shade_level_tables.h"
#include "foundation/dynamic_array.h"

HPALETTE ProgramPalette = nullptr;

namespace {

constexpr int32_t kStaticColors = 10;
constexpr int32_t kFirstFreeEntry = 246;  // entries 10 to 245 are the program's
constexpr int32_t kColorTableEntries = 256;

struct LogicalPalette256 {
    WORD version;
    WORD count;
    PALETTEENTRY entries[256];
};

HPALETTE MakePalette(LogicalPalette256& logical, int32_t count)
{
    logical.version = 0x300;
    logical.count = WORD(count);
    return CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
}

// Makes the program palette and realises it in the DC as its foreground palette; the number of
// entries realised.
int32_t MakeProgramPalette(HDC dc, LogicalPalette256& logical, int32_t count)
{
    ProgramPalette = MakePalette(logical, count);
    if (!ProgramPalette) return 0;
    SelectPalette(dc, ProgramPalette, FALSE);
    return int32_t(RealizePalette(dc));
}

// Realising a palette of 256 black entries empties the system palette's free entries.
void FlushSystemPalette(HDC dc)
{
    LogicalPalette256 black{};
    for (PALETTEENTRY& e : black.entries) e.peFlags = PC_NOCOLLAPSE;
    HPALETTE palette = MakePalette(black, 256);
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, previous, TRUE);
    DeleteObject(palette);
}

// A cube colour in the palette: blue with bit 0 set (255 as 254), so that no cube colour equals
// a static colour.
PALETTEENTRY CubeEntry(const RGBColor48& c)
{
    const int32_t blue = c.blue >> 8;
    return {BYTE(c.red >> 8), BYTE(c.green >> 8), BYTE(blue == 255 ? 254 : blue | 1), PC_NOCOLLAPSE};
}

int32_t CreateCubePalette()
{
    HWND window = CreateWindowExA(0, "STATIC", "Palette Window", WS_DISABLED, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return 0;
    SetForegroundWindow(window);
    HDC dc = GetDC(window);
    FlushSystemPalette(dc);

    LogicalPalette256 logical{};
    CurrentScreenPalette().ReadSystemEntries(0, 256, reinterpret_cast<PaletteColor*>(logical.entries));
    for (int32_t i = 0; i < 256; ++i)
        logical.entries[i].peFlags = i >= kStaticColors && i < kFirstFreeEntry ? PC_NOCOLLAPSE : 0;
    for (int32_t i = 0; i < kColorCubeSize; ++i)
        logical.entries[kStaticColors + i] = CubeEntry(*ColorCube->At<RGBColor48>(i));
    for (int32_t i = kStaticColors + kColorCubeSize; i < kFirstFreeEntry; ++i)
        logical.entries[i] = {0, 0, 0, PC_NOCOLLAPSE};

    const int32_t realised = MakeProgramPalette(dc, logical, 256);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return realised;
}

int32_t PixelsPerWord(int32_t bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 4:
        return 8;
    case 8:
        return 4;
    case 16:
        return 2;
    case 24:
    case 32:
        return 1;
    default:
        return 0;
    }
}

DynamicArray* EnsureArray(DynamicArray*& array, int32_t count, int32_t elementSize, int32_t growStep)
{
    if (!array) array = NewDynamicArray(count, elementSize, growStep);
    return array;
}

// The colour `colour` shows in the device's DC and the device's first pixel byte once the first
// four pixels are set to it.
ColorTableEntry ReadBackColour(HDC dc, COLORREF colour, const uint8_t* pixels)
{
    const COLORREF nearest = GetNearestColor(dc, colour);
    for (int32_t x = 0; x < 4; ++x) SetPixel(dc, x, 0, colour);
    GdiFlush();
    return {GetRValue(nearest), GetGValue(nearest), GetBValue(nearest), pixels[0]};
}

}  // namespace

int32_t CreateProgramPalette()
{
    ProgramPalette = nullptr;
    BuildColorCube();
    if (OffscreenScreenDepth() == 4) {
        LogicalPalette256 logical{};
        CurrentScreenPalette().ReadSystemEntries(0, 16, reinterpret_cast<PaletteColor*>(logical.entries));
        HDC screen = GetDC(nullptr);
        const int32_t realised = MakeProgramPalette(screen, logical, 16);
        ReleaseDC(nullptr, screen);
        return realised;
    }
    if (!ColorCube || ColorCube->ArrayCount() < 21) return 0;
    return CreateCubePalette();
}

int32_t RealizeProgramPalette(HWND window)
{
    HDC dc = GetDC(window);
    HPALETTE previous = SelectPalette(dc, ProgramPalette, FALSE);
    const int32_t changed = int32_t(RealizePalette(dc));
    SelectPalette(dc, previous, TRUE);
    ReleaseDC(window, dc);
    return changed;
}

void DisposeProgramPalette()
{
    if (ProgramPalette) DeleteObject(ProgramPalette);
    ProgramPalette = nullptr;
    DestroyColorCube();
}

void RebuildWindowPalette(Q_Offscreen* device)
{
    device->MatchBlock() = ColorMatchBlock();
    BuildDeviceColorTables(device);
}

int32_t BuildChannelTables(Q_Offscreen* device)
{
    const PixelFormat& format = device->Format();
    const int32_t perWord = PixelsPerWord(format.bitsPerPixel);
    if (format.planes != 1 || !format.pixelAccess || !format.pixelBits || perWord == 0 ||
        format.rowBytes < 8 || format.width < perWord)
        return 0;
    PortRect ignored;
    HDC dc = device->GetDrawingDC(&ignored);
    uint32_t* words = reinterpret_cast<uint32_t*>(format.pixelBits);
    GdiFlush();
    words[0] = words[1] = 0;

    ColorMatchBlock& block = device->MatchBlock();
    DynamicArray** tables[3] = {&block.redTable, &block.greenTable, &block.blueTable};
    uint32_t all[3];
    uint32_t any[3];
    bool made = true;
    for (int32_t channel = 0; channel < 3; ++channel) {
        DynamicArray* table = EnsureArray(*tables[channel], 256, sizeof(uint32_t), 32);
        if (!table) {
            made = false;
            break;
        }
        uint32_t* values = static_cast<uint32_t*>(table->ArrayLock());
        all[channel] = 0xFFFFFFFF;
        any[channel] = 0;
        for (int32_t v = 0; v < 256; ++v) {
            const COLORREF colour = channel == 0 ? RGB(v, 0, 0) : channel == 1 ? RGB(0, v, 0) : RGB(0, 0, v);
            for (int32_t x = 0; x < perWord; ++x) SetPixel(dc, x, 0, colour);
            GdiFlush();
            values[v] = words[0];
            all[channel] &= values[v];
            any[channel] |= values[v];
        }
        table->ArrayUnlock();
    }
    device->ReleaseDrawingDC(dc);

    const uint32_t common = all[0];
    const bool accepted = made && words[1] == 0 && all[1] == common && all[2] == common &&
                          ((any[0] & any[1]) & ~common) == 0 && ((any[0] & any[2]) & ~common) == 0 &&
                          ((any[1] & any[2]) & ~common) == 0 &&
                          (format.bitsPerPixel != 24 || ((any[0] | any[1] | any[2]) & 0xFF000000) == 0);
    if (accepted) return 1;
    for (DynamicArray** table : tables) DestroyArray(*table);
    return 0;
}

int32_t BuildDeviceColorTables(Q_Offscreen* device)
{
    const int32_t depth = device->Depth();
    if (BuildChannelTables(device)) return 1;
    if (depth >= 9) return 0;

    const int32_t n = 1 << depth;
    ColorMatchBlock& block = device->MatchBlock();
    if (!EnsureArray(block.matchCache, kMatchCacheEntries, sizeof(uint32_t), 32) ||
        !EnsureArray(block.colorTable, kColorTableEntries, sizeof(ColorTableEntry), 16) ||
        block.colorTable->ArraySetCount(kColorTableEntries) != kResultOk)
        return 0;
    IgnoreResult(device->Lock());

    const PixelFormat& format = device->Format();
    const ScreenCaps& caps = GetScreenCaps();
    ColorTableEntry* table = block.colorTable->Elements<ColorTableEntry>();
    PortRect ignored;
    HDC dc = device->GetDrawingDC(&ignored);
    int32_t made = 0;
    if (format.pixelAccess && format.bitsPerPixel == 8 && format.rowBytes >= 5 && caps.numColors != 16) {
        // One entry per cube colour: colour-table entry i shows cube index i.
        for (; made < kColorCubeSize; ++made)
            table[made] = ReadBackColour(dc, PALETTEINDEX(kStaticColors + made), format.pixelBits);
    } else if (format.pixelAccess && format.bitsPerPixel == 8 && format.rowBytes >= 5) {
        LogicalPalette256 identity{};
        for (int32_t i = 0; i < n; ++i) identity.entries[i] = {BYTE(i & 0xFF), BYTE(i >> 8), 0, PC_EXPLICIT};
        HPALETTE palette = MakePalette(identity, n);
        HPALETTE previous = SelectPalette(dc, palette, TRUE);
        RealizePalette(dc);
        for (; made < 16; ++made) table[made] = ReadBackColour(dc, PALETTEINDEX(made), format.pixelBits);
        SelectPalette(dc, previous, TRUE);
        DeleteObject(palette);
    } else {
        PaletteColor colours[256];
        CurrentScreenPalette().ReadIndexColors(n, colours);
        for (; made < n; ++made)
            table[made] = {colours[made].red, colours[made].green, colours[made].blue, uint16_t(made)};
    }
    device->ReleaseDrawingDC(dc);

    IgnoreResult(block.colorTable->ArraySetCount(made));  // never more than the entries made room for above
    uint32_t* cache = block.matchCache->Elements<uint32_t>();
    for (int32_t i = 0; i < block.matchCache->ArrayCount(); ++i) cache[i] = kEmptyMatch;
    device->Unlock();
    return 0;
}

void RefreshDevicePalette(Q_Offscreen* device)
{
    const ScreenCaps& caps = GetScreenCaps();
    if (!device->MatchBlock().matchCache || !caps.paletteDevice || caps.sizePalette < 236) return;
    BuildDeviceColorTables(device);
    RemapShadeLevelTables();
}

void RefreshAllDevicePalettes()
{
    for (Q_Offscreen* device = FrontWindow(); device; device = NextWindow(device))
        RefreshDevicePalette(device);
}
