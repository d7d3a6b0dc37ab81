// The button kinds that nothing in the program makes: a check box, a radio button (WS_TABSTOP
// only on the first of its group) and a check box whose press toggles its state.
#pragma once

#include "toolkit/push_button.h"

class CheckBoxButton : public PushButton {
public:
    CheckBoxButton() = default;

    // The push button's | WS_TABSTOP | BS_CHECKBOX.
    uint32_t ItemWindowStyle() override;

protected:
    ~CheckBoxButton() override = default;
};

class RadioButton : public PushButton {
public:
    RadioButton() = default;

    // The push button's | BS_RADIOBUTTON, | WS_TABSTOP on the first button of the group.
    uint32_t ItemWindowStyle() override;

protected:
    ~RadioButton() override = default;
};

class CheckToggleButton : public CheckBoxButton {
public:
    CheckToggleButton() = default;

    // The state becomes its opposite.
    void ButtonPress() override;

protected:
    ~CheckToggleButton() override = default;
};
