// The kinds of the player's views and of the objects its views make (FindOrCreate, MakePane).
#pragma once

#include <cstdint>

// View kinds.
constexpr int32_t kViewDocument = 67;
constexpr int32_t kViewWalk = 72;
constexpr int32_t kViewGallery = 75;
// A view kind that may level the observer besides the document and the walk view; the player
// makes no view of it.
constexpr int32_t kViewLeveller = 69;
// The kinds of view that the eye's placement reaches and that have windows of their own.
constexpr bool IsPlacedView(int32_t kind)
{
    return kind == kViewWalk || kind == kViewGallery;
}

// The document's walk observer, made by FindOrCreate and kept without a window record.
constexpr int32_t kViewWalkObserver = 54;
// The kind a view asks its document's FindOrCreate for when it becomes current.
constexpr int32_t kFindCurrentView = 1;

// Pane kinds of MakePane: the navigation pane, the navigation panel (under either of its two
// kinds) and a plain button-panel window.
constexpr int32_t kPaneNavigation = 37;
constexpr int32_t kPaneNavigationPanel = 38;
constexpr int32_t kPaneNavigationPanelOther = 51;
constexpr int32_t kPaneButtonPanelWindow = 5;
