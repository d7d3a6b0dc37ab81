// The user-interface services of the toolkit, which the lower layers call upward: alerts in the
// toolkit's alert (a system message box while no frame exists), the beep, and the program's
// cursors. Installed first at start-up and removed before the drawing layer shuts down.
#pragma once

#include "draw/cursors.h"

class ToolkitUiServices : public CursorUiServices {
public:
    void ShowAlert(const char* text) override;
    void PlayBeep(int32_t kind) override;
};

void InstallToolkitServices();
void RemoveToolkitServices();
