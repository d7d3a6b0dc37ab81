// ScrollBarControl: the value and range of the control through the SB_CTL scroll calls.
#include "toolkit/scroll_bar_control.h"

void ScrollBarControl::ItemSetOwner(Pane* pane)
{
    PushButton::ItemSetOwner(pane);
    if (!control_) return;
    SetScrollRange(control_, SB_CTL, rangeMinimum_, rangeMaximum_, FALSE);
    SetScrollPos(control_, SB_CTL, state_, TRUE);
}

void ScrollBarControl::ButtonSetState(int32_t value)
{
    state_ = value;
    if (control_) SetScrollPos(control_, SB_CTL, value, TRUE);
}

int32_t ScrollBarControl::ButtonGetState()
{
    if (control_) state_ = GetScrollPos(control_, SB_CTL);
    return state_;
}
