// The arithmetic of the navigation pane, free of any window: the cells around the cross hair,
// the step sizes a pointer's cell gives, the six deltas of a walk, look or slide step, the help
// line for a cell, and the layout of the view and its letterbox bars for a fixed aspect ratio.
#pragma once

#include <cstdint>

#include "draw/port_base.h"

// The size of one navigation cell: six cells lie between the cross hair and the left edge and
// seven between it and the top. The height is negative: rows count upward.
struct NavigationCells {
    int32_t width;
    int32_t height;
};

NavigationCells CellsForCentre(int32_t centreX, int32_t centreY);

// The cell an offset from the cross hair falls in, truncated toward zero, so that the centre cell
// is 2 x size - 1 pixels wide.
inline int32_t CellOf(int32_t offset, int32_t cellSize)
{
    return offset / cellSize;
}

// Step sizes of a cell number n (odd in n, 0 for 0, the same beyond 6 as at 6): the fast step
// 4, 8, .. 128 and the slow step 1, 2, .. 32.
int32_t FastStep(int32_t n);
int32_t SlowStep(int32_t n);

// Modifier bits of a step (the toolkit's modifier word): Shift or the middle button looks,
// Ctrl or the right button slides.
constexpr int32_t kStepLook = 4;
constexpr int32_t kStepSlide = 8;

// The six deltas of one observer move.
struct NavigationDeltas {
    int32_t forward;
    int32_t sideways;
    int32_t vertical;
    int32_t heading;
    int32_t pitch;
    int32_t roll;
};

// The move of the pointer's cell (column to the right, row upward): a slide with kStepSlide, a
// look with kStepLook, else a walk (forward by the row, turning toward the pointer).
NavigationDeltas StepDeltas(int32_t column, int32_t row, int32_t modifiers);

// The help line of a cell (column to the right, row downward): its index 0..22 (11 the centre)
// and the text for the index under the modifiers.
constexpr int32_t kHelpCentre = 11;
int32_t HelpIndex(int32_t column, int32_t row);
const char* NavigationHelpText(int32_t index, int32_t modifiers);

// Where the model is drawn in the port rectangle and the bars beside it.
struct NavigationLayout {
    PortRect view;
    PortRect firstBar;   // left or top
    PortRect secondBar;  // right or bottom
    // The observer's viewport half-size, from the cross hair to the view's right and bottom.
    int32_t viewportWidth;
    int32_t viewportHeight;
};

// The largest aspect term that still fixes a ratio; a term of 0 or below, or above it, fixes none.
constexpr int32_t kLargestAspectTerm = 1000;

// The layout of a port rectangle (starting at 0, 0) with its cross hair for the ratio
// aspectWidth:aspectHeight. The view is never smaller than 1 x 1, the viewport never 0.
NavigationLayout LayOutNavigation(const PortRect& port, int32_t centreX, int32_t centreY, int32_t aspectWidth,
                                  int32_t aspectHeight);
