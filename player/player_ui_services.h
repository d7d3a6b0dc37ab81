// The user-interface services of the player: the toolkit's, with every alert, every line the
// progress windows show and every progress window's close told to the log of facts (which the
// shipped program keeps silent).
#pragma once

#include "toolkit/toolkit_ui_services.h"

class PlayerUiServices : public ToolkitUiServices {
public:
    void ShowAlert(const char* text) override;
    // Logs "progress-closed" with 1 for a load asked to stop (0 otherwise) as the outermost
    // stage's window goes.
    int32_t ProgressFinish() override;
};

// Installs the player's services and the progress windows' text hook; RemovePlayerUiServices
// takes both away again.
void InstallPlayerUiServices();
void RemovePlayerUiServices();

// Logs "<kind> <text>" with the text's line breaks written as "\n".
void LogText(const char* kind, const char* text);
