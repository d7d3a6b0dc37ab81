// Test support for offscreens: a screen of any depth with a fixed system palette, the program
// palette and a screen device offscreen in the device list, all undone at the end of the scope.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "draw/device_list.h"
#include "draw/mem_pix_map.h"
#include "draw/program_palette.h"
#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/memory_stream.h"
#include "tests/draw/screen_support.h"

// A system palette of the usual static colours (entries 0 to 9 and 246 to 255, black between
// them); its first 16 entries are the colours of a 16-colour screen.
class FixedScreenPalette : public ScreenPalette {
public:
    FixedScreenPalette() : previous_(InstallScreenPalette(this))
    {
        static const PaletteColor kLow[10] = {{0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},
                                              {128, 128, 0, 0},   {0, 0, 128, 0},     {128, 0, 128, 0},
                                              {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0},
                                              {166, 202, 240, 0}};
        static const PaletteColor kHigh[10] = {{255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0},
                                               {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
                                               {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},
                                               {255, 255, 255, 0}};
        for (int32_t i = 0; i < 10; ++i) {
            entries[i] = kLow[i];
            entries[246 + i] = kHigh[i];
        }
        // A 16-colour screen's entries 10 to 15.
        entries[10] = {255, 0, 0, 0};
        entries[11] = {0, 255, 0, 0};
        entries[12] = {255, 255, 0, 0};
        entries[13] = {0, 0, 255, 0};
        entries[14] = {255, 0, 255, 0};
        entries[15] = {255, 255, 255, 0};
    }
    ~FixedScreenPalette() override { InstallScreenPalette(previous_); }

    int32_t ReadSystemEntries(int32_t first, int32_t count, PaletteColor* out) override
    {
        std::memcpy(out, entries + first, sizeof(PaletteColor) * size_t(count));
        return count;
    }
    void ReadIndexColors(int32_t count, PaletteColor* colors) override
    {
        std::memcpy(colors, entries, sizeof(PaletteColor) * size_t(count));
    }

    PaletteColor entries[256] = {};

private:
    ScreenPalette* previous_;
};

// Every DC answers the recorded capabilities (those of the screen a test stands in) for the life
// of a scope.
class ScopedRecordedCaps {
public:
    ScopedRecordedCaps() : previous_(InstallDeviceCapsReader(&reader_)) {}
    ~ScopedRecordedCaps() { InstallDeviceCapsReader(previous_); }
    ScopedRecordedCaps(const ScopedRecordedCaps&) = delete;
    ScopedRecordedCaps& operator=(const ScopedRecordedCaps&) = delete;

private:
    RecordedCapsReader reader_;
    DeviceCapsReader* previous_;
};

// A screen of the given depth as the drawing layer's start-up leaves it: the program palette and
// one screen device offscreen in the device list with its colour-match block; every DC is a DC
// of that screen.
class TestScreen {
public:
    explicit TestScreen(int32_t depth) : TestScreen(ScreenCapsOfDepth(depth)) {}
    explicit TestScreen(const ScreenCaps& caps) : caps_(caps)
    {
        CreateProgramPalette();
        EXPECT_EQ(InitWindowList(), kResultOk);
        device = FrontWindow();
    }
    ~TestScreen()
    {
        DisposeWindowList();
        DisposeProgramPalette();
    }
    TestScreen(const TestScreen&) = delete;
    TestScreen& operator=(const TestScreen&) = delete;

    Q_Offscreen* device = nullptr;

private:
    ScopedScreenCaps caps_;
    ScopedRecordedCaps reader_;
    FixedScreenPalette palette_;
};

// An offscreen made with QOffscreenInit, disposed at the end of the scope.
inline Owned<Q_Offscreen> MakeOffscreen(int32_t width, int32_t height, int32_t depth,
                                        const RGBColor48* fill = nullptr)
{
    Owned<Q_Offscreen> offscreen(new Q_Offscreen);
    EXPECT_EQ(offscreen->QOffscreenInit({0, 0, width, height}, depth, fill), kResultOk);
    return offscreen;
}

// A pixel map that counts how often a drawing takes its row table and hands it back, and keeps
// what it was handed back last.
class RowCountingPixMap : public MemPixMap {
public:
    uint8_t** GetRowTable() override
    {
        ++taken;
        return MemPixMap::GetRowTable();
    }
    void ReleaseRowTable(uint8_t* const* rows, int32_t rowCount) override
    {
        ++handedBack;
        lastRows = rows;
        lastRowCount = rowCount;
    }

    int32_t taken = 0;
    int32_t handedBack = 0;
    uint8_t* const* lastRows = nullptr;
    int32_t lastRowCount = 0;
};

// The pixel at (x, y) of a 32-bit offscreen as 0x00RRGGBB.
inline uint32_t Pixel32(Q_Offscreen* offscreen, int32_t x, int32_t y)
{
    GdiFlush();
    return reinterpret_cast<uint32_t*>(offscreen->GetRowTable()[y])[x] & 0xFFFFFF;
}

// The right and bottom of a port's bounds (a pointer or an owner of one): its width and height
// when they start at the origin.
template <class Port>
std::pair<int32_t, int32_t> BoundsSize(const Port& port)
{
    PortRect bounds;
    port->GetBounds(&bounds);
    return {bounds.right, bounds.bottom};
}
