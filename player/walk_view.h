// WalkView: the view of a model that the player shows, between the document and its panes. It
// owns the navigation pane and the navigation panel under it; commands of its panes go up to the
// document, which passes them to every view, and what comes down decides when the pane redraws
// and when the preferences apply.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "player/view_base.h"

class ButtonPanelWindow;
class NavigationPane;
class NavigationPanel;
class Pane;
class PlayerDocument;
class WalkObserver;

class WalkView : public ViewBase {
public:
    // Path states.
    static constexpr int32_t kPlayRecording = 1;
    static constexpr int32_t kPlayRequested = 2;
    static constexpr int32_t kPlayIdle = 4;

    // --- view operations ---
    // Play state idle, the base set-up, the navigation pane and the navigation panel made.
    void Init(DocumentFrame* owner) override;
    // Lets its panes go (a pane that no window holds is destroyed), then the base.
    void Free() override;
    void AttachView(int32_t code) override;
    void AdjustPaneRect(PortRect* rect, int32_t kind) override;
    Window* GetWindow(int32_t kind) override;
    int32_t ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override;
    void ViewNotify(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override;
    void ApplyPreferences(PlayerPreferences* preferences, int32_t force) override;
    int32_t ReservedStatus() override { return 0; }

    // The view's panes by kind (37 the navigation pane, 38 and 51 the navigation panel, 5 a
    // button-panel window), each kept as the view's pane of its kind; null for other kinds.
    Pane* MakePane(ViewBase* owner, int32_t kind);
    // Each 16.16 value rounded half up, then the observer's place (clamped to 16 bits) and
    // angles (as given: the observer keeps them modulo 256, the walk observer's copy whole).
    void SetViewPlacement(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading);
    // The observer the view and its navigation pane move and render.
    void SetViewObserver(WalkObserver* observer);
    WalkObserver* ViewObserver() const { return observer_; }
    NavigationPane* Navigation() const { return navigation_; }
    NavigationPanel* Panel() const { return panel_; }
    ButtonPanelWindow* ButtonPanelPane() const { return buttonPanelWindow_; }
    // On: the panel leaves the navigation pane's window; off: it comes back. Then the document
    // moves the view into (or out of) a window of the screen's size, and the navigation pane
    // learns the result.
    void ToggleFullScreen(int32_t on);
    // Whether the view fills the screen, as its document's full-screen flag says.
    bool FillsScreen() const;
    // The test build's log of the view's window, the panel and the navigation pane's picture,
    // on the screen.
    void LogPlace() const;
    // The navigation and render options of the document's preferences, whether changed or not.
    void ApplyViewOptions();
    // The path state: 1 recording, 2 play requested, 4 idle. Setting it starts recording (1),
    // plays the path from its start and goes idle (2), or stops recording (4).
    int32_t PlayState() const { return playState_; }
    void SetPlayState(int32_t state);
    // The pane tells the view that it is being destroyed with its window.
    void ForgetNavigation(NavigationPane* pane);
    // The panel tells the view that it is being destroyed with its window.
    void ForgetPanel(NavigationPanel* panel);

private:
    // The document's own operations, when the inner object is the player document.
    PlayerDocument* Document() const;
    // Re-attaches the observer to the world and redraws the navigation pane.
    void AttachAndRedraw();
    void RedrawNavigation();

    int32_t activeRecordWord_ = 0;
    NavigationPane* navigation_ = nullptr;
    NavigationPanel* panel_ = nullptr;
    WalkObserver* observer_ = nullptr;
    ButtonPanelWindow* buttonPanelWindow_ = nullptr;
    int32_t playState_ = kPlayIdle;
};
