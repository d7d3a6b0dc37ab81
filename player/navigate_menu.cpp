// The Walk menu.
#include "player/event_log.h"
#include "player/navigation_panel.h"
#include "player/player_document.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/walk_menu_settings.h"
#include "player/walk_observer.h"
#include "player/walk_view.h"
#include "toolkit/app_commands.h"
#include "toolkit/help_bar_host.h"
#include "toolkit/window.h"

namespace {

constexpr int32_t kWalkMenuOrder = 3;
// The title's mnemonic stands before its fourth letter.
constexpr int32_t kWalkTitleMnemonic = 3;
// The view kinds that can level the observer (the document, a view of kind 69, the walk view).
constexpr int32_t kViewLevelling = 69;

// The change state of a section that the menu changed, and of one the views have taken.
constexpr int32_t kSectionChanged = 1;
constexpr int32_t kSectionTaken = 0;

void CheckOne(Menu* menu, int32_t first, int32_t last, int32_t checked)
{
    for (int32_t position = first; position <= last; ++position) menu->CheckMenuItemAt(position, position == checked);
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
    struct Item {
        const char* text;  // null: a separator
        int32_t letter;
        int32_t mnemonic;
    };
    const Item items[] = {{"Level Observer", 'L', 0}, {nullptr, 0, 0},      {"Wide Angle", 'W', 0},
                          {"Standard", 'S', 0},       {"Telephoto", 'T', 0}, {nullptr, 0, 0},
                          {"Normal Speed", 'N', 0},   {"Fast", 'F', 0},      {"Faster", 'A', 1},
                          {"Fastest", 'E', 4},        {nullptr, 0, 0},       {"Stop", 'O', 2},
                          {"Play", 'P', 0},           {nullptr, 0, 0},       {"Full Screen", 'U', 1}};
    for (const Item& item : items) {
        const int32_t index = item.text ? menu->AppendMenuItem(item.text) : menu->AppendSeparator();
        if (index < 0) return kResultOutOfMemory;
        menu->SetMenuItemLetter(index + 1, item.letter);
        menu->SetMenuItemMnemonicPos(index + 1, item.mnemonic);
    }
    menu->SetMenuOrder(kWalkMenuOrder);
    menu->SetMenuItemShortcut(kWalkLevel, 'L');
    return kResultOk;
}

void NavigateMenuHandler::NavigateMenuCommand(int32_t position)
{
    if (!document_) return;
    PlayerPreferences* preferences = document_->Preferences();
    WalkObserver* walk = document_->Walk();
    if (!preferences || !walk) return;
    if (position == kWalkLevel) {
        PostAppCommand(CommandTag("TILT"));
    } else if (IsLensItem(position)) {
        CheckOne(this, kWalkWideAngle, kWalkTelephoto, position);
        NavigationSection* navigation = preferences->Navigation();
        navigation->lensNumerator = LensOfItem(position);
        SetChangeState(navigation, kSectionChanged);
        document_->ViewCommand(nullptr, kCommandViewChange, kCodeNavigationPreferences, 0);
        SetChangeState(navigation, kSectionTaken);
    } else if (IsSpeedItem(position)) {
        CheckOne(this, kWalkNormalSpeed, kWalkFastest, position);
        RenderSection* render = preferences->Render();
        const SpeedPreset speed = SpeedOfItem(position);
        render->wordA = speed.wordA;
        render->wordC = speed.wordC;
        SetChangeState(render, kSectionChanged);
        document_->ViewCommand(nullptr, kCommandViewChange, kCodeRenderPresets, 0);
    } else if (position == kWalkStop) {
        if (NavigationPanel* panel = ShownPanel(document_)) panel->ShowPathState(kPanelStop);
        walk->SetRecording(0, 0);
        walk->GoToPathPoint(0);
        document_->ViewCommand(nullptr, kCommandStep, kCodeRedrawStep, 0);
        document_->ViewCommand(nullptr, kCommandViewChange, kCodePathControls, 0);
    } else if (position == kWalkPlay) {
        NavigationPanel* panel = ShownPanel(document_);
        if (panel && walk->PathCount() > 0) panel->ShowPathState(kPanelPlay);
        PlayWalkPathWithPanel(panel, walk);
    } else if (position == kWalkFullScreen) {
        // The document's flag is the one state: this item, the pane's Esc and the pane's own
        // menu all toggle it here, so that the mark and the help bar never disagree with it.
        auto* view = static_cast<WalkView*>(document_->FindView(kViewWalk));
        if (!view) return;
        const int32_t on = FullScreenFlag() ? 0 : 1;
        if (on) HideHelpBar();
        view->ToggleFullScreen(on);
        // A view that could not fill the screen leaves the mark off and the help bar shown.
        CheckMenuItemAt(kWalkFullScreen, FullScreenFlag());
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
    EnableMenuItemAt(kWalkLevel, viewKind_ == kViewDocument || viewKind_ == kViewLevelling || viewKind_ == kViewWalk);
    if (PlayerPreferences* preferences = document_->Preferences()) {
        CheckOne(this, kWalkWideAngle, kWalkTelephoto, LensItemChecked(preferences->Navigation()->lensNumerator));
        const RenderSection* render = preferences->Render();
        CheckOne(this, kWalkNormalSpeed, kWalkFastest, SpeedItemChecked(render->wordA, render->wordC));
    }
    CheckMenuItemAt(kWalkStop, 0);
    CheckMenuItemAt(kWalkPlay, 0);
    CheckMenuItemAt(kWalkFullScreen, FullScreenFlag());
}
