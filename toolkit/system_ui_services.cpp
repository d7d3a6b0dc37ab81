// Alerts through MessageBoxA, with no owner and no caption, and the information icon.
#include "toolkit/system_ui_services.h"

#include <windows.h>

void SystemUiServices::ShowAlert(const char* text)
{
    MessageBoxA(nullptr, text ? text : "", nullptr, MB_OK | MB_ICONINFORMATION);
}
