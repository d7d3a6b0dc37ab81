// The navigation pane: one frame drawn through the shared offscreen with its bars, cross hair and
// velocity grid; the navigation step, the help line and the navigation commands.
#include "player/navigation_pane.h"

#include <windows.h>

#include "draw/pen_state.h"
#include "draw/port_base.h"
#include "draw/shapes.h"
#include "draw/wait_cursor.h"
#include "foundation/process_state.h"
#include "foundation/ui_services.h"
#include "model/model_document.h"
#include "player/application_state.h"
#include "player/command_tags.h"
#include "player/event_log.h"
#include "player/model_window.h"
#include "player/navigation_panel.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/view_base.h"
#include "player/walk_menu_settings.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "render/device_points.h"
#include "render/frame_render.h"
#include "render/gdi_face_path.h"
#include "textures/texture_libraries.h"
#include "textures/texture_manager.h"
#include "toolkit/app_commands.h"
#include "toolkit/document_frame.h"
#include "toolkit/input_events.h"
#include "toolkit/message_loop.h"

static_assert(kStepLook == kModifierShift, "a look step is the toolkit's Shift or middle button");
static_assert(kStepSlide == kModifierCtrlOrRight, "a slide step is the toolkit's Ctrl or right button");

namespace {

// Bit 0 keeps the tracking chain going while the pointer hovers without a button.
int32_t gHoverRepeat = 0;

// Cross hair: black arms of 10 pixels from the centre, then white tips to 13.
constexpr int32_t kArm = 10;
constexpr int32_t kTip = 13;
// Velocity grid: five rungs at the cell boundaries, then the sixth with its vertical ticks only;
// white ticks from -5 to +6 with black centres from -3 to +4 (end points not drawn).
constexpr int32_t kGridRungs = 5;
constexpr int32_t kTickBefore = 5;
constexpr int32_t kTickAfter = 6;
constexpr int32_t kCentreBefore = 3;
constexpr int32_t kCentreAfter = 4;

// Each walk step stays on screen for at least one tick of the system clock. A frame takes well
// under a millisecond today, and a held button would otherwise walk hundreds of steps a second,
// faster than anyone can steer.
constexpr DWORD kStepMilliseconds = 16;

// Every option bit the observer takes, for the frame log.
constexpr uint32_t kAllObserverOptions = (1u << kOptionCount) - 1;

void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    MoveTo(x0, y0);
    LineTo(x1, y1);
}

// The ticks of one rung of the grid, each a white stroke with a black centre: across the
// vertical axis at the rows cy - dy and cy + dy, and (unless only the rows) across the horizontal
// axis at the columns cx - dx and cx + dx.
void DrawRung(int32_t cx, int32_t cy, int32_t dx, int32_t dy, bool rowsOnly)
{
    const struct {
        const RGBColor48& colour;
        int32_t before;
        int32_t after;
    } strokes[] = {{kWhiteColor, kTickBefore, kTickAfter}, {kBlackColor, kCentreBefore, kCentreAfter}};
    for (const auto& stroke : strokes) {
        RGBForeColor(stroke.colour);
        Line(cx - stroke.before, cy - dy, cx + stroke.after, cy - dy);
        Line(cx - stroke.before, cy + dy, cx + stroke.after, cy + dy);
        if (rowsOnly) continue;
        Line(cx - dx, cy - stroke.before, cx - dx, cy + stroke.after);
        Line(cx + dx, cy - stroke.before, cx + dx, cy + stroke.after);
    }
}

// The front document's Walk menu, or null while no model is open.
NavigateMenuHandler* FrontWalkMenu()
{
    auto* model = dynamic_cast<ModelDocWindow*>(FrontDocument());
    return model ? model->WalkMenu() : nullptr;
}

}  // namespace

void StepObserver(WalkObserver* observer, const NavigationDeltas& step, bool collision)
{
    if (collision)
        observer->MoveObserverWithCollision(step.forward, step.sideways, step.vertical, step.heading, step.pitch,
                                            step.roll);
    else
        observer->MoveObserverRelative(step.forward, step.sideways, step.vertical, step.heading, step.pitch,
                                       step.roll);
}

int32_t NavigationPane::PaneWantsRepeat()
{
    return gHoverRepeat & 1;
}

void NavigationPane::SetHoverRepeat(int32_t on)
{
    gHoverRepeat = on ? 1 : 0;
}

void NavigationPane::PaneCreate(int32_t flags)
{
    Pane::PaneCreate(flags);
    cells_ = {1, -1};
    fullScreen_ = 0;
    noInterrupt_ = 0;
    lastDrawCode_ = 0;
    framesShown_ = 0;
    renderContextMade_ = renderContext_.Init() == kResultOk;
}

void NavigationPane::PaneDestroy()
{
    renderContext_.Free();
    renderContextMade_ = false;
    if (view_) view_->ForgetNavigation(this);
    view_ = nullptr;
    observer_ = nullptr;
    Pane::PaneDestroy();
}

void NavigationPane::AttachNavigation(WalkView* view, WalkObserver* observer)
{
    view_ = view;
    observer_ = observer;
    // An observer that comes after the layout takes the viewport at once.
    if (observer_ && layout_.viewportWidth > 0)
        observer_->SetViewportSize(layout_.viewportWidth, layout_.viewportHeight);
}

int32_t NavigationPane::SetAspectRatio(int16_t width, int16_t height)
{
    if (width == aspectWidth_ && height == aspectHeight_) return 0;
    aspectWidth_ = width;
    aspectHeight_ = height;
    PaneLayoutChanged();
    return 1;
}

void NavigationPane::SendToView(int32_t kind, int32_t code)
{
    if (view_) view_->ViewCommand(nullptr, kind, code, 0);
}

// --- layout ---

void NavigationPane::PaneLayout(PortRect* rect, ScrollPositions*, int32_t, int32_t)
{
    // Room for the navigation panel along the bottom, except while the view fills the screen.
    if (!fullScreen_) rect->bottom -= PanelStripHeight();
}

void NavigationPane::PaneLayoutChanged()
{
    cells_ = CellsForCentre(centreX_, centreY_);
    layout_ = LayOutNavigation(contentRect_, centreX_, centreY_, aspectWidth_, aspectHeight_);
    if (observer_) observer_->SetViewportSize(layout_.viewportWidth, layout_.viewportHeight);
}

// --- drawing ---

void NavigationPane::Draw(int32_t mode, int32_t, int32_t)
{
    if (ModelLoadingCount > 0) return;
    if (Lock() != kResultOk) return;
    TextureManager* textures = CurrentTextureManager();
    if (textures) LockTextureSet(textures);
    // Short of memory for a context of its own, the pane draws in the program's.
    RenderContextScope context(renderContextMade_ ? &renderContext_ : &CurrentRenderContext());
    // The renderer projects around the cross hair.
    SetViewOrigin(centreX_, centreY_);
    PortRect copy = layout_.view;
    if (mode == kDrawOffscreenOnly) {
        if (observer_) RenderFrameTimed(observer_, 0, 0);
    } else {
        const int16_t interruptible = noInterrupt_ == 0 && IsApplicationStarted() ? 1 : 0;
        if (observer_) RenderFrameTimed(observer_, interruptible, 0);
        // A plain redraw after a plain redraw leaves the bars as they are, unless the grid
        // reaches into them.
        if (!(mode == kDrawPlain && lastDrawCode_ == kDrawPlain && !HasNavigationOption(kNavigateVelocityGrid))) {
            RGBForeColor(kBlackColor);
            PaintRectPolygon(layout_.firstBar);
            PaintRectPolygon(layout_.secondBar);
            copy = contentRect_;
        }
        if (HasNavigationOption(kNavigateCrossHair)) DrawCrossHair();
        if (HasNavigationOption(kNavigateVelocityGrid)) DrawVelocityGrid();
        if (!PickMode) {
            RGBForeColor(kBlackColor);
            Line(copy.left, copy.bottom - 1, copy.right, copy.bottom - 1);
            PaneShowLinkedOffscreen(copy);
            LogFrame();
        }
    }
    if (textures) UnlockTextureSet(textures);
    Unlock();
    lastDrawCode_ = int16_t(mode);
}

void NavigationPane::DrawCrossHair() const
{
    const int32_t cx = centreX_;
    const int32_t cy = centreY_;
    RGBForeColor(kBlackColor);
    Line(cx - kArm, cy, cx + kArm, cy);
    Line(cx, cy - kArm, cx, cy + kArm);
    RGBForeColor(kWhiteColor);
    Line(cx - kArm, cy, cx - kTip, cy);
    Line(cx + kArm, cy, cx + kTip, cy);
    Line(cx, cy - kArm, cx, cy - kTip);
    Line(cx, cy + kArm, cx, cy + kTip);
    RGBForeColor(kBlackColor);
}

void NavigationPane::DrawVelocityGrid() const
{
    int32_t dx = cells_.width;
    int32_t dy = cells_.height;
    for (int32_t rung = 0; rung < kGridRungs; ++rung) {
        DrawRung(centreX_, centreY_, dx, dy, false);
        dx += cells_.width;
        dy += cells_.height;
    }
    DrawRung(centreX_, centreY_, dx, dy, true);
    RGBForeColor(kBlackColor);
}

void NavigationPane::LogFrame()
{
    ++framesShown_;
    if (!observer_) return;
    LogEvent("frame %d eye %d,%d,%d angles %d,%d,%d lens %d,%d options 0x%X flash %d", int(framesShown_),
             int(observer_->x), int(observer_->y), int(observer_->z), int(observer_->roll), int(observer_->pitch),
             int(observer_->heading), int(observer_->zoomNum), int(observer_->zoomDen),
             unsigned(observer_->GetObserverOptions(kAllObserverOptions)), int(GetDirectPixelDrawing()));
}

// --- the pointer ---

void NavigationPane::PaneTrack(int32_t x, int32_t y, int32_t modifiers, int32_t inside)
{
    if (!inside) return;
    SetCursorShape(kNavigationCursor);
    const bool buttonDown = (modifiers & kModifierLeftButton) != 0;
    if (buttonDown != (HasNavigationOption(kNavigateButtonDown) != 0)) return;
    if (!observer_) return;
    if (!AwaitStepTick()) return;
    const int32_t column = CellOf(x - centreX_, cells_.width);
    const int32_t row = CellOf(y - centreY_, cells_.height);
    const NavigationDeltas d = StepDeltas(column, row, modifiers);
    StepObserver(observer_, d, HasNavigationOption(kNavigateCollision) != 0);
    SendToView(kCommandStep, kCodeRedrawStep);
    lastStepTick_ = GetTickCount();
    stepShown_ = true;
}

bool NavigationPane::AwaitStepTick() const
{
    if (!stepShown_) return true;
    for (;;) {
        const DWORD held = GetTickCount() - lastStepTick_;
        if (held >= kStepMilliseconds) return true;
        // Only a button wakes the wait: the tracking chain posts no step while one waits, so
        // the button is taken next. Keys wait for the step (the chain reads Shift and Ctrl).
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kStepMilliseconds - held, QS_MOUSEBUTTON) != WAIT_TIMEOUT)
            return false;
    }
}

void NavigationPane::PaneHelpAtPoint(int32_t x, int32_t y, int32_t modifiers)
{
    // The pointer left the pane: no line of it stays in the help bar.
    if (!contentRect_.Contains(x, y)) {
        ShowPaneHelp("");
        return;
    }
    const int32_t column = CellOf(x - centreX_, cells_.width);
    const int32_t row = CellOf(centreY_ - y, cells_.height);
    ShowPaneHelp(NavigationHelpText(HelpIndex(column, row), modifiers));
}

void NavigationPane::PaneMouseDown(int32_t, int32_t, int32_t)
{
    // With "Button Down" the tracking chain drives the steps while the button is held.
    if (!HasNavigationOption(kNavigateButtonDown)) SendToView(kCommandViewChange, kCodePathControls);
}

void NavigationPane::PaneMouseUp(int32_t, int32_t, int32_t)
{
    if (HasNavigationOption(kNavigateButtonDown)) SendToView(kCommandViewChange, kCodePathControls);
}

int32_t NavigationPane::PaneKeyDown(int32_t key, int32_t modifiers)
{
    if (modifiers & kModifierLeftButton) return 0;
    if (fullScreen_ && key == VK_SPACE) {
        PopUpWalkMenu(modifiers);
        return 1;
    }
    if (fullScreen_ && key == VK_ESCAPE) {
        LeaveFullScreen();
        return 1;
    }
    return Pane::PaneKeyDown(key, modifiers);
}

int32_t NavigationPane::PaneCloseRequest()
{
    // Closing the window that fills the screen brings the view back into the model's window;
    // the model stays open.
    if (!fullScreen_) return Pane::PaneCloseRequest();
    LeaveFullScreen();
    return 1;
}

void NavigationPane::PopUpWalkMenu(int32_t modifiers)
{
    NavigateMenuHandler* menu = FrontWalkMenu();
    if (!menu || !hwnd_) return;
    const DWORD at = GetMessagePos();
    POINT point = {int16_t(LOWORD(at)), int16_t(HIWORD(at))};
    ScreenToClient(hwnd_, &point);
    // The key's own character waits in the queue: the menu would take it as a choice of no item
    // and close at once.
    MSG typed;
    if (PeekKeepingQuit(&typed, nullptr, WM_CHAR, WM_CHAR, PM_NOREMOVE) == kPeekedMessage && typed.message == WM_CHAR &&
        typed.wParam == VK_SPACE)
        PeekKeepingQuit(&typed, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE);
    const int32_t chosen = menu->TrackPopupMenuObject(this, point.x, point.y);
    LogEvent("walk-popup %d", int(chosen));
    if (chosen) menu->DoMenuCommand(chosen, modifiers);
    RedrawPane(kDrawPlain);
}

void NavigationPane::LeaveFullScreen()
{
    // Through the Walk menu's own item, so that its check mark and the help bar follow.
    if (NavigateMenuHandler* menu = FrontWalkMenu()) menu->NavigateMenuCommand(kWalkFullScreen);
}

// --- commands ---

int32_t NavigationPane::PaneHandleCommand(int32_t code, int32_t)
{
    switch (code) {
    case kCommandTagKeepStart:
        KeepStartPosition();
        return 1;
    case kCommandTagGoToStart:
        GoToStartPosition();
        SendToView(kCommandStep, kCodeRedrawStep);
        return 1;
    case kCommandTagLights:
        SendToView(kCommandLight, kCodeLights);
        return 1;
    case kCommandTagPrint:
        return 1;
    case kCommandTagLevel:
        if (observer_) observer_->LevelObserver();
        SendToView(kCommandViewChange, kCodeRedrawStep);
        RedrawPane(kDrawPlain);
        return 1;
    default:
        return 0;
    }
}

void NavigationPane::KeepStartPosition()
{
    PlayerPreferences* preferences = view_ ? view_->Preferences() : nullptr;
    if (!preferences || !observer_) return;
    FixedVector3 position;
    Fixed angles[3];
    observer_->GetPlacement(&position, angles);
    DefaultsSection* defaults = preferences->Defaults();
    defaults->startPosition[0] = position.x;
    defaults->startPosition[1] = position.y;
    defaults->startPosition[2] = position.z;
}

void NavigationPane::GoToStartPosition()
{
    PlayerPreferences* preferences = view_ ? view_->Preferences() : nullptr;
    if (!preferences || !observer_) return;
    const DefaultsSection* defaults = preferences->Defaults();
    observer_->SetAndRecord(defaults->startPosition[0], defaults->startPosition[1], defaults->startPosition[2], 0, 0,
                            0);
}
