// The help bar in a real frame: its window along the frame's bottom through moves, hand-overs and
// close requests, what it redraws (only what changed, read back from its window's pixels), its
// gauge, its own help and the help that panes give it.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>

#include "draw/screen_caps.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/help_bar.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/window.h"

namespace {

constexpr COLORREF kMarker = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr char kDescription[] = "This displays information about an item or area pointed to by the cursor.";

void ExpectRect(const PortRect& actual, const PortRect& expected)
{
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

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
        HWND hwnd = bar_->PaneWindow();
        HDC dc = GetDC(hwnd);
        HBRUSH brush = CreateSolidBrush(kMarker);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        ReleaseDC(hwnd, dc);
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

    // Sets the gauge and redraws the whole bar.
    void FullGauge(int32_t percentage)
    {
        bar_->SetPercentage(percentage);
        bar_->RedrawPane(kDrawFull);
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
    EXPECT_TRUE(window->IsWindowObjectVisible());
    PortRect strip;
    PortRect bounds;
    frame_->GetFrameClientArea(&strip);
    window->GetWindowBounds(&bounds);
    EXPECT_EQ(strip.Height(), kHelpBarHeight);
    ExpectRect(bounds, strip);

    frame_->UnparkFrame();
    frame_->SetFrameContentRect({100, 120, 600, 420});
    window->GetWindowBounds(&bounds);
    ExpectRect(bounds, {100, 400, 600, 420});

    HideHelpBar();
    EXPECT_FALSE(IsWindowVisible(hwnd));
    ShowHelpBar();
    EXPECT_TRUE(IsWindowVisible(hwnd));

    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(hwnd)) << "a close request leaves the bar";
    EXPECT_EQ(frame_->GetHelpBarHost()->window, window);

    HelpBarHost* host = frame_->GetHelpBarHost();
    auto* taker = new TestFrame;
    DocumentFrame::AttachFrameContent(frame_, taker);
    EXPECT_EQ(taker->GetHelpBarHost(), host);
    EXPECT_EQ(frame_->GetHelpBarHost(), nullptr);
    EXPECT_EQ(window->WindowOwner(), taker);
    DocumentFrame::AttachFrameContent(taker, frame_);
    EXPECT_EQ(frame_->GetHelpBarHost(), host);
    taker->FreeDocumentFrame();

    TestFrame::Dispose(frame_);
    frame_ = nullptr;
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(HelpBarTest, TextAndGaugeAreRedrawnOnlyWhereTheyChanged)
{
    // A point of the text field right of any text, one of the gauge's free part, and the two
    // columns left of the gauge strip.
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

    // A full gauge fills one pixel more than its width; 99 percent leaves the strip's left alone.
    Gauge(100);
    EXPECT_EQ(Pixel(stripLeft, 12), kWhite);
    EXPECT_EQ(Pixel(stripLeft - 1, 12), kWhite);
    EXPECT_EQ(Pixel(stripLeft - 2, 12), kMarker);
    Mark();
    Gauge(99);
    EXPECT_EQ(Pixel(stripLeft + 1, 12), kWhite);
    EXPECT_EQ(Pixel(stripLeft, 12), kMarker);
    EXPECT_EQ(Pixel(stripLeft - 1, 12), kMarker);
}

TEST_F(HelpBarTest, LowMemoryShowsBlackOrRedAndMoreShowsGreyOrBlue)
{
    const int32_t usedX = width_ - 80;
    FullGauge(10);
    EXPECT_EQ(Pixel(usedX, 12), RGB(0, 0, 0));
    FullGauge(11);
    EXPECT_NE(Pixel(usedX, 12), Pixel(usedX + 1, 12)) << "checked grey";

    const ScreenCaps screen = GetScreenCaps();
    SetScreenCaps(ScreenCapsOfDepth(8));
    FullGauge(10);
    EXPECT_EQ(Pixel(usedX, 12), RGB(255, 0, 0));
    FullGauge(11);
    EXPECT_EQ(Pixel(usedX, 12), RGB(0, 0, 255));
    SetScreenCaps(screen);
}

TEST_F(HelpBarTest, TheRightmost106PixelsTellTheFreeMemoryInKbytes)
{
    bar_->PaneHelpAtPoint(width_ - 107, 10, 0);
    EXPECT_STREQ(bar_->Text(), kDescription);
    const uint64_t before = AvailableMemory() >> 10;
    bar_->PaneHelpAtPoint(width_ - 106, 10, 0);
    const uint64_t after = AvailableMemory() >> 10;
    uint64_t shown = 0;
    ASSERT_EQ(std::sscanf(bar_->Text(), "Free memory space is %" SCNu64 " Kbytes.", &shown), 1) << bar_->Text();
    char expected[kHelpTextSize];
    std::snprintf(expected, sizeof expected, "Free memory space is %" PRIu64 " Kbytes.", shown);
    EXPECT_STREQ(bar_->Text(), expected);
    EXPECT_GE(shown, std::min(before, after));
    EXPECT_LE(shown, std::max(before, after));

    // Figures beyond 32 bits, and percentages within 0 to 100.
    char text[64];
    FormatFreeMemoryText(text, sizeof text, uint64_t(5) << 40);
    EXPECT_STREQ(text, "Free memory space is 5368709120 Kbytes.");
    EXPECT_EQ(FreeMemoryPercentage(uint64_t(2) << 30, uint64_t(8) << 30), 24);
    EXPECT_EQ(FreeMemoryPercentage(uint64_t(16) << 30, uint64_t(8) << 30), 100);
    EXPECT_EQ(FreeMemoryPercentage(1000, 0), 100);
    EXPECT_EQ(FreeMemoryPercentage(0, uint64_t(8) << 30), 0);
    ASSERT_GT(TotalMemorySize, 0u);
    UpdateMemoryReadout();
    EXPECT_NEAR(bar_->Percentage(), FreeMemoryPercentage(AvailableMemory(), TotalMemorySize), 1);

    SetHelpBarText(std::string(300, 'a').c_str());
    EXPECT_EQ(std::string(bar_->Text()), std::string(255, 'a'));
    SetHelpBarText(nullptr);
    EXPECT_EQ(std::string(bar_->Text()), std::string(255, 'a'));
}

// A pane that gives its own help text.
class HelpfulPane : public Pane {
public:
    void PaneHelpAtPoint(int32_t, int32_t, int32_t) override { ShowPaneHelp("Walk forward."); }
};

LRESULT CALLBACK DropRealMouseInput(int code, WPARAM wParam, LPARAM lParam)
{
    return code < 0 ? CallNextHookEx(nullptr, code, wParam, lParam) : 1;
}

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
