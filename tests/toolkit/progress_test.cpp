// The progress window through the services the lower layers call: opens and finishes that nest,
// Stop, Cancel, WM_CLOSE and a quit during the pump, the layout and the bar, the credits shown,
// replaced and withdrawn, the "Finished loading." notice, and the windoids held in place.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "draw/q_offscreen.h"
#include "foundation/dynamic_array.h"
#include "foundation/ui_services.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/alert.h"
#include "toolkit/control_list.h"
#include "toolkit/current_progress.h"
#include "toolkit/document_frame.h"
#include "toolkit/progress_window.h"
#include "toolkit/push_button.h"
#include "toolkit/text_item.h"
#include "toolkit/window.h"
#include "toolkit/window_classes.h"

namespace {

using Numbers = std::vector<int32_t>;

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
    struct Case {
        int32_t (*open)();
        const char* title;
        int32_t result;
        bool byEscape;
    };
    for (const Case& c : {Case{OpenProgress, "Cancel", 3, false}, Case{OpenTextureProgress, "Stop", 1, false},
                          Case{OpenProgress, "Cancel", 3, true}}) {
        c.open();
        ProgressShow();
        PushButton* button = Current()->Button();
        ASSERT_NE(button, nullptr);
        EXPECT_STREQ(button->ControlTitle(), c.title);
        EXPECT_EQ(button->ControlCommand(), IDCANCEL);
        if (c.byEscape)
            PostKey(button->Control(), VK_ESCAPE);
        else
            PostMessageA(button->Control(), BM_CLICK, 0, 0);
        EXPECT_EQ(ProgressUpdate(0), 1) << c.title;
        EXPECT_EQ(Current()->DialogResult(), c.result);
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
        EXPECT_EQ(TakeQuit(), -1) << "no quit was posted";
        EXPECT_TRUE(IsWindowEnabled(frame_->FrameWindow()));
        text->Destroy();
    }
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
    const std::string fitted = message;
    ASSERT_GT(fitted.size(), 3u);
    EXPECT_LT(fitted.size(), 60u);
    EXPECT_EQ(fitted, std::string(fitted.size() - 3, 'W') + "...");
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

TEST_F(ProgressTest, CreditsAreShownWithinTheirCountReplacedAndWithdrawn)
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

    DynamicArray* second = CreditsText("Textures by R");
    ProgressShowCredits(picture, second);
    EXPECT_EQ(Current()->Controls()->ArrayCount(), controls + 1) << "the text item is replaced";
    EXPECT_STREQ(Current()->CreditsText()->Title(), "Textures by R");

    ProgressShowCredits(nullptr, nullptr);
    EXPECT_EQ(Current()->CreditsPicture(), nullptr);
    EXPECT_EQ(Current()->CreditsText(), nullptr);
    EXPECT_EQ(Current()->Controls()->ArrayCount(), controls);
    picture->DisposeOffscreen();
    Current()->RedrawPane(kDrawFull);
    // Nothing left to acknowledge: the window closes at once.
    ProgressFinish();
    EXPECT_EQ(Current(), nullptr);
    first->Destroy();
    second->Destroy();
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
