// The progress window through the services the lower layers call: opens and finishes that nest,
// Stop, Cancel, WM_CLOSE and a quit during the pump or still waiting as it finishes, the layout
// and the bar, the credits shown, replaced and withdrawn, the "Finished loading." notice, and the
// windoids held in place; what an update redraws and when it pumps, the pace of the credits'
// layouts and the stops that wait through them, and a tracking chain that cannot hold a load in
// the pump.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "draw/font_faces.h"
#include "draw/fonts.h"
#include "draw/q_offscreen.h"
#include "draw/text.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/alert.h"
#include "toolkit/app_commands.h"
#include "toolkit/control_list.h"
#include "toolkit/current_progress.h"
#include "toolkit/document_frame.h"
#include "toolkit/help_bar.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/memory_readouts.h"
#include "toolkit/pane.h"
#include "toolkit/progress_window.h"
#include "toolkit/push_button.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Numbers = std::vector<int32_t>;

// The clock that paces the pumps: it stands still unless a test moves it.
struct TestClock {
    inline static uint32_t now = 0;

    static uint32_t Read() { return now; }
};

// Counts its tracking steps; at step `lastStep` it lets Shift go, which ends its chain.
class SteppingPane : public Pane {
public:
    void PaneTrack(int32_t, int32_t, int32_t, int32_t) override
    {
        if (++steps == lastStep) PostMessageA(PaneWindow(), WM_KEYUP, VK_SHIFT, 0);
    }

    int32_t steps = 0;
    int32_t lastStep = 0;
};

class ProgressTest : public FrameFixture {
protected:
    void TearDown() override
    {
        while (CurrentProgressWindow()) ProgressFinish();
        FrameFixture::TearDown();
    }

    static ProgressWindow* Current() { return CurrentProgressWindow(); }
    static HWND Windoid() { return Current()->Windoid()->GetWindowHandle(); }

    // Runs the action from inside the next pump.
    static void DuringNextPump(std::function<void()> action)
    {
        RunLater(1, std::move(action));
        Sleep(30);
    }

    // The client size, or a rectangle, as a list to compare with one.
    static Numbers ClientSize()
    {
        RECT client = {};
        GetClientRect(Windoid(), &client);
        return {client.right, client.bottom};
    }
    static Numbers Edges(const PortRect& r) { return {r.left, r.top, r.right, r.bottom}; }

    // An array of the characters without a terminator; `spare` more stand in its block.
    static DynamicArray* CreditsText(const char* text, const char* spare = "")
    {
        const std::string all = std::string(text) + spare;
        DynamicArray* array = NewDynamicArray(int32_t(all.size()), 1, 16);
        std::memcpy(array->ArrayData(), all.data(), all.size());
        IgnoreResult(array->ArraySetCount(int32_t(std::strlen(text))));
        return array;
    }
};

TEST_F(ProgressTest, OpensAndFinishesNestSoThatAnInnerStageLeavesTheOuterWindowUp)
{
    ASSERT_EQ(OpenProgress(), 0);
    ProgressWindow* outer = Current();
    ASSERT_NE(outer, nullptr);
    HWND windoid = Windoid();
    ProgressShow();
    EXPECT_FALSE(IsWindowEnabled(frame_->FrameWindow()));
    EXPECT_TRUE(FrameCloseRefused());
    SendMessageA(frame_->FrameWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(frame_->FrameWindow()));

    // A stage that finds the window open, as the texture adder inside the model reader.
    EXPECT_EQ(OpenTextureProgress(), -1);
    ProgressSetMessage("Adding BMP file \"wall.bmp\"...");
    ProgressShow();
    ProgressFinish();
    EXPECT_EQ(Current(), outer);
    // One run from a handler inside the pump.
    DuringNextPump([] {
        OpenLibraryProgress();
        ProgressUpdate(0);
        ProgressFinish();
    });
    EXPECT_EQ(ProgressUpdate(0), 0);
    EXPECT_EQ(Current(), outer);
    EXPECT_EQ(ProgressNestingDepth(), 0);

    ProgressFinish();
    EXPECT_EQ(Current(), nullptr);
    EXPECT_FALSE(IsWindow(windoid));
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
    EXPECT_FALSE(FrameCloseRefused());
    // Without a window everything is a no-op.
    ProgressFinish();
    ProgressSetValue(5);
    EXPECT_EQ(ProgressValue(), 0);
    EXPECT_EQ(ProgressUpdate(0), 0);
}

TEST_F(ProgressTest, AWindowFinishedInsideThePumpIsNeverUsedAgain)
{
    OpenProgress();
    ProgressShow();
    bool laterDispatched = false;
    RunLater(1, [] { ProgressFinish(); });
    RunLater(1, [&] { laterDispatched = true; });
    Sleep(30);
    EXPECT_EQ(ProgressUpdate(0), 0);
    EXPECT_TRUE(laterDispatched) << "the pump went on after the window went";
    EXPECT_EQ(Current(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
}

TEST_F(ProgressTest, StopAndCancelAskTheLoadToStopAndNeverQuit)
{
    enum class Press { kClick, kEscape, kDuringShow };
    struct Case {
        int32_t (*open)();
        const char* title;
        Press press;
        // The window's stop result: 1 once an update's pump took the stop command the press
        // posted; the button's own value when a show's pump took the press.
        int32_t result;
    };
    for (const Case& c : {Case{OpenProgress, "Cancel", Press::kClick, 1}, Case{OpenTextureProgress, "Stop", Press::kClick, 1},
                          Case{OpenProgress, "Cancel", Press::kEscape, 1},
                          Case{OpenProgress, "Cancel", Press::kDuringShow, 3}}) {
        c.open();
        ProgressShow();
        // A modal run's wake carries the stop command's code without a window: no stop.
        PostThreadMessageA(GetCurrentThreadId(), AppCommandMessage, 0, kCommandClose);
        EXPECT_EQ(ProgressUpdate(0), 0);
        // Shown again, so that the next update pumps at once.
        ProgressShow();
        PushButton* button = Current()->Button();
        ASSERT_NE(button, nullptr);
        EXPECT_STREQ(button->ControlTitle(), c.title);
        EXPECT_EQ(button->ControlCommand(), IDCANCEL);
        if (c.press == Press::kEscape)
            PostKey(button->Control(), VK_ESCAPE);
        else
            PostMessageA(button->Control(), BM_CLICK, 0, 0);
        if (c.press == Press::kDuringShow) ProgressShow();
        EXPECT_EQ(ProgressUpdate(0), 1) << c.title;
        EXPECT_EQ(Current()->DialogResult(), c.result) << c.title;
        // Every later update answers at once: nothing is pumped.
        PostMessageA(frame_->FrameWindow(), WM_NULL, 0, 0);
        EXPECT_EQ(ProgressUpdate(0), 1);
        MSG waiting;
        EXPECT_TRUE(PeekMessageA(&waiting, frame_->FrameWindow(), WM_NULL, WM_NULL, PM_REMOVE));
        // Credits shown after the stop: the window closes without waiting for OK.
        DynamicArray* text = CreditsText("Made by Q");
        ProgressShowCredits(nullptr, text);
        ProgressFinish();
        EXPECT_EQ(Current(), nullptr);
        // A stop command still waiting reaches the frame, which ignores it.
        PumpMessages();
        EXPECT_EQ(TakeQuit(), -1) << "no quit was posted";
        EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
        text->Destroy();
    }
}

TEST_F(ProgressTest, TheFinishTakesAPressStillWaitingAndAnswersTheStop)
{
    // A load whose last update came before the press: the finish takes the click, the key or
    // the close still in the queue before the window goes, and answers that the load stopped.
    enum class Press { kClick, kEscape, kClose };
    for (const Press press : {Press::kClick, Press::kEscape, Press::kClose}) {
        OpenProgress();
        ProgressShow();
        HWND windoid = Windoid();
        HWND button = Current()->Button()->Control();
        if (press == Press::kClick)
            PostMessageA(button, BM_CLICK, 0, 0);
        else if (press == Press::kEscape)
            PostKey(button, VK_ESCAPE);
        else
            PostMessageA(windoid, WM_CLOSE, 0, 0);
        EXPECT_EQ(ProgressFinish(), 1) << int(press);
        EXPECT_EQ(Current(), nullptr);
        EXPECT_FALSE(IsWindow(windoid));
    }
    // Nothing waiting: no stop. A stop an update took: answered again, and an inner stage's
    // finish answers it too, leaving the window to the outer one.
    OpenProgress();
    ProgressShow();
    EXPECT_EQ(ProgressFinish(), 0);
    OpenProgress();
    ProgressShow();
    SendMessageA(Windoid(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ProgressUpdate(0), 1);
    EXPECT_EQ(OpenTextureProgress(), -1);
    EXPECT_EQ(ProgressFinish(), 1);
    EXPECT_NE(Current(), nullptr);
    EXPECT_EQ(ProgressFinish(), 1);
    EXPECT_EQ(Current(), nullptr);
    EXPECT_EQ(ProgressFinish(), 0) << "no window";
}

TEST_F(ProgressTest, CloseOnTheWindowPressesItsButtonAndIsIgnoredWithoutOne)
{
    OpenProgress();
    ProgressShow();
    SendMessageA(Windoid(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(Windoid()));
    EXPECT_EQ(ProgressUpdate(0), 1);
    ProgressFinish();

    OpenLibraryProgress();
    ProgressShow();
    EXPECT_EQ(Current()->Button(), nullptr);
    SendMessageA(Windoid(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(Windoid()));
    EXPECT_EQ(ProgressUpdate(0), 0);
}

TEST_F(ProgressTest, AQuitTakenByThePumpStopsTheLoadAndIsPostedAgain)
{
    OpenProgress();
    ProgressShow();
    PostQuitMessage(7);
    EXPECT_EQ(ProgressUpdate(0), 1);
    EXPECT_NE(Current(), nullptr) << "the loader still finishes its window";
    EXPECT_EQ(ProgressUpdate(0), 1);
    ProgressFinish();
    EXPECT_EQ(Current(), nullptr);
    EXPECT_EQ(TakeQuit(), 7);
}

TEST_F(ProgressTest, TheLayoutFollowsTheLinesAndFitsTheirTexts)
{
    OpenProgress();
    ProgressShow();
    EXPECT_EQ(ClientSize(), (Numbers{297, 66}));
    EXPECT_EQ(Edges(Current()->Bar()), (Numbers{13, 33, 210, 46}));
    EXPECT_EQ(Edges(Current()->Button()->Bounds()), (Numbers{223, 25, 284, 53}));
    // A detail line alone takes the first row.
    ProgressSetDetail("Scanning TEXTURES");
    ProgressShow();
    EXPECT_EQ(ClientSize(), (Numbers{297, 82}));
    EXPECT_EQ(Edges(Current()->DetailLine()->Bounds()), (Numbers{13, 13, 263, 31}));

    ProgressSetMessage(std::string(300, 'W').c_str());
    ProgressSetText(std::string(300, 'T').c_str());
    ProgressSetCounter("12");
    ProgressShow();
    EXPECT_EQ(ClientSize(), (Numbers{297, 98}));
    EXPECT_EQ(Edges(Current()->DetailLine()->Bounds()), (Numbers{13, 33, 201, 51}));
    EXPECT_EQ(Edges(Current()->CounterField()->Bounds()), (Numbers{236, 33, 274, 51}));
    EXPECT_STREQ(Current()->CounterField()->Title(), "12");
    char message[256] = {};
    ProgressGetMessage(message, sizeof message);
    // The longest start of the text that fits 250 pixels in the screen's own font, its last three
    // characters replaced by dots.
    size_t kept = 300;
    while (kept > 3 && TextWidth(std::string(kept, 'W').c_str(), 0, int32_t(kept)) > 250) --kept;
    ASSERT_LT(kept, 60u);
    EXPECT_EQ(std::string(message), std::string(kept - 3, 'W') + "...");
    char caption[400] = {};
    EXPECT_EQ(GetWindowTextA(Windoid(), caption, sizeof caption), 255);
    // A text that fits stays whole.
    ProgressSetMessage("Reading: room.qpy");
    ProgressShow();
    ProgressGetMessage(message, sizeof message);
    EXPECT_STREQ(message, "Reading: room.qpy");
}

TEST_F(ProgressTest, TheBarFillsByTheValueAndIsFullPastItsTotal)
{
    OpenLibraryProgress();
    ProgressShow();
    const PortRect bar = Current()->Bar();
    ASSERT_EQ(bar.right - bar.left, 271) << "no button: the bar reaches the right margin";
    HWND pane = Current()->PaneWindow();
    const int y = (bar.top + bar.bottom) / 2;
    auto filledTo = [&] {
        HDC dc = GetDC(pane);
        int x = bar.left + 1;
        while (x < bar.right - 1 && GetPixel(dc, x, y) == RGB(0x45, 0x45, 0x45)) ++x;
        const COLORREF after = GetPixel(dc, x, y);
        ReleaseDC(pane, dc);
        return std::make_pair(x - bar.left, after);
    };
    ProgressSetTotal(100);
    ProgressSetValue(40);
    ProgressUpdate(0);
    // 40 x 2.71 = 108.4: the filled part ends one pixel inside the 108 filled ones.
    EXPECT_EQ(filledTo(), std::make_pair(107, RGB(0xCC, 0xCC, 0xFF)));
    ProgressSetValue(250);
    ProgressUpdate(0);
    EXPECT_EQ(filledTo().first, 270);
    ProgressSetTotal(0);
    EXPECT_DOUBLE_EQ(Current()->PixelsPerUnit(), 271.0);
}

TEST_F(ProgressTest, CreditsWrapAsTheCreditsWindowWrapsThemInTheScreensOwnFont)
{
    // A text wider than a line of the window (297 less 36) in the screen's own font, in which
    // the credits window measures it too, but not in the bold font it is drawn in: two lines.
    constexpr int32_t kLineWidth = 297 - 36;
    std::string words = "Made by Q";
    while (TextWidth(words.c_str(), 0, int32_t(words.size())) <= kLineWidth) words += " and Q";
    HDC screen = GetDC(nullptr);
    HGDIOBJ saved = SelectObject(screen, GetFont(1, 10, kFontBold));
    SIZE drawn = {};
    GetTextExtentPoint32A(screen, words.c_str(), int(words.size()), &drawn);
    SelectObject(screen, saved);
    ReleaseDC(nullptr, screen);
    ASSERT_LE(drawn.cx, kLineWidth) << "the text must fit one line in the font it is drawn in";

    OpenLibraryProgress();
    ProgressShow();
    DynamicArray* text = CreditsText(words.c_str());
    ProgressShowCredits(nullptr, text);
    EXPECT_EQ(Edges(Current()->CreditsText()->Bounds()), (Numbers{13, 13, 284, 13 + 2 * 14}));
    const int32_t height = 62 + 2 * 14 + 13;
    EXPECT_EQ(ClientSize(), (Numbers{297, height}));
    // The bar stands below both lines: its frame's corner, with the window's face above it.
    HDC pane = GetDC(Current()->PaneWindow());
    const int32_t barTop = height - 26;
    EXPECT_EQ(GetPixel(pane, 13, barTop), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(pane, 13, barTop - 1), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(Current()->PaneWindow(), pane);
    ProgressFinish();
    text->Destroy();
}

TEST_F(ProgressTest, FinishingWithCreditsWaitsForOKUnlessTheWindowHasNoButton)
{
    DynamicArray* text = CreditsText("Made by Q");
    OpenProgress();
    ProgressShow();
    ProgressShowCredits(nullptr, text);
    std::string line;
    int32_t defaultId = 0;
    RunLater(30, [&] {
        HWND dialog = FindDialogWindoid();
        Window* window = WindowObject<Window>(dialog);
        auto* progress = dynamic_cast<ProgressWindow*>(window->PaneAt(0));
        char message[256] = {};
        progress->CopyMessage(message, sizeof message);
        line = message;
        defaultId = GetDlgCtrlID(DialogDefaultControl(dialog));
        PostKey(DialogDefaultControl(dialog), VK_RETURN);
    });
    ProgressFinish();
    EXPECT_EQ(line, "Finished loading.");
    EXPECT_EQ(defaultId, IDOK);
    EXPECT_EQ(FindDialogWindoid(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));

    OpenLibraryProgress();
    ProgressShow();
    ProgressShowCredits(nullptr, text);
    ProgressFinish();
    EXPECT_EQ(FindDialogWindoid(), nullptr);
    text->Destroy();
}

TEST_F(ProgressTest, WindoidsStayInPlaceWhileAnyPumpRuns)
{
    auto* other = new Window;
    ASSERT_EQ(other->CreateWindowObject({10, 10, 110, 60}, "Other", {0, 0}, {0, 0}, {0, 0}, kWindowCaption | kWindowFloating,
                                        kWindowDestroys),
              kResultOk);
    HWND hwnd = other->GetWindowHandle();
    auto left = [hwnd] {
        RECT rect = {};
        GetWindowRect(hwnd, &rect);
        return rect.left;
    };
    const LONG start = left();
    OpenProgress();
    ProgressShow();
    int32_t lockedAfterInnerPump = 0;
    DuringNextPump([&] {
        ProgressUpdate(0);
        lockedAfterInnerPump = WindoidPositionLock();
        SetWindowPos(hwnd, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // The progress window itself still grows for a stage's detail line.
        ProgressSetDetail("Scanning TEXTURES");
        ProgressShow();
    });
    ProgressUpdate(0);
    EXPECT_EQ(lockedAfterInnerPump, 1) << "an inner pump kept the outer pump's lock";
    EXPECT_EQ(left(), start);
    EXPECT_EQ(ClientSize()[1], 82);
    EXPECT_EQ(WindoidPositionLock(), 0);
    SetWindowPos(hwnd, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(left(), 200);
    ProgressFinish();
    other->DestroyWindowObject();
}

TEST_F(ProgressTest, AnAlertRaisedInsideThePumpShowsAboveTheProgressWindow)
{
    OpenProgress();
    ProgressShow();
    HWND progress = Windoid();
    bool above = false;
    DuringNextPump([&] {
        RunLater(30, [&] {
            HWND alert = GetActiveWindow();
            for (HWND below = GetWindow(alert, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
                if (below == progress) above = alert != progress;
            PostKey(DialogDefaultControl(alert), VK_RETURN);
        });
        ShowAlert("Cannot load bitmap wall.bmp");
    });
    EXPECT_EQ(ProgressUpdate(0), 0);
    EXPECT_TRUE(above);
}

}  // namespace

namespace {

// Whether the message posted to the window still waits (taken out if so).
bool StillWaits(HWND window, UINT message)
{
    MSG waiting;
    return PeekMessageA(&waiting, window, message, message, PM_REMOVE) != 0;
}

constexpr UINT kMarker = WM_APP + 21;

class ProgressPaceTest : public ProgressTest {
protected:
    void SetUp() override
    {
        ProgressTest::SetUp();
        previousClock_ = InstallProgressClock(TestClock::Read);
        TestClock::now = 1000;
    }
    void TearDown() override
    {
        InstallProgressClock(previousClock_);
        ProgressTest::TearDown();
    }

    // An update with a marker posted to the frame just before: whether it pumped.
    bool UpdatePumps(int32_t* answer = nullptr)
    {
        PostMessageA(frame_->FrameWindow(), kMarker, 0, 0);
        const int32_t result = ProgressUpdate(0);
        if (answer) *answer = result;
        return !StillWaits(frame_->FrameWindow(), kMarker);
    }

    ProgressClock previousClock_ = nullptr;
};

}  // namespace

TEST_F(ProgressPaceTest, AnUpdateRedrawsTheBarOnlyWhenItsFilledWidthChanges)
{
    OpenLibraryProgress();
    ProgressShow();
    const PortRect bar = Current()->Bar();
    ASSERT_EQ(bar.right - bar.left, 271);
    // 10 units a pixel.
    ProgressSetTotal(2710);
    HWND pane = Current()->PaneWindow();
    const int y = (bar.top + bar.bottom) / 2;
    // Paints the bar's inside white, so that only what a redraw paints shows filled.
    auto whiten = [&] {
        HDC dc = GetDC(pane);
        const RECT inside = {bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
        FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(pane, dc);
    };
    auto filledTo = [&] {
        HDC dc = GetDC(pane);
        int x = bar.left + 1;
        while (x < bar.right - 1 && GetPixel(dc, x, y) == RGB(0x45, 0x45, 0x45)) ++x;
        ReleaseDC(pane, dc);
        return x - bar.left;
    };
    struct Step {
        int32_t value;
        int filled;  // where the filled pixels end after the update, 1 when none were drawn
    };
    // 40 pixels, then the same 40 (not redrawn), 41, then fewer: 40 (a redraw that paints the
    // 40 it fills).
    for (const Step& step : {Step{400, 39}, Step{404, 1}, Step{410, 40}, Step{412, 1}, Step{399, 39}}) {
        whiten();
        ProgressSetValue(step.value);
        ProgressUpdate(0);
        EXPECT_EQ(filledTo(), step.filled) << step.value;
    }
    // A full draw empties the bar: the next update fills it again.
    Current()->RedrawPane(kDrawFull);
    whiten();
    ProgressUpdate(0);
    EXPECT_EQ(filledTo(), 39);
}

TEST_F(ProgressPaceTest, UpdatesPumpOnceAnIntervalHasPassedOrAtOnceAfterAShowAMessageOrAStage)
{
    OpenProgress();
    ProgressSetMessage("Reading: city.qpy");
    ProgressShow();
    // The first update after the window was shown pumps; the next only 15 ms after that pump.
    // The help bar's memory gauge is refreshed with each pump, not in between.
    HelpBar* bar = frame_->GetHelpBarHost()->bar;
    const int32_t offGauge = FreeMemoryPercentage(AvailableMemory(), TotalMemorySize) > 50 ? 0 : 100;
    EXPECT_TRUE(UpdatePumps());
    bar->SetPercentage(offGauge);
    EXPECT_FALSE(UpdatePumps());
    TestClock::now += 14;
    EXPECT_FALSE(UpdatePumps());
    EXPECT_EQ(bar->Percentage(), offGauge);
    TestClock::now += 1;
    EXPECT_TRUE(UpdatePumps());
    EXPECT_NE(bar->Percentage(), offGauge);
    EXPECT_FALSE(UpdatePumps());
    // A new message, a stage opened and finished, the window shown again: each time at once.
    ProgressSetMessage("Reading: textures");
    EXPECT_TRUE(UpdatePumps());
    EXPECT_FALSE(UpdatePumps());
    EXPECT_EQ(OpenTextureProgress(), -1);
    EXPECT_TRUE(UpdatePumps());
    ProgressFinish();
    EXPECT_TRUE(UpdatePumps());
    ProgressShow();
    EXPECT_TRUE(UpdatePumps());
    // The credits pump as they are shown, and the update after them too.
    DynamicArray* text = CreditsText("Made by Q");
    PostMessageA(frame_->FrameWindow(), kMarker, 0, 0);
    ProgressShowCredits(nullptr, text);
    EXPECT_FALSE(StillWaits(frame_->FrameWindow(), kMarker));
    ProgressShowCredits(nullptr, nullptr);
    text->Destroy();

    // Cancel pressed between pumps stops the load at the next pump; after it every update
    // answers 1 at once.
    EXPECT_FALSE(UpdatePumps());
    PostMessageA(Current()->Button()->Control(), BM_CLICK, 0, 0);
    int32_t answer = -1;
    TestClock::now += 5;
    EXPECT_FALSE(UpdatePumps(&answer));
    EXPECT_EQ(answer, 0);
    TestClock::now += 10;
    EXPECT_TRUE(UpdatePumps(&answer));
    EXPECT_EQ(answer, 1);
    TestClock::now += 15;
    EXPECT_FALSE(UpdatePumps(&answer));
    EXPECT_EQ(answer, 1);
}

TEST_F(ProgressPaceTest, CreditsAreShownWithinTheirCountReplacedAndWithdrawn)
{
    OpenProgress();
    ProgressSetMessage("Reading: room.qpy");
    ProgressShow();
    auto* picture = new Q_Offscreen;
    const RGBColor48 gold = {0xFFFF, 0xCCCC, 0};
    ASSERT_EQ(picture->QOffscreenInit({0, 0, 400, 50}, -1, &gold), kResultOk);
    DynamicArray* first = CreditsText("Made by Q", "!!!");
    const int32_t controls = Current()->Controls()->ArrayCount();
    ProgressShowCredits(picture, first);
    ASSERT_NE(Current()->CreditsText(), nullptr);
    EXPECT_STREQ(Current()->CreditsText()->Title(), "Made by Q");
    EXPECT_EQ(Current()->CreditsPicture(), picture);
    EXPECT_EQ(ClientSize(), (Numbers{400 + 26, 62 + 50 + 13 + 14 + 13}));
    EXPECT_EQ(Current()->CreditsText()->Bounds().top, 76);

    // Each later layout once the spacing after the one before has passed.
    DynamicArray* second = CreditsText("Textures by R");
    TestClock::now += kCreditsLayoutSpacing;
    ProgressShowCredits(picture, second);
    EXPECT_EQ(Current()->Controls()->ArrayCount(), controls + 1) << "the text item is replaced";
    EXPECT_STREQ(Current()->CreditsText()->Title(), "Textures by R");

    // Larger than the screen: the window keeps 20 inside its sides and bottom and 40 below its
    // top; the text, wrapped in the width kept, has no line left below the picture, and the
    // picture is cut where the credits end, clear of the message and the bar.
    auto* huge = new Q_Offscreen;
    ASSERT_EQ(huge->QOffscreenInit({0, 0, 1100, 900}, -1, &gold), kResultOk);
    TestClock::now += kCreditsLayoutSpacing;
    ProgressShowCredits(huge, second);
    const int32_t height = 768 - 60;
    EXPECT_EQ(ClientSize(), (Numbers{1024 - 40, height}));
    EXPECT_EQ(Edges(Current()->CreditsText()->Bounds()), (Numbers{13, 926, 984 - 13, 926}));
    HDC pane = GetDC(Current()->PaneWindow());
    EXPECT_EQ(GetPixel(pane, 13, height - 63), RGB(0xFF, 0xCC, 0));
    EXPECT_EQ(GetPixel(pane, 13, height - 62), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(pane, 13, height - 14), RGB(0, 0, 0)) << "the bar's frame";
    ReleaseDC(Current()->PaneWindow(), pane);

    ProgressShowCredits(nullptr, nullptr);
    EXPECT_EQ(Current()->CreditsPicture(), nullptr);
    EXPECT_EQ(Current()->CreditsText(), nullptr);
    EXPECT_EQ(Current()->Controls()->ArrayCount(), controls);
    picture->DisposeOffscreen();
    huge->DisposeOffscreen();
    Current()->RedrawPane(kDrawFull);
    // Nothing left to acknowledge: the window closes at once.
    ProgressFinish();
    EXPECT_EQ(Current(), nullptr);
    first->Destroy();
    second->Destroy();
}

TEST_F(ProgressPaceTest, CreditsChangedAtEveryChunkAreLaidOutAtTheirPaceAndNoStopIsLost)
{
    OpenProgress();
    ProgressSetMessage("Reading: room.qpy");
    ProgressShow();
    // Wraps into more lines than the short text takes.
    const std::string longText = "Made by Q, with the help of R, S and T, who lent their rooms, and of U and V.";
    DynamicArray* longer = CreditsText(longText.c_str());
    DynamicArray* shorter = CreditsText("Made by Q");
    HWND button = Current()->Button()->Control();
    // The window's first credits are laid out at once.
    ProgressShowCredits(nullptr, longer);
    const Numbers grown = ClientSize();
    ASSERT_NE(Current()->CreditsText(), nullptr);
    // Withdrawn and shown again at every chunk, as the reader does, with updates between:
    // nothing more is laid out within the spacing.
    for (int32_t chunk = 0; chunk < 100; ++chunk) {
        ProgressShowCredits(nullptr, nullptr);
        ProgressShowCredits(nullptr, chunk % 2 ? shorter : longer);
        TestClock::now += 1;
        ProgressUpdate(0);
    }
    EXPECT_EQ(Current()->CreditsText(), nullptr) << "the text waits for its layout";
    // The spacing passed, the next update whose pump is due lays the last ones out; the window
    // keeps the size the longer text gave it, and its button.
    TestClock::now += kCreditsLayoutSpacing;
    EXPECT_EQ(ProgressUpdate(0), 0);
    ASSERT_NE(Current()->CreditsText(), nullptr);
    EXPECT_STREQ(Current()->CreditsText()->Title(), "Made by Q");
    EXPECT_EQ(ClientSize(), grown);
    EXPECT_EQ(Current()->Button()->Control(), button);
    // A stage's show, as a picture decoded on the way, keeps the credits' layout too.
    ProgressShow();
    EXPECT_EQ(ClientSize(), grown);

    // A click on Cancel or an Escape that waits as the window is laid out again, grown, stops
    // the load.
    for (const WPARAM key : {WPARAM(0), WPARAM(VK_ESCAPE)}) {
        ProgressShowCredits(nullptr, shorter);
        TestClock::now += kCreditsLayoutSpacing;
        HWND pressed = Current()->Button()->Control();
        if (key)
            PostKey(pressed, key);
        else
            PostMessageA(pressed, BM_CLICK, 0, 0);
        ProgressShowCredits(nullptr, longer);
        EXPECT_EQ(ClientSize(), grown);
        EXPECT_EQ(ProgressUpdate(0), 1) << (key ? "Escape" : "a click on Cancel") << " was lost";
        EXPECT_EQ(ProgressFinish(), 1);
        OpenProgress();
        ProgressShow();
    }

    // Credits given within the spacing are laid out as the load finishes, before the notice.
    ProgressShowCredits(nullptr, shorter);
    ProgressShowCredits(nullptr, longer);
    std::string shown;
    RunLater(30, [&] {
        HWND dialog = FindDialogWindoid();
        auto* progress = dynamic_cast<ProgressWindow*>(WindowObject<Window>(dialog)->PaneAt(0));
        shown = progress->CreditsText() ? progress->CreditsText()->Title() : "";
        PostKey(DialogDefaultControl(dialog), VK_RETURN);
    });
    EXPECT_EQ(ProgressFinish(), 0);
    EXPECT_EQ(shown, longText);
    shorter->Destroy();
    longer->Destroy();
}

TEST_F(ProgressPaceTest, ATrackingChainStartedBeforeTheLoadCannotHoldItInThePump)
{
    // A pane whose chain posts its next step at every step (Shift held), started before the
    // load as a load from a drop finds it: a pump takes the steps posted before it began, then
    // the load goes on. (A pump until the queue is empty would take all 1000 steps.)
    HHOOK hook = SetWindowsHookExA(WH_MOUSE, DropRealMouseInput, nullptr, GetCurrentThreadId());
    auto* window = new Window;
    ASSERT_EQ(window->CreateWindowObject({0, 0, 200, 100}, "Walk", {0, 0}, {0, 0}, {0, 0},
                                         kWindowCaption | kWindowSystemMenu, kWindowDestroys),
              kResultOk);
    window->SetWindowOwner(frame_);
    frame_->RegisterDocumentWindow(window);
    window->ShowWindowObject();
    auto* pane = new SteppingPane;
    pane->PaneCreate(0);
    window->AddPane(pane);
    PumpMessages();
    pane->lastStep = 1000;
    PostMessageA(pane->PaneWindow(), PaneRepeatMessage, MK_SHIFT, Point(5, 5));

    OpenProgress();
    ProgressShow();
    const int32_t afterShow = pane->steps;
    EXPECT_GE(afterShow, 1);
    EXPECT_LT(afterShow, pane->lastStep);
    // Posted in a later tick of the clock, the next step waits for the next pump.
    Sleep(20);
    EXPECT_EQ(ProgressUpdate(0), 0);
    EXPECT_GT(pane->steps, afterShow);
    EXPECT_LT(pane->steps, pane->lastStep);
    MSG next;
    EXPECT_TRUE(PeekMessageA(&next, pane->PaneWindow(), PaneRepeatMessage, PaneRepeatMessage, PM_NOREMOVE))
        << "the chain goes on after the load";
    ProgressFinish();

    // Left to the tests' pump, the chain runs its course.
    while (pane->steps < pane->lastStep) PumpMessages();
    PumpMessages();
    EXPECT_FALSE(PeekMessageA(&next, pane->PaneWindow(), PaneRepeatMessage, PaneRepeatMessage, PM_NOREMOVE));
    window->DestroyWindowObject();
    UnhookWindowsHookEx(hook);
}
