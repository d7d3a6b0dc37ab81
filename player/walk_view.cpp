// The walk view: its navigation pane, the commands it passes up to the document and the
// notifications that redraw the pane or apply the preferences.
#include "player/walk_view.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <initializer_list>
#include <new>

#include "player/event_log.h"
#include "player/navigation_pane.h"
#include "player/navigation_panel.h"
#include "player/player_document.h"
#include "player/player_preferences.h"
#include "player/walk_observer.h"
#include "player/window_record_kinds.h"
#include "toolkit/button_panel_window.h"
#include "toolkit/window.h"

namespace {

bool IsOneOf(int32_t code, std::initializer_list<int32_t> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// A 16.16 value rounded half up: a fraction of 0x8000 or more adds 1.
int32_t RoundHalfUp(Fixed value)
{
    return int32_t((int64_t(value) + 0x8000) >> 16);
}

// A place is clamped to the 16 bits the observer keeps, never wrapped. An angle goes as given
// (in its low 16 bits, which keep its steps modulo 256): the observer keeps it modulo 256 and
// the walk observer's copy whole.
int16_t PlaceOf(Fixed value)
{
    return int16_t(std::clamp<int32_t>(RoundHalfUp(value), INT16_MIN, INT16_MAX));
}

int16_t AngleOf(Fixed value)
{
    return int16_t(uint16_t(RoundHalfUp(value)));
}

// The screen rectangle of a rectangle of a window's client area as "left,top,right,bottom".
void ClientOnScreen(HWND window, const PortRect& client, char* text, size_t size)
{
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    MapWindowPoints(window, nullptr, corners, 2);
    std::snprintf(text, size, "%ld,%ld,%ld,%ld", corners[0].x, corners[0].y, corners[1].x, corners[1].y);
}

}  // namespace

void WalkView::Init(DocumentFrame* owner)
{
    playState_ = kPlayIdle;
    ViewBase::Init(owner);
    MakePane(this, kPaneNavigation);
    MakePane(this, kPaneNavigationPanel);
}

void WalkView::Free()
{
    // A pane in a window goes with its window; one that no window holds goes now.
    if (navigation_) {
        navigation_->AttachNavigation(nullptr, nullptr);
        if (!navigation_->Owner()) navigation_->PaneDestroy();
        navigation_ = nullptr;
    }
    if (panel_) {
        panel_->AttachNavigation(nullptr, nullptr);
        if (!panel_->Owner()) panel_->PaneDestroy();
        panel_ = nullptr;
    }
    if (buttonPanelWindow_) {
        if (!buttonPanelWindow_->Owner()) buttonPanelWindow_->PaneDestroy();
        buttonPanelWindow_ = nullptr;
    }
    ViewBase::Free();
}

void WalkView::SetViewObserver(WalkObserver* observer)
{
    observer_ = observer;
    if (navigation_) navigation_->AttachNavigation(this, observer);
    if (panel_) panel_->AttachNavigation(this, observer);
}

void WalkView::ForgetNavigation(NavigationPane* pane)
{
    if (navigation_ == pane) navigation_ = nullptr;
}

void WalkView::ForgetPanel(NavigationPanel* panel)
{
    if (panel_ == panel) panel_ = nullptr;
}

Pane* WalkView::MakePane(ViewBase*, int32_t kind)
{
    if (kind == kPaneNavigation) {
        auto* pane = new (std::nothrow) NavigationPane;
        if (!pane) return nullptr;
        pane->PaneCreate(0);
        pane->AttachNavigation(this, observer_);
        navigation_ = pane;
        return pane;
    }
    if (kind == kPaneNavigationPanel || kind == kPaneNavigationPanelOther) {
        auto* panel = new (std::nothrow) NavigationPanel;
        if (!panel) return nullptr;
        panel->PaneCreate(kPaneDimWhenInactive);
        panel->AttachNavigation(this, observer_);
        panel_ = panel;
        return panel;
    }
    if (kind == kPaneButtonPanelWindow) {
        auto* pane = new (std::nothrow) ButtonPanelWindow;
        if (!pane) return nullptr;
        pane->PaneCreate(0);
        pane->PanelWindowSetPlacement(nullptr, kPanelBottomStrip);
        buttonPanelWindow_ = pane;
        return pane;
    }
    return nullptr;
}

void WalkView::AttachView(int32_t code)
{
    if (code == kAttachWindowMade) {
        Window* window = GetWindow(kViewWalk);
        if (window && navigation_) window->AddPane(navigation_);
        if (window && panel_) window->AddPane(panel_);
        SetName(name_);
    } else if (code == kAttachOtherKind) {
        if (inner_) inner_->FindOrCreate(this, kFindCurrentView);
        if (buttonPanelWindow_)
            if (Window* window = GetWindow(kButtonPanelWindowKind)) window->AddPane(buttonPanelWindow_);
        if (Record()) activeRecordWord_ = Record()[0];
        ViewCommand(nullptr, kCommandViewChange, kCodePathControls, 0);
    }
}

void WalkView::AdjustPaneRect(PortRect* rect, int32_t kind)
{
    const int32_t strip = PanelStripHeight();
    if (kind == kPaneNavigation) rect->bottom -= strip;
    if (kind == kPaneNavigationPanel) rect->top = rect->bottom - strip;
}

Window* WalkView::GetWindow(int32_t kind)
{
    for (int32_t documentKind : kDocumentWindowKinds)
        if (kind == documentKind) return inner_ ? inner_->GetWindow(kind) : nullptr;
    // A view whose pane went with its window shows nothing and has no window made for it.
    if (!navigation_) return nullptr;
    if (navigation_->Owner()) return navigation_->Owner();
    return inner_ ? inner_->GetWindow(kind) : nullptr;
}

PlayerDocument* WalkView::Document() const
{
    return inner_ && inner_->GetKind() == kViewDocument ? static_cast<PlayerDocument*>(inner_) : nullptr;
}

int32_t WalkView::ViewCommand(ViewBase*, int32_t kind, int32_t code, int32_t value)
{
    if (!inner_) return 0;
    switch (kind) {
    case kCommandApplied:
    case kCommandLight:
        inner_->ViewCommand(nullptr, kind, code, 0);
        break;
    case kCommandStep:
        inner_->ViewCommand(nullptr, kind, code, 0);
        if (code == kCodeRedrawStep) inner_->SetChanged(1);
        break;
    case kCommandViewChange:
        if (code != kCodeRedrawStep && code != kCodePathControls) inner_->ViewCommand(nullptr, kind, code, 0);
        break;
    case kCommandRecording:
        if (code == kCodeRedrawStep)
            if (PlayerDocument* document = Document()) document->SetPathRecording(value);
        break;
    case kCommandPlay:
        if (code == kCodeRedrawStep)
            if (PlayerDocument* document = Document()) document->PlacePathStart();
        break;
    default:
        break;
    }
    return 0;
}

void WalkView::ViewNotify(ViewBase*, int32_t kind, int32_t code, int32_t)
{
    switch (kind) {
    case kCommandApplied:
    case kCommandViewChange:
        if (IsOneOf(code, {kCodeModelChanged, kCodeViewChanged, kCodeRedrawStep, kCodeContentChanged}))
            AttachAndRedraw();
        else if (IsOneOf(code, {kCodeNavigationPreferences, kCodePreferencesChanged, kCodeRenderPresets}))
            ApplyPreferences(Preferences(), kind == kCommandApplied ? 1 : 0);
        break;
    case kCommandSceneChange:
    case kCommandModel:
    case kCommandLight:
        if (IsOneOf(code, {kCodeModelChanged, kCodeViewChanged, kCodeNavigationPreferences, kCodeRedrawStep,
                           kCodeContentChanged}))
            AttachAndRedraw();
        break;
    case kCommandStep:
        // Every walk step and path point: the frame is drawn before the step returns.
        if (IsOneOf(code, {kCodeModelChanged, kCodeNavigationPreferences, kCodeRedrawStep, kCodeRedraw,
                           kCodeContentChanged}))
            RedrawNavigation();
        break;
    default:
        break;
    }
}

void WalkView::AttachAndRedraw()
{
    if (observer_) observer_->AttachObserverToWorld();
    RedrawNavigation();
}

void WalkView::RedrawNavigation()
{
    if (navigation_) navigation_->RedrawPane(kDrawPlain);
}

void WalkView::ApplyPreferences(PlayerPreferences* preferences, int32_t force)
{
    if (!preferences || !observer_) return;
    bool applied = false;
    const NavigationSection* navigation = preferences->Navigation();
    if (force || GetChangeState(navigation) != kChangeStateReset) {
        applied = true;
        if (observer_->zoomNum != navigation->lensNumerator || observer_->zoomDen != navigation->lensDenominator)
            observer_->SetViewZoom(navigation->lensNumerator, navigation->lensDenominator);
        if (navigation_) {
            navigation_->SetNavigationOptions(NavigationOptionMask(*navigation));
            int16_t aspectWidth;
            int16_t aspectHeight;
            NavigationAspectRatio(*navigation, &aspectWidth, &aspectHeight);
            navigation_->SetAspectRatio(aspectWidth, aspectHeight);
        }
    }
    const RenderSection* render = preferences->Render();
    if (force || GetChangeState(render) != kChangeStateReset) {
        applied = true;
        observer_->SetObserverOptions(RenderOptionMask(*render));
    }
    observer_->AttachObserverToWorld();
    if (applied && navigation_) navigation_->PaneOwnerResized();
}

void WalkView::ApplyViewOptions()
{
    PlayerPreferences* preferences = Preferences();
    if (!preferences || !observer_) return;
    if (navigation_) navigation_->SetNavigationOptions(NavigationOptionMask(*preferences->Navigation()));
    observer_->SetObserverOptions(RenderOptionMask(*preferences->Render()));
}

void WalkView::SetPlayState(int32_t state)
{
    playState_ = state;
    if (state == kPlayRecording) {
        ViewCommand(this, kCommandRecording, kCodeRedrawStep, 1);
    } else if (state == kPlayRequested) {
        ViewCommand(this, kCommandPlay, kCodeRedrawStep, 0);
        playState_ = kPlayIdle;
    } else if (state == kPlayIdle) {
        ViewCommand(this, kCommandRecording, kCodeRedrawStep, 0);
    }
}

void WalkView::ToggleFullScreen(int32_t on)
{
    PlayerDocument* document = Document();
    if (!document || !navigation_) return;
    Window* window = navigation_->Owner();
    if (panel_ && window) {
        if (on)
            window->RemovePane(panel_);
        else
            window->AddPane(panel_);
    }
    // The pane lays itself out for the window it goes into: no room for the panel while the view
    // fills the screen.
    navigation_->SetFullScreenState(on);
    const int32_t screen = document->SetFullScreen(this, uint8_t(on != 0));
    navigation_->SetFullScreenState(screen);
    // A view that could not leave its window takes its panel back.
    if (on && !screen && panel_ && window) window->AddPane(panel_);
    LogEvent("full-screen %d", int(screen != 0));
    LogPlace();
}

bool WalkView::FillsScreen() const
{
    const PlayerDocument* document = Document();
    return document && document->FullScreen();
}

void WalkView::LogPlace() const
{
    Window* window = navigation_ ? navigation_->Owner() : nullptr;
    if (!window) return;
    HWND hwnd = window->GetWindowHandle();
    RECT client;
    GetClientRect(hwnd, &client);
    char place[64];
    ClientOnScreen(hwnd, {client.left, client.top, client.right, client.bottom}, place, sizeof place);
    LogEvent("model-window %llu %s", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)), place);
    if (panel_ && panel_->PaneWindow()) {
        ClientOnScreen(panel_->PaneWindow(), panel_->ContentRect(), place, sizeof place);
        LogEvent("panel %s", place);
    }
    if (!navigation_->PaneWindow()) return;
    const PortRect& rect = navigation_->ViewRect();
    ClientOnScreen(navigation_->PaneWindow(), rect, place, sizeof place);
    LogEvent("pane %s size %dx%d", place, int(rect.Width()), int(rect.Height()));
}

void WalkView::SetViewPlacement(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading)
{
    if (!observer_) return;
    observer_->SetObserverPosition({PlaceOf(x), PlaceOf(y), PlaceOf(z)});
    observer_->SetObserverAngles(AngleOf(roll), AngleOf(pitch), AngleOf(heading));
}
