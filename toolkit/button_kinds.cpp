// The check box, radio button and check toggle: their window styles and the toggle's press.
#include "toolkit/button_kinds.h"

uint32_t CheckBoxButton::ItemWindowStyle()
{
    return PushButton::ItemWindowStyle() | WS_TABSTOP | BS_CHECKBOX;
}

uint32_t RadioButton::ItemWindowStyle()
{
    const uint32_t style = PushButton::ItemWindowStyle();
    // The push button's style holds WS_GROUP exactly on the first button of a group.
    return style | BS_RADIOBUTTON | ((style & WS_GROUP) ? WS_TABSTOP : 0);
}

void CheckToggleButton::ButtonPress()
{
    ButtonSetState(ButtonGetState() ? 0 : 1);
}
