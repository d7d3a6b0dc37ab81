// The walk view and its navigation pane in a real window: the pixels of a frame (cross hair,
// bars, the last row), a navigation step redrawing at once, the commands the view passes up, the
// preferences applied, and the pane and view let go in either order. A document of the tests' own
// passes every command back to the view as the player's document does.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "draw/port_base.h"
#include "foundation/process_state.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "model/walk_record.h"
#include "player/command_tags.h"
#include "player/navigation_pane.h"
#include "player/navigation_pane_options.h"
#include "player/player_preferences.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "tests/player/walk_view_fixture.h"
#include "tests/toolkit/toolkit_support.h"
#include "toolkit/app_commands.h"
#include "toolkit/input_events.h"
#include "toolkit/window.h"
#include "tools/sample_scenes.h"

namespace {

constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 300;
constexpr PortRect kWindowRect = {0, 0, kWidth, kHeight};
constexpr COLORREF kBlackPixel = RGB(0, 0, 0);
constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr COLORREF kRedPixel = RGB(255, 0, 0);
constexpr COLORREF kSkyPixel = RGB(0x20, 0x40, 0x80);
constexpr RGBColor48 kSky = {0x2000, 0x4000, 0x8000};
constexpr RGBColor48 kRed = {0xFFFF, 0, 0};
constexpr Fixed kHalf = 0x8000;

class WalkViewTest : public WalkViewFixture {
protected:
    void SetUp() override
    {
        WalkViewFixture::SetUp();
        // A sky-coloured world with a red box straight ahead.
        holder_->Root->SetColours(kSky, 0xFFFF, kSideBoth);
        ModelObject* box = MakeBox(holder_, -100, 400, -100, 100, 500, 100);
        ASSERT_NE(box, nullptr);
        box->SetColours(kRed, 0xFFFF, kSideBoth);
        holder_->Root->AddChild(box);
        preferences_ = new PlayerPreferences;
        ASSERT_EQ(preferences_->Init(), kResultOk);
        document_.preferences = preferences_;
        // Base colours: the world has no lights.
        preferences_->Render()->wordB = 0;

        window_ = document_.window = MakeWindow(kWindowRect);
        ASSERT_NE(window_, nullptr);

        // The view named, the preferences applied with force, the window shown.
        MakeView(new RecordingView, "Room");
        pane_ = view_->Navigation();
        ASSERT_EQ(pane_->Owner(), window_);
        view_->ViewCommand(nullptr, kCommandApplied, kCodeRenderPresets, 0);
        window_->ShowWindowObject();
        PumpMessages();
        document_.Taken();
        view_->Taken();
    }

    // Sets the navigation section and has the view apply it as the Walk menu does.
    void Navigate(uint32_t options, int32_t aspectOn = 0, int32_t aspectWidth = 0, int32_t aspectHeight = 0)
    {
        NavigationSection* navigation = preferences_->Navigation();
        navigation->options = options;
        navigation->aspectOn = int16_t(aspectOn);
        navigation->aspect[0] = aspectWidth;
        navigation->aspect[1] = aspectHeight;
        SetChangeState(navigation, 1);
        view_->ViewCommand(nullptr, kCommandViewChange, kCodeNavigationPreferences, 0);
        SetChangeState(navigation, kChangeStateReset);
        PumpMessages();
        document_.Taken();
    }

    COLORREF Pixel(int32_t x, int32_t y)
    {
        HDC dc = GetDC(pane_->PaneWindow());
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(pane_->PaneWindow(), dc);
        return colour;
    }

    // Paints the pane's window white, so that what a draw copies shows.
    void Whiten()
    {
        HDC dc = GetDC(pane_->PaneWindow());
        const RECT all = {0, 0, kWidth, kHeight};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(pane_->PaneWindow(), dc);
    }

    NavigationPane* pane_ = nullptr;
};

TEST_F(WalkViewTest, AFrameShowsTheCrossHairAndBlackBarsKeepingTheRatio)
{
    // 1:1 in a pane wider than high: bars at the sides.
    Navigate(kNavigationCrossHair, 1, 1, 1);
    const PortRect content = pane_->ContentRect();
    const PortRect view = pane_->ViewRect();
    EXPECT_EQ(view.right - view.left, content.bottom);
    EXPECT_EQ(observer_->width, view.right - pane_->CentreX());
    // After a draw that was not plain, a plain one copies the whole pane, at once.
    pane_->RedrawPane(kDrawOffscreenOnly);
    Whiten();
    const int32_t frames = pane_->FramesShown();
    pane_->RedrawPane(kDrawPlain);
    EXPECT_EQ(pane_->FramesShown(), frames + 1);
    const int32_t cx = pane_->CentreX();
    const int32_t cy = pane_->CentreY();
    // Black arms to 9 pixels from the centre, white tips from 10 to 12, then the red box.
    for (int32_t d = -12; d <= 12; ++d) {
        const COLORREF arm = d < -9 || d > 9 ? kWhitePixel : kBlackPixel;
        EXPECT_EQ(Pixel(cx + d, cy), arm) << d;
        EXPECT_EQ(Pixel(cx, cy + d), arm) << d;
    }
    EXPECT_EQ(Pixel(cx + 13, cy), kRedPixel);
    EXPECT_EQ(Pixel(cx, cy - 13), kRedPixel);
    // The bars are black from top to bottom; of the view, only the last row is.
    for (int32_t y = 0; y < content.bottom; y += 7) {
        EXPECT_EQ(Pixel(0, y), kBlackPixel) << y;
        EXPECT_EQ(Pixel(view.left - 1, y), kBlackPixel) << y;
        EXPECT_EQ(Pixel(view.right, y), kBlackPixel) << y;
        EXPECT_EQ(Pixel(content.right - 1, y), kBlackPixel) << y;
    }
    EXPECT_EQ(Pixel(view.left, content.bottom - 1), kBlackPixel);
    EXPECT_EQ(Pixel(view.left, content.bottom - 2), kSkyPixel);
    EXPECT_EQ(Pixel(view.right - 1, 0), kSkyPixel);

    // A plain redraw after a plain redraw copies the view only.
    Whiten();
    pane_->RedrawPane(kDrawPlain);
    EXPECT_EQ(Pixel(0, 0), kWhitePixel);
    EXPECT_EQ(Pixel(view.left, 0), kSkyPixel);
    // Nothing is copied for the offscreen only, nor while a model loads.
    Whiten();
    pane_->RedrawPane(kDrawOffscreenOnly);
    ++ModelLoadingCount;
    pane_->RedrawPane(kDrawFull);
    --ModelLoadingCount;
    EXPECT_EQ(pane_->FramesShown(), frames + 2);
    EXPECT_EQ(Pixel(cx, cy), kWhitePixel);

    // The velocity grid's first rung: white ticks -5..+5 with black centres -3..+3, at one cell's
    // distance; with the grid a plain redraw after a plain one copies the bars too.
    Navigate(kNavigationVelocityGrid, 1, 1, 1);
    pane_->RedrawPane(kDrawPlain);
    Whiten();
    pane_->RedrawPane(kDrawPlain);
    EXPECT_EQ(Pixel(0, 0), kBlackPixel);
    const NavigationCells cells = pane_->Cells();
    for (int32_t d = -6; d <= 6; ++d) {
        const COLORREF tick = d < -5 || d > 5 ? kRedPixel : (d < -3 || d > 3 ? kWhitePixel : kBlackPixel);
        EXPECT_EQ(Pixel(cx + d, cy - cells.height), tick) << d;
        EXPECT_EQ(Pixel(cx + cells.width, cy + d), tick) << d;
    }
}

TEST_F(WalkViewTest, AStepAboveTheCrossHairWalksForwardAndRedrawsOnceAtOnce)
{
    Navigate(kNavigationButtonDown);
    const NavigationCells cells = pane_->Cells();
    const int32_t cx = pane_->CentreX();
    const int32_t cy = pane_->CentreY();
    // Two cells and a pixel above the centre: row 2, a forward step of 8.
    const int32_t above = cy + 2 * cells.height - 1;
    const ShortVector3 eye = {observer_->x, observer_->y, observer_->z};
    const int16_t heading = observer_->heading;
    int32_t frames = pane_->FramesShown();
    // With "Button Down" nothing moves without the button.
    pane_->PaneTrackingStep(cx, above, 0);
    EXPECT_EQ(pane_->FramesShown(), frames);
    pane_->PaneTrackingStep(cx, above, kModifierLeftButton);
    EXPECT_EQ(observer_->y, eye.y + 8);
    EXPECT_EQ(observer_->x, eye.x);
    EXPECT_EQ(observer_->heading, heading);
    EXPECT_EQ(pane_->FramesShown(), frames + 1) << "drawn before the step returned";
    EXPECT_EQ(document_.Taken(), (Commands{{kCommandStep, kCodeRedrawStep, 0}}));
    EXPECT_EQ(document_.changed, 1);
    // The centre cell moves nothing, yet redraws; a point outside the pane does neither.
    pane_->PaneTrackingStep(cx + cells.width - 1, cy, kModifierLeftButton);
    pane_->PaneTrackingStep(-1, -1, kModifierLeftButton);
    EXPECT_EQ(observer_->y, eye.y + 8);
    EXPECT_EQ(pane_->FramesShown(), frames + 2);
    // Without "Button Down" the pointer walks while no button is held.
    Navigate(0);
    pane_->PaneTrackingStep(cx + 3 * cells.width, cy, 0);
    pane_->PaneTrackingStep(cx + 3 * cells.width, cy, kModifierLeftButton);
    EXPECT_EQ(observer_->heading, (heading - 4) & 0xFF);
}

TEST_F(WalkViewTest, StepsFollowATickApartAndAPressedButtonEndsTheWait)
{
    Navigate(kNavigationButtonDown);
    const int32_t cx = pane_->CentreX();
    const int32_t above = pane_->CentreY() + 2 * pane_->Cells().height - 1;
    const int16_t y = observer_->y;
    document_.ticks.clear();
    for (int i = 0; i < 4; ++i) pane_->PaneTrackingStep(cx, above, kModifierLeftButton);
    ASSERT_EQ(document_.ticks.size(), 4u);
    for (size_t i = 1; i < document_.ticks.size(); ++i)
        EXPECT_GE(document_.ticks[i] - document_.ticks[i - 1], 16u) << "step " << i;
    EXPECT_EQ(observer_->y, y + 4 * 8);

    // A button pressed while a step waits for its tick takes the turn: no step is made, and the
    // tracking chain posts none while the button message waits.
    document_.Taken();
    SetCapture(pane_->PaneWindow());
    INPUT release = {};
    release.type = INPUT_MOUSE;
    release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(1, &release, sizeof(release)), 1u);
    pane_->PaneTrackingStep(cx, above, kModifierLeftButton);
    EXPECT_EQ(observer_->y, y + 4 * 8);
    EXPECT_TRUE(document_.Taken().empty());
    ReleaseCapture();
    PumpMessages();
}

TEST_F(WalkViewTest, TheViewPassesUpOnlyWhatTheDocumentMustHear)
{
    // A press without "Button Down" ends in a view change of the path controls, which stays in the
    // view.
    Navigate(0);
    pane_->PaneButtonDown(5, 5, kModifierLeftButton);
    view_->ViewCommand(view_, kCommandLight, kCodeLights, 5);
    // The level command levels and redraws; its view change stays too.
    observer_->SetObserverAngles(20, 30, 40);
    const int32_t frames = pane_->FramesShown();
    EXPECT_EQ(pane_->PaneHandleCommand(kCommandTagLevel, 0), 1);
    EXPECT_EQ((std::array<int32_t, 3>{observer_->roll, observer_->pitch, observer_->heading}),
              (std::array<int32_t, 3>{0, 0, 40}));
    EXPECT_EQ(pane_->FramesShown(), frames + 1);
    // CTRV keeps the place, CTRO goes back to it with the angles 0.
    observer_->SetObserverPosition({12, 34, 56});
    EXPECT_EQ(pane_->PaneHandleCommand(kCommandTagKeepStart, 0), 1);
    observer_->SetObserverPosition({0, 0, 0});
    EXPECT_EQ(pane_->PaneHandleCommand(kCommandTagGoToStart, 0), 1);
    EXPECT_EQ((std::array<int32_t, 4>{observer_->x, observer_->y, observer_->z, observer_->heading}),
              (std::array<int32_t, 4>{12, 34, 56, 0}));
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("NONE"), 0), 0);
    EXPECT_EQ(document_.Taken(), (Commands{{kCommandLight, kCodeLights, 0}, {kCommandStep, kCodeRedrawStep, 0}}));
}

TEST_F(WalkViewTest, PreferencesApplyWhenChangedOrForcedAndPlacementsRoundHalfUp)
{
    NavigationSection* navigation = preferences_->Navigation();
    navigation->lensNumerator = 3;
    navigation->lensDenominator = 2;
    // Unchanged and not forced: nothing applies; forced: the lens.
    view_->ViewNotify(nullptr, kCommandViewChange, kCodeNavigationPreferences, 0);
    EXPECT_NE(observer_->zoomNum, 3);
    view_->ViewNotify(nullptr, kCommandApplied, kCodeNavigationPreferences, 0);
    EXPECT_EQ(observer_->zoomNum, 3);
    EXPECT_EQ(observer_->zoomDen, 2);
    // A ratio term beyond 16 bits fixes no ratio (65537 would otherwise be 1).
    Navigate(0, 1, 65537, 1);
    EXPECT_EQ(pane_->ViewRect().right, pane_->ContentRect().right);

    view_->SetViewPlacement(IntToFixed(1) + kHalf, IntToFixed(1) + kHalf - 1, -IntToFixed(2) + kHalf,
                            IntToFixed(255) + kHalf, IntToFixed(3), -IntToFixed(1));
    EXPECT_EQ((std::array<int32_t, 6>{observer_->x, observer_->y, observer_->z, observer_->roll, observer_->pitch,
                                      observer_->heading}),
              (std::array<int32_t, 6>{2, 1, -1, 0, 3, 255}));
    view_->SetViewPlacement(IntToFixed(32767) + kHalf, 0, 0, 0, 0, 0);
    EXPECT_EQ(observer_->x, 32767) << "clamped, not wrapped";
    // Angles go as given: the observer keeps them modulo 256, the walk's copy whole.
    view_->SetViewPlacement(0, 0, 0, IntToFixed(300), IntToFixed(-1), IntToFixed(256) + kHalf);
    EXPECT_EQ((std::array<int32_t, 3>{observer_->roll, observer_->pitch, observer_->heading}),
              (std::array<int32_t, 3>{44, 255, 1}));
    const Fixed* whole = observer_->State().Angles;
    EXPECT_EQ((std::array<Fixed, 3>{whole[0], whole[1], whole[2]}),
              (std::array<Fixed, 3>{IntToFixed(300), IntToFixed(-1), IntToFixed(257)}));
    EXPECT_EQ(view_->ReservedStatus(), 0) << "the base answers -1";
}

TEST_F(WalkViewTest, TheViewAndItsWindowCanGoInEitherOrder)
{
    // The window first: the view forgets the destroyed pane.
    window_->DestroyWindowObject();
    window_ = document_.window = nullptr;
    EXPECT_EQ(view_->Navigation(), nullptr);
    // No window is made for it any more.
    const int32_t asked = document_.windowsAsked;
    view_->SetName("Room 2");
    EXPECT_EQ(document_.windowsAsked, asked);
    view_->ViewNotify(nullptr, kCommandStep, kCodeRedrawStep, 0);
    view_->Free();
    view_ = nullptr;

    // The view first: the pane stays with its window and calls no view.
    auto* view = new WalkView;
    view->SetInner(&document_);
    view->Init(frame_);
    NavigationPane* pane = view->Navigation();
    window_ = document_.window = MakeWindow(kWindowRect);
    view->AttachView(kAttachWindowMade);
    ASSERT_EQ(pane->Owner(), window_);
    view->Free();
    EXPECT_EQ(pane->PaneHandleCommand(kCommandTagLights, 0), 1);
    EXPECT_TRUE(document_.Taken().empty());

    // A view whose pane never went into a window destroys it.
    view = new WalkView;
    view->Init(frame_);
    view->Free();
}

TEST_F(WalkViewTest, ThePanesWalkMenuAndPathStripActOnThePaneAndTheView)
{
    Navigate(kNavigationCrossHair, 0, 1, 1);
    NavigationPaneOptionsMenu* menu = NavigationPaneOptionsMenu::Make(pane_, frame_);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->ItemCount(), 14);
    menu->UpdateMenu();
    // The commands of the checked items.
    auto checks = [menu] {
        std::vector<int32_t> checked;
        for (int32_t position = 1; position <= menu->ItemCount(); ++position)
            if (menu->IsMenuItemChecked(position)) checked.push_back(NavigationPaneOptionsMenu::CommandAt(position));
        return checked;
    };
    EXPECT_EQ(checks(), (std::vector<int32_t>{kOptionsCrossHair, kOptionsNormal, kOptionsStop}));

    // "Button Down" off keeps hover motion going; the grid and a speed redraw at once.
    menu->DoMenuCommand(1, 0);  // "Button Down", the first item
    EXPECT_NE(pane_->HasNavigationOption(kNavigateButtonDown), 0);
    EXPECT_EQ(pane_->PaneWantsRepeat(), 0);
    menu->OptionsCommand(kOptionsButtonDown);
    EXPECT_EQ(pane_->PaneWantsRepeat(), 1);
    const int32_t frames = pane_->FramesShown();
    menu->OptionsCommand(kOptionsVelocityGrid);
    menu->DoMenuCommand(6, 0);  // "Faster", after the first separator
    EXPECT_NE(pane_->HasNavigationOption(kNavigateVelocityGrid), 0);
    EXPECT_EQ(pane_->FramesShown(), frames + 2);
    EXPECT_EQ(observer_->GetObserverOptions(0x3FFF), RenderOptionMask(*preferences_->Render()));
    menu->OptionsCommand(kOptionsAspectRatio);
    menu->OptionsCommand(kOptionsRecord);
    menu->UpdateMenu();
    EXPECT_EQ(checks(), (std::vector<int32_t>{kOptionsCrossHair, kOptionsVelocityGrid, kOptionsFaster,
                                              kOptionsRecord, kOptionsAspectRatio}));
    EXPECT_NE(pane_->ViewRect().right - pane_->ViewRect().left, pane_->ContentRect().right);
    // A gallery view has no path.
    view_->SetKind(kViewGallery);
    menu->UpdateMenu();
    const MenuItem* record = menu->MenuItemAt(NavigationPaneOptionsMenu::PositionOf(kOptionsRecord));
    EXPECT_EQ(record->flags & (kMenuItemEnabled | kMenuItemChecked), 0);
    view_->SetKind(kViewWalk);
    menu->DeleteMenuObject();
    NavigationPane::SetHoverRepeat(0);

    // The strip presses the button of the view's state: recording, then idle after play.
    PathStateStrip* strip = PathStateStrip::Make(pane_);
    ASSERT_NE(strip, nullptr);
    strip->Click(0, 0);
    EXPECT_EQ(view_->PlayState(), WalkView::kPlayRecording);
    EXPECT_EQ(strip->FirstPressedIndex(), 0);
    strip->Click(2, 0);
    EXPECT_EQ(view_->PlayState(), WalkView::kPlayIdle);
    EXPECT_EQ(strip->FirstPressedIndex(), 1);
    EXPECT_EQ(strip->LastPressedIndex(), 1);
    strip->Destroy();
}

}  // namespace
