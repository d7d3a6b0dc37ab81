// The navigation pane's own options menu and its path strip.
#include "player/navigation_pane_options.h"

#include <initializer_list>
#include <new>

#include "player/model_window.h"
#include "player/navigation_pane.h"
#include "player/player_menus.h"
#include "player/player_preferences.h"
#include "player/view_base.h"
#include "player/walk_menu_settings.h"
#include "player/walk_view.h"
#include "toolkit/menu_table.h"

namespace {

constexpr char kMenuTitle[] = "Walk";
constexpr int32_t kMenuLetter = 'K';
// The title's mnemonic stands before its fourth letter.
constexpr int32_t kTitleMnemonic = 3;

constexpr MenuTableItem kOptionsItems[] = {{"Button Down", kOptionsButtonDown, 0, 'B'},
                                           {"Cross Hair", kOptionsCrossHair, 0, 'C'},
                                           {"Velocity Grid", kOptionsVelocityGrid, 0, 'G'},
                                           {nullptr, 0},
                                           {"Normal", kOptionsNormal},
                                           {"Faster", kOptionsFaster},
                                           {"Fastest", kOptionsFastest},
                                           {nullptr, 0},
                                           {"Record", kOptionsRecord, 0, 'R'},
                                           {"Play", kOptionsPlay, 0, 'P'},
                                           {"Stop", kOptionsStop, 0, 'S'},
                                           {nullptr, 0},
                                           {"Aspect Ratio", kOptionsAspectRatio, 0, 'A'},
                                           {"Full Screen", kOptionsFullScreen, 0, 'F'}};
constexpr MenuTable kOptionsTable(kOptionsItems);

// The speeds as the menu sets and checks them ("Fastest" by word A only).
struct OptionsSpeed {
    NavigationPaneOptionsCommand command;
    RenderSpeed words;
    bool setsWordC;
};
constexpr OptionsSpeed kSpeeds[] = {{kOptionsNormal, kSpeedNormal, true},
                                    {kOptionsFaster, kOptionsSpeedFaster, true},
                                    {kOptionsFastest, kOptionsSpeedFastest, false}};

// The strip's buttons: their glyphs and the path states they stand for.
constexpr uint8_t kStripGlyphs[] = {0x79, 0x7A, 0x7B};
constexpr int32_t kStripStates[] = {WalkView::kPlayRecording, WalkView::kPlayIdle, WalkView::kPlayRequested};
constexpr int32_t kStripButtons = 3;
// One row of buttons of any number.
constexpr int32_t kStripInOneRow = 0;

// The pane option each of the first three items toggles, as the navigation section holds it.
uint32_t SectionOptionOf(int32_t command)
{
    switch (command) {
    case kOptionsButtonDown: return kNavigationButtonDown;
    case kOptionsCrossHair: return kNavigationCrossHair;
    case kOptionsVelocityGrid: return kNavigationVelocityGrid;
    default: return 0;
    }
}

int32_t PathCommandOf(int32_t state)
{
    switch (state) {
    case WalkView::kPlayRecording: return kOptionsRecord;
    case WalkView::kPlayRequested: return kOptionsPlay;
    case WalkView::kPlayIdle: return kOptionsStop;
    default: return 0;
    }
}

}  // namespace

NavigationPaneOptionsMenu* NavigationPaneOptionsMenu::Make(NavigationPane* pane, DocumentFrame* owner)
{
    auto* menu = new (std::nothrow) NavigationPaneOptionsMenu;
    if (!menu) return nullptr;
    menu->pane_ = pane;
    const bool made = menu->MenuInit(kMenuTitle, owner) == kResultOk && kOptionsTable.AppendTo(menu) == kResultOk;
    if (!made) {
        menu->DeleteMenuObject();
        return nullptr;
    }
    menu->SetMenuLetter(kMenuLetter);
    menu->SetMenuMnemonicPos(kTitleMnemonic);
    return menu;
}

int32_t NavigationPaneOptionsMenu::PositionOf(NavigationPaneOptionsCommand command)
{
    return kOptionsTable.PositionOf(command);
}

int32_t NavigationPaneOptionsMenu::CommandAt(int32_t position)
{
    return kOptionsTable.CommandAt(position);
}

void NavigationPaneOptionsMenu::UpdateMenu()
{
    WalkView* view = pane_->OwnerView();
    PlayerPreferences* preferences = view ? view->Preferences() : nullptr;
    if (!preferences) return;
    const NavigationSection* navigation = preferences->Navigation();
    for (NavigationPaneOptionsCommand command : {kOptionsButtonDown, kOptionsCrossHair, kOptionsVelocityGrid})
        CheckMenuItemAt(PositionOf(command), (navigation->options & SectionOptionOf(command)) != 0);
    const RenderSection* render = preferences->Render();
    for (const OptionsSpeed& speed : kSpeeds)
        CheckMenuItemAt(PositionOf(speed.command), render->wordA == speed.words.wordA &&
                                                    (!speed.setsWordC || render->wordC == speed.words.wordC));
    const int32_t checked = PathCommandOf(view->PlayState());
    const bool paths = checked != 0 && view->GetKind() != kViewGallery;
    for (NavigationPaneOptionsCommand command : {kOptionsRecord, kOptionsPlay, kOptionsStop}) {
        EnableMenuItemAt(PositionOf(command), paths);
        CheckMenuItemAt(PositionOf(command), paths && command == checked);
    }
    CheckMenuItemAt(PositionOf(kOptionsAspectRatio), navigation->aspectOn != 0);
    CheckMenuItemAt(PositionOf(kOptionsFullScreen), view->FillsScreen());
}

void NavigationPaneOptionsMenu::DoMenuCommand(int32_t position, int32_t)
{
    OptionsCommand(NavigationPaneOptionsCommand(CommandAt(position)));
}

void NavigationPaneOptionsMenu::OptionsCommand(NavigationPaneOptionsCommand command)
{
    WalkView* view = pane_->OwnerView();
    PlayerPreferences* preferences = view ? view->Preferences() : nullptr;
    if (!preferences) return;
    NavigationSection* navigation = preferences->Navigation();
    RenderSection* render = preferences->Render();
    switch (command) {
    case kOptionsButtonDown:
    case kOptionsCrossHair:
    case kOptionsVelocityGrid:
        navigation->options ^= SectionOptionOf(command);
        view->ApplyViewOptions();
        if (command == kOptionsButtonDown)
            NavigationPane::SetHoverRepeat((navigation->options & kNavigationButtonDown) == 0);
        else
            view->ViewCommand(nullptr, kCommandStep, kCodeNavigationPreferences, 0);
        break;
    case kOptionsNormal:
    case kOptionsFaster:
    case kOptionsFastest:
        for (const OptionsSpeed& speed : kSpeeds) {
            if (speed.command != command) continue;
            render->wordA = speed.words.wordA;
            if (speed.setsWordC) render->wordC = speed.words.wordC;
        }
        // The new speed reaches the observer before the redraw.
        view->ApplyViewOptions();
        view->ViewCommand(nullptr, kCommandStep, kCodeNavigationPreferences, 0);
        break;
    case kOptionsRecord:
        view->SetPlayState(WalkView::kPlayRecording);
        break;
    case kOptionsPlay:
        view->SetPlayState(WalkView::kPlayRequested);
        break;
    case kOptionsStop:
        view->SetPlayState(WalkView::kPlayIdle);
        break;
    case kOptionsAspectRatio:
        navigation->aspectOn = navigation->aspectOn ? 0 : 1;
        view->ApplyPreferences(preferences, 1);
        break;
    case kOptionsFullScreen:
        // Through the Walk menu's own item, so that the document's flag, the help bar and both
        // menus' marks agree (and Esc leaves full screen afterwards).
        if (auto* model = dynamic_cast<ModelDocWindow*>(view->Owner()))
            if (NavigateMenuHandler* walk = model->WalkMenu()) walk->NavigateMenuCommand(kWalkFullScreen);
        CheckMenuItemAt(PositionOf(kOptionsFullScreen), view->FillsScreen());
        break;
    default:
        break;
    }
}

PathStateStrip* PathStateStrip::Make(NavigationPane* pane)
{
    Owned<PathStateStrip> strip(new (std::nothrow) PathStateStrip);
    if (!strip) return nullptr;
    strip->pane_ = pane;
    if (strip->PanelInit(kStripInOneRow) != kResultOk) return nullptr;
    for (uint8_t glyph : kStripGlyphs)
        if (strip->PanelAddItem(glyph) < 0) return nullptr;
    return strip.release();
}

void PathStateStrip::Click(int32_t index, int32_t)
{
    WalkView* view = pane_->OwnerView();
    if (!view || index < 0 || index >= kStripButtons) return;
    view->SetPlayState(kStripStates[index]);
    ShowPathState(view->PlayState());
}

void PathStateStrip::ShowPathState(int32_t state)
{
    for (int32_t index = 0; index < kStripButtons; ++index) {
        if (kStripStates[index] != state) continue;
        PanelSelectOnly(index);
        return;
    }
}
