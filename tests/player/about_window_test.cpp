// The about window's two forms with a clock of the tests' own: the start-up short window closes
// after 360 units of 16 ms and not before, also across a wrap of the tick count; opened by the
// user either form waits for a key or a button press, never closing for a mouse move or a
// release, nor for a key pressed while it was being made; a WM_QUIT taken is posted again; the
// session cannot end meanwhile; the about box draws flat grey faces without direct pixel drawing
// and ends at start-up only after a full turn; both loops wait for the next unit rather than
// spin.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "draw/port_base.h"
#include "foundation/disk_file_stream.h"
#include "player/about_window.h"
#include "player/open_command.h"
#include "player/player_menus.h"
#include "render/face_front_end.h"
#include "tests/toolkit/toolkit_support.h"
#include "textures/shade_level_builder.h"
#include "toolkit/document_frame.h"

namespace {

constexpr char kShortTitle[] = "Tamrix Player";
constexpr char kBoxTitle[] = "Tamrix";
constexpr uint32_t kUnit = 16;
// A step that puts the start-up time behind at the first reading.
constexpr uint32_t kLeap = 6000;
// Far beyond any loop under test: a key then ends it, so that a fault fails instead of hanging.
constexpr int32_t kGuardRead = 5000;
constexpr int32_t kBoxWidth = 308;
constexpr int32_t kBoxHeight = 228;

// The loops' clock: each reading returns the next time and runs the test's action first.
struct TestClock {
    inline static uint32_t now = 0;
    inline static uint32_t step = kUnit;
    inline static int32_t reads = 0;
    inline static std::function<void(int32_t)> onRead;

    static uint32_t Read()
    {
        ++reads;
        if (onRead) onRead(reads);
        if (reads == kGuardRead) PostMessageA(OpenAboutWindow(), WM_KEYDOWN, 'G', 0);
        const uint32_t time = now;
        now += step;
        return time;
    }

    static void Start(uint32_t start, uint32_t stepBy, std::function<void(int32_t)> action = {})
    {
        now = start;
        step = stepBy;
        reads = 0;
        onRead = std::move(action);
    }

    static HWND OpenAboutWindow()
    {
        HWND window = FindWindowA(nullptr, kShortTitle);
        return window ? window : FindWindowA(nullptr, kBoxTitle);
    }
};

// The window's client pixels (0xRRGGBB), copied from its DC.
class WindowPicture {
public:
    explicit WindowPicture(HWND window) : port_(kBoxWidth, kBoxHeight)
    {
        HDC dc = GetDC(window);
        BitBlt(port_.dc(), 0, 0, kBoxWidth, kBoxHeight, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    uint32_t Pixel(int32_t x, int32_t y) const { return port_.Pixel(x, y); }

private:
    PixelPort port_;
};

bool IsGrey(uint32_t pixel)
{
    return (pixel >> 16) == ((pixel >> 8) & 0xFF) && ((pixel >> 8) & 0xFF) == (pixel & 0xFF);
}

class AboutWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InstallRendererRegionWork();
        IgnoreResult(PolyRgnStartup());
        BuildShadeLevelTables();
    }

    static void TearDownTestSuite()
    {
        FreeShadeLevelTables();
        PolyRgnShutdown();
    }

    void SetUp() override
    {
        previousClock_ = InstallAboutTickSource(TestClock::Read);
        platform_ = ProgramVolumeLimits.platform;
        PumpMessages();
    }

    void TearDown() override
    {
        InstallAboutTickSource(previousClock_);
        TestClock::onRead = {};
        ProgramVolumeLimits.platform = platform_;
        SetGdiOnlyDrawing(0);
        EXPECT_EQ(TestClock::OpenAboutWindow(), nullptr);
        EXPECT_EQ(AboutWindowRunning(), 0);
    }

    AboutTickSource previousClock_ = nullptr;
    int32_t platform_ = 0;
};

TEST_F(AboutWindowTest, TheStartUpWindowClosesAfter360UnitsAndNotBeforeAlsoAcrossAWrap)
{
    // From an ordinary start, and from 100 units before the tick count wraps.
    for (uint32_t start : {0x1000u, 0u - 100 * kUnit}) {
        std::vector<int32_t> shownAt;
        TestClock::Start(start, kUnit, [&](int32_t read) {
            if (IsWindowVisible(FindWindowA(nullptr, kShortTitle))) shownAt.push_back(read);
        });
        ShowShortAboutWindow(kAboutAtStartUp);
        // One reading at the start and one per unit: the reading of unit 360 ends the loop.
        EXPECT_EQ(TestClock::reads, 1 + 360) << std::hex << start;
        ASSERT_FALSE(shownAt.empty());
        EXPECT_EQ(shownAt.front(), 1);
        EXPECT_EQ(shownAt.back(), 361);
        EXPECT_EQ(shownAt.size(), 361u);
    }
}

TEST_F(AboutWindowTest, OpenedByTheUserEitherFormWaitsForAPressNeverForAMoveOrARelease)
{
    SetGdiOnlyDrawing(1);
    for (bool box : {false, true}) {
        for (UINT press : {UINT(WM_KEYDOWN), UINT(WM_LBUTTONDOWN), UINT(WM_RBUTTONDOWN)}) {
            TestClock::Start(0, kLeap, [press](int32_t read) {
                HWND window = TestClock::OpenAboutWindow();
                if (read == 100) PostMessageA(window, WM_MOUSEMOVE, 0, Point(5, 5));
                if (read == 110) PostMessageA(window, WM_KEYUP, 'A', 0);
                if (read == 120) PostMessageA(window, WM_LBUTTONUP, 0, Point(5, 5));
                if (read == 200) PostMessageA(window, press, press == WM_KEYDOWN ? 'A' : MK_LBUTTON, Point(5, 5));
            });
            if (box)
                ShowAboutBox(kAboutOpenedByUser);
            else
                ShowShortAboutWindow(kAboutOtherForm);
            EXPECT_EQ(TestClock::reads, 200) << (box ? "box " : "short ") << std::hex << press;
        }
    }
}

// A key pressed while the about window is being made, once for each window shown.
bool gKeyPressed = false;

LRESULT CALLBACK PressKeyOnCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !gKeyPressed) {
        gKeyPressed = true;
        PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, 'A', 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(AboutWindowTest, AKeyPressedWhileTheWindowIsMadeClosesNothing)
{
    SetGdiOnlyDrawing(1);
    HHOOK hook = SetWindowsHookExA(WH_CBT, PressKeyOnCreation, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    for (bool box : {false, true}) {
        gKeyPressed = false;
        TestClock::Start(0, kUnit, [](int32_t read) {
            if (read == 20) PostMessageA(TestClock::OpenAboutWindow(), WM_KEYDOWN, 'B', 0);
        });
        if (box)
            ShowAboutBox(kAboutOpenedByUser);
        else
            ShowShortAboutWindow(kAboutOtherForm);
        EXPECT_TRUE(gKeyPressed);
        EXPECT_EQ(TestClock::reads, 20) << (box ? "box" : "short");
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(AboutWindowTest, AQuitTakenIsPostedAgainAndTheSessionCannotEndMeanwhile)
{
    SetGdiOnlyDrawing(1);
    for (bool box : {false, true}) {
        LRESULT endSession = -1;
        int32_t refused = -1;
        int32_t running = -1;
        TestClock::Start(0, kUnit, [&](int32_t read) {
            if (read != 10) return;
            endSession = SendMessageA(TestClock::OpenAboutWindow(), WM_QUERYENDSESSION, 0, 0);
            refused = FrameCloseRefused();
            running = AboutWindowRunning();
            PostQuitMessage(7);
        });
        if (box)
            ShowAboutBox(kAboutAtStartUp);
        else
            ShowShortAboutWindow(kAboutAtStartUp);
        EXPECT_EQ(TestClock::reads, 10);
        EXPECT_EQ(endSession, 0);
        EXPECT_EQ(refused, 1);
        EXPECT_EQ(running, 1);
        EXPECT_EQ(TakeQuit(), 7);
        EXPECT_EQ(FrameCloseRefused(), 0);
    }
}

TEST_F(AboutWindowTest, WithoutDirectPixelDrawingTheCubesFacesAreFlatGreyOverItsShadow)
{
    SetGdiOnlyDrawing(1);
    std::vector<uint32_t> firstFrame;
    std::vector<uint32_t> centres;
    std::vector<std::string> coloured;
    TestClock::Start(0, kUnit, [&](int32_t read) {
        // The reading of frame n + 1 follows frame n on the screen; frame 0 shows the bottom cap.
        if (read < 3 || read % 16 != 3) return;
        WindowPicture picture(FindWindowA(nullptr, kBoxTitle));
        if (read == 3) {
            for (auto [x, y] : {std::pair{118, 93}, {60, 35}, {176, 151}, {240, 190}})
                firstFrame.push_back(picture.Pixel(x, y));
        }
        centres.push_back(picture.Pixel(118, 93));
        // Whatever way the cube turns, faces cover the disc its inscribed sphere casts.
        for (int32_t y = 93 - 60; y <= 93 + 60; y += 3) {
            for (int32_t x = 118 - 60; x <= 118 + 60; x += 3) {
                if (std::hypot(x - 118, y - 93) <= 60 && !IsGrey(picture.Pixel(x, y)))
                    coloured.push_back(std::to_string(read) + ":" + std::to_string(x) + "," + std::to_string(y));
            }
        }
        if (read == 99) PostMessageA(FindWindowA(nullptr, kBoxTitle), WM_KEYDOWN, 'A', 0);
    });
    ShowAboutBox(kAboutOpenedByUser);
    EXPECT_EQ(TestClock::reads, 99);
    // The bottom cap lit by (-60, 110, -220) at 56320 of 65535 is grey 220; the shadow is black.
    EXPECT_EQ(firstFrame, (std::vector<uint32_t>{0xDCDCDC, 0xDCDCDC, 0xDCDCDC, 0x000000}));
    EXPECT_TRUE(coloured.empty()) << coloured.size() << " coloured pixels, e.g. at " << coloured.front();
    // The light on the faces changes as the cube turns.
    ASSERT_EQ(centres.size(), 7u);
    EXPECT_NE(centres.front(), centres.back());
}

TEST_F(AboutWindowTest, AtStartUpTheBoxEndsOnceTheTimeHasPassedAndAFullTurnIsDone)
{
    SetGdiOnlyDrawing(1);
    // The time is up at once: the full turn of 128 frames still runs.
    TestClock::Start(0, kLeap);
    ShowAboutBox(kAboutAtStartUp);
    EXPECT_EQ(TestClock::reads, 1 + 128);
    // The turn is done first: the time still runs out.
    TestClock::Start(0, kUnit);
    ShowAboutBox(kAboutAtStartUp);
    EXPECT_EQ(TestClock::reads, 1 + 360);
}

// The system's clock, its readings counted; a key closes the window once `closeAfter` ms have
// passed since the first reading.
struct CountedSystemClock {
    inline static int32_t reads = 0;
    inline static uint32_t start = 0;
    inline static uint32_t closeAfter = 0;

    static uint32_t Read()
    {
        const uint32_t now = GetTickCount();
        if (reads++ == 0) start = now;
        if (now - start >= closeAfter) PostMessageA(TestClock::OpenAboutWindow(), WM_KEYDOWN, 'A', 0);
        return now;
    }
};

TEST_F(AboutWindowTest, BothLoopsWaitForTheNextUnitInsteadOfSpinning)
{
    SetGdiOnlyDrawing(1);
    InstallAboutTickSource(CountedSystemClock::Read);
    constexpr uint32_t kShownFor = 20 * kUnit;
    for (bool box : {false, true}) {
        CountedSystemClock::reads = 0;
        CountedSystemClock::closeAfter = kShownFor;
        if (box)
            ShowAboutBox(kAboutOpenedByUser);
        else
            ShowShortAboutWindow(kAboutOpenedByUser);
        // A reading for each unit's frame and one or two in between (the clock may lag its own
        // steps); a loop that spun would read it thousands of times.
        EXPECT_LE(CountedSystemClock::reads, int32_t(4 * kShownFor / kUnit) + 10) << (box ? "box" : "short");
    }
}

TEST_F(AboutWindowTest, TheFormFollowsThePlatformAndCapsLockShowsTheBoxFirst)
{
    SetGdiOnlyDrawing(1);
    std::vector<std::string> shown;
    // Each window's title at its first reading; a key then closes it (after the messages
    // already waiting, which each loop takes one at a time).
    HWND last = nullptr;
    auto closeAtOnce = [&](int32_t) {
        HWND window = TestClock::OpenAboutWindow();
        if (window == last) return;
        last = window;
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        shown.push_back(title);
        PostMessageA(window, WM_KEYDOWN, 'A', 0);
    };
    PlayerFrameServices services;
    for (int32_t platform : {VER_PLATFORM_WIN32_NT, VER_PLATFORM_WIN32_WINDOWS}) {
        ProgramVolumeLimits.platform = platform;
        TestClock::Start(0, kUnit, closeAtOnce);
        ShowStartupAbout();
        // The toolkit's about menu reaches the same form.
        TestClock::Start(0, kUnit, closeAtOnce);
        services.ShowAbout(kAboutOpenedByUser);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{kShortTitle, kShortTitle, kBoxTitle, kBoxTitle}));

    // Help > About with Caps Lock on: the box first, then the short window on NT.
    TestFrame* frame = TestFrame::Make();
    ASSERT_NE(frame, nullptr);
    auto* menu = MakeFrameMenu<HelpMenuHandler>(frame, BuildHelpMenu);
    ASSERT_NE(menu, nullptr);
    ProgramVolumeLimits.platform = VER_PLATFORM_WIN32_NT;
    BYTE keys[256];
    GetKeyboardState(keys);
    for (BYTE capsLock : {BYTE(0), BYTE(1)}) {
        keys[VK_CAPITAL] = capsLock;
        SetKeyboardState(keys);
        shown.clear();
        TestClock::Start(0, kUnit, closeAtOnce);
        menu->HelpMenuCommand(kHelpMenuAbout);
        if (capsLock)
            EXPECT_EQ(shown, (std::vector<std::string>{kBoxTitle, kShortTitle}));
        else
            EXPECT_EQ(shown, (std::vector<std::string>{kShortTitle}));
    }
    keys[VK_CAPITAL] = 0;
    SetKeyboardState(keys);
    TestFrame::Dispose(frame);
}

}  // namespace
