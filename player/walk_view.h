// WalkView: the view of a model that the player shows, between the document and its panes. It
// owns the navigation pane; commands of its panes go up to the document, which passes them to
// every view, and what comes down decides when the pane redraws and when the preferences apply.
#pragma once

#include <cstdint>

#include "foundation/fixed.h"
#include "player/view_base.h"

class NavigationPane;
class Pane;
class WalkObserver;

// Pane kinds of MakePane.
constexpr int32_t kPaneNavigation = 37;

class WalkView : public ViewBase {
public:
    // --- view operations ---
    void Init(DocumentFrame* owner) override;
    void AttachView(int32_t code) override;
    void AdjustPaneRect(PortRect* rect, int32_t kind) override;
    Window* GetWindow(int32_t kind) override;
    void ViewCommand(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override;
    void ViewNotify(ViewBase* sender, int32_t kind, int32_t code, int32_t value) override;
    void ApplyPreferences(PlayerPreferences* preferences, int32_t force) override;

    // The view's panes by kind (37 the navigation pane); null for other kinds.
    Pane* MakePane(ViewBase* owner, int32_t kind);
    // Each 16.16 value rounded half up, then the observer's place and angles.
    void SetViewPlacement(Fixed x, Fixed y, Fixed z, Fixed roll, Fixed pitch, Fixed heading);
    void SetViewObserver(WalkObserver* observer) { observer_ = observer; }
    WalkObserver* ViewObserver() const { return observer_; }
    NavigationPane* Navigation() const { return navigation_; }

private:
    // (Laid out by the helper building this class.)
    NavigationPane* navigation_ = nullptr;
    WalkObserver* observer_ = nullptr;
};
