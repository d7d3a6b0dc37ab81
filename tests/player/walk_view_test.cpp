// The walk view and its navigation pane in a real window: the pixels of a frame (cross hair,
// bars, the last row), a navigation step redrawing at once, the commands the view passes up and
// the notifications that redraw, the preferences applied, and the pane and view let go in either
// order. A document of the tests' own passes every command back to the view as the player's
// document does.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "draw/port_base.h"
#include "model/model_document.h"
#include "model/model_holder.h"
#include "model/model_object.h"
#include "model/surface.h"
#include "player/navigation_pane.h"
#include "player/player_preferences.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "render/face_front_end.h"
#include "render/projection.h"
#include "render/raster_buffers.h"
#include "tests/toolkit/toolkit_support.h"
#include "textures/shade_level_tables.h"
#include "toolkit/app_commands.h"
#include "toolkit/input_events.h"
#include "toolkit/window.h"
#include "tools/sample_scenes.h"

namespace {

constexpr int32_t kWidth = 400;
constexpr int32_t kHeight = 300;
constexpr COLORREF kBlackPixel = RGB(0, 0, 0);
constexpr COLORREF kWhitePixel = RGB(255, 255, 255);
constexpr RGBColor48 kSky = {0x2000, 0x4000, 0x8000};
constexpr RGBColor48 kRed = {0xFFFF, 0, 0};
constexpr WindowFlags kViewWindowFlags = kWindowCaption | kWindowSystemMenu;
constexpr WindowSize kNoSize = {0, 0};
constexpr Fixed kHalf = 0x8000;

using Command = std::array<int32_t, 3>;  // kind, code, value
using Commands = std::vector<Command>;

// What the player document does for a view: its preferences and model, every command passed
// down to the view, the view's window.
class TestDocument : public ViewBase {
public:
    void ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override
    {
        commands.push_back({kind, code, value});
        if (view) view->ViewNotify(sender, kind, code, value);
    }
    PlayerPreferences* Preferences() override { return preferences; }
    Window* GetWindow(int32_t kind) override { return window; }
    void SetChanged(int32_t value) override { changed = value; }

    Commands Taken()
    {
        Commands taken = commands;
        commands.clear();
        return taken;
    }

    WalkView* view = nullptr;
    PlayerPreferences* preferences = nullptr;
    Window* window = nullptr;
    Commands commands;
    int32_t changed = 0;
};

class WalkViewTest : public FrameFixture {
protected:
    static void SetUpTestSuite()
    {
        InstallRendererRegionWork();
        PolyRgnStartup();
        InitProjectionArrays();
        InitRasterBuffers();
        BuildShadeLevelTables();
        SetDirectPixelDrawing(1);
    }

    static void TearDownTestSuite()
    {
        FreeShadeLevelTables();
        FreeRasterBuffers();
        FreeProjectionArrays();
        PolyRgnShutdown();
    }

    void SetUp() override
    {
        FrameFixture::SetUp();
        ASSERT_NE(frame_, nullptr);
        // A sky-coloured world with a red box straight ahead.
        holder_ = new ModelHolder;
        holder_->ModelHolderInit(nullptr);
        holder_->Root->SetColours(kSky, 0xFFFF, kSideBoth);
        ModelObject* box = MakeBox(holder_, -100, 400, -100, 100, 500, 100);
        ASSERT_NE(box, nullptr);
        box->SetColours(kRed, 0xFFFF, kSideBoth);
        holder_->Root->AddChild(box);
        observer_ = new WalkObserver;
        ASSERT_EQ(observer_->Init(holder_), kResultOk);
        observer_->SetOwner(&document_);
        preferences_ = new PlayerPreferences;
        ASSERT_EQ(preferences_->Init(), kResultOk);
        document_.preferences = preferences_;
        // Base colours: the world has no lights.
        preferences_->Render()->wordB = 0;

        window_ = new Window;
        ASSERT_EQ(window_->CreateWindowObject({0, 0, kWidth, kHeight}, "Walk", kNoSize, kNoSize, kNoSize,
                                              kViewWindowFlags, kWindowDestroys),
                  kResultOk);
        window_->SetWindowOwner(frame_);
        frame_->RegisterDocumentWindow(window_);
        document_.window = window_;

        // The view made as the document makes it: observer, record, inner and kind, its panes, the
        // panes in the window, the preferences applied with force, the window shown.
        view_ = new WalkView;
        view_->SetViewObserver(observer_);
        view_->ViewRecordInit();
        view_->SetInner(&document_);
        view_->SetKind(kViewWalk);
        view_->Init(frame_);
        document_.view = view_;
        view_->SetName("Room");
        view_->AttachView(3);
        pane_ = view_->Navigation();
        ASSERT_NE(pane_, nullptr);
        ASSERT_EQ(pane_->Owner(), window_);
        view_->ViewCommand(nullptr, kCommandApplied, kCodeRenderPresets, 0);
        window_->ShowWindowObject();
        PumpMessages();
        document_.Taken();
    }

    void TearDown() override
    {
        if (view_) view_->Free();
        if (window_) window_->DestroyWindowObject();
        if (observer_) observer_->Free();
        if (preferences_) preferences_->Free();
        if (holder_) holder_->ModelHolderDestroy();
        FrameFixture::TearDown();
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

    TestDocument document_;
    ModelHolder* holder_ = nullptr;
    WalkObserver* observer_ = nullptr;
    PlayerPreferences* preferences_ = nullptr;
    Window* window_ = nullptr;
    WalkView* view_ = nullptr;
    NavigationPane* pane_ = nullptr;
};

TEST_F(WalkViewTest, AFrameShowsTheCrossHairAndBlackBarsKeepingTheRatio)
{
    // 1:1 in a pane wider than high: bars at the sides.
    Navigate(kNavigationCrossHair, 1, 1, 1);
    const PortRect content = pane_->ContentRect();
    ASSERT_GT(content.right, content.bottom);
    const PortRect view = pane_->ViewRect();
    EXPECT_EQ(view.right - view.left, content.bottom);
    EXPECT_EQ(view.top, 0);
    EXPECT_EQ(pane_->FirstBarRect().right, view.left);
    EXPECT_EQ(pane_->SecondBarRect().left, view.right);
    EXPECT_EQ(observer_->width, view.right - pane_->CentreX());
    EXPECT_EQ(observer_->height, view.bottom - pane_->CentreY());

    // After a draw that was not plain, a plain one copies the whole pane.
    pane_->RedrawPane(kDrawOffscreenOnly);
    Whiten();
    const int32_t frames = pane_->FramesShown();
    pane_->RedrawPane(kDrawPlain);
    EXPECT_EQ(pane_->FramesShown(), frames + 1);
    const int32_t cx = pane_->CentreX();
    const int32_t cy = pane_->CentreY();
    // Black arms to 9 pixels from the centre, white tips from 10 to 12.
    for (int32_t d = -9; d <= 9; ++d) {
        EXPECT_EQ(Pixel(cx + d, cy), kBlackPixel) << d;
        EXPECT_EQ(Pixel(cx, cy + d), kBlackPixel) << d;
    }
    for (int32_t d = 10; d <= 12; ++d) {
        EXPECT_EQ(Pixel(cx - d, cy), kWhitePixel) << d;
        EXPECT_EQ(Pixel(cx + d, cy), kWhitePixel) << d;
        EXPECT_EQ(Pixel(cx, cy - d), kWhitePixel) << d;
        EXPECT_EQ(Pixel(cx, cy + d), kWhitePixel) << d;
    }
    // Beyond the tips, the model: the red box straight ahead.
    const COLORREF model = Pixel(cx + 13, cy);
    EXPECT_NE(model, kWhitePixel);
    EXPECT_NE(model, kBlackPixel);
    EXPECT_EQ(Pixel(cx - 13, cy), model);
    // The bars are black from top to bottom, the view's last row too, the rest of its edge not.
    for (int32_t y = 0; y < content.bottom; y += 7) {
        EXPECT_EQ(Pixel(0, y), kBlackPixel) << y;
        EXPECT_EQ(Pixel(view.left - 1, y), kBlackPixel) << y;
        EXPECT_EQ(Pixel(view.right, y), kBlackPixel) << y;
        EXPECT_EQ(Pixel(content.right - 1, y), kBlackPixel) << y;
    }
    EXPECT_EQ(Pixel(view.left + 1, content.bottom - 1), kBlackPixel);
    EXPECT_NE(Pixel(view.left + 1, content.bottom - 2), kBlackPixel);
    EXPECT_NE(Pixel(view.left, 0), kBlackPixel);
    EXPECT_NE(Pixel(view.right - 1, 0), kBlackPixel);

    // A plain redraw after a plain redraw copies the view only: the bars are left as they are.
    Whiten();
    pane_->RedrawPane(kDrawPlain);
    EXPECT_EQ(Pixel(0, 0), kWhitePixel);
    EXPECT_EQ(Pixel(view.left, 5), Pixel(view.left + 1, 5));
    // Without the cross hair the model shows at the centre.
    Navigate(0, 1, 1, 1);
    pane_->RedrawPane(kDrawPlain);
    EXPECT_EQ(Pixel(cx, cy), model);
}

TEST_F(WalkViewTest, NothingIsCopiedForTheOffscreenOnlyOrWhileAModelLoads)
{
    Navigate(kNavigationCrossHair);
    Whiten();
    const int32_t frames = pane_->FramesShown();
    pane_->RedrawPane(kDrawOffscreenOnly);
    ++ModelLoadDepth;
    pane_->RedrawPane(kDrawPlain);
    --ModelLoadDepth;
    EXPECT_EQ(pane_->FramesShown(), frames);
    EXPECT_EQ(Pixel(pane_->CentreX(), pane_->CentreY()), kWhitePixel);
    EXPECT_EQ(Pixel(0, pane_->ContentRect().bottom - 1), kWhitePixel);
}

TEST_F(WalkViewTest, AStepAboveTheCrossHairWalksForwardAndRedrawsOnceAtOnce)
{
    Navigate(kNavigationCrossHair | kNavigationButtonDown);
    const NavigationCells cells = pane_->Cells();
    const int32_t cx = pane_->CentreX();
    const int32_t cy = pane_->CentreY();
    // Two cells and a pixel above the centre: row 2, a forward step of 8.
    const int32_t above = cy + 2 * cells.height - 1;
    const int16_t x = observer_->x;
    const int16_t y = observer_->y;
    const int16_t heading = observer_->heading;

    // With "Button Down" nothing moves without the button.
    int32_t frames = pane_->FramesShown();
    pane_->PaneTrackingStep(cx, above, 0);
    EXPECT_EQ(observer_->y, y);
    EXPECT_EQ(pane_->FramesShown(), frames);
    EXPECT_TRUE(document_.Taken().empty());

    pane_->PaneTrackingStep(cx, above, kModifierLeftButton);
    EXPECT_EQ(observer_->y, y + 8);
    EXPECT_EQ(observer_->x, x);
    EXPECT_EQ(observer_->heading, heading);
    EXPECT_EQ(pane_->FramesShown(), frames + 1) << "drawn before the step returned";
    EXPECT_EQ(document_.Taken(), (Commands{{kCommandStep, kCodeRedrawStep, 0}}));
    EXPECT_EQ(document_.changed, 1);

    // The centre cell moves nothing, yet redraws; a point outside the pane does neither.
    frames = pane_->FramesShown();
    pane_->PaneTrackingStep(cx + cells.width - 1, cy, kModifierLeftButton);
    EXPECT_EQ(observer_->y, y + 8);
    EXPECT_EQ(observer_->heading, heading);
    EXPECT_EQ(pane_->FramesShown(), frames + 1);
    pane_->PaneTrackingStep(-1, -1, kModifierLeftButton);
    EXPECT_EQ(pane_->FramesShown(), frames + 1);

    // Without "Button Down" the pointer walks while no button is held; right of the centre it
    // turns right.
    Navigate(kNavigationCrossHair);
    pane_->PaneTrackingStep(cx + 3 * cells.width, cy, 0);
    EXPECT_EQ(observer_->heading, (heading - 4) & 0xFF);
    pane_->PaneTrackingStep(cx + 3 * cells.width, cy, kModifierLeftButton);
    EXPECT_EQ(observer_->heading, (heading - 4) & 0xFF);
}

TEST_F(WalkViewTest, TheViewPassesUpWhatTheDocumentMustHearAndKeepsTheRest)
{
    view_->ViewCommand(nullptr, kCommandViewChange, kCodePathControls, 0);
    view_->ViewCommand(nullptr, kCommandViewChange, kCodeRedrawStep, 0);
    EXPECT_TRUE(document_.Taken().empty());
    view_->ViewCommand(view_, kCommandViewChange, kCodeRenderPresets, 5);
    view_->ViewCommand(view_, kCommandLight, kCodeLights, 5);
    view_->ViewCommand(view_, kCommandStep, kCodeRedraw, 5);
    EXPECT_EQ(document_.Taken(), (Commands{{kCommandViewChange, kCodeRenderPresets, 0},
                                           {kCommandLight, kCodeLights, 0},
                                           {kCommandStep, kCodeRedraw, 0}}));
    EXPECT_EQ(document_.changed, 0);

    // A press without "Button Down", and the release with it, end in code 1020, which stays.
    Navigate(0);
    pane_->PaneButtonDown(5, 5, kModifierLeftButton);
    EXPECT_TRUE(document_.Taken().empty());

    // The pane's commands: TILT levels and redraws, CTRO goes to the start position, ELIT.
    observer_->SetObserverAngles(20, 30, 40);
    const int32_t frames = pane_->FramesShown();
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("TILT"), 0), 1);
    EXPECT_EQ(observer_->roll, 0);
    EXPECT_EQ(observer_->pitch, 0);
    EXPECT_EQ(observer_->heading, 40);
    EXPECT_EQ(pane_->FramesShown(), frames + 1);
    EXPECT_TRUE(document_.Taken().empty()) << "code 1015 of kind 7 stays in the view";

    observer_->SetObserverPosition({12, 34, 56});
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("CTRV"), 0), 1);
    observer_->SetObserverPosition({0, 0, 0});
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("CTRO"), 0), 1);
    EXPECT_EQ(observer_->x, 12);
    EXPECT_EQ(observer_->y, 34);
    EXPECT_EQ(observer_->z, 56);
    EXPECT_EQ(observer_->heading, 0);
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("ELIT"), 0), 1);
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("PRNT"), 0), 1);
    EXPECT_EQ(pane_->PaneHandleCommand(CommandTag("NONE"), 0), 0);
    EXPECT_EQ(document_.Taken(),
              (Commands{{kCommandStep, kCodeRedrawStep, 0}, {kCommandLight, kCodeLights, 0}}));
}

TEST_F(WalkViewTest, PreferencesApplyWhenChangedOrForcedAndPlacementsRoundHalfUp)
{
    NavigationSection* navigation = preferences_->Navigation();
    navigation->lensNumerator = 3;
    navigation->lensDenominator = 2;
    navigation->options = kNavigationVelocityGrid;
    // Unchanged and not forced: nothing of the section applies.
    view_->ViewNotify(nullptr, kCommandViewChange, kCodeNavigationPreferences, 0);
    EXPECT_NE(observer_->zoomNum, 3);
    EXPECT_EQ(pane_->HasNavigationOption(kNavigateVelocityGrid), 0);
    view_->ViewNotify(nullptr, kCommandApplied, kCodeNavigationPreferences, 0);
    EXPECT_EQ(observer_->zoomNum, 3);
    EXPECT_EQ(observer_->zoomDen, 2);
    EXPECT_NE(pane_->HasNavigationOption(kNavigateVelocityGrid), 0);

    // An aspect ratio beyond what a pane can hold fixes none.
    navigation->aspectOn = 1;
    navigation->aspect[0] = 65537;
    navigation->aspect[1] = 1;
    view_->ViewNotify(nullptr, kCommandApplied, kCodeNavigationPreferences, 0);
    EXPECT_EQ(pane_->ViewRect().right, pane_->ContentRect().right);

    // The render section's options reach the observer.
    RenderSection* render = preferences_->Render();
    render->wordA = 0;
    render->wordB = 4;
    render->wordC = 1;
    SetChangeState(render, 1);
    view_->ViewNotify(nullptr, kCommandViewChange, kCodeRenderPresets, 0);
    EXPECT_EQ(observer_->GetObserverOptions(0x3FFF), RenderOptionMask(*render));

    view_->SetViewPlacement(IntToFixed(1) + kHalf, IntToFixed(1) + kHalf - 1, -IntToFixed(2) + kHalf,
                            IntToFixed(255) + kHalf, IntToFixed(3), -IntToFixed(1));
    EXPECT_EQ(observer_->x, 2);
    EXPECT_EQ(observer_->y, 1);
    EXPECT_EQ(observer_->z, -1);
    EXPECT_EQ(observer_->roll, 0);
    EXPECT_EQ(observer_->pitch, 3);
    EXPECT_EQ(observer_->heading, 255);
    view_->SetViewPlacement(IntToFixed(32767) + kHalf, IntToFixed(-32768), 0, 0, 0, 0);
    EXPECT_EQ(observer_->x, 32767) << "clamped, not wrapped";
    EXPECT_EQ(observer_->y, -32768);
}

TEST_F(WalkViewTest, TheViewAndItsWindowCanGoInEitherOrder)
{
    // The window first: the view forgets the destroyed pane.
    window_->DestroyWindowObject();
    window_ = nullptr;
    document_.window = nullptr;
    EXPECT_EQ(view_->Navigation(), nullptr);
    EXPECT_EQ(view_->GetWindow(kViewWalk), nullptr);
    view_->ViewNotify(nullptr, kCommandStep, kCodeRedrawStep, 0);
    view_->Free();
    view_ = nullptr;

    // The view first: the pane stays with its window and calls no view.
    auto* view = new WalkView;
    view->SetViewObserver(observer_);
    view->SetInner(&document_);
    view->Init(frame_);
    NavigationPane* pane = view->Navigation();
    auto* window = new Window;
    ASSERT_EQ(window->CreateWindowObject({0, 0, 200, 150}, "Walk", kNoSize, kNoSize, kNoSize, kViewWindowFlags,
                                         kWindowDestroys),
              kResultOk);
    window->SetWindowOwner(frame_);
    frame_->RegisterDocumentWindow(window);
    document_.window = window;
    view->AttachView(3);
    ASSERT_EQ(pane->Owner(), window);
    view->Free();
    EXPECT_EQ(pane->PaneHandleCommand(CommandTag("ELIT"), 0), 1);
    EXPECT_TRUE(document_.Taken().empty());
    window->DestroyWindowObject();
    document_.window = nullptr;

    // A view whose pane never went into a window destroys it.
    view = new WalkView;
    view->Init(frame_);
    ASSERT_NE(view->Navigation(), nullptr);
    view->Free();
}

}  // namespace
