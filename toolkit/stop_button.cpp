// StopButton: its press leaves the stop request in the owner dialog and posts the stop command.
#include "toolkit/stop_button.h"

#include "toolkit/app_commands.h"
#include "toolkit/dialog_window.h"

void StopButton::ButtonPress()
{
    auto* dialog = dynamic_cast<DialogWindow*>(owner_);
    if (!dialog) return;
    dialog->SetDialogResult(resultValue_);
    PostAppCommand(kCommandClose);
}
