// DismissButton: its press ends the owner dialog's modal run with the button's result value.
#include "toolkit/dismiss_button.h"

#include "toolkit/dialog_window.h"
#include "toolkit/message_loop.h"

void DismissButton::ItemInit()
{
    FocusPushButton::ItemInit();
    resultValue_ = 0;
}

void DismissButton::ButtonPress()
{
    auto* dialog = dynamic_cast<DialogWindow*>(owner_);
    if (!dialog) return;
    dialog->SetDialogResult(resultValue_);
    EndModalRun();
}
