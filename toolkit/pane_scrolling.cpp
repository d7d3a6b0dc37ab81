// Pane scrolling through the pane window's own scroll bars: the positions, ranges and steps of
// each bar, scrolling by an amount or to a place, the scroll range from the document rectangle,
// and the positions a pane keeps while it is out of its window.
#include "toolkit/pane.h"

#include <algorithm>

#include "toolkit/scroll_bar_item.h"

namespace {

// PaneScrollBy's answer: the axis that could not move.
constexpr int32_t kVerticalAtLimit = 1;
constexpr int32_t kHorizontalAtLimit = 2;

// The position within minimum..maximum (the minimum when the range is reversed).
int32_t ClampToRange(int64_t position, int32_t minimum, int32_t maximum)
{
    return int32_t(std::max<int64_t>(minimum, std::min<int64_t>(position, maximum)));
}

}  // namespace

void Pane::FitBarToRange(ScrollBarItem* bar, int32_t minimum, int32_t maximum)
{
    bar->ItemActivate(1);
    if (!owner_) return;
    bar->SetRange(minimum, maximum);
    const int32_t position = bar->GetPosition();
    const int32_t clamped = ClampToRange(position, minimum, maximum);
    if (clamped != position) bar->SetPosition(clamped);
}

int32_t Pane::GetVerticalPosition()
{
    return verticalBar_ && owner_ ? verticalBar_->GetPosition() : 0;
}

int32_t Pane::GetHorizontalPosition()
{
    return horizontalBar_ && owner_ ? horizontalBar_->GetPosition() : 0;
}

void Pane::SetVerticalPosition(int32_t position)
{
    if (verticalBar_ && owner_) verticalBar_->SetPosition(position);
}

void Pane::SetHorizontalPosition(int32_t position)
{
    if (horizontalBar_ && owner_) horizontalBar_->SetPosition(position);
}

void Pane::SetVerticalRange(int32_t minimum, int32_t maximum)
{
    if (verticalBar_ && owner_) verticalBar_->SetRange(minimum, maximum);
}

void Pane::SetHorizontalRange(int32_t minimum, int32_t maximum)
{
    if (horizontalBar_ && owner_) horizontalBar_->SetRange(minimum, maximum);
}

void Pane::GetVerticalRange(int32_t* minimum, int32_t* maximum)
{
    *minimum = 0;
    *maximum = 0;
    if (verticalBar_ && owner_) verticalBar_->GetRange(minimum, maximum);
}

void Pane::GetHorizontalRange(int32_t* minimum, int32_t* maximum)
{
    *minimum = 0;
    *maximum = 0;
    if (horizontalBar_ && owner_) horizontalBar_->GetRange(minimum, maximum);
}

void Pane::SetVerticalSteps(int32_t step, int32_t page, int32_t line)
{
    if (verticalBar_ && owner_) verticalBar_->SetSteps(step, page, line);
}

void Pane::SetHorizontalSteps(int32_t step, int32_t page, int32_t line)
{
    if (horizontalBar_ && owner_) horizontalBar_->SetSteps(step, page, line);
}

void Pane::PaneComputeScrollRange()
{
    scrollRange_ = documentRect_;
    scrollRange_.bottom = std::max(scrollRange_.top, documentRect_.bottom - contentRect_.Height());
    scrollRange_.right = std::max(scrollRange_.left, documentRect_.right - contentRect_.Width());
}

void Pane::UpdatePaneScrollBars(int32_t redraw)
{
    if (verticalBar_) {
        FitBarToRange(verticalBar_, scrollRange_.top, scrollRange_.bottom);
        PaneVerticalBarSetUp();
    }
    if (horizontalBar_) {
        FitBarToRange(horizontalBar_, scrollRange_.left, scrollRange_.right);
        PaneHorizontalBarSetUp();
    }
    RefreshScreenDepth();
    PaneLayoutChanged();
    if (redraw) RedrawPane(active_ ? kDrawBarsActive : kDrawBarsInactive);
}

int32_t Pane::PaneScrollBy(int32_t dx, int32_t dy)
{
    PaneComputeScrollRange();
    UpdatePaneScrollBars(0);
    int32_t minimum;
    int32_t maximum;
    const int32_t vertical = GetVerticalPosition();
    GetVerticalRange(&minimum, &maximum);
    const int32_t newVertical = ClampToRange(int64_t(vertical) - dy, minimum, maximum);
    const int32_t horizontal = GetHorizontalPosition();
    GetHorizontalRange(&minimum, &maximum);
    const int32_t newHorizontal = ClampToRange(int64_t(horizontal) - dx, minimum, maximum);

    int32_t atLimit = 0;
    if (dy != 0 && newVertical == vertical) atLimit |= kVerticalAtLimit;
    if (dx != 0 && newHorizontal == horizontal) atLimit |= kHorizontalAtLimit;
    if (atLimit == 0) {
        SetVerticalPosition(newVertical);
        SetHorizontalPosition(newHorizontal);
        RedrawPane(kDrawScrolled);
    }
    return atLimit;
}

void Pane::PaneScrollTo(int32_t horizontal, int32_t vertical, int32_t mode)
{
    int32_t minimum;
    int32_t maximum;
    GetHorizontalRange(&minimum, &maximum);
    const int32_t newHorizontal = ClampToRange(horizontal, minimum, maximum);
    GetVerticalRange(&minimum, &maximum);
    const int32_t newVertical = ClampToRange(vertical, minimum, maximum);
    BeginPaneDrawing();
    SetHorizontalPosition(newHorizontal);
    SetVerticalPosition(newVertical);
    EndPaneDrawing();
    RedrawPane(mode != 0 ? mode : kDrawScrolled);
}

void Pane::SavePaneScroll()
{
    savedScroll_ = {GetHorizontalPosition(), GetVerticalPosition()};
}

void Pane::RestorePaneScroll()
{
    SetHorizontalPosition(savedScroll_.horizontal);
    SetVerticalPosition(savedScroll_.vertical);
}
