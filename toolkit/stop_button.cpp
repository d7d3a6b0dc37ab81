// StopButton: its press leaves the stop request in the owner dialog.
#include "toolkit/stop_button.h"

#include "toolkit/dialog_window.h"

void StopButton::ButtonPress()
{
    auto* dialog = dynamic_cast<DialogWindow*>(owner_);
    if (dialog && !dialog->DialogResult()) dialog->SetDialogResult(resultValue_);
}
