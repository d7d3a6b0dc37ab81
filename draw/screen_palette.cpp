// The screen's own system palette reader, used unless a test installs another.
#include <windows.h>

#include "draw/screen_caps.h"
#include "foundation/service_slot.h"

static_assert(sizeof(PaletteColor) == sizeof(PALETTEENTRY), "PaletteColor mirrors PALETTEENTRY");

namespace {

class SystemScreenPalette : public ScreenPalette {
public:
    int32_t ReadSystemEntries(int32_t first, int32_t count, PaletteColor* entries) override
    {
        HDC dc = GetDC(nullptr);
        const UINT read = GetSystemPaletteEntries(dc, UINT(first), UINT(count),
                                                  reinterpret_cast<PALETTEENTRY*>(entries));
        ReleaseDC(nullptr, dc);
        return int32_t(read);
    }

    // An identity palette names system palette entry i by index i (PC_EXPLICIT); realised in a
    // screen DC, the nearest colour of each index is the colour that entry shows.
    void ReadIndexColors(int32_t count, PaletteColor* colors) override
    {
        struct {
            WORD version;
            WORD entries;
            PALETTEENTRY entry[256];
        } identity{0x300, WORD(count), {}};
        for (int32_t i = 0; i < count; ++i)
            identity.entry[i] = {BYTE(i & 0xFF), BYTE(i >> 8), 0, PC_EXPLICIT};
        HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&identity));
        HDC dc = GetDC(nullptr);
        HPALETTE previous = SelectPalette(dc, palette, TRUE);
        RealizePalette(dc);
        for (int32_t i = 0; i < count; ++i) {
            const COLORREF c = GetNearestColor(dc, PALETTEINDEX(i));
            colors[i] = {GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        SelectPalette(dc, previous, TRUE);
        ReleaseDC(nullptr, dc);
        DeleteObject(palette);
    }
};

SystemScreenPalette gSystemPalette;
ServiceSlot<ScreenPalette> gPalette(&gSystemPalette);

}  // namespace

ScreenPalette* InstallScreenPalette(ScreenPalette* palette)
{
    return gPalette.Install(palette);
}

ScreenPalette& CurrentScreenPalette()
{
    return gPalette.Current();
}
