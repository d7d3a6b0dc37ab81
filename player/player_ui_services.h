// The user-interface services of the player: the toolkit's, with every alert and every line the
// progress windows show told to the log of facts (which the shipped program keeps silent).
#pragma once

#include "toolkit/toolkit_ui_services.h"

class PlayerUiServices : public ToolkitUiServices {
public:
    void ShowAlert(const char* text) override;
};

// Installs the player's services and the progress windows' text hook; RemovePlayerUiServices
// takes both away again.
void InstallPlayerUiServices();
void RemovePlayerUiServices();

// Logs "<kind> <text>" with the text's line breaks written as "\n".
void LogText(const char* kind, const char* text);
