// The toolkit's user-interface services.
#include "toolkit/toolkit_ui_services.h"

#include "toolkit/alert.h"
#include "toolkit/sounds.h"

namespace {

ToolkitUiServices gToolkitServices;

}  // namespace

void ToolkitUiServices::ShowAlert(const char* text)
{
    ShowAlertDialog(text);
}

void ToolkitUiServices::PlayBeep(int32_t kind)
{
    PlaySoundBeep(kind);
}

void InstallToolkitServices()
{
    InstallUiServices(&gToolkitServices);
}

void RemoveToolkitServices()
{
    InstallUiServices(nullptr);
}
