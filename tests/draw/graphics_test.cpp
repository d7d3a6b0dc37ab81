// The drawing layer's start-up and shutdown against the real screen.
#include "draw/graphics.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "draw/fonts.h"
#include "draw/region_work_services.h"

namespace {

class CountingRegionWork : public RegionWorkServices {
public:
    void PolyRgnStartup() override { ++startups; }
    void PolyRgnShutdown() override { ++shutdowns; }
    int startups = 0;
    int shutdowns = 0;
};

}  // namespace

TEST(Graphics, StartupRecordsTheScreenAndLoadsTheFontFileShutdownUndoesIt)
{
    CountingRegionWork regionWork;
    RegionWorkServices* previous = InstallRegionWorkServices(&regionWork);

    InitGraphics(GetModuleHandleA(nullptr));
    HDC screen = GetDC(nullptr);
    const ScreenCaps& caps = GetScreenCaps();
    EXPECT_EQ(caps.bitsPerPixel, GetDeviceCaps(screen, BITSPIXEL));
    EXPECT_EQ(caps.planes, 1);
    EXPECT_EQ(ScreenDepth(), GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES));
    EXPECT_EQ(caps.blockTransfer, 1);
    EXPECT_EQ(caps.width, GetDeviceCaps(screen, HORZRES));
    EXPECT_EQ(caps.height, GetDeviceCaps(screen, VERTRES));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(FontFileLoaded(), 1);
    EXPECT_EQ(regionWork.startups, 1);

    // The button face is known to the system while the font file is added.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previousFont = SelectObject(dc, GetFont(125, 16, 0));
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    EXPECT_STREQ(face, "BtnFnt");
    SelectObject(dc, previousFont);
    DeleteDC(dc);

    ShutdownGraphics();
    EXPECT_EQ(FontFileLoaded(), 0);
    EXPECT_EQ(regionWork.shutdowns, 1);
    InstallRegionWorkServices(previous);
}
