// ScrollBarItem: the position, range and steps of a pane window's own scroll bar, and the
// scrolling that its messages ask for.
#include "toolkit/scroll_bar_item.h"

#include "toolkit/pane.h"

namespace {

// The pane window whose bar the item stands for, or null without an owner.
HWND BarWindow(const Pane* owner)
{
    return owner ? owner->PaneWindow() : nullptr;
}

}  // namespace

void ScrollBarItem::ItemInit()
{
    PaneItem::ItemInit();
    step_ = 1;
    page_ = 1;
    line_ = 1;
}

void ScrollBarItem::ItemActivate(int32_t flag)
{
    HWND window = BarWindow(owner_);
    if (window) EnableScrollBar(window, bar_, flag ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
}

int32_t ScrollBarItem::GetPosition()
{
    HWND window = BarWindow(owner_);
    return window ? GetScrollPos(window, bar_) : 0;
}

void ScrollBarItem::SetPosition(int32_t position)
{
    HWND window = BarWindow(owner_);
    if (window) SetScrollPos(window, bar_, position, TRUE);
}

void ScrollBarItem::SetRange(int32_t minimum, int32_t maximum)
{
    HWND window = BarWindow(owner_);
    if (window) SetScrollRange(window, bar_, minimum, maximum, TRUE);
}

void ScrollBarItem::GetRange(int32_t* minimum, int32_t* maximum)
{
    int lowest = 0;
    int highest = 0;
    HWND window = BarWindow(owner_);
    if (window) GetScrollRange(window, bar_, &lowest, &highest);
    *minimum = lowest;
    *maximum = highest;
}

void ScrollBarItem::SetSteps(int32_t step, int32_t page, int32_t line)
{
    step_ = step;
    page_ = page;
    line_ = line;
}

void ScrollBarItem::ScrollBarMessage(int32_t code, int32_t position)
{
    if (!BarWindow(owner_)) return;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t target = 0;
    switch (code) {
    case SB_LINEUP: target = GetPosition() - line_; break;
    case SB_LINEDOWN: target = GetPosition() + line_; break;
    case SB_PAGEUP: target = GetPosition() - page_; break;
    case SB_PAGEDOWN: target = GetPosition() + page_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: target = position; break;
    case SB_TOP:
        GetRange(&minimum, &maximum);
        target = minimum;
        break;
    case SB_BOTTOM:
        GetRange(&minimum, &maximum);
        target = maximum;
        break;
    default: return;
    }
    SetPosition(target);
    if (code != SB_THUMBTRACK) owner_->RedrawPane(kDrawScrolled);
}
