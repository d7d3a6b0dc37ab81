// The navigation pane's arithmetic: cells, step sizes and deltas, help lines and the aspect
// layout.
#include "player/navigation_steps.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Cells between the cross hair and the left edge, and the top edge.
constexpr int32_t kCellsAcross = 6;
constexpr int32_t kCellsUp = 7;
// Cells beyond this give the same step.
constexpr int32_t kLargestStepCell = 6;

// The help tables have a line for each of three columns in each of three rows.
constexpr int32_t kHelpColumns = 3;
constexpr int32_t kHelpRows = 3;
constexpr int32_t kHelpRowStride = 10;

const char kCrossHairHelp[] = "The Cross Hair is used as a reference point for navigation.";

// Rows above, level and below; columns left, centre and right. The centre is the cross hair.
const char* const kWalkHelp[kHelpRows][kHelpColumns] = {
    {"Press the mouse button to move forward and turn to the left.", "Press the mouse button to move forward.",
     "Press the mouse button to move forward and turn to the right."},
    {"Press the mouse button to turn to the left.", kCrossHairHelp, "Press the mouse button to turn to the right."},
    {"Press the mouse button to move backward and turn to the left.", "Press the mouse button to move backward.",
     "Press the mouse button to move backward and turn to the right."},
};
const char* const kLookHelp[kHelpRows][kHelpColumns] = {
    {"Press the mouse button to roll to the left and look up.", "Press the mouse button to look up.",
     "Press the mouse button to roll to the right and look up."},
    {"Press the mouse button to roll to the left.", kCrossHairHelp, "Press the mouse button to roll to the right."},
    {"Press the mouse button to roll to the left and look down.", "Press the mouse button to look down.",
     "Press the mouse button to roll to the right and look down."},
};
const char* const kSlideHelp[kHelpRows][kHelpColumns] = {
    {"Press the mouse button to slide up and to the left.", "Press the mouse button to move up.",
     "Press the mouse button to slide up and to the right."},
    {"Press the mouse button to slide to the left.", kCrossHairHelp, "Press the mouse button to slide to the right."},
    {"Press the mouse button to slide down and to the left.", "Press the mouse button to move down.",
     "Press the mouse button to slide down and to the right."},
};

// 1 below zero, 2 at zero, 3 above.
int32_t SignClass(int32_t n)
{
    return n < 0 ? 1 : (n == 0 ? 2 : 3);
}

// The step 2^(min(|n|, 6) + shift) with the sign of n; 0 for 0.
int32_t Step(int32_t n, int32_t shift)
{
    if (n == 0) return 0;
    const int32_t m = std::min(std::abs(n), kLargestStepCell);
    const int32_t size = 1 << (m + shift);
    return n < 0 ? -size : size;
}

bool FixesRatio(int32_t term)
{
    return term > 0 && term <= kLargestAspectTerm;
}

}  // namespace

NavigationCells CellsForCentre(int32_t centreX, int32_t centreY)
{
    NavigationCells cells = {centreX / kCellsAcross, -(centreY / kCellsUp)};
    if (cells.width == 0) cells.width = 1;
    if (cells.height == 0) cells.height = -1;
    return cells;
}

int32_t FastStep(int32_t n)
{
    return Step(n, 1);
}

int32_t SlowStep(int32_t n)
{
    return Step(n, -1);
}

NavigationDeltas StepDeltas(int32_t column, int32_t row, int32_t modifiers)
{
    NavigationDeltas deltas = {0, 0, 0, 0, 0, 0};
    if (modifiers & kStepSlide) {
        deltas.sideways = FastStep(column);
        deltas.vertical = FastStep(row);
    } else if (modifiers & kStepLook) {
        deltas.roll = SlowStep(column);
        deltas.pitch = SlowStep(row);
    } else {
        // A pointer to the right turns right.
        deltas.heading = -SlowStep(column);
        deltas.forward = FastStep(row);
    }
    return deltas;
}

int32_t HelpIndex(int32_t column, int32_t row)
{
    return SignClass(column) + kHelpRowStride * SignClass(row) - kHelpCentre;
}

const char* NavigationHelpText(int32_t index, int32_t modifiers)
{
    const int32_t row = index / kHelpRowStride;
    const int32_t column = index % kHelpRowStride;
    if (index < 0 || row >= kHelpRows || column >= kHelpColumns) return "";
    if (modifiers & kStepSlide) return kSlideHelp[row][column];
    if (modifiers & kStepLook) return kLookHelp[row][column];
    return kWalkHelp[row][column];
}

NavigationLayout LayOutNavigation(const PortRect& port, int32_t centreX, int32_t centreY, int32_t aspectWidth,
                                  int32_t aspectHeight)
{
    constexpr PortRect kEmpty = {0, 0, 0, 0};
    NavigationLayout layout = {port, kEmpty, kEmpty, 0, 0};
    if (FixesRatio(aspectWidth) && FixesRatio(aspectHeight)) {
        layout.firstBar = port;
        layout.secondBar = port;
        const int64_t across = int64_t(port.right) * aspectHeight;
        const int64_t down = int64_t(aspectWidth) * port.bottom;
        if (across > down) {
            // Wider than the ratio: bars at the sides.
            const int32_t width = std::max(int32_t((down + aspectHeight / 2) / aspectHeight), 1);
            layout.view.left = centreX - width / 2;
            layout.view.right = layout.view.left + width;
            layout.firstBar.right = layout.view.left;
            layout.secondBar.left = layout.view.right;
        } else {
            const int64_t tall = int64_t(aspectHeight) * port.right;
            const int32_t height = std::max(int32_t((tall + aspectWidth / 2) / aspectWidth), 1);
            layout.view.top = centreY - height / 2;
            layout.view.bottom = layout.view.top + height;
            layout.firstBar.bottom = layout.view.top;
            layout.secondBar.top = layout.view.bottom;
        }
    }
    layout.viewportWidth = std::max(layout.view.right - centreX, 1);
    layout.viewportHeight = std::max(layout.view.bottom - centreY, 1);
    return layout;
}
