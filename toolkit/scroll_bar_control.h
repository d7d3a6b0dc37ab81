// ScrollBarControl: a vertical scroll-bar control ("Scrollbar" class) as a button kind: its value
// is the bar's position, its range the button's range. Nothing in the program makes one.
#pragma once

#include "toolkit/push_button.h"

class ScrollBarControl : public PushButton {
public:
    ScrollBarControl() = default;

    // Makes the control, then gives it the button's range and value.
    void ItemSetOwner(Pane* pane) override;
    // SBS_VERT.
    uint32_t ItemWindowStyle() override { return SBS_VERT; }
    const char* ItemClassName() override { return "Scrollbar"; }
    // The bar's position.
    void ButtonSetState(int32_t value) override;
    int32_t ButtonGetState() override;

protected:
    ~ScrollBarControl() override = default;
};
