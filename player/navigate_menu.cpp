// The Walk menu.
#include "player/command_tags.h"
#include "player/event_log.h"
#include "player/navigation_panel.h"
#include "player/player_document.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/view_kinds.h"
#include "player/walk_menu_settings.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "toolkit/app_commands.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/menu_table.h"
#include "toolkit/window.h"

namespace {

constexpr int32_t kWalkMenuOrder = 3;
// The title's mnemonic stands before its fourth letter.
constexpr int32_t kWalkTitleMnemonic = 3;

constexpr MenuTableItem kWalkItems[] = {{"Level Observer", kWalkLevel, 'L', 'L'},
                                        {nullptr, 0},
                                        {"Wide Angle", kWalkWideAngle, 0, 'W'},
                                        {"Standard", kWalkStandard, 0, 'S'},
                                        {"Telephoto", kWalkTelephoto, 0, 'T'},
                                        {nullptr, 0},
                                        {"Normal Speed", kWalkNormalSpeed, 0, 'N'},
                                        {"Fast", kWalkFast, 0, 'F'},
                                        {"Faster", kWalkFaster, 0, 'A', 1},
                                        {"Fastest", kWalkFastest, 0, 'E', 4},
                                        {nullptr, 0},
                                        {"Stop", kWalkStop, 0, 'O', 2},
                                        {"Play", kWalkPlay, 0, 'P'},
                                        {nullptr, 0},
                                        {"Full Screen", kWalkFullScreen, 0, 'U', 1}};
constexpr MenuTable kWalkTable(kWalkItems);

// The change state of a section that the menu changed, and of one the views have taken.
constexpr int32_t kSectionChanged = 1;
constexpr int32_t kSectionTaken = 0;

// Checks the item of `checked` among the items of the commands from `first` to `last`.
void CheckOne(Menu* menu, int32_t first, int32_t last, int32_t checked)
{
    for (int32_t command = first; command <= last; ++command)
        menu->CheckMenuItemAt(kWalkTable.PositionOf(command), command == checked);
}

// The test build's log of whether the frame shows its help bar.
void LogHelpBar(DocumentFrame* frame)
{
    HelpBarHost* host = frame ? frame->GetHelpBarHost() : nullptr;
    if (host && host->window) LogEvent("help-bar %d", int(host->window->IsWindowObjectVisible()));
}

// The navigation panel of the document's walk view while a window shows it, or null.
NavigationPanel* ShownPanel(const PlayerDocument* document)
{
    auto* view = static_cast<WalkView*>(document->FindView(kViewWalk));
    NavigationPanel* panel = view ? view->Panel() : nullptr;
    return panel && panel->Owner() ? panel : nullptr;
}

}  // namespace

ResultCode BuildNavigateMenu(NavigateMenuHandler* menu, DocumentFrame* owner)
{
    const ResultCode result = menu->MenuInit("Walk", owner);
    if (result != kResultOk) return result;
    menu->SetMenuMnemonicPos(kWalkTitleMnemonic);
    menu->SetMenuLetter('K');
    if (kWalkTable.AppendTo(menu) != kResultOk) return kResultOutOfMemory;
    menu->SetMenuOrder(kWalkMenuOrder);
    return kResultOk;
}

int32_t NavigateMenuHandler::PositionOf(WalkMenuCommand command)
{
    return kWalkTable.PositionOf(command);
}

void NavigateMenuHandler::DoMenuCommand(int32_t position, int32_t /*extra*/)
{
    NavigateMenuCommand(WalkMenuCommand(kWalkTable.CommandAt(position)));
}

void NavigateMenuHandler::NavigateMenuCommand(WalkMenuCommand command)
{
    if (!document_) return;
    PlayerPreferences* preferences = document_->Preferences();
    WalkObserver* walk = document_->Walk();
    if (!preferences || !walk) return;
    if (command == kWalkLevel) {
        PostAppCommand(kCommandTagLevel);
    } else if (IsLensItem(command)) {
        CheckOne(this, kWalkWideAngle, kWalkTelephoto, command);
        NavigationSection* navigation = preferences->Navigation();
        navigation->lensNumerator = LensOfItem(command);
        SetChangeState(navigation, kSectionChanged);
        document_->ViewCommand(nullptr, kCommandViewChange, kCodeNavigationPreferences, 0);
        SetChangeState(navigation, kSectionTaken);
    } else if (IsSpeedItem(command)) {
        CheckOne(this, kWalkNormalSpeed, kWalkFastest, command);
        RenderSection* render = preferences->Render();
        const SpeedPreset speed = SpeedOfItem(command);
        render->wordA = speed.wordA;
        render->wordC = speed.wordC;
        SetChangeState(render, kSectionChanged);
        document_->ViewCommand(nullptr, kCommandViewChange, kCodeRenderPresets, 0);
    } else if (command == kWalkStop) {
        if (NavigationPanel* panel = ShownPanel(document_)) panel->ShowPathState(kPanelStop);
        walk->SetRecording(0, 0);
        walk->GoToPathPoint(0);
        document_->ViewCommand(nullptr, kCommandStep, kCodeRedrawStep, 0);
        document_->ViewCommand(nullptr, kCommandViewChange, kCodePathControls, 0);
    } else if (command == kWalkPlay) {
        NavigationPanel* panel = ShownPanel(document_);
        if (panel && walk->PathCount() > 0) panel->ShowPathState(kPanelPlay);
        PlayWalkPathWithPanel(panel, walk);
    } else if (command == kWalkFullScreen) {
        // The document's flag is the one state: this item, the pane's Esc and the pane's own
        // menu all toggle it here, so that the mark and the help bar never disagree with it.
        auto* view = static_cast<WalkView*>(document_->FindView(kViewWalk));
        if (!view) return;
        const int32_t on = FullScreenFlag() ? 0 : 1;
        if (on) HideHelpBar();
        view->ToggleFullScreen(on);
        // A view that could not fill the screen leaves the mark off and the help bar shown.
        CheckMenuItemAt(PositionOf(kWalkFullScreen), FullScreenFlag());
        if (!FullScreenFlag()) ShowHelpBar();
        LogHelpBar(MenuOwner());
    }
}

int32_t NavigateMenuHandler::FullScreenFlag() const
{
    return document_ && document_->FullScreen() ? 1 : 0;
}

void NavigateMenuHandler::UpdateNavigateMenu()
{
    if (!document_) return;
    viewKind_ = document_->CurrentView()->GetKind();
    EnableMenuItemAt(PositionOf(kWalkLevel),
                     viewKind_ == kViewDocument || viewKind_ == kViewLeveller || viewKind_ == kViewWalk);
    if (PlayerPreferences* preferences = document_->Preferences()) {
        CheckOne(this, kWalkWideAngle, kWalkTelephoto, LensItemChecked(preferences->Navigation()->lensNumerator));
        const RenderSection* render = preferences->Render();
        CheckOne(this, kWalkNormalSpeed, kWalkFastest, SpeedItemChecked(render->wordA, render->wordC));
    }
    CheckMenuItemAt(PositionOf(kWalkStop), 0);
    CheckMenuItemAt(PositionOf(kWalkPlay), 0);
    CheckMenuItemAt(PositionOf(kWalkFullScreen), FullScreenFlag());
}
