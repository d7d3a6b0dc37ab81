// StopButton: the Stop or Cancel button of the progress window. Its press asks the load to stop
// by storing its result value in the window; it ends no modal run, since the load runs in no
// modal run of its own but pumps messages between its steps.
#pragma once

#include "toolkit/dismiss_button.h"

class StopButton : public DismissButton {
public:
    StopButton() = default;

    void ButtonPress() override;

protected:
    ~StopButton() override = default;
};
