// The user-interface services before the program has a document frame: alerts in a system
// message box; the progress window and the cursor do nothing yet.
#pragma once

#include "foundation/ui_services.h"

class SystemUiServices : public UiServices {
public:
    void ShowAlert(const char* text) override;
};
