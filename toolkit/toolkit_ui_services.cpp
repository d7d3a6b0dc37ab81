// The toolkit's user-interface services.
#include "toolkit/toolkit_ui_services.h"

#include "toolkit/alert.h"
#include "toolkit/current_progress.h"
#include "toolkit/progress_window.h"
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

int32_t ToolkitUiServices::OpenProgress()
{
    return OpenProgressWindow(kProgressCancel);
}

int32_t ToolkitUiServices::OpenTextureProgress()
{
    return OpenProgressWindow(kProgressStop);
}

int32_t ToolkitUiServices::OpenLibraryProgress()
{
    return OpenProgressWindow(kProgressNoButton);
}

void ToolkitUiServices::ProgressSetText(const char* text)
{
    SetProgressTitle(text);
}

void ToolkitUiServices::ProgressSetMessage(const char* text)
{
    SetProgressMessage(text);
}

void ToolkitUiServices::ProgressSetDetail(const char* text)
{
    SetProgressDetail(text);
}

void ToolkitUiServices::ProgressSetTotal(int32_t total)
{
    SetProgressTotal(total);
}

void ToolkitUiServices::ProgressSetValue(int32_t value)
{
    SetProgressValue(value);
}

int32_t ToolkitUiServices::ProgressValue()
{
    return CurrentProgressValue();
}

void ToolkitUiServices::ProgressShow()
{
    ShowProgressWindow();
}

int32_t ToolkitUiServices::ProgressUpdate(int32_t increment)
{
    return UpdateProgressWindow(increment);
}

void ToolkitUiServices::ProgressShowCredits(Q_Offscreen* picture, DynamicArray* text)
{
    ShowProgressCredits(picture, text);
}

int32_t ToolkitUiServices::ProgressFinish()
{
    return FinishProgressWindow();
}

void InstallToolkitServices()
{
    InstallUiServices(&gToolkitServices);
}

void RemoveToolkitServices()
{
    InstallUiServices(nullptr);
}
