// StopButton: the Stop or Cancel button of the progress window. Its press asks the load to stop:
// it stores its result value in the window and posts the stop command (AppCommandMessage 13) to
// the frame, which the update's pump turns into the stop result 1. It ends no modal run, since
// the load runs in no modal run of its own but pumps messages between its steps.
#pragma once

#include "toolkit/dismiss_button.h"

class StopButton : public DismissButton {
public:
    StopButton() = default;

    void ButtonPress() override;

protected:
    ~StopButton() override = default;
};
