// The walk view's button panel: its twelve buttons, what pressing, holding and releasing them
// does to the walk observer and the path state, and the strip it takes along the bottom of the
// view's window.
#include "player/navigation_panel.h"

#include <new>

#include "draw/pen_state.h"
#include "draw/shapes.h"
#include "foundation/rgb_color.h"
#include "foundation/ui_services.h"
#include "player/command_tags.h"
#include "player/event_log.h"
#include "player/navigation_pane.h"
#include "player/navigation_steps.h"
#include "player/player_document.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "toolkit/app_commands.h"
#include "toolkit/button_item.h"
#include "toolkit/message_loop.h"
#include "toolkit/screen_bounds.h"

namespace {

// One row of twelve large cells.
constexpr int32_t kOneRowOfTwelve = -kPanelButtonCount;
// The beep of a path button that has no path to act on.
constexpr int32_t kRefusedBeep = 1;

struct Cell {
    uint8_t glyph;
    const char* help;
};

constexpr Cell kCells[kPanelButtonCount] = {
    {208, "Press this button to Stop and rewind the walk path."},
    {206, "Press this button to Play the walk path."},
    {210, "Press this button to Pause the walk path."},
    {kGlyphFiller, ""},
    {162, "Press this button to move forward."},
    {196, "Press this button to move backward."},
    {160, "Press this button to turn left."},
    {164, "Press this button to turn right."},
    {166, "Press this button to move up."},
    {168, "Press this button to move down."},
    {kGlyphFiller, ""},
    {170, "Press the Home button to move back to the center of the world."},
};

constexpr int32_t kStepLength = 20;
constexpr int32_t kTurnStep = 4;
constexpr int32_t kRiseStep = 10;

// The observer's move for each motion button, from Forward on.
constexpr NavigationDeltas kMotionSteps[] = {
    {kStepLength, 0, 0, 0, 0, 0},  {-kStepLength, 0, 0, 0, 0, 0}, {0, 0, 0, kTurnStep, 0, 0},
    {0, 0, 0, -kTurnStep, 0, 0},   {0, 0, kRiseStep, 0, 0, 0},     {0, 0, -kRiseStep, 0, 0, 0},
};

bool IsPathButton(int32_t index)
{
    return index >= kPanelStop && index <= kPanelPause;
}

bool IsMotionButton(int32_t index)
{
    return index >= kPanelForward && index <= kPanelDown;
}

bool IsFiller(int32_t index)
{
    return index == kPanelFirstFiller || index == kPanelSecondFiller;
}

// The panel window's drawing bracket stays closed while an action moves the eye and redraws
// elsewhere; it is opened again afterwards when it was open.
class DrawingBracketClosed {
public:
    explicit DrawingBracketClosed(Pane* pane) : pane_(pane && CurrentDrawingPane() == pane ? pane : nullptr)
    {
        if (pane_) pane_->EndPaneDrawing();
    }
    ~DrawingBracketClosed()
    {
        if (pane_) pane_->BeginPaneDrawing();
    }
    DrawingBracketClosed(const DrawingBracketClosed&) = delete;
    DrawingBracketClosed& operator=(const DrawingBracketClosed&) = delete;

private:
    Pane* pane_;
};

// Button messages that wait for the window.
void DropButtonMessages(HWND window)
{
    MSG message;
    while (PeekKeepingQuit(&message, window, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE | PM_NOYIELD) ==
           kPeekedMessage) {
    }
}

}  // namespace

int32_t PanelStripHeight()
{
    return ScrollThumbSize() - 1;
}

// --- the buttons ---

ResultCode NavigationButtonPanel::BuildCells()
{
    const ResultCode result = PanelInit(kOneRowOfTwelve);
    if (result != kResultOk) return result;
    for (const Cell& cell : kCells) {
        const ResultCode added = ResultOfIndex(PanelAddItem(cell.glyph));
        if (added != kResultOk) return added;
    }
    PanelSetItemState(kPanelStop, kButtonPressed);
    for (int32_t i = 0; i < kPanelButtonCount; ++i) PanelSetItemHelp(i, kCells[i].help);
    return kResultOk;
}

void NavigationButtonPanel::SelectPathState(int32_t index)
{
    for (int32_t button = kPanelStop; button <= kPanelPause; ++button)
        PanelSetItemState(button, button == index ? kButtonPressed : kButtonReleased);
}

int32_t NavigationButtonPanel::PathState() const
{
    for (int32_t button = kPanelStop; button <= kPanelPause; ++button)
        if (PanelItemState(button) != kButtonReleased) return button;
    return -1;
}

void NavigationButtonPanel::Step(int32_t index)
{
    if (!observer_) return;
    const NavigationPane* pane = view_ ? view_->Navigation() : nullptr;
    StepObserver(observer_, kMotionSteps[index - kPanelForward],
                 pane && pane->HasNavigationOption(kNavigateCollision));
    // The frame is drawn before the step returns.
    if (view_) view_->ViewCommand(nullptr, kCommandStep, kCodeRedrawStep, 0);
}

bool NavigationButtonPanel::HasPath() const
{
    return observer_ && observer_->PathCount() > 0;
}

void NavigationButtonPanel::Press(int32_t index, int32_t)
{
    const DrawingBracketClosed closed(PanelWindow());
    LogEvent("panel-press %d", int(index));
    if (IsMotionButton(index)) {
        PanelSetItemState(index, kButtonPressed);
        Step(index);
    } else if (IsPathButton(index)) {
        SelectPathState(index);
    } else if (index == kPanelHome) {
        // The navigation pane takes the eye home.
        PostAppCommand(kCommandTagGoToStart);
    }
}

void NavigationButtonPanel::Track(int32_t index, int32_t, int32_t)
{
    const DrawingBracketClosed closed(PanelWindow());
    if (IsPathButton(index))
        SelectPathState(index);
    else if (IsMotionButton(index))
        Step(index);
    else if (index < 0 || index >= kPanelButtonCount)
        ReleaseAll();
}

void NavigationButtonPanel::Click(int32_t index, int32_t)
{
    ButtonPanelWindow* window = PanelWindow();
    {
        const DrawingBracketClosed closed(window);
        if (index == kPanelStop) {
            SelectPathState(kPanelStop);
            if (observer_) {
                observer_->SetRecording(0, 0);
                observer_->RewindPath();
            }
            if (view_) view_->ViewCommand(nullptr, kCommandStep, kCodeRedrawStep, 0);
        } else if (index == kPanelPlay) {
            SelectPathState(kPanelPlay);
            if (!HasPath()) {
                SelectPathState(kPanelStop);
                PlayBeep(kRefusedBeep);
            } else {
                // Play shows pressed while the path plays; Pause once it stopped part-way.
                if (window) window->RedrawPane(kDrawDirtyButtons);
                PlayWalkPathWithPanel(window, observer_);
                SelectPathState(kPanelPause);
            }
        } else if (index == kPanelPause) {
            if (!HasPath()) {
                SelectPathState(kPanelStop);
                PlayBeep(kRefusedBeep);
            } else {
                SelectPathState(kPanelPause);
            }
        } else if (!IsFiller(index)) {
            // A motion button or Home released, or the button released off the panel.
            for (int32_t button = kPanelForward; button <= kPanelDown; ++button)
                PanelSetItemState(button, kButtonReleased);
            PanelSetItemState(kPanelHome, kButtonReleased);
            if (view_) view_->ViewCommand(nullptr, kCommandViewChange, kCodePathControls, 0);
        }
    }
    LogEvent("panel-click %d path %d", int(index), int(PathState()));
}

// --- the window ---

void NavigationPanel::AttachNavigation(WalkView* view, WalkObserver* observer)
{
    view_ = view;
    if (!buttons_) {
        auto* buttons = new (std::nothrow) NavigationButtonPanel;
        if (!buttons) return;
        if (buttons->BuildCells() != kResultOk) {
            buttons->PanelDeleteItems();
            return;
        }
        buttons_ = buttons;
        LinkPanelOwner(buttons);
    }
    buttons_->SetNavigationOwner(view, observer);
}

void NavigationPanel::PaneDestroy()
{
    if (view_) view_->ForgetPanel(this);
    view_ = nullptr;
    // The button panel window frees the buttons.
    buttons_ = nullptr;
    ButtonPanelWindow::PaneDestroy();
}

void NavigationPanel::Draw(int32_t mode, int32_t horizontal, int32_t vertical)
{
    ButtonPanelWindow::Draw(mode, horizontal, vertical);
    RGBForeColor(kBlackColor);
    MoveTo(contentRect_.left, contentRect_.top - 1);
    LineTo(contentRect_.right, contentRect_.top - 1);
}

void NavigationPanel::PaneLayout(PortRect* rect, ScrollPositions*, int32_t, int32_t)
{
    const int32_t strip = PanelStripHeight();
    rect->top = rect->bottom - strip;
    ButtonPanel* panel = Panel();
    if (!panel) return;
    const int32_t count = panel->ArrayCount();
    panel->SetCellWidth(count > 0 ? rect->Width() / count : kSmallCellSize);
    panel->SetCellHeight(strip);
    PortRect area = {0, 0, rect->Width(), rect->Height()};
    panel->PanelLayout(&area, nullptr);
}

void NavigationPanel::ShowPathState(int32_t index)
{
    NavigationButtonPanel* buttons = NavigationButtons();
    if (!buttons) return;
    buttons->SelectPathState(index);
    RedrawPane(kDrawFull);
}

void PlayWalkPathWithPanel(Pane* panel, WalkObserver* observer)
{
    if (!observer) return;
    // A release on the panel that started play has not finished: its capture goes now, so that
    // the click that stops play reaches the window under the pointer.
    ReleasePaneButton();
    PlayWalkPath(observer);
    // A click on the panel that stopped play is spent on stopping it: it would press its button
    // afterwards, and on Play start the path again.
    if (panel && panel->PaneWindow()) DropButtonMessages(panel->PaneWindow());
}
