// The help bar in a real frame: its window along the frame's bottom through moves, hand-overs and
// close requests, what it redraws (only what changed, read back from its window's pixels), its own
// help and the help that panes give it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/toolkit/toolkit_support.h"
#include "toolkit/help_bar.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/window.h"

namespace {

constexpr COLORREF kMarker = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class HelpBarTest : public FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_NE(frame_->GetHelpBarHost(), nullptr);
        bar_ = frame_->GetHelpBarHost()->bar;
        width_ = bar_->ContentRect().right;
        PumpMessages();
    }

    // Paints the whole bar in the marker colour, so that what is drawn next shows.
    void Mark()
    {
        HDC dc = GetDC(bar_->PaneWindow());
        HBRUSH brush = CreateSolidBrush(kMarker);
        const RECT all = {0, 0, width_, kHelpBarHeight};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ReleaseDC(bar_->PaneWindow(), dc);
    }

    COLORREF Pixel(int32_t x, int32_t y)
    {
        HDC dc = GetDC(bar_->PaneWindow());
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(bar_->PaneWindow(), dc);
        return colour;
    }

    // Sets the gauge and redraws what changed.
    void Gauge(int32_t percentage)
    {
        bar_->SetPercentage(percentage);
        bar_->RedrawPane(kHelpBarChangesOnly);
    }

    HelpBar* bar_ = nullptr;
    int32_t width_ = 0;
};

TEST_F(HelpBarTest, ItsWindowFollowsTheFrameAndLivesExactlyAsLongAsItsFrame)
{
    Window* window = frame_->GetHelpBarHost()->window;
    HWND hwnd = window->GetWindowHandle();
    EXPECT_EQ(window->Flags(), 0x420u);
    EXPECT_EQ(window->WindowOwner(), frame_);
    EXPECT_EQ(GetParent(hwnd), frame_->FrameWindow()) << "inside the frame, never covered by it";
    frame_->UnparkFrame();
    frame_->SetFrameContentRect({100, 120, 600, 420});
    PortRect strip;
    PortRect bounds;
    frame_->GetFrameClientArea(&strip);
    window->GetWindowBounds(&bounds);
    EXPECT_EQ((std::vector<int32_t>{strip.left, strip.top, strip.right, strip.bottom}),
              (std::vector<int32_t>{100, 400, 600, 420}));
    EXPECT_EQ((std::vector<int32_t>{bounds.left, bounds.top, bounds.right, bounds.bottom}),
              (std::vector<int32_t>{100, 400, 600, 420}));

    HideHelpBar();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    ShowHelpBar();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd)) << "a close request leaves the bar";

    HelpBarHost* host = frame_->GetHelpBarHost();
    auto* taker = new TestFrame;
    DocumentFrame::AttachFrameContent(frame_, taker);
    EXPECT_EQ(taker->GetHelpBarHost(), host);
    EXPECT_EQ(frame_->GetHelpBarHost(), nullptr);
    EXPECT_EQ(window->WindowOwner(), taker);
    DocumentFrame::AttachFrameContent(taker, frame_);
    taker->FreeDocumentFrame();
    TestFrame::Dispose(frame_);
    frame_ = nullptr;
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(HelpBarTest, TextAndGaugeAreRedrawnOnlyWhereTheyChanged)
{
    // A point of the text field right of any text, one of the gauge's free part, and the left
    // column of the gauge strip.
    const int32_t textX = width_ - 150;
    const int32_t freeX = width_ - 10;
    const int32_t stripLeft = width_ - 105;
    SetHelpBarText("Walk forward.");
    Gauge(30);
    Mark();
    SetHelpBarText("Walk forward.");
    Gauge(30);
    EXPECT_EQ(Pixel(textX, 10), kMarker) << "the same text is not drawn again";
    EXPECT_EQ(Pixel(freeX, 12), kMarker) << "an unchanged gauge is not drawn again";

    SetHelpBarText("Turn left.");
    EXPECT_EQ(Pixel(textX, 10), kWhite);
    EXPECT_EQ(Pixel(4, 10), kMarker) << "the text field's edge stays";
    EXPECT_EQ(Pixel(freeX, 12), kMarker);
    Mark();
    Gauge(40);
    EXPECT_EQ(Pixel(textX, 10), kMarker);
    EXPECT_EQ(Pixel(freeX, 12), kWhite);
    EXPECT_NE(Pixel(width_ - 60, 12), kMarker) << "the used part";
    EXPECT_EQ(Pixel(width_ - 60, 10), kMarker) << "only the strip is refilled";
    EXPECT_EQ(Pixel(stripLeft, 12), kMarker) << "the used part starts one pixel in";
    Mark();
    SetHelpBarText("Turn left.");
    EXPECT_EQ(Pixel(freeX, 12), kMarker) << "a drawn gauge is not drawn again";
    bar_->SetPercentage(20);
    SetHelpBarText("Walk back.");
    EXPECT_EQ(Pixel(textX, 10), kWhite);
    EXPECT_EQ(Pixel(width_ - 30, 12), kWhite) << "a gauge that changed with the text is drawn too";

    // A full gauge fills one pixel more than its width; 99 percent leaves the strip's left alone.
    Mark();
    Gauge(100);
    EXPECT_EQ(Pixel(stripLeft, 12), kWhite);
    EXPECT_EQ(Pixel(stripLeft - 1, 12), kWhite);
    EXPECT_EQ(Pixel(stripLeft - 2, 12), kMarker);
    Mark();
    Gauge(99);
    EXPECT_EQ(Pixel(stripLeft + 1, 12), kWhite);
    EXPECT_EQ(Pixel(stripLeft, 12), kMarker);
    EXPECT_EQ(Pixel(stripLeft - 1, 12), kMarker);
    Gauge(10);
    EXPECT_EQ(Pixel(width_ - 80, 12), RGB(0, 0, 0)) << "low memory";
}

TEST_F(HelpBarTest, TheRightmost106PixelsTellTheFreeMemoryInKbytes)
{
    bar_->PaneHelpAtPoint(width_ - 107, 10, 0);
    EXPECT_STREQ(bar_->Text(), "This displays information about an item or area pointed to by the cursor.");
    const uint64_t before = AvailableMemory() >> 10;
    bar_->PaneHelpAtPoint(width_ - 106, 10, 0);
    const uint64_t after = AvailableMemory() >> 10;
    uint64_t shown = 0;
    ASSERT_EQ(std::sscanf(bar_->Text(), "Free memory space is %" SCNu64 " Kbytes.", &shown), 1) << bar_->Text();
    EXPECT_EQ(bar_->Text(), "Free memory space is " + std::to_string(shown) + " Kbytes.");
    EXPECT_GE(shown, std::min(before, after));
    EXPECT_LE(shown, std::max(before, after));

    // Figures beyond 32 bits, and percentages within 0 to 100.
    char text[64];
    FormatFreeMemoryText(text, sizeof text, uint64_t(5) << 40);
    EXPECT_STREQ(text, "Free memory space is 5368709120 Kbytes.");
    EXPECT_EQ(FreeMemoryPercentage(uint64_t(2) << 30, uint64_t(8) << 30), 24);
    EXPECT_EQ(FreeMemoryPercentage(uint64_t(16) << 30, uint64_t(8) << 30), 100);
    EXPECT_EQ(FreeMemoryPercentage(1000, 0), 100);
    ASSERT_GT(TotalMemorySize, 0u);
    const int32_t least = FreeMemoryPercentage(AvailableMemory(), TotalMemorySize);
    UpdateMemoryReadout();
    const int32_t most = FreeMemoryPercentage(AvailableMemory(), TotalMemorySize);
    EXPECT_GE(bar_->Percentage(), std::min(least, most));
    EXPECT_LE(bar_->Percentage(), std::max(least, most));

    SetHelpBarText(std::string(300, 'a').c_str());
    EXPECT_EQ(std::string(bar_->Text()), std::string(255, 'a'));
}

// A pane that gives its own help text.
class HelpfulPane : public Pane {
public:
    void PaneHelpAtPoint(int32_t, int32_t, int32_t) override { ShowPaneHelp("Walk forward."); }
};

TEST_F(HelpBarTest, APaneShowsItsHelpUntilAButtonIsHeldInIt)
{
    HHOOK hook = SetWindowsHookExA(WH_MOUSE, DropRealMouseInput, nullptr, GetCurrentThreadId());
    auto* window = new Window;
    ASSERT_EQ(window->CreateWindowObject({0, 0, 200, 100}, "Help", {0, 0}, {0, 0}, {0, 0},
                                         kWindowCaption | kWindowSystemMenu, kWindowDestroys),
              kResultOk);
    window->SetWindowOwner(frame_);
    frame_->RegisterDocumentWindow(window);
    window->ShowWindowObject();
    auto* pane = new HelpfulPane;
    pane->PaneCreate(0);
    window->AddPane(pane);
    PumpMessages();
    HWND hwnd = pane->PaneWindow();

    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 30));
    EXPECT_STREQ(bar_->Text(), "Walk forward.");
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(21, 30));
    EXPECT_STREQ(bar_->Text(), "");
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(21, 30));
    PumpMessages();
    EXPECT_STREQ(bar_->Text(), "Walk forward.");

    window->DestroyWindowObject();
    UnhookWindowsHookEx(hook);
}

}  // namespace
