// DismissButton: a dialog button whose press stores its result value in the dialog and ends the
// dialog's modal run.
#pragma once

#include "toolkit/push_button.h"

class DismissButton : public FocusPushButton {
public:
    DismissButton() = default;

    void ItemInit() override;
    void ButtonPress() override;

    void SetDismissResult(int32_t value) { resultValue_ = value; }
    int32_t DismissResult() const { return resultValue_; }

protected:
    ~DismissButton() override = default;

    int32_t resultValue_ = 0;
};
